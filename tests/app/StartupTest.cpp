// Start-up and shut-down of the application object, with the libraries and the
// window replaced by fakes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "app/TavProjectApp.h"
#include "framework/StagedCopies.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/ShellOpen.h"
#include "platform/IniFile.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/WorkClaims.h"
#include "tests/support/ForkedChild.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

struct Fakes {
  int windows = 0;
  int onlineInits = 0;
  int onlineDeInits = 0;
  int dbInits = 0;
  std::vector<std::pair<WORD, wxString>> merged;
  BOOL onlineResult = TRUE;
  int dbVersion = 2910;

  StartupHost Host() {
    StartupHost h;
    h.createDocument = [] { return true; };
    h.createMainWindow = [this] { ++windows; return true; };
    h.onlineInit = [this] { ++onlineInits; return onlineResult; };
    h.onlineDeInit = [this] { ++onlineDeInits; };
    h.databaseInit = [this](int, const wxString&) { ++dbInits; return dbVersion; };
    h.mergeLanguages = [this](const std::vector<std::pair<WORD, wxString>>& l) { merged = l; };
    h.loadTools = [] {};
    return h;
  }
};

std::string GraphTool(const std::string& lines) { return "[SOFTWARE\\Quintor\\TavGraph]\n" + lines; }

}  // namespace

TEST(Startup, LanguageChoiceAndHelpSuffix) {
  struct Case {
    std::string registry;
    const char* code;
    WORD id;
    const char* helpSuffix;
  } cases[] = {
      {"", "", 1031, "_1033.chm"},
      {"\"Language\"=\"ENG\"\n", "ENG", 1033, "_1033.chm"},
      {"\"Language\"=\"DEU\"\n", "DEU", 1031, "_1031.chm"},
      {"\"Language\"=\"FRA\"\n", "FRA", 1031, "_1033.chm"},
      {"\"Language\"=hex:01\n", "ENG", 1033, "_1033.chm"},   // number only
      {"\"Language\"=hex:00\n", "DEU", 1031, "_1031.chm"},
  };
  for (const Case& c : cases) {
    hvtest::TempHome home;
    home.WriteSystemRegistry(GraphTool(c.registry));
    Fakes f;
    CTavProjectApp app;
    ASSERT_TRUE(app.InitInstance(f.Host())) << c.registry;
    EXPECT_EQ(app.m_languageCode, S(c.code)) << c.registry;
    EXPECT_EQ(app.m_languageId, c.id) << c.registry;
    EXPECT_TRUE(app.m_helpFile.EndsWith(c.helpSuffix)) << app.m_helpFile;
    app.ExitInstance();
  }
}

TEST(Startup, SelectionProjectsFolderAndShutDown) {
  hvtest::TempHome home;
  home.WriteSystemRegistry(GraphTool("\"PROJECTNAME\"=\"Anlage\"\n\"DEVICENAME\"=\"Panel\"\n") +
                           "[SOFTWARE\\Quintor]\n\"PATH\"=\"C:\\\\Suite\\\\\"\n");
  const wxString projects = home.Sub("Meine Projekte");
  hvtest::WriteAll(home.Sub("Project.INI"),
                   "[Config]\r\nProjectPath=" + hv::ToUtf8(projects) + "/\r\n[Languages]\r\n40000=Klingonisch\r\n"
                   "1031=Deutsch\r\n65535=Zu gross\r\n98304=Wrap\r\n40001=\r\n40000=Doppelt\r\nx\r\n41000=Nach dem Ende\r\n");
  hvtest::WriteAll(home.Sub("tmp/TAV1234.TMP"), "x");
  hvtest::WriteAll(home.Sub("tmp/keep.tmp"), "x");
  Fakes f;
  {
    CTavProjectApp app;
    ASSERT_TRUE(app.InitInstance(f.Host()));
    EXPECT_EQ(app.m_currentSelection, "Anlage/Panel");
    EXPECT_EQ(app.m_installFolder, "C:/Suite");   // one trailing separator removed
    EXPECT_EQ(app.m_projectsFolder, projects);    // the trailing '/' is removed too
    EXPECT_TRUE(hv::IsFolder(projects));
    ASSERT_EQ(f.merged.size(), 1u);
    EXPECT_EQ(f.merged[0].first, 40000);
    EXPECT_EQ(f.merged[0].second, "Klingonisch");
    app.m_currentSelection = "Anlage/Panel 2";
    EXPECT_EQ(app.ExitInstance(), 0);
  }
  EXPECT_EQ(f.onlineDeInits, 1);
  EXPECT_FALSE(hv::PathExists(home.Sub("tmp/TAV1234.TMP")));
  EXPECT_TRUE(hv::PathExists(home.Sub("tmp/keep.tmp")));

  // The saved selection wins at the next start.
  CTavProjectApp again;
  ASSERT_TRUE(again.InitInstance(f.Host()));
  EXPECT_EQ(again.m_currentSelection, "Anlage/Panel 2");
  again.ExitInstance();
}

TEST(Startup, EarlyEndsStopLaterSteps) {
  {
    hvtest::TempHome home;
    hvtest::ScriptedUi ui;
    ui.ExpectMessage(10357);
    Fakes f;
    f.onlineResult = FALSE;
    CTavProjectApp app;
    EXPECT_FALSE(app.InitInstance(f.Host()));
    EXPECT_EQ(app.m_failedStep, StartupStep::OnlineLibrary);
    EXPECT_EQ(f.windows, 0);
    EXPECT_TRUE(ui.AllExpectationsMet());
  }
  {
    hvtest::TempHome home;
    hvtest::ScriptedUi ui;   // a too-old database library ends without a message
    Fakes f;
    f.dbVersion = 2909;
    CTavProjectApp app;
    EXPECT_FALSE(app.InitInstance(f.Host()));
    EXPECT_EQ(app.m_failedStep, StartupStep::DatabaseLibrary);
    EXPECT_EQ(f.onlineInits, 0);
    EXPECT_TRUE(ui.MessageIds().empty());
  }
}

TEST(Startup, SecondCopyInSameUserFolderIsRefused) {
  hvtest::TempHome home;
  Fakes f1, f2;
  CTavProjectApp first;
  ASSERT_TRUE(first.InitInstance(f1.Host()));
  // Nothing stored: an empty selection and the default projects folder.
  EXPECT_EQ(first.m_currentSelection, "/");
  EXPECT_EQ(first.m_projectsFolder, hv::JoinPath(home.Path(), "Projects"));
  CTavProjectApp second;
  EXPECT_FALSE(second.InitInstance(f2.Host()));
  EXPECT_EQ(second.m_failedStep, StartupStep::SingleInstance);
  EXPECT_EQ(f2.windows, 0);
  first.ExitInstance();
  // The guard goes with the first copy.
  CTavProjectApp third;
  EXPECT_TRUE(third.InitInstance(f2.Host()));
  third.ExitInstance();
}

// Clipboard copies outlive their action only while they can be pasted: a killed run's
// staged files and cut folders go at the next start, the run's own at its end.
TEST(Startup, StagedCopiesGoAtStartAfterAKillAndAtTheEnd) {
  hvtest::TempHome home;
  hvtest::WriteAll(home.Sub("tmp/TAV77.TMP"), "killed");
  hvtest::WriteAll(home.Sub("tmp/TAVDk1/Bilder/a.gif"), "GIF89a");
  hvtest::WriteAll(home.Sub("tmp/keep.tmp"), "x");
  Fakes f;
  CTavProjectApp app;
  ASSERT_TRUE(app.InitInstance(f.Host()));
  EXPECT_FALSE(hv::PathExists(home.Sub("tmp/TAV77.TMP")));
  EXPECT_FALSE(hv::PathExists(home.Sub("tmp/TAVDk1")));
  EXPECT_TRUE(hv::PathExists(home.Sub("tmp/keep.tmp")));
  // A folder cut during the run waits for its paste until the end.
  hvtest::WriteAll(home.Sub("tmp/TAVDrun/Web/x.htm"), "<x/>");
  staging::BeginContents();
  staging::NoteStagedFolder(home.Sub("tmp/TAVDrun"));
  staging::CommitContents();
  EXPECT_TRUE(hv::PathExists(home.Sub("tmp/TAVDrun/Web/x.htm")));
  app.ExitInstance();
  EXPECT_FALSE(hv::PathExists(home.Sub("tmp/TAVDrun")));
  EXPECT_TRUE(hv::PathExists(home.Sub("tmp/keep.tmp")));
}

TEST(Startup, LanguageSelectionWritesRegistryAndChangeIsSeen) {
  hvtest::TempHome home;
  home.WriteSystemRegistry(GraphTool("\"Language\"=\"DEU\"\n") +
                           "[SOFTWARE\\Quintor]\n\"HELPFILE\"=\"C:\\\\Suite\\\\Help\\\\old.hlp\"\n");
  Fakes f;
  CTavProjectApp app;
  ASSERT_TRUE(app.InitInstance(f.Host()));
  EXPECT_FALSE(app.HasLanguageChanged());

  hvtest::ScriptedUi ui;
  auto& reg = hv::RegistryStore::Get();
  // Cancelled: nothing written.
  ui.Answer<hv::SelectLanguageRequest>([](hv::SelectLanguageRequest&) { return IDCANCEL; });
  app.OnSelectLanguage();
  EXPECT_EQ(reg.GetString(hv::kKeyGraphTool, "LANGUAGE").value_or(""), "DEU");
  EXPECT_FALSE(reg.GetByte("SOFTWARE\\QUINTOR\\VOSTREL", "Language"));

  ui.Answer<hv::SelectLanguageRequest>([](hv::SelectLanguageRequest& r) { r.number = 1; return IDOK; });
  ui.ExpectMessage(10156);
  app.OnSelectLanguage();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(reg.GetString(hv::kKeyGraphTool, "LANGUAGE").value_or(""), "ENG");
  for (const char* key : {"SOFTWARE\\Quintor\\Halvora", "SOFTWARE\\QUINTOR\\VOSTREL",
                          "SOFTWARE\\Quintor\\Halvora\\LORBIX", "SOFTWARE\\QUINTOR\\Pennark"})
    EXPECT_EQ(reg.GetByte(key, "Language").value_or(9), 1) << key;
  EXPECT_EQ(reg.GetString(hv::kKeyBrand, "HELPFILE").value_or(""), "C:\\Suite\\Help\\dorn2_ENG.hlp");
  // "LANGUAGE" and "Language" are one value: the string replaced the binary, and the
  // graph tool's string now says English.
  EXPECT_TRUE(app.HasLanguageChanged());
  app.ExitInstance();
}

// Only the code was stored (no number): the chooser offers the language in use, in either
// language; a stored number still wins.
TEST(Startup, LanguageChooserOffersTheRunningLanguageWhenNoNumberIsStored) {
  for (const auto& [stored, offered] : {std::pair<std::string, int>{"\"Language\"=\"ENG\"\n", 1},
                                        {"\"Language\"=\"DEU\"\n", 0},
                                        {"", 0},
                                        {"\"Language\"=hex:01\n", 1}}) {
    SCOPED_TRACE(stored);
    hvtest::TempHome home;
    home.WriteSystemRegistry(GraphTool(stored));
    Fakes f;
    CTavProjectApp app;
    ASSERT_TRUE(app.InitInstance(f.Host()));
    hvtest::ScriptedUi ui;
    int seen = -1;
    ui.Answer<hv::SelectLanguageRequest>([&seen](hv::SelectLanguageRequest& r) {
      seen = r.number;
      return IDCANCEL;
    });
    app.OnSelectLanguage();
    EXPECT_EQ(seen, offered);
    app.ExitInstance();
  }
}

TEST(Startup, ManualFallsBackToGermanAndReportsMissingFile) {
  hvtest::TempHome home;
  const wxString install = home.Sub("suite");
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"Path\"=\"" + hv::ToUtf8(install) + "\"\n" +
                           GraphTool("\"Language\"=hex:01\n"));
  Fakes f;
  CTavProjectApp app;
  ASSERT_TRUE(app.InitInstance(f.Host()));
  std::vector<wxString> opened;
  hvtest::ScriptedUi ui;
  ui.Answer<hv::ShellOpenRequest>([&](hv::ShellOpenRequest& r) { opened.push_back(r.target); return IDOK; });
  hvtest::WriteAll(install + "/help/de/Index/Seiten/Produkte/Software/Index_DE.pdf", "%PDF");
  app.OnHelpOverview();   // English missing: German
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(opened[0].EndsWith("Index_DE.pdf"));
  ui.ExpectMessage(10551);
  app.OnHelpContents();   // neither manual exists
  EXPECT_TRUE(ui.AllExpectationsMet());
  // The path once, in its double quotation marks inside the text's own quotes.
  const wxString text = ui.MessageTexts().back();
  EXPECT_TRUE(text.Contains("Handbuch_Halvora_DE.pdf\"'")) << text;
  EXPECT_TRUE(text.Contains("'\"" + install)) << text;
  EXPECT_EQ(text.Freq('"'), 2u) << text;
  app.ExitInstance();
}

TEST(Startup, ManualsShipInTheProgramsOwnTreeWhenNoInstallFolderIsStored) {
  hvtest::TempHome home;
  Fakes f;
  CTavProjectApp app;
  ASSERT_TRUE(app.InitInstance(f.Host()));
  EXPECT_EQ(app.m_installFolder, hv::DefaultDataFolder());
  hvtest::ScriptedUi ui;
  std::vector<wxString> opened;
  ui.Answer<hv::ShellOpenRequest>([&](hv::ShellOpenRequest& r) { opened.push_back(r.target); return IDOK; });
  app.OnHelpContents();
  app.OnHelpOverview();
  EXPECT_TRUE(ui.MessageIds().empty());
  const wxString software = hv::JoinPath(hv::DefaultDataFolder(), "HELP/DE/Index/Seiten/Produkte/Software");
  EXPECT_EQ(opened, (std::vector<wxString>{software + "/Halvora/Handbuch/Handbuch_Halvora_DE.pdf",
                                           software + "/Index_DE.pdf"}));
  for (const wxString& file : opened) EXPECT_EQ(hvtest::ReadAll(file).substr(0, 5), "%PDF-") << file;
  app.ExitInstance();
}

TEST(Startup, UserFolderThatIsNoTextIsRefusedNotReplaced) {
  hvtest::TempHome home;
  const std::string saved = std::getenv("HALVORA_HOME");
  setenv("HALVORA_HOME", (saved + "/\xff\xfe").c_str(), 1);
  Fakes f;
  CTavProjectApp app;
  const BOOL started = app.InitInstance(f.Host());
  setenv("HALVORA_HOME", saved.c_str(), 1);
  EXPECT_FALSE(started);
  EXPECT_EQ(app.m_failedStep, StartupStep::UserFolder);
  EXPECT_TRUE(app.m_failureText.Contains("UTF-8")) << app.m_failureText;
  EXPECT_EQ(f.windows, 0);
}

// A start clears what killed runs left in the projects folder, and nothing a running
// program still works on.
TEST(Startup, LeftoversOfKilledWorkAreRemoved) {
  hvtest::TempHome home;
  const wxString projects = home.Sub("Projects");
  hv::MakeFolders(hv::JoinPath(projects, ".halvora-restore-abc123/P"));
  hvtest::WriteAll(hv::JoinPath(projects, ".halvora-restore-abc123/.owner"), "");
  hv::MakeFolders(hv::JoinPath(projects, ".halvora-stage-abc123"));
  hvtest::WriteAll(hv::JoinPath(projects, ".halvora-stage-abc123/.owner"), "");
  hvtest::WriteAll(hv::JoinPath(projects, "P.zip.part-00ab12"), "half");
  hvtest::WriteAll(hv::JoinPath(projects, "keep.txt"), "mine");
  // Still being written by a running program.
  hv::MakeFolders(hv::JoinPath(projects, ".halvora-restore-live01"));
  hv::WorkClaim live;
  ASSERT_TRUE(live.ClaimFolder(hv::JoinPath(projects, ".halvora-restore-live01")));
  // Older than any claim needs.
  const struct timespec old[2] = {{1000000, 0}, {1000000, 0}};
  utimensat(AT_FDCWD, hv::ToFs(hv::JoinPath(projects, "P.zip.part-00ab12")).c_str(), old, 0);
  Fakes f;
  CTavProjectApp app;
  ASSERT_TRUE(app.InitInstance(f.Host()));
  app.ExitInstance();
  EXPECT_EQ(hv::ListFolder(projects), (std::vector<wxString>{".halvora-restore-live01", "keep.txt"}));
}

// A registry write killed midway leaves its temporary file in the user folder; the next
// start removes it, and the program's other temporaries there and in its temporary
// folder, but not one a running program still has open.
TEST(Startup, TemporariesOfKilledWritesInTheProgramsOwnFoldersAreRemoved) {
  hvtest::TempHome home;
  bool left = false;
  for (int step = 1; step <= 4 && !left; ++step) {
    const int status = hvtest::RunChild([step] {
      setenv("HALVORA_TEST_KILL_AT", std::to_string(step).c_str(), 1);
      return hv::RegistryStore::Get().SetString(hv::kKeyProduct, "RestoreDir", "/x") ? 0 : 2;
    });
    ASSERT_TRUE(status == 0 || status == 128 + SIGKILL) << status;
    for (const wxString& entry : hv::ListFolder(home.Path())) left = left || entry.StartsWith(".registry.ini.");
  }
  ASSERT_TRUE(left) << "no kill left the registry's temporary file";
  const wxString temp = hv::TempFolder();
  hvtest::WriteAll(hv::JoinPath(temp, "TAV1A2B3C.TMP"), "staged");
  hvtest::WriteAll(home.Sub(".Project.INI.Zx81Q2"), "half");
  hvtest::WriteAll(home.Sub(".notes.txt"), "mine");
  hvtest::WriteAll(home.Sub(".open.ini.abc123"), "written now");
  const int busy = open(hv::ToFs(home.Sub(".open.ini.abc123")).c_str(), O_RDONLY);
  Fakes f;
  CTavProjectApp app;
  ASSERT_TRUE(app.InitInstance(f.Host()));
  // Before the end, which removes staged copies of this run anyway.
  EXPECT_FALSE(hv::PathExists(hv::JoinPath(temp, "TAV1A2B3C.TMP")));
  app.ExitInstance();
  close(busy);
  std::vector<wxString> dotted;
  for (const wxString& entry : hv::ListFolder(home.Path()))
    if (entry.StartsWith(".") && !entry.EndsWith(".lock")) dotted.push_back(entry);   // the instance guard stays
  EXPECT_EQ(dotted, (std::vector<wxString>{".notes.txt", ".open.ini.abc123"}));
}
