// Column tables of the list view, one per object class that lists children.
#include <array>
#include <vector>

#include "framework/LocalTables.h"
#include "platform/Localization.h"

namespace {

struct ColumnRow {
  UINT textId;
  const wchar_t* german;
  int format;
  int width;
  int subItem;
  int order;
};

constexpr ColumnRow kDefault[] = {
    {10413, wxS("Name"), 0, 120, 0, 0},
};
constexpr ColumnRow kPrjFolder[] = {
    {10413, wxS("Name"), 0, 120, 0, 0},
    {10402, wxS("Pfad"), 0, 200, 1, 1},
};
constexpr ColumnRow kProject[] = {
    {10413, wxS("Name"), 0, 140, 0, 0},
    {10444, wxS("Typ"), 0, 100, 1, 1},
    {10453, wxS("Treiber"), 0, 100, 2, 2},
};
constexpr ColumnRow kNetwork[] = {
    {10413, wxS("Name"), 0, 120, 0, 0},
    {10418, wxS("ID"), 1, 40, 1, 1},
    {10424, wxS("DLL"), 0, 80, 2, 2},
    {10409, wxS("Knoten"), 0, 80, 3, 3},
    {10437, wxS("Parameter"), 0, 200, 4, 4},
};
constexpr ColumnRow kDevice[] = {
    {10413, wxS("Name"), 0, 140, 0, 0},
    {10418, wxS("ID"), 1, 40, 1, 1},
    {10445, wxS("Log. ID"), 1, 80, 2, 3},
    {10436, wxS("Beschreibung"), 0, 180, 3, 2},
    {10519, wxS("Wert"), 0, 60, 5, 5},
    {10669, wxS("Phys. Name"), 0, 140, 4, 4},
};
constexpr ColumnRow kPrjDataPoint[] = {
    {10413, wxS("Name"), 0, 140, 0, 0},
    {10418, wxS("ID"), 0, 50, 1, 1},
    {10445, wxS("Log. ID"), 1, 80, 2, 3},
    {10436, wxS("Beschreibung"), 0, 240, 3, 2},
    {10519, wxS("Wert"), 0, 60, 5, 5},
    {10669, wxS("Phys. Name"), 0, 140, 4, 4},
};
constexpr ColumnRow kDocuments[] = {
    {10413, wxS("Name"), 0, 120, 0, 0},
    {10454, wxS("Größe"), 1, 70, 3, 2},
    {10463, wxS("Geändert am"), 0, 100, 4, 1},
};
// Bitmaps and keypads share this layout but keep separate tables, since the list
// writes each type's saved layout into its own table.
constexpr ColumnRow kResBitmap[] = {
    {10413, wxS("Name"), 0, 120, 0, 0},
    {10418, wxS("ID"), 1, 40, 1, 1},
    {10445, wxS("Log. ID"), 1, 80, 2, 6},
    {10454, wxS("Größe"), 1, 70, 3, 2},
    {10463, wxS("Geändert am"), 0, 100, 4, 3},
    {10471, wxS("Dimension"), 0, 70, 5, 4},
    {10406, wxS("Farben"), 0, 50, 6, 5},
};
constexpr ColumnRow kResFont[] = {
    {10413, wxS("Name"), 0, 120, 0, 0},
    {10418, wxS("ID"), 1, 40, 1, 1},
    {10445, wxS("Log. ID"), 1, 80, 2, 4},
    {10454, wxS("Größe"), 1, 70, 3, 2},
    {10463, wxS("Geändert am"), 0, 100, 4, 3},
};
constexpr ColumnRow kResMenu[] = {
    {10413, wxS("Name"), 0, 120, 0, 0},
    {10418, wxS("ID"), 1, 40, 1, 1},
    {10445, wxS("Log. ID"), 1, 80, 2, 3},
    {10463, wxS("Geändert am"), 0, 100, 3, 2},
};
constexpr ColumnRow kResMask[] = {
    {10413, wxS("Name"), 0, 140, 0, 0},
    {10418, wxS("ID"), 1, 40, 1, 1},
    {10445, wxS("Log. ID"), 1, 80, 2, 5},
    {10412, wxS("Titel"), 0, 180, 3, 2},
    {10417, wxS("Auto. öffnen"), 2, 70, 4, 3},
    {10423, wxS("Focus"), 2, 45, 5, 4},
};
constexpr ColumnRow kMask[] = {
    {10444, wxS("Typ"), 0, 120, 0, 0},
    {10408, wxS("Nr."), 1, 40, 1, 1},
    {10411, wxS("Position"), 0, 80, 2, 2},
    {10471, wxS("Dimension"), 0, 80, 3, 3},
    {10436, wxS("Beschreibung"), 0, 200, 4, 4},
};
// The language slots follow these three columns.
constexpr ColumnRow kResString[] = {
    {10429, wxS("Text"), 0, 200, 0, 0},
    {10418, wxS("ID"), 1, 40, 1, 1},
    {10445, wxS("Log. ID"), 1, 80, 2, 2},
};
constexpr ColumnRow kADefFolder[] = {
    {10518, wxS("Datenpunkt"), 0, 120, 0, 0},
    {10444, wxS("Typ"), 0, 60, 1, 1},
    {10554, wxS("Klasse"), 0, 46, 2, 2},
    {10429, wxS("Text"), 0, 120, 3, 3},
};
// Programs and web folders: four equal tables.
constexpr ColumnRow kNameAndDate[] = {
    {10413, wxS("Name"), 0, 120, 0, 0},
    {10463, wxS("Geändert am"), 0, 100, 1, 1},
};

std::span<const ColumnRow> RowsOf(ColumnTableId id) {
  switch (id) {
    case ColumnTableId::Default: return kDefault;
    case ColumnTableId::PrjFolder: return kPrjFolder;
    case ColumnTableId::Project: return kProject;
    case ColumnTableId::Network: return kNetwork;
    case ColumnTableId::Device: return kDevice;
    case ColumnTableId::PrjDataPoint: return kPrjDataPoint;
    case ColumnTableId::Documents: return kDocuments;
    case ColumnTableId::ResBitmap:
    case ColumnTableId::ResKeypad: return kResBitmap;
    case ColumnTableId::ResFont: return kResFont;
    case ColumnTableId::ResMenu: return kResMenu;
    case ColumnTableId::ResMask: return kResMask;
    case ColumnTableId::Mask: return kMask;
    case ColumnTableId::ResString: return kResString;
    case ColumnTableId::ADefFolder: return kADefFolder;
    case ColumnTableId::TavSim:
    case ColumnTableId::PrgCoDeSys:
    case ColumnTableId::PrgProGRIPS:
    case ColumnTableId::HtmlFolder: return kNameAndDate;
    case ColumnTableId::Count: break;
  }
  return {};
}

constexpr std::size_t kTableCount = static_cast<std::size_t>(ColumnTableId::Count);

std::array<std::vector<ColumnDef>, kTableCount>& Tables() {
  static std::array<std::vector<ColumnDef>, kTableCount> tables;
  return tables;
}

}  // namespace

// Called once by BuildLocalizedTables.
void BuildColumnTables() {
  for (std::size_t i = 0; i < kTableCount; ++i) {
    const auto id = static_cast<ColumnTableId>(i);
    std::vector<ColumnDef>& table = Tables()[i];
    table.clear();
    for (const ColumnRow& row : RowsOf(id))
      table.push_back({hv::LocalString(row.textId, row.german), row.format, row.width, row.subItem, row.order, 0});
    if (id == ColumnTableId::ResString) {
      // Untitled until the texts folder names them after the project's languages.
      for (int slot = 3; slot < 3 + kTextLanguageSlots; ++slot) table.push_back({wxString(), 0, 200, slot, slot, 0});
    }
    table.push_back(ColumnDef{});
  }
}

std::vector<ColumnDef>& GetColumnTable(ColumnTableId id) {
  BuildLocalizedTables();
  static std::vector<ColumnDef> none{ColumnDef{}};
  const auto i = static_cast<std::size_t>(id);
  return i < kTableCount ? Tables()[i] : none;
}

std::span<ColumnDef> GetColumnDefsOf(ColumnTableId id) {
  std::vector<ColumnDef>& table = GetColumnTable(id);
  std::size_t n = 0;
  while (n < table.size() && !table[n].title.empty()) ++n;
  return std::span<ColumnDef>(table.data(), n);
}

std::size_t CountColumnDefinitions() {
  BuildLocalizedTables();
  std::size_t n = 0;
  for (const auto& table : Tables()) n += table.size();
  return n;
}
