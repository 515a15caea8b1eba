// The first start with an empty user folder: the naming dialog asks for the first
// project folder, refuses an empty name, and its answer becomes the first root.
#include <gtest/gtest.h>
#include <wx/modalhook.h>
#include <wx/textctrl.h>

#include <functional>

#include "app/TavProjectDoc.h"
#include "app/ui/DlgNewName.h"
#include "model/ProjectList.h"
#include "model/ProjectObject.h"
#include "platform/Ui.h"
#include "platform/dbase/Table.h"
#include "tests/support/TestEnv.h"

namespace {

// Answers every CDlgNewName with the next text, as a user typing and pressing OK.
class TypeIntoNewName : public wxModalDialogHook {
 public:
  explicit TypeIntoNewName(std::vector<wxString> texts) : m_texts(std::move(texts)) { Register(); }
  ~TypeIntoNewName() override { Unregister(); }
  std::vector<wxString> proposals;
  int okRefused = 0;

 protected:
  int Enter(wxDialog* dialog) override {
    auto* dlg = dynamic_cast<CDlgNewName*>(dialog);
    if (!dlg) return wxID_NONE;
    auto* edit = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1025));
    if (!edit || m_texts.empty()) return wxID_CANCEL;
    proposals.push_back(edit->GetValue());
    edit->SetValue(m_texts.front());
    m_texts.erase(m_texts.begin());
    if (!dlg->Validate() || !dlg->TransferDataFromWindow()) {
      ++okRefused;
      return Enter(dialog);   // the dialog stays open: type the next text
    }
    return wxID_OK;
  }
  void Exit(wxDialog*) override {}

 private:
  std::vector<wxString> m_texts;
};

}  // namespace

TEST(FirstFolderGui, NamingDialogMakesTheFirstFolder) {
  hvtest::TempHome home;
  hv::Ui().Reset();
  std::vector<UINT> messages;
  hv::Ui().SetMessageHandler([&](UINT id, const wxString&, UINT) {
    messages.push_back(id);
    return static_cast<int>(IDOK);
  });
  CDlgNewName::Register();
  {
    TypeIntoNewName typing({wxString(), wxS("Kunden")});
    CTavProjectDoc doc;
    doc.SetProjectListSource(std::make_unique<CProjectListSource>());
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_EQ(doc.GetRootCount(), 1u);
    EXPECT_EQ(doc.GetRoot(0)->GetName(), "Kunden");
    EXPECT_EQ(typing.proposals.front(), "Neuer Ordner 1");
    EXPECT_EQ(typing.okRefused, 1);
    EXPECT_EQ(messages, std::vector<UINT>{10523});   // the empty name was refused
  }
  hv::Ui().Reset();
  hv::db::DropCachedTables();
}

TEST(FirstFolderGui, CancelledNamingDialogEndsStartUp) {
  hvtest::TempHome home;
  hv::Ui().Reset();
  CDlgNewName::Register();
  {
    TypeIntoNewName typing({});   // nothing typed: Cancel
    CTavProjectDoc doc;
    doc.SetProjectListSource(std::make_unique<CProjectListSource>());
    EXPECT_FALSE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetRootCount(), 0u);
  }
  hv::Ui().Reset();
  hv::db::DropCachedTables();
}
