// A folder copy as a long operation: progress from the worker, and a cancel that stops it.
#include <gtest/gtest.h>

#include "framework/FolderCopy.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

TEST(FolderCopy, ReportsEveryFileAndEndsAtAHundredPercent) {
  hvtest::TempDir dir;
  for (int i = 0; i < 25; ++i) hvtest::WriteAll(dir.Sub(wxString::Format("von/t%d/f%d.txt", i % 3, i)), "x");
  FolderCopyOperation copy(dir.Sub("von/*.*"), dir.Sub("nach"));
  EXPECT_EQ(copy.Percent(), 0);
  ASSERT_TRUE(copy.RunToEnd());
  EXPECT_EQ(copy.FilesDone(), 25u);
  EXPECT_EQ(copy.Percent(), 100);
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("nach/t1/f4.txt")), "x");
  EXPECT_FALSE(copy.Cancelled());
}

TEST(FolderCopy, ACancelStopsAfterTheFileInHandAndReportsFailure) {
  hvtest::TempDir dir;
  for (int i = 0; i < 40; ++i) hvtest::WriteAll(dir.Sub(wxString::Format("von/f%02d.txt", i)), "x");
  FolderCopyOperation copy(dir.Sub("von/*.*"), dir.Sub("nach"));
  copy.Cancel();
  EXPECT_FALSE(copy.RunToEnd());
  EXPECT_TRUE(copy.Cancelled());
  EXPECT_FALSE(copy.Succeeded());
  EXPECT_EQ(copy.FilesDone(), 1u);
  EXPECT_EQ(hv::ListFolder(dir.Sub("nach")).size(), 1u);

  // Without a display the shell copy fails instead of copying unseen.
  hvtest::ScriptedUi ui;
  hv::Ui().Unregister<FolderCopyRequest>();
  hv::Ui().SetMissingHandler([](const char*) { return hv::kNoRunner; });
  EXPECT_FALSE(ShellCopyFiles(dir.Sub("von/*.*"), dir.Sub("leer"), wxS("Kopie")));
  EXPECT_FALSE(hv::PathExists(dir.Sub("leer")));
}
