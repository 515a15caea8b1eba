// The FTP client against a real pyftpdlib server: paths, folders made on the way, empty
// files, and each kind of failure reported as that failure.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include <string_view>

#include "platform/Codec.h"
#include "platform/FtpClient.h"
#include "platform/Paths.h"
#include "tests/support/FtpTestServer.h"
#include "tests/support/TestEnv.h"

namespace {

using hv::FtpFailure;

hv::FtpSession SessionFor(const hvtest::FtpTestServer& server, const wxString& user = wxS("dev"),
                          const wxString& password = wxS("pw")) {
  hv::FtpSession session;
  session.host = "127.0.0.1";
  session.port = server.Port();
  session.user = user;
  session.password = password;
  session.connectTimeoutMs = 5000;
  session.responseTimeoutMs = 5000;
  session.stallTimeoutSec = 5;
  return session;
}

// A port on which nothing listens (bound, then closed again).
int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

}  // namespace

TEST(FtpPaths, DevicePathsBecomeRemotePaths) {
  const struct {
    const char* device;
    const char* remote;
  } rows[] = {
      {"\\Flashdisk\\TavDesign", "Flashdisk/TavDesign"},
      {"Flashdisk\\TavDesign\\Fonts\\", "Flashdisk/TavDesign/Fonts"},
      {"vfs", "vfs"},
      {"/a//b\\\\c/", "a/b/c"},
      {"\\", ""},
      {"", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(hv::RemotePath(row.device), row.remote) << row.device;
  EXPECT_EQ(hv::JoinRemotePath("\\Flashdisk\\wwwpub", "web\\index.htm"), "Flashdisk/wwwpub/web/index.htm");
  EXPECT_EQ(hv::JoinRemotePath("", "a.ttf"), "a.ttf");
  EXPECT_EQ(hv::JoinRemotePath("vfs", ""), "vfs");
}

// The split takes what the device's address field takes and nothing else; each address
// it takes reads back the same after its port is joined again, as the target dialog does.
TEST(FtpPaths, AddressesWithAndWithoutPort) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view address;
    bool ok;
    const char* host;
    int port;
  } rows[] = {
      {"127.168.0.5", true, "127.168.0.5", 21},
      {" 127.168.0.5:2121 ", true, "127.168.0.5", 2121},
      {"panel.local:21", true, "panel.local", 21},
      {"panel-7", true, "panel-7", 21},
      {"[fe80::1]:990", true, "fe80::1", 990},
      {"[::1]", true, "::1", 21},
      {"", false, "", 21},
      {":21", false, "", 21},
      {"host:", false, "", 21},
      {"host:0", false, "", 21},
      {"host:65536", false, "", 21},
      {"host:+5", false, "", 21},
      {"fe80::1", false, "", 21},   // an IPv6 address needs its brackets, as in the field
      // What damaged or foreign project files hold.
      {"\0"sv, false, "", 21},
      {"10.0.0.1\0:21"sv, false, "", 21},
      {"1]:2:3", false, "", 21},
      {"fe80::1]:21", false, "", 21},
      {"[fe80::1", false, "", 21},
      {"a[b:c:d", false, "", 21},
      {"a[b", false, "", 21},
      {"[fe80::1]x", false, "", 21},
      {"[]:21", false, "", 21},
      {"10.0.0", false, "", 21},
      {"host name", false, "", 21},
  };
  for (const auto& row : rows) {
    const wxString address = hv::FromUtf8(row.address);
    wxString host;
    int port = 21;
    EXPECT_EQ(hv::SplitFtpAddress(address, host, port), row.ok) << row.address;
    if (!row.ok) continue;
    EXPECT_EQ(host, row.host) << row.address;
    EXPECT_EQ(port, row.port) << row.address;
    wxString again;
    int againPort = 0;
    const wxString joined = hv::JoinFtpAddress(host, 2121);
    EXPECT_TRUE(hv::SplitFtpAddress(joined, again, againPort)) << joined;
    EXPECT_EQ(again, host) << joined;
    EXPECT_EQ(againPort, 2121) << joined;
  }
}

TEST(FtpClient, StoresFilesInFoldersItMakesAndEmptyFiles) {
  hvtest::TempDir dir;
  hvtest::FtpTestServer server(dir.Sub("root"));
  ASSERT_GT(server.Port(), 0);
  std::string payload;
  for (int i = 0; i < 70000; ++i) payload += static_cast<char>(i * 7 % 256);
  hvtest::WriteAll(dir.Sub("local/data.bin"), payload);
  hvtest::WriteAll(dir.Sub("local/empty.bin"), "");
  hvtest::WriteAll(dir.Sub("local/Grüße #1 50%.htm"), "x");

  hv::FtpClient client(SessionFor(server));
  std::uint64_t lastSent = 0;
  ASSERT_TRUE(client.Upload(dir.Sub("local/data.bin"), "\\Flashdisk\\TavDesign\\data.bin",
                            [&](std::uint64_t sent) {
                              lastSent = sent;
                              return true;
                            }).Ok());
  EXPECT_EQ(lastSent, payload.size());
  ASSERT_TRUE(client.Upload(dir.Sub("local/empty.bin"), "vfs/web/save.bin").Ok());
  ASSERT_TRUE(client.Upload(dir.Sub("local/Grüße #1 50%.htm"), "vfs/Grüße #1 50%.htm").Ok());

  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/Flashdisk/TavDesign/data.bin")), payload);
  EXPECT_TRUE(hv::IsFile(dir.Sub("root/vfs/web/save.bin")));
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/vfs/web/save.bin")), "");
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/vfs/Grüße #1 50%.htm")), "x");
  // No file named with a backslash at the top.
  EXPECT_EQ(hv::ListFolder(dir.Sub("root")), (std::vector<wxString>{"Flashdisk", "vfs"}));
}

TEST(FtpClient, ActiveModeStoresToo) {
  hvtest::TempDir dir;
  hvtest::FtpTestServer server(dir.Sub("root"));
  ASSERT_GT(server.Port(), 0);
  hvtest::WriteAll(dir.Sub("a.txt"), "active");
  hv::FtpSession session = SessionFor(server);
  session.passive = false;
  hv::FtpClient client(session);
  EXPECT_TRUE(client.Upload(dir.Sub("a.txt"), "x/a.txt").Ok());
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("root/x/a.txt")), "active");
}

TEST(FtpClient, RefusalsAreReportedByKind) {
  hvtest::TempDir dir;
  hvtest::FtpTestServer::Options options;
  options.readonlyUser = "viewer";
  hvtest::FtpTestServer server(dir.Sub("root"), options);
  ASSERT_GT(server.Port(), 0);
  hv::MakeFolders(dir.Sub("root/exists"));
  hvtest::WriteAll(dir.Sub("a.txt"), "a");

  {
    hv::FtpClient client(SessionFor(server, "dev", "wrong"));
    const hv::FtpResult r = client.Upload(dir.Sub("a.txt"), "a.txt");
    EXPECT_EQ(r.failure, FtpFailure::Login);
    EXPECT_FALSE(r.detail.empty());
  }
  hv::FtpClient viewer(SessionFor(server, "viewer"));
  EXPECT_EQ(viewer.Upload(dir.Sub("a.txt"), "new/a.txt").failure, FtpFailure::RemoteFolder);
  EXPECT_EQ(viewer.Upload(dir.Sub("a.txt"), "exists/a.txt").failure, FtpFailure::WriteRefused);
  EXPECT_FALSE(hv::PathExists(dir.Sub("root/new")));
  EXPECT_FALSE(hv::PathExists(dir.Sub("root/exists/a.txt")));

  hv::FtpClient dev(SessionFor(server));
  EXPECT_EQ(dev.Upload(dir.Sub("missing.txt"), "m.txt").failure, FtpFailure::LocalFile);
  EXPECT_EQ(dev.Upload(dir.Path(), "m.txt").failure, FtpFailure::LocalFile);
  EXPECT_EQ(dev.Upload(dir.Sub("a.txt"), "\\").failure, FtpFailure::Other);
}

TEST(FtpClient, FullDiskUnreachableAndSilentServers) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("a.txt"), "a");
  {
    hvtest::FtpTestServer::Options options;
    options.full = true;
    hvtest::FtpTestServer server(dir.Sub("full"), options);
    ASSERT_GT(server.Port(), 0);
    hv::FtpClient client(SessionFor(server));
    EXPECT_EQ(client.Upload(dir.Sub("a.txt"), "a.txt").failure, FtpFailure::DiskFull);
  }
  {
    hv::FtpSession session;
    session.host = "127.0.0.1";
    session.port = ClosedPort();
    hv::FtpClient client(session);
    EXPECT_EQ(client.Upload(dir.Sub("a.txt"), "a.txt").failure, FtpFailure::Connect);
  }
  {
    hvtest::FtpTestServer::Options options;
    options.mute = true;
    hvtest::FtpTestServer server(dir.Sub("mute"), options);
    ASSERT_GT(server.Port(), 0);
    hv::FtpSession session = SessionFor(server);
    session.responseTimeoutMs = 1000;
    hv::FtpClient client(session);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.Upload(dir.Sub("a.txt"), "a.txt").failure, FtpFailure::Timeout);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  }
}

TEST(FtpClient, ProgressAnsweringFalseCancels) {
  hvtest::TempDir dir;
  hvtest::FtpTestServer::Options options;
  options.rate = 64 * 1024;
  hvtest::FtpTestServer server(dir.Sub("root"), options);
  ASSERT_GT(server.Port(), 0);
  hvtest::WriteAll(dir.Sub("big.bin"), std::string(8 << 20, 'b'));
  hv::FtpClient client(SessionFor(server));
  const auto start = std::chrono::steady_clock::now();
  const hv::FtpResult r = client.Upload(dir.Sub("big.bin"), "big.bin", [](std::uint64_t sent) { return sent == 0; });
  EXPECT_EQ(r.failure, FtpFailure::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
