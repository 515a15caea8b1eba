#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include "archive/ZipWriter.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ZipTestSupport.h"

using hvtest::ReadAll;
using hvtest::TempDir;
using hvtest::WriteAll;
using namespace ziptest;

namespace {

// What the project backup does with the writer.
BOOL Backup(CZipWriter& writer, const wxString& target, const wxString& project, ZipProgress* progress = nullptr) {
  writer.SetOwner(progress);
  if (!writer.OpenZip(target, hv::PathFolder(project))) return FALSE;
  writer.CountFiles(project);
  writer.AddFolderToZip(project, FALSE);
  return writer.CloseZip();
}

std::set<std::string> Names(const wxString& archive) {
  std::set<std::string> out;
  for (const RawEntry& e : ReadRawZip(archive)) out.insert(e.name);
  return out;
}

}  // namespace

TEST(ZipWriter, BackupLayoutNamesAttributesAndDates) {
  TempDir dir;
  WriteSampleProject(dir.Path());
  struct tm t {};
  t = {8, 6, 5, 4, 2, 121, 0, 0, -1, 0, nullptr};   // 4 March 2021 05:06:08 local time
  const time_t when = mktime(&t);
  const struct timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, hv::ToFs(dir.Sub("P/version.dat")).c_str(), times, 0), 0);
  ASSERT_EQ(chmod(hv::ToFs(dir.Sub("P/version.dat")).c_str(), 0444), 0);
  hv::MakeFolders(dir.Sub("out"));
  const wxString target = dir.Sub("out/P_backup.zip");

  CZipWriter writer;
  ZipProgress progress;
  ASSERT_TRUE(Backup(writer, target, dir.Sub("P"), &progress));
  EXPECT_EQ(writer.GetErrorCount(), 0);
  EXPECT_EQ(writer.GetFilesAdded(), 9u);
  EXPECT_EQ(writer.GetFoldersAdded(), 11u);
  EXPECT_EQ(writer.GetBytesAdded(), 370073u);
  EXPECT_EQ(progress.Percent(), 100);
  EXPECT_EQ(progress.Bytes(), writer.GetBytesAdded());
  EXPECT_EQ(hv::ListFolder(dir.Sub("out")), std::vector<wxString>{"P_backup.zip"});

  const std::vector<RawEntry> entries = ReadRawZip(target);
  ASSERT_EQ(entries.size(), 20u);
  EXPECT_EQ(entries[0].name, "P\\");
  // "ä" fits Windows-1252; a name holding "Ω" is stored as a whole in flagged UTF-8.
  const std::set<std::string> expected = {
      "P\\", "P\\Geraet1\\", "P\\Geraet1\\bitmaps\\", "P\\Geraet1\\bitmaps\\logo.bmp",
      "P\\Geraet1\\DEVICE.SET", "P\\Geraet1\\empty.txt", "P\\Geraet1\\resource\\",
      "P\\Geraet1\\resource\\resource.res", "P\\Ger\xE4te\\", "P\\Ger\xE4te\\\xDC" "bersicht \xE4.txt",
      "P\\Ger\xC3\xA4te\\\xCE\xA9-Liste.txt", "P\\Leer\\", "P\\PROJECT.SET", "P\\Tief\\", "P\\Tief\\a\\",
      "P\\Tief\\a\\b\\", "P\\Tief\\a\\b\\c\\", "P\\Tief\\a\\b\\c\\d.txt", "P\\Tief\\a\\b\\c\\leer\\",
      "P\\version.dat"};
  EXPECT_EQ(Names(target), expected);
  for (const RawEntry& e : entries) {
    SCOPED_TRACE(e.name);
    const bool folder = e.name.back() == '\\';
    EXPECT_EQ(e.externalAttr & 0x10, folder ? 0x10u : 0u);
    EXPECT_EQ(e.method, folder ? 0 : 8);
    EXPECT_TRUE(!folder || e.size == 0);
    EXPECT_EQ((e.flag & 0x800) != 0, e.name.find("\xCE\xA9") != std::string::npos);
    if (e.name == "P\\version.dat") {
      EXPECT_EQ(e.externalAttr, 0x21u);   // archive + read-only
      EXPECT_EQ(std::make_tuple(e.year, e.month, e.day, e.hour, e.minute, e.second),
                std::make_tuple(2021, 2, 4, 5, 6, 8));
    }
  }
}

TEST(ZipWriter, InfoZipListsTestsAndExtractsOurArchive) {
  if (!HaveProgram("unzip")) GTEST_SKIP() << "Info-ZIP unzip is not installed";
  TempDir dir;
  WriteSampleProject(dir.Path());
  const wxString target = dir.Sub("P_backup.zip");
  CZipWriter writer;
  ASSERT_TRUE(Backup(writer, target, dir.Sub("P")));

  std::string out;
  EXPECT_EQ(RunCommand("unzip -l " + Quote(target), &out), 0) << out;
  for (const char* name : {"P\\", "P\\PROJECT.SET", "P\\version.dat", "P\\Leer\\", "P\\Geraet1\\bitmaps\\logo.bmp",
                           "P\\Tief\\a\\b\\c\\leer\\", "P\\Tief\\a\\b\\c\\d.txt"})
    EXPECT_NE(out.find(std::string(" ") + name + "\n"), std::string::npos) << name << "\n" << out;
  EXPECT_NE(out.find(" 20 files"), std::string::npos) << out;
  EXPECT_EQ(RunCommand("unzip -tq " + Quote(target), &out), 0) << out;
  // unzip turns '\' into folders, with a warning (status 1) about doing so.
  EXPECT_LE(RunCommand("unzip -q -d " + Quote(dir.Sub("x")) + " " + Quote(target), &out), 1) << out;
  EXPECT_TRUE(ReadAll(dir.Sub("x/P/Geraet1/bitmaps/logo.bmp")) == ReadAll(dir.Sub("P/Geraet1/bitmaps/logo.bmp")));
  EXPECT_TRUE(hv::IsFolder(dir.Sub("x/P/Tief/a/b/c/leer")));
}

TEST(ZipWriter, FailuresLeaveNoArchiveAndKeepTheOldOne) {
  TempDir dir;
  WriteSampleProject(dir.Path());
  WriteAll(dir.Sub("Other/x.txt"), "x");
  const wxString target = dir.Sub("out/P_backup.zip");
  WriteAll(target, "old archive");
  auto onlyOldArchive = [&] {
    EXPECT_TRUE(ReadAll(target) == "old archive");
    EXPECT_EQ(hv::ListFolder(dir.Sub("out")), std::vector<wxString>{"P_backup.zip"});
  };
  {  // A folder outside the root fails at once.
    CZipWriter writer;
    ASSERT_TRUE(writer.OpenZip(target, dir.Sub("P")));
    EXPECT_FALSE(writer.AddFolderToZip(dir.Sub("Other"), FALSE));
    EXPECT_FALSE(writer.AddFileToZip("../Other/x.txt", FALSE));
    EXPECT_FALSE(writer.CloseZip());
    onlyOldArchive();
  }
  {  // An unreadable file is reported once; every later file is refused and counted.
    CZipWriter writer;
    ASSERT_TRUE(writer.OpenZip(target, dir.Path()));
    ASSERT_TRUE(writer.AddFolderToZip(dir.Sub("P/Leer"), FALSE));
    EXPECT_FALSE(writer.AddFileToZip("P/missing.txt", FALSE));
    EXPECT_FALSE(writer.AddFileToZip("P/version.dat", FALSE));
    EXPECT_EQ(writer.GetErrorCount(), 2);
    EXPECT_EQ(writer.GetErrors(), std::vector<wxString>{"Datei konnte nicht gelesen werden: " + dir.Sub("P/missing.txt")});
    EXPECT_FALSE(writer.CloseZip());
    onlyOldArchive();
  }
  {  // In English the same failure reads in English.
    hvtest::TempHome home;
    home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" HV_TEST_SOURCE_DIR "/../data\"\n");
    ASSERT_TRUE(hv::InitMultiLanguage("Project", "ENG"));
    CZipWriter writer;
    ASSERT_TRUE(writer.OpenZip(target, dir.Path()));
    EXPECT_FALSE(writer.AddFileToZip("P/missing.txt", FALSE));
    hv::ResetLanguage();
    EXPECT_EQ(writer.GetErrors(), std::vector<wxString>{"Could not read file: " + dir.Sub("P/missing.txt")});
    EXPECT_FALSE(writer.CloseZip());
    onlyOldArchive();
  }
  {  // A Linux name holding '\' would turn into two components.
    const std::string raw = hv::ToFs(dir.Sub("P/Geraet1")) + "/a\\b.txt";
    std::ofstream(raw) << "x";
    ASSERT_EQ(access(raw.c_str(), F_OK), 0);
    CZipWriter writer;
    EXPECT_FALSE(Backup(writer, target, dir.Sub("P")));
    EXPECT_EQ(writer.GetErrors().size(), 1u);
    onlyOldArchive();
  }
}

TEST(ZipWriter, LinksSpecialFilesAndItsOwnArchiveAreSkipped) {
  TempDir dir;
  WriteSampleProject(dir.Path());
  WriteAll(dir.Sub("secret.txt"), "outside");
  ASSERT_EQ(symlink(hv::ToFs(dir.Sub("secret.txt")).c_str(), hv::ToFs(dir.Sub("P/link.txt")).c_str()), 0);
  ASSERT_EQ(symlink("..", hv::ToFs(dir.Sub("P/Tief/loop")).c_str()), 0);
  ASSERT_EQ(mkfifo(hv::ToFs(dir.Sub("P/fifo")).c_str(), 0644), 0);
  // The archive lies inside the folder it archives, an older one already there.
  const wxString target = dir.Sub("P/P_backup.zip");
  WriteAll(target, "old archive");

  CZipWriter writer;
  ZipProgress progress;
  ASSERT_TRUE(Backup(writer, target, dir.Sub("P"), &progress));
  EXPECT_EQ(writer.GetSkipped().size(), 3u);
  EXPECT_EQ(progress.Percent(), 100);
  const std::set<std::string> names = Names(target);
  EXPECT_EQ(names.size(), 20u);
  for (const std::string& n : names)
    for (const char* bad : {"link", "loop", "fifo", "P_backup"}) EXPECT_EQ(n.find(bad), std::string::npos) << n;
}

TEST(ZipWriter, CancelLeavesNoArchiveAndKeepsTheOldOne) {
  TempDir dir;
  for (int i = 0; i < 1500; ++i)
    WriteAll(dir.Sub(wxString::Format("P/f%04d.bin", i)), std::string(20000, static_cast<char>(i)));
  hv::MakeFolders(dir.Sub("out"));
  const wxString target = dir.Sub("out/P_backup.zip");
  WriteAll(target, "old archive");
  auto onlyOldArchive = [&] {
    EXPECT_TRUE(ReadAll(target) == "old archive");
    EXPECT_EQ(hv::ListFolder(dir.Sub("out")), std::vector<wxString>{"P_backup.zip"});
  };
  {  // Cancelled from another thread while the writer is adding files.
    CZipWriter writer;
    ZipProgress progress;
    BOOL result = TRUE;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
      result = Backup(writer, target, dir.Sub("P"), &progress);
      finished = true;
    });
    while (progress.FilesDone() < 3 && !finished) std::this_thread::yield();
    progress.RequestCancel();
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_LT(writer.GetFilesAdded(), 1500u);
    onlyOldArchive();
  }
  {  // A writer destroyed while open abandons its archive.
    auto writer = std::make_unique<CZipWriter>();
    ASSERT_TRUE(writer->OpenZip(target, dir.Path()));
    writer->AddFileToZip("P/f0001.bin", FALSE);
    writer.reset();
    onlyOldArchive();
  }
}

// Files larger than one read, incompressible and compressible, one after another through
// the one deflate stream the writer keeps: each entry must come out whole and pass
// Info-ZIP's CRC and size checks.
TEST(ZipWriter, LargeFilesInSequenceRoundTrip) {
  if (!HaveProgram("unzip")) GTEST_SKIP() << "Info-ZIP unzip is not installed";
  TempDir dir;
  std::string noise(1300000, '\0');
  unsigned state = 12345;
  for (char& c : noise) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 23);
  std::string text;
  while (text.size() < 2100000) text += "Datenpunkt " + std::to_string(text.size()) + " = 0x1F\r\n";
  const std::map<std::string, std::string> files = {{"PROJECT.SET", "[Config]\r\n"},
                                                    {"a.bin", noise},
                                                    {"b.txt", text},
                                                    {"c.bin", noise.substr(0, 524288)},   // exactly one read
                                                    {"d.txt", ""}};
  for (const auto& [name, data] : files) WriteAll(dir.Sub("P/" + name), data);
  const wxString target = dir.Sub("P_backup.zip");
  CZipWriter writer;
  ASSERT_TRUE(Backup(writer, target, dir.Sub("P")));
  EXPECT_EQ(writer.GetBytesAdded(), 10u + noise.size() + text.size() + 524288u);
  // Text deflates to a fraction; noise costs hardly more than its size.
  EXPECT_LT(ReadAll(target).size(), noise.size() + 524288u + text.size() / 4);

  std::string out;
  EXPECT_EQ(RunCommand("unzip -tq " + Quote(target), &out), 0) << out;
  EXPECT_LE(RunCommand("unzip -q -d " + Quote(dir.Sub("x")) + " " + Quote(target), &out), 1) << out;
  for (const auto& [name, data] : files) EXPECT_TRUE(ReadAll(dir.Sub("x/P/" + name)) == data) << name;
}

// Files are deflated in chunks on several threads: the archive must not depend on how
// many, and a file of many chunks must deflate within 1% of one deflate stream.
TEST(ZipWriter, ChunkedDeflateIsTheSameOnAnyNumberOfThreads) {
  if (!HaveProgram("unzip")) GTEST_SKIP() << "Info-ZIP unzip is not installed";
  TempDir dir;
  std::string text;
  for (int i = 0; text.size() < 3500000; ++i)
    text += "Datenpunkt " + std::to_string(i * 7919 % 100003) + " = " + std::to_string(i % 977) + "\r\n";
  WriteAll(dir.Sub("P/PROJECT.SET"), "[Config]\r\n");
  WriteAll(dir.Sub("P/gross.txt"), text);
  for (int i = 0; i < 40; ++i) WriteAll(dir.Sub(wxString::Format("P/klein%02d.txt", i)), text.substr(i * 1000, 5000));
  std::string archives[2];
  for (unsigned threads : {1u, 4u}) {
    CZipWriter writer;
    writer.SetThreads(threads);
    const wxString target = dir.Sub(wxString::Format("t%u.zip", threads));
    ASSERT_TRUE(Backup(writer, target, dir.Sub("P")));
    archives[threads == 1 ? 0 : 1] = ReadAll(target);
  }
  EXPECT_TRUE(archives[0] == archives[1]);
  std::string out;
  EXPECT_EQ(RunCommand("unzip -tq " + Quote(dir.Sub("t4.zip")), &out), 0) << out;

  z_stream z{};
  ASSERT_EQ(deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string whole(deflateBound(&z, text.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(text.data());
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(whole.data());
  z.avail_out = static_cast<uInt>(whole.size());
  ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  const std::size_t single = z.total_out;
  deflateEnd(&z);
  std::size_t chunked = 0;
  for (const RawEntry& e : ReadRawZip(dir.Sub("t4.zip")))
    if (e.name == "P\\gross.txt") chunked = e.compressedSize;
  EXPECT_GT(chunked, 0u);
  EXPECT_LE(static_cast<double>(chunked), 1.01 * static_cast<double>(single)) << chunked << " vs " << single;
}

// A file whose own name holds a backslash cannot be one entry (readers would take it for
// a folder): the backup fails and writes nothing, however its folder is walked.
TEST(ZipWriter, AFileNameWithABackslashFailsTheBackup) {
  TempDir dir;
  WriteAll(dir.Sub("P/PROJECT.SET"), "[Config]\r\n");
  WriteAll(dir.Sub("P/Ordner/gut.txt"), "gut");
  std::ofstream(hv::ToFs(dir.Sub("P/Ordner")) + "/a\\b.txt") << "x";
  ASSERT_TRUE(hv::PathExists(dir.Sub("P/Ordner/gut.txt")));
  CZipWriter writer;
  const wxString target = dir.Sub("P_backup.zip");
  EXPECT_FALSE(Backup(writer, target, dir.Sub("P")));
  EXPECT_GE(writer.GetErrorCount(), 1);
  EXPECT_FALSE(hv::PathExists(target));
}
