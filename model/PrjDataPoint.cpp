#include "model/PrjDataPoint.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "model/DataPointPicker.h"
#include "model/DirectDataPoint.h"
#include "model/IOConfig.h"
#include "model/LongWork.h"
#include "model/Network.h"
#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "model/PrjDevice.h"
#include "model/UserDefinedDP.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/SystemTime.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/PluginRegistry.h"

using namespace hv::db;

namespace {

std::int64_t FileTimeNs(const wxString& path) {
  const wxString file = hv::ResolvePath(path);
  if (!hv::IsFile(file)) return 0;
  struct stat st {};
  if (stat(hv::ToFs(file).c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

std::int64_t TableTime(const wxString& folder, const wxString& table) {
  return FileTimeNs(hv::JoinPath(folder, table + wxS(".DBF")));
}

CPOPrjDataPoint::CPOPrjDataPoint() { SetName(hv::LocalString(10495, wxS("Datenpunkte"))); }

CPOPrjDataPoint::CPOPrjDataPoint(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, device) {
  SetName(hv::LocalString(10495, wxS("Datenpunkte")));
}

std::span<ColumnDef> CPOPrjDataPoint::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::PrjDataPoint); }

wxString CPOPrjDataPoint::GetListCaption() {
  return hv::LocalString(11531, wxS("Datenpunkte/Netzwerke des Geräts '")) + devsvc::DeviceName(GetDevice()) + wxS("'");
}

BOOL HasDataPointRows(CPOPrjDevice* d) {
  if (!d) return FALSE;
  Table t;
  // A walk over the numbers alone: the tree asks often, and a GNR index would stay in
  // memory for every device that was only shown.
  const std::int64_t own = static_cast<std::uint16_t>(d->GetDeviceNumber());
  if (t.open(d->GetDeviceFolder(), DatpktSchema()))
    for (bool found = t.select("", kFirst); found; found = t.select("", kNext))
      if (t.currentNumber(datpkt::GNR) == own) return TRUE;
  Table n;
  return n.open(d->GetDeviceFolder(), NetzwerkSchema()) && n.select("-NETZWERK", kFirst) ? TRUE : FALSE;
}

void FillFromRow(CPODataPoint& dp, const DatpktRow& row) {
  DataPointExtra x;
  DataPointFields f;
  ReadRow(row, f, x);
  f.value = dp.GetValue();
  dp.SetFields(f);
  dp.SetName(f.name);
}

BOOL CPOPrjDataPoint::HasTreeChildren() { return HasDataPointRows(GetDevice()); }

BOOL CPOPrjDataPoint::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  if (!parent) return FALSE;
  return AddNewObject(parent, std::make_unique<CPOPrjDataPoint>(parent, device ? device : parent->GetDevice()));
}

BOOL CPOPrjDataPoint::LoadChildren() {
  CPOPrjDevice* d = GetDevice();
  if (!d) return FALSE;
  const wxString folder = d->GetDeviceFolder();
  hv::LongWork work;
  work.Busy();
  // Until the data points are read the old children can go back as they were.
  work.AllowCancel();
  ChildPool pool(*this);
  const std::uint16_t own = static_cast<std::uint16_t>(d->GetDeviceNumber());
  bool addedDataPoint = false, addedIo = false;
  auto byName = IndexChildren<wxString>(pool, [](CProjectObject& o) -> std::optional<wxString> {
    if (o.GetTypeCode() != TypeCode::DirectDataPoint) return std::nullopt;
    return o.GetName();
  });
  {
    const std::int64_t before = TableTime(folder, wxS("DATPKT"));
    Table t;
    DatpktRow row;
    if (t.open(folder, DatpktSchema())) {
      work.SetExpected(t.size());
      // Old children found again take their rows once the walk is through: a cancel
      // before that leaves them untouched.
      std::vector<std::pair<CPODirectDataPoint*, std::uint32_t>> refill;
      // The GNR index holds a device's rows in record order: walking the records gives
      // the same order and spares the table an index the listing would keep only for this.
      for (bool found = t.select("", kFirst); found; found = t.select("", kNext)) {
        work.Step();
        if (work.Cancelled()) {
          pool.Restore();
          return TRUE;
        }
        if (t.currentNumber(datpkt::GNR) != own || !t.current(row)) continue;
        wxString name = row.name;
        name.Trim(true);
        std::unique_ptr<CProjectObject> child = byName.Take(name);
        auto* reused = static_cast<CPODirectDataPoint*>(child.get());
        if (!child) {
          child = std::make_unique<CPODirectDataPoint>(this, d);
          FillFromRow(static_cast<CPODirectDataPoint&>(*child), row);
        }
        if (AddChild(std::move(child))) {
          addedDataPoint = true;
          if (reused) refill.emplace_back(reused, t.currentRecord());
        }
        if (!addedIo && wxString(row.free[0]).Trim(true).size() > 1) {
          std::unique_ptr<CProjectObject> io = pool.TakeType(TypeCode::IOConfig);
          if (!io) io = std::make_unique<CPOIOConfig>(this, d);
          addedIo = AddChild(std::move(io)) != nullptr;
        }
      }
      for (const auto& [point, recno] : refill)
        if (t.selectRecord(recno) && t.current(row)) FillFromRow(*point, row);
      // The table's own time: a write between the read and now is not missed.
      m_dataPointsTime = before;
    }
  }
  if (addedDataPoint && m_checkAfterLoad) CheckSelfDefinedDataPoints();
  {
    const std::int64_t before = TableTime(folder, wxS("NETZWERK"));
    Table t;
    NetzwerkRow row;
    if (t.open(folder, NetzwerkSchema())) {
      bool found = netzwerk_select(t, row, kFirst, "-NETZWERK");
      for (; found; found = netzwerk_select(t, row, kNext, "-NETZWERK")) {
        wxString name = row.name;
        name.Trim(true);
        // The number stays when a network is renamed: it finds the network again.
        std::unique_ptr<CProjectObject> net = pool.Take([&](CProjectObject& o) {
          auto* n = dynamic_cast<CPONetwork*>(&o);
          return n && n->GetNumber() == row.number;
        });
        if (!net) net = CreateObjectOfType(TypeCode::Network);
        auto* network = dynamic_cast<CPONetwork*>(net.get());
        if (!network) continue;
        network->SetName(name);
        network->SetNumber(row.number);
        network->SetDriver(wxString(row.driver).Trim(true));
        network->SetSlot(wxString(row.slot).Trim(true));
        network->SetParameter(wxString(row.param).Trim(true));
        net->SetDevice(d);
        net->SetProject(GetProject());
        AddChild(std::move(net));
      }
      m_networksTime = before;
    }
  }
  return TRUE;
}

BOOL CPOPrjDataPoint::IsStale() {
  if (HasNoChildren()) return FALSE;
  CPOPrjDevice* d = GetDevice();
  if (!d) return FALSE;
  const std::int64_t dat = TableTime(d->GetDeviceFolder(), wxS("DATPKT"));
  const std::int64_t net = TableTime(d->GetDeviceFolder(), wxS("NETZWERK"));
  if (dat < 0 || dat > m_dataPointsTime) return TRUE;
  if (net < 0 || net > m_networksTime) return TRUE;
  CheckSelfDefinedDataPoints();
  return FALSE;
}

BOOL CPOPrjDataPoint::CheckSelfDefinedDataPoints() {
  try {
    return CheckSelfDefined();
  } catch (...) {
    hv::ShowMessage(10749, wxS("Fehler beim Laden des Symboldatei!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
}

BOOL CPOPrjDataPoint::CheckSelfDefined() {
  CPOPrjDevice* d = GetDevice();
  if (!d) return FALSE;
  const wxString param = d->GetDeviceParameters();
  const wxString symbolFile = param.BeforeFirst(';');
  wxString setFolder = param.Find(';') != wxNOT_FOUND ? param.AfterFirst(';').BeforeFirst(';') : wxString();
  setFolder.Trim(true);
  const wxString file = setFolder.empty() ? hv::JoinPath(hv::PluginRegistry::Get().Folder(hv::PluginKind::Device), wxS("datpkt.set"))
                                          : hv::JoinPath(setFolder, wxS("datpkt.set"));
  const wxString resolved0 = hv::ResolvePath(file);
  const bool exists = hv::IsFile(resolved0);
  const std::int64_t t1 = exists ? FileTimeNs(resolved0) : 0;
  std::int64_t t2 = 0;
  if (!symbolFile.empty()) t2 = FileTimeNs(symbolFile);
  std::vector<wxString> missing;
  auto defined = [](const std::vector<std::pair<wxString, wxString>>& section, const wxString& definition) {
    for (const auto& [name, value] : section)
      if (value == definition) return true;
    return false;
  };
  std::vector<CPODirectDataPoint*> points;
  for (CProjectObject* c : GetChildren())
    if (auto* dp = dynamic_cast<CPODirectDataPoint*>(c); dp && !dp->GetAddress().empty()) points.push_back(dp);
  // What the plug-in itself offers needs no definition anywhere: the picker made those
  // points from exactly these addresses.
  if (!points.empty()) {
    const DataPointConnection c = points.front()->Connection();
    std::set<wxString> offered;
    for (const PickedDataPoint& p : dppicker::Offered(c.devDriver, c.node, c.devParam)) offered.insert(p.address);
    std::erase_if(points, [&](CPODirectDataPoint* dp) { return offered.count(dp->GetAddress()) != 0; });
  }
  const wxString resolved = hv::ResolvePath(file);
  bool localAdded = false, globalAdded = false, checked = !exists;
  if (!exists) {
    for (CPODirectDataPoint* dp : points)
      if (const wxString a = dp->GetAddress(); a[0] == '7' || a[0] == '8') missing.push_back(dp->GetName());
  } else {
    if (t1 > m_localCheckTime || t2 > m_localCheckTime) {
      checked = true;
      const auto section = ReadDatpktSection(resolved, wxS("Selbstdefinierte Datenpunkte"));
      for (CPODirectDataPoint* dp : points)
        if (const wxString a = dp->GetAddress(); a[0] == '7' && !defined(section, a.Mid(2))) {
          missing.push_back(dp->GetName());
          localAdded = true;
        }
      if (!localAdded) m_localCheckTime = std::max(t1, t2);
    }
    if (t1 > m_globalCheckTime || t2 > m_globalCheckTime) {
      checked = true;
      const auto global = ReadDatpktSection(resolved, wxS("Globale Selbstdefinierte Datenpunkte"));
      const auto shortNames = ReadDatpktSection(resolved, wxS("Symbol ShortNames"));
      std::shared_ptr<const hv::DevicePlugin> plugin;
      for (CPODirectDataPoint* dp : points) {
        const wxString a = dp->GetAddress();
        if (a[0] == '8' && !defined(global, a.Mid(2))) {
          missing.push_back(dp->GetName());
          globalAdded = true;
        } else if (a[0] == '1' && !symbolFile.empty()) {
          // The short name before the first '|' names the symbol's long name; the plug-in
          // is still asked with the address as stored.
          const wxString shortName = a.Mid(2).BeforeFirst('|');
          const bool known = std::any_of(shortNames.begin(), shortNames.end(), [&](const auto& kv) { return kv.first == shortName; });
          (void)known;
          // The plug-in is loaded only when a symbol point needs it, and reported once.
          if (!plugin) plugin = hv::PluginRegistry::Get().Device(d->GetDeviceDriver());
          if (!plugin) {
            hv::ShowMessage(10529, wxS("Fehler beim Laden des Gerätetreibers!"), MB_OK | MB_ICONEXCLAMATION);
            return FALSE;
          }
          char text[22] = {};
          HvDpInfoEx info{sizeof(HvDpInfoEx), 0, 0, text, sizeof text};
          const std::string address = a.ToStdString(wxConvISO8859_1);
          const std::string devParam = param.ToStdString(wxConvISO8859_1);
          if (!plugin->dataPointInfo || !plugin->dataPointInfo(address.c_str(), devParam.c_str(), &info)) {
            missing.push_back(dp->GetName());
            globalAdded = true;
          }
        }
      }
      if (!localAdded && !globalAdded) m_globalCheckTime = std::max(t1, t2);
    }
  }
  // Unchanged files leave earlier findings as they were.
  if (checked) CUserDefinedDPList::Get().Set(GetSerial(), missing);
  return TRUE;
}
