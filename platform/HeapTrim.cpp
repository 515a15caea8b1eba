#include "platform/HeapTrim.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>

namespace hv {

void ReturnFreedMemory(std::size_t released) {
  constexpr std::size_t kWorthIt = 1u << 20;
  if (released >= kWorthIt) malloc_trim(0);
}

void PreferHugePages(void* data, std::size_t bytes) {
  constexpr std::uintptr_t kHuge = 2u << 20;
  const auto from = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t begin = (from + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t end = (from + bytes) & ~(kHuge - 1);
  // Advice only: where the system refuses, the buffer fills page by page as before.
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace hv
