#pragma once
// A device with its tables in a private folder, below a project node "Anlage 1", with
// its screens folder, a document with a recording view, a scripted facade and a
// private registry and user folder.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/TavProjectDoc.h"
#include "platform/dbase/DbLib.h"
#include "resources/Mask.h"
#include "resources/ResMask.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"
#include "tests/support/ToolStandIns.h"

namespace hvtest {

// A stand-in device whose node lies below a project node.
class ProjectDevice : public FakeDevice {
 public:
  explicit ProjectDevice(const wxString& folder);
  CProjectObject& DeviceNode() { return *m_device; }
  CProjectObject* AsObject(CPOPrjDevice& device) override;

 private:
  FakeObject m_project;
  CProjectObject* m_device = nullptr;
};

class ScreenFixture : public testing::Test {
 protected:
  ScreenFixture();
  ~ScreenFixture() override;

  // Appends a record of a screen and returns it with its record id.
  hv::db::MaskField AddRecord(const wxString& screen, int number, std::uint32_t type,
                              const std::function<void(hv::db::MaskField&)>& fill = nullptr);
  // A header and `elements` elements of type 2.
  void AddScreen(const wxString& name, std::uint16_t logicalId = 0, int elements = 0);
  // The screen objects of the folder after a reload, and one by name.
  CPOMask* Screen(const wxString& name);
  // Every record of a screen, in element order.
  std::vector<hv::db::MaskField> Records(const wxString& screen);
  // Makes the log's stand-in designer the configured one.
  void UseStandInDesigner(const DesignerLog& log);

  TempHome home;
  TempDir dir;
  ProjectDevice dev;
  CTavProjectDoc doc;
  RecordingView view;
  ScriptedUi ui;
  std::unique_ptr<CPOResMask> folder;
};

}  // namespace hvtest
