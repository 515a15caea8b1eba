// Copy and paste as tab- and line-separated text, find and replace.
#include <algorithm>

#include "grid/GridCore.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

int CGridCore::PasteCellText(const wxString& text) {
  CGridSheetInfo& s = *m_sheet;
  const int startColumn = std::max(s.currentColumn, 0), startRow = std::max(s.currentRow, 0);
  int c = startColumn, r = startRow;
  int lastColumn = startColumn, lastRow = startRow;
  wxString field;
  const auto write = [&]() {
    if (c < s.columns && r < s.rows) {
      // Only a cell stored as read-only (1) keeps its text; other read-only values are
      // the host's own marks.
      CGridCell cell;
      GetCell(c, r, cell);
      if (!(cell.IsSet(gridcell::kReadOnly) && cell.GetReadOnly() == 1)) {
        cell.SetText(field);
        SetCell(c, r, cell);
      }
      lastColumn = std::max(lastColumn, c);
      lastRow = std::max(lastRow, r);
    }
    field.clear();
  };
  bool pending = false;
  for (size_t i = 0; i < text.length(); ++i) {
    const wxUniChar ch = text[i];
    if (ch == '\t') {
      write();
      ++c;
      pending = false;
    } else if (ch == '\r' || ch == '\n') {
      write();
      if (ch == '\r' && i + 1 < text.length() && text[i + 1] == '\n') ++i;
      ++r;
      c = startColumn;
      pending = false;
    } else {
      field += ch;
      pending = true;
    }
  }
  if (pending) write();
  s.selection.RemoveAllBlocks();
  s.targetColumn = s.currentColumn;
  s.targetRow = s.currentRow;
  if (s.multiSelectMode && s.columns > 0 && s.rows > 0) {
    lastColumn = std::min(lastColumn, s.columns - 1);
    lastRow = std::min(lastRow, s.rows - 1);
    s.selection.BeginBlock(startColumn, startRow);
    s.selection.MoveBlockEnd(lastColumn, lastRow);
    s.targetColumn = lastColumn;
    s.targetRow = lastRow;
  }
  RedrawAll();
  return 0;
}

wxString CGridCore::CopyCellText() {
  CGridSheetInfo& s = *m_sheet;
  int left, top, right, bottom;
  if (s.selection.GetUnionRect(left, top, right, bottom) != 0) {
    if (s.currentColumn < 0 || s.currentRow < 0) return wxString();
    left = right = s.currentColumn;
    top = bottom = s.currentRow;
  }
  const bool any = s.selection.HasSelection();
  wxString out;
  for (int r = top; r <= bottom; ++r) {
    wxString line;
    int filled = 0;  // fields up to the last non-empty one
    std::vector<wxString> fields;
    for (int c = left; c <= right; ++c) {
      fields.push_back(!any || s.selection.IsCellSelected(c, r) ? GetCellText(c, r) : wxString());
      if (!fields.back().empty()) filled = static_cast<int>(fields.size());
    }
    for (int i = 0; i < filled; ++i) {
      if (i) line += wxS("\t");
      line += fields[static_cast<size_t>(i)];
    }
    if (r > top) out += wxS("\r\n");
    out += line;
  }
  return out;
}

namespace {

bool Matches(const wxString& cellText, const wxString& text, int flags) {
  if (cellText.empty() || text.empty()) return false;
  if (flags & gridfind::kNoCase) {
    const wxString a = GridUpper(cellText), b = GridUpper(text);
    return (flags & gridfind::kSubstring) ? a.Find(b) != wxNOT_FOUND : a == b;
  }
  return (flags & gridfind::kSubstring) ? cellText.Find(text) != wxNOT_FOUND : cellText == text;
}

// Every occurrence replaced, the rest of the text kept.
wxString ReplaceMatches(const wxString& cellText, const wxString& text, const wxString& replacement, int flags) {
  if (!(flags & gridfind::kSubstring)) return replacement;
  const bool noCase = (flags & gridfind::kNoCase) != 0;
  const wxString hay = noCase ? GridUpper(cellText) : cellText;
  const wxString needle = noCase ? GridUpper(text) : text;
  wxString out;
  size_t from = 0;
  for (;;) {
    const size_t at = hay.find(needle, from);
    if (at == wxString::npos) break;
    out += cellText.substr(from, at - from) + replacement;
    from = at + needle.length();
  }
  return out + cellText.substr(from);
}

}  // namespace

bool CGridCore::ReplaceInCell(int column, int row, const wxString& text, const wxString& replacement, int flags) {
  CGridCell merged;
  if (GetMergedCell(column, row, merged) != 0) return false;
  if (merged.IsSet(gridcell::kReadOnly) && merged.GetReadOnly() != 0) return false;
  const wxString current = merged.GetText();
  if (!Matches(current, text, flags)) return false;
  SetCellText(column, row, ReplaceMatches(current, text, replacement, flags));
  RedrawCell(column, row);
  return true;
}

int CGridCore::FindText(const wxString& text, int flags) {
  CGridSheetInfo& s = *m_sheet;
  if (m_searchAllColumns) flags |= gridfind::kAllColumns;
  if (s.currentColumn < 0 || s.currentRow < 0) return 1;
  CGridDataSource& source = SourceOf(s.currentColumn);
  int column = TranslatedColumn(s.currentColumn), row = s.currentRow;
  if (source.FindNext(text, column, row, flags) != 0) return 1;
  // The store answers in its own columns; a moved column shows elsewhere.
  const int display = DisplayColumnOf(column, &source);
  if (display < 0) return 1;
  MoveToCell(display, row);
  return 0;
}

int CGridCore::ReplaceText(const wxString& text, const wxString& replacement, int flags) {
  const CGridSheetInfo& s = *m_sheet;
  if (s.currentColumn >= 0 && s.currentRow >= 0) ReplaceInCell(s.currentColumn, s.currentRow, text, replacement, flags);
  return FindText(text, flags);
}

int CGridCore::ReplaceAll(const wxString& text, const wxString& replacement, int flags) {
  const CGridSheetInfo& s = *m_sheet;
  if (m_searchAllColumns) flags |= gridfind::kAllColumns;
  int changed = 0;
  // Each cell is looked at once, so a replacement that matches again cannot loop.
  const int firstColumn = (flags & gridfind::kAllColumns) ? 0 : s.currentColumn;
  const int lastColumn = (flags & gridfind::kAllColumns) ? s.columns - 1 : s.currentColumn;
  if (firstColumn < 0) return 0;
  for (int r = 0; r < s.rows; ++r) {
    for (int c = firstColumn; c <= lastColumn; ++c) changed += ReplaceInCell(c, r, text, replacement, flags);
  }
  return changed;
}

int CGridCore::OnFindDialog(FindAction action, const wxString& text, const wxString& replacement, int dialogFlags) {
  int flags = 0;
  if (!(dialogFlags & kFindMatchCase)) flags |= gridfind::kNoCase;
  if (!(dialogFlags & kFindWholeWord)) flags |= gridfind::kSubstring;
  if (!(dialogFlags & kFindDown)) flags |= gridfind::kBackwards;
  int result = 1;
  switch (action) {
    case kFindNext: result = FindText(text, flags); break;
    case kFindReplace: result = ReplaceText(text, replacement, flags); break;
    case kFindReplaceAll: result = ReplaceAll(text, replacement, flags) > 0 ? 0 : 1; break;
  }
  if (result != 0)
    hv::Ui().Message(13955, hv::LocalString(13955, wxS("Suchbegriff nicht gefunden")), MB_OK | MB_ICONINFORMATION,
                     hv::LocalString(13956, wxS("Nicht gefunden")));
  return result;
}
