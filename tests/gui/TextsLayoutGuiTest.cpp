// The texts folder keeps its list layout in its project's "PROJECT.SET": the language
// columns' widths come back after the window closes and the project is read anew.
#include <gtest/gtest.h>

#include <wx/listctrl.h>

#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "framework/SettingsFile.h"
#include "model/PrjDevice.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

CProjectObject* FindKind(CProjectObject* object, TypeCode code) {
  if (object->GetTypeCode() == code) return object;
  object->LoadChildren();
  for (CProjectObject* child : object->GetChildren())
    if (CProjectObject* found = FindKind(child, code)) return found;
  return nullptr;
}

class TextsLayoutGui : public hvtest::ProjectWindowFixture {
 protected:
  // Shows the texts folder of the project's device in the list; its column widths.
  std::vector<int> ShowTexts(CPOProject* project) {
    if (!ChildNamed(project, S("Panel"))) project->LoadChildren();
    CProjectObject* device = ChildNamed(project, S("Panel"));
    if (!device) return {};
    CProjectObject* texts = FindKind(device, TypeCode::ResString);
    if (!texts || !SelectInTree(texts)) return {};
    wxListCtrl* list = frame->GetListView()->Control();
    std::vector<int> widths;
    for (int i = 0; i < list->GetColumnCount(); ++i) widths.push_back(list->GetColumnWidth(i));
    return widths;
  }
};

}  // namespace

TEST_F(TextsLayoutGui, LanguageColumnWidthsSurviveClosingAndReadingTheProjectAgain) {
  CPOPrjFolder* folder = AddFolder(S("Anlagen"));
  CPOProject* project = AddProject(folder, S("Halle"));
  const wxString path = project->GetFolder();
  CSettingsFile(hv::JoinPath(path, "PROJECT.SET")).WriteString("Languages/Fonts", "1031", "Arial");
  CSettingsFile(hv::JoinPath(path, "PROJECT.SET")).WriteString("Languages/Fonts", "1033", "Arial");
  Open();
  CPOPrjDevice* device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  {
    // One text, so that the device shows its texts folder.
    hv::db::Table t;
    ASSERT_TRUE(t.open(device->GetDeviceFolder(), hv::db::TextwSchema()));
    hv::db::TextwRow row;
    row.language = 1031;
    row.text = S("Hallo");
    ASSERT_TRUE(hv::db::wtext_insert(t, row));
  }

  const std::vector<int> first = ShowTexts(project);
  ASSERT_GE(first.size(), 4u);   // three fixed columns and English
  wxListCtrl* list = frame->GetListView()->Control();
  const int last = list->GetColumnCount() - 1;
  list->SetColumnWidth(1, first[1] + 40);
  list->SetColumnWidth(last, first[static_cast<size_t>(last)] + 70);
  Close();
  EXPECT_FALSE(CSettingsFile(hv::JoinPath(path, "PROJECT.SET")).GetString("Pane1", "21214000", "").empty());
  EXPECT_TRUE(CSettingsFile(home.Sub("Project.INI")).GetString("Pane1", "21214000", "").empty());

  // The project as a new start reads it: a fresh object from its folder.
  {
    DispatchScope scope;
    folder->RemoveChild(project);
  }
  auto again = std::make_unique<CPOProject>(S("Halle"), path);
  again->SetLevel(folder->GetLevel() + 1);
  again->SetParentFolderKey(folder->OwnKey());
  project = static_cast<CPOProject*>(folder->AddChild(std::move(again)));
  Open();
  const std::vector<int> second = ShowTexts(project);
  ASSERT_EQ(second.size(), first.size());
  EXPECT_EQ(second[1], first[1] + 40);
  EXPECT_EQ(second[static_cast<size_t>(last)], first[static_cast<size_t>(last)] + 70);
}
