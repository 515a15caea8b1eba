// Copy, move and import of projects: the list, the folders and the tree afterwards,
// also when a step fails.
#include <gtest/gtest.h>

#include "framework/FolderCopy.h"
#include "framework/NameDialogRequests.h"
#include "framework/UpdateHints.h"
#include "model/ProjectCopy.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "tests/model/ProjectTestSupport.h"

using hvtest::S;
using projtest::ProjectFixture;

namespace {

struct ProjectCopyFixture : ProjectFixture {

  // A project with a device folder and a document to copy.
  CPOProject* Template(CPOPrjFolder* folder, const wxString& name) {
    const wxString path = hv::JoinPath(ProjectsRoot(), name);
    CPOProject* p = AddProject(folder, name, path);
    CSettingsFile(hv::JoinPath(path, "PROJECT.SET")).WriteString("Languages/Fonts", "1033", "Tahoma");
    MakeDeviceFolder(hv::JoinPath(path, "Panel1"), "Panel1");
    hv::MakeFolders(hv::JoinPath(path, "Documentation"));
    hvtest::WriteAll(hv::JoinPath(path, "Documentation/Handbuch.pdf"), std::string(200000, 'x'));
    return p;
  }

  void PickFolder(const wxString& path) {
    ui.Answer<PathDialogRequest>([path](PathDialogRequest& r) {
      EXPECT_EQ(r.caption, S("Wählen Sie den Projektordner"));
      r.pathName = path;
      return static_cast<int>(IDOK);
    });
  }
};

}  // namespace

TEST_F(ProjectCopyFixture, CopyProposesTheFirstFreeCopyNameAndCopiesEverything) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  CPOProject* templ = Template(folder, "Linie");
  ASSERT_TRUE(projectlist::Insert({"Linie_1", "/nowhere", 1, folder->OwnKey()}));
  std::vector<NewProjectRequest> seen;
  AnswerNewProject("Linie_2", &seen);
  templ->OnNewCopy();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].name, "Linie_2");
  const wxString copy = hv::JoinPath(ProjectsRoot(), "Linie_2");
  EXPECT_EQ(seen[0].folder, copy);

  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(copy, "Documentation/Handbuch.pdf")).size(), 200000u);
  EXPECT_TRUE(hv::IsFile(hv::JoinPath(copy, "Panel1/GERAET.DBF")));
  EXPECT_EQ(hv::IniGetString(hv::JoinPath(copy, "PROJECT.SET"), "Config", "Name", ""), "Linie_2");
  EXPECT_EQ(hv::IniGetString(hv::JoinPath(copy, "PROJECT.SET"), "Languages/Fonts", "1033", ""), "Tahoma");
  EXPECT_EQ(hv::IniGetString(hv::JoinPath(templ->GetFolder(), "PROJECT.SET"), "Config", "Name", ""), "Linie");
  auto row = projectlist::Find("Linie_2");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->parentKey, folder->OwnKey());
  EXPECT_EQ(folder->GetChildCount(), 2u);

  EXPECT_EQ(ProjectCopyName(wxString('A', 30), 1), wxString('A', 27) + "-_1");
  EXPECT_EQ(ProjectCopyName(wxString('A', 26) + "_x", 12), wxString('A', 26) + "-_12");
  EXPECT_EQ(ProjectCopyName("Kurz", 3), "Kurz_3");
}

TEST_F(ProjectCopyFixture, FailedOrCancelledCopyLeavesNoHalfProject) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  CPOProject* templ = Template(folder, "Linie");
  const std::vector<wxString> rows = RowNames();

  AnswerNewProject(wxString());
  templ->OnNewCopy();

  AnswerNewProject("Kopie");
  ui.ExpectMessage(10945);
  {
    hvtest::FileSizeLimit limit(100000);   // the manual does not fit
    templ->OnNewCopy();
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(hv::PathExists(hv::JoinPath(ProjectsRoot(), "Kopie")));
  EXPECT_EQ(RowNames(), rows);
  EXPECT_EQ(folder->GetChildCount(), 1u);

  // Cancelled in its progress display: no message, nothing of the copy stays.
  AnswerNewProject("Kopie");
  std::vector<wxString> titles;
  ui.Answer<FolderCopyRequest>([&titles](FolderCopyRequest& r) {
    titles.push_back(r.title);
    r.operation->Cancel();
    r.operation->RunToEnd();
    return static_cast<int>(IDCANCEL);
  });
  templ->OnNewCopy();
  EXPECT_EQ(titles, std::vector<wxString>{S("Projekt 'Linie' wird kopiert.")});
  EXPECT_FALSE(hv::PathExists(hv::JoinPath(ProjectsRoot(), "Kopie")));
  EXPECT_EQ(RowNames(), rows);
  EXPECT_EQ(folder->GetChildCount(), 1u);
}

TEST_F(ProjectCopyFixture, PasteAfterCutMovesOnlyTheRowAfterCopyMakesACopy) {
  CPOPrjFolder* from = AddFolder("Alt");
  CPOPrjFolder* to = AddFolder("Neu");
  CPOProject* p = Template(from, "Linie");
  const wxString path = p->GetFolder();

  CArchive out;
  p->Cut(out);
  p->Serialize(out);
  CArchive in(out.Bytes());
  CPOProject pasted;
  pasted.Serialize(in);
  EXPECT_TRUE(pasted.ReadFromClipboard(in, to));
  auto row = projectlist::Find("Linie");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->parentKey, to->OwnKey());
  EXPECT_EQ(row->level, 1);
  EXPECT_EQ(row->path, path);
  EXPECT_TRUE(hv::IsFile(hv::JoinPath(path, "PROJECT.SET")));
  EXPECT_EQ(view.Hints().back(), HINT_OBJECT_CHANGED);

  // The cut project's object (stale after the move) is gone; the pasted one stands for it.
  EXPECT_TRUE(from->HasNoChildren());
  CArchive out2;
  pasted.WriteToClipboard(out2);
  pasted.Serialize(out2);
  CArchive in2(out2.Bytes());
  CPOProject copied;
  copied.Serialize(in2);
  AnswerNewProject("Linie_1");
  EXPECT_FALSE(copied.ReadFromClipboard(in2, to));
  ASSERT_TRUE(projectlist::Find("Linie_1"));
  EXPECT_EQ(projectlist::Find("Linie_1")->parentKey, to->OwnKey());
  EXPECT_EQ(to->GetChildCount(), 1u);
}

TEST_F(ProjectCopyFixture, AMovedProjectIsListedOnlyInItsNewFolder) {
  CPOPrjFolder* from = AddFolder("Alt");
  CPOPrjFolder* to = AddFolder("Neu");
  CPOProject* p = Template(from, "Linie");
  CArchive out;
  p->Cut(out);
  p->Serialize(out);
  {
    DispatchScope scope;
    from->RemoveChild(p);
  }
  // Listed while the project waits on the clipboard: read back from its old row.
  from->LoadChildren();
  ASSERT_EQ(from->GetChildCount(), 1u);

  CArchive in(out.Bytes());
  auto pasted = std::make_unique<CPOProject>();
  pasted->Serialize(in);
  CProjectObject* added = to->AddChild(std::move(pasted));
  ASSERT_TRUE(added->ReadFromClipboard(in, to));
  EXPECT_TRUE(from->HasNoChildren());
  EXPECT_EQ(to->GetChildren(), std::vector<CProjectObject*>{added});
  from->LoadChildren();
  EXPECT_TRUE(from->HasNoChildren());
}

TEST_F(ProjectCopyFixture, ImportOfACurrentProjectFilesItUnderTheFolder) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  const wxString source = home.Sub("Fremd/Linie");
  hv::MakeFolders(source);
  hvtest::WriteAll(hv::JoinPath(source, "Project.set"), "[Config]\r\nName=Anlagen\r\n");
  PickFolder(source);
  folder->OnImport();

  // The name in the file is taken, so the project gets the copy rule's name.
  auto row = projectlist::Find("Anlagen_1");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->path, source);
  EXPECT_EQ(row->parentKey, folder->OwnKey());
  ASSERT_EQ(folder->GetChildCount(), 1u);
  EXPECT_EQ(view.Hints().back(), HINT_OBJECT_ADDED);

  // The same folder again, spelled in other case: refused.
  PickFolder(home.Sub("FREMD/linie/"));
  ui.ExpectMessage(10202);
  folder->OnImport();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(RowNames().size(), 2u);

  // Listed after a reload of the folder.
  folder->DeleteAllChildren();
  folder->LoadChildren();
  ASSERT_EQ(folder->GetChildCount(), 1u);
  EXPECT_EQ(folder->GetChildren()[0]->GetName(), "Anlagen_1");
}

TEST_F(ProjectCopyFixture, ImportAsksAboutOldDevicesAndReportsTheMissingConverter) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  const wxString source = home.Sub("Fremd/Alt");
  hv::MakeFolders(source);
  hvtest::WriteAll(hv::JoinPath(source, "PROJECT.SET"), "[Config]\r\nName=Alt\r\n");
  MakeDeviceFolder(hv::JoinPath(source, "A"), "A");
  MakeDeviceFolder(hv::JoinPath(source, "B"), "B", "device.set");
  hvtest::WriteAll(hv::JoinPath(source, "B/device.set"), "[CONFIG]\r\nVersion=2909\r\n");

  // Without the conversion library: said so, nothing asked, the folder as it was.
  const std::string oldSet = hvtest::ReadAll(hv::JoinPath(source, "B/device.set"));
  PickFolder(source);
  ui.ExpectMessage(10258);
  folder->OnImport();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(source, "B/device.set")), oldSet);
  EXPECT_FALSE(projectlist::NameExists("Alt"));

  // A converter that fails, after the question.
  struct Failing : hv::IProjectConverter {
    bool CanUpdate() override { return true; }
  } failing;
  hv::ServiceOverride<hv::IProjectConverter> bound(&failing);
  PickFolder(source);
  ui.ExpectMessage(10227, IDNO);
  folder->OnImport();
  PickFolder(source);
  ui.ExpectMessage(10227, IDYES);
  ui.ExpectMessage(10257);
  folder->OnImport();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(projectlist::NameExists("Alt"));

  // Without device folders there is nothing to convert.
  const wxString plain = home.Sub("Fremd/Leer");
  hv::MakeFolders(plain);
  hvtest::WriteAll(hv::JoinPath(plain, "project.set"), "[Config]\r\n");
  PickFolder(plain);
  folder->OnImport();
  EXPECT_TRUE(projectlist::NameExists("Leer"));
}

TEST_F(ProjectCopyFixture, ImportOfOlderProjects) {
  CPOPrjFolder* folder = AddFolder("Anlagen");
  const wxString source = home.Sub("Alt");
  hv::MakeFolders(source);

  PickFolder(source);
  ui.ExpectMessage(10288);   // no version.dat
  folder->OnImport();
  hvtest::WriteAll(hv::JoinPath(source, "version.dat"), "2599|Linie\r\n");
  PickFolder(source);
  ui.ExpectMessage(10288);
  folder->OnImport();
  hvtest::WriteAll(hv::JoinPath(source, "version.dat"), "2600|../../Linie\r\n");
  PickFolder(source);
  ui.ExpectMessage(10258);   // no converter here: not available, nothing asked
  folder->OnImport();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(RowNames(), std::vector<wxString>{"Anlagen"});
  EXPECT_EQ(hv::ListFolder(source), std::vector<wxString>{"version.dat"});
  EXPECT_FALSE(hv::PathExists(home.Sub("Projects/Linie")));

  // With a converter: two imports of one name get two folders in the projects folder.
  std::vector<wxString> targets;
  struct Converting : hv::IProjectConverter {
    explicit Converting(std::vector<wxString>& t) : targets(t) {}
    bool CanImport() override { return true; }
    BOOL ImportProject(const wxString&, const wxString& target) override {
      targets.push_back(target);
      hv::MakeFolders(target);
      hvtest::WriteAll(hv::JoinPath(target, "PROJECT.SET"), "[Config]\r\n");
      return TRUE;
    }
    std::vector<wxString>& targets;
  } converting(targets);
  hv::ServiceOverride<hv::IProjectConverter> boundConverting(&converting);
  for (int i = 0; i < 2; ++i) {
    PickFolder(source);
    ui.ExpectMessage(10227, IDYES);
    folder->OnImport();
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  const wxString projects = home.Sub("Projects");
  EXPECT_EQ(targets, (std::vector<wxString>{hv::JoinPath(projects, "Linie"), hv::JoinPath(projects, "Linie_1")}));
  EXPECT_EQ(RowNames(), (std::vector<wxString>{"Anlagen", "Linie", "Linie_1"}));
  EXPECT_EQ(projectlist::Find("Linie_1")->parentKey, folder->OwnKey());
}

TEST_F(ProjectCopyFixture, ImportWithoutAFolderGoesToTheTopLevelFolderProjekte) {
  const wxString source = home.Sub("Fremd/Linie");
  hv::MakeFolders(source);
  hvtest::WriteAll(hv::JoinPath(source, "PROJECT.SET"), "[Config]\r\nName=Linie\r\n");
  CPOProject loose("Lose", "/nowhere");
  ASSERT_TRUE(loose.ImportProject(source));
  auto row = projectlist::Find("Linie");
  ASSERT_TRUE(row);
  EXPECT_EQ(row->parentKey, "$$$0$$$Projekte");
  ASSERT_TRUE(projectlist::Find("Projekte"));
  ASSERT_EQ(doc.GetRootCount(), 1u);
  EXPECT_EQ(doc.GetRoot(0)->GetChildCount(), 1u);
}
