// The controllers of the network dialog and the device sheet's general page.
#include "model/FieldBusRequests.h"

#include "model/FieldBusTables.h"
#include "model/FieldDevice.h"
#include "model/Network.h"
#include "model/PrjDevice.h"
#include "model/Project.h"
#include "platform/Localization.h"
#include "platform/Online.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/PluginRegistry.h"

namespace hv {
namespace {

Refusal Refuse(UINT text, const wxString& german, FieldBusControl focus) {
  ShowMessage(text, german, MB_ICONINFORMATION);
  return Refusal{text, focus};
}

}  // namespace

void NetworkDialogController::Init() {
  m_r.drivers.clear();
  m_r.driverIndex = -1;
  CPOPrjDevice* device = m_r.network->GetDevice();
  for (const PluginListEntry& e : PluginRegistry::Get().List(PluginKind::Driver)) {
    if (device && !device->GetConfigAccess().SupportsNetworkDriver(e.title)) continue;
    m_r.drivers.push_back({e.title, e.displayName.empty() ? e.title.Upper() : e.displayName});
  }
  for (size_t i = 0; i < m_r.drivers.size(); ++i)
    if (m_r.drivers[i].title == m_r.network->GetDriver()) m_r.driverIndex = static_cast<int>(i);
}

void NetworkDialogController::SelectDriver(int index) {
  if (index == m_r.driverIndex) return;
  m_r.driverIndex = index;
  m_r.network->SetSlot({});
  m_r.network->SetParameter({});
  if (index >= 0 && index < static_cast<int>(m_r.drivers.size())) m_r.network->SetDriver(m_r.drivers[index].title);
}

bool NetworkDialogController::EditDriverParameters() {
  if (m_r.driverIndex < 0 || m_r.driverIndex >= static_cast<int>(m_r.drivers.size())) return false;
  wxString slot = m_r.network->GetSlot();
  wxString param = m_r.network->GetParameter();
  if (!Vostrel_SelectDriverParameter(db::sprache, m_r.drivers[m_r.driverIndex].title + ".ndl", slot, 11, param, 256))
    return false;
  m_r.network->SetSlot(slot);
  m_r.network->SetParameter(param);
  return true;
}

Refusal NetworkDialogController::Accept(const wxString& name) {
  if (m_r.driverIndex < 0 || m_r.driverIndex >= static_cast<int>(m_r.drivers.size()))
    return Refuse(10215, wxS("Es muß ein Netzwektreiber ausgewählt werden!"), FieldBusControl::Driver);
  m_r.network->SetDriverDisplayName(m_r.drivers[m_r.driverIndex].displayName);
  m_r.network->SetDriver(m_r.drivers[m_r.driverIndex].title);
  const wxString trimmed = wxString(name).Trim(true).Trim(false);
  if (trimmed.empty()) return Refuse(10241, wxS("Es muß ein Netzwekname eingegeben werden!"), FieldBusControl::Name);
  if (m_r.isNew || trimmed != m_r.originalName) {
    db::Table t;
    db::NetzwerkRow row;
    if (fieldbus::OpenTable(m_r.network->DeviceFolder(), "NETZWERK", t)) {
      for (bool ok = db::netzwerk_select(t, row, db::kSeek, "-NETZWERK", {trimmed.Left(30)});
           ok && row.name == trimmed.Left(30); ok = db::netzwerk_select(t, row, db::kNext, "-NETZWERK"))
        if (m_r.isNew || row.number != m_r.network->GetNumber())
          return Refuse(10271, wxS("Der Netzwekname ist bereits vergeben!"), FieldBusControl::Name);
    }
  }
  m_r.network->SetName(trimmed);
  return {};
}

void DeviceGeneralController::Init() {
  CPODevice& d = *m_r.device;
  m_originalName = d.GetName();
  m_netDriver.clear();
  if (CPONetwork* n = d.GetNetwork()) m_netDriver = n->GetDriver();
  m_r.drivers.clear();
  m_r.driverIndex = -1;
  PluginRegistry& reg = PluginRegistry::Get();
  for (const PluginListEntry& e : reg.List(PluginKind::Device)) {
    // GERAET holds eight characters of the type: a longer title could not be found again.
    if (e.title.length() > 8) continue;
    auto plugin = reg.Device(e.title);
    if (!plugin || !plugin->CheckDriver(m_netDriver)) continue;
    m_r.drivers.push_back({e.title, e.displayName.empty() ? e.title : e.displayName});
  }
  for (size_t i = 0; i < m_r.drivers.size(); ++i)
    if (m_r.drivers[i].title.CmpNoCase(d.GetDeviceType()) == 0) m_r.driverIndex = static_cast<int>(i);
  if (m_r.drivers.size() == 1 && m_r.driverIndex < 0) SelectDriver(0);
  m_picked = true;

  m_r.projectDevices.clear();
  CPOPrjDevice* own = d.GetDevice();
  if (CProjectObject* project = own ? own->GetProject() : nullptr) {
    for (CProjectObject* child : project->GetChildren()) {
      auto* other = dynamic_cast<CPOPrjDevice*>(child);
      if (!other || other->GetName().CmpNoCase(own->GetName()) == 0) continue;
      if (other->GetConfigAccess().SupportsNetworkDriver(m_netDriver)) m_r.projectDevices.push_back(other->GetName());
    }
  }
}

void DeviceGeneralController::PickProjectDevice(int index) {
  if (index < 0 || index >= static_cast<int>(m_r.projectDevices.size())) return;
  CPOPrjDevice* own = m_r.device->GetDevice();
  CProjectObject* project = own ? own->GetProject() : nullptr;
  CPOPrjDevice* picked = nullptr;
  for (CProjectObject* child : project ? project->GetChildren() : std::vector<CProjectObject*>{})
    if (auto* p = dynamic_cast<CPOPrjDevice*>(child); p && p->GetName() == m_r.projectDevices[index]) picked = p;
  if (!picked) return;
  m_picked = true;
  m_r.device->SetName(picked->GetName());
  m_r.device->SetParameter(picked->GetNetworkPara());
  m_r.device->SetNode(picked->GetNode());
  int match = -1;
  for (size_t i = 0; i < m_r.drivers.size(); ++i)
    if (m_r.drivers[i].displayName == picked->GetDriverDisplayText() ||
        m_r.drivers[i].title.CmpNoCase(picked->GetHardwareType()) == 0)
      match = static_cast<int>(i);
  if (match < 0 && m_r.drivers.size() == 1) match = 0;
  m_r.driverIndex = -1;
  if (match >= 0) {
    m_r.driverIndex = match;
    m_r.device->SetDeviceType(m_r.drivers[match].title);
    m_r.device->SetPluginName(m_r.drivers[match].displayName);
  }
}

void DeviceGeneralController::NameTyped(const wxString& text, int listIndex) {
  CPODevice& d = *m_r.device;
  d.SetName(wxString(text).Trim(true));
  if (!m_picked || listIndex < 0 || listIndex >= static_cast<int>(m_r.projectDevices.size())) return;
  CPOPrjDevice* own = d.GetDevice();
  CProjectObject* project = own ? own->GetProject() : nullptr;
  bool named = false;
  for (CProjectObject* child : project ? project->GetChildren() : std::vector<CProjectObject*>{})
    if (auto* p = dynamic_cast<CPOPrjDevice*>(child); p && p->GetName() == m_r.projectDevices[listIndex]) named = true;
  if (!named) return;
  d.SetNode({});
  d.SetParameter(own->GetDeviceFolder() + ";");
  m_picked = false;
}

void DeviceGeneralController::SelectDriver(int index) {
  if (index < 0 || index >= static_cast<int>(m_r.drivers.size())) return;
  if (index != m_r.driverIndex && m_r.isNew && !m_r.device->IsFromScan()) m_r.device->SetNode({});
  m_r.driverIndex = index;
  m_r.device->SetDeviceType(m_r.drivers[index].title);
  m_r.device->SetPluginName(m_r.drivers[index].displayName);
}

bool DeviceGeneralController::EditDeviceParameters() {
  CPODevice& d = *m_r.device;
  if (m_r.driverIndex < 0) return false;
  wxString node = d.GetNode().Left(10);
  wxString param = d.GetParameter().Left(399);
  CPOPrjDevice* prj = d.GetDevice();
  if (m_r.isNew && param.empty() && prj) {
    const wxString folder = JoinPath(prj->GetProjectFolder(), d.GetName());
    if (!d.GetName().empty() && IsFolder(folder)) param = folder.Left(398) + ";";
  }
  CPONetwork* n = d.GetNetwork();
  // One call: a cancelled dialog is not asked again under another name.
  if (!Vostrel_SelectDeviceParameter(db::sprache, m_netDriver, n ? n->GetSlot() : wxString(),
                                     m_r.drivers[m_r.driverIndex].title + ".ddl", node, 11, param, 400))
    return false;
  d.SetNode(node);
  d.SetParameter(param);
  return true;
}

Refusal DeviceGeneralController::SaveFields(const wxString& nameIn) {
  CPODevice& d = *m_r.device;
  // The name field itself refuses the other forbidden characters before this runs.
  const wxString name = wxString(nameIn).Trim(true).Trim(false);
  if (name.empty()) return Refuse(10317, wxS("Es muß ein Gerätename eingegeben werden!"), FieldBusControl::Name);
  if (const size_t dot = nameIn.find('.'); dot != wxString::npos) {
    Refusal r = Refuse(10347, wxS("Der Gerätename darf keinen Punkt(.) enthalten!"), FieldBusControl::Name);
    r.select = static_cast<long>(dot);
    return r;
  }
  if (name.length() > 48) return Refuse(11301, wxS("Der Gerätename ist zu lang!"), FieldBusControl::Name);
  db::Table devs;
  const bool open = fieldbus::OpenTable(d.DeviceFolder(), "GERAET", devs);
  const wxString& had = m_originalName.empty() ? d.GetName() : m_originalName;
  if (open && (m_r.isNew || name.CmpNoCase(had) != 0)) {
    db::GeraetRow row;
    for (bool ok = db::geraet_select(devs, row, db::kSeek, "BEZEICH", {name}); ok && row.name.CmpNoCase(name) == 0;
         ok = db::geraet_select(devs, row, db::kNext, "BEZEICH"))
      if (m_r.isNew || row.number != d.GetNumber())
        return Refuse(10006, wxS("Der Gerätename ist bereits vergeben!"), FieldBusControl::Name);
  }
  // A parameter naming the folder <project>/<name> is not rewritten: the row stores the
  // project folder as $$$PROJECTPATH$$$ (CollapsePathMacros), so the reference keeps
  // naming that folder wherever the project is opened.
  d.SetName(name);
  if (m_r.driverIndex < 0)
    return Refuse(10033, wxS("Es muß ein Gerätetreiber ausgewählt werden!"), FieldBusControl::Driver);
  d.SetDeviceType(m_r.drivers[m_r.driverIndex].title);
  d.SetPluginName(m_r.drivers[m_r.driverIndex].displayName);
  return {};
}

Refusal DeviceGeneralController::Accept(const wxString& nameIn) {
  if (Refusal r = SaveFields(nameIn)) return r;
  CPODevice& d = *m_r.device;
  db::Table devs;
  const bool open = fieldbus::OpenTable(d.DeviceFolder(), "GERAET", devs);
  const wxString node = wxString(d.GetNode()).Trim(true);
  if (node.empty())
    return Refuse(10057, wxS("Für den ausgewählten Gerätetreiber müssen noch die Einstellungen vorgenommen werden!"),
                  FieldBusControl::Settings);
  // A node the field cannot hold would be cut and then clash unseen.
  if (node.length() > 10) return Refuse(11302, wxS("Die Knotennummer ist zu lang!"), FieldBusControl::Settings);
  if (d.CollapsePathMacros().length() > 255)
    return Refuse(11303, wxS("Der Parameter ist zu lang!"), FieldBusControl::Settings);
  if (!Vostrel_CheckDriverParameter(m_netDriver, d.GetDeviceType() + ".ddl."))
    return Refuse(10077, wxS("Das Gerät wird vom ausgewählten Netzwerk nicht unterstützt!"), FieldBusControl::Driver);
  if (open) {
    db::GeraetRow row;
    const std::uint16_t net = d.GetNetworkNumber();
    for (bool ok = db::geraet_select(devs, row, db::kSeek, "NETZWERK", {net}); ok && row.network == net;
         ok = db::geraet_select(devs, row, db::kNext, "NETZWERK"))
      if (row.node == node && (m_r.isNew || row.number != d.GetNumber()))
        return Refuse(10094, wxS("Im ausgewählten Netzwerk ist bereits ein Gerät mit dieser Knotennummer vorhanden!"),
                      FieldBusControl::Settings);
  }
  return {};
}

void DeviceGeneralController::SetScannedIdentifier(const wxString& identifier) {
  CPODevice& d = *m_r.device;
  wxString param = d.GetParameter();
  if (m_r.isNew && param.empty() && d.GetDevice()) param = d.GetDevice()->GetDeviceFolder() + ";";
  if (!identifier.empty()) {
    const size_t first = param.find(';');
    const size_t second = first == wxString::npos ? wxString::npos : param.find(';', first + 1);
    if (second != wxString::npos) param = param.Left(second) + ";" + identifier;
    else if (first != wxString::npos) param += ";" + identifier;
    else param += ";;" + identifier;
  }
  d.SetParameter(param);
}

wxString FoundDeviceText(const wxString& node, const wxString& type) {
  return wxString::Format("%-12.16s%s", node, type);
}

}  // namespace hv
