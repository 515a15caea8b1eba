#pragma once
// Whether the graph tool uses a screen. The graph tool does not exist here; what it
// would answer comes from the file "TavGraphUse.ini" in the user folder, section
// "Masks", one key per used screen id with a non-zero value:
//   [Masks]
//   4000012=1
// Without the file every screen counts as unused.
#include "platform/Types.h"

namespace hv {

// Sets used non-zero when the graph tool uses the screen, else 0.
void IsMaskUsedByTavGraph(DWORD screenId, int& used);

}  // namespace hv
