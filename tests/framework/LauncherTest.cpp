#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "framework/Launcher.h"
#include "framework/ProcessList.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

wxString Child(const char* name) { return hv::FromUtf8(std::string(HV_TEST_BINARY_DIR) + "/children/" + name); }

struct ProbeResult {
  std::string cwd;
  std::vector<std::string> args;
};

// Reads what launcher_probe wrote; waits for the probe to end first.
bool ReadProbe(const wxString& file, ProbeResult& out) {
  std::ifstream in(hv::ToFs(file));
  if (!in) return false;
  std::string line;
  std::getline(in, out.cwd);
  std::getline(in, line);
  const int argc = std::atoi(line.c_str());
  out.args.clear();
  for (int i = 0; i < argc && std::getline(in, line); ++i) out.args.push_back(line);
  return static_cast<int>(out.args.size()) == argc;
}

// Runs the probe with the command line and returns its record.
ProbeResult RunProbe(hvtest::TempDir& dir, const wxString& commandLine, const wxString& folder = wxString()) {
  const wxString out = dir.Sub("probe.txt");
  std::filesystem::remove(hv::ToFs(out));
  setenv("HV_PROBE_OUT", hv::ToFs(out).c_str(), 1);
  DWORD pid = 0;
  ProbeResult r;
  EXPECT_TRUE(LaunchProcess(nullptr, commandLine, folder, &pid)) << hv::ToUtf8(commandLine);
  int status = -1;
  EXPECT_TRUE(WaitForLaunchedProcess(pid, 10000, &status));
  EXPECT_EQ(status, 7);
  EXPECT_TRUE(ReadProbe(out, r));
  return r;
}

std::string Real(const wxString& path) {
  char buf[PATH_MAX];
  return realpath(hv::ToFs(path).c_str(), buf) ? std::string(buf) : std::string();
}

bool ProcEntryExists(DWORD pid) {
  struct stat st;
  return stat(("/proc/" + std::to_string(pid)).c_str(), &st) == 0;
}

char ProcState(DWORD pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string all;
  std::getline(in, all);
  const size_t close = all.rfind(')');
  return close == std::string::npos || close + 2 >= all.size() ? '?' : all[close + 2];
}

}  // namespace

TEST(SplitCommandLine, FollowsTheWindowsRules) {
  struct Case {
    const char* line;
    std::vector<const char*> args;
  };
  const Case cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"prog", {"prog"}},
      {"  prog   a\tb  ", {"prog", "a", "b"}},
      {"\"C:\\Program Files\\x.exe\" -a", {"C:\\Program Files\\x.exe", "-a"}},
      // The program name keeps its backslashes even before a quote.
      {"\"C:\\dir\\\" x", {"C:\\dir\\", "x"}},
      {"p \"b c\" d", {"p", "b c", "d"}},
      {"p a\\\\b", {"p", "a\\\\b"}},
      {"p a\\\"b", {"p", "a\"b"}},
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},
      {"p \"\" x", {"p", "", "x"}},
      {"p \"a\"\"b\"", {"p", "a\"b"}},
      {"p ab\"c d\"e f", {"p", "abc de", "f"}},
      {"p \"unterminated arg", {"p", "unterminated arg"}},
      {"p \"C:\\path with\\\\\"", {"p", "C:\\path with\\"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> got;
    for (const wxString& arg : SplitCommandLine(S(c.line))) got.push_back(hv::ToUtf8(arg));
    EXPECT_EQ(got, std::vector<std::string>(c.args.begin(), c.args.end())) << c.line;
  }
}

TEST(LaunchProcess, ChildGetsExactArgumentsAndWorkingFolder) {
  hvtest::ScriptedUi ui;
  hvtest::TempDir dir;
  ASSERT_TRUE(hv::MakeFolders(dir.Sub("Work Dir")));
  const wxString line = "\"" + Child("launcher_probe") + "\" plain \"two words\" back\\\\slash q\\\"uote \"\" end\\";
  // The folder is found whatever the case and separators it is given with.
  wxString folder = dir.Sub("WORK DIR");
  folder.Replace("/", "\\");
  const ProbeResult r = RunProbe(dir, line, folder);
  EXPECT_EQ(r.cwd, Real(dir.Sub("Work Dir")));
  EXPECT_EQ(r.args, (std::vector<std::string>{Real(Child("launcher_probe")), "plain", "two words", "back\\\\slash",
                                               "q\"uote", "", "end\\"}));
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST(LaunchProcess, UnquotedExePathWithBlanksIsQuotedAndExeMayBeMissing) {
  hvtest::ScriptedUi ui;
  hvtest::TempDir dir;
  ASSERT_TRUE(hv::MakeFolders(dir.Sub("with blank")));
  std::filesystem::copy_file(hv::ToFs(Child("launcher_probe")), hv::ToFs(dir.Sub("with blank/Probe.exe")));
  // "…/Probe.exe one two" without quotes: the blank inside the path does not split it.
  ProbeResult r = RunProbe(dir, dir.Sub("with blank/Probe.exe") + " one two");
  EXPECT_EQ(r.args, (std::vector<std::string>{Real(dir.Sub("with blank/Probe.exe")), "one", "two"}));
  // Linux programs have no ".exe": a name given with it finds the one without; the
  // current folder stays when none is given.
  r = RunProbe(dir, Child("launcher_probe") + ".EXE x");
  ASSERT_EQ(r.args.size(), 2u);
  EXPECT_EQ(r.args[0], Real(Child("launcher_probe")));
  EXPECT_EQ(r.cwd, Real(hv::FromFs(std::filesystem::current_path().string())));
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST(LaunchProcess, FailuresShowMessage10001WithTheErrorNumber) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("notexec.sh"), "#!/bin/sh\nexit 0\n");
  chmod(hv::ToFs(dir.Sub("notexec.sh")).c_str(), 0644);
  struct Case {
    wxString line;
    wxString folder;
    const char* error;
    wxString program;   // named in the message
  };
  const Case cases[] = {
      {dir.Sub("missing-program") + " a", wxString(), "Error: 2", dir.Sub("missing-program")},
      {"no-such-program-anywhere-xyz", wxString(), "Error: 2", "no-such-program-anywhere-xyz"},
      {"\"" + Child("launcher_probe") + "\"", dir.Sub("no/such/folder"), "Error: 2", Child("launcher_probe")},
      {dir.Sub("notexec.sh"), wxString(), "Error: 13", dir.Sub("notexec.sh")},
      {"   ", wxString(), "Error: 22", wxString()},
  };
  for (const Case& c : cases) {
    hvtest::ScriptedUi ui;
    ui.ExpectMessage(10001);
    DWORD tid = 123, pid = 456;
    EXPECT_FALSE(LaunchProcess(&tid, c.line, c.folder, &pid)) << hv::ToUtf8(c.line);
    EXPECT_TRUE(ui.AllExpectationsMet());
    ASSERT_EQ(ui.MessageTexts().size(), 1u);
    const wxString named = c.program.empty() ? wxString() : c.program + "\n";
    EXPECT_EQ(hv::ToUtf8(ui.MessageTexts()[0]),
              std::string("Fehler beim Starten des Programms!\n") + hv::ToUtf8(named) + c.error);
    EXPECT_EQ(tid, 123u);
    EXPECT_EQ(pid, 456u);
  }
}

TEST(LaunchProcess, ReturnsAtOnceAndLeavesNoZombie) {
  hvtest::ScriptedUi ui;
  hvtest::TempDir dir;
  // A private copy, so that another test's sleeper never answers for this one.
  const wxString sleeper = dir.Sub(wxString::Format("HvSleep%d", static_cast<int>(getpid())));
  std::filesystem::copy_file(hv::ToFs(Child("launcher_sleep")), hv::ToFs(sleeper));
  DWORD tid = 0, pid = 0;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(LaunchProcess(&tid, "\"" + sleeper + "\" 10", wxString(), &pid));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(tid, pid);
  EXPECT_TRUE(IsLaunchedProcessRunning(pid));
  EXPECT_FALSE(WaitForLaunchedProcess(pid, 50));

  // Found by its name in other case, with or without ".exe" and a Windows folder.
  const wxString name = hv::PathName(sleeper);
  EXPECT_TRUE(IsProcessRunning(name.Upper()));
  EXPECT_TRUE(IsProcessRunning("C:\\Tools\\" + name.Lower() + ".EXE"));
  EXPECT_FALSE(IsProcessRunning(name + "x"));
  EXPECT_FALSE(IsProcessRunning(wxString()));

  ASSERT_EQ(kill(static_cast<pid_t>(pid), SIGTERM), 0);
  int status = 0;
  ASSERT_TRUE(WaitForLaunchedProcess(pid, 10000, &status));
  EXPECT_EQ(status, 128 + SIGTERM);
  EXPECT_FALSE(IsLaunchedProcessRunning(pid));
  // Reaped: no zombie entry is left behind.
  EXPECT_TRUE(!ProcEntryExists(pid) || ProcState(pid) != 'Z');
  EXPECT_FALSE(IsProcessRunning(name));
}

TEST(LaunchProcess, ShortLivedChildIsReapedWithoutAnyWait) {
  hvtest::ScriptedUi ui;
  hvtest::TempDir dir;
  setenv("HV_PROBE_OUT", hv::ToFs(dir.Sub("p.txt")).c_str(), 1);
  DWORD pid = 0;
  ASSERT_TRUE(LaunchProcess(nullptr, "\"" + Child("launcher_probe") + "\"", wxString(), &pid));
  // Nobody waits for it here: the entry must still vanish on its own.
  bool gone = false;
  for (int i = 0; i < 500 && !gone; ++i) {
    gone = !ProcEntryExists(pid) || (ProcState(pid) != 'Z' && !IsLaunchedProcessRunning(pid));
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(gone);
  EXPECT_FALSE(IsLaunchedProcessRunning(pid));
}
