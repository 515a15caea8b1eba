// The program's progress display of a folder copy: it runs the copy to its end and
// closes again.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/toplevel.h>

#include "app/ui/Dialogs.h"
#include "framework/FolderCopy.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"

TEST(FolderCopyGui, TheProgressDisplayRunsTheCopyAndCloses) {
  hvtest::TempDir dir;
  for (int i = 0; i < 60; ++i)
    hvtest::WriteAll(dir.Sub(wxString::Format("Panel/t%d/f%02d.bin", i % 4, i)), std::string(20000, 'x'));
  hv::Ui().Reset();
  RegisterSharedDialogs();
  bool cancelled = true;
  EXPECT_TRUE(ShellCopyFiles(dir.Sub("Panel/*.*"), dir.Sub("Kopie"), wxS("Gerät 'Panel' wird kopiert."), &cancelled));
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(hvtest::ReadAll(dir.Sub("Kopie/t3/f59.bin")).size(), 20000u);
  hvtest::Pump(std::chrono::milliseconds(50));
  for (wxWindow* w : wxTopLevelWindows) EXPECT_FALSE(w->IsShown()) << w->GetLabel().utf8_str();
  hv::Ui().Reset();
}
