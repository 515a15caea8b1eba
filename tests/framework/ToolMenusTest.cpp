#include <gtest/gtest.h>

#include "framework/CommandIds.h"
#include "app/MenuResources.h"
#include "framework/ToolMenus.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(ToolMenus, PlaceholdersBecomeTheToolsThatFit) {
  CToolsRepository tools;
  auto add = [&](const char* app, std::vector<const char*> drivers, DWORD inTools) {
    auto tool = std::make_unique<CTool>();
    tool->appName = S(app);
    tool->inTools = inTools;
    for (const char* d : drivers) tool->params.push_back(std::make_unique<CToolParam>(S("S"), S(d), S("")));
    tools.Add(std::move(tool));
  };
  add("Editor", {"INTOOL", "MODBUS"}, 1);
  add("Monitor", {"modbus"}, 0);
  add("Viewer", {"intool"}, 1);

  CMenu device = *LoadContextMenu(IDR_MENU_PRJDEVICE);
  EXPECT_EQ(InsertDeviceTools(device, tools, S("Modbus")), 2);
  EXPECT_EQ(device.FindItemPosByText(kDeviceToolPlaceholder), -1);
  EXPECT_EQ(device.GetMenuItemID(4), 40000u);
  EXPECT_EQ(device.GetMenuString(5), S("Monitor"));
  EXPECT_EQ(device.GetMenuItemID(6), static_cast<UINT>(ID_EDIT_COPY));

  CMenu none = *LoadContextMenu(IDR_MENU_PRJDEVICE);
  EXPECT_EQ(InsertDeviceTools(none, tools, S("CAN")), 0);
  EXPECT_EQ(none.GetMenuItemCount(), 6);

  CMenu extras = *BuildMainMenu().GetSubMenu(kExtrasMenuPos);
  const int marker = extras.FindItemPos(ID_TOOL_MENU_MARKER);
  EXPECT_EQ(InsertMainMenuTools(extras, tools), 2);
  EXPECT_EQ(extras.GetMenuItemID(marker), 40101u);
  EXPECT_EQ(extras.GetMenuString(marker + 1), S("Viewer"));
}
