#include "platform/HeapTrim.h"

#include <malloc.h>

namespace hv {

void ReturnFreedMemory(std::size_t released) {
  constexpr std::size_t kWorthIt = 1u << 20;
  if (released >= kWorthIt) malloc_trim(0);
}

}  // namespace hv
