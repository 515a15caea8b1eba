// One projects folder: the one start-up makes is the one the settings sheet shows and
// the one new projects go to.
#include <gtest/gtest.h>

#include "app/SetupSheet.h"
#include "app/TavProjectApp.h"
#include "model/Project.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

namespace {

StartupHost QuietHost() {
  StartupHost h;
  h.createDocument = [] { return true; };
  h.createMainWindow = [] { return true; };
  h.onlineInit = [] { return TRUE; };
  h.onlineDeInit = [] {};
  h.databaseInit = [](int, const wxString&) { return 2910; };
  h.mergeLanguages = [](const std::vector<std::pair<WORD, wxString>>&) {};
  h.loadTools = [] {};
  return h;
}

}  // namespace

TEST(ProjectsFolder, StartUpSettingsSheetAndNewProjectsAgreeAndOnlyOneFolderIsMade) {
  hvtest::TempHome home;
  CTavProjectApp app;
  ASSERT_TRUE(app.InitInstance(QuietHost()));
  const wxString made = app.m_projectsFolder;
  EXPECT_EQ(made, home.Sub("Projects"));
  EXPECT_TRUE(hv::IsFolder(made));
  EXPECT_EQ(CPOProject::ProjectsRoot(), made);
  CPSSetup sheet(home.Sub("Project.INI"));
  ASSERT_TRUE(sheet.SetActivePage(0));
  EXPECT_EQ(sheet.General().projectsPath, made);
  app.ExitInstance();
  for (const wxString& name : hv::ListFolder(home.Path()))
    EXPECT_NE(name.Lower(), "projekte") << "a second projects folder was made";

  // A folder the user chose is the one everyone uses, with its trailing separator gone.
  hvtest::WriteAll(home.Sub("Project.INI"), "[Config]\r\nProjectPath=" + hv::ToUtf8(home.Sub("Anlagen")) + "/\r\n");
  CTavProjectApp again;
  ASSERT_TRUE(again.InitInstance(QuietHost()));
  EXPECT_EQ(again.m_projectsFolder, home.Sub("Anlagen"));
  EXPECT_EQ(CPOProject::ProjectsRoot(), home.Sub("Anlagen"));
  again.ExitInstance();
}
