#pragma once
// An in-memory stand-in for the tree control, for presenter tests without a display.
// It reports selection and expansion to the presenter as the control does.
#include <memory>
#include <vector>
#include <wx/string.h>

#include "app/TreePresenter.h"

namespace hvtest {

class FakeTree : public ITreeWidget {
 public:
  struct Node {
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
    wxString text;
    int image = 0;
    ObjectSerial serial = 0;
    bool expanded = false;
  };

  CTreePresenter* presenter = nullptr;
  int redrawOffCount = 0;
  // Calls that cost the control a walk over the siblings, and text reads.
  long siblingSteps = 0;
  long textReads = 0;

  TreeItem InsertItem(TreeItem parent, std::size_t index, const wxString& text, int image, ObjectSerial serial) override;
  void DeleteItem(TreeItem item) override;
  void DeleteChildren(TreeItem item) override;
  void DeleteAllItems() override;
  TreeItem GetParentItem(TreeItem item) override;
  TreeItem GetFirstChild(TreeItem parent) override;
  TreeItem GetLastChild(TreeItem parent) override;
  TreeItem GetNextSibling(TreeItem item) override;
  TreeItem GetPrevSibling(TreeItem item) override;
  wxString GetItemText(TreeItem item) override {
    ++textReads;
    return N(item)->text;
  }
  void SetItemText(TreeItem item, const wxString& text) override { N(item)->text = text; }
  ObjectSerial GetItemSerial(TreeItem item) override { return N(item)->serial; }
  TreeItem GetSelection() override { return m_selection; }
  void SelectItem(TreeItem item) override;
  void Expand(TreeItem item) override;
  // Collapses as the user would: the presenter hears of it first.
  void Collapse(TreeItem item);
  bool IsExpanded(TreeItem item) override { return N(item)->expanded; }
  void SetRedraw(bool on) override { if (!on) ++redrawOffCount; }

  // Texts of the children of `parent` (nullptr: top level), in order.
  std::vector<wxString> Texts(TreeItem parent = nullptr);
  // The item with the text path "A/B/C" (nullptr when missing).
  TreeItem Find(const wxString& path);
  std::size_t CountItems();

 private:
  static Node* N(TreeItem item) { return static_cast<Node*>(item); }
  std::vector<std::unique_ptr<Node>>& ChildrenOf(TreeItem parent) { return parent ? N(parent)->children : m_top; }
  bool Contains(Node* ancestor, Node* node);

  std::vector<std::unique_ptr<Node>> m_top;
  TreeItem m_selection = nullptr;
};

}  // namespace hvtest
