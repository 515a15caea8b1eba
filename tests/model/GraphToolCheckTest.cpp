#include <gtest/gtest.h>
#include <signal.h>

#include "framework/Launcher.h"
#include "model/GraphToolCheck.h"
#include "platform/Registry.h"
#include "platform/ToolService.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ToolStandIns.h"

using namespace hvtest;

TEST(GraphToolCheck, AGraphToolWeStartedBlocksUntilItEnds) {
  TempHome home;
  ScriptedUi ui;
  ASSERT_TRUE(hv::RegistryStore::Get().SetString(hv::kKeyGraphTool, wxS("PROJECTNAME"), wxS("Anlage 2")));
  ASSERT_TRUE(hv::RegistryStore::Get().SetString(hv::kKeyGraphTool, wxS("DEVICENAME"), wxS("Panel")));
  EXPECT_TRUE(CheckGraphToolDevice(nullptr));   // no graph tool

  DWORD pid = 0;
  ASSERT_TRUE(LaunchProcess(nullptr, wxS("\"") + ChildProgram("launcher_sleep") + wxS("\" 30"), wxString(), &pid));
  hv::ToolService::Get().Record(pid, kGraphToolWindowClass, wxS("TavGraph"));
  ui.ExpectMessage(10074);
  EXPECT_FALSE(CheckGraphToolDevice(nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());

  ::kill(static_cast<pid_t>(pid), SIGTERM);
  ASSERT_TRUE(WaitForLaunchedProcess(pid, 5000));
  EXPECT_TRUE(CheckGraphToolDevice(nullptr));
}
