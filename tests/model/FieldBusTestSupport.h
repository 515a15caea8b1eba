#pragma once
// A project device with the shipped plug-ins and the test device TESTDEV installed,
// networks and field-bus devices made through their scripted dialogs, and GERAET read
// back with shapelib.
#include <map>
#include <string>
#include <vector>

#include "model/FieldBusRequests.h"
#include "model/FieldDevice.h"
#include "model/Network.h"
#include "tests/model/DeviceTestSupport.h"

namespace fbtest {

using Row = std::map<std::string, std::string>;

struct FieldBusFixture : devtest::DeviceFixture {
  CPOPrjDevice* device = nullptr;

  FieldBusFixture();
  ~FieldBusFixture() override;

  // The network dialog picks the driver, takes slot and parameter and the name.
  void AnswerNetwork(const wxString& name, const wxString& driver, const wxString& param, const wxString& slot = "S0");
  CPONetwork* AddNetwork(const wxString& name, const wxString& driver, const wxString& param,
                         const wxString& slot = "S0");
  // The device sheet: name, node and, when given, the driver by title.
  void AnswerDevice(const wxString& name, const wxString& node, const wxString& type = {});
  CPODevice* AddDevice(CPONetwork& network, const wxString& name, const wxString& node,
                       const wxString& type = "TESTDEV");
  // Rows of a table of the device folder, deleted ones left out, texts right-trimmed.
  std::vector<Row> Rows(const char* table) const;
  std::string TableBytes(const char* table) const;
  // The scan dialog as its timer drives it; the result.
  static int RunScan(hv::AutoscanRequest& r, std::vector<wxString>* statuses = nullptr);
};

}  // namespace fbtest
