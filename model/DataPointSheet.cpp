#include "model/DataPointSheet.h"

#include <utility>

#include "model/DataPointNames.h"
#include "model/DataPointPicker.h"
#include "platform/Db4.h"
#include "platform/Localization.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"

using namespace hv::db;

namespace dpsheet {

namespace {

PageCheck Refuse(UINT text, const wxString& german, int focus) {
  hv::ShowMessage(text, german, MB_OK | MB_ICONINFORMATION);
  return {text, focus};
}

// The numbers after the third and the fourth '|'; false with fewer separators.
bool BitAddress(const wxString& address, long& a, long& b) {
  std::vector<wxString> parts;
  wxString rest = address;
  while (true) {
    parts.push_back(rest.BeforeFirst('|'));
    if (rest.Find('|') == wxNOT_FOUND) break;
    rest = rest.AfterFirst('|');
  }
  if (parts.size() < 5) return false;
  a = std::atol(parts[3].ToStdString().c_str());
  b = std::atol(parts[4].ToStdString().c_str());
  return true;
}

bool SelfDefined(const wxString& address) { return address.StartsWith(wxS("7")) || address.StartsWith(wxS("8")); }

// Bit data points of the device at the same address: asks whether the initialisation
// changes for all of them. False on Cancel.
bool CheckSharedAddress(DataPointSheetRequest& sheet) {
  long a = 0, b = 0;
  if (!BitAddress(sheet.dp.address, a, b)) return true;
  Table t;
  if (sheet.deviceFolder.empty() || !t.open(sheet.deviceFolder, DatpktSchema())) return true;
  const WORD init = sheet.values.access & 0x0F00;
  wxString list;
  bool differs = false;
  WORD othersInit = 0;
  std::vector<DatpktRow> shared;
  DatpktRow row;
  for (bool found = datpkt_select(t, row, kSeek, "GNR", {sheet.deviceNumber}); found && row.device == sheet.deviceNumber;
       found = datpkt_select(t, row, kNext, "GNR")) {
    long ra = 0, rb = 0;
    wxString address = row.address;
    address.Trim(true);
    if (row.id == sheet.dp.id || !SelfDefined(address) || !BitAddress(address, ra, rb) || ra != a || rb != b) continue;
    wxString name = row.name;
    list += wxS("   ") + name.Trim(true) + wxS("\n");
    if ((row.access & 0x0F00) != init) {
      differs = true;
      othersInit = row.access & 0x0F00;
    }
    shared.push_back(row);
  }
  if (shared.empty() || !differs) return true;
  const int answer = hv::ShowMessageF(
      11513,
      wxS("Folgende Datenpunkte haben dieselbe Adresse:\n   %s\n%sDie Initialisierung kann daher nur für alle diese "
          "Datenpunkte geändert werden.\nSoll die Initialisierung bei allen Datenpunkten geändert werden?\n(Alternativ "
          "können Sie die Bits in getrennte Adressbereiche legen[unter Verwendung des Knopfes '>>&dw' im "
          "Datenpunktdialog].)"),
      MB_YESNOCANCEL | MB_ICONQUESTION, sheet.dp.name, list);
  if (answer == IDCANCEL) return false;
  if (answer == IDNO) {
    const WORD back = sheet.wizard ? othersInit : sheet.initialInit;
    sheet.values.access = static_cast<WORD>((sheet.values.access & ~0x0F00) | back);
    return true;
  }
  for (DatpktRow& r : shared) {
    r.access = static_cast<WORD>((r.access & ~0x0F00) | init);
    DatpktRow at;
    if (datpkt_select(t, at, kSeek, "ID", {r.id})) datpkt_update(t, r);
  }
  return true;
}

// A number field of the ranges page: valid for the type, or refused naming the text.
bool ValidNumber(const wxString& text, DWORD type, DWORD& value) {
  hv::Db4Status status = hv::Db4Status::Ok;
  value = hv::atodb4(text, type, &status);
  return status == hv::Db4Status::Ok || status == hv::Db4Status::Empty;
}

}  // namespace

int Run(DataPointSheetRequest& request, DataPointFields& target) {
  request.dp = target;
  request.initialInit = request.values.access & 0x0F00;
  if (!request.wizard) request.several = false;
  const int result = hv::Ui().Run(request);
  const bool copy = request.wizard ? (result == kDpWizardFinish || result == kDpAcceptAll) : result == IDOK;
  if (copy) target = request.dp;
  return result;
}

std::vector<wxString> Units(const wxString& deviceFolder) {
  std::vector<wxString> units;
  Table t;
  if (deviceFolder.empty() || !t.open(deviceFolder, EinheitSchema())) return units;
  EinheitRow row;
  for (bool found = einheit_select(t, row, kFirst); found; found = einheit_select(t, row, kNext)) {
    wxString u = row.unit;
    units.push_back(u.Trim(true));
  }
  return units;
}

PageCheck LeaveGeneral(DataPointSheetRequest& sheet, const wxString& name, std::uint16_t logicalId) {
  if (sheet.codesysNames) {
    if (UINT complaint = dpname::CoDeSysComplaint(name)) {
      static const std::pair<UINT, const wxChar*> kTexts[] = {
          {dpname::TXT_CODESYS_LETTERS_DIGITS, wxS("Es sind nur Buchstaben und Ziffern erlaubt.")},
          {dpname::TXT_CODESYS_FIRST_LETTER, wxS("Das ersten Zeichen muß ein Buchstabe sein.")},
          {dpname::TXT_CODESYS_DOUBLE_UNDERSCORE, wxS("Es dürfen nicht zwei Unterstriche aufeinander folgen.")}};
      wxString text = hv::LocalString(11500, wxS("Der eingegebene Datenpunktname ist nicht CoDeSys-konform!\n"));
      for (const auto& [id, german] : kTexts)
        if (id == complaint) text += hv::LocalString(id, german);
      hv::Ui().Message(complaint, text, MB_OK | MB_ICONINFORMATION);
      return {complaint, kIdName};
    }
  }
  if (name.empty()) return Refuse(11504, wxS("Es muß ein Datenpunktname eingegeben werden!"), kIdName);
  if (name.Find('*') != wxNOT_FOUND)
    return Refuse(11505, wxS("Es sind keine '*'-Zeichen im Datenpunktnamen erlaubt!"), kIdName);
  const bool nameChanged = sheet.wizard || name != sheet.dp.name;
  const bool idChanged = sheet.wizard || logicalId != sheet.dp.logicalId;
  if (nameChanged || idChanged) {
    Table t;
    if (!sheet.deviceFolder.empty() && t.open(sheet.deviceFolder, DatpktSchema())) {
      DatpktRow row;
      if (idChanged && logicalId != 0 && datpkt_select(t, row, kSeek, "LOG_ID", {logicalId}) && row.id != sheet.dp.id)
        return Refuse(11506, wxS("Die logische ID ist bereits vergeben!"), kIdLogicalId);
      if (nameChanged) {
        // Taken means: another data point of the table has an equal name.
        for (bool found = datpkt_select(t, row, kSeek, "-DATPKT", {name}); found;
             found = datpkt_select(t, row, kNext, "-DATPKT")) {
          wxString other = row.name;
          if (other.Trim(true).CmpNoCase(name) != 0) break;
          if (sheet.wizard || row.id != sheet.dp.id)
            return Refuse(11507, wxS("Der Datenpunktname ist bereits vergeben!"), kIdName);
        }
      }
    }
  }
  sheet.dp.name = name;
  sheet.dp.logicalId = logicalId;
  if (sheet.dp.address.empty())
    return Refuse(11508, wxS("Es muß ein physikalischer Datenpunkt ausgewählt werden!"), kIdPick);
  // On a Modbus network the address must also be one the driver reads as this type (an
  // older project may hold one it does not).
  if (dppicker::UsesModbusAddresses(sheet.netDriver)) {
    PickedDataPoint entry;
    entry.address = sheet.dp.address;
    entry.type = sheet.dp.type;
    entry.access = sheet.values.capabilities;
    entry.value32 = sheet.values.value32;
    const dppicker::AddressVerdict v = dppicker::Check(sheet.netDriver, entry);
    if (v.complaint) {
      hv::Ui().Message(v.complaint, v.text, MB_OK | MB_ICONINFORMATION);
      return {v.complaint, kIdPick};
    }
  }
  return {};
}

wxString PickAddress(DataPointSheetRequest& sheet, const wxString& name) {
  DataPointPickRequest pick;
  pick.netDriver = sheet.netDriver;
  pick.deviceType = sheet.driverName;
  pick.node = sheet.node;
  pick.deviceParam = sheet.deviceParam;
  pick.current = sheet.dp.address.Left(48);
  const std::vector<PickedDataPoint> chosen = dppicker::Choose(pick);
  if (chosen.empty()) return name;
  const PickedDataPoint& p = chosen.front();
  if (p.address.Left(48) == sheet.dp.address) return name;
  dppicker::Apply(p, sheet.dp, sheet.values);
  return name.empty() ? dpname::FromPickedAddress(sheet.dp.address) : name;
}

bool NoStartValue(const wxString& address) {
  return address.Find('|') != wxNOT_FOUND && (address.StartsWith(wxS("0")) || address.StartsWith(wxS("6")));
}

DpMode ModeOf(WORD access) {
  const bool r = access & 0x1, w = access & 0x6;
  return r && w ? DpMode::ReadWrite : r ? DpMode::Read : w ? DpMode::Write : DpMode::None;
}

DpInit InitOf(WORD access) {
  return (access & 0x100) ? DpInit::Persistent : (access & 0x200) ? DpInit::Retain : DpInit::Always;
}

WORD SaveAccess(WORD capabilities, DpMode mode, DpInit init) {
  // Both write bits go: a kept 0x4 would reload "Lesen" as read and write.
  WORD access = capabilities & static_cast<WORD>(~(0x1 | 0x2 | 0x4 | 0x100 | 0x200));
  if (mode == DpMode::Read || mode == DpMode::ReadWrite) access |= 0x1;
  if (mode == DpMode::Write || mode == DpMode::ReadWrite) access |= 0x2;
  if (init == DpInit::Persistent) access |= 0x100;
  if (init == DpInit::Retain) access |= 0x200;
  return access;
}

bool SaveRanges(DataPointSheetRequest& sheet, DpMode mode, DpInit init) {
  sheet.values.access = SaveAccess(sheet.values.capabilities, mode, init);
  const bool initChanged = (sheet.values.access & 0x0F00) != sheet.initialInit;
  if ((initChanged || sheet.wizard) && sheet.dp.type == 4 && SelfDefined(sheet.dp.address))
    return CheckSharedAddress(sheet);
  return true;
}

PageCheck LeaveRanges(DataPointSheetRequest& sheet, bool startAlways) {
  const DWORD type = sheet.dp.type;
  if (IsTextType(type)) return {};
  struct Field {
    const wxString* text;
    int id;
  } fields[] = {{&sheet.values.sigMin, kIdSigMin},   {&sheet.values.sigMax, kIdSigMax},
                {&sheet.values.measMin, kIdMeasMin}, {&sheet.values.measMax, kIdMeasMax},
                {&sheet.values.start, kIdStart}};
  // A hidden start value, or none at all (no initialisation), is not checked.
  const bool noStart = NoStartValue(sheet.dp.address) || (sheet.values.capabilities & 0x40);
  DWORD v[5] = {};
  for (int i = 0; i < 5; ++i) {
    if (i == 4 && noStart) break;
    if (!ValidNumber(*fields[i].text, type, v[i])) {
      hv::ShowMessageF(11533, wxS("Der Wert '%s' ist für diesen Datentyp nicht gültig!"), MB_OK | MB_ICONINFORMATION,
                       *fields[i].text);
      return {11533, fields[i].id};
    }
  }
  if (hv::db4cmp(v[0], v[1], type) > 0)
    return Refuse(11509, wxS("Der minimale Signalwert darf nicht größer als der maximale Signalwert sein!"), kIdSigMin);
  if (hv::db4cmp(v[2], v[3], type) > 0)
    return Refuse(11510, wxS("Der minimale Meßwert darf nicht größer als der maximale Meßwert sein!"), kIdMeasMin);
  if (!noStart && startAlways) {
    if (v[2] != 0 || v[3] != 0) {
      if (hv::db4cmp(v[2], v[4], type) > 0 || hv::db4cmp(v[3], v[4], type) < 0)
        return Refuse(11511, wxS("Der Startwert muß innerhalb des Meßbereichs liegen!"), kIdStart);
    } else if (v[0] != 0 || v[1] != 0) {
      if (hv::db4cmp(v[0], v[4], type) > 0 || hv::db4cmp(v[1], v[4], type) < 0)
        return Refuse(11512, wxS("Der Startwert muß innerhalb des Signalbereichs liegen!"), kIdStart);
    }
  }
  return {};
}

}  // namespace dpsheet
