#include "model/DeviceSaveJournal.h"

#include <stdio.h>
#include <unistd.h>

#include "model/DeviceRename.h"
#include "model/DeviceTexts.h"
#include "platform/Codec.h"
#include "platform/FileSteps.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
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

void RowLines(std::string& out, const char* section, const hv::db::GeraetRow& row) {
  out += wxString::Format("[%s]\n", section).ToStdString();
  Line(out, "Number", wxString::Format("%u", static_cast<unsigned>(row.number)));
  Line(out, "Name", row.name);
  Line(out, "Driver", row.type);
  Line(out, "Node", row.node);
  Line(out, "Param", row.param);
}

wxString Value(const wxString& file, const char* section, const char* key) {
  return hv::IniRead(file, section, key).value_or(wxString());
}

bool ReadRow(const wxString& file, const char* section, hv::db::GeraetRow& row) {
  unsigned long number = 0;
  if (!Value(file, section, "Number").ToULong(&number) || number > 0xFFFF) return false;
  row.number = static_cast<std::uint16_t>(number);
  row.name = Value(file, section, "Name");
  row.type = Value(file, section, "Driver");
  row.node = Value(file, section, "Node");
  row.param = Value(file, section, "Param");
  return true;
}

std::optional<DeviceSetValues> ReadSettings(const wxString& file) {
  if (!hv::IniRead(file, "Settings", "Type")) return std::nullopt;
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
  return v;
}

void Remove(const wxString& file) {
  hv::FileStep();
  unlink(hv::ToFs(file).c_str());
}

// Said once: the journal goes with it.
void ReportUndone(const wxString& name) {
  hv::ShowMessageF(TXT_DEVICE_CHANGE_UNDONE,
                   wxS("Die unterbrochene Änderung des Geräts '%s' konnte nicht abgeschlossen werden "
                       "und wurde zurückgenommen."),
                   MB_OK | MB_ICONEXCLAMATION, name);
}

}  // namespace

void ReportNotUndone(const wxString& name) {
  hv::ShowMessageF(TXT_DEVICE_CHANGE_NOT_UNDONE,
                   wxS("Die fehlgeschlagene Änderung des Geräts '%s' konnte nicht zurückgenommen werden."),
                   MB_OK | MB_ICONEXCLAMATION, name);
}

const wxString& JournalName() {
  static const wxString name = wxS(".halvora-save");
  return name;
}

const wxString& UndoJournalName() {
  static const wxString name = wxS(".halvora-undo");
  return name;
}

bool ReadOwnRow(const wxString& deviceFolder, std::uint16_t number, hv::db::GeraetRow& row) {
  using namespace hv::db;
  Table t;
  return t.open(deviceFolder, GeraetSchema()) && geraet_select(t, row, kSeek, "-GNR", {number});
}

bool WriteOwnRow(const wxString& deviceFolder, const hv::db::GeraetRow& row) {
  using namespace hv::db;
  Table t;
  GeraetRow stored;
  if (!t.open(deviceFolder, GeraetSchema()) || !geraet_select(t, stored, kSeek, "-GNR", {row.number})) return false;
  stored.name = row.name;
  stored.type = row.type;
  stored.node = row.node;
  stored.param = row.param;
  return geraet_update(t, stored);
}

bool Begin(const wxString& deviceFolder, const Change& change) {
  std::string text;
  RowLines(text, "Row", change.row);
  RowLines(text, "OldRow", change.oldRow);
  if (const auto& settings = change.settings) {
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
  if (!change.oldName.empty()) {
    text += "[Rename]\n";
    Line(text, "OldName", change.oldName);
    Line(text, "OldSymbolFile", change.oldSymbolFile);
  }
  return hv::WriteFileAtomic(hv::JoinPath(deviceFolder, JournalName()), text);
}

void End(const wxString& deviceFolder) { Remove(hv::JoinPath(deviceFolder, JournalName())); }

bool Undo(const wxString& deviceFolder, const Change& change) {
  const wxString journal = hv::JoinPath(deviceFolder, JournalName());
  const wxString undo = hv::JoinPath(deviceFolder, UndoJournalName());
  // Renamed, which needs no room on the disk: from now on a load only ever undoes.
  hv::FileStep();
  if (rename(hv::ToFs(journal).c_str(), hv::ToFs(undo).c_str()) != 0) Remove(journal);
  if (!WriteOwnRow(deviceFolder, change.oldRow)) return false;
  Remove(undo);
  return true;
}

void Recover(const wxString& deviceFolder, const wxString& name) {
  const wxString undo = hv::JoinPath(deviceFolder, UndoJournalName());
  if (hv::IsFile(undo)) {
    hv::db::GeraetRow old;
    if (!ReadRow(undo, "OldRow", old) || !WriteOwnRow(deviceFolder, old)) ReportNotUndone(name);
    Remove(undo);
  }
  const wxString file = hv::JoinPath(deviceFolder, JournalName());
  if (!hv::IsFile(file)) return;
  hv::db::GeraetRow row, old;
  // A journal of an earlier version holds no old row: it is completed, as it was then.
  const bool undoable = ReadRow(file, "OldRow", old);
  // Killed before the folder took the new name: nothing else changed.
  if (!ReadRow(file, "Row", row) || wxString(row.name).Trim(true).CmpNoCase(name) != 0) {
    End(deviceFolder);
    return;
  }
  if (hv::IniRead(file, "Rename", "OldName")) {
    const wxString projectFolder = hv::PathFolder(deviceFolder);
    UpdateDeviceReferences(DeviceFoldersOf(projectFolder), projectFolder, Value(file, "Rename", "OldName"), name,
                           Value(file, "Rename", "OldSymbolFile"));
  }
  bool done = WriteOwnRow(deviceFolder, row);
  if (done)
    if (const auto settings = ReadSettings(file)) done = CDeviceSettings(deviceFolder).WriteDeviceSet(*settings, FALSE);
  if (!done) {
    if (!undoable || !WriteOwnRow(deviceFolder, old)) ReportNotUndone(name);
    else ReportUndone(name);
  }
  End(deviceFolder);
}

}  // namespace devicesave
