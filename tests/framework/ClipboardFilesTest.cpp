#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "framework/ClipboardFiles.h"
#include "framework/ClipboardStore.h"
#include "framework/StagedCopies.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(ClipboardFiles, FileUrisBecomeLocalPathsAndNothingElseDoes) {
  struct Row {
    const char* uri;
    const char* path;   // nullptr: refused
  };
  const Row rows[] = {
      {"file:///home/anna/Bericht.pdf", "/home/anna/Bericht.pdf"},
      {"file:///home/anna/mit%20Leerzeichen.txt", "/home/anna/mit Leerzeichen.txt"},
      {"file:///home/anna/%C3%84nderung.doc", "/home/anna/\xC3\x84nderung.doc"},
      {"FILE://localhost/tmp/a", "/tmp/a"},
      {"file:///tmp/a%2fb", "/tmp/a/b"},
      {"file:///tmp/x?query", "/tmp/x"},
      {"file://server/share/a", nullptr},
      {"http://example.com/a", nullptr},
      {"file:relative/a", nullptr},
      {"file:///", nullptr},
      {"file:///tmp/a%00b", nullptr},
      {"file:///tmp/a%zz", nullptr},
      {"file:///tmp/a%2", nullptr},
      {"file:///tmp/%FF%FE", nullptr},   // no valid UTF-8 name
      {"file:///tmp/a\x01", nullptr},
  };
  for (const Row& row : rows) {
    const auto path = FileUriToPath(row.uri);
    if (row.path) {
      ASSERT_TRUE(path) << row.uri;
      EXPECT_EQ(S(row.path), *path) << row.uri;
    } else {
      EXPECT_FALSE(path) << row.uri;
    }
  }
  for (const char* p : {"/tmp/a b", "/tmp/\xC3\x84#%?.txt", "/tmp/x"})
    EXPECT_EQ(S(p), *FileUriToPath(PathToFileUri(S(p)))) << p;
}

TEST(ClipboardFiles, ListsOfTheFileManagers) {
  MemoryClipboardStore store;
  EXPECT_FALSE(ReadClipboardFiles(store).present);

  // GNOME: the first line says copy or cut.
  store.Set({{kGnomeCopiedFilesFormat, "cut\nfile:///tmp/a\nfile:///tmp/b%20c"},
             {kUriListFormat, "file:///tmp/a\r\nfile:///tmp/b%20c\r\n"}});
  ClipboardFileList list = ReadClipboardFiles(store);
  EXPECT_TRUE(list.present);
  EXPECT_TRUE(list.move);
  EXPECT_EQ((std::vector<wxString>{S("/tmp/a"), S("/tmp/b c")}), list.paths);

  // A plain list with comments and foreign entries; KDE's cut marker.
  store.Set({{kUriListFormat, "# kommentar\r\nfile:///tmp/a\r\nhttp://x/y\r\n\r\nfile:///tmp/b\r\n"}});
  list = ReadClipboardFiles(store);
  EXPECT_FALSE(list.move);
  EXPECT_EQ((std::vector<wxString>{S("/tmp/a"), S("/tmp/b")}), list.paths);
  store.Set({{kUriListFormat, "file:///tmp/a"}, {kKdeCutSelectionFormat, "1"}});
  EXPECT_TRUE(ReadClipboardFiles(store).move);

  // What we offer ourselves reads back the same.
  ASSERT_TRUE(PutClipboardFiles(store, {S("/tmp/ä b"), S("/tmp/c")}, false));
  list = ReadClipboardFiles(store);
  EXPECT_FALSE(list.move);
  EXPECT_EQ((std::vector<wxString>{S("/tmp/ä b"), S("/tmp/c")}), list.paths);
  ASSERT_TRUE(PutClipboardFiles(store, {S("/tmp/c")}, true));
  EXPECT_TRUE(ReadClipboardFiles(store).move);
  EXPECT_EQ(std::string("cut\nfile:///tmp/c"), *store.Get(kGnomeCopiedFilesFormat));
}

TEST(StagedCopies, LiveInThePrivateTemporaryFolderAndGoWithTheirContents) {
  hvtest::TempHome home;
  hvtest::TempDir dir;
  const wxString source = dir.Sub("Bericht.pdf");
  hvtest::WriteAll(source, "Inhalt");

  staging::BeginContents();
  const wxString first = staging::StageCopy(source);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(hv::TempFolder(), hv::PathFolder(first));
  EXPECT_TRUE(hv::MatchWildcard("TAV*.TMP", hv::PathName(first)));
  EXPECT_EQ("Inhalt", hvtest::ReadAll(first));
  struct stat st;
  ASSERT_EQ(0, stat(hv::ToFs(first).c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 0777);
  EXPECT_TRUE(staging::IsStagedCopy(first));
  staging::CommitContents();

  // The next contents replace these: their copy goes.
  staging::BeginContents();
  const wxString second = staging::StageCopy(source);
  staging::CommitContents();
  EXPECT_FALSE(hv::PathExists(first));
  EXPECT_TRUE(hv::PathExists(second));
  // Contents that never reached the clipboard leave nothing behind.
  staging::BeginContents();
  const wxString abandoned = staging::StageCopy(source);
  staging::AbandonContents();
  EXPECT_FALSE(hv::PathExists(abandoned));
  staging::ReleaseContents();
  EXPECT_FALSE(hv::PathExists(second));

  EXPECT_TRUE(staging::StageCopy(dir.Sub("fehlt")).empty());
  EXPECT_TRUE(staging::StageCopy(dir.Path()).empty());   // folders are not staged

  // Paths from the clipboard count only when they are ours.
  hvtest::WriteAll(dir.Sub("TAV1.TMP"), "x");
  EXPECT_FALSE(staging::IsStagedCopy(dir.Sub("TAV1.TMP")));
  hvtest::WriteAll(home.Sub("tmp/anders.txt"), "x");
  EXPECT_FALSE(staging::IsStagedCopy(home.Sub("tmp/anders.txt")));
  ASSERT_EQ(0, symlink(hv::ToFs(source).c_str(), hv::ToFs(home.Sub("tmp/TAVLINK.TMP")).c_str()));
  EXPECT_FALSE(staging::IsStagedCopy(home.Sub("tmp/TAVLINK.TMP")));
  hvtest::WriteAll(home.Sub("tmp/TAVOK.TMP"), "x");
  EXPECT_TRUE(staging::IsStagedCopy(home.Sub("tmp/TAVOK.TMP")));
  EXPECT_FALSE(staging::IsStagedCopy(home.Sub("tmp/sub/../TAVOK.TMP")));
  EXPECT_FALSE(staging::IsStagedCopy(S("TAVOK.TMP")));
}

TEST(StagedCopies, CopiesNeverHalfReplaceAFile) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("a"), "neu");
  hvtest::WriteAll(dir.Sub("b"), "alt");
  EXPECT_EQ(staging::CopyResult::Exists, staging::CopyRegularFile(dir.Sub("a"), dir.Sub("b"), false));
  EXPECT_EQ("alt", hvtest::ReadAll(dir.Sub("b")));
  {
    hvtest::FileSizeLimit limit(2);
    EXPECT_EQ(staging::CopyResult::Failed, staging::CopyRegularFile(dir.Sub("a"), dir.Sub("b"), true));
  }
  EXPECT_EQ("alt", hvtest::ReadAll(dir.Sub("b")));
  EXPECT_EQ((std::vector<wxString>{S("a"), S("b")}), hv::ListFolder(dir.Path()));
  EXPECT_EQ(staging::CopyResult::Copied, staging::CopyRegularFile(dir.Sub("a"), dir.Sub("b"), true));
  EXPECT_EQ("neu", hvtest::ReadAll(dir.Sub("b")));
  EXPECT_EQ(staging::CopyResult::Copied, staging::CopyRegularFile(dir.Sub("a"), dir.Sub("c"), false));
  EXPECT_EQ("neu", hvtest::ReadAll(dir.Sub("c")));
  EXPECT_EQ(staging::CopyResult::Failed, staging::CopyRegularFile(dir.Sub("fehlt"), dir.Sub("d"), false));
  EXPECT_FALSE(hv::PathExists(dir.Sub("d")));
}

// A copy keeps its source's time; a file made from a template has the time it was made
// (the list's "Geändert am" would otherwise show when the install was built).
TEST(StagedCopies, FilesMadeFromATemplateHaveTheirOwnTime) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("template"), "BM");
  const struct timespec old[2] = {{978307200, 0}, {978307200, 0}};   // 1.1.2001
  ASSERT_EQ(0, utimensat(AT_FDCWD, hv::ToFs(dir.Sub("template")).c_str(), old, 0));
  const time_t before = time(nullptr);
  ASSERT_EQ(staging::CopyResult::Copied, staging::CopyRegularFile(dir.Sub("template"), dir.Sub("copy"), false));
  ASSERT_EQ(staging::CopyResult::Copied, staging::CopyRegularFile(dir.Sub("template"), dir.Sub("new"), false,
                                                                   staging::CopyMode::AsNewFile));
  struct stat copy, made;
  ASSERT_EQ(0, stat(hv::ToFs(dir.Sub("copy")).c_str(), &copy));
  ASSERT_EQ(0, stat(hv::ToFs(dir.Sub("new")).c_str(), &made));
  EXPECT_EQ(copy.st_mtime, 978307200);
  EXPECT_GE(made.st_mtime, before);
}
