#pragma once
// A project in a private user folder with the shipped install tree, for the tests of
// the project device: devices are made through the wizard with scripted answers.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/TavProjectApp.h"
#include "app/TavProjectDoc.h"
#include "model/PrjDevice.h"
#include "model/Project.h"
#include "model/SuiteTools.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestServices.h"
#include "tests/support/TestObjects.h"

namespace devtest {

// What the wizard's pages would put into the device.
struct NewDevice {
  wxString name;
  wxString type = wxS("KOLM_G320");
  wxString driver = wxS("CAN_R515");
  wxString node = wxS("M1");
  wxString network = wxS("MBTCP");
  wxString networkPara = wxS("127.168.0.10");
  wxString slot = wxS("ETH_0");
  wxString remoteType;
  short firmware = 180;
  // Device parameters; "$$$DEVICEPATH$$$" stands for the new device folder.
  wxString parameters = wxS("CAN_R515;$$$DEVICEPATH$$$\\CoDeSys\\plc.sym;127.0.0.7");
};

// The default answers with a name, and optionally another type and driver.
inline NewDevice Named(const wxString& name, const wxString& type = wxS("KOLM_G320"),
                       const wxString& driver = wxS("CAN_R515")) {
  NewDevice d;
  d.name = name;
  d.type = type;
  d.driver = driver;
  return d;
}

struct DeviceFixture : ::testing::Test {
  hvtest::TempHome home;
  hvtest::ScriptedUi ui;
  CTavProjectApp app;
  CTavProjectDoc doc;
  hvtest::RecordingView view;
  CPOProject* project = nullptr;
  wxString projectFolder;
  // Tasks the device left for after the current command (the offer of a newer
  // configuration).
  hvtest::QueuedEventLoop events;
  std::vector<std::function<void()>>& deferred = events.tasks;

  DeviceFixture();
  ~DeviceFixture() override;

  // The sheet's next runs are answered by `edit` on the sheet's copy with `result`.
  void AnswerSheet(std::function<void(CPOPrjDevice&)> edit, int result);
  // Makes a device through the project's new-device wizard; the device, or nullptr.
  CPOPrjDevice* Create(const NewDevice& answers);
  CPOPrjDevice* Find(const wxString& name);
  wxString DeviceFolder(const wxString& name) const;
  // Copies the shipped install tree into the user folder and uses that copy.
  wxString UsePrivateInstall();
  void RunDeferred();
};

// The page's part of the wizard: name, folder and the connection values.
void ApplyAnswers(CPOPrjDevice& device, const NewDevice& answers, const wxString& projectFolder);

// Names in a folder, sorted ignoring case.
std::vector<std::string> Names(const wxString& folder);
// A value of an INI file read from its text: the first "key=value" line of the section.
std::string IniValue(const wxString& file, const std::string& section, const std::string& key);
// Every folder entry below `folder` whose name begins with a dot (temporary folders).
std::vector<std::string> Leftovers(const wxString& folder);

}  // namespace devtest
