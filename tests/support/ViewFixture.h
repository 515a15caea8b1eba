#pragma once
// Stand-in objects for tests of the tree and list views: each records its loads and
// edits, and their tree and list answers can be set per object.
#include <functional>
#include <string>
#include <vector>

#include "tests/support/TestObjects.h"

class CPOPrjDevice;

namespace hvtest {

class ViewNode : public FakeObject {
 public:
  ViewNode(TypeCode code, const wxString& name, std::string className = "CPOFake");

  ViewNode* AddNode(TypeCode code, const wxString& name, std::string className = "CPOFake");
  // Marks this object (and what is added below it later) as lying in `device`.
  void PlaceInDevice(ViewNode* device);

  BOOL LoadChildren() override;
  BOOL HasTreeChildren() override { return treeChildren ? TRUE : FALSE; }
  BOOL HasListChildren() override { return listChildren ? TRUE : FALSE; }
  BOOL IsShownInTree() override { return shownInTree ? TRUE : FALSE; }
  BOOL Edit() override;
  int GetImage() override { return image; }
  int GetContextMenuId() override { return menuId; }
  std::span<ColumnDef> GetColumnDefs() override;
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  void OnColumnDblClick(int column) override { columnClicks.push_back(column); }
  void AdjustContextMenu(CMenu& menu) override;
  BOOL IsStale() override { return stale ? TRUE : FALSE; }
  wxString GetListCaption() override { return caption; }

  std::function<void(ViewNode&)> loader;
  int loads = 0;
  int edits = 0;
  bool treeChildren = true;
  bool listChildren = false;
  bool shownInTree = true;
  bool stale = false;
  int image = 4;
  int menuId = 436;
  int value = 0;   // column 1 shows it; Compare of column 1 orders by it
  wxString caption;
  std::vector<int> columnClicks;
  std::vector<ColumnDef>* columns = nullptr;   // nullptr: the base table
  int menuAdjustments = 0;
  // Column texts asked of all objects (a list must ask only for the rows it shows).
  static inline long textRequests = 0;
};

// The device pointer of an object that stands for a device in tests (only compared).
CPOPrjDevice* AsDevice(ViewNode* node);

}  // namespace hvtest
