// A field-bus device's data points: loading them from DATPKT and checking the
// self-defined and symbol ones against datpkt.set and the device plug-in.
#include <sys/stat.h>

#include <algorithm>

#include "model/FieldBusTables.h"
#include "model/FieldDevice.h"
#include "model/ObjectSupport.h"
#include "model/PrjDataPoint.h"
#include "model/PrjDevice.h"
#include "model/UserDefinedDP.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/PluginRegistry.h"

namespace db = hv::db;

namespace {

// Last write time of a file or folder in nanoseconds; 0 when it does not exist.
std::int64_t PathTimeNs(const wxString& path) {
  if (path.empty()) return 0;
  struct stat st {};
  if (stat(hv::ToFs(hv::ResolvePath(path)).c_str(), &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool Defined(const std::vector<std::pair<wxString, wxString>>& section, const wxString& definition) {
  return std::any_of(section.begin(), section.end(), [&](const auto& kv) { return kv.second == definition; });
}

}  // namespace

BOOL CPODevice::LoadChildren() {
  ChildPool pool(*this);
  db::Table t;
  if (!db::datpkt_open(DeviceFolder(), t)) return FALSE;
  const std::int64_t before = hv::fieldbus::TableTimeNs(DeviceFolder(), "DATPKT");
  bool read = false;
  db::DatpktRow row;
  for (bool found = db::datpkt_select(t, row, db::kSeek, "GNR", {m_number}); found && row.device == m_number;
       found = db::datpkt_select(t, row, db::kNext, "GNR")) {
    read = true;
    wxString name = row.name;
    name.Trim(true);
    std::unique_ptr<CProjectObject> child = pool.Take([&](CProjectObject& o) {
      return o.GetTypeCode() == TypeCode::DataPoint && o.GetName() == name;
    });
    if (!child) child = std::make_unique<CPODataPoint>(this, GetDevice());
    FillFromRow(static_cast<CPODataPoint&>(*child), row);
    AddChild(std::move(child));
  }
  t.close();
  if (!read) return FALSE;
  // The table's own time: a write between the read and now is not missed.
  m_loadTime = before;
  CheckSelfDefinedDataPoints();
  return TRUE;
}

BOOL CPODevice::IsStale() {
  if (!HasChildList() || HasNoChildren()) return FALSE;
  const std::int64_t time = hv::fieldbus::TableTimeNs(DeviceFolder(), "DATPKT");
  if (time == 0 || time > m_loadTime) return TRUE;
  CheckSelfDefinedDataPoints();
  return FALSE;
}

BOOL CPODevice::QueryDataPointInfo(const wxString& reference, const wxString& address) {
  if (!PathTimeNs(reference) || !m_dataPointInfo) return FALSE;
  char text[22] = {};
  HvDpInfoEx info{sizeof(HvDpInfoEx), 0, 0, text, sizeof text};
  const std::string a = address.ToStdString(wxConvISO8859_1), p = m_parameter.ToStdString(wxConvISO8859_1);
  return m_dataPointInfo(a.c_str(), p.c_str(), &info) ? TRUE : FALSE;
}

BOOL CPODevice::CheckSelfDefinedDataPoints() {
  struct Release {
    CPODevice& d;
    ~Release() {
      d.m_dataPointInfo = nullptr;
      d.m_plugin.reset();
    }
  } release{*this};
  try {
    const bool hasSplit = m_parameter.Find(';') != wxNOT_FOUND;
    const wxString reference = hasSplit ? m_parameter.BeforeFirst(';') : wxString();
    const wxString folder = hasSplit ? wxString(m_parameter.AfterFirst(';').BeforeFirst(';')).Trim(true) : wxString();
    struct Point {
      wxString name, address;
    };
    std::vector<Point> points;
    for (CProjectObject* c : GetChildren())
      if (auto* dp = dynamic_cast<CPODataPoint*>(c); dp && !dp->GetAddress().empty())
        points.push_back({dp->GetName(), dp->GetAddress()});
    auto kind = [](const Point& p) { return p.address[0]; };

    std::int64_t referenceTime = 0;
    bool needsPlugin = false;
    for (const Point& p : points) needsPlugin = needsPlugin || kind(p) == '1';
    if (!reference.empty()) {
      referenceTime = PathTimeNs(reference);
      // Loaded only when a symbol point asks for it, so a device without one never
      // complains about a missing plug-in.
      if (needsPlugin) {
        CPOPrjDevice* own = GetDevice();
        m_plugin = own ? hv::PluginRegistry::Get().Device(own->GetDeviceDriver()) : nullptr;
        if (!m_plugin) {
          hv::ShowMessage(10529, wxS("Fehler beim Laden des Gerätetreibers!"), MB_OK | MB_ICONEXCLAMATION);
          return FALSE;
        }
        m_dataPointInfo = m_plugin->dataPointInfo;
      }
    }
    const wxString file = folder.empty()
                              ? hv::JoinPath(hv::PluginRegistry::Get().Folder(hv::PluginKind::Device), wxS("datpkt.set"))
                              : hv::JoinPath(folder, wxS("datpkt.set"));
    const wxString resolved = hv::ResolvePath(file);
    const bool exists = hv::IsFile(resolved);
    const std::int64_t fileTime = exists ? PathTimeNs(resolved) : 0;
    std::vector<wxString> missing;
    bool checked = !exists;
    // Local pass: '7' points against "Selbstdefinierte Datenpunkte".
    if (!exists) {
      for (const Point& p : points)
        if (kind(p) == '7') missing.push_back(p.name);
    } else if (fileTime > m_localCheckTime) {
      checked = true;
      const auto section = ReadDatpktSection(resolved, wxS("Selbstdefinierte Datenpunkte"));
      const size_t before = missing.size();
      for (const Point& p : points)
        if (kind(p) == '7' && !Defined(section, p.address.Mid(2))) missing.push_back(p.name);
      if (missing.size() == before) m_localCheckTime = fileTime;
    }
    // Global pass: '8' and 'M' points against the global section, '1' points by the plug-in.
    if (!exists) {
      for (const Point& p : points)
        if (kind(p) == '8') missing.push_back(p.name);
    } else if (fileTime > m_globalCheckTime || referenceTime > m_globalCheckTime) {
      checked = true;
      const auto section = ReadDatpktSection(resolved, wxS("Globale Selbstdefinierte Datenpunkte"));
      const size_t before = missing.size();
      for (const Point& p : points) {
        const wxUniChar k = kind(p);
        if ((k == '8' || k == 'M') && !Defined(section, p.address.Mid(2))) missing.push_back(p.name);
        else if (k == '1' && !QueryDataPointInfo(reference, p.address)) missing.push_back(p.name);
      }
      if (missing.size() == before) m_globalCheckTime = fileTime;
    }
    // Unchanged files leave earlier findings as they were.
    if (checked) CUserDefinedDPList::Get().Set(GetSerial(), missing);
    return TRUE;
  } catch (...) {
    hv::ShowMessage(10749, wxS("Fehler beim Laden des Symboldatei!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
}
