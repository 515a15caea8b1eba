// The real program on a private display: start, a refused second copy, close, and
// what shut-down leaves behind.
#include <gtest/gtest.h>

#include <wx/uiaction.h>

#include <chrono>
#include <thread>

#include "platform/Codec.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/support/TestEnv.h"

using namespace std::chrono_literals;

namespace {
// The graph tool's current project seeds the project list, so start-up asks nothing.
void SeedProject(hvtest::TempHome& home, const std::string& name, const std::string& device = "") {
  const wxString folder = home.Sub("Projects/" + name);
  hvtest::WriteAll(folder + "/PROJECT.SET", "[Config]\r\n");
  home.WriteSystemRegistry("[SOFTWARE\\Quintor\\TavGraph]\n\"PROJECTNAME\"=\"" + name + "\"\n\"PROJECTPATH\"=\"" +
                           hv::ToUtf8(folder) + "\"\n" + (device.empty() ? "" : "\"DEVICENAME\"=\"" + device + "\"\n"));
}
}  // namespace

TEST(StartupGui, SecondCopyEndsAndShutDownWritesPaneState) {
  hvtest::TempHome home;
  SeedProject(home, "Anlage");
  const std::string homePath = hv::ToUtf8(home.Path());
  hvtest::ProgramRunner first(HV_PROGRAM, homePath);
  ASSERT_GT(first.Pid(), 0);
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowExists("Halvora"); }, 20s)) << "no main window";
  ASSERT_TRUE(first.Running());

  // The second copy asks the first to come forward and ends at once, successfully.
  hvtest::ProgramRunner second(HV_PROGRAM, homePath);
  EXPECT_EQ(second.WaitExit(15s), 0);
  EXPECT_TRUE(first.Running());

  first.Terminate();
  EXPECT_EQ(first.WaitExit(15s), 0);

  hv::IniFlushCache();
  EXPECT_EQ(hv::IniGetString(home.Sub("Project.INI"), "Pane0", "Width", ""), "150");
  hv::RegistryStore::Get().Reload();
  EXPECT_EQ(hv::RegistryStore::Get().GetString(hv::kKeyFrameworkProfile + "\\Pane0", "Selection").value_or("missing"),
            "Anlage/");
}

TEST(StartupGui, SelectionAndLanguageComeFromTheRegistry) {
  hvtest::TempHome home;
  SeedProject(home, "Anlage", "Panel 1");
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowExists("Halvora"); }, 20s));
  app.Terminate();
  EXPECT_EQ(app.WaitExit(15s), 0);
  hv::RegistryStore::Get().Reload();
  EXPECT_EQ(hv::RegistryStore::Get().GetString(hv::kKeyFrameworkProfile + "\\Pane0", "Selection").value_or(""),
            "Anlage/Panel 1");
}

TEST(StartupGui, AskedToEndWhileADialogIsOpenItCancelsTheDialogAndEndsCleanly) {
  hvtest::TempHome home;
  SeedProject(home, "Anlage");
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowExists("Halvora"); }, 20s));
  std::this_thread::sleep_for(500ms);
  // The tree's empty area (the window sits at the top left of the bare display):
  // its menu's "Neues Object" asks for the new folder's name.
  wxUIActionSimulator sim;
  sim.MouseMove(60, 400);
  sim.MouseClick(wxMOUSE_BTN_RIGHT);
  std::this_thread::sleep_for(500ms);
  sim.Char(WXK_DOWN);
  sim.Char(WXK_RETURN);
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowExists("Neuer Ordner"); }, 10s)) << "no naming dialog";
  app.Terminate();
  EXPECT_EQ(app.WaitExit(15s), 0);
  hv::IniFlushCache();
  EXPECT_EQ(hv::IniGetString(home.Sub("Project.INI"), "Pane0", "Width", ""), "150");
}
