#include "model/FieldDevice.h"

#include "framework/CommandIds.h"
#include "framework/UpdateHints.h"
#include "model/FieldBusRecords.h"
#include "model/FieldBusRequests.h"
#include "model/FieldBusTables.h"
#include "model/Network.h"
#include "model/ObjectSupport.h"
#include "model/PrjDevice.h"
#include "model/Project.h"
#include "platform/Localization.h"
#include "platform/Online.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"

namespace db = hv::db;

namespace {

using hv::fieldbus::OpenTable;

bool StartsNoCase(const wxString& text, const char* prefix) {
  const wxString p(prefix);
  return text.length() >= p.length() && text.Left(p.length()).CmpNoCase(p) == 0;
}

// Replaces `folder` where it stands before '\', '/', ';' or the end, case ignored. An
// empty folder replaces nothing (it would match everywhere, for ever).
wxString Collapse(const wxString& text, const wxString& folder, const wxString& macro) {
  if (folder.empty()) return text;
  wxString out;
  size_t pos = 0;
  const wxString upper = text.Upper();
  const wxString key = folder.Upper();
  while (pos < text.length()) {
    const size_t at = upper.find(key, pos);
    if (at == wxString::npos) break;
    const size_t end = at + key.length();
    const bool boundary = end == text.length() || text[end] == '\\' || text[end] == '/' || text[end] == ';';
    out += text.Mid(pos, at - pos);
    out += boundary ? macro : text.Mid(at, key.length());
    pos = end;
  }
  out += text.Mid(pos);
  return out;
}

// Whether another row of the network holds the node (rows of `self` not counted).
bool NodeTaken(db::Table& devs, std::uint16_t network, const wxString& node, std::uint16_t self) {
  db::GeraetRow row;
  for (bool ok = db::geraet_select(devs, row, db::kSeek, "NETZWERK", {network}); ok && row.network == network;
       ok = db::geraet_select(devs, row, db::kNext, "NETZWERK"))
    if (row.node == wxString(node).Trim(true) && row.number != self) return true;
  return false;
}

bool NameTaken(db::Table& devs, const wxString& name, std::uint16_t self) {
  db::GeraetRow row;
  for (bool ok = db::geraet_select(devs, row, db::kSeek, "BEZEICH", {name}); ok && row.name.CmpNoCase(name) == 0;
       ok = db::geraet_select(devs, row, db::kNext, "BEZEICH"))
    if (row.number != self) return true;
  return false;
}

}  // namespace

BEGIN_COMMAND_MAP(CPODevice, CProjectObject)
  ON_COMMAND(ID_OBJECT_NEW_COPY, OnNewDeviceCopy)
  ON_COMMAND(ID_OBJECT_DELETE, OnDeleteDevice)
  ON_COMMAND(ID_OBJECT_EDIT, OnEditDevice)
  ON_COMMAND(ID_NEW_OBJECT, OnNewObject)
END_COMMAND_MAP()

CPODevice::CPODevice() { SetName(hv::LocalString(10295, wxS("Geraet"))); }

CPODevice::CPODevice(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, device) {
  SetName(hv::LocalString(10295, wxS("Geraet")));
  if (auto* n = dynamic_cast<CPONetwork*>(parent); n && IsValidObject(n)) m_networkNumber = n->GetNumber();
}

void CPODevice::CopyFrom(const CPODevice& s) {
  SetName(s.GetName());
  m_loadTime = s.m_loadTime;
  m_type = s.m_type;
  m_pluginName = s.m_pluginName;
  m_node = s.m_node;
  m_parameter = s.m_parameter;
  m_number = s.m_number;
  m_networkNumber = s.m_networkNumber;
  m_scanHardware = s.m_scanHardware;
  m_fromScan = s.m_fromScan;
  m_scanFirmware = s.m_scanFirmware;
}

CPONetwork* CPODevice::GetNetwork() const { return dynamic_cast<CPONetwork*>(GetParent()); }

DataPointConnection CPODevice::DataPointConnectionValues() {
  DataPointConnection c;
  const CPONetwork* net = GetNetwork();
  if (!net) return c;
  c.netDriver = net->GetDriver();
  c.slot = net->GetSlot();
  c.netParam = net->GetParameter();
  c.devDriver = m_type;
  c.node = m_node;
  c.devParam = m_parameter;
  c.deviceNumber = m_number;
  c.deviceName = GetName();
  c.valid = true;
  return c;
}

wxString CPODevice::DeviceFolder() const { return GetDevice() ? GetDevice()->GetDeviceFolder() : wxString(); }

wxString CPODevice::CollapsePathMacros() const {
  if (!GetDevice()) return m_parameter;
  wxString text = Collapse(m_parameter, DeviceFolder(), "$$$DEVICEPATH$$$");
  return Collapse(text, GetDevice()->GetProjectFolder(), "$$$PROJECTPATH$$$");
}

void CPODevice::ExpandPathMacros(const wxString& stored) {
  wxString text = stored;
  if (GetDevice()) {
    text.Replace("$$$DEVICEPATH$$$", DeviceFolder());
    text.Replace("$$$PROJECTPATH$$$", GetDevice()->GetProjectFolder());
  }
  m_parameter = text.Trim(true);
}

BOOL CPODevice::IsPanelDevice() const {
  return StartsNoCase(m_type, "KOLM_") || StartsNoCase(m_type, "COMBO") || m_type.Left(8) == "CE_PANEL" ? TRUE : FALSE;
}

BOOL CPODevice::IsEibDevice() const { return StartsNoCase(m_type, "EIB") ? TRUE : FALSE; }

void CPODevice::FillRow(db::GeraetRow& row) const {
  row.number = m_number;
  row.name = GetName().Left(48);
  row.type = m_type.Left(8);
  row.network = m_networkNumber;
  row.node = m_node.Left(10);
  row.param = CollapsePathMacros().Left(255);
  row.marker = 1;
}

void CPODevice::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(m_number);
    ar.WriteU32(m_networkNumber);
    ar.WriteString(m_type, false);
    ar.WriteString(m_node, false);
    ar.WriteString(m_parameter, false);
  } else {
    m_number = static_cast<std::uint16_t>(ar.ReadU32());
    m_networkNumber = static_cast<std::uint16_t>(ar.ReadU32());
    m_type = ar.ReadString();
    m_node = ar.ReadString();
    m_parameter = ar.ReadString();
  }
}

int CPODevice::Compare(const CProjectObject* other, int column) {
  const auto* o = dynamic_cast<const CPODevice*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  if (column == 1) return m_number < o->m_number ? -1 : m_number > o->m_number ? 1 : 0;
  if (column >= 2 && column <= 4) {
    const int c = GetColumnText(column).CmpNoCase(const_cast<CPODevice*>(o)->GetColumnText(column));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  return CProjectObject::Compare(other, column);
}

wxString CPODevice::GetColumnText(int column) {
  switch (column) {
    case 1: return wxString::Format("%u", static_cast<unsigned>(m_number));
    case 2: return m_pluginName;
    case 3: return m_node;
    case 4: return m_parameter;
    default: return GetName();
  }
}

std::span<ColumnDef> CPODevice::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::Device); }

wxString CPODevice::GetListCaption() {
  return hv::LocalString(11300, wxS("Datenpunkte des Geräts '")) + GetName() + "'";
}

BOOL CPODevice::EditSettings(db::GeraetRow& row) {
  CPODevice copy(GetParent(), GetDevice());
  copy.CopyFrom(*this);
  hv::DeviceSheetRequest sheet;
  sheet.caption = wxString::Format(hv::LocalString(10325, wxS("Einstellungen für Gerät '%s'")), GetName());
  sheet.networkName = GetNetwork() ? GetNetwork()->GetName() : wxString();
  // A pasted device is not in the table yet: its name and node are checked as new.
  sheet.isNew = true;
  sheet.device = &copy;
  if (hv::Ui().Run(sheet) != IDOK) return FALSE;
  CopyFrom(copy);
  const auto keep = row;
  FillRow(row);
  row.marker = keep.marker;
  row.texts = keep.texts;
  return TRUE;
}

BOOL CPODevice::Edit() {
  if (!GetDevice() || !GetParent()) return FALSE;
  CPODevice copy(GetParent(), GetDevice());
  copy.CopyFrom(*this);
  hv::DeviceSheetRequest sheet;
  sheet.caption = wxString::Format(hv::LocalString(10325, wxS("Einstellungen für Gerät '%s'")), GetName());
  sheet.networkName = GetParent()->GetName();
  sheet.device = &copy;
  if (hv::Ui().Run(sheet) != IDOK) return FALSE;
  db::Table t;
  db::GeraetRow row;
  if (!OpenTable(DeviceFolder(), "GERAET", t) || !db::geraet_select(t, row, db::kSeek, "-GNR", {m_number})) return FALSE;
  CopyFrom(copy);
  FillRow(row);
  if (!db::geraet_update(t, row)) return FALSE;
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
  return TRUE;
}

BOOL CPODevice::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  auto made = std::make_unique<CPODevice>(parent, device);
  if (templ && IsValidObject(templ) && dynamic_cast<const CPODevice*>(templ)) {
    made->CopyFrom(*static_cast<const CPODevice*>(templ));
  } else {
    if (auto* n = dynamic_cast<CPONetwork*>(parent)) made->m_networkNumber = n->GetNumber();
    made->SetName(hv::LocalString(10012, wxS("Neues Geraet")));
  }
  hv::DeviceSheetRequest sheet;
  sheet.caption = hv::LocalString(10012, wxS("Neues Geraet"));
  sheet.networkName = parent->GetName();
  sheet.isNew = true;
  sheet.device = made.get();
  if (hv::Ui().Run(sheet) != IDOK) {
    Discard(std::move(made));
    return FALSE;
  }
  db::Table t;
  db::GeraetRow row;
  made->m_number = 0;
  made->FillRow(row);
  row.texts[0] = made->m_scanHardware.Left(30);
  row.texts[1] = made->m_scanFirmware.Left(30);
  if (!OpenTable(made->DeviceFolder(), "GERAET", t) || !db::geraet_insert(t, row)) {
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

void CPODevice::OnNewDeviceCopy() {
  DispatchScope scope;
  CreateNew(GetParent(), GetDevice(), this);
  SetMultipleSelection(FALSE);
}

BOOL CPODevice::Delete() {
  db::Table dps, devs;
  if (!OpenTable(DeviceFolder(), "DATPKT", dps) || !OpenTable(DeviceFolder(), "GERAET", devs)) return FALSE;
  db::DatpktRow dp;
  if (db::datpkt_select(dps, dp, db::kSeek, "GNR", {m_number})) {
    const bool several = IsMultipleSelection() != FALSE;
    const int answer = hv::ShowMessageF(
        10038, wxS("Für das Gerät '%s' sind Datenpunkte vorhanden.\nDas Gerät kann nicht gelöscht werden!"),
        (several ? MB_OKCANCEL : MB_OK) | MB_ICONINFORMATION, GetName());
    if (several && answer == IDCANCEL) SetMultipleSelection(FALSE);
    return FALSE;
  }
  db::GeraetRow row;
  if (!db::geraet_select(devs, row, db::kSeek, "-GNR", {m_number})) return FALSE;
  return db::geraet_delete(devs);
}

BOOL CPODevice::Cut(CArchive& ar) { return WriteToClipboard(ar) && Delete() ? TRUE : FALSE; }

BOOL CPODevice::WriteToClipboard(CArchive& ar) {
  db::Table dps, devs;
  if (!OpenTable(DeviceFolder(), "DATPKT", dps) || !OpenTable(DeviceFolder(), "GERAET", devs)) return FALSE;
  db::GeraetRow row;
  if (!db::geraet_select(devs, row, db::kSeek, "-GNR", {m_number})) return FALSE;
  ar.WriteU16(row.marker);
  ar.WriteString(m_pluginName, false);
  for (const wxString& text : row.texts) ar.WriteString(text.Left(30), false);
  hv::fieldbus::WritePoints(ar, dps, m_number);
  return TRUE;
}

// The network number is the target's; a taken name or node opens the sheet again
// until both are free (or the user cancels), and a failure midway removes what this
// paste inserted.
BOOL CPODevice::ReadFromClipboard(CArchive& ar, CProjectObject* target) {
  if (auto* n = dynamic_cast<CPONetwork*>(target)) m_networkNumber = n->GetNumber();
  db::Table dps, devs;
  if (!OpenTable(DeviceFolder(), "DATPKT", dps) || !OpenTable(DeviceFolder(), "GERAET", devs)) return FALSE;
  db::GeraetRow row;
  m_number = 0;
  FillRow(row);
  row.marker = ar.ReadU16();
  m_pluginName = ar.ReadString();
  for (wxString& text : row.texts) text = ar.ReadString().Left(30);

  CPONetwork* network = GetNetwork();
  const wxString netDriver = network ? network->GetDriver() : wxString();
  if (!hv::Vostrel_CheckDriverParameter(netDriver, m_type + ".ddl.")) {
    hv::ShowMessage(10077, wxS("Das Gerät wird vom ausgewählten Netzwerk nicht unterstützt!"), MB_ICONINFORMATION);
    return FALSE;
  }
  while (NodeTaken(devs, m_networkNumber, m_node, 0) || NameTaken(devs, GetName(), 0)) {
    if (NodeTaken(devs, m_networkNumber, m_node, 0))
      hv::ShowMessage(10094, wxS("Im ausgewählten Netzwerk ist bereits ein Gerät mit dieser Knotennummer vorhanden!"),
                      MB_ICONINFORMATION);
    else
      hv::ShowMessage(10006, wxS("Der Gerätename ist bereits vergeben!"), MB_ICONINFORMATION);
    if (!EditSettings(row)) return FALSE;
  }
  row.network = m_networkNumber;
  row.number = 0;
  if (!db::geraet_insert(devs, row)) return FALSE;
  m_number = row.number;
  SetName(row.name);

  std::vector<std::uint32_t> inserted;
  auto rollback = [&] {
    hv::fieldbus::RemovePoints(dps, inserted);
    db::GeraetRow g;
    if (db::geraet_select(devs, g, db::kSeek, "-GNR", {m_number})) db::geraet_delete(devs);
  };
  try {
    hv::fieldbus::InsertPoints(ar, dps, m_number, inserted);
  } catch (const hv::ArchiveException&) {
    rollback();
    throw;
  }
  if (!inserted.empty()) UpdateAllViews(HINT_OBJECT_CHANGED, this);
  return TRUE;
}
