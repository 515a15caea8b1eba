// Every object class's context menu exists, and no menu offers a command that nothing
// in the program can run.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/AppCommands.h"
#include "framework/CommandIds.h"
#include "app/ListPresenter.h"
#include "app/MainFrameCommands.h"
#include "app/MenuResources.h"
#include "app/TavProjectDoc.h"
#include "app/TreePresenter.h"
#include "build/CoDeSys.h"
#include "build/PrgCoDeSys.h"
#include "build/PrgProGRIPS.h"
#include "build/ProGRIPS.h"
#include "build/Program.h"
#include "build/TavGraph.h"
#include "build/TavSim.h"
#include "build/TavSimSource.h"
#include "model/FieldDevice.h"
#include "model/Network.h"
#include "model/DirectDataPoint.h"
#include "model/IOConfig.h"
#include "model/PrjDataPoint.h"
#include "model/Doc.h"
#include "model/Documents.h"
#include "model/PrjDevice.h"
#include "model/PrjFolder.h"
#include "model/Project.h"
#include "processdata/ADefFolder.h"
#include "processdata/AlarmDef.h"
#include "processdata/DataLoger.h"
#include "processdata/RDefFolder.h"
#include "processdata/Recipe.h"
#include "processdata/RecipeDef.h"
#include "resources/Bitmap.h"
#include "resources/Font.h"
#include "resources/Html.h"
#include "resources/HtmlFolder.h"
#include "resources/KeypadBmp.h"
#include "resources/KeypadXML.h"
#include "resources/Mask.h"
#include "resources/MaskElement.h"
#include "resources/Menu.h"
#include "resources/Pal.h"
#include "resources/ResBitmap.h"
#include "resources/ResFont.h"
#include "resources/ResKeypad.h"
#include "resources/ResMask.h"
#include "resources/ResMenu.h"
#include "resources/ResString.h"
#include "resources/Resource.h"
#include "resources/String.h"
#include "tests/support/TestEnv.h"

namespace {

// One object of every class of the program, the base class included.
std::vector<std::unique_ptr<CProjectObject>> EveryClass() {
  std::vector<std::unique_ptr<CProjectObject>> all;
  auto add = [&all](auto object) { all.push_back(std::move(object)); };
  add(std::make_unique<CProjectObject>());
  add(std::make_unique<CPOPrjFolder>());
  add(std::make_unique<CPOProject>());
  add(std::make_unique<CPODocuments>());
  add(std::make_unique<CPODoc>());
  add(std::make_unique<CPOPrjDevice>());
  add(std::make_unique<CPONetwork>());
  add(std::make_unique<CPODevice>());
  add(std::make_unique<CPOPrjDataPoint>());
  add(std::make_unique<CPODirectDataPoint>());
  add(std::make_unique<CPODataPoint>());
  add(std::make_unique<CPOIOConfig>());
  add(std::make_unique<CPOResource>());
  add(std::make_unique<CPOResBitmap>());
  add(std::make_unique<CPOBitmap>());
  add(std::make_unique<CPOResFont>());
  add(std::make_unique<CPOFont>());
  add(std::make_unique<CPOResMask>());
  add(std::make_unique<CPOMask>());
  add(std::make_unique<CPOMaskElement>());
  add(std::make_unique<CPOMaskButton>());
  add(std::make_unique<CPOResString>());
  add(std::make_unique<CPOString>());
  add(std::make_unique<CPOResMenu>());
  add(std::make_unique<CPOMenu>());
  add(std::make_unique<CPOResPal>());
  add(std::make_unique<CPOPal>());
  add(std::make_unique<CPOResKeypad>());
  add(std::make_unique<CPOKeypadXML>());
  add(std::make_unique<CPOKeypadBmp>());
  add(std::make_unique<CPOHtmlFolder>());
  add(std::make_unique<CPOHtml>());
  add(std::make_unique<CPORDefFolder>());
  add(std::make_unique<CPORecipeDef>());
  add(std::make_unique<CPORecipe>());
  add(std::make_unique<CPOADefFolder>());
  add(std::make_unique<CPOAlarmDef>());
  add(std::make_unique<CPODataLoger>());
  add(std::make_unique<CPOProgram>());
  add(std::make_unique<CPOTavGraph>());
  add(std::make_unique<CPOTavSim>());
  add(std::make_unique<CPOTavSimSource>());
  add(std::make_unique<CPOPrgCoDeSys>());
  add(std::make_unique<CPOCoDeSys>());
  add(std::make_unique<CPOPrgProGRIPS>());
  add(std::make_unique<CPOProGRIPS>());
  return all;
}

bool MapHandles(const CmdMap& map, UINT id) {
  for (const CmdMap* m = &map; m; m = m->base)
    for (const CmdMapEntry* e = m->entries; !e->IsEnd(); ++e)
      if (e->Covers(id) && e->handler) return true;
  return false;
}

// The shell's own handlers: the two views, the document, the frame and the application.
bool ShellHandles(UINT id) {
  return MapHandles(CTreePresenter::ClassCommandMap(), id) || MapHandles(CListPresenter::ClassCommandMap(), id) ||
         MapHandles(CTavProjectDoc::ClassCommandMap(), id) || MapHandles(CMainFrameCommands::ClassCommandMap(), id) ||
         MapHandles(CAppCommandTarget::ClassCommandMap(), id);
}

std::vector<UINT> Commands(const CMenu& menu) {
  std::vector<UINT> out;
  for (UINT id : menu.CommandIds())
    if (id != 0 && id != CMenu::kPopupId) out.push_back(id);
  return out;
}

class ContextMenus : public testing::Test {
 protected:
  ~ContextMenus() override {
    DispatchScope scope;
    for (auto& object : objects) CProjectObject::Discard(std::move(object));
  }
  hvtest::TempHome home;
  std::vector<std::unique_ptr<CProjectObject>> objects = EveryClass();
};

}  // namespace

TEST_F(ContextMenus, EveryClassHasAMenuWithItems) {
  for (auto& object : objects) {
    const UINT id = static_cast<UINT>(object->GetContextMenuId());
    std::optional<CMenu> menu = LoadContextMenu(id);
    ASSERT_TRUE(menu) << object->ClassName() << " names menu " << id << ", which does not exist";
    EXPECT_FALSE(Commands(*menu).empty()) << "menu " << id << " of " << object->ClassName() << " is empty";
  }
}

TEST_F(ContextMenus, EveryItemIsRunBySomeClassOrTheShell) {
  for (UINT menuId : ContextMenuIds()) {
    std::optional<CMenu> menu = LoadContextMenu(menuId);
    ASSERT_TRUE(menu);
    for (UINT command : Commands(*menu)) {
      // The device puts its tools in place of the marker before the menu shows.
      if (command == ID_DEVICE_TOOL_MARKER) continue;
      bool byAnyClass = false;
      for (auto& object : objects) byAnyClass = byAnyClass || object->HasCommandHandler(command);
      EXPECT_TRUE(byAnyClass || ShellHandles(command))
          << "menu " << menuId << " offers command " << command << ", which nothing runs";
    }
  }
}

TEST_F(ContextMenus, AProjectOffersItsOwnCommandsAndTheNewObjectDialog) {
  // The menu a right click on a project shows: each of these runs on the project itself.
  CPOProject project;
  std::optional<CMenu> menu = LoadContextMenu(static_cast<UINT>(project.GetContextMenuId()));
  ASSERT_TRUE(menu);
  for (UINT id : std::initializer_list<UINT>{ID_OBJECT_NEW, ID_OBJECT_EDIT, ID_OBJECT_DELETE, ID_NEW_OBJECT, ID_OBJECT_NEW_COPY, ID_IMPORT,
                  ID_BACKUP, ID_RESTORE, ID_EXPORT_DATA_POINTS, ID_DOWNLOAD_PROJECT}) {
    EXPECT_GE(menu->FindItemPos(id), 0) << id;
    EXPECT_TRUE(project.HasCommandHandler(id)) << id;
  }
  EXPECT_EQ(menu->GetMenuString(menu->FindItemPos(ID_BACKUP)), wxS("Sicherung"));
  // The clipboard commands belong to the views.
  for (UINT id : std::initializer_list<UINT>{ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE}) {
    EXPECT_GE(menu->FindItemPos(id), 0) << id;
    EXPECT_TRUE(MapHandles(CTreePresenter::ClassCommandMap(), id));
    EXPECT_TRUE(MapHandles(CListPresenter::ClassCommandMap(), id));
  }
}
