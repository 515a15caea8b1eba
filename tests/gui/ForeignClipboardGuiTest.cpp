// Another program holds the clipboard (a file manager after "Copy", another copy of the
// program): it answers at once, slowly, or not at all. The window keeps answering, a
// dialog opened meanwhile comes and goes, the paste command's state never waits for
// that program, and paste is offered alike by the toolbar, the menus and Ctrl+V.
#include <gtest/gtest.h>

#include <wx/dialog.h>
#include <wx/timer.h>
#include <wx/toolbar.h>

#include <chrono>
#include <thread>

#include "app/ui/MainFrame.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/ProjectTreeView.h"
#include "framework/CommandIds.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/gui/support/ClipboardOwner.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::S;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

class ForeignClipboardGui : public hvtest::ProjectWindowFixture {
 protected:
  ForeignClipboardGui() {
    file = home.Sub("Lieferschein.pdf");
    hvtest::WriteAll(file, "%PDF-1.4 Lieferschein");
  }
  // Projects with their documentation node, which takes files from the clipboard.
  CProjectOperations withDocuments;
  hv::ServiceOverride<hv::IProjectOperations> boundDocuments{&withDocuments};
  wxString file;

  bool PasteOnToolbar() { return frame->GetToolBar()->GetToolEnabled(ToolkitId(ID_EDIT_PASTE)); }
  // The state the menu bar's "Bearbeiten" and the accelerator go by: the active view's.
  bool PasteInMenuBar() { return frame->Router().RouteFrom(nullptr).IsEnabled(ID_EDIT_PASTE) != FALSE; }
  // Ctrl+V as the accelerator table hands it to the window.
  void PressCtrlV() {
    wxCommandEvent event(wxEVT_MENU, ToolkitId(ID_EDIT_PASTE));
    frame->ProcessWindowEvent(event);
    hvtest::PumpUntilIdle();
  }
  wxString Pasted(CPOProject* project) { return hv::JoinPath(project->GetFolder(), "Documentation/Lieferschein.pdf"); }

  // A question opens over the window a moment after `check` started, asks the paste
  // command's state as its idle time does, and closes. True when it came and went.
  bool DialogComesAndGoesDuring(const std::function<void()>& check, int* ticks) {
    hvtest::ModalDialogsAllowed allowed;
    bool closed = false;
    wxTimer ticker;
    ticker.Bind(wxEVT_TIMER, [ticks](wxTimerEvent&) { ++*ticks; });
    ticker.Start(20);
    wxTimer opener;
    opener.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      wxDialog question(frame, wxID_ANY, S("Datei überschreiben?"));
      wxTimer closer;
      closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        frame->GetToolBar()->UpdateWindowUI();
        question.EndModal(wxID_NO);
      });
      closer.StartOnce(200);
      question.ShowModal();
      closed = true;
    });
    opener.StartOnce(50);
    check();
    const bool done = hvtest::PumpUntil([&] { return closed; }, 60s);
    ticker.Stop();
    return done;
  }
};

}  // namespace

// A hung owner, and one that tells its formats but never hands out the files: the checks
// answer at once, a question opens and closes over the window meanwhile, timers keep
// running, and paste is not offered for files nobody can read.
TEST_F(ForeignClipboardGui, StateChecksAnswerAtOnceWhileTheOwnerDoesNotAnswer) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  ASSERT_TRUE(SelectInTree(project));
  for (const char* mode : {"never", "no-data"}) {
    hvtest::ClipboardOwner owner(home, mode, {hv::ToUtf8(file)});
    ASSERT_TRUE(owner.Owning()) << mode;
    hvtest::Pump(100ms);
    // Asked anew, as after a menu opened.
    clipboard.Invalidate();
    int ticks = 0;
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(DialogComesAndGoesDuring(
        [&] {
          for (int i = 0; i < 5; ++i) {
            EnabledInTree(ID_EDIT_PASTE);
            frame->GetToolBar()->UpdateWindowUI();
          }
        },
        &ticks))
        << mode;
    // The toolkit gives up on an owner after 30 s: a check that waited took that long.
    EXPECT_LT(SecondsSince(start), 15.0) << mode;
    EXPECT_GE(ticks, 3) << mode;
    hvtest::Pump(300ms);
    EXPECT_FALSE(EnabledInTree(ID_EDIT_PASTE)) << mode;
    EXPECT_FALSE(PasteOnToolbar()) << mode;
  }
}

// A slow owner: once its answers are in, the toolbar, the menus and Ctrl+V offer the
// paste without a menu having been opened, and the files arrive in the project's
// documentation folder.
TEST_F(ForeignClipboardGui, FilesOfAnotherProgramArePastedByTheToolbarAndCtrlVAsByTheMenus) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  ASSERT_TRUE(SelectInTree(project));
  hvtest::Pump(200ms);
  EXPECT_FALSE(PasteOnToolbar());

  hvtest::ClipboardOwner owner(home, "slow=700", {hv::ToUtf8(file)});
  ASSERT_TRUE(owner.Owning());
  ASSERT_TRUE(hvtest::PumpUntil([&] { return PasteOnToolbar(); }, 30s));
  EXPECT_TRUE(PasteInMenuBar());
  EXPECT_TRUE(EnabledInTree(ID_EDIT_PASTE));   // the tree's context menu
  PressCtrlV();
  EXPECT_EQ(hvtest::ReadAll(hv::ResolvePath(Pasted(project))), "%PDF-1.4 Lieferschein");
}

// Objects another copy of the program holds but does not hand out: the paste waits a
// bounded time for them and pastes nothing; a second paste asked while it waits returns
// at once, and the clipboard is never opened twice.
TEST_F(ForeignClipboardGui, APasteWaitsABoundedTimeForObjectsThatDoNotCome) {
  CPOPrjFolder* folder = AddFolder(S("Anlagen"));
  Open();
  ASSERT_TRUE(SelectInTree(folder));
  hvtest::ClipboardOwner owner(home, "no-data", {"--objects=POCT21000000", hv::ToUtf8(file)});
  ASSERT_TRUE(owner.Owning());
  clipboard.Invalidate();
  ASSERT_TRUE(hvtest::PumpUntil([&] { return EnabledInTree(ID_EDIT_PASTE) != FALSE; }, 30s));

  bool again = false;
  double againSeconds = -1;
  wxTimer second;
  second.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    const Clock::time_point at = Clock::now();
    RunInTree(ID_EDIT_PASTE);
    againSeconds = SecondsSince(at);
    again = true;
  });
  second.StartOnce(300);
  ui.ExpectMessage(13957);
  const Clock::time_point start = Clock::now();
  RunInTree(ID_EDIT_PASTE);
  const double waited = SecondsSince(start);
  EXPECT_GE(waited, WxClipboardStore::kReadLimitMs / 1000.0 - 0.5);
  EXPECT_LT(waited, WxClipboardStore::kReadLimitMs / 1000.0 + 10.0);
  ASSERT_TRUE(again);
  EXPECT_LT(againSeconds, 2.0);
  EXPECT_EQ(folder->GetChildCount(), 0u);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// The program itself, as it starts: a hung program holding the clipboard does not keep
// it from closing when asked.
TEST(ForeignClipboardProgram, AHungClipboardOwnerDoesNotStopTheProgram) {
  hvtest::TempHome home;
  const std::string folder = hvtest::SeedCurrentProject(home, "Anlage");
  // The project is selected at start: the paste state is asked for it.
  home.WriteSystemRegistry("[SOFTWARE\\Quintor\\TavGraph]\n\"PROJECTNAME\"=\"Anlage\"\n\"PROJECTPATH\"=\"" + folder +
                           "\"\n\"PROJECTFULLPATH\"=\"Projekte\\\\Anlage\"\n");
  hvtest::ClipboardOwner owner(home, "never", {"/tmp/Lieferschein.pdf"});
  ASSERT_TRUE(owner.Owning());
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_GT(app.Pid(), 0);
  ASSERT_TRUE(hvtest::WaitFor([&app] { return hvtest::WindowExists("Halvora") || !app.Running(); }, 30s));
  ASSERT_TRUE(app.Running()) << app.Errors();
  // Its toolbar, shown a moment after the window, has asked for the paste state by now.
  std::this_thread::sleep_for(4s);
  app.Terminate();
  EXPECT_GE(app.WaitExit(20s), 0) << app.Errors();
}
