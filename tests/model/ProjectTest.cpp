// Projects: new, change, delete, their device folders and "PROJECT.SET", checked in the
// project list, on disk and in the tree.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include "framework/ClipboardFiles.h"
#include "framework/ClipboardStore.h"
#include "framework/FolderUtils.h"
#include "framework/SettingsFile.h"
#include "framework/UpdateHints.h"
#include "model/DeviceServices.h"
#include "model/Documents.h"
#include "model/ProjectSheet.h"
#include "platform/Archive.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "tests/model/ProjectTestSupport.h"
#include "tests/support/ForkedChild.h"

using hvtest::S;
using projtest::ProjectFixture;

namespace {

wxString Ini(const wxString& file, const char* section, const char* key) {
  return hv::IniGetString(hv::ResolvePath(file), section, key, "<missing>");
}

}  // namespace

TEST_F(ProjectFixture, NewProjectProposesTheFirstFreeNumberAndWritesRowSettingsAndTree) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  // "Projekt 1" is a row, "Projekt 2" a folder on disk: both are skipped.
  ASSERT_TRUE(projectlist::Insert({"Projekt 1", "/nowhere/p1", 1, folder->OwnKey()}));
  hv::MakeFolders(hv::JoinPath(ProjectsRoot(), "Projekt 2"));
  std::vector<NewProjectRequest> seen;
  AnswerNewProject("Linie 7", &seen);

  CPOProject prototype;
  ASSERT_TRUE(prototype.CreateNew(folder, nullptr, nullptr));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].name, "Projekt 3");
  EXPECT_EQ(seen[0].folder, hv::JoinPath(ProjectsRoot(), "Projekt 3"));

  const wxString path = hv::JoinPath(ProjectsRoot(), "Linie 7");
  auto row = projectlist::Find("linie 7");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->path, path);
  EXPECT_EQ(row->level, 1);
  EXPECT_EQ(row->parentKey, "$$$0$$$Anlagen");
  // One settings file, in the spelling of its first write.
  EXPECT_EQ(hv::ListFolder(path), std::vector<wxString>{"project.set"});
  const wxString set = hv::JoinPath(path, "PROJECT.SET");
  for (auto [section, key, value] : {std::tuple{"Config", "Name", "Linie 7"}, {"Config", "DefaultLanguage", "1031"},
                                      {"Languages/Fonts", "1031", "1"}, {"Config", "CoDeSysDP", "1"},
                                      {"Config", "CoDeSysDPChecksum", "0"}, {"Config", "CoDeSysDPByteAddr", "0"}})
    EXPECT_EQ(Ini(set, section, key), value) << key;

  ASSERT_EQ(folder->GetChildCount(), 1u);
  auto* made = dynamic_cast<CPOProject*>(folder->GetChildren()[0]);
  ASSERT_TRUE(made);
  EXPECT_EQ(made->GetFolder(), path);
  EXPECT_EQ(view.Hints(), std::vector<int>{HINT_OBJECT_ADDED});
}

// New projects go to the user folder's "Projects" (the folder start-up makes and the
// settings sheet shows) unless the profile names a folder.
TEST_F(ProjectFixture, NewProjectsGoWhereTheProfileSaysElseToProjects) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  std::vector<NewProjectRequest> seen;
  CPOProject prototype;
  ui.Answer<NewProjectRequest>([&seen](NewProjectRequest& r) {
    seen.push_back(r);
    return IDCANCEL;
  });
  prototype.CreateNew(folder, nullptr, nullptr);
  CSettingsFile(home.Sub("Project.INI")).WriteString("Config", "ProjectPath", home.Sub("Eigene/"));
  prototype.CreateNew(folder, nullptr, nullptr);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].folder, home.Sub("Projects/Projekt 1"));
  EXPECT_EQ(seen[1].folder, home.Sub("Eigene/Projekt 1"));
}

TEST_F(ProjectFixture, NewProjectRefusalsChangeNothing) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  const std::vector<wxString> before = RowNames();
  CPOProject prototype;

  // The folder's name in other case; umlauts; cancelled (no message).
  for (auto [name, message] : {std::pair{S("anlagen"), 10942u}, {S("Straße"), 10300u}, {wxString(), 0u}}) {
    AnswerNewProject(name);
    if (message) ui.ExpectMessage(message);
    EXPECT_FALSE(prototype.CreateNew(folder, nullptr, nullptr)) << name;
    EXPECT_TRUE(ui.AllExpectationsMet()) << name;
  }
  EXPECT_EQ(RowNames(), before);
  EXPECT_TRUE(hv::ListFolder(ProjectsRoot()).empty());
  EXPECT_EQ(folder->GetChildCount(), 0u);
}

TEST_F(ProjectFixture, NewProjectDialogChecks) {
  NewProjectRequest r;
  r.name = wxString('N', 30);
  // 30 + 120 characters are accepted, 30 + 121 refused.
  wxString folder = home.Path() + "/";
  folder += wxString('f', 120 - folder.length());
  r.folder = folder;
  ASSERT_EQ(r.folder.length(), 120u);
  EXPECT_EQ(CheckNewProject(r), 0u);
  r.folder += "g";
  ui.ExpectMessage(10750);
  EXPECT_EQ(CheckNewProject(r), 10750u);
  EXPECT_EQ(ui.MessageTexts().back(), S("Der Projektpfad ist zu lang - 151\n Die maximale Länge ist:150"));

  r.name = "P";
  for (const wxString& bad : {wxString("relative/p"), wxString("/"), home.Sub(" lead/p"), home.Sub("a/../p"),
                             home.Sub(S("Проект"))}) {
    r.folder = bad;
    ui.ExpectMessage(10301);
    EXPECT_EQ(CheckNewProject(r), 10301u) << bad;
  }
  r.folder = ProjectsRoot();
  ui.ExpectMessage(10330);
  EXPECT_EQ(CheckNewProject(r), 10330u);
  EXPECT_TRUE(ui.AllExpectationsMet());

  // The folder follows the name until it was edited to end otherwise.
  EXPECT_EQ(FolderFollowingName("/p/Projekt 1", "Projekt 1", "Linie"), "/p/Linie");
  EXPECT_EQ(FolderFollowingName("/p/Anders", "Projekt 1", "Linie"), "/p/Anders");
  EXPECT_EQ(FolderFollowingName("C:\\p\\Linie", "Linie", "Linie 2"), "C:\\p\\Linie 2");
}

TEST_F(ProjectFixture, NewProjectFailingMidwayLeavesNoFolderAndNoRow) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  AnswerNewProject("Linie 1");
  ui.ExpectMessage(10944);
  {
    // The list cannot grow: the row, the last step, fails.
    hvtest::FileSizeLimit limit(static_cast<unsigned long>(hvtest::ReadAll(projectlist::TableFile()).size()));
    CPOProject prototype;
    EXPECT_FALSE(prototype.CreateNew(folder, nullptr, nullptr));
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(hv::PathExists(hv::JoinPath(ProjectsRoot(), "Linie 1")));
  EXPECT_EQ(RowNames(), std::vector<wxString>{"Anlagen"});
  EXPECT_EQ(folder->GetChildCount(), 0u);
}

TEST_F(ProjectFixture, ChangeRenamesRowAndSettingsAfterOkOnly) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  const wxString path = hv::JoinPath(ProjectsRoot(), "Alt");
  CPOProject* p = AddProject(folder, "Alt", path);
  AddProject(folder, "Besetzt", hv::JoinPath(ProjectsRoot(), "Besetzt"));
  const wxString set = hv::JoinPath(path, "PROJECT.SET");

  // Cancel after a page change: the object and the files keep everything.
  ui.Answer<ProjectSheetRequest>([](ProjectSheetRequest& r) {
    EXPECT_EQ(r.caption, "Einstellungen zu Projekt 'Alt'");
    r.sheet->SetActivePage(0);
    r.sheet->general.name = "Zwischendurch";
    r.sheet->general.flags.CoDeSysDPByteAddr = 1;
    EXPECT_TRUE(r.sheet->SetActivePage(1));
    return static_cast<int>(IDCANCEL);
  });
  p->OnEdit();
  EXPECT_EQ(p->GetName(), "Alt");
  EXPECT_EQ(p->GetFlags().CoDeSysDPByteAddr, 0);
  EXPECT_TRUE(projectlist::NameExists("Alt"));

  // A name taken by another row keeps the sheet on the page.
  ui.Answer<ProjectSheetRequest>([](ProjectSheetRequest& r) {
    r.sheet->SetActivePage(0);
    r.sheet->general.name = "besetzt";
    EXPECT_FALSE(r.sheet->OK());
    EXPECT_EQ(r.sheet->LastCheck().textId, 10942u);
    EXPECT_EQ(r.sheet->LastCheck().field, 1025);
    r.sheet->general.name = "Neu   ";
    r.sheet->general.flags.CoDeSysDPCreate = 0;
    return static_cast<int>(r.sheet->OK() ? IDOK : IDCANCEL);
  });
  ui.ExpectMessage(10942);
  p->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(p->GetName(), "Neu");
  auto row = projectlist::Find("Neu");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->path, path);
  EXPECT_EQ(row->parentKey, folder->OwnKey());
  EXPECT_EQ(Ini(set, "Config", "Name"), "Neu");
  EXPECT_EQ(Ini(set, "Config", "CoDeSysDPCreate"), "0");
  EXPECT_EQ(view.Hints().back(), HINT_OBJECT_CHANGED);

  // Its own name with blanks appended only rewrites the row.
  const size_t hints = view.Hints().size();
  ui.Answer<ProjectSheetRequest>([](ProjectSheetRequest& r) {
    r.sheet->general.name = "Neu  ";
    return static_cast<int>(r.sheet->OK() ? IDOK : IDCANCEL);
  });
  p->OnEdit();
  EXPECT_EQ(p->GetName(), "Neu");
  EXPECT_EQ(view.Hints().size(), hints);
  EXPECT_EQ(RowNames(), (std::vector<wxString>{"Anlagen", "Besetzt", "Neu"}));
}

TEST_F(ProjectFixture, DeleteTakesRowThenFilesAndObject) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  const wxString path = hv::JoinPath(ProjectsRoot(), "Weg");
  CPOProject* p = AddProject(folder, "Weg", path);
  ui.ExpectMessage(10123, IDNO);
  p->OnDelete();
  EXPECT_TRUE(projectlist::NameExists("Weg"));

  ui.ExpectMessage(10123, IDYES);
  ui.ExpectMessage(10135, IDYES);
  p->OnDelete();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(projectlist::NameExists("Weg"));
  EXPECT_FALSE(hv::PathExists(path));
  EXPECT_EQ(folder->GetChildCount(), 0u);
  EXPECT_EQ(view.Hints().back(), HINT_OBJECT_REMOVED);
}

TEST_F(ProjectFixture, DeleteNeverTakesFoldersThatAreNoProject) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  // Damaged rows: a folder without "PROJECT.SET", the projects root, the user folder.
  const wxString data = home.Sub("Daten");
  hv::MakeFolders(data);
  hvtest::WriteAll(hv::JoinPath(data, "wichtig.txt"), "x");
  hvtest::WriteAll(hv::JoinPath(ProjectsRoot(), "PROJECT.SET"), "[Config]\r\n");
  hvtest::WriteAll(hv::JoinPath(home.Path(), "PROJECT.SET"), "[Config]\r\n");
  int n = 0;
  for (const wxString& path : {data, ProjectsRoot(), home.Path()}) {
    const wxString name = wxString::Format("Kaputt %d", ++n);
    ASSERT_TRUE(projectlist::Insert({name, path, 1, folder->OwnKey()}));
    auto* p = static_cast<CPOProject*>(folder->AddChild(std::make_unique<CPOProject>(name, path)));
    ui.ExpectMessage(10123, IDYES);
    ui.ExpectMessage(10135, IDYES);
    ui.ExpectMessage(10163);
    p->OnDelete();
    EXPECT_TRUE(ui.AllExpectationsMet()) << path;
    EXPECT_FALSE(projectlist::NameExists(name));
    EXPECT_TRUE(hv::IsFolder(path));
  }
  EXPECT_TRUE(hv::IsFile(hv::JoinPath(data, "wichtig.txt")));
}

TEST_F(ProjectFixture, RemoveProjectByPathFindsTheRowIgnoringCase) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  const wxString path = hv::JoinPath(ProjectsRoot(), "Alt");
  AddProject(folder, "Alt", path);
  EXPECT_TRUE(CPOProject::RemoveProjectByPath(hv::JoinPath(ProjectsRoot(), "ALT/")));
  EXPECT_FALSE(projectlist::NameExists("Alt"));
  EXPECT_FALSE(hv::PathExists(path));
  EXPECT_EQ(folder->GetChildCount(), 0u);
  EXPECT_FALSE(CPOProject::RemoveProjectByPath(path));
}

TEST_F(ProjectFixture, RemoveProjectByPathKeepsTheRowOfAFolderThatStays) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  const wxString path = hv::JoinPath(ProjectsRoot(), "Fest");
  AddProject(folder, "Fest", path);
  const std::string root = hv::ToFs(ProjectsRoot());
  // Run in a child: the projects folder is read-only there even for root.
  const int status = hvtest::RunChild([&] {
    hvtest::DropFileRights();
    chmod(root.c_str(), 0555);
    ui.ExpectMessage(10163);   // "Fehler beim Löschen des Verzeichnisses"
    const BOOL removed = CPOProject::RemoveProjectByPath(path);
    return !removed && ui.AllExpectationsMet() && projectlist::NameExists("Fest") ? 0 : 3;
  });
  chmod(root.c_str(), 0755);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(projectlist::NameExists("Fest"));
  EXPECT_TRUE(hv::IsFolder(path));
}

TEST_F(ProjectFixture, DeviceFoldersNeedSettingsAndTheirOwnRow) {
  const wxString path = hv::JoinPath(ProjectsRoot(), "Linie");
  CPOProject* p = AddProject(AddFolder("Anlagen"), "Linie", path);
  MakeDeviceFolder(hv::JoinPath(path, "Panel1"), "Panel1");
  MakeDeviceFolder(hv::JoinPath(path, "Steuerung"), "steuerung", "device.set");
  MakeDeviceFolder(hv::JoinPath(path, "Fremd"), "Anderes");
  MakeDeviceFolder(hv::JoinPath(path, "Mit.Punkt"), "Mit.Punkt");
  hv::MakeFolders(hv::JoinPath(path, "Documentation"));

  EXPECT_TRUE(p->HasTreeChildren());
  std::vector<wxString> asked;
  struct Loader : projtest::ProjectFixture::NoDocuments {
    explicit Loader(std::vector<wxString>& a) : asked(a) {}
    std::unique_ptr<CProjectObject> LoadDevice(CPOProject&, const wxString& folder) override {
      asked.push_back(hv::PathName(folder));
      return std::make_unique<hvtest::FakeObject>(TypeCode::PrjDevice, "CPOPrjDevice", hv::PathName(folder));
    }
    std::vector<wxString>& asked;
  } loader(asked);
  hv::ServiceOverride<hv::IProjectOperations> boundLoader(&loader);
  ASSERT_TRUE(p->LoadChildren());
  EXPECT_EQ(asked, (std::vector<wxString>{"Panel1", "Steuerung"}));
  ASSERT_EQ(p->GetChildCount(), 2u);
  EXPECT_FALSE(p->IsStale());

  // A reload keeps the objects it finds again; a new device folder makes the list stale.
  CProjectObject* first = p->GetChildren()[0];
  MakeDeviceFolder(hv::JoinPath(path, "Panel2"), "Panel2");
  EXPECT_TRUE(p->IsStale());
  ASSERT_TRUE(p->LoadChildren());
  EXPECT_EQ(p->GetChildren()[0], first);
  EXPECT_EQ(p->GetChildCount(), 3u);
  ASSERT_TRUE(DeleteDirectory(hv::JoinPath(path, "Panel1")));
  EXPECT_TRUE(p->IsStale());

  // Only devices and the documentation node are taken as children.
  EXPECT_EQ(p->AddChild(std::make_unique<hvtest::FakeObject>(TypeCode::Network, "CPONetwork", "N")), nullptr);
}

TEST_F(ProjectFixture, SettingsRoundTripWithUmlautsInTheirCodePage) {
  const wxString path = hv::JoinPath(ProjectsRoot(), "Linie");
  CPOProject* p = AddProject(AddFolder("Anlagen"), "Linie", path);
  LanguageMap users{{32768, S("Türkisch (Kunde)")}, {32770, S("Französisch Süd")}};
  ASSERT_TRUE(p->WriteUserLanguages(users));
  ASSERT_TRUE(p->WritePaneSetting("21214000", S("Größe,80")));
  hv::IniFlushCache();
  LanguageMap read;
  ASSERT_TRUE(p->ReadUserLanguages(read));
  EXPECT_EQ(read, users);
  wxString pane;
  p->GetSetting(pane, "Pane1", "21214000", "");
  EXPECT_EQ(pane, S("Größe,80"));
  const std::string bytes = hvtest::ReadAll(hv::JoinPath(path, "PROJECT.SET"));
  EXPECT_NE(bytes.find("T\xFCrkisch"), std::string::npos);   // Windows-1252, not UTF-8

  // A new object reads flags and default language back.
  ProjectFlags flags;
  flags.CoDeSysDP = 0;
  flags.CoDeSysDPByteAddr = 1;
  ASSERT_TRUE(flags.Write(p->GetSettings().GetPath()));
  CSettingsFile(p->GetSettings().GetPath()).WriteInt("config", "defaultlanguage", 1033);
  CPOProject again(S("Linie  "), path + "/");
  EXPECT_EQ(again.GetName(), "Linie");
  EXPECT_EQ(again.GetFolder(), path);
  EXPECT_EQ(again.GetFlags(), flags);
  EXPECT_EQ(again.GetDefaultLanguageId(), 1033);
}

TEST_F(ProjectFixture, LanguagesAreCleanedAndUnknownUserLanguagesNamed) {
  const wxString path = hv::JoinPath(ProjectsRoot(), "Linie");
  CPOProject* p = AddProject(AddFolder("Anlagen"), "Linie", path);
  hvtest::WriteAll(hv::JoinPath(path, "PROJECT.SET"),
                   "[Config]\r\nName=Linie\r\nDefaultLanguage=1031\r\n"
                   "[Languages/Fonts]\r\n7=Arial\r\n1033=1\r\n9999=1\r\n32769=1\r\n40000=0\r\n65535=1\r\n"
                   "[DefLanguages]\r\n32769=Kunde\r\n100=Falsch\r\n");
  hv::IniFlushCache();
  LanguageMap fonts;
  p->ReadLanguageFonts(fonts);
  EXPECT_EQ(fonts.count(7), 0u);
  EXPECT_EQ(fonts[1031], "Arial");   // 7 & 0x3FF | 0x400
  EXPECT_EQ(fonts.count(9999), 0u);

  LanguageMap names;
  p->GetLanguages(names);
  EXPECT_EQ(names.size(), 4u);
  EXPECT_EQ(names[32769], "Kunde");
  EXPECT_EQ(names[40000], "Unbekannte 40000");
  EXPECT_EQ(names.count(65535), 0u);
  LanguageMap users;
  p->ReadUserLanguages(users);
  EXPECT_EQ(users, (LanguageMap{{32769, "Kunde"}, {40000, "Unbekannte 40000"}}));

  ui.ExpectMessage(10687);
  p->SetDefaultLanguage(1036);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(Ini(hv::JoinPath(path, "project.set"), "Config", "DefaultLanguage"), "1036");
  EXPECT_EQ(Ini(hv::JoinPath(path, "project.set"), "Languages/Fonts", "1036"), "");
  EXPECT_EQ(hv::ListFolder(path), std::vector<wxString>{"PROJECT.SET"});
}

TEST_F(ProjectFixture, ObjectsBelowADeviceGetTheProjectsLanguages) {
  const wxString path = hv::JoinPath(ProjectsRoot(), "Linie");
  hv::MakeFolders(path);
  hvtest::WriteAll(hv::JoinPath(path, "PROJECT.SET"),
                   "[Config]\r\nName=Linie\r\nDefaultLanguage=1033\r\n[Languages/Fonts]\r\n1031=Arial\r\n32769=1\r\n"
                   "[DefLanguages]\r\n32769=Kunde\r\n");
  hv::IniFlushCache();
  CPOProject p("Linie", path);
  EXPECT_EQ(devsvc::DefaultLanguage(&p), 1033);
  std::vector<WORD> numbers;
  wxString customer;
  for (const LANGUAGE& l : devsvc::Languages(&p)) {
    numbers.push_back(l.number);
    EXPECT_FALSE(l.name.empty()) << l.number;
    if (l.number == 32769) customer = l.name;
  }
  // The default language counts as a project language even when the section lacks it.
  EXPECT_EQ(numbers, (std::vector<WORD>{1031, 1033, 32769}));
  EXPECT_EQ(customer, "Kunde");
  EXPECT_EQ(devsvc::DefaultLanguage(nullptr), kNoLanguage);
}

TEST_F(ProjectFixture, ArchiveKeepsTheFieldOrderAndTheCopyFlag) {
  CPOProject p("Linie", "/p/Linie");
  ProjectFlags f;
  f.CoDeSysDP = 1;
  f.CoDeSysDPChecksum = 2;   // distinct values show the order
  f.CoDeSysDPCreate = 3;
  f.CoDeSysDPCreateCOM = 4;
  f.CoDeSysDPByteAddr = 5;
  p.SetFlags(f);
  CArchive out;
  p.WriteToClipboard(out);
  p.Serialize(out);
  CArchive in(out.Bytes());
  EXPECT_EQ(in.ReadString(), "Linie");
  EXPECT_EQ(in.ReadString(), "/p/Linie");
  for (int expected : {1, 3, 2, 4, 5, 1}) EXPECT_EQ(in.ReadI32(), expected);
  CArchive again(out.Bytes());
  CPOProject back;
  back.Serialize(again);
  EXPECT_EQ(back.GetFlags(), f);
  EXPECT_EQ(back.GetCopyFlag(), 1);
  EXPECT_EQ(back.GetFolder(), "/p/Linie");
}

TEST_F(ProjectFixture, MakeCurrentWritesTheTreePathAndFolder) {
  const wxString path = hv::JoinPath(ProjectsRoot(), "Linie");
  CPOProject* p = AddProject(AddFolder("Anlagen"), "Linie", path);
  ASSERT_TRUE(p->MakeCurrent());
  EXPECT_EQ(p->GetTreePath(), "Anlagen\\Linie");
  EXPECT_EQ(hv::RegistryStore::Get().GetString("SOFTWARE\\Quintor\\Halvora", "ProjectFullPath").value_or(""),
            "Anlagen\\Linie");
  EXPECT_EQ(hv::RegistryStore::Get().GetString("SOFTWARE\\Quintor\\Halvora", "ProjectPath").value_or(""), path);
}

// A project whose documentation node is gone (its last document deleted) still takes
// files: the node is made as a load makes it, and only when there are files to paste.
TEST_F(ProjectFixture, FilesOnTheClipboardMakeTheMissingDocumentationNode) {
  CProjectOperations withDocuments;
  hv::ServiceOverride<hv::IProjectOperations> bound(&withDocuments);
  MemoryClipboardStore store;
  ScopedClipboardStore useStore(store);
  const wxString path = hv::JoinPath(ProjectsRoot(), "Linie");
  CPOProject* p = AddProject(AddFolder("Anlagen"), "Linie", path);
  hvtest::TempDir outside;
  hvtest::WriteAll(outside.Sub("Plan.pdf"), "Plan");
  hvtest::WriteAll(outside.Sub("Notiz.txt"), "Notiz");

  EXPECT_FALSE(p->QueryClipboardFiles());
  EXPECT_FALSE(p->PasteClipboardFiles());
  EXPECT_TRUE(p->HasNoChildren());

  ASSERT_TRUE(PutClipboardFiles(store, {outside.Sub("Plan.pdf")}, false));
  EXPECT_TRUE(p->QueryClipboardFiles());
  EXPECT_TRUE(p->HasNoChildren());   // asking makes nothing
  const std::size_t hintsBefore = view.Hints().size();
  EXPECT_TRUE(p->PasteClipboardFiles());
  ASSERT_EQ(p->GetChildCount(), 1u);
  CProjectObject* node = p->GetChildren()[0];
  EXPECT_TRUE(dynamic_cast<CPODocuments*>(node));
  ASSERT_GT(view.Hints().size(), hintsBefore);
  EXPECT_EQ(view.Hints()[hintsBefore], HINT_OBJECT_ADDED);
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(path, "Documentation/Plan.pdf")), "Plan");
  // Once there, the node takes the next files itself.
  ASSERT_TRUE(PutClipboardFiles(store, {outside.Sub("Notiz.txt")}, false));
  EXPECT_TRUE(p->PasteClipboardFiles());
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(path, "Documentation/Notiz.txt")), "Notiz");
  EXPECT_EQ(p->GetChildCount(), 1u);
  EXPECT_EQ(p->GetChildren()[0], node);
}

// Without devices a project has something to open in the tree only when its
// documentation folder holds documents (sub-folders are not listed), and only in a
// program that makes documentation nodes.
TEST_F(ProjectFixture, DocumentsAloneGiveAProjectTreeChildren) {
  const wxString path = hv::JoinPath(ProjectsRoot(), "Linie");
  CPOProject* p = AddProject(AddFolder("Anlagen"), "Linie", path);
  ASSERT_TRUE(hv::MakeFolders(hv::JoinPath(path, "Documentation/Bilder")));
  hvtest::WriteAll(hv::JoinPath(path, "Documentation/Plan.pdf"), "Plan");
  EXPECT_FALSE(p->HasTreeChildren());
  CProjectOperations withDocuments;
  hv::ServiceOverride<hv::IProjectOperations> bound(&withDocuments);
  EXPECT_TRUE(p->HasTreeChildren());
  ASSERT_EQ(0, unlink(hv::ToFs(hv::JoinPath(path, "Documentation/Plan.pdf")).c_str()));
  EXPECT_FALSE(p->HasTreeChildren());
}
