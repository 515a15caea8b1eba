// Projects that come from outside through a project folder's commands in the real
// window: an older project is refused as not convertible, and a backup restored under
// another folder name is listed and named as typed.
#include <gtest/gtest.h>

#include <map>

#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "archive/ZipWriter.h"
#include "framework/CommandIds.h"
#include "framework/NameDialogRequests.h"
#include "framework/SettingsFile.h"
#include "model/ProjectList.h"
#include "model/RestoreController.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

class ImportRestoreGui : public hvtest::ProjectWindowFixture {
 protected:
  std::vector<wxString> ListNames() {
    std::vector<wxString> names;
    CProjectListView& list = *frame->GetListView();
    for (std::size_t i = 0; i < list.Presenter().GetRowCount(); ++i)
      if (CProjectObject* o = list.Presenter().RowObject(i)) names.push_back(o->GetName());
    return names;
  }
};

std::map<wxString, std::string> Files(const wxString& folder) {
  std::map<wxString, std::string> files;
  for (const wxString& name : hv::ListFolder(folder)) files[name] = hvtest::ReadAll(hv::JoinPath(folder, name));
  return files;
}

}  // namespace

TEST_F(ImportRestoreGui, AnOlderProjectIsRefusedAsNotConvertibleAndStaysAsItWas) {
  CPOPrjFolder* folder = AddFolder(S("Anlagen"));
  const wxString old = home.Sub("Alt/Linie");
  hvtest::WriteAll(hv::JoinPath(old, "version.dat"), "2700|Linie\r\n");
  hvtest::WriteAll(hv::JoinPath(old, "Linie.prj"), "alte Daten");
  const auto before = Files(old);
  Open();
  ASSERT_TRUE(SelectInTree(folder));
  ui.Answer<PathDialogRequest>([old](PathDialogRequest& r) {
    r.pathName = old;
    return static_cast<int>(IDOK);
  });
  ui.ExpectMessage(10258);   // conversion of older projects is not available
  ASSERT_TRUE(RunInTree(ID_IMPORT));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(ui.Saw(10227));   // nothing asked that cannot be done
  EXPECT_EQ(Files(old), before);
  EXPECT_FALSE(projectlist::Find(S("Linie")));
  EXPECT_TRUE(TreeChildren(folder).empty());
}

TEST_F(ImportRestoreGui, ARestoreUnderAnotherNameIsListedAndNamedAsTyped) {
  // A backup of "Linie" (folder and name), and a project of that folder already there.
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
  CPOPrjFolder* folder = AddFolder(S("Anlagen"));
  AddProject(folder, S("Linie"));
  Open();
  ASSERT_TRUE(SelectInTree(folder));

  ui.Answer<RestoreRequest>([archive](RestoreRequest& r) {
    RestoreController restore(r);
    if (!restore.ChooseArchive(archive) || !restore.Start(restore.TargetFolder())) return static_cast<int>(IDCANCEL);
    hvtest::WaitFor([&restore] { return restore.Poll(); }, std::chrono::seconds(30));
    return restore.Succeeded() ? static_cast<int>(IDOK) : static_cast<int>(IDCANCEL);
  });
  ui.Answer<RestorePathExistsRequest>([](RestorePathExistsRequest& r) {
    r.choice = 1;
    r.chosenFolder = S("Linie Süd");
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(RunInTree(ID_RESTORE));

  const wxString restored = hv::JoinPath(ProjectsRoot(), S("Linie Süd"));
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(restored, "Notiz.txt")), "Stand 4");
  EXPECT_EQ(CSettingsFile(hv::JoinPath(restored, "PROJECT.SET")).GetString("Config", "Name", wxString()), S("Linie Süd"));
  const auto row = projectlist::Find(S("Linie Süd"));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->path, restored);
  EXPECT_EQ(row->parentKey, folder->OwnKey());
  EXPECT_EQ(TreeChildren(folder), (std::vector<wxString>{S("Linie"), S("Linie Süd")}));
  ASSERT_TRUE(SelectInTree(folder));
  EXPECT_EQ(ListNames(), (std::vector<wxString>{S("Linie"), S("Linie Süd")}));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(ImportRestoreGui, ADamagedForeignArchiveIsRefusedAndTheProjectItWouldReplaceStays) {
  // A backup of "Linie" whose end record states 65,535 entries for the three it holds.
  hvtest::TempDir source;
  const wxString saved = source.Sub("Linie");
  hvtest::WriteAll(hv::JoinPath(saved, "PROJECT.SET"), "[Config]\r\nName=Linie\r\n");
  hvtest::WriteAll(hv::JoinPath(saved, "Notiz.txt"), "Stand 5");
  const wxString archive = source.Sub("Linie_backup.zip");
  {
    CZipWriter writer;
    ASSERT_TRUE(writer.OpenZip(archive, source.Path()));
    ASSERT_TRUE(writer.AddFolderToZip(saved, FALSE));
    ASSERT_TRUE(writer.CloseZip());
  }
  std::string bytes = hvtest::ReadAll(archive);
  bytes.replace(bytes.rfind("PK\x05\x06") + 8, 4, "\xFF\xFF\xFF\xFF");
  hvtest::WriteAll(archive, bytes);

  CPOPrjFolder* folder = AddFolder(S("Anlagen"));
  AddProject(folder, S("Linie"));
  const wxString existing = hv::JoinPath(ProjectsRoot(), S("Linie"));
  hvtest::WriteAll(hv::JoinPath(existing, "Notiz.txt"), "Stand 4");
  const auto before = Files(existing);
  Open();
  ASSERT_TRUE(SelectInTree(folder));

  bool succeeded = true;
  ui.Answer<RestoreRequest>([archive, &succeeded](RestoreRequest& r) {
    RestoreController restore(r);
    if (!restore.ChooseArchive(archive) || !restore.Start(restore.TargetFolder())) return static_cast<int>(IDCANCEL);
    hvtest::WaitFor([&restore] { return restore.Poll(); }, std::chrono::seconds(30));
    succeeded = restore.Succeeded();
    return static_cast<int>(IDCANCEL);
  });
  ui.Answer<RestorePathExistsRequest>([](RestorePathExistsRequest& r) {
    r.choice = 0;   // overwrite
    return static_cast<int>(IDOK);
  });
  ui.ExpectMessage(10757, IDYES);   // sure to overwrite?
  ui.ExpectMessage(10765);          // extraction failed: the archive is damaged
  ASSERT_TRUE(RunInTree(ID_RESTORE));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(succeeded);
  EXPECT_TRUE(ui.MessageTexts().back().Contains(S("Archiv beschädigt"))) << hv::ToUtf8(ui.MessageTexts().back());
  EXPECT_EQ(Files(existing), before);
  EXPECT_EQ(TreeChildren(folder), (std::vector<wxString>{S("Linie")}));
}
