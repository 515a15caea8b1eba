#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "framework/FolderUtils.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/RecycleBin.h"
#include "tests/support/PrivateTrash.h"
#include "tests/support/TestEnv.h"

namespace fs = std::filesystem;
using hvtest::ReadAll;
using hvtest::WriteAll;

namespace {

bool LExists(const wxString& p) {
  struct stat st;
  return lstat(hv::ToFs(p).c_str(), &st) == 0;
}

void Link(const std::string& target, const wxString& at) { ASSERT_EQ(symlink(target.c_str(), hv::ToFs(at).c_str()), 0); }

// Sets an environment variable for the scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const wxString& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    setenv(name, hv::ToFs(value).c_str(), 1);
  }
  ~ScopedEnv() {
    if (m_old) setenv(m_name, m_old->c_str(), 1);
    else unsetenv(m_name);
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

}  // namespace

TEST(CreateDirectoryPath, CreatesMissingPartsAndReportsTheWholePath) {
  hvtest::TempDir dir;
  EXPECT_TRUE(CreateDirectoryPath(dir.Sub("a\\b\\c")));
  EXPECT_TRUE(hv::IsFolder(dir.Sub("a/b/c")));
  // An existing spelling is reused, never a second one made beside it.
  EXPECT_TRUE(CreateDirectoryPath(dir.Sub("A/B/d")));
  EXPECT_TRUE(LExists(dir.Sub("a/b/d")));
  EXPECT_FALSE(LExists(dir.Sub("A")));
  // A file in the way makes the path impossible.
  WriteAll(dir.Sub("file"), "x");
  EXPECT_FALSE(CreateDirectoryPath(dir.Sub("file/sub")));
  EXPECT_FALSE(CreateDirectoryPath(dir.Sub("file")));
  EXPECT_FALSE(CreateDirectoryPath(""));
  EXPECT_TRUE(CreateDirectoryPath("/"));
  EXPECT_TRUE(CreateDirectoryPath("\\\\"));
  // No length limit cuts the path into another folder.
  wxString deep = dir.Path();
  for (int i = 0; i < 40; ++i) deep += "/level_of_a_rather_long_folder_name";
  EXPECT_TRUE(CreateDirectoryPath(deep));
  EXPECT_TRUE(hv::IsFolder(deep));
}

TEST(DeleteDirectory, RefusesHomeUserFolderAndWhatHoldsThem) {
  hvtest::TempDir dir;
  ASSERT_TRUE(hv::MakeFolders(dir.Sub("outer/home/docs")));
  ASSERT_TRUE(hv::MakeFolders(dir.Sub("outer/user")));
  ScopedEnv home("HOME", dir.Sub("outer/home"));
  ScopedEnv user("HALVORA_HOME", dir.Sub("outer/user"));
  for (const wxString& p : {dir.Sub("outer/home"), dir.Sub("outer/user"), dir.Sub("outer"), dir.Sub("outer/home/"),
                            dir.Sub("outer/home/docs/.."), dir.Sub("OUTER/USER"), wxString("relative/path"),
                            wxString(""), wxString("C:\\Projects")}) {
    EXPECT_FALSE(DeleteDirectory(p)) << hv::ToUtf8(p);
  }
  EXPECT_TRUE(hv::IsFolder(dir.Sub("outer/home/docs")));
  EXPECT_TRUE(hv::IsFolder(dir.Sub("outer/user")));
  for (const char* p : {"/", "\\", "//", "/.", "/tmp/..", "/root/..", "relative"}) EXPECT_TRUE(IsProtectedPath(p)) << p;
  // A link to the home folder is only a link: deleting it leaves the folder.
  Link(hv::ToFs(dir.Sub("outer/home")), dir.Sub("homelink"));
  EXPECT_FALSE(IsProtectedPath(dir.Sub("homelink")));
  EXPECT_TRUE(DeleteDirectory(dir.Sub("homelink")));
  EXPECT_FALSE(LExists(dir.Sub("homelink")));
  EXPECT_TRUE(hv::IsFolder(dir.Sub("outer/home/docs")));
  // Inside the user folder is fine.
  EXPECT_TRUE(DeleteDirectory(dir.Sub("outer/home/docs")));
  EXPECT_FALSE(LExists(dir.Sub("outer/home/docs")));
}

TEST(DeleteDirectory, RemovesTreesWithoutFollowingLinks) {
  hvtest::TempDir dir;
  WriteAll(dir.Sub("keep/precious.txt"), "keep me");
  WriteAll(dir.Sub("tree/sub/a.txt"), "a");
  WriteAll(dir.Sub("tree/b.txt"), "b");
  Link(hv::ToFs(dir.Sub("keep")), dir.Sub("tree/sub/outside"));
  Link("..", dir.Sub("tree/sub/loop"));   // a link loop back to the parent
  Link(hv::ToFs(dir.Sub("keep/precious.txt")), dir.Sub("tree/file-link"));
  EXPECT_TRUE(DeleteDirectory(dir.Sub("TREE")));   // found in any case
  EXPECT_FALSE(LExists(dir.Sub("tree")));
  EXPECT_EQ(ReadAll(dir.Sub("keep/precious.txt")), "keep me");
  // Already gone counts as done.
  EXPECT_TRUE(DeleteDirectory(dir.Sub("tree")));
}

TEST(CopyDirectory, CopiesTreesAndHonoursFailIfExists) {
  hvtest::TempDir dir;
  WriteAll(dir.Sub("src/a.txt"), "alpha");
  WriteAll(dir.Sub("src/sub/deeper/b.bin"), std::string("\0\1\2", 3));
  WriteAll(dir.Sub("src/Device.set"), "new");
  chmod(hv::ToFs(dir.Sub("src/a.txt")).c_str(), 0750);
  WriteAll(dir.Sub("dst/DEVICE.SET"), "old");

  // The destination's existing spelling wins; fail-if-exists stops at the clash.
  EXPECT_FALSE(CopyDirectory(dir.Sub("src\\*.*"), dir.Sub("dst"), TRUE));
  EXPECT_EQ(ReadAll(dir.Sub("dst/DEVICE.SET")), "old");

  EXPECT_TRUE(CopyDirectory(dir.Sub("src\\*.*"), dir.Sub("dst\\*.*"), FALSE));
  EXPECT_EQ(ReadAll(dir.Sub("dst/a.txt")), "alpha");
  EXPECT_EQ(ReadAll(dir.Sub("dst/sub/deeper/b.bin")), std::string("\0\1\2", 3));
  EXPECT_EQ(ReadAll(dir.Sub("dst/DEVICE.SET")), "new");
  EXPECT_FALSE(LExists(dir.Sub("dst/Device.set")));
  struct stat st;
  ASSERT_EQ(stat(hv::ToFs(dir.Sub("dst/a.txt")).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0750u);
  // No temporary file is left beside the replaced one.
  EXPECT_EQ(hv::ListFolder(dir.Sub("dst")).size(), 3u);

  // A new destination is created; without recursion only the top files come along.
  EXPECT_TRUE(CopyDirectory(dir.Sub("src"), dir.Sub("flat/x"), TRUE, FALSE));
  EXPECT_TRUE(LExists(dir.Sub("flat/x/a.txt")));
  EXPECT_FALSE(LExists(dir.Sub("flat/x/sub")));
  // A mask picks files.
  EXPECT_TRUE(CopyDirectory(dir.Sub("src/*.TXT"), dir.Sub("masked"), TRUE));
  EXPECT_EQ(hv::ListFolder(dir.Sub("masked")), std::vector<wxString>{"a.txt"});

  EXPECT_FALSE(CopyDirectory(dir.Sub("missing/*.*"), dir.Sub("out"), FALSE));
  EXPECT_FALSE(LExists(dir.Sub("out")));
}

TEST(CopyDirectory, RefusesItsOwnInsideAndCopiesLinksAsLinks) {
  hvtest::TempDir dir;
  WriteAll(dir.Sub("src/a.txt"), "a");
  WriteAll(dir.Sub("elsewhere/big.txt"), "not to be copied");
  EXPECT_FALSE(CopyDirectory(dir.Sub("src/*.*"), dir.Sub("src/sub"), FALSE));
  EXPECT_FALSE(CopyDirectory(dir.Sub("src/*.*"), dir.Sub("SRC/new/deeper"), FALSE));
  EXPECT_FALSE(CopyDirectory(dir.Sub("src/*.*"), dir.Sub("src"), FALSE));
  EXPECT_FALSE(CopyDirectory(dir.Sub("src"), dir.Sub("src/../src/"), FALSE));
  // Reached through a link into the source: refused too.
  Link(hv::ToFs(dir.Sub("src")), dir.Sub("alias"));
  EXPECT_FALSE(CopyDirectory(dir.Sub("src"), dir.Sub("alias/inner"), FALSE));
  EXPECT_EQ(hv::ListFolder(dir.Sub("src")).size(), 1u);

  // Links stay links: the loop is copied once, the outside folder is not pulled in.
  ASSERT_EQ(unlink(hv::ToFs(dir.Sub("alias")).c_str()), 0);
  Link("..", dir.Sub("src/loop"));
  Link(hv::ToFs(dir.Sub("elsewhere")), dir.Sub("src/ext"));
  ASSERT_TRUE(CopyDirectory(dir.Sub("src/*.*"), dir.Sub("copy"), TRUE));
  char target[256] = {};
  ASSERT_GT(readlink(hv::ToFs(dir.Sub("copy/loop")).c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ(target, "..");
  struct stat st;
  ASSERT_EQ(lstat(hv::ToFs(dir.Sub("copy/ext")).c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(ShellCopyFiles, CopiesMasksFilesAndFolders) {
  hvtest::TempDir dir;
  WriteAll(dir.Sub("tmpl/PROJECT.SET"), "p");
  WriteAll(dir.Sub("tmpl/dev/DEVICE.SET"), "d");
  EXPECT_TRUE(ShellCopyFiles(dir.Sub("tmpl\\*.*"), dir.Sub("new")));
  EXPECT_EQ(ReadAll(dir.Sub("new/dev/DEVICE.SET")), "d");
  EXPECT_TRUE(ShellCopyFiles(dir.Sub("tmpl/PROJECT.SET"), dir.Sub("single")));
  EXPECT_EQ(ReadAll(dir.Sub("single/PROJECT.SET")), "p");
  EXPECT_TRUE(ShellCopyFiles(dir.Sub("tmpl"), dir.Sub("whole")));
  EXPECT_EQ(ReadAll(dir.Sub("whole/tmpl/dev/DEVICE.SET")), "d");
  EXPECT_FALSE(ShellCopyFiles(dir.Sub("nothing"), dir.Sub("x")));
  EXPECT_FALSE(ShellCopyFiles("", dir.Sub("x")));
}

TEST(DeleteFiles, MovesMatchesToTheTrashAndRefusesProtectedOnes) {
  hvtest::UsePrivateTrash();
  hvtest::TempDir dir;
  WriteAll(dir.Sub("tmp/TAV1.TMP"), "1");
  WriteAll(dir.Sub("tmp/tav2.tmp"), "2");
  WriteAll(dir.Sub("tmp/other.txt"), "o");
  WriteAll(dir.Sub("tmp/TAVDIR.TMP/inside"), "i");

  EXPECT_TRUE(DeleteFiles(wxString(), TRUE, dir.Sub("tmp\\TAV*.TMP")));
  EXPECT_FALSE(LExists(dir.Sub("tmp/TAV1.TMP")));
  EXPECT_FALSE(LExists(dir.Sub("tmp/tav2.tmp")));
  EXPECT_TRUE(LExists(dir.Sub("tmp/other.txt")));
  EXPECT_TRUE(LExists(dir.Sub("tmp/TAVDIR.TMP/inside")));   // files only
  EXPECT_TRUE(DeleteFiles("Titel", FALSE, dir.Sub("tmp/TAV*.TMP")));
  EXPECT_FALSE(LExists(dir.Sub("tmp/TAVDIR.TMP")));
  // Nothing left to match is success; a single name works as well.
  EXPECT_TRUE(DeleteFiles(wxString(), FALSE, dir.Sub("tmp/TAV*.TMP")));
  EXPECT_TRUE(DeleteFiles(wxString(), FALSE, dir.Sub("tmp/OTHER.TXT")));
  EXPECT_FALSE(LExists(dir.Sub("tmp/other.txt")));
  EXPECT_TRUE(DeleteFiles(wxString(), FALSE, dir.Sub("tmp")));
  EXPECT_FALSE(LExists(dir.Sub("tmp")));

  EXPECT_FALSE(DeleteFiles(wxString(), FALSE, ""));
  EXPECT_FALSE(DeleteFiles(wxString(), FALSE, "tmp/*.*"));
  // One protected match refuses the whole call before anything is touched.
  WriteAll(dir.Sub("outer/a.txt"), "a");
  ASSERT_TRUE(hv::MakeFolders(dir.Sub("outer/user")));
  ScopedEnv user("HALVORA_HOME", dir.Sub("outer/user"));
  EXPECT_FALSE(DeleteFiles(wxString(), FALSE, dir.Sub("outer/*")));
  EXPECT_FALSE(DeleteFiles(wxString(), FALSE, dir.Sub("outer")));
  EXPECT_TRUE(LExists(dir.Sub("outer/a.txt")));
  EXPECT_TRUE(DeleteFiles(wxString(), TRUE, dir.Sub("outer/*")));
  EXPECT_FALSE(LExists(dir.Sub("outer/a.txt")));
  EXPECT_TRUE(hv::IsFolder(dir.Sub("outer/user")));
}

TEST(RecycleBin, ReportsWhatReallyHappened) {
  const wxString& data = hvtest::UsePrivateTrash();
  hvtest::TempDir dir;
  WriteAll(dir.Sub("gone.txt"), "x");
  wxString error;
  const hv::TrashResult r = hv::MoveToTrash(dir.Sub("gone.txt"), &error);
  if (r == hv::TrashResult::Trashed) {
    EXPECT_FALSE(LExists(dir.Sub("gone.txt")));
  } else {
    // Only a file system without a trash may refuse, and then nothing changed.
    EXPECT_EQ(r, hv::TrashResult::NotSupported) << hv::ToUtf8(error);
    EXPECT_TRUE(LExists(dir.Sub("gone.txt")));
  }
  EXPECT_EQ(hv::MoveToTrash(dir.Sub("never-there")), hv::TrashResult::NotFound);
  EXPECT_FALSE(data.empty());
}

TEST(FileExists, TestsPathsAndMasks) {
  hvtest::TempDir dir;
  WriteAll(dir.Sub("Folder/Report.PDF"), "x");
  EXPECT_TRUE(FileExists(dir.Sub("folder\\report.pdf")));
  EXPECT_TRUE(FileExists(dir.Sub("folder")));
  EXPECT_TRUE(FileExists(dir.Sub("FOLDER/*.pdf")));
  EXPECT_TRUE(FileExists(dir.Sub("FOLDER/Rep?rt.*")));
  EXPECT_FALSE(FileExists(dir.Sub("FOLDER/*.txt")));
  EXPECT_FALSE(FileExists(dir.Sub("missing/*.*")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_EQ(GetShortPath(dir.Sub("Folder/Report.PDF")), dir.Sub("Folder/Report.PDF"));
}
