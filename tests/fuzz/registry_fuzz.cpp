// The registry store's file is shared with other tools and may hold anything: whatever
// it holds, a rewrite keeps every line it read, and reading the rewrite back gives the
// same store (the same file when written again). Every key, name and text it decoded
// is written back as it was read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Codec.h"
#include "platform/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const hv::RegistryStore::Layer first = hv::RegistryStore::Parse(bytes);
  const std::string written = hv::RegistryStore::Format(first);
  const hv::RegistryStore::Layer second = hv::RegistryStore::Parse(written);
  if (hv::RegistryStore::Format(second) != written) std::abort();
  if (second.keys.size() != first.keys.size()) std::abort();
  const auto writable = [](const wxString& text) { return hv::FromUtf8(hv::ToUtf8(text)) == text; };
  for (const auto& [key, values] : first.keys) {
    if (!writable(key)) std::abort();
    for (const auto& [name, value] : values)
      if (!writable(name) || (value.kind == hv::RegistryStore::Kind::String && !writable(value.text))) std::abort();
  }
  for (std::size_t i = 0; i < first.keys.size(); ++i) {
    if (first.keys[i].first != second.keys[i].first) std::abort();
    if (first.keys[i].second.size() != second.keys[i].second.size()) std::abort();
  }
  return 0;
}
