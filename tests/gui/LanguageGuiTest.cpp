// The chosen language reaches the toolkit's own texts (stock buttons), and the language
// chooser offers language names, not codes.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choicdlg.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/modalhook.h>
#include <wx/sizer.h>
#include <wx/translation.h>

#include "app/TavProjectApp.h"
#include "app/ui/App.h"
#include "app/ui/Dialogs.h"
#include "framework/LocalTables.h"
#include "platform/Localization.h"
#include "platform/Ui.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"

namespace {

wxString CancelLabel() {
  wxDialog dlg(nullptr, wxID_ANY, "x");
  dlg.SetSizer(dlg.CreateButtonSizer(wxOK | wxCANCEL));
  auto* cancel = dynamic_cast<wxButton*>(dlg.FindWindow(wxID_CANCEL));
  return cancel ? wxStripMenuCodes(cancel->GetLabel()) : wxString();
}

// Reads the chooser's entries and cancels it.
class ReadChooser : public wxModalDialogHook {
 public:
  ReadChooser() { Register(); }
  ~ReadChooser() override { Unregister(); }
  std::vector<wxString> entries;

 protected:
  int Enter(wxDialog* dialog) override {
    if (auto* chooser = dynamic_cast<wxSingleChoiceDialog*>(dialog))
      for (wxWindow* child : chooser->GetChildren())
        if (auto* list = dynamic_cast<wxListBox*>(child))
          for (unsigned i = 0; i < list->GetCount(); ++i) entries.push_back(list->GetString(i));
    return wxID_CANCEL;
  }
  void Exit(wxDialog*) override {}
};

}  // namespace

TEST(LanguageGui, TheToolkitsStockButtonsFollowTheProgramsLanguage) {
  ApplyToolkitLanguage(0);
  EXPECT_EQ(CancelLabel(), "Abbrechen");
  ApplyToolkitLanguage(1);
  EXPECT_EQ(CancelLabel(), "Cancel");
  wxTranslations::Set(nullptr);
}

TEST(LanguageGui, TheChooserOffersLanguageNames) {
  hvtest::TempHome home;
  hv::ResetLanguage();
  BuildLocalizedTables();
  hv::Ui().Reset();
  RegisterAppDialogs();
  {
    ReadChooser reading;
    CTavProjectApp app;
    app.OnSelectLanguage();
    EXPECT_EQ(reading.entries, (std::vector<wxString>{wxS("Deutsch"), wxS("Englisch (USA)")}));
  }
  hv::Ui().Reset();
}
