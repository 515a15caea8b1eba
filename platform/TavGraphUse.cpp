#include "platform/TavGraphUse.h"

#include "platform/Environment.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

namespace hv {

void IsMaskUsedByTavGraph(DWORD screenId, int& used) {
  const wxString file = JoinPath(UserFolder(), wxS("TavGraphUse.ini"));
  used = IniGetInt(file, wxS("Masks"), wxString::Format("%u", static_cast<unsigned>(screenId)), 0) != 0 ? 1 : 0;
}

}  // namespace hv
