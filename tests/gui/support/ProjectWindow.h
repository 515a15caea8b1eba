#pragma once
// A main window on real projects: the project list in a private user folder, the
// shipped install tree, the desktop's clipboard, and devices made through the
// project's new-device wizard with a scripted device sheet.
#include <gtest/gtest.h>

#include "app/TavProjectApp.h"
#include "app/TavProjectDoc.h"
#include "app/ui/WxClipboardStore.h"
#include "model/PrjDevice.h"
#include "model/PrjFolder.h"
#include "model/Project.h"
#include "model/ProjectOperations.h"
#include "framework/Services.h"
#include "tests/support/TestEnv.h"

class CMainFrame;
class CProjectTreeView;

namespace hvtest {

// What the device sheet's pages put into a new device.
struct DeviceAnswers {
  wxString name;
  wxString type = wxS("KOLM_G320");
  wxString driver = wxS("CAN_R515");
  wxString network = wxS("MBTCP");
};

class ProjectWindowFixture : public testing::Test {
 protected:
  // `systemRegistry`: more of the registry's system layer than the install folder.
  explicit ProjectWindowFixture(const std::string& systemRegistry = std::string());
  ~ProjectWindowFixture() override;

  void Open();
  void Close();
  CProjectTreeView& Tree();

  // A top-level project folder with its row.
  CPOPrjFolder* AddFolder(const wxString& name);
  // A project in the projects folder with "PROJECT.SET" and its row under `folder`.
  CPOProject* AddProject(CPOPrjFolder* folder, const wxString& name);
  // The device sheet's next run makes a device with these answers; the new-object
  // dialog's next run chooses a device.
  void AnswerNewDevice(const DeviceAnswers& answers);
  // A device "name" made in the open window through the project's "Neu..." and the
  // new-device wizard; nullptr when none was made.
  CPOPrjDevice* MakeDevice(CPOProject* project, const wxString& name);
  // The new-project dialog's next run takes this name (the folder follows it).
  void AnswerNewProject(const wxString& name);

  // Selects the object's item in the tree, opening its parents; false when it has none.
  bool SelectInTree(CProjectObject* object);
  // A command as the tree's menus run it: routed from the tree, run when enabled.
  BOOL RunInTree(UINT id);
  BOOL EnabledInTree(UINT id);
  // The labels of the menu a right click on the object's tree item shows (see
  // ContextMenuLabels); none when the object has no item shown.
  std::vector<wxString> TreeMenuOf(CProjectObject* object);
  // The names of the tree items below the object's item (opened first).
  std::vector<wxString> TreeChildren(CProjectObject* object);
  // The same as the tree shows them now, opening nothing: none while the item is closed.
  std::vector<wxString> ItemsShown(CProjectObject* object);

  wxString ProjectsRoot() const { return home.Sub("Projects"); }

  TempHome home;
  ScriptedUi ui;
  CTavProjectApp app;
  WxClipboardStore clipboard;
  CTavProjectDoc doc;
  CMainFrame* frame = nullptr;
  // Projects here list their devices only; the documentation node has tests of its own.
  struct NoDocuments : CProjectOperations {
    std::unique_ptr<CProjectObject> MakeDocuments(CPOProject&) override { return nullptr; }
  } operations;
  hv::ServiceOverride<hv::IProjectOperations> boundOperations{&operations};

 private:
  IClipboardStore* m_previousStore = nullptr;
  DeviceAnswers m_answers;   // the last ones given
};

// The child of `parent` with the name; nullptr when none.
CProjectObject* ChildNamed(CProjectObject* parent, const wxString& name);

}  // namespace hvtest
