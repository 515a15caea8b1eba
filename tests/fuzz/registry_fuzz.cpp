// The registry store's file is shared with other tools and may hold anything: whatever
// it holds, a rewrite keeps every line it read, and reading the rewrite back gives the
// same store (the same file when written again).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const hv::RegistryStore::Layer first = hv::RegistryStore::Parse(bytes);
  const std::string written = hv::RegistryStore::Format(first);
  const hv::RegistryStore::Layer second = hv::RegistryStore::Parse(written);
  if (hv::RegistryStore::Format(second) != written) std::abort();
  if (second.keys.size() != first.keys.size()) std::abort();
  for (std::size_t i = 0; i < first.keys.size(); ++i) {
    if (first.keys[i].first != second.keys[i].first) std::abort();
    if (first.keys[i].second.size() != second.keys[i].second.size()) std::abort();
  }
  return 0;
}
