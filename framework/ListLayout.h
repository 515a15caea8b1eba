#pragma once
// Stored column layouts of the list view, one per object type ("Pane1", key = the type
// code as upper-case hexadecimal): per column "width,position," (the texts folder adds
// a column key: "width,position,key,"), then the sort value (sort column + 1, negative
// for descending order).
#include <span>
#include <vector>
#include <wx/string.h>

#include "framework/LocalTables.h"

// Applies a stored value to a column table (widths and display positions). Returns the
// stored sort value (0: none). Values that cannot be read leave positions by row order
// and width 100; positions that do not form an order of all columns are replaced by
// the row order.
int ApplyListLayout(const wxString& value, std::span<ColumnDef> table, bool textsFolder);

// The value to store for a table whose widths and positions are current.
wxString FormatListLayout(std::span<const ColumnDef> table, int sortColumn, int sortDirection, bool textsFolder);

constexpr int SortValueOf(int sortColumn, int sortDirection) {
  return sortDirection ? -(sortColumn + 1) : sortColumn + 1;
}

// The table rows in display order. When the positions are no order of all rows, the
// row order is used.
std::vector<int> DisplayOrderOf(std::span<const ColumnDef> table);

// Printing: rows per page and page count for a page height and a (scaled) row height,
// both in printer pixels. At least one row per page; no pages without rows.
struct ListPagination {
  int rowsPerPage = 1;
  int pageCount = 0;
};
ListPagination PaginateList(int rowCount, int pageHeight, int rowHeight);
