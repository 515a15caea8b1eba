// The settings sheet writes every key of the pages shown, in one write, and nothing on
// Cancel or for pages never shown.
#include <gtest/gtest.h>

#include <tuple>

#include "app/SetupSheet.h"
#include "framework/ChooseRequests.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

namespace {

struct SetupFixture : ::testing::Test {
  hvtest::TempHome home;
  wxString profile = home.Sub("Project.INI");
  hvtest::ScriptedUi ui;

  void SetUp() override {
    hvtest::WriteAll(profile, "; mine\r\n[Config]\r\nPrefix=1\r\n[Programs]\r\nHtml=kate\r\n");
    hv::MakeFolders(home.Sub("Projekte"));
  }
  std::optional<wxString> Read(const char* section, const char* key) {
    hv::IniFlushCache();
    return hv::IniRead(profile, section, key);
  }
};

TEST_F(SetupFixture, CancelledSheetLeavesTheProfileByteIdenticalAndOKWritesEveryKeyShown) {
  const std::string before = hvtest::ReadAll(profile);
  {
    CPSSetup sheet(profile);   // Cancel: nothing confirmed
    ASSERT_TRUE(sheet.SetActivePage(0));
    sheet.General().projectsPath = home.Sub("Projekte");
    ASSERT_TRUE(sheet.SetActivePage(1));
    sheet.Programs().SetProgram("gimp");
  }
  EXPECT_EQ(hvtest::ReadAll(profile), before);

  CPSSetup sheet(profile);   // OK with the defaults shown and nothing changed
  ASSERT_TRUE(sheet.SetActivePage(1));
  ASSERT_TRUE(sheet.SetActivePage(2));
  ASSERT_TRUE(sheet.Confirm());
  EXPECT_EQ(Read("Programs", "Bitmap"), wxString("MSPaint"));
  EXPECT_EQ(Read("Programs", "CoDeSys"), wxString());
  EXPECT_EQ(Read("Programs", "Html"), wxString("kate"));
  EXPECT_EQ(Read("Programs", "Editor"), wxString("NotePad.exe"));
  for (auto [target, section, version] : {std::tuple{"Simulation", "MSDev", "V5.xx"}, {"80515", "Keil", "V4.01"},
                                          {"80167", "GNU", "V2.5x"}, {"80960", "Microtec", "V2.00"}}) {
    EXPECT_EQ(Read("Compiler", target), wxString(section));
    EXPECT_EQ(Read(section, "Path"), wxString());
    EXPECT_EQ(Read(section, "Version"), wxString(version));
  }
  EXPECT_FALSE(Read("Config", "ProjectPath"));   // the general page was never shown
  EXPECT_EQ(hvtest::ReadAll(profile).rfind("; mine\r\n[Config]\r\nPrefix=1\r\n", 0), 0u);
}

TEST_F(SetupFixture, TypedValuesAreWrittenWithTheRowsLeftAlone) {
  CPSSetup sheet(profile);
  ASSERT_TRUE(sheet.SetActivePage(0));
  EXPECT_EQ(sheet.General().prefixMode, 1);
  EXPECT_EQ(sheet.General().projectsPath, home.Path() + "/Projects");
  sheet.General().projectsPath = home.Sub("Projekte") + "/";
  ASSERT_TRUE(sheet.SetActivePage(1));
  CPPPrograms& programs = sheet.Programs();
  ASSERT_EQ(programs.RowCount(), 10u);
  const char* expected[] = {"MSPaint", "FontEdit", "", "kate", "Notepad", "", "", "Charmap", "", ""};
  for (int i = 0; i < 10; ++i) {
    programs.SelectRow(i, programs.Program());
    EXPECT_EQ(programs.Program(), expected[i]) << i;
  }
  programs.SelectRow(0, programs.Program());
  programs.SetProgram("/usr/bin/gimp");
  programs.SelectRow(3, programs.Program());   // the row left keeps what was typed
  EXPECT_EQ(programs.Program(), "kate");
  // The command lines the project download runs are rows of their own.
  EXPECT_EQ(programs.RowName(8), "Ressourcengenerator");
  EXPECT_EQ(programs.RowName(9), "CoDeSys-Download");
  programs.SelectRow(8, programs.Program());
  programs.SetProgram("/opt/tav/resgen --all");
  ASSERT_TRUE(sheet.Confirm());
  EXPECT_EQ(Read("Programs", "RESGEN"), wxString("/opt/tav/resgen --all"));

  EXPECT_EQ(Read("Config", "ProjectPath"), home.Sub("Projekte"));
  EXPECT_EQ(Read("Programs", "Bitmap"), wxString("/usr/bin/gimp"));
  for (auto [key, program] : {std::pair{"Font", "FontEdit"}, {"CoDeSys", ""}, {"xml", "Notepad"},
                              {"Internet Browser", ""}, {"Bildschirmtastatur", "Charmap"}})
    EXPECT_EQ(Read("Programs", key), wxString(program)) << key;
  EXPECT_FALSE(Read("Programs", "Editor"));   // the simulator page was never shown
  EXPECT_EQ(Read("Config", "Prefix"), wxString("1"));
  EXPECT_EQ(hvtest::ReadAll(profile).rfind("; mine\r\n", 0), 0u);
}

TEST_F(SetupFixture, ProjectsPathIsCheckedAndKeepsTheRoot) {
  EXPECT_EQ(CPPOptionGeneral::StoredPath("/"), "/");
  EXPECT_EQ(CPPOptionGeneral::StoredPath("/data/"), "/data");
  EXPECT_EQ(CPPOptionGeneral::StoredPath("/data//"), "/data/");   // only one separator goes

  CPSSetup sheet(profile);
  ASSERT_TRUE(sheet.SetActivePage(0));
  sheet.General().projectsPath = home.Sub("missing");
  ui.ExpectMessage(10253);
  EXPECT_FALSE(sheet.SetActivePage(1));
  EXPECT_EQ(sheet.LastCheck().field, CPPOptionGeneral::IDC_PROJECTPATH);
  ui.ExpectMessage(10253);
  EXPECT_FALSE(sheet.Confirm());
  sheet.General().projectsPath = "/";
  sheet.General().prefixMode = 2;
  ASSERT_TRUE(sheet.Confirm());
  EXPECT_EQ(Read("Config", "ProjectPath"), wxString("/"));
  EXPECT_EQ(Read("Config", "Prefix"), wxString("2"));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(SetupFixture, BrowsingTakesTheChoiceAndCancelKeepsTheText) {
  CPSSetup sheet(profile);
  ASSERT_TRUE(sheet.SetActivePage(0));
  ui.Answer<ChooseFolderRequest>([&](ChooseFolderRequest& r) {
    EXPECT_EQ(r.start, home.Path() + "/Projects");
    r.chosen = home.Sub("Projekte");
    return IDOK;
  });
  EXPECT_TRUE(sheet.General().Browse());
  EXPECT_EQ(sheet.General().projectsPath, home.Sub("Projekte"));
  ui.Answer<ChooseFolderRequest>([](ChooseFolderRequest& r) {
    r.chosen = "/elsewhere";
    return IDCANCEL;
  });
  EXPECT_FALSE(sheet.General().Browse());
  EXPECT_EQ(sheet.General().projectsPath, home.Sub("Projekte"));

  ASSERT_TRUE(sheet.SetActivePage(1));
  ui.Answer<ChooseFileRequest>([](ChooseFileRequest& r) {
    EXPECT_EQ(r.initial, "MSPaint");
    EXPECT_TRUE(r.filter.StartsWith("Programme|"));
    r.chosen = wxString('x', 400);   // a path beyond what a row holds is limited
    return IDOK;
  });
  EXPECT_TRUE(sheet.Programs().Browse(sheet.Programs().Program()));
  EXPECT_EQ(sheet.Programs().Program().length(), 259u);
}

TEST_F(SetupFixture, CompilerFolderIsCheckedAndKeilVersionCorrected) {
  const wxString keil = home.Sub("keil");
  hv::MakeFolders(keil + "/bin");
  hvtest::WriteAll(keil + "/bin/C51.EXE", "");   // any spelling of the compiler's name
  hvtest::WriteAll(keil + "/bin/ohs51.exe", "");

  CPSSetup sheet(profile);
  ASSERT_TRUE(sheet.SetActivePage(2));
  CPPTavSim& sim = sheet.TavSim();
  EXPECT_EQ(sim.editor, "NotePad.exe");
  EXPECT_EQ(sim.RowText(1), "80515 (Keil)");
  sim.SelectRow(1, sim.Current().path, sim.Current().version);
  EXPECT_EQ(sim.OfferedVersions(), (std::vector<wxString>{"V3.20", "V4.01"}));
  EXPECT_EQ(sim.Current().version, "V4.01");

  ui.Answer<ChooseFolderRequest>([&](ChooseFolderRequest& r) {
    r.chosen = home.Sub("empty");
    return IDOK;
  });
  ui.ExpectMessage(10139, IDNO);
  EXPECT_FALSE(sim.BrowseCompiler());
  EXPECT_EQ(sim.Current().path, "");

  ui.Answer<ChooseFolderRequest>([&](ChooseFolderRequest& r) {
    r.chosen = keil + "/";
    return IDOK;
  });
  ui.ExpectMessage(10153, IDYES);
  EXPECT_TRUE(sim.BrowseCompiler());
  EXPECT_EQ(sim.Current().path, keil);
  EXPECT_EQ(sim.Current().version, "V3.20");
  ASSERT_TRUE(sheet.SetActivePage(0));
  sheet.General().projectsPath = home.Sub("Projekte");
  ASSERT_TRUE(sheet.Confirm());
  EXPECT_TRUE(ui.AllExpectationsMet());

  EXPECT_EQ(Read("Compiler", "80515"), wxString("Keil"));
  EXPECT_EQ(Read("Keil", "Path"), keil);
  EXPECT_EQ(Read("Keil", "Version"), wxString("V3.20"));
  // All four rows go, also those left alone.
  EXPECT_EQ(Read("Compiler", "80167"), wxString("GNU"));
  EXPECT_EQ(Read("MSDev", "Path"), wxString());
  EXPECT_EQ(Read("Programs", "Editor"), wxString("NotePad.exe"));
}

TEST_F(SetupFixture, FailedWriteIsReportedAndLeavesTheOldProfile) {
  const std::string before = hvtest::ReadAll(profile);
  CPSSetup sheet(profile);
  ASSERT_TRUE(sheet.SetActivePage(1));
  sheet.Programs().SetProgram(wxString('p', 200));
  ASSERT_TRUE(sheet.SetActivePage(0));
  sheet.General().projectsPath = home.Sub("Projekte");
  {
    hvtest::FileSizeLimit limit(before.size() + 10);
    ui.ExpectMessage(11401);
    EXPECT_FALSE(sheet.Confirm());
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hvtest::ReadAll(profile), before);
}

}  // namespace
