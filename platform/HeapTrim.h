#pragma once
// Gives memory that large transient buffers left free back to the system, so that a
// big copy does not leave the program's resident size raised for good.
#include <cstddef>

namespace hv {

// Trims the heap when at least `released` bytes were just freed (small frees are not
// worth the walk over the heap).
void ReturnFreedMemory(std::size_t released);

// Asks for huge pages under a large buffer about to be filled: a few faults instead
// of one per 4 KB page. Only whole huge pages inside the buffer are affected.
void PreferHugePages(void* data, std::size_t bytes);

}  // namespace hv
