#include "framework/ProgramDefaults.h"

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

wxString ProgramDefault(const wxString& key) {
  for (const ProgramRow& row : kRows)
    if (key.CmpNoCase(row.key) == 0) return row.defaultProgram;
  return wxString();
}
