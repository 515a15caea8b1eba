#include "model/DataPointRead.h"

#include <cstring>
#include <thread>
#include <vector>

#include "framework/UpdateHints.h"
#include "model/DataPoint.h"
#include "model/DataPointPicker.h"
#include "model/ObjectSupport.h"
#include "platform/Db4.h"
#include "platform/Localization.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/OnlineLibrary.h"

using namespace hv::db;

namespace {

constexpr DWORD kErrorStopsReads = 24;

// Polls on a worker while the facade's wait runs; the result once the worker ended,
// and whether the user cancelled the wait.
hv::PollResult PollWaiting(DWORD handle, std::vector<char>& buffer, bool& cancelled) {
  std::atomic<bool> done{false}, cancel{false};
  hv::PollResult result;
  std::thread worker([&] {
    result = hv::OnlineLibrary::Get().PollRead(handle, buffer.data(), buffer.size(), std::chrono::milliseconds(kReadLimitMs),
                                               &cancel);
    done = true;
  });
  DataPointReadWait wait{&done, &cancel};
  hv::Ui().Run(wait);
  worker.join();
  cancelled = cancel.load() && !result.value;
  return result;
}

// The value text of the buffer; false when the type gives none or the text would not
// fit the buffer with its terminating zero.
bool Decode(DWORD type, DWORD textLength, const std::vector<char>& buffer, wxString& value) {
  std::size_t n;
  if (type == 0x100) n = textLength;
  else if (type >= 0x2000) n = type - 0x2000;
  else if (type <= 0x400) {
    DWORD v;
    std::memcpy(&v, buffer.data(), sizeof v);
    value = hv::db4toa(v, type).Left(16);
    return true;
  } else {
    return false;
  }
  if (n + 1 > buffer.size()) return false;
  std::string text(buffer.data(), n);
  value = wxString(text.c_str(), wxConvISO8859_1).Left(n);
  return true;
}

// What the Modbus driver finds wrong with the row's address (a text without its length,
// say); empty where it finds nothing or the network is another.
wxString AddressComplaint(const wxString& netDriver, const DatpktRow& row) {
  if (!dppicker::UsesModbusAddresses(netDriver)) return {};
  PickedDataPoint entry;
  entry.address = wxString(row.address).Trim(true);
  entry.type = row.type;
  entry.access = row.pickerAccess;
  entry.value32 = row.value32;
  const dppicker::AddressVerdict v = dppicker::Check(netDriver, entry);
  return v.complaint ? v.text : wxString();
}

}  // namespace

void CPODataPoint::ReadValue() {
  const bool direct = GetTypeCode() == TypeCode::DirectDataPoint;
  // Among several rows (a device's points read past their network row as well) each
  // message names its point: the user could not tell which one failed.
  const bool several = IsMultipleSelection();
  SetValue(wxString());
  const wxString folder = DataPointFolder(*this);
  DatpktRow row;
  {
    Table t;
    if (folder.empty() || !t.open(folder, DatpktSchema()) || !datpkt_select(t, row, kSeek, "ID", {m_id})) {
      UpdateAllViews(HINT_OBJECT_CHANGED, this);
      return;
    }
  }
  const DataPointConnection c = Connection();
  if (!c.valid) return;
  hv::OnlineLibrary& online = hv::OnlineLibrary::Get();
  auto fail = [&](UINT single, const wchar_t* singleText, UINT named, const wchar_t* namedText, const wxString& why = {}) {
    wxString text = several ? wxString::Format(hv::LocalString(named, namedText), GetName()) : hv::LocalString(single, singleText);
    if (!why.empty()) text += wxS("\n") + why;
    hv::Ui().Message(several ? named : single, text, MB_OK | MB_ICONEXCLAMATION);
  };
  if (!online.SetDriverParameter(c.netDriver, c.slot, c.netParam)) {
    hv::ShowMessage(11514, wxS("Fehler beim Initialisieren des Netzwerks!"), MB_OK | MB_ICONEXCLAMATION);
    if (several) SetMultipleSelection(FALSE);
    UpdateAllViews(HINT_OBJECT_CHANGED, this);
    return;
  }
  hv::DataPointRegistration reg;
  reg.netDriver = c.netDriver;
  reg.slot = c.slot;
  reg.devDriver = c.devDriver;
  reg.node = c.node;
  reg.devParam = c.devParam;
  reg.address = wxString(row.address).Trim(true);
  reg.access = static_cast<DWORD>(row.access) | (static_cast<DWORD>(row.pickerAccess) << 16);
  reg.type = row.type;
  reg.measureMax = hv::atodb4(row.measMax, row.type);
  reg.measureMin = hv::atodb4(row.measMin, row.type);
  reg.signalMax = hv::atodb4(row.sigMax, row.type);
  reg.signalMin = hv::atodb4(row.sigMin, row.type);
  reg.textLength = row.value32;
  const DWORD handle = online.RegisterDataPoint(reg);
  if (!handle) {
    fail(11515, L"Fehler beim Registrieren des Datenpunkts!", 11518, L"Fehler beim Registrieren des Datenpunkts '%s'!",
         AddressComplaint(c.netDriver, row));
    UpdateAllViews(HINT_OBJECT_CHANGED, this);
    return;
  }
  if (!online.SetPollTime(handle, 0) || !online.ActivateDataPoint(handle, TRUE)) {
    fail(11516, L"Fehler beim Aktivieren des Datenpunkts!", 11519, L"Fehler beim Aktivieren des Datenpunkts '%s'!");
    online.ClearDataPoint(handle);
    UpdateAllViews(HINT_OBJECT_CHANGED, this);
    return;
  }
  std::vector<char> buffer(direct ? kDirectReadBuffer : kBusReadBuffer, 0);
  bool cancelled = false;
  const hv::PollResult polled = PollWaiting(handle, buffer, cancelled);
  online.ClearDataPoint(handle);
  wxString value;
  if (polled.value && Decode(row.type, row.value32, buffer, value)) {
    SetValue(value);
  } else if (cancelled) {
    // The user's cancel is no failure to report, and ends a selection's reads.
    SetMultipleSelection(FALSE);
  } else if (several && (polled.lastError & 0xFFFF) == kErrorStopsReads) {
    hv::ShowMessageF(11520, wxS("Fehler beim Einlesen des Datenpunkts '%s'!\nDas Einlesen der Werte wird abgebrochen."),
                     MB_OK | MB_ICONEXCLAMATION, GetName());
    SetMultipleSelection(FALSE);
  } else {
    // The reads go on: the message does not say they stop.
    fail(11517, L"Fehler beim Einlesen des Datenpunkts!", 13953, L"Fehler beim Einlesen des Datenpunkts '%s'!");
  }
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
}
