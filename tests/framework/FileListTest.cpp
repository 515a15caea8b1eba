#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <set>
#include <thread>

#include "framework/FileList.h"
#include "framework/VersionInfo.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

using hvtest::WriteAll;

namespace {

std::vector<std::uint64_t> Sizes(const CFileInfoArray& a) {
  std::vector<std::uint64_t> out;
  for (size_t i = 0; i < a.GetSize(); ++i) out.push_back(a[i].size);
  return out;
}

std::set<wxString> Names(const CFileInfoArray& a) {
  std::set<wxString> out;
  for (size_t i = 0; i < a.GetSize(); ++i) out.insert(a[i].GetFileName());
  return out;
}

}  // namespace

TEST(FileInfoArray, SortModesPlaceNewEntries) {
  hvtest::TempDir dir;
  WriteAll(dir.Sub("five.txt"), "12345");
  WriteAll(dir.Sub("one.txt"), "1");
  WriteAll(dir.Sub("three.txt"), "123");
  WriteAll(dir.Sub("other3.txt"), "abc");
  for (int mode : {2, 3}) {
    CFileInfoArray a;
    for (const char* n : {"five.txt", "one.txt", "three.txt"}) EXPECT_GE(a.AddFile(dir.Sub(n), mode), 0);
    EXPECT_EQ(Sizes(a), mode == 2 ? (std::vector<std::uint64_t>{1, 3, 5}) : (std::vector<std::uint64_t>{5, 3, 1}));
    // An entry of equal size goes before the one already there.
    const int pos = a.AddFile(dir.Sub("other3.txt"), mode);
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(a[1].GetFileName(), "other3.txt");
    EXPECT_EQ(a[2].GetFileName(), "three.txt");
  }
  CFileInfoArray byName;
  for (const char* n : {"three.txt", "FIVE.txt", "one.txt"}) byName.AddFile(dir.Sub(n), kFileSortNameUp);
  EXPECT_EQ(byName[0].GetFileName(), "five.txt");   // found in any case, stored as it is
  EXPECT_EQ(byName[2].GetFileName(), "three.txt");
  CFileInfoArray down;
  for (const char* n : {"one.txt", "three.txt", "five.txt"}) down.AddFile(dir.Sub(n), kFileSortNameDown);
  EXPECT_EQ(down[0].GetFileName(), "three.txt");
  EXPECT_EQ(down[2].GetFileName(), "five.txt");
  CFileInfoArray plain;
  EXPECT_EQ(plain.AddFile(dir.Sub("missing.txt"), 0), -1);
  EXPECT_EQ(plain.AddFile(dir.Sub("one.txt"), 7), 0);
  EXPECT_EQ(plain.AddFile(dir.Sub("five.txt"), 7), 1);
}

TEST(FileInfoArray, ScanRecursesWithoutFollowingLinks) {
  hvtest::TempDir dir;
  WriteAll(dir.Sub("root/a.txt"), "a");
  WriteAll(dir.Sub("root/b.dat"), "b");
  WriteAll(dir.Sub("root/sub/c.TXT"), "c");
  WriteAll(dir.Sub("root/sub/deep/d.txt"), "d");
  WriteAll(dir.Sub("outside/x.txt"), "x");
  ASSERT_EQ(symlink("..", hv::ToFs(dir.Sub("root/sub/loop")).c_str()), 0);
  ASSERT_EQ(symlink(hv::ToFs(dir.Sub("outside")).c_str(), hv::ToFs(dir.Sub("root/ext")).c_str()), 0);

  CFileInfoArray files;
  std::atomic<long> counter{0};
  EXPECT_EQ(files.AddDir(dir.Sub("root"), "*.txt", TRUE, kFileSortNameUp, FALSE, nullptr, &counter), 3);
  EXPECT_EQ(counter.load(), 3);
  EXPECT_EQ(Names(files), (std::set<wxString>{"a.txt", "c.TXT", "d.txt"}));
  for (size_t i = 0; i < files.GetSize(); ++i) EXPECT_FALSE(files[i].IsFolder());

  CFileInfoArray all;
  EXPECT_EQ(all.AddDir(dir.Sub("root/"), "*.*", TRUE, 0, TRUE), 8);
  // Folder links are listed as folders but never entered.
  EXPECT_EQ(Names(all), (std::set<wxString>{"sub", "deep", "loop", "ext", "a.txt", "b.dat", "c.TXT", "d.txt"}));
  size_t folders = 0;
  for (size_t i = 0; i < all.GetSize(); ++i) folders += all[i].IsFolder() ? 1 : 0;
  EXPECT_EQ(folders, 4u);

  CFileInfoArray flat;
  EXPECT_EQ(flat.AddDir(dir.Sub("ROOT"), "*.*", FALSE, 0, FALSE), 2);
  CFileInfoArray none;
  EXPECT_EQ(none.AddDir(dir.Sub("missing"), "*.*", TRUE, 0, TRUE), 0);
}

TEST(FileInfoArray, StopFlagFromAnotherThreadEndsTheScan) {
  hvtest::TempDir dir;
  const int total = 3000;
  for (int i = 0; i < total; ++i) WriteAll(dir.Sub(wxString::Format("f%05d.txt", i)), "");
  std::atomic<bool> stop{false};
  std::atomic<long> counter{0};
  std::thread watcher([&] {
    while (counter.load() < 10) std::this_thread::yield();
    stop = true;
  });
  CFileInfoArray a;
  const long added = a.AddDir(dir.Path(), "*.*", FALSE, 0, FALSE, &stop, &counter);
  watcher.join();
  EXPECT_GE(added, 10);
  EXPECT_LT(added, total);
  EXPECT_EQ(added, counter.load());
  EXPECT_EQ(static_cast<long>(a.GetSize()), added);
  // Set before the start, the scan ends after its first entry, here a file of the
  // folder pass that adds nothing.
  CFileInfoArray b;
  EXPECT_EQ(b.AddDir(dir.Path(), "*.*", FALSE, 0, FALSE, &stop, nullptr), 0);
}

TEST(FileModifiedTime, ZeroedForMissingLocalTimeOtherwise) {
  SYSTEMTIME t;
  std::memset(&t, 0x5A, sizeof t);
  EXPECT_FALSE(GetFileModifiedTime(t, "/no/such/file"));
  EXPECT_EQ(t.wYear, 0);
  EXPECT_EQ(t.wMonth, 0);
  EXPECT_EQ(t.wSecond, 0);
  hvtest::TempDir dir;
  WriteAll(dir.Sub("f.txt"), "x");
  const timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 250000000}};
  ASSERT_EQ(utimensat(AT_FDCWD, hv::ToFs(dir.Sub("f.txt")).c_str(), times, 0), 0);
  ASSERT_TRUE(GetFileModifiedTime(t, dir.Sub("F.TXT")));
  const time_t when = 1700000000;
  struct tm local;
  localtime_r(&when, &local);
  EXPECT_EQ(t.wYear, local.tm_year + 1900);
  EXPECT_EQ(t.wMonth, local.tm_mon + 1);
  EXPECT_EQ(t.wDay, local.tm_mday);
  EXPECT_EQ(t.wHour, local.tm_hour);
  EXPECT_EQ(t.wMinute, local.tm_min);
  EXPECT_EQ(t.wSecond, local.tm_sec);
  EXPECT_EQ(t.wMilliseconds, 250);
}

TEST(VersionInfo, OwnProgramAnswersBuildValuesOthersNothing) {
  CVersionInfo v;
  EXPECT_EQ(v.GetString("FileVersion"), "");
  EXPECT_EQ(v.GetTranslation(), 0u);
  ASSERT_TRUE(v.Load());
  EXPECT_EQ(v.GetFileVersion(), HALVORA_VERSION);
  EXPECT_EQ(v.GetString("productversion"), HALVORA_VERSION);
  EXPECT_FALSE(v.GetLegalCopyright().empty());
  EXPECT_EQ(v.GetString("NoSuchValue"), "");
  EXPECT_NE(v.GetTranslation(), 0u);
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  EXPECT_TRUE(v.Load(hv::FromFs(self)));
  EXPECT_FALSE(v.Load("/bin/sh"));
  EXPECT_EQ(v.GetFileVersion(), "");
  EXPECT_FALSE(v.Load("/no/such/module.dll"));
  ASSERT_TRUE(v.Load());
  v.Free();
  EXPECT_EQ(v.GetFileVersion(), "");
  EXPECT_EQ(v.GetTranslation(), 0u);
}
