// Pictures, keypad files, fonts and web pages in the real window: each is made through
// "Neu...", copied under a new name with "Neue Kopie...", copied and pasted into another
// panel through the desktop's clipboard, and deleted, all through the menus' commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "framework/CommandIds.h"
#include "framework/NameDialogRequests.h"
#include "framework/NewNameRequest.h"
#include "model/NewObjectRequests.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "app/TavProjectDoc.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/Dialogs.h"
#include "resources/ResourceCommands.h"
#include "resources/ResourceRequests.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

class ResourcesGui : public hvtest::ProjectWindowFixture {
 protected:
  ResourcesGui() {
    // The editors are stand-ins that end at once.
    hvtest::WriteAll(home.Sub(wxS("Project.INI")),
                     "[Programs]\nBITMAP=true\nXML=true\nHTML=true\nFONT=true\nTTFFONT=true\n");
  }
  CProjectListView& List() { return *frame->GetListView(); }
  BOOL RunInList(UINT id) {
    DispatchScope scope;
    return frame->Router().RouteFrom(&List().Presenter()).Execute(id);
  }
  // Lists the folder and selects the row of the object named `name`.
  bool SelectRow(CProjectObject* folder, const wxString& name) {
    if (!SelectInTree(folder)) return false;
    CProjectObject* object = ChildNamed(folder, name);
    const long row = object ? List().Presenter().FindRow(object) : -1;
    if (row < 0) return false;
    List().ClearSelection();
    List().SelectRow(static_cast<std::size_t>(row), true);
    return true;
  }
  // "Neu..." on the device with the kind chosen; the names asked are answered with `name`.
  void NewOnDevice(CPOPrjDevice* device, TypeCode kind, const wxString& name) {
    ui.Answer<NewObjectRequest>([kind](NewObjectRequest& r) {
      r.typeCode = kind;
      return static_cast<int>(IDOK);
    });
    AnswerNames(name);
    ASSERT_TRUE(SelectInTree(device));
    ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  }
  void AnswerNames(const wxString& name) {
    ui.Answer<NewNameRequest>([name](NewNameRequest& r) {
      r.name = name;
      return static_cast<int>(IDOK);
    });
    ui.Answer<NewNameAndLogIdRequest>([name](NewNameAndLogIdRequest& r) {
      r.name = name;
      return static_cast<int>(IDOK);
    });
    ui.Answer<NewBitmapAndLogIdRequest>([name](NewBitmapAndLogIdRequest& r) {
      r.name = name;
      return static_cast<int>(IDOK);
    });
    ui.Answer<NewKeypadRequest>([name](NewKeypadRequest& r) {
      r.name = name;
      return static_cast<int>(IDOK);
    });
  }
  // Copy in one panel's folder, paste on the other panel (its folders are made).
  void CopyToOtherPanel(CProjectObject* folder, const wxString& name, CPOPrjDevice* other) {
    ASSERT_TRUE(SelectRow(folder, name));
    ASSERT_TRUE(RunInList(ID_EDIT_COPY));
    ASSERT_TRUE(SelectInTree(other));
    ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  }

  // The names of the rows the list shows now.
  std::vector<wxString> ListedNames() {
    std::vector<wxString> names;
    for (std::size_t row = 0; row < List().Presenter().GetRowCount(); ++row)
      if (CProjectObject* o = List().Presenter().RowObject(row)) names.push_back(o->GetName());
    std::sort(names.begin(), names.end());
    return names;
  }
  wxString DeviceFile(CPOPrjDevice* device, const char* relative) {
    return hv::ResolvePath(hv::JoinPath(device->GetDeviceFolder(), S(relative)));
  }

  struct Kind {
    TypeCode code;
    const char* typed;
    const char* made;
    const char* copy;
    std::vector<const char*> folders;   // below the device
    const char* file;                   // below the device folder
  };
};

}  // namespace

TEST_F(ResourcesGui, EachResourceIsMadeCopiedPastedAndDeletedThroughTheMenus) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  const hvtest::DeviceAnswers ce{S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")};
  AnswerNewDevice(ce);
  CPOPrjDevice* panel = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(panel);
  hvtest::DeviceAnswers second = ce;
  second.name = S("Zweites");
  AnswerNewDevice(second);
  CPOPrjDevice* other = MakeDevice(project, S("Zweites"));
  ASSERT_TRUE(other);

  const Kind kinds[] = {
      {TypeCode::Bitmap, "Logo", "Logo.bmp", "Logo2.bmp", {"Ressourcen", "Bitmaps"}, "bitmaps/"},
      {TypeCode::KeypadXML, "Tasten", "Tasten.xml", "Tasten2.xml", {"Ressourcen", "Keypads"}, "keypads/"},
      {TypeCode::Font, "Klein", "Klein.fnt", "Klein2.fnt", {"Ressourcen", "Fonts"}, "fonts/"},
      {TypeCode::Html, "start", "start.htm", "start2.htm", {"Web-Dateien"}, "web/"},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.made);
    NewOnDevice(panel, k.code, S(k.typed));
    CProjectObject* folder = panel;
    for (const char* name : k.folders) folder = folder ? ChildNamed(folder, S(name)) : nullptr;
    ASSERT_TRUE(folder);
    ASSERT_TRUE(ChildNamed(folder, S(k.made)));
    const wxString made = hv::ResolvePath(hv::JoinPath(panel->GetDeviceFolder(), S(k.file) + S(k.made)));
    EXPECT_TRUE(hv::IsFile(made));

    // "Neue Kopie..." under a new name.
    ASSERT_TRUE(SelectRow(folder, S(k.made)));
    AnswerNames(hv::PathStem(S(k.copy)));
    ASSERT_TRUE(RunInList(ID_OBJECT_NEW_COPY));
    ASSERT_TRUE(ChildNamed(folder, S(k.copy)));
    EXPECT_EQ(hvtest::ReadAll(made), hvtest::ReadAll(hv::PathFolder(made) + S("/") + S(k.copy)));

    // Copy and paste into the other panel.
    CopyToOtherPanel(folder, S(k.made), other);
    CProjectObject* target = other;
    for (const char* name : k.folders) target = target ? ChildNamed(target, S(name)) : nullptr;
    ASSERT_TRUE(target);
    ASSERT_TRUE(ChildNamed(target, S(k.made)));
    EXPECT_EQ(hvtest::ReadAll(made),
              hvtest::ReadAll(hv::ResolvePath(hv::JoinPath(other->GetDeviceFolder(), S(k.file) + S(k.made)))));

    // Delete the copy (web pages ask first).
    if (k.code == TypeCode::Html) ui.ExpectMessage(10600, IDYES);
    ASSERT_TRUE(SelectRow(folder, S(k.copy)));
    ASSERT_TRUE(RunInList(ID_OBJECT_DELETE));
    EXPECT_FALSE(ChildNamed(folder, S(k.copy)));
    EXPECT_FALSE(hv::PathExists(hv::PathFolder(made) + S("/") + S(k.copy)));
    EXPECT_TRUE(hv::IsFile(made));
  }

  // The device type's own files are shown but can be neither deleted nor cut.
  CProjectObject* fonts = ChildNamed(ChildNamed(panel, S("Ressourcen")), S("Fonts"));
  ASSERT_TRUE(fonts);
  // A TrueType font the device type supplies.
  hvtest::WriteAll(hv::ResolvePath(hv::JoinPath(panel->GetDeviceFolder(), S("Hardware"))) + S("/HvSans.ttf"), "ttf");
  ASSERT_TRUE(fonts->LoadChildren());   // as "Aktualisieren" reads the folder again
  ASSERT_TRUE(SelectRow(fonts, S("HvSans.ttf")));
  EXPECT_FALSE(frame->Router().RouteFrom(&List().Presenter()).IsEnabled(ID_OBJECT_DELETE));
  EXPECT_FALSE(frame->Router().RouteFrom(&List().Presenter()).IsEnabled(ID_EDIT_CUT));
  EXPECT_TRUE(frame->Router().RouteFrom(&List().Presenter()).IsEnabled(ID_EDIT_COPY));
  RunInList(ID_EDIT_CUT);
  EXPECT_TRUE(ChildNamed(fonts, S("HvSans.ttf")));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(ResourcesGui, WebFoldersAreCopiedIntoAnotherProjectsPanelWholeAndOnce) {
  CPOProject* halle = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  CPOProject* werk = AddProject(AddFolder(S("Werke")), S("Werk"));
  Open();
  const hvtest::DeviceAnswers ce{S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")};
  AnswerNewDevice(ce);
  CPOPrjDevice* panel = MakeDevice(halle, S("Panel"));
  ASSERT_TRUE(panel);
  hvtest::DeviceAnswers second = ce;
  second.name = S("Ziel");
  AnswerNewDevice(second);
  CPOPrjDevice* ziel = MakeDevice(werk, S("Ziel"));
  ASSERT_TRUE(ziel);
  NewOnDevice(panel, TypeCode::Html, S("index"));
  hvtest::WriteAll(DeviceFile(panel, "web/index.htm"), "<html>Start</html>");
  hvtest::WriteAll(DeviceFile(panel, "web") + S("/img/logo.gif"), "GIF89a");
  hvtest::WriteAll(DeviceFile(panel, "web") + S("/img/deep/x.htm"), "<x/>");

  // The whole web folder onto the other project's panel.
  ASSERT_TRUE(SelectRow(panel, S("Web-Dateien")));
  ASSERT_TRUE(RunInList(ID_EDIT_COPY));
  ASSERT_TRUE(SelectInTree(ziel));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_EQ("<html>Start</html>", hvtest::ReadAll(DeviceFile(ziel, "web/index.htm")));
  EXPECT_EQ("GIF89a", hvtest::ReadAll(DeviceFile(ziel, "web/img/logo.gif")));
  EXPECT_EQ("<x/>", hvtest::ReadAll(DeviceFile(ziel, "web/img/deep/x.htm")));
  const std::vector<wxString> below = TreeChildren(ziel);
  EXPECT_EQ(1, std::count(below.begin(), below.end(), S("Web-Dateien")));
  EXPECT_FALSE(hv::PathExists(DeviceFile(ziel, "web/web")));

  // Again: it asks before overwriting, and No leaves the copy as it is.
  hvtest::WriteAll(DeviceFile(ziel, "web/index.htm"), "<html>Ziel</html>");
  ui.ExpectMessage(10650, IDNO);
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_EQ("<html>Ziel</html>", hvtest::ReadAll(DeviceFile(ziel, "web/index.htm")));

  // A sub-folder into the other panel's web folder, over the copy there.
  CProjectObject* root = ChildNamed(panel, S("Web-Dateien"));
  ASSERT_TRUE(root);
  hvtest::WriteAll(DeviceFile(panel, "web/img/logo.gif"), "GIF89b");
  ASSERT_TRUE(SelectRow(root, S("img")));
  ASSERT_TRUE(RunInList(ID_EDIT_COPY));
  CProjectObject* zielRoot = ChildNamed(ziel, S("Web-Dateien"));
  ASSERT_TRUE(zielRoot);
  ASSERT_TRUE(SelectInTree(zielRoot));
  ui.ExpectMessage(10650, IDYES);
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_EQ("GIF89b", hvtest::ReadAll(DeviceFile(ziel, "web/img/logo.gif")));

  // A sub-folder pasted on the panel itself lands in its web folder, told once when refused.
  hvtest::WriteAll(DeviceFile(panel, "web") + S("/css/a.css"), "a{}");
  ASSERT_TRUE(SelectRow(root, S("css")));   // read again: made outside the program
  ASSERT_TRUE(RunInList(ID_EDIT_COPY));
  ASSERT_TRUE(SelectInTree(ziel));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_EQ("a{}", hvtest::ReadAll(DeviceFile(ziel, "web/css/a.css")));
  zielRoot = ChildNamed(ziel, S("Web-Dateien"));
  ASSERT_TRUE(zielRoot && ChildNamed(zielRoot, S("css")));
  const auto children = ziel->GetChildren();
  EXPECT_EQ(1, std::count_if(children.begin(), children.end(),
                             [](CProjectObject* c) { return c->GetTypeCode() == TypeCode::HtmlFolder; }));
  std::filesystem::remove_all(hv::ToFs(DeviceFile(panel, "web/css")));
  ui.ExpectMessage(10648);
  RunInTree(ID_EDIT_PASTE);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// A panel without a CompactFlash card lists only its web folder's files: a sub-folder
// pasted there is refused with the reason before anything is written.
TEST_F(ResourcesGui, AWebSubFolderPastedOnAPanelWithoutACardIsRefusedBeforeItIsWritten) {
  CPOProject* halle = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(halle, S("Panel"));
  ASSERT_TRUE(panel);
  AnswerNewDevice({S("Grafik"), S("KOLM_G320"), S("CAN_R515"), S("MBTCP")});
  CPOPrjDevice* grafik = MakeDevice(halle, S("Grafik"));
  ASSERT_TRUE(grafik);
  NewOnDevice(panel, TypeCode::Html, S("index"));
  hvtest::WriteAll(DeviceFile(panel, "web") + S("/img/logo.gif"), "GIF89a");
  CProjectObject* root = ChildNamed(panel, S("Web-Dateien"));
  ASSERT_TRUE(root);
  // The new page's folder is shown; the folder put there from outside shows once the
  // web folder is listed again.
  ASSERT_TRUE(SelectInTree(panel));
  ASSERT_TRUE(SelectRow(root, S("img")));
  ASSERT_TRUE(RunInList(ID_EDIT_COPY));
  ASSERT_TRUE(SelectInTree(grafik));
  ui.ExpectMessage(13945);
  RunInTree(ID_EDIT_PASTE);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().back().Contains(S("'Grafik'"))) << ui.MessageTexts().back();
  EXPECT_FALSE(hv::PathExists(DeviceFile(grafik, "web/img")));
}

TEST_F(ResourcesGui, ListsFollowTheirFoldersAfterARefresh) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(panel);
  NewOnDevice(panel, TypeCode::Font, S("Klein"));
  CProjectObject* resources = ChildNamed(panel, S("Ressourcen"));
  CProjectObject* fonts = ChildNamed(resources, S("Fonts"));
  ASSERT_TRUE(fonts);
  ASSERT_TRUE(SelectInTree(fonts));
  std::vector<wxString> listed = ListedNames();
  EXPECT_TRUE(std::find(listed.begin(), listed.end(), S("Klein.fnt")) != listed.end());
  EXPECT_TRUE(std::find(listed.begin(), listed.end(), S("Extra.ttf")) == listed.end());

  // A TrueType font copied in with the file manager shows after "Aktualisieren".
  hvtest::WriteAll(DeviceFile(panel, "fonts") + S("/Extra.ttf"), "ttf");
  ASSERT_TRUE(RunInTree(ID_VIEW_REFRESH));
  listed = ListedNames();
  EXPECT_TRUE(std::find(listed.begin(), listed.end(), S("Extra.ttf")) != listed.end());

  // Pictures put there from outside give the resources node a "Bitmaps" folder: its
  // list shows the node's children as they are now, as the tree does.
  hvtest::WriteAll(DeviceFile(panel, "bitmaps") + S("/Logo.bmp"), "BM");
  ASSERT_TRUE(SelectInTree(resources));
  ASSERT_TRUE(RunInTree(ID_VIEW_REFRESH));
  std::vector<wxString> tree = TreeChildren(resources);
  std::sort(tree.begin(), tree.end());
  EXPECT_EQ(tree, ListedNames());
  EXPECT_TRUE(std::find(tree.begin(), tree.end(), S("Bitmaps")) != tree.end());
}

// Through "Neu..." in the window with the program's own dialogs: a character a name may
// not hold is the name field's own refusal with that character selected, for a new
// project and a new font; the font's logical id beyond 65534 is put back to the bound
// under "Falscheingabe".
TEST_F(ResourcesGui, NewNamesAndLogicalIdsAreCheckedByTheirFields) {
  RegisterAppDialogs();   // as at start-up
  CPOPrjFolder* plant = AddFolder(S("Anlagen"));
  CPOProject* project = AddProject(plant, S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(panel);

  hvtest::DialogScripts user;
  std::vector<std::pair<long, long>> selections;
  wxString clamped;
  // A name handed in whole (pasted) gets past the field's typing filter; OK finds it.
  auto refuseThenRename = [&](wxDialog* dlg, const char* bad, const char* good) {
    auto* name = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1025));
    ASSERT_TRUE(name);
    name->ChangeValue(S(bad));
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
    ASSERT_TRUE(dlg->IsModal());
    long from = -1, to = -1;
    name->GetSelection(&from, &to);
    selections.emplace_back(from, to);
    ASSERT_TRUE(hvtest::TypeInto(name, S(good)));
  };
  user.Then([&](wxDialog* dlg) {
    refuseThenRename(dlg, "Pro[jekt", "Linie2");
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
  });
  ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
    r.typeCode = TypeCode::Project;
    return static_cast<int>(IDOK);
  });
  ui.ExpectMessage(10300);
  ASSERT_TRUE(SelectInTree(plant));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_TRUE(ChildNamed(plant, S("Linie2")));

  user.Then([&](wxDialog* dlg) {
    refuseThenRename(dlg, "Kl*ein", "Klein");
    auto* id = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1129));
    ASSERT_TRUE(id);
    ASSERT_TRUE(hvtest::TypeInto(id, "70000"));
    hvtest::PressKey(WXK_RETURN);
    hvtest::PumpUntil([&] { return id->GetValue() == "65534"; });
    clamped = id->GetValue();
    if (dlg->IsModal()) hvtest::ClickOn(dlg->FindWindow(wxID_OK));
  });
  ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
    r.typeCode = TypeCode::Font;
    return static_cast<int>(IDOK);
  });
  ui.ExpectMessage(10300);
  ui.ExpectMessage(10211);
  ASSERT_TRUE(SelectInTree(panel));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(selections, (std::vector<std::pair<long, long>>{{3, 4}, {2, 3}}));
  EXPECT_EQ(clamped, "65534");
  ASSERT_FALSE(ui.MessageCaptions().empty());
  EXPECT_EQ(ui.MessageCaptions().back(), "Falscheingabe");
  EXPECT_EQ(ui.MessageTexts().front(), wxS("Es wurde ein ungültiges Zeichen eingegeben!"));
  CProjectObject* fonts = ChildNamed(ChildNamed(panel, S("Ressourcen")), S("Fonts"));
  ASSERT_TRUE(fonts);
  EXPECT_TRUE(ChildNamed(fonts, S("Klein.fnt")));
}

// The name of a new web page is typed with its extension, as "index.html": the page gets
// the name's title and ".htm". A name that begins with a point or holds two in a row is
// refused with the reason and the dialog stays; other name fields still drop the point.
TEST_F(ResourcesGui, AWebPageNameIsTypedWithItsExtension) {
  RegisterAppDialogs();   // as at start-up
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(panel);
  auto newOfKind = [this](TypeCode kind) {
    ui.Answer<NewObjectRequest>([kind](NewObjectRequest& r) {
      r.typeCode = kind;
      return static_cast<int>(IDOK);
    });
  };

  hvtest::DialogScripts user;
  std::vector<wxString> typed;
  std::vector<bool> keptOpen;
  // Types the name over the field's text and confirms it once the field shows `shown`.
  auto typeAndConfirm = [&](wxDialog* dlg, const char* name, const char* shown) {
    auto* field = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1025));
    ASSERT_TRUE(field);
    hvtest::ClickOn(field);
    hvtest::PumpUntil([&] { return wxWindow::FindFocus() == field; });
    hvtest::PressKey('a', wxMOD_CONTROL);
    wxUIActionSimulator().Text(name);
    hvtest::PumpUntil([&] { return field->GetValue() == S(shown); });
    typed.push_back(field->GetValue());
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
    keptOpen.push_back(dlg->IsModal());
  };
  // Names handed in whole: what OK makes of them.
  auto confirm = [&](wxDialog* dlg, const std::vector<const char*>& names) {
    auto* field = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1025));
    ASSERT_TRUE(field);
    for (const char* name : names) {
      field->ChangeValue(S(name));
      hvtest::ClickOn(dlg->FindWindow(wxID_OK));
      keptOpen.push_back(dlg->IsModal());
    }
  };
  user.Then([&](wxDialog* dlg) { typeAndConfirm(dlg, "index.html", "index.html"); });
  newOfKind(TypeCode::Html);
  ASSERT_TRUE(SelectInTree(panel));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));

  user.Then([&](wxDialog* dlg) { confirm(dlg, {".HTML", "a..b", "Start.HTML"}); });
  ui.ExpectMessage(10607);
  ui.ExpectMessage(10607);
  newOfKind(TypeCode::Html);
  ASSERT_TRUE(SelectInTree(panel));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));

  user.Then([&](wxDialog* dlg) { typeAndConfirm(dlg, "Tas.ten", "Tasten"); });
  newOfKind(TypeCode::KeypadXML);
  ASSERT_TRUE(SelectInTree(panel));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));

  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(typed, (std::vector<wxString>{S("index.html"), S("Tasten")}));
  EXPECT_EQ(keptOpen, (std::vector<bool>{false, true, true, false, false}));
  EXPECT_EQ(ui.MessageTexts().front(),
            S("Ein Dateiname darf nicht mit einem Punkt beginnen und keine zwei Punkte hintereinander enthalten!"));
  CProjectObject* web = ChildNamed(panel, S("Web-Dateien"));
  ASSERT_TRUE(web);
  EXPECT_TRUE(ChildNamed(web, S("index.htm")));
  EXPECT_TRUE(ChildNamed(web, S("Start.htm")));
  EXPECT_TRUE(hv::IsFile(DeviceFile(panel, "web/index.htm")));
  EXPECT_TRUE(hv::IsFile(DeviceFile(panel, "web/Start.htm")));
  EXPECT_EQ(hv::ListFolder(DeviceFile(panel, "web")).size(), 2u);
  EXPECT_TRUE(hv::IsFile(DeviceFile(panel, "keypads/Tasten.xml")));
}

// The new-object command of the web pages says what it makes: "HTML-Datei" on a page,
// "Neue HTML-Datei" on a web folder, in either language.
TEST_F(ResourcesGui, TheNewObjectCommandOfWebPagesSaysWhatItMakes) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(panel);
  NewOnDevice(panel, TypeCode::Html, S("index"));
  CProjectObject* root = ChildNamed(panel, S("Web-Dateien"));
  ASSERT_TRUE(root);
  struct Menus {
    std::vector<wxString> folder, page;
  };
  auto menus = [&] {
    Menus m;
    EXPECT_TRUE(SelectInTree(root));
    m.folder = TreeMenuOf(root);
    EXPECT_TRUE(SelectRow(root, S("index.htm")));
    m.page = hvtest::ContextMenuLabels(*List().Control());
    return m;
  };
  auto lists = [](const std::vector<wxString>& labels, const char* label) {
    return std::find(labels.begin(), labels.end(), S(label)) != labels.end();
  };
  auto shown = [](const std::vector<wxString>& labels) {
    std::string all;
    for (const wxString& label : labels) all += hv::ToUtf8(label) + "|";
    return all;
  };
  const Menus german = menus();
  ASSERT_TRUE(hv::InitMultiLanguage("Project", S("ENG")));
  const Menus english = menus();
  hv::ResetLanguage();

  EXPECT_TRUE(lists(german.folder, "Neue HTML-Datei")) << shown(german.folder);
  EXPECT_TRUE(lists(german.page, "HTML-Datei")) << shown(german.page);
  EXPECT_TRUE(lists(english.folder, "New HTML file")) << shown(english.folder);
  EXPECT_TRUE(lists(english.page, "HTML file")) << shown(english.page);
  for (const auto* labels : {&german.folder, &german.page, &english.folder, &english.page})
    EXPECT_FALSE(lists(*labels, "Neues Object") || lists(*labels, "New object"));
}

// "Neuer Ordner" in a web folder takes the name it proposes, blanks and all; a name of
// blanks only is refused as empty, blanks around a name are dropped, and the characters
// a folder name may not hold stay refused.
TEST_F(ResourcesGui, ANewWebFolderTakesTheNameItProposes) {
  RegisterAppDialogs();   // as at start-up
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(panel);
  ASSERT_TRUE(hv::MakeFolders(DeviceFile(panel, "web")));
  hvtest::WriteAll(DeviceFile(panel, "web/index.htm"), "<html/>");
  ASSERT_TRUE(SelectInTree(panel));
  ASSERT_TRUE(RunInTree(ID_VIEW_REFRESH));
  CProjectObject* root = ChildNamed(panel, S("Web-Dateien"));
  ASSERT_TRUE(root);

  hvtest::DialogScripts user;
  wxString proposed;
  std::vector<bool> keptOpen;
  // The names are handed to the field whole; a dialog still open at the end is cancelled.
  auto confirm = [&](wxDialog* dlg, const std::vector<const char*>& names) {
    auto* field = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1025));
    ASSERT_TRUE(field);
    if (proposed.empty()) proposed = field->GetValue();
    for (const char* name : names) {
      if (name) field->ChangeValue(S(name));
      hvtest::ClickOn(dlg->FindWindow(wxID_OK));
      keptOpen.push_back(dlg->IsModal());
      if (!dlg->IsModal()) return;
    }
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  };
  user.Then([&](wxDialog* dlg) { confirm(dlg, {nullptr}); });   // the proposal as it stands
  ASSERT_TRUE(SelectInTree(root));
  ASSERT_TRUE(RunInTree(ID_RES_NEW_FOLDER));

  user.Then([&](wxDialog* dlg) { confirm(dlg, {"   ", "Alt*neu", "  Bilder alt  "}); });
  ui.ExpectMessage(10523);
  ui.ExpectMessage(10300);
  ASSERT_TRUE(SelectInTree(root));
  ASSERT_TRUE(RunInTree(ID_RES_NEW_FOLDER));

  // Typed, the blank gets into the field as any letter does.
  wxString typed;
  user.Then([&](wxDialog* dlg) {
    auto* field = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1025));
    ASSERT_TRUE(field);
    ASSERT_TRUE(hvtest::TypeInto(field, S("Neue Seiten")));
    typed = field->GetValue();
    confirm(dlg, {nullptr});
  });
  ASSERT_TRUE(SelectInTree(root));
  ASSERT_TRUE(RunInTree(ID_RES_NEW_FOLDER));

  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(proposed, S("Neuer Ordner"));
  EXPECT_EQ(typed, S("Neue Seiten"));
  EXPECT_EQ(keptOpen, (std::vector<bool>{false, true, true, false, false}));
  for (const char* name : {"Neuer Ordner", "Bilder alt", "Neue Seiten"}) {
    EXPECT_TRUE(hv::IsFolder(DeviceFile(panel, "web") + S("/") + S(name))) << name;
    EXPECT_TRUE(ChildNamed(root, S(name))) << name;
  }
  const std::vector<wxString> shown = TreeChildren(root);
  EXPECT_EQ(shown, (std::vector<wxString>{S("Bilder alt"), S("Neue Seiten"), S("Neuer Ordner")}));
  EXPECT_EQ(hv::ListFolder(DeviceFile(panel, "web")).size(), 4u);
}
