// The real program on a private display: start, a refused second copy, close, and
// what shut-down leaves behind.
#include <gtest/gtest.h>

#include <wx/uiaction.h>

#include <chrono>

#include "platform/Codec.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/support/TestEnv.h"

using namespace std::chrono_literals;

namespace {
// The graph tool's current project seeds the project list, so start-up asks nothing.
void SeedProject(hvtest::TempHome& home, const std::string& name, const std::string& device = "",
                 const std::string& treePath = "") {
  const wxString folder = home.Sub("Projects/" + name);
  hvtest::WriteAll(folder + "/PROJECT.SET", "[Config]\r\n");
  home.WriteSystemRegistry("[SOFTWARE\\Quintor\\TavGraph]\n\"PROJECTNAME\"=\"" + name + "\"\n\"PROJECTPATH\"=\"" +
                           hv::ToUtf8(folder) + "\"\n" + (device.empty() ? "" : "\"DEVICENAME\"=\"" + device + "\"\n") +
                           (treePath.empty() ? "" : "\"PROJECTFULLPATH\"=\"" + treePath + "\"\n"));
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
  SeedProject(home, "Anlage", "", "Projekte\\\\Anlage");
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowCount("Halvora") == 1; }, 20s));
  // The selected project's menu from the keyboard; its first entry "&Neu..." opens the
  // new-object dialog.
  const int shown = hvtest::ShownWindowCount();
  ASSERT_TRUE(hvtest::PressKeyInWindow("Halvora", WXK_F10, wxMOD_SHIFT));
  ASSERT_TRUE(hvtest::WaitFor([&] { return hvtest::ShownWindowCount() > shown; }, 10s)) << "no menu";
  wxUIActionSimulator sim;
  sim.Char(WXK_DOWN);
  sim.Char(WXK_RETURN);
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowExists("Neu"); }, 10s)) << "no dialog";
  app.Terminate();
  EXPECT_EQ(app.WaitExit(15s), 0);
  hv::IniFlushCache();
  EXPECT_EQ(hv::IniGetString(home.Sub("Project.INI"), "Pane0", "Width", ""), "150");
}
