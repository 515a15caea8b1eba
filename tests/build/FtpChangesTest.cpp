// The transfer sends what the device does not already hold, against a real pyftpdlib
// server: the device's folder is listed first, an unchanged folder sends nothing, one
// changed file is sent alone, a full device is named as full, and a broken upload never
// leaves half a file under its real name.
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>
#include <utime.h>

#include "build/FtpDownloadController.h"
#include "model/ZipProgress.h"
#include "platform/Codec.h"
#include "platform/FtpClient.h"
#include "platform/Paths.h"
#include "tests/support/FtpTestServer.h"
#include "tests/support/TestEnv.h"

namespace {

using Clock = std::chrono::steady_clock;

FtpDownloadRequest RequestFor(const hvtest::FtpTestServer& server, const wxString& source) {
  FtpDownloadRequest r;
  r.address = server.Address();
  r.user = "dev";
  r.password = "pw";
  r.source = source;
  r.remoteFolder = "\\Flashdisk\\wwwpub";
  return r;
}

// Sets a file's time, so that a rewrite within the same second still counts as a change.
void SetTime(const wxString& path, time_t t) {
  utimbuf times{t, t};
  utime(hv::ToFs(path).c_str(), &times);
}

TEST(FtpListing, MlsdAndListLinesOfRealServers) {
  struct Case {
    const char* line;
    bool mlsd;
    bool ok;
    const char* name;
    bool folder;
    unsigned long long size;
    long long modified;
  } cases[] = {
      {"type=file;size=5;modify=20260101120000; a b.txt", true, true, "a b.txt", false, 5, 1767268800},
      {"Type=File;Size=7;Modify=20260101120000.123;Perm=rw; x", true, true, "x", false, 7, 1767268800},
      {"type=dir;modify=20260101120000; img", true, true, "img", true, 0, 1767268800},
      {"type=cdir; .", true, false, "", false, 0, 0},
      {"type=pdir; ..", true, false, "", false, 0, 0},
      {"type=file;size=1;modify=2026010112; short", true, true, "short", false, 1, 0},   // no exact time
      {"garbage", true, false, "", false, 0, 0},
      {"-rw-r--r--   1 owner group     1234 Dec  7 06:45 index page.htm", false, true, "index page.htm", false, 1234, 0},
      {"drwxr-xr-x   2 owner group     4096 Jan  1  2025 img", false, true, "img", true, 4096, 0},
      {"12-07-26  06:45AM                 1234 web.htm", false, true, "web.htm", false, 1234, 0},
      {"12-07-26  06:45AM       <DIR>          deep", false, true, "deep", true, 0, 0},
      {"total 12", false, false, "", false, 0, 0},
  };
  for (const Case& c : cases) {
    hv::FtpRemoteEntry e;
    const bool ok = c.mlsd ? hv::ParseMlsdLine(c.line, e) : hv::ParseListLine(c.line, e);
    ASSERT_EQ(ok, c.ok) << c.line;
    if (!ok) continue;
    EXPECT_EQ(e.name, wxString::FromUTF8(c.name)) << c.line;
    EXPECT_EQ(e.isFolder, c.folder) << c.line;
    if (!c.folder) {
      EXPECT_EQ(e.size, c.size) << c.line;
    }
    EXPECT_EQ(static_cast<long long>(e.modified), c.modified) << c.line;
  }
}

TEST(FtpChanges, UnchangedFolderSendsNothingAndOneChangeSendsOne) {
  hvtest::TempDir dir;
  const time_t base = std::time(nullptr) - 3600;
  for (int i = 0; i < 40; ++i) {
    const wxString path = dir.Sub(wxString::Format("web/%s/page%02d.htm", i % 2 ? "a" : "b", i));
    hvtest::WriteAll(path, std::string(static_cast<size_t>(100 + i), 'p'));
    SetTime(path, base);
  }
  hvtest::FtpTestServer server(dir.Sub("root"));
  ASSERT_GT(server.Port(), 0);
  hvtest::ScriptedUi ui;

  FtpDownloadRequest first = RequestFor(server, dir.Sub("web"));
  FtpDownloadController one(first);
  ASSERT_TRUE(one.RunToEnd()) << first.message;
  EXPECT_EQ(first.filesSent, 40);
  EXPECT_EQ(server.Stored().size(), 40u);
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/wwwpub/a/page01.htm")), std::string(101, 'p'));
  EXPECT_FALSE(hv::PathExists(dir.Sub("root/Flashdisk/wwwpub/a/page01.htm.hvtmp")));

  FtpDownloadRequest second = RequestFor(server, dir.Sub("web"));
  FtpDownloadController two(second);
  ASSERT_TRUE(two.RunToEnd()) << second.message;
  EXPECT_EQ(second.filesSent, 0);
  EXPECT_EQ(second.filesUnchanged, 40);
  EXPECT_EQ(server.Stored().size(), 40u);
  EXPECT_EQ(two.Percent(), 100);

  // Same size, other content and time: sent; so is a file whose size alone changed.
  hvtest::WriteAll(dir.Sub("web/b/page10.htm"), std::string(110, 'q'));
  SetTime(dir.Sub("web/b/page10.htm"), base + 60);
  FtpDownloadRequest third = RequestFor(server, dir.Sub("web"));
  ZipProgress progress;
  const FtpTransferResult sentOne = RunFtpTransfer(third, progress);
  ASSERT_TRUE(sentOne.Ok()) << sentOne.message;
  EXPECT_EQ(sentOne.filesSent, 1);
  EXPECT_EQ(sentOne.filesUnchanged, 39);
  EXPECT_EQ(progress.Bytes(), 110u);   // the progress counts only what is sent
  EXPECT_EQ(progress.Percent(), 100);
  ASSERT_EQ(server.Stored().size(), 41u);
  EXPECT_EQ(server.Stored().back(), "Flashdisk/wwwpub/b/page10.htm");
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/wwwpub/b/page10.htm")), std::string(110, 'q'));
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST(FtpChanges, AFullDeviceIsNamedAsFullWithTheFile) {
  for (int reply : {451, 452, 552}) {
    hvtest::TempDir dir;
    hvtest::WriteAll(dir.Sub("web/index.htm"), "<html/>");
    hvtest::FtpTestServer::Options options;
    options.fullReply = reply;
    options.fullFlag = dir.Sub("full.flag");
    hvtest::WriteAll(options.fullFlag, "");
    hvtest::FtpTestServer server(dir.Sub("root"), options);
    ASSERT_GT(server.Port(), 0);
    hvtest::ScriptedUi ui;
    ui.ExpectMessage(11906);
    FtpDownloadRequest r = RequestFor(server, dir.Sub("web"));
    FtpDownloadController controller(r);
    EXPECT_FALSE(controller.RunToEnd()) << reply;
    EXPECT_TRUE(ui.AllExpectationsMet()) << reply << ": " << hv::ToUtf8(r.message);
    EXPECT_EQ(r.messageId, 11906u) << reply;
    EXPECT_TRUE(r.message.Contains("index.htm")) << reply;
    EXPECT_TRUE(r.message.StartsWith(wxS("Auf dem Gerät ist kein Platz"))) << reply;
    EXPECT_FALSE(hv::PathExists(dir.Sub("root/Flashdisk/wwwpub/index.htm")));
  }
}

// Cancels the transfer once the big file is well on its way.
void CancelMidway(FtpDownloadController& controller) {
  ASSERT_TRUE(controller.Start());
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (controller.Percent() < 10 && Clock::now() < deadline && !controller.Poll())
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  controller.Cancel();
  while (!controller.Poll() && Clock::now() < deadline + std::chrono::seconds(10))
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(controller.IsFinished());
}

TEST(FtpChanges, CancelLeavesTheDevicesFileWhole) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("big.bin"), std::string(4 << 20, 'n'));
  hvtest::WriteAll(dir.Sub("root/vfs/big.bin"), "old and whole");
  hvtest::FtpTestServer::Options options;
  options.rate = 256 * 1024;
  hvtest::FtpTestServer server(dir.Sub("root"), options);
  ASSERT_GT(server.Port(), 0);
  hvtest::ScriptedUi ui;
  FtpDownloadRequest r = RequestFor(server, dir.Sub("big.bin"));
  r.remoteFolder = "vfs";
  r.mode = kFtpModeSingleFile;
  FtpDownloadController controller(r);
  CancelMidway(controller);
  EXPECT_EQ(r.messageId, 10769u);
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/vfs/big.bin")), "old and whole");
  // The temporary copy is gone again once the server has let go of it.
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (hv::PathExists(dir.Sub("root/vfs/big.bin.hvtmp")) && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(hv::ListFolder(dir.Sub("root/vfs")), std::vector<wxString>{"big.bin"});
}

TEST(FtpChanges, WithoutRenameABrokenFileIsRemovedAndSaidSo) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("src/small.txt"), "small");
  hvtest::WriteAll(dir.Sub("src/zbig.bin"), std::string(4 << 20, 'n'));
  hvtest::FtpTestServer::Options options;
  options.rate = 256 * 1024;
  options.noRename = true;
  hvtest::FtpTestServer server(dir.Sub("root"), options);
  ASSERT_GT(server.Port(), 0);
  hvtest::ScriptedUi ui;
  FtpDownloadRequest r = RequestFor(server, dir.Sub("src"));
  r.remoteFolder = "vfs";
  FtpDownloadController controller(r);
  CancelMidway(controller);
  EXPECT_EQ(r.messageId, 10769u);
  // The small file went straight to its name; the broken big one is removed.
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/vfs/small.txt")), "small");
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (hv::PathExists(dir.Sub("root/vfs/zbig.bin")) && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(hv::PathExists(dir.Sub("root/vfs/zbig.bin")));
  EXPECT_TRUE(r.message.Contains(wxS("Die unvollständige Datei zbig.bin wurde vom Gerät gelöscht."))) << hv::ToUtf8(r.message);
  EXPECT_FALSE(hv::PathExists(dir.Sub("root/vfs/small.txt.hvtmp")));
}

// A server without MLSD is listed by LIST: its times are not exact, so every file is
// sent again, but the transfer works and sizes are still read.
TEST(FtpChanges, ServersWithoutMlsdAreListedByList) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("web/a.htm"), "aaa");
  hvtest::WriteAll(dir.Sub("root/Flashdisk/wwwpub/a.htm"), "old");
  hvtest::FtpTestServer::Options options;
  options.noMlsd = true;
  hvtest::FtpTestServer server(dir.Sub("root"), options);
  ASSERT_GT(server.Port(), 0);
  hv::FtpSession session;
  session.host = "127.0.0.1";
  session.port = server.Port();
  session.user = "dev";
  session.password = "pw";
  hv::FtpClient client(session);
  std::vector<hv::FtpRemoteEntry> entries;
  ASSERT_TRUE(client.List("Flashdisk/wwwpub", entries).Ok());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "a.htm");
  EXPECT_EQ(entries[0].size, 3u);
  EXPECT_EQ(entries[0].modified, 0);
  EXPECT_TRUE(client.List("Flashdisk/none", entries).Ok());   // a missing folder holds nothing
  EXPECT_TRUE(entries.empty());

  hvtest::ScriptedUi ui;
  for (int run = 1; run <= 2; ++run) {
    FtpDownloadRequest r = RequestFor(server, dir.Sub("web"));
    FtpDownloadController controller(r);
    ASSERT_TRUE(controller.RunToEnd()) << r.message;
    EXPECT_EQ(r.filesSent, 1) << run;
  }
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/wwwpub/a.htm")), "aaa");
}

}  // namespace
