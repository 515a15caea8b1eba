// The transfer dialog's work against a real pyftpdlib server: which file goes where,
// trees arriving byte-identical, failures shown and never taken for success, cancel,
// and the CE download's two dialogs in a row.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

#include "build/CeDownload.h"
#include "build/FtpDownloadController.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/FtpTestServer.h"
#include "tests/support/TestEnv.h"
#include "tests/support/WaitBound.h"

namespace {

using Clock = std::chrono::steady_clock;

// A device folder with web pages, an empty save.bin and a font.
void MakeDeviceFolder(const hvtest::TempDir& dir) {
  hvtest::WriteAll(dir.Sub("dev/web/index.htm"), "<html>index</html>");
  hvtest::WriteAll(dir.Sub("dev/web/img/logo.gif"), std::string("GIF89a\0\1\2\3", 10));
  hvtest::WriteAll(dir.Sub("dev/web/img/deep/x.js"), "var x = 1;");
  hvtest::WriteAll(dir.Sub("dev/web/save.bin"), "");
  hvtest::WriteAll(dir.Sub("dev/fonts/Arial.ttf"), "ttf-bytes");
}

std::vector<wxString> RemotePaths(const std::vector<FtpFileJob>& files) {
  std::vector<wxString> paths;
  for (const FtpFileJob& f : files) paths.push_back(f.remotePath);
  return paths;
}

// Answers the transfer dialog by running its controller to the end, as the dialog would.
void AnswerTransferHeadless(hvtest::ScriptedUi& ui, int* runs = nullptr) {
  ui.Answer<FtpDownloadRequest>([runs](FtpDownloadRequest& r) {
    if (runs) ++*runs;
    FtpDownloadController controller(r);
    return static_cast<int>(controller.RunToEnd() ? IDOK : IDCANCEL);
  });
}

// Polls until the controller sends `name`, then lets it get well into that file.
bool PollUntilSending(FtpDownloadController& controller, const wxString& name) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!controller.StatusText().Contains(name)) {
    if (controller.Poll() || Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  return true;
}

// A device folder and, once a test serves it, a pyftpdlib server rooted at "root".
class FtpServed : public testing::Test {
 protected:
  FtpServed() { MakeDeviceFolder(dir); }
  bool Serve(hvtest::FtpTestServer::Options options = {}) {
    server.emplace(dir.Sub("root"), options);
    return server->Port() > 0;
  }
  FtpDownloadRequest RequestFor(const wxString& source) const {
    FtpDownloadRequest r;
    r.address = server->Address();
    r.user = "dev";
    r.password = "pw";
    r.source = source;
    return r;
  }

  hvtest::TempDir dir;
  hvtest::ScriptedUi ui;
  std::optional<hvtest::FtpTestServer> server;
};
using FtpTransfer = FtpServed;
using CeTransfer = FtpServed;

}  // namespace

TEST(FtpTransferPlan, RemotePathsFollowTheModeAndTheLocalBase) {
  hvtest::TempDir dir;
  MakeDeviceFolder(dir);
  std::vector<FtpFileJob> files;

  FtpDownloadRequest folder;
  folder.source = dir.Sub("dev/web");
  folder.localBase = dir.Sub("dev");
  folder.remoteFolder = "\\Flashdisk\\wwwpub";
  ASSERT_TRUE(PlanFtpTransfer(folder, files).Ok());
  EXPECT_EQ(RemotePaths(files), (std::vector<wxString>{"Flashdisk/wwwpub/web/index.htm", "Flashdisk/wwwpub/web/save.bin",
                                                       "Flashdisk/wwwpub/web/img/logo.gif",
                                                       "Flashdisk/wwwpub/web/img/deep/x.js"}));
  EXPECT_EQ(files[2].shownName, "web/img/logo.gif");
  EXPECT_EQ(files[2].size, 10u);

  // Without a base the folder's content goes straight into the remote folder.
  folder.localBase.clear();
  folder.remoteFolder = "Flashdisk\\TavDesign";
  ASSERT_TRUE(PlanFtpTransfer(folder, files).Ok());
  EXPECT_EQ(files.front().remotePath, "Flashdisk/TavDesign/index.htm");

  // One file below the base keeps its sub-path; in single-file mode it does not.
  FtpDownloadRequest file;
  file.source = dir.Sub("DEV/Web/SAVE.BIN");   // any spelling finds the file
  file.localBase = dir.Sub("dev");
  file.remoteFolder = "vfs";
  ASSERT_TRUE(PlanFtpTransfer(file, files).Ok());
  EXPECT_EQ(RemotePaths(files), std::vector<wxString>{"vfs/web/save.bin"});
  file.source = dir.Sub("dev/fonts/Arial.ttf");
  file.remoteFolder = "Flashdisk\\TavDesign\\Fonts";
  file.mode = kFtpModeSingleFile;
  ASSERT_TRUE(PlanFtpTransfer(file, files).Ok());
  EXPECT_EQ(RemotePaths(files), std::vector<wxString>{"Flashdisk/TavDesign/Fonts/Arial.ttf"});
}

TEST(FtpTransferPlan, BadSourcesAreRefusedWithTheirMessage) {
  hvtest::TempDir dir;
  MakeDeviceFolder(dir);
  std::vector<FtpFileJob> files;
  FtpDownloadRequest r;
  EXPECT_EQ(PlanFtpTransfer(r, files).messageId, 11910u);
  r.source = dir.Sub("dev/missing.htm");
  EXPECT_EQ(PlanFtpTransfer(r, files).messageId, 11910u);
  r.source = dir.Sub("dev/web");
  r.mode = kFtpModeSingleFile;   // a folder is no single file
  EXPECT_EQ(PlanFtpTransfer(r, files).messageId, 11910u);
  r.mode = kFtpModeFolder;
  r.localBase = dir.Sub("dev/fonts");   // the source is not below it
  const FtpTransferResult outside = PlanFtpTransfer(r, files);
  EXPECT_EQ(outside.messageId, 11911u);
  EXPECT_TRUE(files.empty());
  r.localBase = dir.Sub("dev/we");   // a name prefix is no parent folder
  EXPECT_EQ(PlanFtpTransfer(r, files).messageId, 11911u);

  FtpDownloadRequest bad = r;
  bad.localBase.clear();
  bad.address = "host:99999";
  ZipProgress progress;
  EXPECT_EQ(RunFtpTransfer(bad, progress).messageId, 11913u);
}

TEST_F(FtpTransfer, FolderTreeArrivesByteIdenticalInMadeFolders) {
  ASSERT_TRUE(Serve());

  FtpDownloadRequest r = RequestFor(dir.Sub("dev/web"));
  r.localBase = dir.Sub("dev");
  r.remoteFolder = "\\Flashdisk\\wwwpub";
  FtpDownloadController controller(r);
  EXPECT_TRUE(controller.RunToEnd());
  EXPECT_TRUE(r.succeeded);
  EXPECT_EQ(r.filesSent, 4);
  EXPECT_EQ(r.messageId, 0u);
  EXPECT_EQ(controller.Percent(), 100);
  for (const char* rel : {"web/index.htm", "web/save.bin", "web/img/logo.gif", "web/img/deep/x.js"})
    EXPECT_EQ(hvtest::ReadAll(dir.Sub(wxString("root/Flashdisk/wwwpub/") + rel)), hvtest::ReadAll(dir.Sub(wxString("dev/") + rel)))
        << rel;
  EXPECT_TRUE(hv::IsFile(dir.Sub("root/Flashdisk/wwwpub/web/save.bin")));
  EXPECT_EQ(server->Stored(), (std::vector<wxString>{"Flashdisk/wwwpub/web/index.htm", "Flashdisk/wwwpub/web/save.bin",
                                                    "Flashdisk/wwwpub/web/img/logo.gif",
                                                    "Flashdisk/wwwpub/web/img/deep/x.js"}));
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST_F(FtpTransfer, WrongPasswordIsShownAndNothingClaimed) {
  ASSERT_TRUE(Serve());
  ui.ExpectMessage(11903);
  FtpDownloadRequest r = RequestFor(dir.Sub("dev/fonts/Arial.ttf"));
  r.password = "falsch";
  r.remoteFolder = "Flashdisk\\TavDesign\\Fonts";
  r.mode = kFtpModeSingleFile;
  FtpDownloadController controller(r);
  EXPECT_FALSE(controller.RunToEnd());
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(r.succeeded);
  EXPECT_EQ(r.filesSent, 0);
  EXPECT_TRUE(r.message.Contains("127.0.0.1"));
  EXPECT_TRUE(server->Stored().empty());
  EXPECT_NE(controller.Percent(), 100);
}

TEST_F(FtpTransfer, ServerGoingAwayMidwayIsAFailure) {
  hvtest::WriteAll(dir.Sub("src/a_small.txt"), "small");
  hvtest::WriteAll(dir.Sub("src/b_big.bin"), std::string(6 << 20, 'z'));
  hvtest::WriteAll(dir.Sub("src/c_after.txt"), "after");
  hvtest::FtpTestServer::Options options;
  options.rate = 128 * 1024;
  ASSERT_TRUE(Serve(options));
  ui.ExpectMessage(11907);

  FtpDownloadRequest r = RequestFor(dir.Sub("src"));
  r.remoteFolder = "vfs";
  FtpDownloadController controller(r, FtpTransferLimits{3000, 3000, 3});
  ASSERT_TRUE(controller.Start());
  ASSERT_TRUE(PollUntilSending(controller, "b_big.bin"));
  server->Kill();
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (!controller.Poll() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(controller.IsFinished());
  EXPECT_TRUE(ui.AllExpectationsMet()) << hv::ToUtf8(r.message);
  EXPECT_FALSE(r.succeeded);
  EXPECT_EQ(r.filesSent, 1);   // only the file before the big one
  EXPECT_TRUE(r.message.Contains("b_big.bin"));
  EXPECT_FALSE(hv::PathExists(dir.Sub("root/vfs/c_after.txt")));
}

TEST_F(FtpTransfer, CancelStopsPromptlyWithoutAMessage) {
  hvtest::WriteAll(dir.Sub("big.bin"), std::string(8 << 20, 'c'));
  hvtest::FtpTestServer::Options options;
  options.rate = 64 * 1024;
  ASSERT_TRUE(Serve(options));   // no message expected

  const ::testing::AssertionResult stopped = hvtest::WaitEndsWithin(std::chrono::seconds(1), [&] {
    FtpDownloadRequest r = RequestFor(dir.Sub("big.bin"));
    r.mode = kFtpModeSingleFile;
    FtpDownloadController controller(r);
    EXPECT_TRUE(controller.Start());
    EXPECT_TRUE(PollUntilSending(controller, "big.bin"));
    EXPECT_FALSE(controller.RequestClose());   // closing while it runs cancels instead
    const auto took = hvtest::Timed([&] {
      const auto cancelled = Clock::now();
      while (!controller.Poll() && Clock::now() - cancelled < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    EXPECT_TRUE(controller.IsFinished());
    EXPECT_FALSE(r.succeeded);
    EXPECT_EQ(r.messageId, 10769u);
    EXPECT_TRUE(controller.RequestClose());
    return took;
  });
  EXPECT_TRUE(stopped);
}

TEST_F(CeTransfer, TargetDialogThenTransferAndTheConfirmedValuesComeBack) {
  ASSERT_TRUE(Serve());
  DownloadWebCERequest shown;
  ui.Answer<DownloadWebCERequest>([&](DownloadWebCERequest& r) {
    shown = r;
    r.targetFolder = "\\Flashdisk\\Neu";
    r.password = "pw";
    return static_cast<int>(IDOK);
  });
  AnswerTransferHeadless(ui);

  CeDownload job;
  job.caption = "True-Type Font downloaden";
  job.device = "Panel";
  job.address = server->Address();
  job.source = dir.Sub("dev/fonts/Arial.ttf");
  job.localBase = dir.Sub("dev");
  job.targetPath = "\\Flashdisk\\TavDesign\\Fonts";
  job.user = "dev";
  job.password = "alt";
  EXPECT_TRUE(DownloadToCEDevice(job));
  EXPECT_EQ(shown.caption, "True-Type Font downloaden");
  EXPECT_EQ(shown.targetFolder, "\\Flashdisk\\TavDesign\\Fonts");
  EXPECT_EQ(shown.password, "alt");
  // The host and the address's port, each in its own field.
  EXPECT_EQ(shown.address, "127.0.0.1");
  EXPECT_EQ(shown.connection.port, server->Port());
  EXPECT_EQ(job.targetPath, "\\Flashdisk\\Neu");
  EXPECT_EQ(job.password, "pw");
  EXPECT_TRUE(job.message.empty());
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/Neu/Arial.ttf")), "ttf-bytes");
}

TEST_F(CeTransfer, CancelOrFailureGivesFalseAndKeepsTheValues) {
  ASSERT_TRUE(Serve());
  int transfers = 0;
  AnswerTransferHeadless(ui, &transfers);
  CeDownload job;
  job.address = server->Address();
  job.source = dir.Sub("dev/fonts/Arial.ttf");
  job.targetPath = "\\Flashdisk\\TavDesign";
  job.user = "dev";
  job.password = "falsch";

  ui.Answer<DownloadWebCERequest>([](DownloadWebCERequest& r) {
    r.targetFolder = "\\anders";
    return static_cast<int>(IDCANCEL);
  });
  EXPECT_FALSE(DownloadToCEDevice(job));
  EXPECT_EQ(transfers, 0);
  EXPECT_FALSE(job.message.empty());
  EXPECT_EQ(job.targetPath, "\\Flashdisk\\TavDesign");

  ui.Answer<DownloadWebCERequest>([](DownloadWebCERequest&) { return static_cast<int>(IDOK); });
  // The refused login asks for another; Cancel there gives the refusal's message.
  int asked = 0;
  ui.Answer<UserPwdRequest>([&](UserPwdRequest& r) {
    ++asked;
    EXPECT_EQ(r.user, "dev");
    EXPECT_TRUE(r.password.empty());
    return static_cast<int>(IDCANCEL);
  });
  ui.ExpectMessage(11903);
  EXPECT_FALSE(DownloadToCEDevice(job));
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(job.loginEntered);
  EXPECT_EQ(transfers, 1);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(job.message.Contains("127.0.0.1"));
  EXPECT_TRUE(server->Stored().empty());
}

// The target dialog shows the host and the port apart, IPv6 hosts whole; the port
// confirmed there is the one the transfer's address names.
TEST(CeTransferTarget, TheAddressShowsAsHostAndPortAndTheConfirmedPortIsTheTransfers) {
  const struct {
    const char* address;
    const char* host;
    int port;
    const char* sent;   // with 990 confirmed
  } rows[] = {
      {"127.0.0.1:2121", "127.0.0.1", 2121, "127.0.0.1:990"},
      {"panel.local", "panel.local", 21, "panel.local:990"},
      {"[fe80::1:2]:2121", "fe80::1:2", 2121, "[fe80::1:2]:990"},
      {"[fe80::1]", "fe80::1", 21, "[fe80::1]:990"},
      {"host:abc", "host:abc", 21, "host:abc"},   // shown whole; the transfer says why not
      {"1]:2:3", "1]:2:3", 21, "1]:2:3"},         // never joined into a text nobody typed
  };
  for (const auto& row : rows) {
    DownloadWebCERequest target;
    PresetDownloadTarget(target, row.address);
    EXPECT_EQ(target.address, row.host) << row.address;
    EXPECT_EQ(target.connection.port, row.port) << row.address;
    target.connection.port = 990;
    FtpDownloadRequest transfer;
    transfer.address = row.address;
    ApplyDownloadTarget(target, transfer);
    EXPECT_EQ(transfer.address, row.sent) << row.address;
    hv::FtpSession session;
    FtpTransferResult error;
    if (FtpSessionFor(transfer, session, error)) {
      EXPECT_EQ(session.port, 990) << row.address;
    }
  }
}

// The target dialog's port field: a port from 1 to 65535 or a message naming the field;
// an empty field is no port 21 (nor 1).
TEST(CeTransferTarget, ThePortFieldTakesOnlyAPortAndOtherwiseNamesItself) {
  const struct {
    const char* typed;
    int port;         // 0: refused
    UINT messageId;
  } rows[] = {
      {"2121", 2121, 0}, {" 21 ", 21, 0}, {"1", 1, 0}, {"65535", 65535, 0}, {"00990", 990, 0},
      {"", 0, 13960},    {"   ", 0, 13960}, {"0", 0, 13961}, {"65536", 0, 13961}, {"99999999999999999999", 0, 13961},
      {"21a", 0, 13961}, {"abc", 0, 13961}, {"-1", 0, 13961}, {"+21", 0, 13961}, {"2 1", 0, 13961},
  };
  for (const auto& row : rows) {
    int port = 7;
    UINT id = 0;
    wxString message;
    EXPECT_EQ(ReadTargetPort("Port", row.typed, port, id, message), row.port != 0) << row.typed;
    EXPECT_EQ(port, row.port ? row.port : 7) << row.typed;
    EXPECT_EQ(id, row.messageId) << row.typed;
    if (row.messageId) {
      EXPECT_TRUE(message.StartsWith("Port: ")) << message;
    }
    if (row.messageId == 13961) {
      EXPECT_TRUE(message.Contains(wxString(row.typed).Trim(true).Trim(false))) << message;
    }
  }
}

TEST(CeTransferTarget, ConfirmedTargetLosesOnlyItsLeadingSeparator) {
  DownloadWebCERequest target;
  target.targetFolder = "\\Flashdisk\\wwwpub";
  target.user = "u";
  target.password = "p";
  target.connection = {2121, false};
  FtpDownloadRequest transfer;
  transfer.source = "/keep";
  ApplyDownloadTarget(target, transfer);
  EXPECT_EQ(transfer.remoteFolder, "Flashdisk/wwwpub");
  EXPECT_EQ(transfer.source, "/keep");
  EXPECT_EQ(transfer.connection.port, 2121);
  EXPECT_FALSE(transfer.connection.passive);
  target.targetFolder = "Flashdisk\\TavDesign";   // typed without one
  target.source = "/edited";
  ApplyDownloadTarget(target, transfer);
  EXPECT_EQ(transfer.remoteFolder, "Flashdisk/TavDesign");
  EXPECT_EQ(transfer.source, "/edited");
}
