#include "framework/ListLayout.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// Reads a decimal integer (blanks before it skipped, as "%d" does) at `pos`.
bool ReadInt(const wxString& text, size_t& pos, int& out) {
  size_t p = pos;
  while (p < text.length() && (text[p] == ' ' || text[p] == '\t')) ++p;
  bool negative = false;
  if (p < text.length() && (text[p] == '-' || text[p] == '+')) negative = text[p++] == '-';
  const size_t digits = p;
  long long value = 0;
  while (p < text.length() && text[p] >= '0' && text[p] <= '9') {
    value = value * 10 + (text[p] - '0');
    if (value > std::numeric_limits<int>::max()) return false;
    ++p;
  }
  if (p == digits) return false;
  out = static_cast<int>(negative ? -value : value);
  pos = p;
  return true;
}

// Reads "n,n,...,n" (count numbers separated by single commas) from the front.
bool ReadGroup(const wxString& text, int count, int* out) {
  size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      if (pos >= text.length() || text[pos] != ',') return false;
      ++pos;
    }
    if (!ReadInt(text, pos, out[i])) return false;
  }
  return true;
}

// Drops `count` comma-separated fields from the front.
wxString DropFields(const wxString& text, int count) {
  size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    const size_t comma = text.find(',', pos);
    if (comma == wxString::npos) return wxString();
    pos = comma + 1;
  }
  return text.Mid(pos);
}

int ReadSortValue(const wxString& rest) {
  size_t pos = 0;
  int value = 0;
  return ReadInt(rest, pos, value) ? value : 0;
}

bool IsPermutation(std::span<const ColumnDef> table) {
  std::vector<bool> seen(table.size(), false);
  for (const ColumnDef& c : table) {
    if (c.order < 0 || c.order >= static_cast<int>(table.size()) || seen[static_cast<size_t>(c.order)]) return false;
    seen[static_cast<size_t>(c.order)] = true;
  }
  return true;
}

wxString ReadOrdinary(const wxString& value, std::span<ColumnDef> table) {
  const int rows = static_cast<int>(table.size());
  wxString rest = value;
  std::vector<bool> given(table.size(), false);
  for (int row = 0; row < rows;) {
    int pair[2];
    if (!ReadGroup(rest, 2, pair)) break;
    rest = DropFields(rest, 2);
    if (pair[1] >= rows) continue;   // the next pair is tried for the same row
    table[static_cast<size_t>(row)].width = pair[0] < 0 ? 100 : pair[0];
    table[static_cast<size_t>(row)].order = pair[1];
    given[static_cast<size_t>(row)] = true;
    ++row;
  }
  for (int row = 0; row < rows; ++row) {
    if (given[static_cast<size_t>(row)]) continue;
    table[static_cast<size_t>(row)].order = row;
    table[static_cast<size_t>(row)].width = 100;
  }
  return rest;
}

}  // namespace

int ApplyListLayout(const wxString& value, std::span<ColumnDef> table, bool textsFolder) {
  for (ColumnDef& c : table) c.order = -1;
  wxString rest = value;
  bool ordinary = !textsFolder;
  if (textsFolder) {
    int read = 0;
    for (;;) {
      int triple[3];
      if (!ReadGroup(rest, 3, triple)) break;
      const int key = triple[2];
      if (key >= 3 && key <= 999) {
        // Not a texts-folder value after all.
        ordinary = true;
        break;
      }
      ColumnDef* target = nullptr;
      if (key == 1 || key == 2) {
        if (key < static_cast<int>(table.size())) target = &table[static_cast<size_t>(key)];
      } else {
        for (ColumnDef& c : table)
          if (c.key == key) {
            target = &c;
            break;
          }
      }
      if (target) {
        target->width = triple[0] < 0 ? 100 : triple[0];
        target->order = triple[1];
      }
      rest = DropFields(rest, 3);
      ++read;
    }
    if (!ordinary) {
      int next = read;
      for (ColumnDef& c : table) {
        if (c.order != -1) continue;
        c.order = next++;
        c.width = 100;
      }
    } else {
      for (ColumnDef& c : table) c.order = -1;
      rest = value;
    }
  }
  if (ordinary) rest = ReadOrdinary(value, table);
  if (!IsPermutation(table))
    for (size_t i = 0; i < table.size(); ++i) table[i].order = static_cast<int>(i);
  return ReadSortValue(rest);
}

wxString FormatListLayout(std::span<const ColumnDef> table, int sortColumn, int sortDirection, bool textsFolder) {
  wxString out;
  for (size_t i = 0; i < table.size(); ++i) {
    const ColumnDef& c = table[i];
    if (textsFolder) {
      const int key = (i == 1 || i == 2) ? static_cast<int>(i) : c.key;
      out += wxString::Format("%d,%d,%d,", c.width, c.order, key);
    } else {
      out += wxString::Format("%d,%d,", c.width, c.order);
    }
  }
  out += wxString::Format("%d", SortValueOf(sortColumn, sortDirection));
  return out;
}

std::vector<int> DisplayOrderOf(std::span<const ColumnDef> table) {
  std::vector<int> display(table.size());
  if (!IsPermutation(table)) {
    for (size_t i = 0; i < table.size(); ++i) display[i] = static_cast<int>(i);
    return display;
  }
  for (size_t i = 0; i < table.size(); ++i) display[static_cast<size_t>(table[i].order)] = static_cast<int>(i);
  return display;
}

ListPagination PaginateList(int rowCount, int pageHeight, int rowHeight) {
  ListPagination p;
  if (rowHeight <= 0) rowHeight = 1;
  p.rowsPerPage = std::max(1, pageHeight / rowHeight - 8);
  p.pageCount = rowCount <= 0 ? 0 : (rowCount + p.rowsPerPage - 1) / p.rowsPerPage;
  return p;
}
