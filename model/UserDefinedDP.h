#pragma once
// The list behind the modeless CDlgUserDefinedDP: self-defined data points whose
// definitions were deleted or changed, kept per data-point folder so that one folder's
// check never empties another's findings. The window follows through the facade.
#include <map>
#include <vector>
#include <wx/string.h>

#include "model/LiveObjects.h"

// Shows the window with these names (made when missing, else filled again).
struct UserDefinedDPShow {
  std::vector<wxString> names;
};
// Closes the window when it is open.
struct UserDefinedDPClose {};

class CUserDefinedDPList {
 public:
  static CUserDefinedDPList& Get();
  // The findings of one folder; an empty list drops them. The window shows the union
  // and closes when nothing is left.
  void Set(ObjectSerial source, std::vector<wxString> names);
  std::vector<wxString> Names() const;
  void Clear() { m_bySource.clear(); }

 private:
  std::map<ObjectSerial, std::vector<wxString>> m_bySource;
};

// A datpkt.set section as name/definition pairs; comment lines (';') and lines
// without '=' are skipped instead of emptying the section.
std::vector<std::pair<wxString, wxString>> ReadDatpktSection(const wxString& file, const wxString& section);
