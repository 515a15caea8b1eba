#include "model/DeviceSaveJournal.h"

#include <unistd.h>

#include "platform/Codec.h"
#include "platform/FileSteps.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"

namespace devicesave {
namespace {

void Line(std::string& out, const char* key, const wxString& value) {
  wxString v = value;
  v.Replace("\r", " ");
  v.Replace("\n", " ");
  out += key;
  out += '=';
  out += hv::ToCp1252Lossy(v);   // row and settings hold Windows-1252 texts only
  out += "\n";
}

wxString Value(const wxString& file, const char* section, const char* key) {
  return hv::IniRead(file, section, key).value_or(wxString());
}

}  // namespace

const wxString& JournalName() {
  static const wxString name = wxS(".halvora-save");
  return name;
}

bool Begin(const wxString& deviceFolder, const hv::db::GeraetRow& own, const DeviceSetValues* settings) {
  std::string text = "[Row]\n";
  Line(text, "Number", wxString::Format("%u", static_cast<unsigned>(own.number)));
  Line(text, "Name", own.name);
  Line(text, "Driver", own.type);
  Line(text, "Node", own.node);
  Line(text, "Param", own.param);
  if (settings) {
    text += "[Settings]\n";
    Line(text, "Type", settings->type);
    Line(text, "RemoteType", settings->remoteType);
    Line(text, "FWVersion", wxString::Format("%d", static_cast<int>(settings->firmwareVersion)));
    Line(text, "UnicodeResource", settings->unicodeResource ? "1" : "0");
    Line(text, "Slot", settings->slot);
    Line(text, "Network", settings->network);
    Line(text, "NetworkPara", settings->networkPara);
    Line(text, "Node", settings->node);
  }
  return hv::WriteFileAtomic(hv::JoinPath(deviceFolder, JournalName()), text);
}

void End(const wxString& deviceFolder) {
  hv::FileStep();
  unlink(hv::ToFs(hv::JoinPath(deviceFolder, JournalName())).c_str());
}

void Recover(const wxString& deviceFolder, const wxString& name) {
  const wxString file = hv::JoinPath(deviceFolder, JournalName());
  if (!hv::IsFile(file)) return;
  const wxString newName = Value(file, "Row", "Name").Trim(true);
  // Killed before the folder took the new name: nothing else changed.
  if (newName.CmpNoCase(name) != 0) {
    End(deviceFolder);
    return;
  }
  using namespace hv::db;
  unsigned long number = 0;
  if (!Value(file, "Row", "Number").ToULong(&number)) return;
  Table t;
  GeraetRow row;
  if (!t.open(deviceFolder, GeraetSchema()) || !geraet_select(t, row, kSeek, "-GNR", {number})) return;
  row.name = newName;
  row.type = Value(file, "Row", "Driver");
  row.node = Value(file, "Row", "Node");
  row.param = Value(file, "Row", "Param");
  if (!geraet_update(t, row)) return;
  t.close();
  if (hv::IniRead(file, "Settings", "Type")) {
    DeviceSetValues v;
    v.type = Value(file, "Settings", "Type");
    v.remoteType = Value(file, "Settings", "RemoteType");
    long fw = 0;
    v.firmwareVersion = static_cast<short>(Value(file, "Settings", "FWVersion").ToLong(&fw) ? fw : kDefaultFirmwareVersion);
    v.unicodeResource = Value(file, "Settings", "UnicodeResource") == "1" ? TRUE : FALSE;
    v.slot = Value(file, "Settings", "Slot");
    v.network = Value(file, "Settings", "Network");
    v.networkPara = Value(file, "Settings", "NetworkPara");
    v.node = Value(file, "Settings", "Node");
    CDeviceSettings settings(deviceFolder);
    if (!settings.WriteDeviceSet(v, FALSE)) return;
  }
  End(deviceFolder);
}

}  // namespace devicesave
