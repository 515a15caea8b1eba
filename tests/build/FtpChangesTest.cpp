// The transfer sends what the device does not already hold, against a real pyftpdlib
// server: the device's folder is listed first, an unchanged folder sends nothing, one
// changed file is sent alone, a full device is named as full, and a broken upload never
// leaves half a file under its real name.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <sys/stat.h>
#include <thread>
#include <utime.h>

#include "archive/ZipProgress.h"
#include "build/FtpDownloadController.h"
#include "build/FtpSentRecord.h"
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
  // Unix lines without a year are placed by this clock: 2026-12-07 12:00 UTC.
  const std::time_t now = 1796644800;
  struct Case {
    const char* line;
    bool mlsd;
    bool ok;
    const char* name;
    bool folder;
    unsigned long long size;
    long long modified;
    long long listed;
  } cases[] = {
      {"type=file;size=5;modify=20260101120000; a b.txt", true, true, "a b.txt", false, 5, 1767268800, 0},
      {"Type=File;Size=7;Modify=20260101120000.123;Perm=rw; x", true, true, "x", false, 7, 1767268800, 0},
      {"type=dir;modify=20260101120000; img", true, true, "img", true, 0, 1767268800, 0},
      {"type=cdir; .", true, false, "", false, 0, 0, 0},
      {"type=pdir; ..", true, false, "", false, 0, 0, 0},
      {"type=file;size=1;modify=2026010112; short", true, true, "short", false, 1, 0, 0},   // no exact time
      {"garbage", true, false, "", false, 0, 0, 0},
      {"-rw-r--r--   1 owner group     1234 Dec  7 06:45 index page.htm", false, true, "index page.htm", false, 1234,
       0, 1796625900},
      // Older than half a year: the year instead of the time of day, so no time.
      {"drwxr-xr-x   2 owner group     4096 Jan  1  2025 img", false, true, "img", true, 4096, 0, 0},
      // Without the group; a name that repeats earlier fields.
      {"-rw-r--r-- 1 owner 6 Dec 7 06:45 6 Dec 7", false, true, "6 Dec 7", false, 6, 0, 1796625900},
      // A date after this clock is last year's.
      {"-rw-r--r-- 1 o g 3 Dec 25 10:00 late", false, true, "late", false, 3, 0, 1766656800},
      {"12-07-26  06:45AM                 1234 web.htm", false, true, "web.htm", false, 1234, 0, 1796625900},
      {"12-07-26  06:45AM       <DIR>          deep", false, true, "deep", true, 0, 0, 1796625900},
      // The size (6) also appears in the date: the name still follows the size field.
      {"12-07-26  06:46AM  6 a.txt", false, true, "a.txt", false, 6, 0, 1796625960},
      {"12-07-26  06:46PM  26 12-07-26 copy.txt", false, true, "12-07-26 copy.txt", false, 26, 0, 1796669160},
      {"12-07-2026  06:46PM       <dir>          two  blanks", false, true, "two  blanks", true, 0, 0, 1796669160},
      {"12-07-26  18:46  7 day.txt", false, true, "day.txt", false, 7, 0, 1796669160},
      {"12-07-26  13:46PM  6 a.txt", false, false, "", false, 0, 0, 0},
      {"12-07-26  06:46AM  6x a.txt", false, false, "", false, 0, 0, 0},
      {"12-07-26  06:46AM  18446744073709551616 wrap", false, false, "", false, 0, 0, 0},
      {"12-07-26  06:45AM <DIR>", false, false, "", false, 0, 0, 0},
      {"-rw-r--r-- 1 o g 18446744073709551616 Dec 7 06:45 wrap", false, false, "", false, 0, 0, 0},
      {"total 12", false, false, "", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    hv::FtpRemoteEntry e;
    const bool ok = c.mlsd ? hv::ParseMlsdLine(c.line, e) : hv::ParseListLine(c.line, e, now);
    ASSERT_EQ(ok, c.ok) << c.line;
    if (!ok) continue;
    EXPECT_EQ(e.name, wxString::FromUTF8(c.name)) << c.line;
    EXPECT_EQ(e.isFolder, c.folder) << c.line;
    if (!c.folder) {
      EXPECT_EQ(e.size, c.size) << c.line;
    }
    EXPECT_EQ(static_cast<long long>(e.modified), c.modified) << c.line;
    EXPECT_EQ(static_cast<long long>(e.listed), c.listed) << c.line;
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
    // The server kept the bytes that arrived; the program removed them and says so.
    EXPECT_TRUE(r.message.EndsWith(wxS("Die unvollständige Datei index.htm.hvtmp wurde vom Gerät gelöscht.")))
        << reply << ": " << hv::ToUtf8(r.message);
    EXPECT_TRUE(hv::ListFolder(dir.Sub("root/Flashdisk/wwwpub")).empty()) << reply;
  }
  // A larger file fails after its first bytes too; without a rename the half file sat
  // under its real name and is removed from there.
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("web/a.txt"), "");   // fits on any disk; shows the server cannot rename
  hvtest::WriteAll(dir.Sub("web/big.bin"), std::string(300000, 'b'));
  hvtest::FtpTestServer::Options options;
  options.full = true;
  options.fullAfter = 4096;
  options.noRename = true;
  hvtest::FtpTestServer server(dir.Sub("root"), options);
  ASSERT_GT(server.Port(), 0);
  hvtest::ScriptedUi ui;
  ui.AllowAnyMessage();
  FtpDownloadRequest r = RequestFor(server, dir.Sub("web"));
  FtpDownloadController controller(r);
  EXPECT_FALSE(controller.RunToEnd());
  EXPECT_TRUE(r.message.EndsWith(wxS("Die unvollständige Datei big.bin wurde vom Gerät gelöscht.")))
      << hv::ToUtf8(r.message);
  EXPECT_EQ(hv::ListFolder(dir.Sub("root/Flashdisk/wwwpub")), std::vector<wxString>{"a.txt"});
}

// Each refused login costs the server's delay (1-3 s on real panels): the transfer tries
// the login once and stops, rather than trying again with every other command.
TEST(FtpChanges, ARefusedLoginIsTriedOnce) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("web/a.htm"), "a");
  hvtest::WriteAll(dir.Sub("web/sub/b.htm"), "b");
  hvtest::FtpTestServer::Options options;
  options.noMlsd = true;
  options.refuseUser = "dev";   // the right password, and still refused
  hvtest::FtpTestServer server(dir.Sub("root"), options);
  ASSERT_GT(server.Port(), 0);
  hvtest::ScriptedUi ui;
  FtpDownloadRequest r = RequestFor(server, dir.Sub("web"));
  ZipProgress progress;
  const auto start = Clock::now();
  const FtpTransferResult result = RunFtpTransfer(r, progress);
  EXPECT_EQ(result.messageId, TXT_FTP_LOGIN_REFUSED);
  EXPECT_EQ(server.Logins(), std::vector<wxString>{"dev"});
  EXPECT_TRUE(server.Stored().empty());
  // Only against a hang: a loaded machine may take long.
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
}

struct Outcome {
  int sent = -1;
  int current = -1;
  wxString status;
};

// What a server like vsftpd or a Windows CE panel's keeps: no MLSD, no MFMT, a DOS
// listing to the minute. The device's record of what was sent tells what it holds.
TEST(FtpChanges, PlainServersGetOnlyWhatChangedOnEitherSide) {
  hvtest::TempDir dir;
  const time_t base = std::time(nullptr) - 3600;
  for (int i = 0; i < 6; ++i) {
    const wxString path = dir.Sub(wxString::Format("web/%s/p%d.htm", i % 2 ? "a" : "b", i));
    hvtest::WriteAll(path, std::string(static_cast<size_t>(100 + i), 'p'));
    SetTime(path, i == 5 ? -86400 : base);   // one file from before 1970
  }
  hv::MakeFolders(dir.Sub("dev"));
  const wxString record = dir.Sub("dev/FTPSENT.LST");
  hvtest::FtpTestServer server(dir.Sub("root"), hvtest::FtpTestServer::Options::Plain());
  ASSERT_GT(server.Port(), 0);
  hvtest::ScriptedUi ui;
  auto run = [&](bool withRecord = true) {
    FtpDownloadRequest r = RequestFor(server, dir.Sub("web"));
    if (withRecord) r.sentRecord = record;
    FtpDownloadController controller(r);
    Outcome o;
    if (!controller.RunToEnd()) ADD_FAILURE() << hv::ToUtf8(r.message);
    o.sent = r.filesSent;
    o.current = r.filesUnchanged;
    o.status = controller.StatusText();
    return o;
  };

  Outcome o = run();
  EXPECT_EQ(o.sent, 6);
  EXPECT_EQ(o.status, wxS("Übertragung erfolgreich: 6 Datei(en) gesendet, 0 bereits aktuell"));
  o = run();
  EXPECT_EQ(o.sent, 0);
  EXPECT_EQ(o.current, 6);
  EXPECT_EQ(o.status, wxS("Übertragung erfolgreich: 0 Datei(en) gesendet, 6 bereits aktuell"));
  EXPECT_EQ(server.Stored().size(), 6u);

  // Changed here: same size, other content and time.
  hvtest::WriteAll(dir.Sub("web/b/p2.htm"), std::string(102, 'q'));
  SetTime(dir.Sub("web/b/p2.htm"), base + 60);
  o = run();
  EXPECT_EQ(o.sent, 1);
  EXPECT_EQ(o.current, 5);
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/wwwpub/b/p2.htm")), std::string(102, 'q'));

  // Changed on the device: same size, another time.
  const wxString onDevice = dir.Sub("root/Flashdisk/wwwpub/a/p1.htm");
  hvtest::WriteAll(onDevice, std::string(101, 'x'));
  SetTime(onDevice, base - 7200);
  o = run();
  EXPECT_EQ(o.sent, 1);
  EXPECT_EQ(hvtest::ReadAll(onDevice), std::string(101, 'p'));
  EXPECT_EQ(run().sent, 0);

  // A damaged record sends everything once, and is whole again afterwards.
  std::string text = hvtest::ReadAll(record);
  const size_t firstEntry = text.find('\n', text.find("ID\t")) + 1;
  ASSERT_LT(firstEntry, text.size());
  text[firstEntry] = 'x';
  hvtest::WriteAll(record, text);
  EXPECT_EQ(run().sent, 6);
  EXPECT_EQ(run().sent, 0);
  hvtest::WriteAll(record, "\xff\xfe garbage");
  EXPECT_EQ(run().sent, 6);
  EXPECT_EQ(run().sent, 0);
  // A damage that still reads, here a file's new time in its entry just as it changed
  // here, is damage all the same: everything is sent once.
  hvtest::WriteAll(dir.Sub("web/b/p4.htm"), std::string(104, 'r'));
  SetTime(dir.Sub("web/b/p4.htm"), base + 120);
  text = hvtest::ReadAll(record);
  const size_t p4 = text.rfind('\n', text.find("/b/p4.htm")) + 1;
  const size_t localTime = text.find('\t', p4) + 1;
  ASSERT_EQ(text.substr(localTime, text.find('\t', localTime) - localTime), std::to_string(base));
  text.replace(localTime, std::to_string(base).size(), std::to_string(base + 120));
  hvtest::WriteAll(record, text);
  EXPECT_EQ(run().sent, 6);
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/wwwpub/b/p4.htm")), std::string(104, 'r'));
  EXPECT_EQ(run().sent, 0);

  // Without a record such a server gets every file each time.
  EXPECT_EQ(run(false).sent, 6);
}

// The record reads back what it kept, the extremes of sizes and times included, and
// taken as empty after any one byte of it changed, though most such records still read.
TEST(FtpSentRecordFile, ReadsBackItsExtremesAndAnyChangedByteEmptiesIt) {
  hvtest::TempDir dir;
  const wxString path = dir.Sub("FTPSENT.LST");
  const wxString identity = wxS("192.168.0.5:21 panel");
  const std::vector<std::pair<wxString, FtpSentEntry>> entries = {
      {wxS("Flashdisk/web/index.htm"), {1234, 1767225600, {1234, FtpStampKind::Listed, 1768200000}}},
      {wxS("Flashdisk/web/\u00dcbersicht 1.htm"), {0, INT64_MIN, {0, FtpStampKind::Exact, -86400}}},
      {wxS("vfs/big.bin"), {UINT64_MAX, INT64_MAX, {UINT64_MAX, FtpStampKind::Listed, INT64_MIN}}},
  };
  FtpSentRecord made(path, identity);
  for (const auto& [remote, entry] : entries) made.Set(remote, entry);
  ASSERT_TRUE(made.Save());
  const FtpSentRecord read = FtpSentRecord::Load(path, identity);
  ASSERT_EQ(read.Size(), entries.size());
  for (const auto& [remote, entry] : entries) {
    const FtpSentEntry* e = read.Find(remote);
    ASSERT_NE(e, nullptr) << remote;
    EXPECT_EQ(e->localSize, entry.localSize);
    EXPECT_EQ(e->localTime, entry.localTime);
    EXPECT_EQ(e->server, entry.server);
  }
  EXPECT_EQ(FtpSentRecord::Load(path, wxS("192.168.0.6:21 panel")).Size(), 0u);

  const std::string intact = hvtest::ReadAll(path);
  for (size_t at = 0; at < intact.size(); ++at) {
    std::string damaged = intact;
    // A digit becomes the next one; another byte changes case or becomes a sign.
    const char c = damaged[at];
    damaged[at] = static_cast<char>(c >= '0' && c <= '9' ? '0' + (c - '0' + 1) % 10 : c ^ 0x20);
    hvtest::WriteAll(path, damaged);
    EXPECT_EQ(FtpSentRecord::Load(path, identity).Size(), 0u) << "byte " << at;
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

// A server without MLSD is listed by LIST: its times are not exact, and a file older
// than half a year is listed with its year only, so the server's MDTM is asked, which
// matches the local time where the server took it (MFMT).
TEST(FtpChanges, ServersWithoutMlsdAreListedByListAndAskedForTimes) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("web/a.htm"), "aaa");
  SetTime(dir.Sub("web/a.htm"), std::time(nullptr) - 400 * 86400);
  hvtest::WriteAll(dir.Sub("root/Flashdisk/wwwpub/a.htm"), "old");
  SetTime(dir.Sub("root/Flashdisk/wwwpub/a.htm"), std::time(nullptr) - 3600);
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
  EXPECT_NE(entries[0].listed, 0);
  EXPECT_TRUE(client.List("Flashdisk/none", entries).Ok());   // a missing folder holds nothing
  EXPECT_TRUE(entries.empty());

  hvtest::ScriptedUi ui;
  for (int run = 1; run <= 2; ++run) {
    FtpDownloadRequest r = RequestFor(server, dir.Sub("web"));
    FtpDownloadController controller(r);
    ASSERT_TRUE(controller.RunToEnd()) << r.message;
    EXPECT_EQ(r.filesSent, run == 1 ? 1 : 0) << run;
    EXPECT_EQ(r.filesUnchanged, run == 1 ? 0 : 1) << run;
  }
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/wwwpub/a.htm")), "aaa");
  EXPECT_EQ(server.Stored().size(), 1u);
}

}  // namespace
