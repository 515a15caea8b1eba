#include "tests/support/ViewFixture.h"

#include "framework/MenuModel.h"

namespace hvtest {

ViewNode::ViewNode(TypeCode code, const wxString& name, std::string className)
    : FakeObject(code, std::move(className), name) {}

ViewNode* ViewNode::AddNode(TypeCode code, const wxString& name, std::string className) {
  return static_cast<ViewNode*>(AddChild(std::make_unique<ViewNode>(code, name, std::move(className))));
}

CPOPrjDevice* AsDevice(ViewNode* node) {
  // Never dereferenced: the views only compare device pointers.
  return reinterpret_cast<CPOPrjDevice*>(node);
}

void ViewNode::PlaceInDevice(ViewNode* device) { SetDevice(AsDevice(device)); }

BOOL ViewNode::LoadChildren() {
  ++loads;
  if (loader) loader(*this);
  return TRUE;
}

BOOL ViewNode::Edit() {
  ++edits;
  return TRUE;
}

std::span<ColumnDef> ViewNode::GetColumnDefs() {
  if (!columns) return CProjectObject::GetColumnDefs();
  return std::span<ColumnDef>(columns->data(), columns->size());
}

wxString ViewNode::GetColumnText(int column) {
  ++textRequests;
  if (column == 0) return GetName();
  if (column == 1) return wxString::Format("%d", value);
  return wxString::Format("c%d", column);
}

int ViewNode::Compare(const CProjectObject* other, int column) {
  if (column == 1) {
    const int b = static_cast<const ViewNode*>(other)->value;
    return value < b ? -1 : value > b ? 1 : 0;
  }
  return CProjectObject::Compare(other, column);
}

void ViewNode::AdjustContextMenu(CMenu& menu) {
  ++menuAdjustments;
  menu.AppendMenu(49999, wxS("Angepasst"));
}

}  // namespace hvtest
