#include "tests/gui/support/ProjectWindow.h"

#include <wx/app.h>

#include "framework/ClipboardStore.h"
#include "model/NewObjectRequests.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectTreeView.h"
#include "model/ObjectFactory.h"
#include "model/ProjectList.h"
#include "model/ProjectRequests.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/HardwareTree.h"

namespace hvtest {

ProjectWindowFixture::ProjectWindowFixture(const std::string& systemRegistry) {
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" + hv::ToUtf8(SourceDataFolder()) + "\"\n" +
                           systemRegistry);
  app.m_profile.SetPath(home.Sub("Project.INI"));
  app.m_languageCode = wxS("DEU");
  app.m_tools.Load();
  m_previousStore = &ClipboardStore();
  SetClipboardStore(&clipboard);
  CObjectFactory::IsRegistered("CPOProject");
  hv::MakeFolders(ProjectsRoot());
  hv::db::dbank_open();
  EXPECT_TRUE(hv::db::db_create_dbf(projectlist::TableFile()));
}

ProjectWindowFixture::~ProjectWindowFixture() {
  Close();
  {
    DispatchScope scope;
    while (doc.GetRootCount()) doc.RemoveObject(doc.GetRoot(0));
  }
  SetClipboardStore(m_previousStore == &clipboard ? nullptr : m_previousStore);
  hv::db::DropCachedTables();
}

void ProjectWindowFixture::Open() {
  frame = new CMainFrame(doc, app.m_profile);
  frame->InitialUpdate(wxString());
  frame->Show();
  Pump(std::chrono::milliseconds(100));
}

void ProjectWindowFixture::Close() {
  if (!frame) return;
  frame->Destroy();
  frame = nullptr;
  Pump(std::chrono::milliseconds(20));
}

CProjectTreeView& ProjectWindowFixture::Tree() { return *frame->GetTreeView(); }

CPOPrjFolder* ProjectWindowFixture::AddFolder(const wxString& name) {
  EXPECT_TRUE(projectlist::Insert({name, wxString(), 0, wxString()}));
  return static_cast<CPOPrjFolder*>(doc.AddRoot(std::make_unique<CPOPrjFolder>(name)));
}

CPOProject* ProjectWindowFixture::AddProject(CPOPrjFolder* folder, const wxString& name) {
  const wxString path = hv::JoinPath(ProjectsRoot(), name);
  hv::MakeFolders(path);
  CSettingsFile(hv::JoinPath(path, "PROJECT.SET")).WriteString("Config", "Name", name);
  const projectlist::Row row{name, path, folder->GetLevel() + 1, folder->OwnKey()};
  EXPECT_TRUE(projectlist::Insert(row));
  auto project = std::make_unique<CPOProject>(name, path);
  project->SetLevel(row.level);
  project->SetParentFolderKey(row.parentKey);
  return static_cast<CPOProject*>(folder->AddChild(std::move(project)));
}

void ProjectWindowFixture::AnswerNewDevice(const DeviceAnswers& answers) {
  m_answers = answers;
  ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
    r.typeCode = TypeCode::PrjDevice;
    return static_cast<int>(IDOK);
  });
  ui.Answer<PrjDeviceSheetRequest>([answers](PrjDeviceSheetRequest& r) {
    EXPECT_TRUE(r.wizard);
    CPOPrjDevice& d = *r.device;
    d.SetName(answers.name);
    d.SetDeviceFolder(hv::JoinPath(d.GetProjectFolder(), answers.name));
    d.SetHardwareType(answers.type);
    d.SetDeviceDriver(answers.driver);
    d.SetDriverDisplayText(answers.driver);
    d.SetNetwork(answers.network);
    return static_cast<int>(kWizardFinish);
  });
}

CPOPrjDevice* ProjectWindowFixture::MakeDevice(CPOProject* project, const wxString& name) {
  if (!SelectInTree(project)) return nullptr;
  // The answers given for this name, else a device of the default type.
  AnswerNewDevice(m_answers.name == name ? m_answers : DeviceAnswers{name});
  if (!RunInTree(ID_OBJECT_NEW)) return nullptr;
  Pump(std::chrono::milliseconds(100));   // the device's late questions
  return dynamic_cast<CPOPrjDevice*>(ChildNamed(project, name));
}

void ProjectWindowFixture::AnswerNewProject(const wxString& name) {
  ui.Answer<NewProjectRequest>([name](NewProjectRequest& r) {
    r.folder = FolderFollowingName(r.folder, r.name, name);
    r.name = name;
    return static_cast<int>(IDOK);
  });
}

std::vector<wxString> ProjectWindowFixture::TreeMenuOf(CProjectObject* object) {
  const wxTreeItemId item = Tree().ItemOf(object);
  wxRect rect;
  if (!item.IsOk() || !Tree().GetBoundingRect(item, rect, true)) return {};
  return ContextMenuLabels(Tree(), Tree().ClientToScreen(rect.GetPosition() + wxPoint(4, 4)));
}

bool ProjectWindowFixture::SelectInTree(CProjectObject* object) {
  CTreePresenter& presenter = Tree().Presenter();
  // Open the way down from the top.
  std::vector<CProjectObject*> path;
  for (CProjectObject* o = object; o; o = o->GetParent()) path.insert(path.begin(), o);
  for (std::size_t i = 0; i + 1 < path.size(); ++i) {
    const wxTreeItemId item = Tree().ItemOf(path[i]);
    if (!item.IsOk()) return false;
    Tree().Expand(item.GetID());
  }
  const wxTreeItemId item = Tree().ItemOf(object);
  if (!item.IsOk()) return false;
  Tree().SelectItem(item.GetID());
  Pump(std::chrono::milliseconds(20));
  return presenter.GetSelectedObject() == object;
}

BOOL ProjectWindowFixture::RunInTree(UINT id) {
  DispatchScope scope;
  return frame->Router().RouteFrom(&Tree().Presenter()).Execute(id);
}

BOOL ProjectWindowFixture::EnabledInTree(UINT id) {
  return frame->Router().RouteFrom(&Tree().Presenter()).IsEnabled(id);
}

namespace {

std::vector<wxString> ItemTexts(CProjectTreeView& tree, const wxTreeItemId& item) {
  std::vector<wxString> names;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId c = tree.wxTreeCtrl::GetFirstChild(item, cookie); c.IsOk(); c = tree.GetNextChild(item, cookie))
    names.push_back(tree.wxTreeCtrl::GetItemText(c));
  return names;
}

}  // namespace

std::vector<wxString> ProjectWindowFixture::TreeChildren(CProjectObject* object) {
  const wxTreeItemId item = Tree().ItemOf(object);
  if (!item.IsOk()) return {};
  Tree().Expand(item.GetID());
  return ItemTexts(Tree(), item);
}

std::vector<wxString> ProjectWindowFixture::ItemsShown(CProjectObject* object) {
  const wxTreeItemId item = Tree().ItemOf(object);
  if (!item.IsOk() || !Tree().wxTreeCtrl::IsExpanded(item)) return {};
  return ItemTexts(Tree(), item);
}

CProjectObject* ChildNamed(CProjectObject* parent, const wxString& name) {
  if (!parent) return nullptr;
  for (CProjectObject* c : parent->GetChildren())
    if (c->GetName() == name) return c;
  return nullptr;
}

}  // namespace hvtest
