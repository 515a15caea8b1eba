// In English the windows show no German text: every text a window shows is compared
// with the German texts of the program's catalogue (the defaults in its sources, as
// tools/list-texts.py lists them) that have an English text of their own.
#include <gtest/gtest.h>

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/ctrlsub.h>
#include <wx/dialog.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/timer.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/toolbar.h>
#include <wx/translation.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "app/SetupSheet.h"
#include "app/ui/App.h"
#include "app/ui/Dialogs.h"
#include "app/ui/MainFrame.h"
#include "archive/ZipWriter.h"
#include "build/CeDownload.h"
#include "framework/ChooseRequests.h"
#include "framework/CommandIds.h"
#include "framework/NewNameRequest.h"
#include "model/DataPointExchange.h"
#include "model/PrjDevice.h"
#include "model/Project.h"
#include "model/ui/DeviceDialogs.h"
#include "model/ui/ExchangeDialogs.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/ui/PPFonts.h"
#include "tests/gui/support/DialogHook.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"

using namespace std::chrono_literals;

namespace {

// The text as a window shows it, without mnemonic, accelerator and trailing ":"/"...".
wxString Plain(const wxString& text) {
  wxString t = text.BeforeFirst('\t');
  t.Replace("&", "");
  t.Trim(true).Trim(false);
  while (t.EndsWith(":") || t.EndsWith(".")) t.RemoveLast();
  return t.Trim(true);
}

wxString Unescape(const wxString& text) {
  wxString out;
  for (size_t i = 0; i < text.length(); ++i) {
    if (text[i] == '\\' && i + 1 < text.length()) {
      const wxUniChar c = text[++i];
      out += c == 'n' ? wxUniChar('\n') : c == 't' ? wxUniChar('\t') : c;
    } else {
      out += text[i];
    }
  }
  return out;
}

// German texts that must not show in an English window: those whose English text
// differs and that no English text spells the same way.
std::set<wxString> GermanOnlyTexts() {
  std::set<wxString> german, english;
  const std::string command = "/usr/bin/python3 '" HV_TEST_SOURCE_DIR "/../tools/list-texts.py'";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return german;
  std::string all;
  char buf[4096];
  while (fgets(buf, sizeof buf, p)) all += buf;
  pclose(p);
  for (const wxString& line : wxSplit(wxString::FromUTF8(all), '\n', 0)) {
    unsigned long id = 0;
    if (!line.BeforeFirst('\t').ToULong(&id)) continue;
    const wxString text = Unescape(line.AfterFirst('\t'));
    const wxString translated = hv::LocalString(static_cast<UINT>(id), text);
    english.insert(Plain(translated));
    if (translated != text && !text.Contains("%")) german.insert(Plain(text));
  }
  for (const wxString& e : english) german.erase(e);
  german.erase(wxString());
  return german;
}

// Every text the window and its children show.
void CollectTexts(wxWindow* w, std::vector<wxString>& out) {
  if (auto* book = dynamic_cast<wxBookCtrlBase*>(w))
    for (size_t i = 0; i < book->GetPageCount(); ++i) out.push_back(book->GetPageText(i));
  if (auto* items = dynamic_cast<wxItemContainerImmutable*>(w))
    for (unsigned i = 0; i < items->GetCount(); ++i) out.push_back(items->GetString(i));
  if (auto* list = dynamic_cast<wxListCtrl*>(w); list && list->InReportView())
    for (int i = 0; i < list->GetColumnCount(); ++i) {
      wxListItem column;
      column.SetMask(wxLIST_MASK_TEXT);
      if (list->GetColumn(i, column)) out.push_back(column.GetText());
    }
  if (auto* bar = dynamic_cast<wxToolBar*>(w))
    for (size_t i = 0; i < bar->GetToolsCount(); ++i) out.push_back(bar->GetToolByPos(static_cast<int>(i))->GetShortHelp());
  if (dynamic_cast<wxControl*>(w) || dynamic_cast<wxTopLevelWindow*>(w)) out.push_back(w->GetLabel());
  for (wxWindow* child : w->GetChildren()) CollectTexts(child, out);
}

void CollectMenu(wxMenu* menu, std::vector<wxString>& out) {
  for (wxMenuItem* item : menu->GetMenuItems()) {
    out.push_back(item->GetItemLabel());
    if (item->GetSubMenu()) CollectMenu(item->GetSubMenu(), out);
  }
}

class EnglishWindows : public hvtest::ProjectWindowFixture {
 protected:
  EnglishWindows() {
    hv::InitMultiLanguage("Project", wxS("ENG"));
    ApplyToolkitLanguage(1);
    german = GermanOnlyTexts();
  }
  ~EnglishWindows() override {
    hv::ResetLanguage();
    wxTranslations::Set(nullptr);
  }
  // The texts of `shown` that are German.
  std::vector<wxString> GermanIn(const std::vector<wxString>& shown) const {
    std::vector<wxString> found;
    for (const wxString& text : shown)
      for (const wxString& line : wxSplit(text, '\n', 0))
        if (german.count(Plain(line))) found.push_back(line);
    return found;
  }
  std::set<wxString> german;
};

std::string Listed(const std::vector<wxString>& texts) {
  std::string out;
  for (const wxString& t : texts) out += "\n  \"" + hv::ToUtf8(t) + "\"";
  return out;
}

}  // namespace

TEST_F(EnglishWindows, TheCatalogueKnowsGermanTexts) {
  // The check itself: it knows the German texts it looks for.
  EXPECT_TRUE(german.count(wxS("Einstellungen")));
  EXPECT_TRUE(german.count(wxS("Bildschirmtastatur")));
  EXPECT_FALSE(german.count(wxS("Download")));   // the same in both languages
}

TEST_F(EnglishWindows, MainWindowMenusAndToolbarAreEnglish) {
  AddProject(AddFolder(wxS("Anlagen")), wxS("Halle"));
  Open();
  std::vector<wxString> shown;
  CollectTexts(frame, shown);
  wxMenuBar* bar = frame->GetMenuBar();
  for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
    shown.push_back(bar->GetMenuLabel(i));
    CollectMenu(bar->GetMenu(i), shown);
  }
  EXPECT_EQ(Listed(GermanIn(shown)), "");
}

TEST_F(EnglishWindows, SettingsSheetPagesAreEnglish) {
  RegisterSetupDialogs();
  Open();
  std::vector<wxString> shown;
  hvtest::DialogScripts user;
  user.Then([&](wxDialog* dlg) {
    // Each page is looked at while it is shown, as its rows are filled then.
    for (wxWindow* child : dlg->GetChildren())
      if (auto* book = dynamic_cast<wxBookCtrlBase*>(child))
        for (size_t i = 0; i < book->GetPageCount(); ++i) {
          book->SetSelection(i);
          hvtest::Pump(50ms);
          CollectTexts(dlg, shown);
        }
    dlg->EndModal(wxID_CANCEL);
  });
  CPSSetup sheet(home.Sub("Project.INI"));
  SetupSheetRequest request{&sheet};
  hv::Ui().Run(request);
  EXPECT_TRUE(user.AllRun());
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(Listed(GermanIn(shown)), "");
  // The programs page's rows in particular.
  EXPECT_NE(std::find(shown.begin(), shown.end(), wxS("On-screen keyboard")), shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(), wxS("CoDeSys programs")), shown.end());
}

TEST_F(EnglishWindows, CommonDialogsAreEnglish) {
  RegisterAppDialogs();
  Open();
  std::vector<wxString> shown;
  int dialogs = 0;
  hvtest::DialogScripts user;
  for (int i = 0; i < 4; ++i)
    user.Then([&](wxDialog* dlg) {
      ++dialogs;
      CollectTexts(dlg, shown);
      dlg->EndModal(wxID_CANCEL);
    });
  app.OnAppAbout();
  // The about box reads the program file's version information.
  const bool aboutShown = std::any_of(shown.begin(), shown.end(), [](const wxString& t) {
    return t.Contains(wxS("Version " HALVORA_VERSION "\nCopyright \u00a9 Quintor\n"));
  });
  EXPECT_TRUE(aboutShown);
  NewNameRequest name;
  hv::Ui().Run(name);
  app.OnSelectLanguage();   // cancelled: nothing is written
  DownloadWebCERequest web;
  web.source = wxS("/tmp/web");
  hv::Ui().Run(web);
  EXPECT_EQ(dialogs, 4);
  EXPECT_EQ(Listed(GermanIn(shown)), "");
}

TEST_F(EnglishWindows, DeviceSheetIsEnglish) {
  CPOProject* project = AddProject(AddFolder(wxS("Anlagen")), wxS("Halle"));
  Open();
  AnswerNewDevice({wxS("Panel"), wxS("CE_PANEL7"), wxS("CE_TCP"), wxS("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(project, wxS("Panel"));
  ASSERT_TRUE(panel);
  RegisterPrjDeviceSheet();
  std::vector<wxString> shown;
  hvtest::DialogScripts user;
  user.Then([&](wxDialog* dlg) {
    // Every page's controls, shown or not (leaving a page checks it).
    CollectTexts(dlg, shown);
    dlg->EndModal(wxID_CANCEL);
  });
  PrjDeviceSheetRequest request{wxS("Panel"), FALSE, panel};
  hv::Ui().Run(request);
  EXPECT_TRUE(user.AllRun());
  ASSERT_NE(std::find(shown.begin(), shown.end(), wxS("PC connection")), shown.end());
  EXPECT_EQ(Listed(GermanIn(shown)), "");
}

TEST_F(EnglishWindows, DeviceSheetFontsPageIsEnglish) {
  auto* dlg = new wxDialog(nullptr, wxID_ANY, wxS("Device"));
  BOOL unicode = FALSE;
  auto* page = new CPPFonts(dlg, nullptr, nullptr, &unicode, false);
  std::vector<wxString> shown{CPPFonts::Title()};
  CollectTexts(page, shown);
  EXPECT_EQ(Listed(GermanIn(shown)), "");
  EXPECT_EQ(CPPFonts::Title(), "Font");
  EXPECT_NE(std::find(shown.begin(), shown.end(), wxS("Unicode resource")), shown.end());
  dlg->Destroy();
}

// The desktop's file dialogs carry a title of ours and our filter texts, in English.
TEST_F(EnglishWindows, FileDialogsAreTitledAndEnglish) {
  RegisterSetupDialogs();
  RegisterExchangeDialogs();
  RegisterDeviceDialogs();
  hvtest::ModalDialogsAllowed allow;
  std::vector<wxString> shown;
  std::vector<wxString> titles;
  wxTimer timer;
  std::pair<int, int> rowWidth{-1, -1};
  hvtest::OnDialog hook([&](wxDialog* dlg) {
    // The desktop's dialogs keep their title as their message.
    wxString title = dlg->GetTitle();
    if (auto* files = dynamic_cast<wxFileDialog*>(dlg)) title = files->GetMessage();
    if (auto* dirs = dynamic_cast<wxDirDialog*>(dlg)) title = dirs->GetMessage();
    titles.push_back(title + " [" + dlg->GetClassInfo()->GetClassName() + "]");
    shown.push_back(title);
    if (auto* files = dynamic_cast<wxFileDialog*>(dlg)) {
      const wxArrayString parts = wxSplit(files->GetWildcard(), '|');
      for (size_t i = 0; i < parts.size(); i += 2) shown.push_back(parts[i]);
    }
    // The XML export is shown: its row of protocol and port must be as wide as its
    // controls (GTK gave it the width of one letter). The file dialog asks the hook
    // twice, once for itself and once as a dialog.
    if (titles.size() == 4) return static_cast<int>(wxID_NONE);
    if (titles.size() == 3) {
      auto* files = dynamic_cast<wxFileDialog*>(dlg);
      timer.Bind(wxEVT_TIMER, [&, files](wxTimerEvent&) {
        if (wxWindow* row = files ? files->GetExtraControl() : nullptr) rowWidth = {row->GetSize().x, row->GetBestSize().x};
        files->EndModal(wxID_CANCEL);
      });
      timer.StartOnce(500);
      return static_cast<int>(wxID_NONE);
    }
    return static_cast<int>(wxID_CANCEL);   // looked at, not shown
  });
  ChooseFileRequest program{wxString(), hv::LocalString(10224, wxS("Programme|*.EXE;*.COM;*.LNK|Alle Dateien (*.*)|*.*|")), {}};
  hv::Ui().Run(program);
  ChooseFolderRequest folder{home.Path(), {}};
  hv::Ui().Run(folder);
  DpXmlExportRequest xml;
  xml.filter = wxS("XML (*.xml)|*.xml||");
  xml.folder = home.Path();
  hv::Ui().Run(xml);
  CsvExchangeRequest csv;
  csv.titleStem = wxS("Data points");
  csv.folder = home.Path();
  csv.filter = wxS("CSV (*.csv)|*.csv");
  hv::Ui().Run(csv);
  OpenFileRequest open;
  open.filter = wxS("CoDeSys (*.pro)|*.pro|");
  hv::Ui().Run(open);
  ASSERT_EQ(titles.size(), 6u);
  for (const wxString& title : titles) EXPECT_FALSE(title.StartsWith(" [")) << "a file dialog without a title: " << title;
  EXPECT_GT(rowWidth.second, 100);
  EXPECT_GE(rowWidth.first, rowWidth.second) << "the row below the file dialog is cut";
  EXPECT_EQ(Listed(GermanIn(shown)), "");
}

// The restore run through a project folder's "Restore" in English: the dialog's status
// line at each step, the question of the folder that exists, the question before it is
// overwritten and the end, with no German text on the way.
TEST_F(EnglishWindows, RestoreDialogIsEnglish) {
  hvtest::TempDir source;
  const wxString saved = source.Sub("Linie");
  hvtest::WriteAll(hv::JoinPath(saved, "PROJECT.SET"), "[Config]\r\nName=Linie\r\n");
  hvtest::WriteAll(hv::JoinPath(saved, "Notiz.txt"), "Stand 4");
  const wxString archive = source.Sub("Linie_backup.zip");
  {
    CZipWriter writer;
    ASSERT_TRUE(writer.OpenZip(archive, source.Path()));
    writer.CountFiles(saved);
    ASSERT_TRUE(writer.AddFolderToZip(saved, FALSE));
    ASSERT_TRUE(writer.CloseZip());
  }
  CPOPrjFolder* folder = AddFolder(wxS("Anlagen"));
  AddProject(folder, wxS("Linie"));
  RegisterAppDialogs();
  Open();
  ASSERT_TRUE(SelectInTree(folder));

  std::vector<wxString> atOpen, afterChoice, atEnd, question;
  hvtest::DialogScripts user;
  user.Then([&](wxDialog* dlg) {   // the restore dialog
    CollectTexts(dlg, atOpen);
    hvtest::ClickOn(dlg->FindWindow(1267));   // "..." of the archive
    auto* chosen = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1265));
    ASSERT_TRUE(chosen);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return !chosen->GetValue().empty(); }));
    CollectTexts(dlg, afterChoice);
    auto* start = dynamic_cast<wxButton*>(dlg->FindWindow(1268));
    auto* close = dynamic_cast<wxButton*>(dlg->FindWindow(1270));
    ASSERT_TRUE(start && close);
    hvtest::ClickOn(start);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return !start->IsShown() && close->IsEnabled(); }, 20s));
    CollectTexts(dlg, atEnd);
    hvtest::ClickOn(close);
  });
  // The desktop's file dialog asks the hook twice, once for itself and once as a
  // dialog: the second time the backup is chosen.
  user.Then([](wxDialog*) {});
  user.Then([&](wxDialog* dlg) {
    auto* files = dynamic_cast<wxFileDialog*>(dlg);
    ASSERT_TRUE(files);
    files->SetPath(archive);
    hvtest::PumpUntil([&] { return files->GetPath() == archive; }, 5s);
    dlg->EndModal(wxID_OK);
  });
  user.Then([&](wxDialog* dlg) {   // the project folder exists: overwrite it
    CollectTexts(dlg, question);
    dlg->EndModal(wxID_OK);
  });
  ui.ExpectMessage(10757, IDYES);
  ASSERT_TRUE(RunInTree(ID_RESTORE));
  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(ProjectsRoot(), "Linie/Notiz.txt")), "Stand 4");

  auto has = [](const std::vector<wxString>& texts, const wxString& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  EXPECT_TRUE(has(atOpen, wxS("Please select a zip file."))) << Listed(atOpen);
  EXPECT_TRUE(has(afterChoice, wxS("Project Linie found. Please start the restore."))) << Listed(afterChoice);
  EXPECT_TRUE(has(atEnd, wxS("Restore completed successfully."))) << Listed(atEnd);
  EXPECT_EQ(ui.MessageTexts(), std::vector<wxString>{wxS("Are you sure you want to overwrite this project?")});
  EXPECT_TRUE(has(question, wxS("Overwrite folder"))) << Listed(question);
  std::vector<wxString> shown = ui.MessageTexts();
  for (const std::vector<wxString>* texts : {&atOpen, &afterChoice, &atEnd, &question})
    shown.insert(shown.end(), texts->begin(), texts->end());
  EXPECT_EQ(Listed(GermanIn(shown)), "");
}

// A backup through a project's "Backup" in English whose target folder went away after it
// was chosen (a stick pulled out): the dialog's status line at each step and the
// writer's message, under the dialog's caption, with no German text on the way.
TEST_F(EnglishWindows, FailedBackupIsEnglish) {
  CPOProject* project = AddProject(AddFolder(wxS("Anlagen")), wxS("Linie"));
  hvtest::TempDir stick;
  const wxString folder = stick.Sub("stick");
  const wxString target = hv::JoinPath(folder, "Linie_backup.zip");
  hv::MakeFolders(folder);
  RegisterAppDialogs();
  Open();
  ASSERT_TRUE(SelectInTree(project));

  std::vector<wxString> atOpen, afterChoice, atEnd;
  hvtest::DialogScripts user;
  user.Then([&](wxDialog* dlg) {   // the backup dialog
    CollectTexts(dlg, atOpen);
    hvtest::ClickOn(dlg->FindWindow(1259));   // "..." of the target
    auto* chosen = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1258));
    ASSERT_TRUE(chosen);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return !chosen->GetValue().empty(); }));
    CollectTexts(dlg, afterChoice);
    ASSERT_EQ(rmdir(hv::ToFs(folder).c_str()), 0);
    auto* start = dynamic_cast<wxButton*>(dlg->FindWindow(1261));
    auto* close = dynamic_cast<wxButton*>(dlg->FindWindow(1262));
    ASSERT_TRUE(start && close);
    hvtest::ClickOn(start);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return !start->IsShown() && close->IsEnabled(); }, 20s));
    CollectTexts(dlg, atEnd);
    hvtest::ClickOn(close);
  });
  user.Then([](wxDialog*) {});   // the file dialog asks the hook twice
  user.Then([&](wxDialog* dlg) {
    auto* files = dynamic_cast<wxFileDialog*>(dlg);
    ASSERT_TRUE(files);
    files->SetPath(target);
    hvtest::PumpUntil([&] { return files->GetPath() == target; }, 5s);
    dlg->EndModal(wxID_OK);
  });
  ui.ExpectMessage(10778);
  ASSERT_TRUE(RunInTree(ID_PROJECT_BACKUP));
  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(hv::PathExists(target));

  auto has = [](const std::vector<wxString>& texts, const wxString& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  EXPECT_TRUE(has(atOpen, wxS("Data backup"))) << Listed(atOpen);
  EXPECT_TRUE(has(atOpen, wxS("Please select a zip file"))) << Listed(atOpen);
  EXPECT_TRUE(has(afterChoice, wxS("Please start the backup"))) << Listed(afterChoice);
  EXPECT_TRUE(has(atEnd, wxS("Backup failed"))) << Listed(atEnd);
  EXPECT_EQ(ui.MessageTexts(), std::vector<wxString>{"Target folder not found: " + folder}) << Listed(ui.MessageTexts());
  EXPECT_EQ(ui.MessageCaptions(), std::vector<wxString>{wxS("Data backup")}) << Listed(ui.MessageCaptions());
  std::vector<wxString> shown = ui.MessageTexts();
  for (const std::vector<wxString>* texts : {&atOpen, &afterChoice, &atEnd})
    shown.insert(shown.end(), texts->begin(), texts->end());
  EXPECT_EQ(Listed(GermanIn(shown)), "");
}
