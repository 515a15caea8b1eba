#include <gtest/gtest.h>

#include "app/AppCommands.h"
#include "framework/CommandIds.h"
#include "app/FrameRouting.h"
#include "app/MainFrameCommands.h"
#include "app/MenuResources.h"
#include "app/TavProjectApp.h"
#include "app/TavProjectDoc.h"
#include "platform/Registry.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

class FrameRoutingTest : public testing::Test {
 protected:
  FrameRoutingTest() {
    router.SetFrameTarget(&frame);
    router.SetAppTarget(&app);
  }
  hvtest::TempHome home;
  CTavProjectDoc doc;
  CMainFrameCommands frame;
  CAppCommandTarget app;
  CFrameRouter router{doc};
};

}  // namespace

TEST_F(FrameRoutingTest, TheVisualStyleIsStoredAndMarked) {
  auto checked = [this](UINT id) {
    CRecordingCmdUI ui(id);
    router.RouteFrom().Update(ui);
    return ui.check == 1;
  };
  // Nothing stored: no entry marked.
  for (UINT id = ID_VIEW_APPLOOK_WIN_2000; id <= ID_VIEW_APPLOOK_OFF_2007_AQUA; ++id) EXPECT_FALSE(checked(id));
  EXPECT_TRUE(router.RouteFrom().Execute(ID_VIEW_APPLOOK_OFF_2003));
  EXPECT_EQ(hv::RegistryStore::Get().GetDword(hv::kKeyBrand, "ApplicationLook").value_or(0), 313u);
  EXPECT_TRUE(checked(ID_VIEW_APPLOOK_OFF_2003));
  EXPECT_FALSE(checked(ID_VIEW_APPLOOK_OFF_XP));

  hv::RegistryStore::Get().SetDword(hv::kKeyBrand, "ApplicationLook", 316);
  CTavProjectApp application;
  CMainFrameCommands fresh;
  EXPECT_EQ(fresh.GetApplicationLook(), 316u);
  EXPECT_EQ(application.m_applicationLook, 316u);
  hv::RegistryStore::Get().SetDword(hv::kKeyBrand, "ApplicationLook", 999);
  CMainFrameCommands unknown;
  CRecordingCmdUI ui(ID_VIEW_APPLOOK_OFF_2007_AQUA);
  unknown.OnCmdMsg(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui, nullptr);
  EXPECT_EQ(ui.check, 0);
}

TEST_F(FrameRoutingTest, CommandsNobodyServesAreDisabled) {
  // The toolbar customisation is not there: disabled although the frame knows the id.
  EXPECT_FALSE(router.RouteFrom().IsEnabled(ID_VIEW_CUSTOMIZE));
  EXPECT_FALSE(router.RouteFrom().Execute(ID_VIEW_CUSTOMIZE));
  EXPECT_TRUE(router.RouteFrom().IsEnabled(ID_SETTINGS));
  EXPECT_TRUE(router.RouteFrom().IsEnabled(ID_APP_ABOUT));
  EXPECT_TRUE(router.RouteFrom().IsEnabled(ID_VIEW_REFRESH));
  EXPECT_FALSE(router.RouteFrom().IsEnabled(ID_OBJECT_DELETE));
}

TEST(MenuModel, MenusAreDataThatObjectsAdjust) {
  CMenu bar = BuildMainMenu();
  ASSERT_EQ(bar.GetMenuString(kExtrasMenuPos), S("&Extras"));
  for (UINT id : {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS, ID_FILE_PRINT,
                  ID_FILE_PRINT_PREVIEW, ID_EDIT_SELECT_ALL, ID_EDIT_INVERT_SELECTION, ID_SETTINGS, ID_EXPAND_ALL})
    EXPECT_TRUE(bar.FindItem(id)) << id;
  EXPECT_TRUE(bar.FindItem(ID_VIEW_APPLOOK_OFF_2007_AQUA));
  EXPECT_EQ(ToToolkitMenuLabel(S("E&infügen\tStrg+V")), S("E&infügen\tCtrl+V"));
  EXPECT_EQ(ToToolkitMenuLabel(S("&Löschen\tEntf")), S("&Löschen\tDel"));
  EXPECT_EQ(PlainMenuText(S("Drucker&einrichtung...\tStrg+P")), S("Druckereinrichtung..."));
  EXPECT_EQ(PlainMenuText(S("A&&B")), S("A&B"));

  CMenu menu = *LoadContextMenu(IDR_MENU_PRJDEVICE);
  EXPECT_EQ(menu.FindItemPosByText(S("<toolpopup1>")), 4);
  EXPECT_EQ(menu.DeleteMenu(ID_EDIT_COPY), 1);
  EXPECT_FALSE(menu.FindItem(ID_EDIT_COPY));
  // An object class registers its own.
  RegisterContextMenu(4799, CMenu().AppendMenu(1, S("x")));
  EXPECT_TRUE(LoadContextMenu(4799));
}
