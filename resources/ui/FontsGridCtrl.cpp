#include "resources/ui/FontsGridCtrl.h"

#include <algorithm>

#include "grid/GridCellTypes.h"

void CFontsGridCtrl::SetSource(const wxString& deviceFolder, const std::vector<LANGUAGE>& languages,
                               WORD defaultLanguage) {
  m_folder = deviceFolder;
  m_languages = languages;
  m_defaultLanguage = defaultLanguage;
}

void CFontsGridCtrl::OnSetup() {
  CGridSheetInfo& s = Sheet();
  s.popupMenu = 1;
  s.multiSelectMode = 1;
  s.selection.SetSelectionMode(s.highlightWholeRow ? 2 : 1);
  s.defaultColumnWidth = 30;
  s.defaultRowHeight = 18;
  s.hScrollHeight = 18;
  SetDoubleBuffer(1);
  SetDefaultCellFont(wxS("Arial"), -11, 400);
}

int CFontsGridCtrl::FontAt(int column, int row) {
  CGridCell cell;
  if (GetMergedCell(column, row, cell) == 0 && cell.IsSet(gridcell::kFont)) return cell.GetFont();
  return Sheet().defaultFont;
}

int CFontsGridCtrl::ColumnWidthFor(int column) {
  // Headings are drawn in the heading font, cells in theirs: each text measured in the
  // font it is drawn with. A cell can show any choice, beside the list's button.
  int width = TextExtent(GetCellText(column, -1), FontAt(column, -1)).x;
  const int cellFont = FontAt(column, 0);
  const int room = ButtonWidth() + 1 + Sheet().textMargin;
  for (const wxString& choice : CGridDropListType::ParseChoices(m_model.ChoiceList()))
    width = std::max(width, TextExtent(choice, cellFont).x + room);
  return width + 5;
}

void CFontsGridCtrl::LoadFonts() {
  const bool frozen = IsFrozen();
  if (!frozen) Freeze();
  SetRedraw(false);
  m_loaded = false;
  m_model.Load(m_folder, m_languages, m_defaultLanguage);
  const int columns = m_model.Columns(), rows = m_model.Rows();
  SetColumnCount(columns);
  SetRowCount(rows);
  for (int c = 0; c < columns; ++c) SetCellText(c, -1, m_model.Language(c).name);
  for (int r = 0; r < rows; ++r) {
    SetCellText(-1, r, m_model.Row(r));
    m_sideWidth = std::max(m_sideWidth, TextExtent(m_model.Row(r), FontAt(-1, r)).x + 2 * Sheet().textMargin);
  }
  SetSideHeadingColumnWidth(-1, std::min(m_sideWidth, CGridCore::kMaxHeadingSize));
  if (columns > 0 && rows > 0) {
    CGridCell choice;
    choice.SetCellTypeIndex(kTypeDropList);
    choice.SetLabel(m_model.ChoiceList());
    SetCellRange(0, columns - 1, rows - 1, choice);
  }
  for (int c = 0; c < columns; ++c) {
    for (int r = 0; r < rows; ++r) {
      const wxString value = m_model.Value(c, r);
      if (!value.empty()) SetCellText(c, r, value);
    }
    SetColumnWidth(c, std::min(ColumnWidthFor(c), CGridCore::kMaxHeadingSize));
  }
  SetRedraw(true);
  if (!frozen) Thaw();
  LayoutComponents();
  RedrawAll();
  m_loaded = true;
}

BOOL CFontsGridCtrl::CheckLanguageFont(int column, int row, const wxString& text) {
  return m_model.CheckLanguageFont(column, row, text) ? TRUE : FALSE;
}

BOOL CFontsGridCtrl::FindFontRow(const wxString& title, int& row) const {
  row = m_model.FindFontRow(title);
  return row >= 0 ? TRUE : FALSE;
}

void CFontsGridCtrl::OnKeyDown(int& key, int) {
  if (key == WXK_F5) LoadFonts();
}

void CFontsGridCtrl::OnSetCell(int column, int row, CGridCell& cell) {
  if (m_loaded && cell.IsSet(gridcell::kCellType) && cell.GetCellTypeIndex() == kTypeDropList) {
    CheckLanguageFont(column, row, cell.GetText());
  }
}
