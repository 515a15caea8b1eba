#pragma once
// The online communication library. Start-up and shut-down only for now; the drivers
// that read and write data points plug in behind this interface.
#include "platform/Types.h"

namespace hv {

BOOL Vostrel_Init();
void Vostrel_DeInit();
bool Vostrel_IsInitialised();

}  // namespace hv
