#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "framework/Launcher.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/ToolService.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ToolStandIns.h"
#include "tests/support/WaitBound.h"

using namespace hvtest;
using hv::ToolService;

namespace {

const wxString kClass = wxS("Test Tool Class");

// Starts the stand-in designer with the arguments and waits until it listens.
DWORD StartTool(DesignerLog& log, const wxString& arguments) {
  DWORD pid = 0;
  EXPECT_TRUE(LaunchProcess(nullptr, wxS("\"") + log.Program() + wxS("\" ") + arguments, wxString(), &pid));
  for (const auto& s : log.Starts(1))
    if (s.pid == pid) return pid;
  ADD_FAILURE() << "the tool did not start";
  return pid;
}

}  // namespace

TEST(ToolService, RecordedToolsAreFoundByClassAndTitleWhileTheyRunAndGetLines) {
  PrivateRuntimeDir runtime;
  DesignerLog log;
  ToolService& tools = ToolService::Get();
  const DWORD pid = StartTool(log, wxS("/L Eins"));
  tools.Record(pid, kClass, wxS("Eins - Werkzeug"));

  hv::ToolWindowQuery query;
  query.windowClass = kClass;
  EXPECT_EQ(pid, tools.FindWindow(query));   // any title
  query.title = wxS("Eins - Werkzeug");
  EXPECT_EQ(pid, tools.FindWindow(query));
  query.title = wxS("Zwei - Werkzeug");
  EXPECT_EQ(0u, tools.FindWindow(query));
  EXPECT_TRUE(tools.IsRecordedAlive(pid));

  EXPECT_TRUE(tools.Raise(pid));
  EXPECT_TRUE(tools.PostMessage(pid, 0x401, 0, 4711));
  EXPECT_TRUE(tools.Send(pid, S("Grüße")));
  EXPECT_FALSE(tools.Send(pid, wxS("zwei\nZeilen")));
  EXPECT_EQ((std::vector<std::string>{"RAISE", "MSG 1025 0 4711", "Grüße"}), log.Lines(pid, 3));

  // Once it has ended the window is gone, and nothing can be sent.
  log.EndAll();
  query.title.clear();
  EXPECT_EQ(0u, tools.FindWindow(query));
  EXPECT_FALSE(tools.IsRecordedAlive(pid));
  EXPECT_FALSE(tools.Raise(pid));
}

TEST(ToolService, ToolsStartedElsewhereAreFoundByProgramAndArguments) {
  PrivateRuntimeDir runtime;
  DesignerLog log;
  const DWORD pid = StartTool(log, wxS("/L \"Start Bild\" /F /tmp/x"));
  const wxString program = hv::PathName(log.Program());
  wxString upper = program;
  upper.MakeUpper();
  EXPECT_EQ(pid, hv::FindToolProcess(program));
  EXPECT_EQ(pid, hv::FindToolProcess(wxS("C:\\Tools\\") + upper + wxS(".exe"), {wxS("/L"), wxS("Start Bild")}));
  EXPECT_EQ(pid, hv::FindToolProcess(program, {wxS("Start Bild"), wxS("/F"), wxS("/tmp/x")}));
  EXPECT_EQ(0u, hv::FindToolProcess(program, {wxS("/L"), wxS("Start")}));
  EXPECT_EQ(0u, hv::FindToolProcess(program, {wxS("/F"), wxS("Start Bild")}));
  EXPECT_EQ(0u, hv::FindToolProcess(program.Left(program.length() - 1)));

  // Not recorded: only a query naming the program finds it.
  hv::ToolWindowQuery query;
  query.windowClass = wxS("Ein anderes Werkzeug");
  EXPECT_EQ(0u, ToolService::Get().FindWindow(query));
  query.program = program;
  query.arguments = {wxS("/L"), wxS("Start Bild")};
  EXPECT_EQ(pid, ToolService::Get().FindWindow(query));
}

TEST(ToolService, SendingNeverWaitsForAToolThatCannotTakeTheLine) {
  // Without a runtime folder there is no socket.
  const char* old = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = old ? old : "";
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(wxString(), ToolService::SocketPath(1234));
  EXPECT_FALSE(ToolService::Get().Send(1234, wxS("RAISE")));
  if (old) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);

  PrivateRuntimeDir runtime;
  EXPECT_EQ(hv::JoinPath(runtime.Path(), wxS("halvora/1234.sock")), ToolService::SocketPath(1234));
  ASSERT_TRUE(hv::MakeFolders(hv::JoinPath(runtime.Path(), wxS("halvora"))));

  // A socket left behind by a tool that ended, and a plain file in its place.
  const std::string stale = hv::ToFs(ToolService::SocketPath(1234));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, stale.c_str(), stale.size() + 1);
  ASSERT_EQ(0, ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
  ::close(fd);
  WriteAll(ToolService::SocketPath(1235), "RAISE\n");

  const ::testing::AssertionResult refused = hvtest::WaitEndsWithin(std::chrono::seconds(1), [] {
    return hvtest::Timed([] {
      EXPECT_FALSE(ToolService::Get().Send(1234, wxS("RAISE")));
      EXPECT_FALSE(ToolService::Get().Send(1235, wxS("RAISE")));
      EXPECT_FALSE(ToolService::Get().Send(1236, wxS("RAISE")));   // nothing there
    });
  });
  EXPECT_TRUE(refused);

  // A listener that never accepts still takes a line into its queue without delay.
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ::unlink(stale.c_str());
  ASSERT_EQ(0, ::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
  ASSERT_EQ(0, ::listen(listener, 1));
  EXPECT_TRUE(ToolService::Get().Send(1234, wxS("MSG 1025 0 1")));
  ::close(listener);
}

TEST(ToolService, ProcessesThatDoNotRunAreNotRecorded) {
  ToolService& tools = ToolService::Get();
  DWORD pid = 0;
  ASSERT_TRUE(LaunchProcess(nullptr, wxS("\"") + ChildProgram("launcher_sleep") + wxS("\" 0"), wxString(), &pid));
  ASSERT_TRUE(WaitForLaunchedProcess(pid, 5000));
  tools.Record(pid, wxS("Vergangen"), wxString());
  tools.Record(0, wxS("Vergangen"), wxString());
  hv::ToolWindowQuery query;
  query.windowClass = wxS("Vergangen");
  EXPECT_EQ(0u, tools.FindWindow(query));
  EXPECT_FALSE(tools.IsRecordedAlive(pid));
}
