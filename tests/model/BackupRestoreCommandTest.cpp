// A project backed up from its own command and restored through a project folder of
// a fresh user folder: the files come back byte for byte and the project is listed
// under that folder.
#include <gtest/gtest.h>

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

}  // namespace

TEST(BackupRestoreCommands, ProjectRoundTripsThroughItsCommands) {
  CObjectFactory::IsRegistered("CPOProject");   // registers the classes and their hooks
  hvtest::TempDir archives;
  const wxString archive = archives.Sub("Anlage_backup.zip");
  std::map<std::string, std::string> original;
  {
    hvtest::TempHome home;
    hvtest::ScriptedUi ui;
    CTavProjectDoc doc;
    StartList(doc, ui, "Kunden");
    const wxString folder = home.Sub("Projects/Anlage");
    WriteProject(folder);
    ASSERT_TRUE(projectlist::Insert(projectlist::Row{"Anlage", folder, 1, "$$$0$$$Kunden"}));
    CProjectObject* kunden = doc.GetRoot(0);
    ASSERT_TRUE(kunden->LoadChildren());
    POSITION pos = 0;
    auto* project = dynamic_cast<CPOProject*>(kunden->GetFirstChild(pos));
    ASSERT_NE(project, nullptr);

    ui.Answer<BackupRequest>([&](BackupRequest& r) {
      BackupController backup(r);
      backup.SetArchiveCoDeSys(false);
      backup.TargetChosen(archive);
      if (!backup.Start() || !backuptest::RunToEnd(backup)) return IDCANCEL;
      return IDOK;
    });
    project->OnBackup();
    ASSERT_TRUE(hv::IsFile(archive));
    for (const char* rel : {"PROJECT.SET", "Gerät 1/DEVICE.SET", "Gerät 1/resource/resource.res"})
      original[rel] = hvtest::ReadAll(folder + "/" + S(rel));
    hv::db::DropCachedTables();
  }

  hvtest::TempHome fresh;
  hvtest::ScriptedUi ui;
  CTavProjectDoc doc;
  StartList(doc, ui, S("Wiederhergestellt"));
  ui.Answer<RestoreRequest>([&](RestoreRequest& r) {
    RestoreController restore(r);
    if (!restore.ChooseArchive(archive) || !restore.Start(restore.TargetFolder())) {
      ADD_FAILURE() << "not started: " << hv::ToUtf8(restore.StatusText());
      return IDCANCEL;
    }
    if (!backuptest::RunToEnd(restore) || !restore.Succeeded()) {
      ADD_FAILURE() << hv::ToUtf8(restore.StatusText());
      return IDCANCEL;
    }
    return IDOK;
  });
  auto* folder = dynamic_cast<CPOPrjFolder*>(doc.GetRoot(0));
  ASSERT_NE(folder, nullptr);
  {
    DispatchScope scope;
    folder->OnRestore();
  }
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
