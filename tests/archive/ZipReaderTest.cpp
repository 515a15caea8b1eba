#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "archive/ZipReader.h"
#include "archive/ZipWriter.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ZipTestSupport.h"

using hvtest::ReadAll;
using hvtest::S;
using hvtest::TempDir;
using hvtest::WriteAll;
using namespace ziptest;
using Paths = std::vector<std::string>;

namespace {

// What the restore does: every entry is extracted, a failed one does not stop the loop.
int ExtractAll(CZipReader& reader, const wxString& output) {
  EXPECT_TRUE(reader.SetOutputFolder(output));
  int failed = 0;
  reader.CountFiles();
  for (BOOL ok = reader.GotoFirstFile(); ok; ok = reader.GotoNextFile())
    if (!reader.UnzipFile()) ++failed;
  return failed;
}

// As the restore extracts: all entries, files written on the pool's threads.
void ExtractOnThreads(CZipReader& reader, const wxString& output, unsigned threads = 2) {
  EXPECT_TRUE(reader.SetOutputFolder(output));
  reader.CountFiles();
  reader.UnzipAll(threads);
}

}  // namespace

TEST(ZipReader, RoundTripThroughOurWriter) {
  TempDir dir;
  WriteSampleProject(dir.Path());
  const time_t when = 1600000000;   // even: DOS times have 2-second steps
  const struct timespec times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, hv::ToFs(dir.Sub("P/Geraet1/bitmaps/logo.bmp")).c_str(), times, 0), 0);
  CZipWriter writer;
  ASSERT_TRUE(writer.OpenZip(dir.Sub("P_backup.zip"), dir.Path()));
  ASSERT_TRUE(writer.AddFolderToZip(dir.Sub("P"), FALSE));
  ASSERT_TRUE(writer.CloseZip());

  CZipReader reader;
  ZipProgress progress;
  reader.SetOwner(&progress);
  ASSERT_TRUE(reader.OpenZip(dir.Sub("P_backup.zip")));
  EXPECT_EQ(reader.GetOutputFolder(), dir.Path());
  wxString project;
  ASSERT_TRUE(reader.FindProjectFolder(&project));
  EXPECT_EQ(project, "P\\");
  EXPECT_TRUE(reader.ValidateEntries());
  EXPECT_EQ(ExtractAll(reader, dir.Sub("dest")), 0);
  EXPECT_EQ(reader.GetTotalFiles(), 9);
  EXPECT_EQ(progress.Percent(), 100);

  EXPECT_TRUE(Snapshot(dir.Sub("dest/P")) == Snapshot(dir.Sub("P"), false));
  EXPECT_TRUE(hv::IsFile(dir.Sub(S("dest/P/Geräte/Ω-Liste.txt"))));
  EXPECT_TRUE(hv::IsFolder(dir.Sub("dest/P/Tief/a/b/c/leer")));
  struct stat st;
  ASSERT_EQ(stat(hv::ToFs(dir.Sub("dest/P/Geraet1/bitmaps/logo.bmp")).c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, when);
}

TEST(ZipReader, ReadsInfoZipArchives) {
  if (!HaveProgram("zip")) GTEST_SKIP() << "Info-ZIP zip is not installed";
  TempDir dir;
  WriteSampleProject(dir.Path());
  std::string log;
  ASSERT_EQ(RunCommand("cd " + Quote(dir.Path()) + " && zip -rq iz.zip P", &log), 0) << log;
  CZipReader reader;
  ASSERT_TRUE(reader.OpenZip(dir.Sub("iz.zip")));
  EXPECT_TRUE(reader.FindProjectFolder(nullptr));
  EXPECT_TRUE(reader.ValidateEntries());
  EXPECT_EQ(ExtractAll(reader, dir.Sub("dest")), 0);
  EXPECT_TRUE(Snapshot(dir.Sub("dest/P")) == Snapshot(dir.Sub("P")));
}

TEST(ZipReader, EitherSeparatorAndFoldersWithoutTheAttribute) {
  TempDir dir;
  WriteRawZip(dir.Sub("b.zip"), {Entry("P\\"), Entry("P\\project.set", "a"), Entry("P\\sub\\x.txt", "x"),
                                 Entry("P\\leer\\")});
  std::vector<RawEntry> slash = {Entry("P/"), Entry("P/project.set", "a"), Entry("P/sub/x.txt", "x"),
                                 Entry("P/leer/")};
  for (RawEntry& e : slash) e.externalAttr &= ~0x10ul;   // a tool that sets no folder bit
  WriteRawZip(dir.Sub("s.zip"), slash);
  for (const char* name : {"b", "s"}) {
    CZipReader reader;
    ASSERT_TRUE(reader.OpenZip(dir.Sub(wxString(name) + ".zip")));
    EXPECT_TRUE(reader.FindProjectFolder(nullptr));
    EXPECT_EQ(ExtractAll(reader, dir.Sub(name)), 0);
    EXPECT_EQ(ListAll(dir.Sub(name)), (Paths{"P", "P/leer", "P/project.set", "P/sub", "P/sub/x.txt"}));
  }
}

TEST(ZipReader, FindProjectFolder) {
  struct Case {
    Paths names;
    BOOL found;
    const char* folder;
  };
  const std::vector<Case> cases = {
      {{"top.txt", "P\\", "P\\sub\\", "P\\sub\\project.set", "P\\Project.Set"}, TRUE, "P\\"},
      {{"P/", "P/PROJECT.SET"}, TRUE, "P\\"},
      {{"P\\", "P\\x.txt", "Q\\", "Q\\project.set"}, FALSE, "P\\"},   // only the first folder counts
      {{"P", "P\\project.set"}, FALSE, ""},                           // a file named like a folder
      {{"a\\b\\", "a\\b\\project.set"}, FALSE, ""},                   // not one plain name
      {{"..\\", "..\\project.set"}, FALSE, ""},
      {{"C:\\", "C:\\project.set"}, FALSE, ""},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names[0] + " " + c.names[1]);
    std::vector<RawEntry> entries;
    for (const std::string& n : c.names) entries.push_back(Entry(n, "x"));
    WriteRawZip(dir.Sub("c.zip"), entries);
    CZipReader reader;
    ASSERT_TRUE(reader.OpenZip(dir.Sub("c.zip")));
    wxString folder;
    EXPECT_EQ(reader.FindProjectFolder(&folder), c.found);
    EXPECT_EQ(folder, c.folder);
  }
}

TEST(ZipReader, ProjectFolderRestrictionAndRename) {
  TempDir dir;
  WriteRawZip(dir.Sub("a.zip"), {Entry("P\\"), Entry("P\\project.set", "s"), Entry("P\\sub\\x.txt", "x"),
                                 Entry("Q\\"), Entry("Q\\evil.txt", "e"), Entry("top.txt", "t")});
  CZipReader reader;
  ASSERT_TRUE(reader.SetRename("P", "P_1"));
  ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
  EXPECT_EQ(ExtractAll(reader, dir.Sub("renamed")), 0);
  EXPECT_EQ(reader.GetSkippedCount(), 3);
  EXPECT_EQ(ListAll(dir.Sub("renamed")), (Paths{"P_1", "P_1/project.set", "P_1/sub", "P_1/sub/x.txt"}));

  ASSERT_TRUE(reader.SetProjectFolder("p\\"));   // case ignored, no rename
  ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
  EXPECT_EQ(ExtractAll(reader, dir.Sub("kept")), 0);
  EXPECT_EQ(ListAll(dir.Sub("kept")), (Paths{"P", "P/project.set", "P/sub", "P/sub/x.txt"}));

  EXPECT_FALSE(reader.SetRename("P", ".."));
  EXPECT_FALSE(reader.SetRename("P", "a/b"));
  EXPECT_FALSE(reader.SetProjectFolder(""));
}

TEST(ZipReader, HostileEntriesWriteNothingOutside) {
  TempDir sandbox;
  RawEntry link = Entry("P\\link", "../../evil.txt");
  link.versionMadeBy = (3 << 8) | 20;   // Unix host: the high word is the file mode
  link.externalAttr = 0120777ul << 16;
  RawEntry fifo = link;
  fifo.externalAttr = 0010644ul << 16;
  RawEntry encrypted = Entry("P\\secret.txt", "data");
  encrypted.flag = 1;
  RawEntry badUtf8 = Entry("P\\\xC3(.txt", "x");
  badUtf8.flag = 0x800;
  const std::vector<RawEntry> cases = {
      Entry("..\\evil.txt", "x"), Entry("../evil.txt", "x"), Entry(hv::ToFs(sandbox.Sub("evil.txt")), "x"),
      Entry("\\evil.txt", "x"), Entry("C:\\evil.txt", "x"), Entry("c:evil.txt", "x"),
      Entry("P\\..\\..\\evil.txt", "x"), Entry("P\\sub\\..\\..\\..\\evil.txt", "x"),
      Entry("P/./../../evil.txt", "x"), Entry("P\\a\x01" "b.txt", "x"), badUtf8, link, fifo, encrypted};
  for (const RawEntry& e : cases) {
    SCOPED_TRACE(e.name);
    WriteRawZip(sandbox.Sub("a.zip"), {e});
    CZipReader reader;
    ASSERT_TRUE(reader.OpenZip(sandbox.Sub("a.zip")));
    EXPECT_FALSE(reader.ValidateEntries());
    EXPECT_EQ(ExtractAll(reader, sandbox.Sub("dest")), 1);
    EXPECT_EQ(reader.GetErrorCount(), 2);
    EXPECT_EQ(ListAll(sandbox.Path()), (Paths{"a.zip", "dest"}));
  }
}

TEST(ZipReader, LinksAndFilesInTheTargetAreNotFollowed) {
  TempDir sandbox;
  WriteAll(sandbox.Sub("victim.txt"), "unchanged");
  hv::MakeFolders(sandbox.Sub("elsewhere"));
  hv::MakeFolders(sandbox.Sub("dest/Q"));
  ASSERT_EQ(symlink(hv::ToFs(sandbox.Sub("elsewhere")).c_str(), hv::ToFs(sandbox.Sub("dest/P")).c_str()), 0);
  ASSERT_EQ(symlink(hv::ToFs(sandbox.Sub("victim.txt")).c_str(), hv::ToFs(sandbox.Sub("dest/Q/x.txt")).c_str()), 0);
  WriteAll(sandbox.Sub("dest/R/a"), "a file where a folder is needed");
  WriteRawZip(sandbox.Sub("a.zip"), {Entry("P\\"), Entry("P\\x.txt", "x"), Entry("q\\X.TXT", "x"),
                                     Entry("R\\a\\b.txt", "x"), Entry("R\\a\\")});
  CZipReader reader;
  ASSERT_TRUE(reader.OpenZip(sandbox.Sub("a.zip")));
  EXPECT_TRUE(reader.ValidateEntries());
  EXPECT_EQ(ExtractAll(reader, sandbox.Sub("dest")), 5);
  EXPECT_EQ(reader.GetErrorCount(), 5);
  EXPECT_EQ(ListAll(sandbox.Sub("elsewhere")), Paths{});
  EXPECT_EQ(ReadAll(sandbox.Sub("victim.txt")), "unchanged");
  EXPECT_EQ(ReadAll(sandbox.Sub("dest/R/a")), "a file where a folder is needed");
}

TEST(ZipReader, DamagedArchivesFailAndLeaveNoPartialFile) {
  TempDir dir;
  WriteSampleProject(dir.Path());
  CZipWriter writer;
  ASSERT_TRUE(writer.OpenZip(dir.Sub("full.zip"), dir.Path()));
  writer.AddFolderToZip(dir.Sub("P"), FALSE);
  ASSERT_TRUE(writer.CloseZip());
  const std::string full = ReadAll(dir.Sub("full.zip"));
  WriteAll(dir.Sub("cut.zip"), full.substr(0, full.size() / 2));
  CZipReader reader;
  EXPECT_FALSE(reader.OpenZip(dir.Sub("cut.zip")));   // truncated: no central directory
  EXPECT_EQ(reader.GetErrorCount(), 1);
  EXPECT_FALSE(reader.FindProjectFolder(nullptr));
  EXPECT_FALSE(reader.UnzipFile());

  std::string text;
  for (int i = 0; i < 4000; ++i) text += std::to_string(i * 7) + (i % 13 ? " " : "\n");
  RawEntry stored = Entry("P\\file.txt", "HEADER-PAYLOAD-0123456789");
  stored.method = 0;
  // Each case damages one byte: 0 searches the stored payload; else the byte at that offset
  // (data of the first entry start after the 30-byte local header and its 10-byte name),
  // or, with `size`, the uncompressed size in both headers so that the data fall short, or
  // with `stored` the stored size in both, so that the data run past the file's end.
  // Either way of extracting: one by one, or on the writing threads.
  struct Case {
    RawEntry entry;
    size_t offset;
    bool size, stored;
    const char* error;
    const char* threadsError;
  };
  for (const Case& c : {Case{stored, 0, false, false, "CRC", "CRC"},
                        Case{Entry("P\\file.txt", text), 30 + 10 + 200, false, false, "", ""},
                        Case{Entry("P\\file.txt", text), 0, true, false, "", ""},
                        Case{Entry("P\\file.txt", text), 0, false, true, "", "Daten im Archiv unvollständig"}}) {
    WriteRawZip(dir.Sub("bad.zip"), {c.entry});
    std::string bytes = ReadAll(dir.Sub("bad.zip"));
    if (c.size) {
      bytes[bytes.find("PK\x03\x04") + 22] += 1;
      bytes[bytes.find("PK\x01\x02") + 24] += 1;
    } else if (c.stored) {
      bytes[bytes.find("PK\x03\x04") + 20] = 0x10;   // stored size + 1 MiB
      bytes[bytes.find("PK\x01\x02") + 22] = 0x10;
    } else {
      const size_t at = c.offset ? c.offset : bytes.find("PAYLOAD");
      bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
    }
    WriteAll(dir.Sub("bad.zip"), bytes);
    for (bool threads : {false, true}) {
      const wxString dest = dir.Sub(threads ? "threads" : "dest");
      ASSERT_TRUE(reader.OpenZip(dir.Sub("bad.zip")));
      if (threads) ExtractOnThreads(reader, dest);
      else EXPECT_EQ(ExtractAll(reader, dest), 1);
      ASSERT_EQ(reader.GetErrorCount(), 1) << threads;
      EXPECT_TRUE(reader.GetErrors()[0].Contains(S(threads ? c.threadsError : c.error))) << hv::ToUtf8(reader.GetErrors()[0]);
      EXPECT_FALSE(hv::PathExists(dest + "/P/file.txt"));
    }
  }
}

TEST(ZipReader, ExistingSpellingsCaseCollisionsAndCancel) {
  TempDir dir;
  WriteAll(dir.Sub("dest/p/DEVICE.SET"), "old");
  WriteRawZip(dir.Sub("a.zip"),
              {Entry("P\\"), Entry("P\\device.set", "new"), Entry("P\\a.txt", "first"), Entry("P\\A.TXT", "second")});
  CZipReader reader;
  ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
  EXPECT_FALSE(reader.ValidateEntries());
  EXPECT_EQ(reader.GetErrorCount(), 1);
  EXPECT_EQ(ExtractAll(reader, dir.Sub("dest")), 1);
  EXPECT_EQ(ListAll(dir.Sub("dest")), (Paths{"p", "p/DEVICE.SET", "p/a.txt"}));
  EXPECT_EQ(ReadAll(dir.Sub("dest/p/DEVICE.SET")), "new");
  EXPECT_EQ(ReadAll(dir.Sub("dest/p/a.txt")), "first");

  ZipProgress progress;
  progress.RequestCancel();
  reader.SetOwner(&progress);
  ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
  EXPECT_EQ(ExtractAll(reader, dir.Sub("cancelled")), 4);
  EXPECT_EQ(ListAll(dir.Sub("cancelled")), Paths{});
  // On the threads no folder is made ahead either.
  ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
  ExtractOnThreads(reader, dir.Sub("cancelled on threads"));
  EXPECT_EQ(ListAll(dir.Sub("cancelled on threads")), Paths{});
}

// minizip states 65,535 entries as 0xFFFF without a Zip64 record, which readers may take
// for "more": the list must end at the directory's end, complete and without an error.
TEST(ZipReader, ExactlyAsManyEntriesAsTheClassicCountHolds) {
  TempDir dir;
  std::vector<RawEntry> entries;
  entries.push_back(Entry("P\\"));
  for (int i = 1; i < 65535; ++i) entries.push_back(Entry("P\\" + std::to_string(i), ""));
  WriteRawZip(dir.Sub("a.zip"), entries);
  CZipReader reader;
  ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
  int n = 0;
  for (BOOL more = reader.GotoFirstFile(); more; more = reader.GotoNextFile()) ++n;
  EXPECT_EQ(n, 65535);
  EXPECT_EQ(reader.GetErrorCount(), 0);
}

// Files made on the pool threads, folder by folder: each gets its own time (entries of
// one hour share the zone's look-up, minutes and seconds differ), existing spellings of
// the target are kept, and nothing is missing.
TEST(ZipReader, ExtractionOnThreadsKeepsTimesAndSpellings) {
  TempDir dir;
  const time_t base = 1700000000;   // even: DOS times have 2-second steps
  std::vector<std::pair<std::string, time_t>> files;
  for (int folder = 0; folder < 6; ++folder)
    for (int i = 0; i < 7; ++i) {
      const std::string name = "P/Ordner" + std::to_string(folder) + "/datei" + std::to_string(i) + ".txt";
      // Hours apart between folders, minutes and seconds apart within one.
      const time_t when = base + folder * 3 * 3600 + i * 62;
      WriteAll(dir.Sub(S(name.c_str())), std::string(100 + i * 50, static_cast<char>('a' + i)));
      const struct timespec times[2] = {{when, 0}, {when, 0}};
      ASSERT_EQ(utimensat(AT_FDCWD, hv::ToFs(dir.Sub(S(name.c_str()))).c_str(), times, 0), 0);
      files.emplace_back(name, when);
    }
  WriteAll(dir.Sub("P/project.set"), "[Config]");
  CZipWriter writer;
  ASSERT_TRUE(writer.OpenZip(dir.Sub("P_backup.zip"), dir.Path()));
  ASSERT_TRUE(writer.AddFolderToZip(dir.Sub("P"), FALSE));
  ASSERT_TRUE(writer.CloseZip());
  // The target already holds one folder and one file in other spellings.
  WriteAll(dir.Sub("dest/P/ORDNER2/DATEI3.TXT"), "old");

  CZipReader reader;
  ASSERT_TRUE(reader.OpenZip(dir.Sub("P_backup.zip")));
  ExtractOnThreads(reader, dir.Sub("dest"), 4);
  EXPECT_EQ(reader.GetErrorCount(), 0);
  EXPECT_EQ(reader.GetFilesDone(), static_cast<int>(files.size()) + 1);
  for (auto [name, when] : files) {
    std::string onDisk = "dest/" + name;
    if (name == "P/Ordner2/datei3.txt") onDisk = "dest/P/ORDNER2/DATEI3.TXT";
    else if (name.rfind("P/Ordner2/", 0) == 0) onDisk = "dest/P/ORDNER2/" + name.substr(10);
    struct stat st;
    ASSERT_EQ(stat(hv::ToFs(dir.Sub(S(onDisk.c_str()))).c_str(), &st), 0) << onDisk;
    EXPECT_EQ(st.st_mtime, when) << onDisk;
    EXPECT_EQ(ReadAll(dir.Sub(S(onDisk.c_str()))), ReadAll(dir.Sub(S(name.c_str())))) << onDisk;
  }
  struct stat st;
  EXPECT_NE(lstat(hv::ToFs(dir.Sub("dest/P/Ordner2")).c_str(), &st), 0);   // no second spelling
  // The folders were spread over the disk while they filled; no mark of that is left.
  for (const char* folder : {"dest/P", "dest/P/Ordner0", "dest/P/Ordner5"}) {
    const int fd = open(hv::ToFs(dir.Sub(folder)).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0) << folder;
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      EXPECT_EQ(flags & FS_TOPDIR_FL, 0) << folder;
    }
    close(fd);
  }
}

// Into an empty folder the folders are made ahead of their files on the pool's threads.
// One whose whole path is longer than the system takes in one call is still made (step
// by step, as the entry needs it); one whose own name is too long fails with the reason,
// on that entry only; no spread mark is left behind.
TEST(ZipReader, FoldersMadeAheadOnThreads) {
  TempDir dir;
  std::string deep = "P";
  for (int i = 0; i < 18; ++i) deep += "\\" + std::string(240, static_cast<char>('a' + i));   // 4,300 bytes
  const std::string tooLong = "P\\" + std::string(300, 'x') + "\\f.txt";
  WriteRawZip(dir.Sub("a.zip"), {Entry("P\\"), Entry("P\\project.set", "s"), Entry(deep + "\\tief.txt", "tief"),
                                 Entry(tooLong, "x"), Entry("P\\b\\c\\d.txt", "d"), Entry("P\\leer\\")});
  CZipReader reader;
  ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
  ExtractOnThreads(reader, dir.Sub("dest"), 4);
  ASSERT_EQ(reader.GetErrorCount(), 1);
  EXPECT_TRUE(reader.GetErrors()[0].StartsWith(S(tooLong.c_str()))) << hv::ToUtf8(reader.GetErrors()[0]);
  EXPECT_TRUE(reader.GetErrors()[0].Contains("Verzeichnis kann nicht angelegt werden")) << hv::ToUtf8(reader.GetErrors()[0]);
  EXPECT_EQ(ReadAll(dir.Sub("dest/P/b/c/d.txt")), "d");
  EXPECT_TRUE(hv::IsFolder(dir.Sub("dest/P/leer")));
  // The deep file is reached one folder at a time.
  int fd = open(hv::ToFs(dir.Sub("dest")).c_str(), O_RDONLY | O_DIRECTORY);
  std::vector<std::string> parts;
  for (size_t at = 0, next; at != std::string::npos; at = next == std::string::npos ? next : next + 1) {
    next = deep.find('\\', at);
    parts.push_back(deep.substr(at, next == std::string::npos ? next : next - at));
  }
  for (const std::string& part : parts) {
    ASSERT_GE(fd, 0) << part;
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      EXPECT_EQ(flags & FS_TOPDIR_FL, 0) << part;
    }
    const int next = openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
  }
  ASSERT_GE(fd, 0);
  char text[8] = {};
  const int file = openat(fd, "tief.txt", O_RDONLY);
  close(fd);
  ASSERT_GE(file, 0);
  EXPECT_EQ(read(file, text, sizeof text), 4);
  close(file);
  EXPECT_STREQ(text, "tief");
}

// A local header whose method or name length differs from the directory's is damage,
// whether the entry is read whole for the writing threads or streamed through minizip.
TEST(ZipReader, LocalHeadersThatDisagreeWithTheDirectoryFailOnEitherPath) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 300; ++i) text += "Zeile " + std::to_string(i) + "\n";
  WriteRawZip(dir.Sub("good.zip"), {Entry("P\\"), Entry("P\\a.txt", text)});
  const std::string good = ReadAll(dir.Sub("good.zip"));
  const size_t local = good.find("PK\x03\x04", good.find("PK\x03\x04") + 4);   // the file's header
  ASSERT_NE(local, std::string::npos);
  for (size_t field : {size_t{8}, size_t{26}}) {   // method, name length
    std::string bytes = good;
    bytes[local + field] = static_cast<char>(bytes[local + field] ^ (field == 8 ? 8 : 1));
    WriteAll(dir.Sub("bad.zip"), bytes);
    for (bool threads : {true, false}) {
      const wxString dest = dir.Sub(threads ? "threads" : "stream");
      CZipReader reader;
      ASSERT_TRUE(reader.OpenZip(dir.Sub("bad.zip")));
      if (threads) ExtractOnThreads(reader, dest);
      else EXPECT_EQ(ExtractAll(reader, dest), 1);
      ASSERT_EQ(reader.GetErrorCount(), 1) << field;
      EXPECT_TRUE(reader.GetErrors()[0].Contains("lokaler Kopf")) << hv::ToUtf8(reader.GetErrors()[0]);
      EXPECT_FALSE(hv::PathExists(dest + "/P/a.txt"));
    }
  }
}

// The directory is read once; later walks (find, check, count, extract) see the same
// entries, and a directory that states more entries than it holds is reported once.
TEST(ZipReader, LaterWalksSeeTheSameEntriesAndReportDamageOnce) {
  TempDir dir;
  WriteRawZip(dir.Sub("a.zip"), {Entry("P\\"), Entry("P\\project.set", "[Config]"), Entry("P\\b.txt", "b")});
  std::string bytes = ReadAll(dir.Sub("a.zip"));
  const size_t end = bytes.rfind("PK\x05\x06");
  for (size_t at : {end + 8, end + 10}) bytes[at] = static_cast<char>(bytes[at] + 1);   // 4 stated, 3 there
  WriteAll(dir.Sub("a.zip"), bytes);
  CZipReader reader;
  ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
  EXPECT_TRUE(reader.FindProjectFolder(nullptr));   // stops at project.set, before the damage
  EXPECT_EQ(reader.GetErrorCount(), 0);
  std::vector<std::vector<wxString>> walks(2);
  for (auto& names : walks) {
    ZipEntryInfo info;
    for (BOOL more = reader.GotoFirstFile(); more; more = reader.GotoNextFile()) {
      ASSERT_TRUE(reader.GetFileInfo(info));
      names.push_back(info.name);
    }
  }
  EXPECT_EQ(walks[0], (std::vector<wxString>{"P\\", "P\\project.set", "P\\b.txt"}));
  EXPECT_EQ(walks[1], walks[0]);
  EXPECT_EQ(reader.GetErrorCount(), 1);
  ZipEntryInfo after;
  EXPECT_FALSE(reader.GetFileInfo(after));   // past the end
  EXPECT_EQ(ExtractAll(reader, dir.Sub("dest")), 0);
  EXPECT_EQ(ReadAll(dir.Sub("dest/P/b.txt")), "b");
  EXPECT_EQ(reader.GetErrorCount(), 1);
}

// A Zip64 end record may state any count and size: a directory far larger than the
// file is damage, reported, not a reason to reserve room for it.
TEST(ZipReader, StatedDirectoryFarBeyondTheFileIsDamage) {
  TempDir dir;
  auto put = [](std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  std::string bytes(16, 'x');
  const std::uint64_t count = std::uint64_t{1} << 40;
  put(bytes, 0x06064b50, 4);   // Zip64 end record at 16
  put(bytes, 44, 8);
  put(bytes, 45, 2);
  put(bytes, 45, 2);
  put(bytes, 0, 4);
  put(bytes, 0, 4);
  put(bytes, count, 8);
  put(bytes, count, 8);
  put(bytes, ~std::uint64_t{0} - 7, 8);   // size: with the offset it wraps to 0
  put(bytes, 8, 8);
  put(bytes, 0x07064b50, 4);   // locator
  put(bytes, 0, 4);
  put(bytes, 16, 8);
  put(bytes, 1, 4);
  put(bytes, 0x06054b50, 4);   // classic end record, all ones
  put(bytes, 0, 4);
  put(bytes, 0xFFFF, 2);
  put(bytes, 0xFFFF, 2);
  put(bytes, 0xFFFFFFFF, 4);
  put(bytes, 0xFFFFFFFF, 4);
  put(bytes, 0, 2);
  WriteAll(dir.Sub("huge.zip"), bytes);
  CZipReader reader;
  ASSERT_TRUE(reader.OpenZip(dir.Sub("huge.zip")));   // minizip takes the wrapped sum
  EXPECT_FALSE(reader.FindProjectFolder(nullptr));
  ASSERT_EQ(reader.GetErrorCount(), 1);
  EXPECT_EQ(reader.GetErrors()[0], S("Archiv beschädigt"));
}

// Made ahead on the threads or one by one as the entries come, the folders are the same:
// the first spelling of a name wins over later ones differing in case, existing folders
// keep theirs, a renamed project lands under its new name and entries beside it stay out.
TEST(ZipReader, ThreadsMakeTheSameFoldersAsOneByOne) {
  TempDir dir;
  WriteRawZip(dir.Sub("a.zip"),
              {Entry("P\\"), Entry("P\\Sub\\a.txt", "a"), Entry("P\\SUB\\b.txt", "b"),
               Entry("p\\sub\\Deep\\c.txt", "c"), Entry("P\\Alt\\DEEP\\"), Entry("P\\alt\\deep\\d.txt", "d"),
               Entry("P\\Old\\New\\e.txt", "e"), Entry("R\\z.txt", "z"), Entry("P\\leer\\")});
  struct Setup {
    bool rename;
    bool existing;
  };
  for (const Setup s : {Setup{false, false}, Setup{true, false}, Setup{false, true}, Setup{true, true}}) {
    std::vector<Paths> trees;
    std::vector<std::vector<wxString>> errors;
    for (bool threads : {false, true}) {
      const wxString dest =
          dir.Sub(std::string(threads ? "threads" : "one") + (s.rename ? "R" : "") + (s.existing ? "E" : ""));
      if (s.existing) {
        WriteAll(dest + (s.rename ? "/q" : "/p") + "/OLD/keep.txt", "k");
        WriteAll(dest + "/r.txt", "r");
      }
      CZipReader reader;
      ASSERT_TRUE(s.rename ? reader.SetRename("P", "Q") : reader.SetProjectFolder("P"));
      ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
      if (threads) ExtractOnThreads(reader, dest, 3);
      else ExtractAll(reader, dest);
      EXPECT_EQ(reader.GetSkippedCount(), 1);
      trees.push_back(ListAll(dest));
      errors.push_back(reader.GetErrors());
    }
    EXPECT_EQ(trees[1], trees[0]) << s.rename << s.existing;
    EXPECT_EQ(errors[1], errors[0]);
    EXPECT_TRUE(errors[0].empty());
  }
}

// An output folder that cannot be had is one failure, not one for each entry.
TEST(ZipReader, MissingOutputFolderIsReportedOnce) {
  TempDir dir;
  WriteRawZip(dir.Sub("a.zip"), {Entry("P\\"), Entry("P\\a.txt", "a"), Entry("P\\sub\\b.txt", "b")});
  CZipReader reader;
  ASSERT_TRUE(reader.OpenZip(dir.Sub("a.zip")));
  ASSERT_TRUE(reader.SetOutputFolder(dir.Sub("dest")));
  ASSERT_EQ(rmdir(hv::ToFs(dir.Sub("dest")).c_str()), 0);
  WriteAll(dir.Sub("dest"), "a file where the output folder was");
  reader.CountFiles();
  reader.UnzipAll(2);
  ASSERT_EQ(reader.GetErrorCount(), 1);
  EXPECT_TRUE(reader.GetErrors()[0].Contains("Zielverzeichnis")) << hv::ToUtf8(reader.GetErrors()[0]);
  EXPECT_EQ(ReadAll(dir.Sub("dest")), "a file where the output folder was");
}
