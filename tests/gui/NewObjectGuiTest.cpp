// "&Neu..." on a real device in the real window: the new-object dialog offers the kinds
// the device's configuration allows, with their images, and each kind this version
// builds makes its object.
#include <gtest/gtest.h>

#include <wx/treectrl.h>

#include <algorithm>
#include <set>

#include "app/ui/SmallDialogs.h"
#include "framework/LocalTables.h"
#include "framework/MissingDialog.h"
#include "model/NewObjectRequests.h"
#include "model/FieldBusRequests.h"
#include "model/Network.h"
#include "platform/ShellOpen.h"
#include "model/ObjectFactory.h"
#include "resources/ResourceRequests.h"
#include "tests/gui/support/ProjectWindow.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
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
std::vector<CProjectObject*> OfKind(CProjectObject* object, TypeCode code) {
  std::vector<CProjectObject*> out;
  for (CProjectObject* child : object->GetChildren()) {
    if (child->GetTypeCode() == code) out.push_back(child);
    for (CProjectObject* below : OfKind(child, code)) out.push_back(below);
  }
  return out;
}

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

namespace {

const hvtest::DeviceAnswers kCombo{S("Combo"), S("COMBO_C167"), S("COMBO167"), S("SIMNET")};

// A combined panel and controller, open in the tree, whose resources folder holds its
// fonts only; every name asked is answered with `name`.
class NewInFolderGui : public NewObjectGui {
 protected:
  void SetUp() override {
    CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
    Open();
    AnswerNewDevice(kCombo);
    device = MakeDevice(project, kCombo.name);
    ASSERT_TRUE(device);
    TreeChildren(device);
    resources = ChildNamed(device, S("Ressourcen"));
    ASSERT_TRUE(resources);
    ASSERT_EQ(TreeChildren(resources), std::vector<wxString>{S("Fonts")});
    ui.AllowAnyMessage(IDOK);
    Answer<NewNameRequest>();
    Answer<NewNameAndLogIdRequest>();
    Answer<NewBitmapAndLogIdRequest>();
    ui.Answer<hv::NetworkDialogRequest>([this](hv::NetworkDialogRequest& r) {
      r.network->SetName(name);
      return static_cast<int>(IDOK);
    });
    // The files made for new objects open in their editors: here nothing opens.
    ui.Answer<hv::ShellOpenRequest>([](hv::ShellOpenRequest&) { return static_cast<int>(IDOK); });
  }
  template <class Request>
  void Answer() {
    ui.Answer<Request>([this](Request& r) {
      r.name = name;
      return static_cast<int>(IDOK);
    });
  }
  // The object of the kind made under `name` (files keep their extension).
  CProjectObject* Made(TypeCode kind) {
    for (CProjectObject* o : OfKind(device, kind))
      if (o->GetName().Upper().StartsWith(name.Upper())) return o;
    return nullptr;
  }
  std::vector<CProjectObject*> SelectedRows() {
    std::vector<CProjectObject*> out;
    for (const ObjectRef& ref : frame->GetListView()->Presenter().SelectedObjects()) out.push_back(ref.Get());
    return out;
  }
  // Where the new object is shown: the tree selects the grouping folder it went into,
  // which its holder's item shows, and the list selects the object there.
  void ExpectShown(CProjectObject* made, const std::string& what) {
    CProjectObject* folder = made->GetParent();
    EXPECT_EQ(folder->GetTypeCode(), GetParentTypeCode(made->GetTypeCode())) << what;
    const std::vector<wxString> items = ItemsShown(folder->GetParent());
    EXPECT_NE(std::find(items.begin(), items.end(), folder->GetName()), items.end()) << what;
    EXPECT_EQ(Tree().Presenter().GetSelectedObject(), folder) << what;
    EXPECT_EQ(SelectedRows(), std::vector<CProjectObject*>{made}) << what;
  }

  CPOPrjDevice* device = nullptr;
  CProjectObject* resources = nullptr;
  wxString name;
};

}  // namespace

// "Neu..." on the closed resources folder and the closed device: each kind goes into its
// grouping folder, made for it where missing (the screens folder first), and is shown
// there.
TEST_F(NewInFolderGui, NewObjectsOnAClosedItemGoIntoTheirGroupingFolders) {
  struct Case {
    CProjectObject* at;
    TypeCode kind;
  };
  int n = 0;
  for (const Case& c : {Case{resources, TypeCode::Mask}, Case{resources, TypeCode::Bitmap},
                        Case{resources, TypeCode::Font}, Case{device, TypeCode::Mask},
                        Case{device, TypeCode::Network}, Case{device, TypeCode::Html}}) {
    name = wxString::Format("Neu%d", ++n);
    const std::string what = name.utf8_str().data();
    ASSERT_TRUE(SelectInTree(c.at)) << what;
    Tree().Collapse(Tree().ItemOf(c.at));
    UseRealDialog(nullptr, c.kind);
    EXPECT_TRUE(RunInTree(ID_OBJECT_NEW)) << what;
    hvtest::PumpUntilIdle();
    CProjectObject* made = Made(c.kind);
    ASSERT_TRUE(made) << what;
    ExpectShown(made, what);
  }
  // One screens folder took both screens.
  EXPECT_EQ(OfKind(device, TypeCode::ResMask).size(), 1u);
  CProjectObject* screens = ChildNamed(resources, S("Masken"));
  ASSERT_TRUE(SelectInTree(screens));
  EXPECT_EQ(TreeChildren(screens), (std::vector<wxString>{S("Neu1"), S("Neu4")}));
}

// "Neu..." on the resources row of the device's list, the folder closed in the tree: the
// screens folder made in it, and then one the tree has no item for, are opened.
TEST_F(NewInFolderGui, ANewObjectFromTheListIsShownInItsClosedFolder) {
  for (const wxString& screen : {S("Start"), S("Zwei")}) {
    name = screen;
    ASSERT_TRUE(SelectInTree(device));
    Tree().Collapse(Tree().ItemOf(resources));
    CProjectListView& list = *frame->GetListView();
    const long row = list.Presenter().FindRow(resources);
    ASSERT_GE(row, 0);
    list.ClearSelection();
    list.SelectRow(static_cast<std::size_t>(row), true);
    UseRealDialog(nullptr, TypeCode::Mask);
    DispatchScope scope;
    EXPECT_TRUE(frame->Router().RouteFrom(&list.Presenter()).Execute(ID_OBJECT_NEW));
  }
  hvtest::PumpUntilIdle();
  name = S("Zwei");
  CProjectObject* made = Made(TypeCode::Mask);
  ASSERT_TRUE(made);
  ExpectShown(made, "Zwei");
  EXPECT_EQ(ItemsShown(made->GetParent()), (std::vector<wxString>{S("Start"), S("Zwei")}));
}
