#include <gtest/gtest.h>

#include "framework/CommandIds.h"
#include "app/MenuResources.h"
#include "framework/ToolMenus.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(ToolMenus, MainMenuPlaceholderBecomesTheToolsThatFit) {
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

  CMenu extras = *BuildMainMenu().GetSubMenu(kExtrasMenuPos);
  const int marker = extras.FindItemPos(ID_TOOL_MENU_MARKER);
  EXPECT_EQ(InsertMainMenuTools(extras, tools), 2);
  EXPECT_EQ(extras.GetMenuItemID(marker), 40101u);
  EXPECT_EQ(extras.GetMenuString(marker + 1), S("Viewer"));
}
