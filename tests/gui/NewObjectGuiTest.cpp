// "&Neu..." on a real device in the real window: the new-object dialog offers the kinds
// the device's configuration allows, with their images, and each kind this version
// builds makes its object.
#include <gtest/gtest.h>

#include <wx/treectrl.h>

#include <set>

#include "app/ui/SmallDialogs.h"
#include "framework/LocalTables.h"
#include "framework/MissingDialog.h"
#include "model/NewObjectRequests.h"
#include "model/ObjectFactory.h"
#include "resources/ResourceRequests.h"
#include "tests/gui/support/ProjectWindow.h"
#include "app/ui/MainFrame.h"
#include "tests/gui/support/DialogHook.h"
#include "tests/gui/support/UserInput.h"
#include "model/NewObjectKinds.h"
#include "app/ui/Dialogs.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

struct Offered {
  TypeCode code;
  wxString name;
  bool image;
};

TypeCode CodeNamed(const wxString& name) {
  for (const PO_CLASSES& row : GetObjectClasses())
    if (row.typeCode != 0 && row.name == name) return static_cast<TypeCode>(row.typeCode);
  return TypeCode::None;
}

// The objects of a kind anywhere below `object`.
int CountOfKind(CProjectObject* object, TypeCode code) {
  int n = 0;
  for (CProjectObject* child : object->GetChildren()) {
    if (child->GetTypeCode() == code) ++n;
    n += CountOfKind(child, code);
  }
  return n;
}

class NewObjectGui : public hvtest::ProjectWindowFixture {
 protected:
  // The program's own dialog reads the kinds; `choose` is then selected and taken.
  void UseRealDialog(std::vector<Offered>* seen, TypeCode choose) {
    ui.Answer<NewObjectRequest>([this, seen, choose](NewObjectRequest& r) {
      CDlgNewObject dlg(frame, r);
      auto* tree = dynamic_cast<wxTreeCtrl*>(dlg.FindWindow(1023));
      EXPECT_TRUE(tree);
      if (!tree) return static_cast<int>(IDCANCEL);
      wxTreeItemIdValue cookie;
      wxTreeItemId chosen;
      for (wxTreeItemId item = tree->GetFirstChild(tree->GetRootItem(), cookie); item.IsOk();
           item = tree->GetNextChild(tree->GetRootItem(), cookie)) {
        const wxString name = tree->GetItemText(item);
        const int image = tree->GetItemImage(item);
        if (seen) seen->push_back({CodeNamed(name), name, image >= 0 && tree->GetImageList() &&
                                                              image < tree->GetImageList()->GetImageCount()});
        if (CodeNamed(name) == choose) chosen = item;
      }
      if (!chosen.IsOk()) return static_cast<int>(IDCANCEL);
      tree->SelectItem(chosen);
      dlg.TransferDataFromWindow();
      return static_cast<int>(IDOK);
    });
  }
};

}  // namespace

TEST_F(NewObjectGui, NewOnAPanelOffersWhatItsConfigurationAllowsAndMakesEachKind) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  CPOPrjDevice* device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);

  // The program's own dialog lists the kinds the panel's configuration allows.
  std::vector<Offered> offered;
  UseRealDialog(&offered, TypeCode::None);
  ASSERT_TRUE(SelectInTree(device));
  RunInTree(ID_OBJECT_NEW);
  std::set<TypeCode> codes;
  for (const Offered& o : offered) {
    codes.insert(o.code);
    EXPECT_TRUE(o.image) << o.name;
  }
  for (TypeCode code : {TypeCode::Mask, TypeCode::String, TypeCode::Bitmap, TypeCode::Font, TypeCode::Menu,
                        TypeCode::RecipeDef, TypeCode::AlarmDef, TypeCode::Html})
    EXPECT_TRUE(codes.count(code)) << ToUInt(code);
  // Its firmware is too old for data loggers.
  EXPECT_FALSE(codes.count(TypeCode::DataLoger));

  // Each kind makes its object, or the user is told this version cannot; a kind whose
  // dialog is not in this version says so as the program does.
  hv::Ui().SetMissingHandler([](const char* what) { return ReportMissingDialog(what); });
  ui.AllowAnyMessage(IDOK);
  int n = 0;
  ui.Answer<NewNameRequest>([&n](NewNameRequest& r) {
    r.name = wxString::Format("Neu%d", ++n);
    return static_cast<int>(IDOK);
  });
  ui.Answer<NewNameAndLogIdRequest>([&n](NewNameAndLogIdRequest& r) {
    r.name = wxString::Format("Neu%d", ++n);
    return static_cast<int>(IDOK);
  });
  ui.Answer<NewBitmapAndLogIdRequest>([&n](NewBitmapAndLogIdRequest& r) {
    r.name = wxString::Format("Neu%d", ++n);
    return static_cast<int>(IDOK);
  });
  ui.Answer<NewKeypadRequest>([&n](NewKeypadRequest& r) {
    r.name = wxString::Format("Neu%d", ++n);
    return static_cast<int>(IDOK);
  });
  for (const Offered& o : offered) {
    if (o.code == TypeCode::PrjDevice) continue;
    const int before = CountOfKind(device, o.code);
    const size_t told = ui.MessageIds().size();
    UseRealDialog(nullptr, o.code);
    ASSERT_TRUE(SelectInTree(device));
    RunInTree(ID_OBJECT_NEW);
    const bool made = CountOfKind(device, o.code) == before + 1;
    bool notAvailable = false;
    for (size_t i = told; i < ui.MessageIds().size(); ++i)
      notAvailable = notAvailable || ui.MessageIds()[i] == 10960 || ui.MessageIds()[i] == TXT_FUNCTION_NOT_AVAILABLE;
    EXPECT_TRUE(made || notAvailable) << o.name;
  }
  EXPECT_EQ(CountOfKind(device, TypeCode::Mask), 1);
}

// The kind list has the keys when the dialog opens: Down and Return make the second kind,
// not the first one that OK would take.
TEST_F(NewObjectGui, TheKindListTakesTheKeysAtOnce) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  CPOPrjDevice* device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  const std::vector<NewObjectKind> kinds = NewObjectKindsFor(*device);
  ASSERT_GE(kinds.size(), 2u);
  // The program's own runner of the dialog, keys typed as the user would.
  RegisterAppDialogs();
  wxWindow* focused = nullptr;
  wxWindow* tree = nullptr;
  hvtest::ModalDialogsAllowed allow;
  hvtest::OnDialog hook([&](wxDialog* dlg) {
    dlg->CallAfter([&, dlg] {
      hvtest::PumpUntilIdle();
      focused = wxWindow::FindFocus();
      tree = dlg->FindWindow(1023);
      hvtest::PressKey(WXK_DOWN);
      hvtest::PressKey(WXK_RETURN);
      if (dlg->IsModal()) dlg->EndModal(wxID_CANCEL);
    });
    return static_cast<int>(wxID_NONE);
  });
  NewObjectRequest request{device};
  const int result = hv::Ui().Run(request);
  ASSERT_TRUE(tree);
  EXPECT_EQ(focused, tree);
  EXPECT_EQ(result, static_cast<int>(IDOK));
  EXPECT_EQ(request.typeCode, kinds[1].code);
}
