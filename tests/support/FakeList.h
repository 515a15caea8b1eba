#pragma once
// An in-memory stand-in for the list control, for presenter tests without a display.
#include <vector>

#include "app/ListPresenter.h"

namespace hvtest {

class FakeList : public IListWidget {
 public:
  std::vector<ListColumn> columns;
  std::vector<bool> selected;
  std::size_t rowCount = 0;
  long focused = -1;
  int sortIndicator = -2;
  bool sortAscending = true;
  int style = -1;
  int refreshes = 0;
  std::uint64_t version = 1;   // the selection's
  long selectionReads = 0;
  long rowsDeletedOneByOne = 0;
  long rowsInsertedOneByOne = 0;
  long deleteBatches = 0;

  void SetColumns(const std::vector<ListColumn>& cols) override { columns = cols; }
  int GetColumnWidth(int displayIndex) override { return columns.at(static_cast<size_t>(displayIndex)).width; }
  void SetRowCount(std::size_t count) override {
    ++version;
    rowCount = count;
    selected.assign(count, false);
  }
  void InsertRow(std::size_t index) override {
    ++version;
    ++rowsInsertedOneByOne;
    ++rowCount;
    selected.insert(selected.begin() + static_cast<long>(index), false);
  }
  void DeleteRow(std::size_t index) override {
    ++version;
    ++rowsDeletedOneByOne;
    --rowCount;
    selected.erase(selected.begin() + static_cast<long>(index));
  }
  void DeleteRows(const std::vector<std::size_t>& rows) override {
    ++version;
    ++deleteBatches;
    std::size_t to = 0, next = 0;
    for (std::size_t from = 0; from < selected.size(); ++from) {
      if (next < rows.size() && rows[next] == from) {
        ++next;
        continue;
      }
      selected[to++] = selected[from];
    }
    selected.resize(to);
    rowCount = to;
  }
  void RefreshRow(std::size_t) override { ++refreshes; }
  void RefreshAll() override { ++refreshes; }
  std::vector<std::size_t> GetSelectedRows() override {
    ++selectionReads;
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < selected.size(); ++i)
      if (selected[i]) out.push_back(i);
    return out;
  }
  bool HasSelection() override {
    for (bool s : selected)
      if (s) return true;
    return false;
  }
  void SelectRow(std::size_t index, bool select) override {
    ++version;
    selected.at(index) = select;
  }
  void SelectAll() override {
    ++version;
    selected.assign(rowCount, true);
  }
  void ClearSelection() override {
    ++version;
    selected.assign(rowCount, false);
  }
  void FocusRow(std::size_t index) override { focused = static_cast<long>(index); }
  void ShowSortIndicator(int displayIndex, bool ascending) override {
    sortIndicator = displayIndex;
    sortAscending = ascending;
  }
  void SetViewStyle(int s) override { style = s; }
  std::uint64_t SelectionVersion() override { return version; }
};

}  // namespace hvtest
