// Backups past the classic zip limits, through the backup and restore controllers: a
// project with a file over 4 GiB (sparse, so it costs no disk) and one with more than
// 65,535 files. Info-ZIP's unzip and python3's zipfile check each archive while the
// restore runs; the restored project must equal the original byte for byte.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <thread>

#include "model/BackupController.h"
#include "model/RestoreController.h"
#include "platform/Paths.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ZipTestSupport.h"

using namespace ziptest;
using hvtest::TempDir;
using hvtest::TempHome;

namespace {

constexpr std::uint64_t kBig = 4608ull << 20;   // 4.5 GiB

// The backup controller, as the dialog drives it.
bool BackUp(const wxString& project, const wxString& archive) {
  hvtest::ScriptedUi ui;
  BackupRequest request;
  request.sourceFolder = project;
  request.projectName = hv::PathName(project);
  BackupController backup(request);
  backup.SetArchiveCoDeSys(false);
  backup.TargetChosen(archive);
  if (!backup.Start() || !backuptest::RunToEnd(backup, 120000)) return false;
  EXPECT_TRUE(request.succeeded) << hv::ToUtf8(backup.StatusText());
  return request.succeeded;
}

wxString Restore(const wxString& archive) {
  return backuptest::RestoreThrough(archive);
}

// unzip -t (every entry inflated and its CRC checked) and python3's zipfile, run beside
// the restore. The python line prints the entry count and the largest size; it reads
// every entry, but only the first MiB of those over `readLimit` bytes.
struct PeerCheck {
  int unzipStatus = -1, pythonStatus = -1;
  std::string unzipOut, pythonOut;
  std::thread worker;
  PeerCheck(const wxString& archive, std::uint64_t readLimit) {
    const std::string a = Quote(archive);
    worker = std::thread([this, a, readLimit] {
      std::thread unzip([&] { unzipStatus = RunCommand("unzip -tqq " + a, &unzipOut); });
      pythonStatus = RunCommand(
          "/usr/bin/python3 -c 'import sys, zipfile, zlib\n"
          "z = zipfile.ZipFile(sys.argv[1])\n"
          "for i in z.infolist():\n"
          "    if i.file_size <= int(sys.argv[2]):\n"
          "        assert zlib.crc32(z.read(i)) == i.CRC, i.filename\n"
          "    else:\n"
          "        assert len(z.open(i).read(1 << 20)) == 1 << 20\n"
          "print(len(z.infolist()), max(i.file_size for i in z.infolist()))' " + a + " " +
              std::to_string(readLimit),
          &pythonOut);
      unzip.join();
    });
  }
  void Wait() {
    if (worker.joinable()) worker.join();
  }
  ~PeerCheck() { Wait(); }
};

// Backs the project up, then restores it while the peers check the archive; the
// restored folder, empty after a failure.
wxString RoundTrip(const wxString& project, const wxString& archive, const std::string& pythonExpects) {
  if (!BackUp(project, archive)) return wxString();
  PeerCheck peers(archive, 1 << 20);
  const wxString restored = Restore(archive);
  peers.Wait();
  EXPECT_EQ(peers.unzipStatus, 0) << peers.unzipOut;
  EXPECT_EQ(peers.pythonStatus, 0) << peers.pythonOut;
  EXPECT_EQ(peers.pythonOut, pythonExpects);
  return restored;
}

// Temporary folders in memory while it lives, where the machine has a tmpfs: creating
// and deleting 140,000 files costs most of the test on a busy disk.
class TemporaryInMemory {
 public:
  TemporaryInMemory() {
    if (const char* old = getenv("TMPDIR")) m_old = old;
    if (access("/dev/shm", W_OK | X_OK) == 0) setenv("TMPDIR", "/dev/shm", 1);
  }
  ~TemporaryInMemory() {
    if (m_old.empty()) unsetenv("TMPDIR");
    else setenv("TMPDIR", m_old.c_str(), 1);
  }
  TemporaryInMemory(const TemporaryInMemory&) = delete;
  TemporaryInMemory& operator=(const TemporaryInMemory&) = delete;

 private:
  std::string m_old;
};

bool HavePeers() { return HaveProgram("unzip") && HaveProgram("/usr/bin/python3"); }

std::string Bytes(std::uint64_t seed, std::size_t n) {
  std::mt19937_64 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

void PutAt(int fd, std::uint64_t at, const std::string& bytes) {
  ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)), static_cast<ssize_t>(bytes.size()));
}

// The data extents of a sparse file (holes read as zeros and are skipped).
std::vector<std::pair<off_t, off_t>> DataExtents(int fd, off_t size) {
  std::vector<std::pair<off_t, off_t>> extents;
  for (off_t at = 0; at < size;) {
    const off_t data = lseek(fd, at, SEEK_DATA);
    if (data < 0) break;
    off_t hole = lseek(fd, data, SEEK_HOLE);
    if (hole < 0) hole = size;
    extents.emplace_back(data, hole);
    at = hole;
  }
  return extents;
}

// Compares two files of the same size, reading only where either holds data.
bool SameSparseFile(const wxString& a, const wxString& b, off_t size) {
  const int fa = open(hv::ToFs(a).c_str(), O_RDONLY), fb = open(hv::ToFs(b).c_str(), O_RDONLY);
  bool same = fa >= 0 && fb >= 0;
  if (same) {
    auto extents = DataExtents(fa, size);
    for (const auto& e : DataExtents(fb, size)) extents.push_back(e);
    std::vector<char> x(1 << 20), y(1 << 20);
    for (const auto& [from, to] : extents) {
      for (off_t at = from; same && at < to;) {
        const size_t n = static_cast<size_t>(std::min<off_t>(to - at, static_cast<off_t>(x.size())));
        same = pread(fa, x.data(), n, at) == static_cast<ssize_t>(n) &&
               pread(fb, y.data(), n, at) == static_cast<ssize_t>(n) && std::memcmp(x.data(), y.data(), n) == 0;
        at += static_cast<off_t>(n);
      }
    }
  }
  if (fa >= 0) close(fa);
  if (fb >= 0) close(fb);
  return same;
}

}  // namespace

TEST(ZipLarge, FileOverFourGibRoundTripsThroughBackupAndRestore) {
  if (!HavePeers()) GTEST_SKIP() << "unzip or python3 missing";
  TempHome home;
  TempDir dir;
  const wxString project = dir.Sub("Gross");
  hvtest::WriteAll(project + "/PROJECT.SET", "[Config]\r\n");
  hvtest::WriteAll(project + "/a-vorher.txt", "before the big file");
  hvtest::WriteAll(project + "/z-danach.txt", "after the big file");
  const wxString big = project + "/daten.bin";
  {
    // Zeros with data at the start, across the 4 GiB mark and at the end.
    const int fd = open(hv::ToFs(big).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(kBig)), 0);
    PutAt(fd, 0, Bytes(1, 1 << 20));
    PutAt(fd, (4ull << 30) - (1 << 19), Bytes(2, 1 << 20));
    PutAt(fd, kBig - (1 << 20), Bytes(3, 1 << 20));
    close(fd);
  }
  const wxString restored = RoundTrip(project, dir.Sub("Gross_backup.zip"), "5 " + std::to_string(kBig) + "\n");
  ASSERT_FALSE(restored.empty());

  struct stat a, b;
  ASSERT_EQ(stat(hv::ToFs(restored + "/daten.bin").c_str(), &b), 0);
  ASSERT_EQ(stat(hv::ToFs(big).c_str(), &a), 0);
  EXPECT_EQ(b.st_size, a.st_size);
  EXPECT_TRUE(SameSparseFile(big, restored + "/daten.bin", a.st_size));
  EXPECT_EQ(hvtest::ReadAll(restored + "/z-danach.txt"), "after the big file");
  EXPECT_EQ(hvtest::ReadAll(restored + "/a-vorher.txt"), "before the big file");
}

TEST(ZipLarge, SeventyThousandFilesRoundTripThroughBackupAndRestore) {
  if (!HavePeers()) GTEST_SKIP() << "unzip or python3 missing";
  const TemporaryInMemory inMemory;
  TempHome home;
  TempDir dir;
  const wxString project = dir.Sub("Viele");
  hvtest::WriteAll(project + "/PROJECT.SET", "[Config]\r\n");
  constexpr int kFolders = 70, kPerFolder = 1000;
  for (int f = 0; f < kFolders; ++f) {
    const std::string folder = hv::ToFs(project) + "/Geraet" + std::to_string(f);
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    for (int i = 0; i < kPerFolder; ++i) {
      const std::string path = folder + "/d" + std::to_string(i) + ".txt";
      const std::string body = std::to_string(f * kPerFolder + i) + "\n";
      const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ASSERT_GE(fd, 0);
      ASSERT_EQ(write(fd, body.data(), body.size()), static_cast<ssize_t>(body.size()));
      close(fd);
    }
  }
  const int entries = 1 + kFolders + kFolders * kPerFolder + 1;   // folders, files, PROJECT.SET
  const wxString restored = RoundTrip(project, dir.Sub("Viele_backup.zip"), std::to_string(entries) + " 10\n");
  ASSERT_FALSE(restored.empty());
  EXPECT_TRUE(Snapshot(restored) == Snapshot(project));
}
