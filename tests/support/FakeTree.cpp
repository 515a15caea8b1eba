#include "tests/support/FakeTree.h"

#include <algorithm>

namespace hvtest {

TreeItem FakeTree::InsertItem(TreeItem parent, std::size_t index, const wxString& text, int image, ObjectSerial serial) {
  auto& list = ChildrenOf(parent);
  auto node = std::make_unique<Node>();
  node->parent = static_cast<Node*>(parent);
  node->text = text;
  node->image = image;
  node->serial = serial;
  Node* raw = node.get();
  list.insert(list.begin() + static_cast<long>(std::min(index, list.size())), std::move(node));
  return raw;
}

bool FakeTree::Contains(Node* ancestor, Node* node) {
  for (Node* n = node; n; n = n->parent)
    if (n == ancestor) return true;
  return false;
}

void FakeTree::DeleteItem(TreeItem item) {
  Node* node = N(item);
  if (m_selection && Contains(node, N(m_selection))) m_selection = nullptr;
  auto& list = ChildrenOf(node->parent);
  list.erase(std::find_if(list.begin(), list.end(), [node](const auto& p) { return p.get() == node; }));
}

void FakeTree::DeleteChildren(TreeItem item) {
  Node* node = N(item);
  if (m_selection && m_selection != item && Contains(node, N(m_selection))) m_selection = nullptr;
  node->children.clear();
}

void FakeTree::DeleteAllItems() {
  m_selection = nullptr;
  m_top.clear();
}

TreeItem FakeTree::GetParentItem(TreeItem item) { return N(item)->parent; }

TreeItem FakeTree::GetFirstChild(TreeItem parent) {
  auto& list = ChildrenOf(parent);
  return list.empty() ? nullptr : list.front().get();
}

TreeItem FakeTree::GetLastChild(TreeItem parent) {
  auto& list = ChildrenOf(parent);
  return list.empty() ? nullptr : list.back().get();
}

TreeItem FakeTree::GetNextSibling(TreeItem item) {
  ++siblingSteps;
  auto& list = ChildrenOf(N(item)->parent);
  for (std::size_t i = 0; i + 1 < list.size(); ++i)
    if (list[i].get() == item) return list[i + 1].get();
  return nullptr;
}

TreeItem FakeTree::GetPrevSibling(TreeItem item) {
  ++siblingSteps;
  auto& list = ChildrenOf(N(item)->parent);
  for (std::size_t i = 1; i < list.size(); ++i)
    if (list[i].get() == item) return list[i - 1].get();
  return nullptr;
}

void FakeTree::SelectItem(TreeItem item) {
  if (item == m_selection) return;
  m_selection = item;
  if (presenter) presenter->OnSelChanged(item);
}

void FakeTree::Expand(TreeItem item) {
  Node* node = N(item);
  if (node->expanded || node->children.empty()) return;
  if (presenter) presenter->OnItemExpanding(item);
  node->expanded = true;
}

void FakeTree::Collapse(TreeItem item) {
  Node* node = N(item);
  if (!node->expanded) return;
  if (presenter) presenter->OnItemCollapsing(item);
  node->expanded = false;
}

std::vector<wxString> FakeTree::Texts(TreeItem parent) {
  std::vector<wxString> out;
  for (const auto& c : ChildrenOf(parent)) out.push_back(c->text);
  return out;
}

TreeItem FakeTree::Find(const wxString& path) {
  TreeItem current = nullptr;
  wxString rest = path;
  while (!rest.empty()) {
    const wxString part = rest.BeforeFirst('/');
    rest = rest.Contains("/") ? rest.AfterFirst('/') : wxString();
    TreeItem next = nullptr;
    for (const auto& c : ChildrenOf(current))
      if (c->text == part) {
        next = c.get();
        break;
      }
    if (!next) return nullptr;
    current = next;
  }
  return current;
}

std::size_t FakeTree::CountItems() {
  std::size_t n = 0;
  std::vector<Node*> stack;
  for (auto& c : m_top) stack.push_back(c.get());
  while (!stack.empty()) {
    Node* node = stack.back();
    stack.pop_back();
    ++n;
    for (auto& c : node->children) stack.push_back(c.get());
  }
  return n;
}

}  // namespace hvtest
