#include "resources/StringDialog.h"

#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"

namespace strtext {

wxString Unescape(const wxString& stored) {
  wxString out;
  const std::size_t n = stored.length();
  for (std::size_t i = 0; i < n; ++i) {
    const wxUniChar c = stored[i];
    if (c == '\\' && i + 1 < n && stored[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else if (c == '\\' && i + 2 < n && stored[i + 1] == '\\' && stored[i + 2] == 'n') {
      out += wxS("\\n");
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

wxString Escape(const wxString& edited) {
  wxString text = edited;
  text.Replace(wxS("\\n"), wxS("\\\\n"));
  text.Replace(wxS("\r\n"), wxS("\n"));
  text.Replace(wxS("\n"), wxS("\\n"));
  return text;
}

std::size_t Utf16Units(const wxString& text) {
  std::size_t units = 0;
  for (wxUniChar c : text) units += c.GetValue() > 0xFFFF ? 2 : 1;
  return units;
}

wxString CutToUnits(const wxString& text, std::size_t units) {
  wxString out;
  std::size_t used = 0;
  for (wxUniChar c : text) {
    const std::size_t w = c.GetValue() > 0xFFFF ? 2 : 1;
    if (used + w > units) break;
    used += w;
    out += c;
  }
  return out;
}

}  // namespace strtext

StringDialogController::StringDialogController(StringEditRequest& request)
    : m_request(request), m_language(request.language) {
  if (m_request.text) m_logicalId = m_request.text->GetLogicalId();
}

std::vector<LANGUAGE> StringDialogController::Languages() const {
  return m_request.text ? devsvc::Languages(m_request.text->GetProject()) : std::vector<LANGUAGE>{};
}

wxString StringDialogController::EditText() const {
  return m_request.text ? strtext::Unescape(m_request.text->GetText(m_language)) : wxString();
}

bool StringDialogController::Save(const wxString& edited, unsigned long logicalId) {
  if (!m_request.text) return false;
  if (logicalId > 65534) {
    hv::ShowMessage(11702, wxS("Die logische ID muss zwischen 0 und 65534 liegen!"), MB_OK | MB_ICONINFORMATION);
    return false;
  }
  // The field's limit holds for the stored form: escapes lengthen the text.
  const wxString stored = strtext::Escape(edited);
  if (strtext::Utf16Units(stored) > strtext::kMaxUnits) {
    hv::ShowMessage(11700, wxS("Der Text ist zu lang! Es sind höchstens 256 Zeichen möglich (ein Zeilenumbruch zählt zwei)."),
                    MB_OK | MB_ICONINFORMATION);
    return false;
  }
  m_logicalId = static_cast<std::uint16_t>(logicalId);
  CPOString& text = *m_request.text;
  if (m_language == devsvc::DefaultLanguage(text.GetProject())) text.SetName(stored);
  else text.Texts()[m_language] = stored;
  return true;
}

bool StringDialogController::SwitchTo(const wxString& edited, WORD language) {
  if (!Save(edited, m_logicalId)) return false;
  m_language = language;
  return true;
}

bool StringDialogController::Ok(const wxString& edited, unsigned long logicalId) {
  using namespace hv::db;
  if (!Save(edited, logicalId)) return false;
  CPOString& text = *m_request.text;
  if (m_logicalId > 0 && text.GetDevice()) {
    Table t;
    if (!t.open(devsvc::DeviceFolder(text.GetDevice()), TextwSchema())) {
      hv::ShowMessage(11701, wxS("Die Texttabelle des Geräts kann nicht geöffnet werden!"), MB_OK | MB_ICONEXCLAMATION);
      return false;
    }
    TextwRow row;
    if (wtext_select(t, row, kSeek, "LOG_ID", {m_logicalId}) && row.number != text.GetTextNumber()) {
      hv::ShowMessage(10015, wxS("Die logische ID ist bereits vergeben!"), MB_OK | MB_ICONINFORMATION);
      return false;
    }
  }
  text.SetLogicalId(m_logicalId);
  return true;
}

int RunStringDialog(CPOString& text, WORD language) {
  const wxString name = text.GetName();
  const std::map<WORD, wxString> texts = text.Texts();
  StringEditRequest request;
  request.text = &text;
  request.language = language;
  const int result = hv::Ui().Run(request);
  if (result != IDOK) {
    text.SetName(name);
    text.Texts() = texts;
  }
  return result;
}
