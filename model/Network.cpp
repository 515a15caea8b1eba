#include "model/Network.h"

#include <map>
#include <set>

#include "framework/CommandIds.h"
#include "framework/UpdateHints.h"
#include "model/DataPoint.h"
#include "model/FieldBusRecords.h"
#include "model/FieldBusRequests.h"
#include "model/FieldBusTables.h"
#include "model/FieldDevice.h"
#include "model/ObjectSupport.h"
#include "model/PrjDevice.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/PluginRegistry.h"

namespace db = hv::db;

namespace {

using hv::fieldbus::OpenTable;

void FillRow(const CPONetwork& n, db::NetzwerkRow& row) {
  row.number = n.GetNumber();
  row.name = n.GetName().Left(30);
  row.driver = n.GetDriver().Left(8);
  row.slot = n.GetSlot().Left(10);
  row.param = n.GetParameter().Left(255);
}

// A name of at most `width` characters that no row of `taken` holds (case ignored):
// the name itself, else "<name>_<n>".
wxString UniqueName(const wxString& name, size_t width, const std::set<wxString>& takenUpper) {
  if (!takenUpper.count(name.Upper())) return name;
  for (int n = 1; n < 100000; ++n) {
    const wxString suffix = wxString::Format("_%d", n);
    const wxString candidate = name.Left(width - suffix.length()) + suffix;
    if (!takenUpper.count(candidate.Upper())) return candidate;
  }
  return name;
}

}  // namespace

BEGIN_COMMAND_MAP(CPONetwork, CProjectObject)
  ON_COMMAND(ID_NEW_OBJECT, OnNewNetwork)
  ON_COMMAND(ID_OBJECT_NEW_COPY, OnNewNetworkCopy)
  ON_COMMAND(ID_OBJECT_EDIT, OnEditNetwork)
  ON_COMMAND(ID_OBJECT_DELETE, OnDeleteNetwork)
  ON_COMMAND(ID_NETWORK_AUTOSCAN, OnAutoscan)
  ON_COMMAND(ID_DP_READ_VALUE, OnPassReadValue)
  ON_UPDATE_COMMAND_UI(ID_DP_READ_VALUE, OnUpdatePassReadValue)
END_COMMAND_MAP()

CPONetwork::CPONetwork() { SetName(hv::LocalString(10259, wxS("Netzwerk"))); }

CPONetwork::CPONetwork(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, device) {
  SetName(hv::LocalString(10259, wxS("Netzwerk")));
}

void CPONetwork::CopyFrom(const CPONetwork& s) {
  SetName(s.GetName());
  m_loadTime = s.m_loadTime;
  m_driver = s.m_driver;
  m_driverDisplayName = s.m_driverDisplayName;
  m_slot = s.m_slot;
  m_parameter = s.m_parameter;
  m_number = s.m_number;
}

wxString CPONetwork::DeviceFolder() const { return GetDevice() ? GetDevice()->GetDeviceFolder() : wxString(); }

void CPONetwork::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU16(m_number);
    ar.WriteString(m_driver, false);
    ar.WriteString(m_slot, false);
    ar.WriteString(m_parameter, false);
  } else {
    m_number = ar.ReadU16();
    m_driver = ar.ReadString();
    m_slot = ar.ReadString();
    m_parameter = ar.ReadString();
  }
}

BOOL CPONetwork::HasTreeChildren() {
  db::Table t;
  if (!OpenTable(DeviceFolder(), "GERAET", t)) return FALSE;
  db::GeraetRow row;
  return db::geraet_select(t, row, db::kSeek, "NETZWERK", {m_number});
}

int CPONetwork::Compare(const CProjectObject* other, int column) {
  auto* o = const_cast<CProjectObject*>(other);
  const bool comparable = o && (o->GetTypeCode() == TypeCode::Network || o->GetTypeCode() == TypeCode::DirectDataPoint);
  if (column == 1 && comparable) {
    const long mine = m_number;
    long theirs = 0;
    if (auto* n = dynamic_cast<const CPONetwork*>(other)) theirs = n->m_number;
    else o->GetColumnText(1).ToLong(&theirs);
    return mine < theirs ? -1 : mine > theirs ? 1 : 0;
  }
  if (column == 3 && comparable) {
    const int c = GetColumnText(3).Cmp(o->GetColumnText(3));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  return CProjectObject::Compare(other, column);
}

wxString CPONetwork::GetColumnText(int column) {
  if (column == 1) return wxString::Format("%u", static_cast<unsigned>(m_number));
  if (column == 3) {
    // A network read from the table carries no display name: the plug-in's is asked
    // once, so that new and loaded networks read alike.
    if (m_driverDisplayName.empty() && !m_driver.empty()) {
      auto plugin = hv::PluginRegistry::Get().Driver(m_driver);
      m_driverDisplayName = plugin ? plugin->displayName : wxString(m_driver).Upper();
    }
    const wxString& shown = m_driverDisplayName;
    return shown + ";" + m_slot + ";" + m_parameter;
  }
  return CProjectObject::GetColumnText(column);
}

std::span<ColumnDef> CPONetwork::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::Network); }

wxString CPONetwork::GetListCaption() {
  return wxString::Format(hv::LocalString(10349, wxS("Geräte im Netzwerks '%s' von Gerät '%s'")), GetName(),
                          GetDevice() ? GetDevice()->GetName() : wxString());
}

BOOL CPONetwork::LoadChildren() {
  std::vector<std::unique_ptr<CProjectObject>> old = TakeChildren();
  std::map<std::uint16_t, std::unique_ptr<CProjectObject>> byNumber;
  for (auto& child : old) {
    auto* d = dynamic_cast<CPODevice*>(child.get());
    if (d && !byNumber.count(d->GetNumber())) byNumber[d->GetNumber()] = std::move(child);
  }
  old.clear();
  bool any = false;
  {
    db::Table t;
    if (OpenTable(DeviceFolder(), "GERAET", t)) {
      db::GeraetRow row;
      for (bool ok = db::geraet_select(t, row, db::kSeek, "NETZWERK", {m_number}); ok && row.network == m_number;
           ok = db::geraet_select(t, row, db::kNext, "NETZWERK")) {
        any = true;
        std::unique_ptr<CProjectObject> made;
        if (auto it = byNumber.find(row.number); it != byNumber.end()) {
          made = std::move(it->second);
          byNumber.erase(it);
        } else {
          made = std::make_unique<CPODevice>(this, GetDevice());
        }
        auto* d = static_cast<CPODevice*>(made.get());
        CProjectObject* added = AddChild(std::move(made));
        if (!added) continue;
        d->SetName(row.name);
        d->SetDeviceType(row.type);
        d->SetNode(row.node);
        d->SetNumber(row.number);
        d->SetNetworkNumber(row.network);
        d->ExpandPathMacros(row.param);
        // The registry keeps each plug-in loaded once while its file is unchanged.
        d->SetPluginName(hv::PluginRegistry::Get().DeviceDisplayName(row.type).Trim(true).Upper());
      }
    }
  }
  if (any) m_loadTime = hv::fieldbus::TableTimeNs(DeviceFolder(), "GERAET");
  for (auto& [number, child] : byNumber) Dispose(std::move(child));
  return any ? TRUE : FALSE;
}

BOOL CPONetwork::IsStale() {
  if (!HasChildList() || HasNoChildren()) return FALSE;
  const std::int64_t time = hv::fieldbus::TableTimeNs(DeviceFolder(), "GERAET");
  return time == 0 || time > m_loadTime ? TRUE : FALSE;
}

BOOL CPONetwork::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  auto made = std::make_unique<CPONetwork>(parent, device);
  if (templ && IsValidObject(templ) && dynamic_cast<const CPONetwork*>(templ)) {
    made->CopyFrom(*static_cast<const CPONetwork*>(templ));
  } else {
    made->m_driver = device->GetNetwork();
    made->m_slot = device->GetSlot();
    made->m_parameter = device->GetNetworkPara();
  }
  hv::NetworkDialogRequest request;
  request.isNew = true;
  request.network = made.get();
  request.originalName = made->GetName();
  if (hv::Ui().Run(request) != IDOK) {
    Discard(std::move(made));
    return FALSE;
  }
  db::Table t;
  db::NetzwerkRow row;
  FillRow(*made, row);
  if (!OpenTable(made->DeviceFolder(), "NETZWERK", t) || !db::netzwerk_insert(t, row)) {
    Discard(std::move(made));
    return FALSE;
  }
  made->m_number = row.number;
  made->SetName(row.name);
  CProjectObject* added = parent->AddChild(std::move(made));
  if (!added) return FALSE;
  UpdateAllViews(HINT_OBJECT_ADDED, added);
  return TRUE;
}

BOOL CPONetwork::Edit() {
  if (!GetDevice()) return FALSE;
  CPONetwork copy(nullptr, GetDevice());
  copy.CopyFrom(*this);
  hv::NetworkDialogRequest request;
  request.network = &copy;
  request.originalName = GetName();
  if (hv::Ui().Run(request) != IDOK) return FALSE;
  db::Table t;
  db::NetzwerkRow row;
  if (!OpenTable(DeviceFolder(), "NETZWERK", t) || !db::netzwerk_select(t, row, db::kSeek, "NNR", {m_number})) return FALSE;
  CopyFrom(copy);
  FillRow(*this, row);
  if (!db::netzwerk_update(t, row)) return FALSE;
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
  return TRUE;
}

BOOL CPONetwork::DeleteRow(bool severalSelected) {
  db::Table nets, devs;
  if (!OpenTable(DeviceFolder(), "NETZWERK", nets) || !OpenTable(DeviceFolder(), "GERAET", devs)) return FALSE;
  db::GeraetRow dev;
  if (db::geraet_select(devs, dev, db::kSeek, "NETZWERK", {m_number})) {
    const int answer = hv::ShowMessageF(
        10320, wxS("Für das Netzwerk '%s' sind Geräte vorhanden.\nDas Netzwerk kann nicht gelöscht werden!"),
        (severalSelected ? MB_OKCANCEL : MB_OK) | MB_ICONINFORMATION, GetName());
    if (severalSelected && answer == IDCANCEL) SetMultipleSelection(FALSE);
    return FALSE;
  }
  db::NetzwerkRow row;
  if (!db::netzwerk_select(nets, row, db::kSeek, "NNR", {m_number})) return FALSE;
  return db::netzwerk_delete(nets);
}

BOOL CPONetwork::Delete() { return DeleteRow(IsMultipleSelection() != FALSE); }

void CPONetwork::OnDeleteNetwork() {
  DispatchScope scope;
  if (!Delete()) return;
  if (CProjectObject* parent = GetParent(); parent && IsValidObject(parent)) parent->RemoveChild(this);
}

void CPONetwork::OnNewNetwork() {
  DispatchScope scope;
  SetMultipleSelection(FALSE);
  CreateNew(GetParent(), GetDevice(), nullptr);
}

void CPONetwork::OnNewNetworkCopy() {
  DispatchScope scope;
  SetMultipleSelection(FALSE);
  CreateNew(GetParent(), GetDevice(), this);
}

BOOL CPONetwork::Cut(CArchive& ar) { return WriteToClipboard(ar) && Delete() ? TRUE : FALSE; }

BOOL CPONetwork::WriteToClipboard(CArchive& ar) {
  db::Table dps, devs, nets;
  const wxString folder = DeviceFolder();
  if (!OpenTable(folder, "DATPKT", dps) || !OpenTable(folder, "GERAET", devs) || !OpenTable(folder, "NETZWERK", nets)) return FALSE;
  db::NetzwerkRow net;
  if (!db::netzwerk_select(nets, net, db::kSeek, "NNR", {m_number})) return FALSE;
  std::vector<db::GeraetRow> rows;
  db::GeraetRow dev;
  for (bool ok = db::geraet_select(devs, dev, db::kSeek, "NETZWERK", {m_number}); ok && dev.network == m_number;
       ok = db::geraet_select(devs, dev, db::kNext, "NETZWERK"))
    rows.push_back(dev);
  ar.WriteU32(static_cast<std::uint32_t>(rows.size()));
  for (db::GeraetRow& r : rows) {
    hv::ArchiveDeviceRecord(ar, r);
    hv::fieldbus::WritePoints(ar, dps, r.number);
  }
  return TRUE;
}

// Pasting into the device that holds the source makes the network's and the devices'
// names, the devices' nodes (per network, so only names) and the points' logical ids
// unique; a failure midway removes every row this paste inserted.
BOOL CPONetwork::ReadFromClipboard(CArchive& ar, CProjectObject*) {
  const wxString folder = DeviceFolder();
  db::Table dps, devs, nets;
  if (!OpenTable(folder, "DATPKT", dps) || !OpenTable(folder, "GERAET", devs) || !OpenTable(folder, "NETZWERK", nets)) return FALSE;

  std::set<wxString> netNames, devNames, dpNames;
  {
    db::NetzwerkRow n;
    for (bool ok = db::netzwerk_select(nets, n, db::kFirst, "NNR"); ok; ok = db::netzwerk_select(nets, n, db::kNext, "NNR"))
      netNames.insert(n.name.Upper());
    db::GeraetRow g;
    for (bool ok = db::geraet_select(devs, g, db::kFirst, "-GNR"); ok; ok = db::geraet_select(devs, g, db::kNext, "-GNR"))
      devNames.insert(g.name.Upper());
  }

  std::vector<std::uint16_t> insertedNets, insertedDevs;
  std::vector<std::uint32_t> insertedPoints;
  auto rollback = [&] {
    hv::fieldbus::RemovePoints(dps, insertedPoints);
    db::GeraetRow g;
    for (std::uint16_t n : insertedDevs)
      if (db::geraet_select(devs, g, db::kSeek, "-GNR", {n})) db::geraet_delete(devs);
    db::NetzwerkRow r;
    for (std::uint16_t n : insertedNets)
      if (db::netzwerk_select(nets, r, db::kSeek, "NNR", {n})) db::netzwerk_delete(nets);
  };

  try {
    db::NetzwerkRow net;
    SetName(UniqueName(GetName().Left(30), 30, netNames));
    m_number = 0;
    FillRow(*this, net);
    if (!db::netzwerk_insert(nets, net)) return FALSE;
    insertedNets.push_back(net.number);
    m_number = net.number;
    SetName(net.name);

    const std::uint32_t devCount = ar.ReadU32();
    ar.CheckCount(devCount, 8);
    for (std::uint32_t i = 0; i < devCount; ++i) {
      db::GeraetRow dev;
      hv::ArchiveDeviceRecord(ar, dev);
      dev.network = m_number;
      dev.number = 0;
      dev.name = UniqueName(dev.name, 48, devNames);
      if (!db::geraet_insert(devs, dev)) throw hv::ArchiveException("device row");
      insertedDevs.push_back(dev.number);
      devNames.insert(dev.name.Upper());
      hv::fieldbus::InsertPoints(ar, dps, dev.number, insertedPoints);
    }
  } catch (const hv::ArchiveException&) {
    rollback();
    throw;
  }
  return TRUE;
}

void CPONetwork::OnAutoscan() {
  DispatchScope scope;
  SetMultipleSelection(FALSE);
  if (!GetDevice()) return;
  hv::AutoscanRequest scan;
  scan.driver = m_driver;
  scan.slot = m_slot;
  scan.parameter = m_parameter;
  scan.resultFile = hv::ScanFilePath(DeviceFolder(), m_number);
  hv::Ui().Run(scan);
  if (scan.failed || !hv::IsFile(hv::ResolvePath(scan.resultFile))) return;
  hv::AddScannedDevicesRequest add;
  add.network = this;
  add.resultFile = scan.resultFile;
  hv::Ui().Run(add);
}
