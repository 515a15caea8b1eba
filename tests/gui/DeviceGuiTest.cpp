// A new device made from its project's menu command in the real window: it shows in
// the tree with the children its configuration calls for, and its context menu lists
// the external tools that fit it.
#include <gtest/gtest.h>

#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "framework/CommandIds.h"
#include "app/MenuResources.h"
#include "framework/ToolsRepository.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/ProjectTreeView.h"
#include "platform/Paths.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

// Three installed tools: one for the device's network and type, one its configuration
// does not name, one for another network.
const char* const kTools =
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\TAVTERM\\1.2]\n"
    "\"AppName\"=\"Terminal\"\n\"AppExe\"=\"/bin/true\"\n\"AppGUID\"=\"{TAVTERM}\"\n\"InTools\"=dword:0\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\TAVTERM\\1.2\\Set1]\n\"Driver\"=\"MBTCP\"\n\"Para\"=\"-n %n\"\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\OTHER\\1.0]\n"
    "\"AppName\"=\"Fremdwerkzeug\"\n\"AppExe\"=\"/bin/true\"\n\"AppGUID\"=\"{OTHER}\"\n\"InTools\"=dword:0\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\OTHER\\1.0\\Set1]\n\"Driver\"=\"MBTCP\"\n\"Para\"=\"\"\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\TAVTERM\\2.0]\n"
    "\"AppName\"=\"Terminal Feldbus\"\n\"AppExe\"=\"/bin/true\"\n\"AppGUID\"=\"{TAVTERM}\"\n\"InTools\"=dword:0\n"
    "[SOFTWARE\\Quintor\\Halvora\\Tools\\TAVTERM\\2.0\\Set1]\n\"Driver\"=\"SIMNET\"\n\"Para\"=\"\"\n";

class DeviceGui : public hvtest::ProjectWindowFixture {
 protected:
  DeviceGui() : ProjectWindowFixture(kTools) {}

  // Opens the tree's context menu on the object's item as a right click would and
  // returns the labels it showed; the menu is closed again with Escape.
  std::vector<wxString> ContextMenuOf(CProjectObject* object) {
    std::vector<wxString> labels;
    const wxTreeItemId item = Tree().ItemOf(object);
    wxRect rect;
    if (!item.IsOk() || !Tree().GetBoundingRect(item, rect, true)) return labels;
    auto record = [&labels](wxMenuEvent& event) {
      if (wxMenu* menu = event.GetMenu(); menu && labels.empty()) {
        menu->UpdateUI();
        for (wxMenuItem* entry : menu->GetMenuItems())
          if (!entry->IsSeparator()) labels.push_back(entry->GetItemLabelText() + (entry->IsEnabled() ? "" : " (-)"));
      }
      event.Skip();
    };
    Tree().Bind(wxEVT_MENU_OPEN, record);
    {
      hvtest::PopupDriver closer(Tree(), {WXK_ESCAPE});
      wxContextMenuEvent event(wxEVT_CONTEXT_MENU, Tree().GetId(), Tree().ClientToScreen(rect.GetPosition() + wxPoint(4, 4)));
      event.SetEventObject(&Tree());
      Tree().GetEventHandler()->ProcessEvent(event);
    }
    Tree().Unbind(wxEVT_MENU_OPEN, record);
    return labels;
  }
};

bool Lists(const std::vector<wxString>& labels, const wxString& label) {
  return std::find(labels.begin(), labels.end(), label) != labels.end();
}

}  // namespace

TEST_F(DeviceGui, ANewDeviceShowsItsChildrenAndTheToolsThatFitIt) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  ASSERT_TRUE(SelectInTree(project));
  // The project's own menu offers the new-object dialog, through which devices come.
  EXPECT_TRUE(Lists(ContextMenuOf(project), S("Neu...")));

  AnswerNewDevice({S("Panel")});
  ASSERT_TRUE(EnabledInTree(ID_OBJECT_NEW));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();   // the device's late questions
  auto* device = dynamic_cast<CPOPrjDevice*>(ChildNamed(project, S("Panel")));
  ASSERT_TRUE(device);
  EXPECT_TRUE(hv::IsFile(hv::ResolvePath(hv::JoinPath(device->GetDeviceFolder(), "DEVICE.SET"))));
  EXPECT_EQ(TreeChildren(project), std::vector<wxString>{S("Panel")});

  // A graphic panel with resources of its own: the resource node with its fonts.
  const std::vector<wxString> children = TreeChildren(device);
  EXPECT_EQ(children, std::vector<wxString>{S("Ressourcen")});
  CProjectObject* resources = ChildNamed(device, S("Ressourcen"));
  ASSERT_TRUE(resources);
  EXPECT_TRUE(Lists(TreeChildren(resources), S("Fonts")));

  // Its menu: the tool for its network that its configuration accepts, in place of the
  // marker; not the one the configuration does not name, nor the one for another bus.
  ASSERT_TRUE(SelectInTree(device));
  const std::vector<wxString> menu = ContextMenuOf(device);
  ASSERT_FALSE(menu.empty());
  EXPECT_TRUE(Lists(menu, S("Terminal")));
  EXPECT_FALSE(Lists(menu, S("Fremdwerkzeug")));
  EXPECT_FALSE(Lists(menu, S("Terminal Feldbus")));
  EXPECT_FALSE(Lists(menu, S("<ToolPopup1>")));
  EXPECT_TRUE(Lists(menu, S("Ändern")));
  EXPECT_TRUE(EnabledInTree(kFirstDeviceToolCommand));
  EXPECT_TRUE(ui.AllExpectationsMet());
}
