#include "model/UserDefinedDP.h"

#include "platform/IniFile.h"
#include "platform/Ui.h"

CUserDefinedDPList& CUserDefinedDPList::Get() {
  static CUserDefinedDPList list;
  return list;
}

void CUserDefinedDPList::Set(ObjectSerial source, std::vector<wxString> names) {
  if (names.empty()) m_bySource.erase(source);
  else m_bySource[source] = std::move(names);
  // The window belongs to the program; without it there is nothing to show.
  if (m_bySource.empty()) {
    UserDefinedDPClose close;
    if (hv::Ui().HasRunner<UserDefinedDPClose>()) hv::Ui().Run(close);
    return;
  }
  UserDefinedDPShow show{Names()};
  if (hv::Ui().HasRunner<UserDefinedDPShow>()) hv::Ui().Run(show);
}

std::vector<wxString> CUserDefinedDPList::Names() const {
  std::vector<wxString> all;
  for (const auto& [source, names] : m_bySource) all.insert(all.end(), names.begin(), names.end());
  return all;
}

std::vector<std::pair<wxString, wxString>> ReadDatpktSection(const wxString& file, const wxString& section) {
  std::vector<std::pair<wxString, wxString>> pairs;
  for (wxString line : hv::IniReadSectionLines(file, section)) {
    line.Trim(false);
    if (line.StartsWith(wxS(";")) || line.Find('=') == wxNOT_FOUND) continue;
    pairs.emplace_back(line.BeforeFirst('='), line.AfterFirst('='));
  }
  return pairs;
}
