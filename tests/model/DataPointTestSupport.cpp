#include "tests/model/DataPointTestSupport.h"

#include <map>
#include <shapefil.h>

#include "model/DataPointRead.h"
#include "platform/Paths.h"
#include <chrono>
#include <thread>

namespace dptest {

PickedDataPoint Picked(const wxString& address, DWORD type, WORD access) {
  PickedDataPoint p;
  p.address = address;
  p.type = type;
  p.access = access;
  return p;
}

DataPointFixture::DataPointFixture() {
  device = Create(devtest::Named("Panel"));
  if (!device) return;
  folder = static_cast<CPOPrjDataPoint*>(device->FindChildOfType(TypeCode::PrjDataPoint));
  if (!folder) {
    CPOPrjDataPoint maker;
    maker.CreateNew(device, device, nullptr);
    folder = static_cast<CPOPrjDataPoint*>(device->FindChildOfType(TypeCode::PrjDataPoint));
  }
}

wxString DataPointFixture::Folder() const { return device ? device->GetDeviceFolder() : wxString(); }

BOOL DataPointFixture::Make(std::vector<PickedDataPoint> picked, int result,
                            std::function<void(DataPointSheetRequest&)> edit) {
  ui.Answer<DataPointPickRequest>([picked](DataPointPickRequest& r) {
    r.chosen = picked;
    return IDOK;
  });
  ui.Answer<DataPointSheetRequest>([result, edit](DataPointSheetRequest& s) {
    if (edit) edit(s);
    return result;
  });
  CPODirectDataPoint maker;
  return maker.CreateNew(folder, device, nullptr);
}

std::vector<CPODirectDataPoint*> DataPointFixture::Points() {
  std::vector<CPODirectDataPoint*> out;
  for (CProjectObject* c : folder->GetChildren())
    if (auto* dp = dynamic_cast<CPODirectDataPoint*>(c)) out.push_back(dp);
  return out;
}

CPODirectDataPoint* DataPointFixture::Find(const wxString& name) {
  for (CPODirectDataPoint* dp : Points())
    if (dp->GetName() == name) return dp;
  return nullptr;
}

void AnswerReadWaits(hvtest::ScriptedUi& ui) {
  ui.Answer<DataPointReadWait>([](DataPointReadWait& w) {
    while (!*w.done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return IDOK;
  });
}

std::vector<std::map<std::string, std::string>> ReadDbf(const wxString& file) {
  std::vector<std::map<std::string, std::string>> rows;
  DBFHandle h = DBFOpen(hv::ToFs(hv::ResolvePath(file)).c_str(), "rb");
  if (!h) return rows;
  const int fields = DBFGetFieldCount(h);
  for (int r = 0; r < DBFGetRecordCount(h); ++r) {
    if (DBFIsRecordDeleted(h, r)) continue;
    std::map<std::string, std::string> row;
    for (int f = 0; f < fields; ++f) {
      char name[12] = {};
      DBFGetFieldInfo(h, f, name, nullptr, nullptr);
      std::string v = DBFReadStringAttribute(h, r, f);
      while (!v.empty() && v.back() == ' ') v.pop_back();
      size_t s = v.find_first_not_of(' ');
      row[name] = s == std::string::npos ? std::string() : v.substr(s);
    }
    rows.push_back(row);
  }
  DBFClose(h);
  return rows;
}

}  // namespace dptest
