// A project backed up from its own command and restored through a project folder of
// a fresh user folder: the files come back byte for byte and the project is listed
// under that folder.
#include <gtest/gtest.h>

#include <map>

#include "model/NewObjectRequests.h"
#include "app/TavProjectDoc.h"
#include "model/BackupController.h"
#include "model/LiveObjects.h"
#include "model/ObjectFactory.h"
#include "model/PrjFolder.h"
#include "model/Project.h"
#include "model/ProjectList.h"
#include "model/RestoreController.h"
#include "platform/dbase/Table.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/support/PrivateTrash.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

void WriteProject(const wxString& folder) {
  hvtest::WriteAll(folder + "/PROJECT.SET", "[Config]\r\nName=Kl\xE4r\r\n");
  hvtest::WriteAll(folder + S("/Gerät 1/DEVICE.SET"), "[Config]\r\nFWVersion=152\r\nVersion=2910\r\n");
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 7919) & 0xFF));
  hvtest::WriteAll(folder + S("/Gerät 1/resource/resource.res"), binary);
  hv::MakeFolders(folder + "/Gerät 1/bitmaps");
}

// Starts a document whose first folder gets the typed name.
void StartList(CTavProjectDoc& doc, hvtest::ScriptedUi& ui, const wxString& firstFolder) {
  ui.Answer<NewNameRequest>([firstFolder](NewNameRequest& r) {
    r.name = firstFolder;
    return IDOK;
  });
  doc.SetProjectListSource(std::make_unique<CProjectListSource>());
  ASSERT_TRUE(doc.OnNewDocument());
}

// Backs up a sample project through its own command into `archive`; the files the
// archive holds, by relative path.
std::map<std::string, std::string> BackUpSample(const wxString& archive) {
  std::map<std::string, std::string> original;
  hvtest::TempHome home;
  hvtest::ScriptedUi ui;
  CTavProjectDoc doc;
  StartList(doc, ui, "Kunden");
  const wxString folder = home.Sub("Projects/Anlage");
  WriteProject(folder);
  EXPECT_TRUE(projectlist::Insert(projectlist::Row{"Anlage", folder, 1, "$$$0$$$Kunden"}));
  CProjectObject* kunden = doc.GetRoot(0);
  EXPECT_TRUE(kunden->LoadChildren());
  POSITION pos = 0;
  auto* project = dynamic_cast<CPOProject*>(kunden->GetFirstChild(pos));
  if (!project) {
    ADD_FAILURE() << "no project";
    return original;
  }
  ui.Answer<BackupRequest>([&](BackupRequest& r) {
    BackupController backup(r);
    backup.SetArchiveCoDeSys(false);
    backup.TargetChosen(archive);
    if (!backup.Start() || !backuptest::RunToEnd(backup)) return IDCANCEL;
    return IDOK;
  });
  project->OnBackup();
  EXPECT_TRUE(hv::IsFile(archive));
  for (const char* rel : {"PROJECT.SET", "Gerät 1/DEVICE.SET", "Gerät 1/resource/resource.res"})
    original[rel] = hvtest::ReadAll(folder + "/" + S(rel));
  hv::db::DropCachedTables();
  return original;
}

// Every file below `folder` with its bytes.
std::map<wxString, std::string> Snapshot(const wxString& folder) {
  std::map<wxString, std::string> files;
  for (const wxString& entry : hv::ListFolder(folder)) {
    const wxString path = hv::JoinPath(folder, entry);
    if (hv::IsFolder(path)) {
      for (auto& [rel, bytes] : Snapshot(path)) files[entry + "/" + rel] = bytes;
      files[entry + "/"] = std::string();
    } else {
      files[entry] = hvtest::ReadAll(path);
    }
  }
  return files;
}

// The restore dialog's run as the user drives it: archive, target, start, wait.
void AnswerRestore(hvtest::ScriptedUi& ui, const wxString& archive, bool expectSuccess) {
  ui.Answer<RestoreRequest>([archive, expectSuccess](RestoreRequest& r) {
    RestoreController restore(r);
    if (!restore.ChooseArchive(archive) || !restore.Start(restore.TargetFolder())) {
      if (expectSuccess) ADD_FAILURE() << "not started: " << hv::ToUtf8(restore.StatusText());
      return IDCANCEL;
    }
    if (!backuptest::RunToEnd(restore) || restore.Succeeded() != expectSuccess) {
      ADD_FAILURE() << hv::ToUtf8(restore.StatusText());
      return IDCANCEL;
    }
    return IDOK;
  });
}

void RestoreInto(CTavProjectDoc& doc) {
  auto* folder = dynamic_cast<CPOPrjFolder*>(doc.GetRoot(0));
  ASSERT_NE(folder, nullptr);
  DispatchScope scope;
  folder->OnRestore();
}

}  // namespace

TEST(BackupRestoreCommands, ProjectRoundTripsThroughItsCommands) {
  CObjectFactory::IsRegistered("CPOProject");   // registers the classes
  hvtest::TempDir archives;
  const wxString archive = archives.Sub("Anlage_backup.zip");
  const auto original = BackUpSample(archive);
  ASSERT_FALSE(original.empty());

  hvtest::TempHome fresh;
  hvtest::ScriptedUi ui;
  CTavProjectDoc doc;
  StartList(doc, ui, S("Wiederhergestellt"));
  AnswerRestore(ui, archive, true);
  RestoreInto(doc);
  // Imported under the name its settings give.
  const auto row = projectlist::Find(S("Klär"));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->parentKey, S("$$$0$$$Wiederhergestellt"));
  EXPECT_EQ(row->path, fresh.Sub("Projects/Anlage"));
  for (const auto& [rel, bytes] : original)
    EXPECT_EQ(hvtest::ReadAll(fresh.Sub("Projects/Anlage/" + S(rel.c_str()))), bytes) << rel;
  EXPECT_TRUE(hv::IsFolder(fresh.Sub(S("Projects/Anlage/Gerät 1/bitmaps"))));
  hv::db::DropCachedTables();
}

// A backup of the sample project, and a fresh user folder to restore it into.
class RestoreOver : public testing::Test {
 protected:
  RestoreOver() {
    hvtest::UsePrivateTrash();
    CObjectFactory::IsRegistered("CPOProject");
    original = BackUpSample(archive);
    fresh = std::make_unique<hvtest::TempHome>();
    ui = std::make_unique<hvtest::ScriptedUi>();
    StartList(doc, *ui, S("Kunden"));
  }
  ~RestoreOver() override { hv::db::DropCachedTables(); }

  // The question about the existing folder: overwrite (with Yes), or another name.
  void Choose(int choice, const wxString& name = wxString()) {
    ui->Answer<RestorePathExistsRequest>([choice, name](RestorePathExistsRequest& r) {
      r.choice = choice;
      r.chosenFolder = name;
      return IDOK;
    });
    if (choice == 0) ui->ExpectMessage(10757, IDYES);   // "... dieses Projekt überschreiben wollen?"
  }

  hvtest::TempDir archives;
  const wxString archive = archives.Sub("Anlage_backup.zip");
  std::map<std::string, std::string> original;
  std::unique_ptr<hvtest::TempHome> fresh;
  std::unique_ptr<hvtest::ScriptedUi> ui;
  CTavProjectDoc doc;
};

// The user removed a project's row but kept its folder: a restore of the same project
// asks, and after Yes replaces the folder as it would a listed project's.
TEST_F(RestoreOver, AnUnlistedProjectFolderIsReplacedAfterConfirmation) {
  ASSERT_FALSE(original.empty());
  const wxString folder = fresh->Sub("Projects/Anlage");
  hvtest::WriteAll(folder + "/PROJECT.SET", "[Config]\r\nName=Alt\r\n");
  hvtest::WriteAll(folder + "/alt.txt", "vorher");
  Choose(0);
  AnswerRestore(*ui, archive, true);
  RestoreInto(doc);

  EXPECT_TRUE(ui->AllExpectationsMet());
  EXPECT_FALSE(hv::PathExists(folder + "/alt.txt"));
  for (const auto& [rel, bytes] : original) EXPECT_EQ(hvtest::ReadAll(folder + "/" + S(rel.c_str())), bytes) << rel;
  const auto row = projectlist::Find(S("Klär"));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->path, folder);
}

// A damaged archive fails after the user agreed to overwrite: the old folder is untouched.
TEST_F(RestoreOver, AFailedRestoreLeavesTheUnlistedFolderAsItWas) {
  // Damage the compressed data of the large entry; the directory stays readable.
  std::string bytes = hvtest::ReadAll(archive);
  const size_t at = bytes.find("resource.res");
  ASSERT_NE(at, std::string::npos);
  for (size_t i = at + 200; i < at + 400 && i < bytes.size(); ++i) bytes[i] = static_cast<char>(~bytes[i]);
  hvtest::WriteAll(archive, bytes);
  const wxString folder = fresh->Sub("Projects/Anlage");
  hvtest::WriteAll(folder + "/PROJECT.SET", "[Config]\r\nName=Alt\r\n");
  hvtest::WriteAll(folder + S("/Gerät 1/DEVICE.SET"), "[Config]\r\nVersion=2910\r\n");
  const auto before = Snapshot(folder);
  Choose(0);
  ui->ExpectMessage(10765);   // the extraction's error list
  AnswerRestore(*ui, archive, false);
  RestoreInto(doc);

  EXPECT_TRUE(ui->AllExpectationsMet());
  EXPECT_EQ(Snapshot(folder), before);
  EXPECT_EQ(hv::ListFolder(fresh->Sub("Projects")), std::vector<wxString>{"Anlage"});
  EXPECT_FALSE(projectlist::Find(S("Klär")));
}

// "Verzeichnisname ändern": the typed name is the folder, the list row and the name in
// "PROJECT.SET"; the existing project stays as it was.
TEST_F(RestoreOver, AnotherNameListsAndNamesTheProjectSo) {
  const wxString existing = fresh->Sub("Projects/Anlage");
  hvtest::WriteAll(existing + "/PROJECT.SET", "[Config]\r\nName=Anlage\r\n");
  ASSERT_TRUE(projectlist::Insert(projectlist::Row{"Anlage", existing, 1, "$$$0$$$Kunden"}));
  Choose(1, S("Halle Süd"));
  AnswerRestore(*ui, archive, true);
  RestoreInto(doc);

  const wxString renamed = fresh->Sub(S("Projects/Halle Süd"));
  EXPECT_EQ(hvtest::ReadAll(existing + "/PROJECT.SET"), "[Config]\r\nName=Anlage\r\n");
  EXPECT_EQ(hvtest::ReadAll(renamed + S("/Gerät 1/resource/resource.res")), original.at("Gerät 1/resource/resource.res"));
  EXPECT_EQ(CSettingsFile(renamed + "/PROJECT.SET").GetString("Config", "Name", wxString()), S("Halle Süd"));
  const auto row = projectlist::Find(S("Halle Süd"));
  ASSERT_TRUE(row);
  EXPECT_EQ(row->path, renamed);
  EXPECT_FALSE(projectlist::Find(S("Klär")));
  ASSERT_TRUE(projectlist::Find("Anlage"));
  EXPECT_EQ(projectlist::Find("Anlage")->path, existing);
}
