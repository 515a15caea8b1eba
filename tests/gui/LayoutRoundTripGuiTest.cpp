// The real program started again and again on one user folder keeps the tree pane's
// width, the window's place and the list's columns exactly as they were left, with and
// without a window manager deciding the window's first size.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <map>
#include <thread>

#include <wx/arrstr.h>

#include "framework/Launcher.h"
#include "platform/Codec.h"
#include "platform/IniFile.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/support/TestEnv.h"

using namespace std::chrono_literals;

extern char** environ;

namespace {

using Section = std::map<wxString, wxString>;

Section ReadSection(const wxString& file, const char* name) {
  hv::IniFlushCache();
  Section out;
  for (const wxString& line : hv::IniReadSectionLines(file, name)) {
    const size_t eq = line.find('=');
    if (eq != wxString::npos) out[line.Left(eq).Lower()] = line.Mid(eq + 1);
  }
  return out;
}

// Where the window is on the screen, as the display sees it.
std::string Geometry() {
  std::this_thread::sleep_for(400ms);
  FILE* p = popen("xwininfo -name Halvora 2>/dev/null | grep -E 'Absolute|Width|Height'", "r");
  if (!p) return std::string();
  std::string out;
  char line[256];
  while (fgets(line, sizeof line, p)) out += line;
  pclose(p);
  return out;
}

// Whether the root window has the property (a window manager sets it when it is ready).
bool RootNames(const char* property) {
  FILE* p = popen(("xprop -root " + std::string(property) + " 2>/dev/null").c_str(), "r");
  if (!p) return false;
  char line[256] = {0};
  const bool found = fgets(line, sizeof line, p) && std::strstr(line, "window id");
  pclose(p);
  return found;
}

// Starts the program, waits for its window to settle, and closes it as the user would.
void RunOnce(const std::string& home) {
  hvtest::ProgramRunner app(HV_PROGRAM, home);
  // Under a window manager the window is not a child of the root: any depth counts.
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowExists("Halvora"); }, 20s)) << app.Errors();
  // The window manager and the toolkit finish the first layout: the window stays put
  // over three looks.
  std::string last;
  int same = 0;
  hvtest::WaitFor(
      [&] {
        const std::string now = Geometry();
        same = now == last ? same + 1 : 0;
        last = now;
        return same >= 2;
      },
      8s);
  app.Terminate();
  ASSERT_EQ(app.WaitExit(15s), 0) << app.Errors();
}

// A window manager on this test's private display while it lives.
class WindowManager {
 public:
  WindowManager() {
    const wxString program = FindProgram("openbox");
    if (program.empty()) return;
    const std::string path = hv::ToUtf8(program);
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>("--sm-disable"), nullptr};
    if (posix_spawn(&m_pid, path.c_str(), nullptr, nullptr, argv, environ) != 0) m_pid = -1;
    // The manager owns the screen once it announces itself on the root window.
    hvtest::WaitFor([] { return RootNames("_NET_SUPPORTING_WM_CHECK"); }, 10s);
  }
  ~WindowManager() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
  }
  bool Running() const { return m_pid > 0; }

 private:
  pid_t m_pid = -1;
};

// Every column of each stored layout gets a width of its own, so that a value that
// only survives as the default would show.
void SetOwnColumnWidths(const wxString& profile) {
  int width = 61;
  for (const auto& [key, value] : ReadSection(profile, "Pane1")) {
    if (key == "type") continue;
    wxArrayString parts = wxSplit(value, ',');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) parts[i] = wxString::Format("%d", width += 13);
    hv::IniWrite(profile, "Pane1", key, wxJoin(parts, ','));
  }
  hv::IniFlushCache();
}

void CheckRoundTrip(hvtest::TempHome& home) {
  // The project is opened at start, so the list shows its columns.
  const std::string project = hvtest::SeedCurrentProject(home, "Anlage");
  home.WriteSystemRegistry("[SOFTWARE\\Quintor\\TavGraph]\n\"PROJECTNAME\"=\"Anlage\"\n\"PROJECTPATH\"=\"" + project +
                           "\"\n\"PROJECTFULLPATH\"=\"Projekte\\\\Anlage\"\n");
  const wxString profile = home.Sub("Project.INI");
  hvtest::WriteAll(profile, "[Pane0]\r\nWidth=347\r\nWindowPosition=120,90,1000,700\r\nMaximized=0\r\n");
  const std::string path = hv::ToUtf8(home.Path());
  RunOnce(path);
  ASSERT_FALSE(ReadSection(profile, "Pane1").empty()) << "no list layout was written";
  SetOwnColumnWidths(profile);
  const Section pane1 = ReadSection(profile, "Pane1");
  for (int run = 2; run <= 3; ++run) {
    RunOnce(path);
    const Section pane0 = ReadSection(profile, "Pane0");
    EXPECT_EQ(hv::ToUtf8(pane0.at("width")), "347") << "start " << run;
    EXPECT_EQ(hv::ToUtf8(pane0.at("windowposition")), "120,90,1000,700") << "start " << run;
    EXPECT_EQ(ReadSection(profile, "Pane1"), pane1) << "start " << run;
  }
}

}  // namespace

TEST(LayoutRoundTripGui, PaneWindowAndColumnsSurviveRestarts) {
  hvtest::TempHome home;
  CheckRoundTrip(home);
}

TEST(LayoutRoundTripGui, PaneWindowAndColumnsSurviveRestartsUnderAWindowManager) {
  WindowManager manager;
  if (!manager.Running()) GTEST_SKIP() << "no window manager installed (openbox)";
  hvtest::TempHome home;
  CheckRoundTrip(home);
}

// A window manager first maps a new window at a few pixels; the toolkit complained about
// the toolbar and the menu bar allocated that narrow on every start.
TEST(LayoutRoundTripGui, AStartUnderAWindowManagerLogsNoToolkitWarnings) {
  WindowManager manager;
  if (!manager.Running()) GTEST_SKIP() << "no window manager installed (openbox)";
  hvtest::TempHome home;
  hvtest::SeedCurrentProject(home, "Anlage");
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowExists("Halvora"); }, 20s)) << app.Errors();
  Geometry();   // the window has settled
  app.Terminate();
  ASSERT_EQ(app.WaitExit(15s), 0) << app.Errors();
  EXPECT_EQ(app.Errors().find("Gtk-"), std::string::npos) << app.Errors();
}
