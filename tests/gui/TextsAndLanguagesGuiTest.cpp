// Texts in the real window through the program's own text dialog, screens copied from
// one project into another through the menus, and the languages page's rule for the
// default language.
#include <gtest/gtest.h>

#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/bookctrl.h>
#include <wx/propdlg.h>
#include <wx/textctrl.h>

#include "app/ui/CheckListBox.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "framework/CommandIds.h"
#include "framework/SettingsFile.h"
#include "model/NewObjectRequests.h"
#include "model/ProjectSheet.h"
#include "model/ui/ProjectDialogs.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "resources/MaskRecords.h"
#include "resources/ResMask.h"
#include "resources/ResString.h"
#include "resources/String.h"
#include "resources/ui/DlgString.h"
#include "tests/gui/support/DialogHook.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/HardwareTree.h"

using hvtest::S;
using namespace hv::db;

namespace {

class TextsGui : public hvtest::ProjectWindowFixture {
 protected:
  CProjectListView& List() { return *frame->GetListView(); }
  BOOL RunInList(UINT id) {
    DispatchScope scope;
    return frame->Router().RouteFrom(&List().Presenter()).Execute(id);
  }
  // A project whose texts are German (default) and English.
  CPOProject* MakeProject(const wxString& projectName) {
    CPOProject* project = AddProject(folder ? folder : (folder = AddFolder(S("Anlagen"))), projectName);
    CSettingsFile set(hv::JoinPath(project->GetFolder(), "PROJECT.SET"));
    EXPECT_TRUE(set.WriteString(wxS("Languages/Fonts"), wxS("1031"), wxS("1")));
    EXPECT_TRUE(set.WriteString(wxS("Languages/Fonts"), wxS("1033"), wxS("1")));
    EXPECT_TRUE(set.WriteString(wxS("Config"), wxS("DefaultLanguage"), wxS("1031")));
    return project;
  }
  static CProjectObject* Below(CProjectObject* object, TypeCode code) {
    if (!object) return nullptr;
    object->LoadChildren();
    for (CProjectObject* child : object->GetChildren()) {
      if (child->GetTypeCode() == code) return child;
      if (CProjectObject* found = Below(child, code)) return found;
    }
    return nullptr;
  }
  void SelectRowOf(CProjectObject* object) {
    const long row = List().Presenter().FindRow(object);
    ASSERT_GE(row, 0);
    List().ClearSelection();
    List().SelectRow(static_cast<std::size_t>(row), true);
  }

  CPOPrjFolder* folder = nullptr;
};

// What the user does in the text dialog: `script` works on its controls; OK is then
// pressed once the dialog runs.
struct TextDialogScript {
  explicit TextDialogScript(std::function<void(wxDialog*, wxTextCtrl*, wxChoice*)> script)
      : hook([this, script](wxDialog* dialog) {
          auto* text = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(1002));
          auto* language = dynamic_cast<wxChoice*>(dialog->FindWindow(1029));
          if (!text || !language) return static_cast<int>(wxID_CANCEL);
          ++runs;
          // The user works in the dialog once it shows.
          dialog->CallAfter([dialog, text, language, script] {
            script(dialog, text, language);
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            ok.SetEventObject(dialog->FindWindow(wxID_OK));
            dialog->FindWindow(wxID_OK)->ProcessWindowEvent(ok);
          });
          return static_cast<int>(wxID_NONE);
        }) {}
  int runs = 0;
  hvtest::ModalDialogsAllowed shown;
  hvtest::OnDialog hook;
};

void ChooseLanguage(wxChoice* choice, WORD language) {
  int at = wxNOT_FOUND;
  for (unsigned i = 0; i < choice->GetCount(); ++i)
    if (reinterpret_cast<uintptr_t>(choice->GetClientData(i)) == language) at = static_cast<int>(i);
  ASSERT_NE(at, wxNOT_FOUND) << language;
  choice->SetSelection(at);
  wxCommandEvent e(wxEVT_CHOICE, choice->GetId());
  e.SetEventObject(choice);
  e.SetInt(at);
  choice->ProcessWindowEvent(e);
}

wxString TextOf(CPOPrjDevice* device, std::uint32_t number, std::uint16_t language) {
  wxString text;
  wtext_get_text(device->GetDeviceFolder(), number, language, text);
  return text;
}

}  // namespace

TEST_F(TextsGui, ATextIsMadeEditedAndCopiedThroughTheTextDialog) {
  CPOProject* project = MakeProject(S("Halle"));
  Open();
  CPOPrjDevice* device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  RegisterStringDialog();
  ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
    r.typeCode = TypeCode::String;
    return static_cast<int>(IDOK);
  });
  {
    TextDialogScript dialog([](wxDialog*, wxTextCtrl* text, wxChoice* language) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(language->GetClientData(language->GetSelection())), 1031u);
      EXPECT_EQ(language->GetCount(), 2u);
      text->SetValue(S("Pumpe\nan"));
      ChooseLanguage(language, 1033);
      EXPECT_TRUE(text->GetValue().empty());
      text->SetValue(S("Pump on"));
    });
    ASSERT_TRUE(SelectInTree(device));
    ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
    EXPECT_EQ(dialog.runs, 1);
  }
  auto* texts = dynamic_cast<CPOResString*>(Below(device, TypeCode::ResString));
  ASSERT_TRUE(texts);
  ASSERT_EQ(texts->GetChildCount(), 1u);
  auto* text = static_cast<CPOString*>(texts->GetChildren()[0]);
  const std::uint32_t number = text->GetTextNumber();
  EXPECT_EQ(TextOf(device, number, 1031), S("Pumpe\\nan"));   // one line stored
  EXPECT_EQ(TextOf(device, number, 1033), S("Pump on"));

  // Renamed: the default language's wording is its name; the English text is kept.
  ASSERT_TRUE(SelectInTree(texts));
  SelectRowOf(text);
  {
    TextDialogScript dialog([](wxDialog*, wxTextCtrl* text, wxChoice*) {
      EXPECT_EQ(text->GetValue(), S("Pumpe\nan"));   // two lines again
      text->SetValue(S("Pumpe aus"));
    });
    ASSERT_TRUE(RunInList(ID_STRING_EDIT));
    EXPECT_EQ(dialog.runs, 1);
  }
  EXPECT_EQ(text->GetName(), S("Pumpe aus"));
  EXPECT_EQ(TextOf(device, number, 1031), S("Pumpe aus"));
  EXPECT_EQ(TextOf(device, number, 1033), S("Pump on"));

  // Copied: the new text starts from both languages and gets a number of its own.
  SelectRowOf(text);
  {
    TextDialogScript dialog([](wxDialog*, wxTextCtrl* text, wxChoice* language) {
      EXPECT_EQ(text->GetValue(), S("Pumpe aus"));
      ChooseLanguage(language, 1033);
      EXPECT_EQ(text->GetValue(), S("Pump on"));
    });
    ASSERT_TRUE(RunInList(ID_STRING_NEW_COPY));
    EXPECT_EQ(dialog.runs, 1);
  }
  texts = dynamic_cast<CPOResString*>(Below(device, TypeCode::ResString));
  ASSERT_TRUE(texts);
  ASSERT_EQ(texts->GetChildCount(), 2u);
  std::set<std::uint32_t> numbers;
  for (CProjectObject* child : texts->GetChildren()) numbers.insert(static_cast<CPOString*>(child)->GetTextNumber());
  ASSERT_EQ(numbers.size(), 2u);
  for (std::uint32_t n : numbers) EXPECT_EQ(TextOf(device, n, 1033), S("Pump on"));
}

// A screen goes from one project's panel to another's through the tree's Copy and
// Paste, with its text in both languages and its data point found by name.
TEST_F(TextsGui, AScreenIsCopiedIntoAnotherProject) {
  CPOProject* one = MakeProject(S("Halle 1"));
  CPOProject* two = MakeProject(S("Halle 2"));
  Open();
  CPOPrjDevice* first = MakeDevice(one, S("Panel"));
  CPOPrjDevice* second = MakeDevice(two, S("Panel"));
  ASSERT_TRUE(first && second);
  const wxString a = first->GetDeviceFolder();
  const wxString b = second->GetDeviceFolder();
  std::uint32_t text = 0, point = 0;
  {
    Table t;
    ASSERT_TRUE(t.open(a, TextwSchema()));
    for (auto [language, wording] : {std::pair<WORD, const wchar_t*>{1031, L"Ventil"}, {1033, L"Valve"}}) {
      TextwRow row;
      row.number = text;
      row.language = language;
      row.text = wording;
      ASSERT_TRUE(wtext_insert(t, row));
      text = row.number;
    }
    for (const wxString& folder : {a, b}) {
      Table d;
      ASSERT_TRUE(d.open(folder, DatpktSchema()));
      DatpktRow row;
      row.name = S("Ventil1");
      ASSERT_TRUE(datpkt_insert(d, row));
      point = row.id;
    }
    Table m;
    ASSERT_TRUE(m.open(a, MskfldSchema()));
    MaskField header;
    header.name = S("Start");
    ASSERT_TRUE(msk_fld_insert_quick(m, header));
    MaskField element;
    element.name = S("Start");
    element.setNumber(1);
    element.setType(2);
    element.setU32(84, 1);
    element.setU32(88, text);
    ASSERT_TRUE(msk_fld_insert_quick(m, element));
  }
  auto* screens = Below(first, TypeCode::ResMask);
  ASSERT_TRUE(screens);
  screens->LoadChildren();
  CProjectObject* start = hvtest::ChildNamed(screens, S("Start"));
  ASSERT_TRUE(start);
  ASSERT_TRUE(SelectInTree(start));
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));

  // The other panel has no screens yet: paste on the panel makes its folder.
  ASSERT_TRUE(SelectInTree(second));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  Table m;
  ASSERT_TRUE(m.open(b, MskfldSchema()));
  const auto records = maskrec::ScreenRecords(m, S("Start"));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].u32(84), point);
  const std::uint32_t pasted = records[1].u32(88);
  EXPECT_EQ(TextOf(second, pasted, 1031), S("Ventil"));
  EXPECT_EQ(TextOf(second, pasted, 1033), S("Valve"));
  auto* pastedScreens = Below(second, TypeCode::ResMask);
  ASSERT_TRUE(pastedScreens);
  EXPECT_TRUE(hvtest::ChildNamed(pastedScreens, S("Start")));
}

// Clicking the default language's box on the languages page is refused and the box
// stays checked; selecting an item sets the buttons, a double click is "Ändern".
TEST(LanguagesPageGui, TheDefaultLanguagesBoxCannotBeCleared) {
  hvtest::TempHome home;
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" + hv::ToUtf8(hvtest::SourceDataFolder()) + "\"\n");
  hv::Ui().Reset();
  std::vector<UINT> messages;
  hv::Ui().SetMessageHandler([&](UINT id, const wxString&, UINT) {
    messages.push_back(id);
    return static_cast<int>(IDOK);
  });
  RegisterProjectDialogs();
  hv::db::dbank_open();
  const wxString folder = home.Sub("Linie");
  hv::MakeFolders(folder);
  hvtest::WriteAll(hv::JoinPath(folder, "PROJECT.SET"),
                   "[Config]\r\nDefaultLanguage=1031\r\n[Languages/Fonts]\r\n1031=1\r\n1033=0\r\n40000=0\r\n"
                   "[DefLanguages]\r\n40000=Klingonisch\r\n");
  {
    CPOProject project("Linie", folder);
    ProjectSheetController controller(project);
    ProjectSheetRequest request{"Einstellungen", &controller};
    bool checked = false;
    wxString modified;
    hvtest::ModalDialogsAllowed shown;
    hvtest::OnDialog hook([&](wxDialog* dialog) {
      // "Sprache ändern", opened by the double click.
      if (dialog->GetId() == 157) {
        if (auto* name = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(1136))) modified = name->GetValue();
        return static_cast<int>(wxID_CANCEL);
      }
      dialog->CallAfter([&, dialog] {
        auto* sheet = dynamic_cast<wxPropertySheetDialog*>(dialog);
        ASSERT_TRUE(sheet);
        sheet->GetBookCtrl()->SetSelection(1);   // "Sprachen"
        // Whatever fails below, the sheet closes.
        struct Close {
          wxDialog* dialog;
          ~Close() { dialog->EndModal(wxID_CANCEL); }
        } close{dialog};
        auto* list = dynamic_cast<CECheckListBox*>(dialog->FindWindow(1047));
        ASSERT_TRUE(list);
        ASSERT_TRUE(hvtest::PumpUntil([&] { return list->IsShownOnScreen(); }));
        int german = -1, english = -1, klingon = -1;
        for (int i = 0; i < list->GetCount(); ++i) {
          if (list->GetItemData(i) == 1031) german = i;
          if (list->GetItemData(i) == 1033) english = i;
          if (list->GetItemData(i) == 40000) klingon = i;
        }
        ASSERT_GE(german, 0);
        ASSERT_GE(english, 0);
        ASSERT_GE(klingon, 0);
        EXPECT_EQ(list->GetTextValue(static_cast<unsigned>(english), 2), wxS("1033"));
        EXPECT_TRUE(list->GetCheck(german));
        EXPECT_FALSE(list->GetCheck(english));
        // Selecting the default language disables removing it and making it the default.
        hvtest::ClickItem(list, german, 1);
        ASSERT_TRUE(hvtest::PumpUntil([&] { return list->GetCurSel() == german; }));
        hvtest::PumpUntilIdle();
        EXPECT_FALSE(list->GetParent()->FindWindow(1005)->IsEnabled());
        EXPECT_FALSE(list->GetParent()->FindWindow(1002)->IsEnabled());
        hvtest::ClickItem(list, german, 0);
        hvtest::PumpUntilIdle();
        EXPECT_TRUE(list->GetCheck(german));
        // Another language's box follows the click.
        hvtest::ClickItem(list, english, 0);
        EXPECT_TRUE(hvtest::PumpUntil([&] { return list->GetCheck(english); }));
        hvtest::ClickItem(list, english, 1);
        ASSERT_TRUE(hvtest::PumpUntil([&] { return list->GetCurSel() == english; }));
        hvtest::PumpUntilIdle();
        EXPECT_TRUE(list->GetParent()->FindWindow(1005)->IsEnabled());
        EXPECT_TRUE(list->GetParent()->FindWindow(1002)->IsEnabled());
        EXPECT_FALSE(list->GetParent()->FindWindow(1004)->IsEnabled());
        // A double click on a user-defined language is "Ändern".
        hvtest::ClickItem(list, klingon, 1, true);
        EXPECT_TRUE(hvtest::PumpUntil([&] { return !modified.empty(); }));
        EXPECT_EQ(modified, wxS("Klingonisch"));
        EXPECT_TRUE(list->GetParent()->FindWindow(1004)->IsEnabled());
        checked = true;
      });
      return static_cast<int>(wxID_NONE);
    });
    EXPECT_EQ(hv::Ui().Run(request), IDCANCEL);
    EXPECT_TRUE(checked);
    EXPECT_EQ(messages, std::vector<UINT>{10326});
  }
  hv::Ui().Reset();
  hv::db::DropCachedTables();
}
