#include "platform/Online.h"

#include <atomic>

namespace hv {

static std::atomic<int> g_initCount{0};

BOOL Vostrel_Init() {
  ++g_initCount;
  return TRUE;
}

void Vostrel_DeInit() {
  if (g_initCount > 0) --g_initCount;
}

bool Vostrel_IsInitialised() { return g_initCount > 0; }

}  // namespace hv
