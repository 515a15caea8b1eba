#pragma once
// A device made through the program's wizard with its data-point folder, and data
// points made through the model with scripted picker and sheet answers.
#include <string>
#include <vector>

#include "model/DataPointPicker.h"
#include "model/DataPointSheet.h"
#include "model/DirectDataPoint.h"
#include "model/PrjDataPoint.h"
#include "tests/model/DeviceTestSupport.h"

namespace dptest {

PickedDataPoint Picked(const wxString& address, DWORD type, WORD access = 0x3);

struct DataPointFixture : devtest::DeviceFixture {
  CPOPrjDevice* device = nullptr;
  CPOPrjDataPoint* folder = nullptr;

  DataPointFixture();
  wxString Folder() const;
  // Makes the picked data points, each sheet run answered by `result` after `edit`.
  BOOL Make(std::vector<PickedDataPoint> picked, int result = kDpWizardFinish,
            std::function<void(DataPointSheetRequest&)> edit = {});
  CPODirectDataPoint* Find(const wxString& name);
  std::vector<CPODirectDataPoint*> Points();
};

// Reads wait on the worker to its end, as the window does.
void AnswerReadWaits(hvtest::ScriptedUi& ui);

// Rows of a device table read with shapelib: field name -> text, deleted rows left out.
std::vector<std::map<std::string, std::string>> ReadDbf(const wxString& file);

}  // namespace dptest
