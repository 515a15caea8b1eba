#include "tests/model/ProjectTestSupport.h"

#include "model/ProjectSettings.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/support/PrivateTrash.h"

namespace projtest {

ProjectFixture::ProjectFixture() {
  hvtest::UsePrivateTrash();
  doc.AddView(&view);
  hv::MakeFolders(ProjectsRoot());
  hv::db::dbank_open();
  EXPECT_TRUE(hv::db::db_create_dbf(projectlist::TableFile()));
}

ProjectFixture::~ProjectFixture() {
  doc.RemoveView(&view);
  hv::db::DropCachedTables();
}

CPOPrjFolder* ProjectFixture::AddFolder(const wxString& name) {
  EXPECT_TRUE(projectlist::Insert({name, wxString(), 0, wxString()}));
  return static_cast<CPOPrjFolder*>(doc.AddRoot(std::make_unique<CPOPrjFolder>(name)));
}

CPOProject* ProjectFixture::AddProject(CPOPrjFolder* folder, const wxString& name, const wxString& path) {
  hv::MakeFolders(path);
  CSettingsFile(hv::JoinPath(path, "PROJECT.SET")).WriteString("Config", "Name", name);
  const projectlist::Row row{name, path, folder ? folder->GetLevel() + 1 : 0,
                             folder ? folder->OwnKey() : wxString()};
  EXPECT_TRUE(projectlist::Insert(row));
  auto project = std::make_unique<CPOProject>(name, path);
  project->SetLevel(row.level);
  project->SetParentFolderKey(row.parentKey);
  CProjectObject* added = folder ? folder->AddChild(std::move(project)) : doc.AddRoot(std::move(project));
  return static_cast<CPOProject*>(added);
}

void ProjectFixture::AnswerNewProject(const wxString& name, std::vector<NewProjectRequest>* seen) {
  ui.Answer<NewProjectRequest>([name, seen](NewProjectRequest& r) {
    if (seen) seen->push_back(r);
    if (name.empty()) return static_cast<int>(IDCANCEL);
    r.folder = FolderFollowingName(r.folder, r.name, name);
    r.name = name;
    return static_cast<int>(IDOK);
  });
}

void ProjectFixture::MakeDeviceFolder(const wxString& folder, const wxString& rowName, const wxString& setName) {
  hv::MakeFolders(folder);
  hvtest::WriteAll(hv::JoinPath(folder, setName), "[Config]\r\nversion=2910\r\n");
  ASSERT_TRUE(hv::db::db_create_dbf(hv::JoinPath(folder, "GERAET.DBF")));
  hv::db::Table t;
  ASSERT_TRUE(hv::db::db_open(hv::JoinPath(folder, "GERAET"), t));
  hv::db::GeraetRow row;
  row.name = rowName;
  row.type = "TP08";
  ASSERT_TRUE(hv::db::geraet_insert(t, row));
}

std::vector<wxString> ProjectFixture::RowNames() const {
  std::vector<wxString> names;
  if (auto rows = projectlist::ReadAll())
    for (const auto& r : *rows) names.push_back(r.name);
  return names;
}

}  // namespace projtest
