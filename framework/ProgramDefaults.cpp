#include "framework/ProgramDefaults.h"

#include <utility>

#include "platform/Localization.h"

namespace {
const ProgramRow kRows[] = {
    {wxS("Bitmaps"), wxS("Bitmap"), wxS("MSPaint")},
    {wxS("Fonts"), wxS("Font"), wxS("FontEdit")},
    {wxS("CoDeSys-Progamme"), wxS("CoDeSys"), wxS("")},
    {wxS("HTML"), wxS("Html"), wxS("Notepad")},
    {wxS("XML"), wxS("xml"), wxS("Notepad")},
    {wxS("Internet Browser"), wxS("Internet Browser"), wxS("")},
    {wxS("FTP Browser"), wxS("FTP Browser"), wxS("")},
    {wxS("Bildschirmtastatur"), wxS("Bildschirmtastatur"), wxS("Charmap")},
    // The command lines the project download runs, the file's path appended.
    {wxS("Ressourcengenerator"), wxS("RESGEN"), wxS("")},
    {wxS("CoDeSys-Download"), wxS("CODESYSDOWNLOAD"), wxS("")},
};
}  // namespace

std::span<const ProgramRow> ProgramRows() { return kRows; }

wxString ProgramRowTitle(const ProgramRow& row) {
  // "HTML" and "XML" read the same in every language.
  static const std::pair<UINT, const wxChar*> kTexts[] = {
      {13904, wxS("Bitmaps")},          {13905, wxS("Fonts")},       {13906, wxS("CoDeSys-Progamme")},
      {13907, wxS("Internet Browser")}, {13908, wxS("FTP Browser")}, {13909, wxS("Bildschirmtastatur")},
      {13941, wxS("Ressourcengenerator")}, {13942, wxS("CoDeSys-Download")},
  };
  const wxString name = row.displayName;
  for (const auto& [id, german] : kTexts)
    if (name == german) return hv::LocalString(id, german);
  return name;
}

const ProgramRow* FindProgramRow(const wxString& key) {
  for (const ProgramRow& row : kRows)
    if (key.CmpNoCase(row.key) == 0) return &row;
  return nullptr;
}

wxString ProgramDefault(const wxString& key) {
  const ProgramRow* row = FindProgramRow(key);
  return row ? wxString(row->defaultProgram) : wxString();
}
