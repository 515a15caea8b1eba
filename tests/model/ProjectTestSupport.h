#pragma once
// A document with the project list in a private user folder, for the project tests.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/TavProjectDoc.h"
#include "model/PrjFolder.h"
#include "model/Project.h"
#include "model/ProjectList.h"
#include "model/ProjectOperations.h"
#include "model/ProjectRequests.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"
#include "tests/support/TestServices.h"

namespace projtest {

struct ProjectFixture : ::testing::Test {
  hvtest::TempHome home;
  hvtest::ScriptedUi ui;
  CTavProjectDoc doc;
  hvtest::RecordingView view;
  // The documentation node has tests of its own; here a project lists its devices only.
  struct NoDocuments : CProjectOperations {
    std::unique_ptr<CProjectObject> MakeDocuments(CPOProject&) override { return nullptr; }
  } operations;
  hv::ServiceOverride<hv::IProjectOperations> boundOperations{&operations};

  ProjectFixture();
  ~ProjectFixture() override;

  // A top-level project folder with its row.
  CPOPrjFolder* AddFolder(const wxString& name);
  // A project folder on disk with "PROJECT.SET", its row under `folder` and its object.
  CPOProject* AddProject(CPOPrjFolder* folder, const wxString& name, const wxString& path);
  // Answers the new-project dialog with this name; the folder follows it as in the dialog.
  void AnswerNewProject(const wxString& name, std::vector<NewProjectRequest>* seen = nullptr);
  // A device folder below a project: "DEVICE.SET" and a device table with `rowName`.
  void MakeDeviceFolder(const wxString& folder, const wxString& rowName, const wxString& setName = wxS("DEVICE.SET"));
  wxString ProjectsRoot() const { return home.Sub("Projects"); }
  std::vector<wxString> RowNames() const;
};

}  // namespace projtest
