// Remote support and the version commands start the suite's programs where they are
// installed; when one is missing the user is told what was looked for where.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/TavProjectApp.h"
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

// A program that notes its own name in `log` when it runs.
void WriteStandIn(const wxString& path, const wxString& log) {
  hvtest::WriteAll(path, "#!/bin/sh\necho \"$0\" >> '" + hv::ToUtf8(log) + "'\n");
  chmod(hv::ToFs(path).c_str(), 0755);
}

bool LogHolds(const wxString& log, const std::string& text) {
  for (int i = 0; i < 100; ++i) {
    if (hvtest::ReadAll(log).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

struct PathOverride {
  std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
  explicit PathOverride(const wxString& first) { setenv("PATH", (hv::ToUtf8(first) + ":" + old).c_str(), 1); }
  ~PathOverride() { setenv("PATH", old.c_str(), 1); }
};

}  // namespace

TEST(SuitePrograms, MissingProgramsAreNamedWithWhereTheyWereLookedFor) {
  hvtest::TempHome home;
  const wxString install = home.Sub("suite");
  hv::MakeFolders(install);
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" + hv::ToUtf8(install) + "\"\n");
  CTavProjectApp app;
  ASSERT_TRUE(app.InitInstance(QuietHost()));
  hvtest::ScriptedUi ui;
  struct Case {
    void (CTavProjectApp::*command)();
    const char* program;
    wxString where;
  } cases[] = {
      {&CTavProjectApp::OnVersionControl, "gantrel.exe", install},
      {&CTavProjectApp::OnVersionSwitch, "Wendlix.exe", "PATH="},
      {&CTavProjectApp::OnRemoteSupport, "TeamViewerQS_en.exe", install + "/Halvora"},
  };
  for (const Case& c : cases) {
    ui.ExpectMessage(13901);
    (app.*c.command)();
    ASSERT_TRUE(ui.AllExpectationsMet()) << c.program;
    const wxString text = ui.MessageTexts().back();
    EXPECT_TRUE(text.Contains(c.program)) << text;
    EXPECT_TRUE(text.Contains(c.where)) << text;
    EXPECT_FALSE(text.Contains("Error:")) << text;
  }
  app.ExitInstance();
}

TEST(SuitePrograms, InstalledProgramsAreStarted) {
  hvtest::TempHome home;
  const wxString install = home.Sub("suite");
  const wxString bin = home.Sub("bin");
  const wxString log = home.Sub("started.log");
  WriteStandIn(install + "/gantrel", log);
  WriteStandIn(install + "/Halvora/TeamViewerQS_de", log);
  WriteStandIn(bin + "/Wendlix", log);
  PathOverride path(bin);
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" + hv::ToUtf8(install) +
                           "\"\n[SOFTWARE\\Quintor\\TavGraph]\n\"Language\"=\"DEU\"\n");
  CTavProjectApp app;
  ASSERT_TRUE(app.InitInstance(QuietHost()));
  hvtest::ScriptedUi ui;   // no message expected
  app.OnVersionControl();
  EXPECT_TRUE(LogHolds(log, "gantrel"));
  app.OnVersionSwitch();
  EXPECT_TRUE(LogHolds(log, "Wendlix"));
  app.OnRemoteSupport();
  EXPECT_TRUE(LogHolds(log, "TeamViewerQS_de"));
  EXPECT_TRUE(ui.MessageIds().empty());
  app.ExitInstance();
}
