#include <gtest/gtest.h>

#include "framework/CommandIds.h"
#include "app/CommandRouting.h"
#include "app/ListPresenter.h"
#include "app/MenuResources.h"
#include "framework/SettingsFile.h"
#include "platform/IniFile.h"
#include "tests/support/FakeList.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ViewFixture.h"

using hvtest::FakeList;
using hvtest::RecordingView;
using hvtest::S;
using hvtest::ViewNode;

namespace {

std::vector<ColumnDef> TwoColumns() {
  std::vector<ColumnDef> t(2);
  t[0].title = S("Name");
  t[0].width = 120;
  t[1].title = S("Wert");
  t[1].width = 60;
  t[1].subItem = 1;
  t[1].order = 1;
  return t;
}

class ListPresenterTest : public testing::Test {
 protected:
  ListPresenterTest() {
    profile.SetPath(home.Sub("Project.INI"));
    doc.AddView(&tree);
    folder = static_cast<ViewNode*>(doc.AddRoot(std::make_unique<ViewNode>(TypeCode::ResMask, S("Masken"), "CPOResMask")));
    folder->columns = &maskColumns;
    int v = 3;
    for (const char* name : {"delta", "Alpha", "charlie", "Bravo"}) folder->AddNode(TypeCode::Mask, S(name))->value = v--;
    presenter.OnInitialUpdate();
  }
  ~ListPresenterTest() override { doc.RemoveView(&tree); }

  void Show(CProjectObject* object) { doc.UpdateAllViews(&tree, HINT_SHOW_OBJECT, object); }
  std::vector<wxString> Names() {
    std::vector<wxString> out;
    for (std::size_t i = 0; i < presenter.GetRowCount(); ++i) out.push_back(presenter.RowObject(i)->GetName());
    return out;
  }
  ViewNode* Child(const char* name) {
    for (CProjectObject* c : folder->GetChildren())
      if (c->GetName() == S(name)) return static_cast<ViewNode*>(c);
    return nullptr;
  }

  hvtest::TempHome home;
  CSettingsFile profile;
  CTavProjectDoc doc;
  RecordingView tree;
  FakeList list;
  CListPresenter presenter{list, doc, profile};
  std::vector<ColumnDef> maskColumns = TwoColumns();
  ViewNode* folder = nullptr;
};

}  // namespace

TEST_F(ListPresenterTest, ListsChildrenByNameWithTheirColumns) {
  EXPECT_EQ(list.style, LIST_STYLE_DETAILS);
  Show(folder);
  EXPECT_EQ(Names(), (std::vector<wxString>{S("Alpha"), S("Bravo"), S("charlie"), S("delta")}));
  ASSERT_EQ(list.columns.size(), 2u);
  EXPECT_EQ(list.columns[1].title, S("Wert"));
  EXPECT_EQ(presenter.RowText(0, 1), S("2"));
  EXPECT_EQ(folder->loads, 0);   // it had its children already

  // Hints from object operations (no sender) do not change what is listed.
  ViewNode* other = folder->AddNode(TypeCode::Mask, S("andere"));
  doc.UpdateAllViews(nullptr, HINT_SHOW_OBJECT, other);
  EXPECT_EQ(presenter.GetListed(), folder);
  // A null object resets to the base columns and empties the list.
  Show(nullptr);
  EXPECT_EQ(presenter.GetRowCount(), 0u);
  EXPECT_EQ(list.columns.size(), 1u);
  EXPECT_EQ(presenter.GetListed(), nullptr);
}

TEST_F(ListPresenterTest, ColumnClicksSortByTheObjectsAndTheLayoutIsStoredPerType) {
  Show(folder);
  presenter.OnColumnClick(1);
  EXPECT_EQ(Names(), (std::vector<wxString>{S("Bravo"), S("charlie"), S("Alpha"), S("delta")}));
  EXPECT_EQ(list.sortIndicator, 1);
  EXPECT_TRUE(list.sortAscending);
  presenter.OnColumnClick(1);
  EXPECT_EQ(Names(), (std::vector<wxString>{S("delta"), S("Alpha"), S("charlie"), S("Bravo")}));
  EXPECT_FALSE(list.sortAscending);
  presenter.OnColumnClick(1);
  EXPECT_TRUE(list.sortAscending);
  presenter.OnColumnClick(1);

  // Another type: the layout of this one is written ("21213000" = 0x21213000 masks folder).
  list.columns[0].width = 77;
  ViewNode* device = static_cast<ViewNode*>(doc.AddRoot(std::make_unique<ViewNode>(TypeCode::PrjDevice, S("Gerät"))));
  Show(device);
  hv::IniFlushCache();
  EXPECT_EQ(hv::IniGetString(home.Sub("Project.INI"), "Pane1", "21213000", ""), "77,0,60,1,-2");
  EXPECT_EQ(presenter.GetSortColumn(), 0);   // the base table has one column

  // Back: the stored layout returns, sorted descending by the second column.
  maskColumns = TwoColumns();
  profile.WriteString("Pane1", "21213000", "80,1,120,0,-2");
  Show(folder);
  ASSERT_EQ(list.columns.size(), 2u);
  EXPECT_EQ(list.columns[0].title, S("Wert"));
  EXPECT_EQ(list.columns[0].width, 120);
  EXPECT_EQ(list.columns[1].width, 80);
  EXPECT_EQ(Names(), (std::vector<wxString>{S("delta"), S("Alpha"), S("charlie"), S("Bravo")}));
  EXPECT_EQ(list.sortIndicator, 0);
  EXPECT_EQ(presenter.RowText(0, 0), S("3"));
}

TEST_F(ListPresenterTest, RowsFollowAddedAndRemovedObjects) {
  Show(folder);
  ViewNode* added = folder->AddNode(TypeCode::Mask, S("Bz"));
  doc.UpdateAllViews(nullptr, HINT_OBJECT_ADDED, added);
  EXPECT_EQ(Names(), (std::vector<wxString>{S("Alpha"), S("Bravo"), S("Bz"), S("charlie"), S("delta")}));
  EXPECT_EQ(list.GetSelectedRows(), (std::vector<std::size_t>{2}));
  EXPECT_EQ(list.focused, 2);

  // Deleting the selected last row selects the new last row.
  list.ClearSelection();
  list.SelectRow(4, true);
  folder->RemoveChild(Child("delta"));
  EXPECT_EQ(list.GetSelectedRows(), (std::vector<std::size_t>{3}));
  // A row goes while another stays selected: nothing new is selected.
  folder->RemoveChild(Child("Alpha"));
  EXPECT_EQ(list.GetSelectedRows(), (std::vector<std::size_t>{2}));
  EXPECT_EQ(Names(), (std::vector<wxString>{S("Bravo"), S("Bz"), S("charlie")}));

  const int refreshes = list.refreshes;
  doc.UpdateAllViews(nullptr, HINT_OBJECT_CHANGED, Child("Bz"));
  EXPECT_EQ(list.refreshes, refreshes + 1);

  // Hint 4 reloads only a stale listed object.
  doc.UpdateAllViews(nullptr, HINT_REFRESH_CHILDREN, nullptr);
  EXPECT_EQ(folder->loads, 0);
  folder->stale = true;
  doc.UpdateAllViews(nullptr, HINT_REFRESH_CHILDREN, nullptr);
  EXPECT_EQ(folder->loads, 1);

  // The listed object itself goes: the list empties instead of keeping its rows.
  doc.RemoveObject(folder);
  EXPECT_EQ(presenter.GetRowCount(), 0u);
  EXPECT_EQ(presenter.GetListed(), nullptr);
}

TEST_F(ListPresenterTest, RequestsGoToTheSelectedRowsOrTheListedObject) {
  Show(folder);
  CommandRoute route;
  route.Add([this](UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) { return presenter.OnCmdMsg(id, code, ui, probe); });
  list.SelectAll();
  // "Ä&ndern" works on one object only.
  EXPECT_FALSE(route.IsEnabled(ID_OBJECT_EDIT));
  // The list's own commands.
  EXPECT_TRUE(route.Execute(ID_EDIT_INVERT_SELECTION));
  EXPECT_FALSE(list.HasSelection());
  EXPECT_TRUE(route.Execute(ID_EDIT_SELECT_ALL));
  EXPECT_EQ(list.GetSelectedRows().size(), 4u);
  EXPECT_TRUE(route.Execute(ID_VIEW_LARGEICON));
  EXPECT_EQ(list.style, LIST_STYLE_ICON);
  CRecordingCmdUI ui(ID_VIEW_LARGEICON);
  route.Update(ui);
  EXPECT_EQ(ui.check, 1);
  presenter.OnDestroy();
  hv::IniFlushCache();
  EXPECT_EQ(hv::IniGetString(home.Sub("Project.INI"), "Pane1", "Type", ""), "0");
}

TEST_F(ListPresenterTest, DoubleClickAndContextMenus) {
  Show(folder);
  ViewNode* alpha = Child("Alpha");
  list.SelectRow(0, true);
  alpha->treeChildren = false;
  presenter.OnDoubleClick(1);
  EXPECT_EQ(alpha->columnClicks, (std::vector<int>{1}));
  alpha->listChildren = true;
  presenter.OnDoubleClick(0);
  EXPECT_EQ(tree.entries.back().hint, HINT_SHOW_OBJECT);
  alpha->treeChildren = true;
  presenter.OnDoubleClick(0);
  EXPECT_EQ(tree.entries.back().hint, HINT_OPEN_OBJECT);
  EXPECT_EQ(tree.entries.back().object, alpha);

  alpha->menuId = IDR_MENU_RESOURCE_ITEM;
  CListPresenter::MenuChoice choice = presenter.PrepareContextMenu();
  ASSERT_TRUE(choice.menu);
  EXPECT_EQ(alpha->menuAdjustments, 1);

  // Nothing selected: by the listed object's class.
  list.ClearSelection();
  choice = presenter.PrepareContextMenu();
  ASSERT_TRUE(choice.menu);
  EXPECT_EQ(choice.menu->GetMenuItemID(0), static_cast<UINT>(ID_OBJECT_NEW));
  ViewNode* device = static_cast<ViewNode*>(doc.AddRoot(std::make_unique<ViewNode>(TypeCode::PrjDevice, S("G"), "CPOPrjDevice")));
  Show(device);
  EXPECT_FALSE(presenter.PrepareContextMenu().menu);
  ViewNode* docs = device->AddNode(TypeCode::Documents, S("Dokumentation"), "CPODocuments");
  Show(docs);
  choice = presenter.PrepareContextMenu();
  ASSERT_TRUE(choice.menu);
  EXPECT_EQ(choice.menu->GetMenuString(0), S("Einfügen\tStrg+V"));
}
