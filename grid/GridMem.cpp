#include "grid/GridMem.h"

#include <algorithm>
#include <cwctype>

#include "grid/GridCore.h"

int GridCompareCells(const CGridCell* first, const CGridCell* second, int flags) {
  if (!first) return second ? 1 : 0;
  if (!second) return -1;
  if (flags & 2) std::swap(first, second);
  using namespace gridcell;
  // The first cell's type decides: numbers for number types, else empty last, then text.
  // No strict order across types; the sort stays correct and in bounds anyway.
  const auto t = first->GetDataType();
  if (first->IsSet(kDataType) && (t == kNumber || t == kNumericText || t == kCurrency)) {
    const double a = first->GetNumber(), b = second->GetNumber();
    return a < b ? -1 : (b < a ? 1 : 0);
  }
  const bool firstValue = first->IsSet(kValue), secondValue = second->IsSet(kValue);
  // Two empty cells are equal, so that empty rows keep their order.
  if (!firstValue || !secondValue) return firstValue == secondValue ? 0 : (firstValue ? -1 : 1);
  const int c = first->GetText().compare(second->GetText());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

wxString GridUpper(const wxString& text) {
  wxString out;
  out.reserve(text.length());
  for (wxUniChar c : text) {
    const wxUint32 v = c.GetValue();
    if (v >= 'a' && v <= 'z') {
      out += wxUniChar(v - 32);
    } else if (v >= 0xE0 && v <= 0xFE && v != 0xF7) {
      out += wxUniChar(v - 32);
    } else {
      out += wxUniChar(static_cast<wxUint32>(towupper(static_cast<wint_t>(v))));
    }
  }
  return out;
}

CGridMem::Row* CGridMem::RowAt(int row) {
  if (row >= 0) return row < static_cast<int>(m_pos.size()) ? &m_pos[static_cast<size_t>(row)] : nullptr;
  const size_t i = static_cast<size_t>(-(row + 1));
  return i < m_neg.size() ? &m_neg[i] : nullptr;
}

CGridCell* CGridMem::Slot(int column, int row) {
  Row* r = RowAt(row);
  if (!r) return nullptr;
  std::vector<CGridCell>& side = column >= 0 ? r->pos : r->neg;
  const size_t i = column >= 0 ? static_cast<size_t>(column) : static_cast<size_t>(-(column + 1));
  if (i >= side.size() || !side[i].m_stored) return nullptr;
  return &side[i];
}

int CGridMem::Columns() const { return m_control ? m_control->GetColumnCount() : 0; }
int CGridMem::Rows() const { return m_control ? m_control->GetRowCount() : static_cast<int>(m_pos.size()); }

int CGridMem::GetLastRow() { return m_pos.empty() ? 0 : static_cast<int>(m_pos.size()) - 1; }

int CGridMem::InsertRow(int row) {
  // Heading rows are not renumbered by data-row operations.
  if (row < 0 || row >= static_cast<int>(m_pos.size())) return 1;
  m_pos.insert(m_pos.begin() + row, Row{});
  return 0;
}

int CGridMem::DeleteRow(int row) {
  if (row < 0) return 1;
  if (row >= static_cast<int>(m_pos.size())) return 0;
  m_pos.erase(m_pos.begin() + row);
  return 0;
}

int CGridMem::InsertColumn(int column) {
  if (column < 0) return 1;
  for (Row& r : m_pos) {
    if (static_cast<int>(r.pos.size()) > column) r.pos.insert(r.pos.begin() + column, CGridCell{});
  }
  for (Row& r : m_neg) {
    if (static_cast<int>(r.pos.size()) > column) r.pos.insert(r.pos.begin() + column, CGridCell{});
  }
  if (m_control) m_control->ShiftTranslatedColumns(this, column, +1);
  return 0;
}

int CGridMem::DeleteColumn(int column) {
  if (column < 0 || (m_pos.empty() && m_neg.empty())) return 1;
  for (auto* rows : {&m_pos, &m_neg}) {
    for (Row& r : *rows) {
      if (static_cast<int>(r.pos.size()) > column) r.pos.erase(r.pos.begin() + column);
    }
  }
  if (m_control) m_control->ShiftTranslatedColumns(this, column + 1, -1);
  return 0;
}

int CGridMem::DeleteCell(int column, int row) {
  CGridCell* c = Slot(column, row);
  if (!c) return 1;
  *c = CGridCell{};
  return 0;
}

int CGridMem::RemoveAll() {
  m_pos.clear();
  m_neg.clear();
  return 0;
}

int CGridMem::GetCell(int column, int row, CGridCell& cell) {
  const CGridCell* c = Slot(column, row);
  if (!c) return 1;
  cell.MergeFrom(*c);
  return 0;
}

int CGridMem::SetCell(int column, int row, const CGridCell& cell) {
  Row* r;
  if (row >= 0) {
    if (row >= static_cast<int>(m_pos.size())) m_pos.resize(static_cast<size_t>(row) + 1);
    r = &m_pos[static_cast<size_t>(row)];
  } else {
    const size_t i = static_cast<size_t>(-(row + 1));
    if (i >= m_neg.size()) m_neg.resize(i + 1);
    r = &m_neg[i];
  }
  std::vector<CGridCell>& side = column >= 0 ? r->pos : r->neg;
  const size_t i = column >= 0 ? static_cast<size_t>(column) : static_cast<size_t>(-(column + 1));
  if (i >= side.size()) {
    // A row grows once to the sheet's width instead of doubling its way there.
    const size_t width = static_cast<size_t>(std::max(Columns(), 0));
    if (column >= 0 && side.capacity() <= i && width > i) side.reserve(width);
    side.resize(i + 1);
  }
  CGridCell& slot = side[i];
  slot.m_stored = true;
  slot.SetMask(cell.GetMask());
  slot.MergeFrom(cell);
  return 0;
}

int CGridMem::FindFirst(const wxString& text, int& column, int& row, int flags) {
  const bool back = (flags & gridfind::kBackwards) != 0;
  if (flags & gridfind::kAllColumns) {
    column = back ? Columns() : -1;
    row = back ? Rows() - 1 : 0;
  } else {
    row = back ? Rows() : -1;
  }
  return FindNext(text, column, row, flags);
}

int CGridMem::FindNext(const wxString& text, int& column, int& row, int flags) {
  const int rows = Rows(), columns = Columns();
  const bool all = (flags & gridfind::kAllColumns) != 0;
  const bool back = (flags & gridfind::kBackwards) != 0;
  const bool noCase = (flags & gridfind::kNoCase) != 0;
  if (rows <= 0 || columns <= 0 || text.empty()) return 1;
  if (!all && (column < 0 || column >= columns)) return 1;
  const wxString wanted = noCase ? GridUpper(text) : text;
  int c = column, r = row;
  // Every cell once, the start cell last; indexes outside the sheet wrap into it.
  const long long total = all ? static_cast<long long>(rows) * columns : rows;
  for (long long n = 0; n < total; ++n) {
    if (all) {
      c += back ? -1 : 1;
      if (c < 0) {
        c = columns - 1;
        --r;
      } else if (c >= columns) {
        c = 0;
        ++r;
      }
    } else {
      r += back ? -1 : 1;
    }
    if (r < 0) r = rows - 1;
    if (r >= rows) r = 0;
    const CGridCell* cell = Slot(c, r);
    if (!cell) continue;
    wxString t = cell->GetText();
    if (t.empty()) continue;
    if (noCase) t = GridUpper(t);
    const bool hit = (flags & gridfind::kSubstring) ? t.Find(wanted) != wxNOT_FOUND : t == wanted;
    if (hit) {
      column = c;
      row = r;
      return 0;
    }
  }
  return 1;
}

int CGridMem::SortBy(const int* columns, int count, int flags) {
  if (m_pos.empty()) return 1;
  if (!columns || count <= 0) return 0;
  const size_t n = m_pos.size();
  static const CGridCell reset;
  std::vector<const CGridCell*> keys(n * static_cast<size_t>(count));
  for (size_t r = 0; r < n; ++r) {
    for (int k = 0; k < count; ++k) {
      const CGridCell* c = Slot(columns[k], static_cast<int>(r));
      keys[r * static_cast<size_t>(count) + static_cast<size_t>(k)] = c ? c : &reset;
    }
  }
  const auto compare = [&](size_t a, size_t b) {
    for (int k = 0; k < count; ++k) {
      const CGridCell* ka = keys[a * static_cast<size_t>(count) + static_cast<size_t>(k)];
      const CGridCell* kb = keys[b * static_cast<size_t>(count) + static_cast<size_t>(k)];
      const int c = m_control ? m_control->CompareCells(ka, kb, flags) : GridCompareCells(ka, kb, flags);
      if (c) return c;
    }
    return 0;
  };
  // Bottom-up merge sort: stable, and it stays in bounds whatever the comparison says.
  std::vector<size_t> order(n), work(n);
  for (size_t i = 0; i < n; ++i) order[i] = i;
  for (size_t width = 1; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      size_t i = lo, j = mid, o = lo;
      while (i < mid && j < hi) work[o++] = compare(order[j], order[i]) < 0 ? order[j++] : order[i++];
      while (i < mid) work[o++] = order[i++];
      while (j < hi) work[o++] = order[j++];
    }
    order.swap(work);
  }
  std::vector<Row> sorted;
  sorted.reserve(n);
  for (size_t i : order) sorted.push_back(std::move(m_pos[i]));
  m_pos.swap(sorted);
  return 0;
}

int CGridMem::FindNonEmptyColumnLeft(int& column, int row) {
  for (int c = column - 1; c >= 0; --c) {
    const CGridCell* cell = Slot(c, row);
    if (cell && cell->IsSet(gridcell::kValue) && !cell->GetText().empty()) {
      column = c;
      return 0;
    }
  }
  return 1;
}

size_t CGridMem::MemoryBytes() const {
  size_t bytes = (m_pos.capacity() + m_neg.capacity()) * sizeof(Row);
  for (auto* rows : {&m_pos, &m_neg}) {
    for (const Row& r : *rows) {
      bytes += (r.pos.capacity() + r.neg.capacity()) * sizeof(CGridCell);
      for (const CGridCell& c : r.pos) bytes += c.HeapBytes();
      for (const CGridCell& c : r.neg) bytes += c.HeapBytes();
    }
  }
  return bytes;
}

size_t CGridMem::StoredCells() const {
  size_t n = 0;
  for (auto* rows : {&m_pos, &m_neg}) {
    for (const Row& r : *rows) {
      for (const CGridCell& c : r.pos) n += c.m_stored;
      for (const CGridCell& c : r.neg) n += c.m_stored;
    }
  }
  return n;
}
