// main() of every GUI test program: starts wx once on the private Xvfb that the
// launcher script gave this process, and turns asserts and stray modal dialogs into
// test failures instead of hangs.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/modalhook.h>

#include "app/ui/App.h"
#include "framework/ui/DialogLayout.h"
#include "tests/support/TestServices.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "tests/gui/support/WindowFixture.h"

namespace {

class FailOnModal : public wxModalDialogHook {
 protected:
  int Enter(wxDialog* dialog) override {
    if (hvtest::ModalDialogsAllowed::Active()) return wxID_NONE;
    ADD_FAILURE() << "unexpected modal dialog: " << dialog->GetTitle().utf8_str().data();
    return wxID_CANCEL;
  }
  void Exit(wxDialog*) override {}
};

class WxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "guitest";
    static char* argv[] = {name, nullptr};
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
      std::fprintf(stderr, "wx failed to start\n");
      std::exit(2);
    }
    wxLog::SetActiveTarget(new wxLogStderr);
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                          const wxString& msg) {
      ADD_FAILURE() << "wx assert " << file.utf8_str().data() << ":" << line << " " << func.utf8_str().data()
                    << " " << cond.utf8_str().data() << " " << msg.utf8_str().data();
    });
    m_hook.Register();
    hvtest::BindTestServices(&WxEventLoop());
    // As the program's start-up does.
    OrderTabsWhenDialogsOpen();
  }
  void TearDown() override {
    m_hook.Unregister();
    wxEntryCleanup();
  }

 private:
  FailOnModal m_hook;
};

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  bool listing = false;
  for (int i = 1; i < argc; ++i) listing = listing || std::strstr(argv[i], "gtest_list_tests");
  if (!listing) ::testing::AddGlobalTestEnvironment(new WxEnvironment);
  return RUN_ALL_TESTS();
}
