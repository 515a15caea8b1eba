// The object-class table: which kinds exist, their images, whether they only group
// children, and their display names. The row order matters: the parent check and the
// new-object dialog walk it in this order.
#include <vector>

#include "framework/LocalTables.h"
#include "platform/Localization.h"

namespace {

constexpr ObjectClassRow kRows[] = {
    {0x21000000, 44, 44, 0, 10319, wxS("Projekt"), 461},
    {0x21200000, 2, 2, 0, 10415, wxS("Projektiertes Gerät"), 314},
    {0x20000000, 4, 5, 0, 10657, wxS("Ordner"), 493},
    {0x21400000, 4, 5, 1, 10836, wxS("Dokumentation"), 501},
    {0x2121B000, 21, 21, 0, 10803, wxS("Datenlogger"), 257},
    {0x21210000, 4, 5, 1, 0, nullptr, 443},
    {0x21211000, 8, 8, 1, 0, nullptr, 434},
    {0x21211100, 8, 8, 0, 10425, wxS("Bitmap"), 417},
    {0x21212000, 9, 9, 1, 0, nullptr, 434},
    {0x21212100, 9, 9, 0, 10431, wxS("Font"), 338},
    {0x21217000, 31, 31, 1, 0, nullptr, 434},
    {0x21217100, 31, 31, 0, 10556, wxS("Menü"), 417},
    {0x21213000, 7, 7, 1, 0, nullptr, 434},
    {0x21213100, 7, 7, 0, 10438, wxS("Maske"), 417},
    {0x21214000, 10, 10, 1, 0, nullptr, 466},
    {0x21214100, 10, 10, 0, 10429, wxS("Text")},
    {0x21230000, 4, 5, 1, 0, nullptr, 470},
    {0x21231000, 11, 11, 0, 10518, wxS("Datenpunkt"), 435},
    {0x21232000, 3, 3, 0, 10464, wxS("Netzwerk"), 492},
    {0x21232100, 2, 2, 0, 10370, wxS("Gerät"), 484},
    {0x21232110, 11, 11, 0, 10518, wxS("Datenpunkt"), 436},
    {0x21220000, 4, 5, 1, 0, nullptr, 470},
    {0x21222000, 12, 12, 0, 10414, wxS("TavSim-Programm"), 488},
    {0x21222100, 15, 15, 0, 10419, wxS("TavSim-Quelldatei")},
    {0x21223000, 4, 5, 1, 0, nullptr, 499},
    {0x21223100, 25, 25, 0, 10499, wxS("CoDeSys-Programm"), 483},
    {0x21224000, 4, 5, 1, 0, nullptr, 434},
    {0x21224100, 34, 34, 0, 10582, wxS("ProGRIPS-Programm"), 304},
    {0x21216000, 23, 23, 1, 0, nullptr, 434},
    {0x21216100, 23, 23, 0, 10502, wxS("Rezeptdefinition"), 440},
    {0x21216110, 24, 24, 0, 10505, wxS("Rezept"), 442},
    {0x21218000, 32, 32, 1, 0, nullptr, 434},
    {0x21218100, 32, 32, 0, 10557, wxS("Alarmdefinition"), 303},
    {0x21240000, 4, 5, 1, 10657, wxS("Ordner"), 312},
    {0x21241000, 38, 38, 0, 10604, wxS("HTML-Datei"), 311},
    // Named only by a catalogue: no German text of its own.
    {0x2121A000, 40, 40, 1, 10705, wxS(""), 331},
    {0x2121A100, 41, 41, 0, 10706, wxS("Keypad XML Config"), 332},
    {0x2121A200, 40, 40, 0, 10707, wxS("Keypad Layout"), 417},
    {0, 0, 0, 0, 0, nullptr},
};

std::vector<PO_CLASSES>& Classes() {
  static std::vector<PO_CLASSES> rows;
  return rows;
}

}  // namespace

// Called once by BuildLocalizedTables.
void BuildObjectClassTable() {
  std::vector<PO_CLASSES>& rows = Classes();
  rows.clear();
  for (const ObjectClassRow& row : kRows) {
    const wxString name = row.textId != 0 ? hv::LocalString(row.textId, row.germanName) : wxString();
    rows.push_back({row.typeCode, row.image, row.selectedImage, row.container, name, row.contextMenu});
  }
}

const std::vector<PO_CLASSES>& GetObjectClasses() {
  BuildLocalizedTables();
  return Classes();
}

const PO_CLASSES* FindObjectClass(DWORD typeCode) {
  for (const PO_CLASSES& row : GetObjectClasses()) {
    if (row.typeCode == 0) break;
    if (row.typeCode == typeCode) return &row;
  }
  return nullptr;
}

std::span<const ObjectClassRow> GetObjectClassRows() { return kRows; }
