#include "model/PrjDevice.h"

#include <sys/stat.h>

#include "framework/Services.h"
#include "framework/UpdateHints.h"
#include "model/DeviceServices.h"
#include "model/ModelServices.h"
#include "model/ObjectFactory.h"
#include "model/PathMacros.h"
#include "model/Project.h"
#include "model/ProjectOperations.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/SuiteHelper.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/PluginRegistry.h"

namespace {

const wxString kCeQx = wxS("CE_QX");
const wxString kCePnQx = wxS("CE_PN_QX");

bool StartsWithNoCase(const wxString& text, const wxString& prefix) {
  return text.length() >= prefix.length() && text.Left(prefix.length()).CmpNoCase(prefix) == 0;
}

wxString TrimmedRight(wxString text) { return text.Trim(true); }

std::int64_t FileTimeNs(const wxString& path) {
  struct stat st;
  if (stat(hv::ToFs(path).c_str(), &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// A picture file the views can show: readable and a Windows bitmap.
bool IsBitmapFile(const wxString& path) {
  std::string bytes;
  if (!hv::IsFile(path) || !hv::ReadFileBytes(path, bytes)) return false;
  return bytes.size() > 26 && bytes[0] == 'B' && bytes[1] == 'M';
}

// The project a device lies in: its parent.
CPOProject* ProjectNodeOf(const CPOPrjDevice& device) { return dynamic_cast<CPOProject*>(device.GetParent()); }

}  // namespace

BEGIN_COMMAND_MAP(CPOPrjDevice, CProjectObject)
  ON_COMMAND(ID_DEVICE_EDIT, OnEdit)
  ON_COMMAND(ID_DEVICE_DELETE, OnDelete)
  ON_COMMAND(ID_DEVICE_NEW_OBJECT, OnNewObject)
  ON_UPDATE_COMMAND_UI(ID_DEVICE_NEW_OBJECT, OnUpdateNewObject)
  ON_UPDATE_COMMAND_UI(ID_DEVICE_CUT, OnUpdateCut)
  ON_COMMAND(ID_DEVICE_LOAD_CONFIG, OnLoadDeviceConfig)
  ON_COMMAND_RANGE(kFirstDeviceToolCommand, kLastDeviceToolCommand, OnToolCommand)
  ON_COMMAND(ID_DEVICE_IMPORT_CODESYS, ImportCoDeSysProject)
END_COMMAND_MAP()

CPOPrjDevice::CPOPrjDevice() {
  SetName(hv::LocalString(10314, wxS("Gerät")));
  SetDevice(this);
}

CPOPrjDevice::CPOPrjDevice(CProjectObject* parent) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10314, wxS("Gerät")));
  SetDevice(this);
  if (parent) SetProject(parent->GetProject());
}

CPOPrjDevice::~CPOPrjDevice() = default;

// --- fields ---

void CPOPrjDevice::SetDeviceFolder(const wxString& folder) {
  m_deviceFolder = hv::NormalizePath(folder);
  m_settings.SetDeviceFolder(m_deviceFolder);
  m_config.SetDeviceFolder(m_deviceFolder);
  m_picturesLoaded = false;
}

void CPOPrjDevice::SetRemoteType(const wxString& remoteType) {
  m_remoteType = remoteType;
  m_config.SetRemoteType(remoteType);
}

void CPOPrjDevice::SetFirmwareVersion(short hundredths) {
  m_firmwareVersion = hundredths;
  m_config.SetFirmwareVersion(hundredths);
}

wxString GetProjectFolderOf(CProjectObject* project) {
  const auto* p = dynamic_cast<const CPOProject*>(project);
  return p && !p->GetFolder().empty() ? hv::NormalizePath(p->GetFolder()) : wxString();
}

wxString CPOPrjDevice::GetProjectFolder() const {
  if (CPOProject* project = ProjectNodeOf(*this)) {
    const wxString folder = GetProjectFolderOf(project);
    if (!folder.empty()) return folder;
  }
  return m_deviceFolder.empty() ? wxString() : hv::PathFolder(m_deviceFolder);
}

DeviceSetValues CPOPrjDevice::GetDeviceSetValues() const {
  DeviceSetValues v;
  v.type = m_hardwareType;
  v.remoteType = m_remoteType;
  v.firmwareVersion = m_firmwareVersion;
  v.unicodeResource = m_unicodeResource;
  v.slot = m_slot;
  v.network = m_network;
  v.networkPara = m_networkPara;
  v.node = m_node;
  return v;
}

void CPOPrjDevice::SetDeviceSetValues(const DeviceSetValues& v) {
  m_hardwareType = v.type;
  SetRemoteType(v.remoteType);
  SetFirmwareVersion(v.firmwareVersion);
  m_unicodeResource = v.unicodeResource;
  m_slot = v.slot;
  m_network = v.network;
  m_networkPara = v.networkPara;
}

// --- settings ---

void CPOPrjDevice::ReadDeviceSet() {
  m_settings.SetDeviceFolder(m_deviceFolder);
  DeviceSetValues v;
  // The configuration is read for the firmware version the file gives; the default of
  // "UnicodeResource" is asked only when the file has no such key.
  m_settings.ReadDeviceSet(v, [this, &v] {
    m_config.SetFirmwareVersion(v.firmwareVersion);
    m_config.SetRemoteType(v.remoteType);
    return m_config.IsUnicodeName();
  });
  SetDeviceSetValues(v);
}

BOOL CPOPrjDevice::WriteDeviceSet(BOOL withOffsets) {
  m_settings.SetDeviceFolder(m_deviceFolder);
  return m_settings.WriteDeviceSet(GetDeviceSetValues(), withOffsets);
}

// --- path macros ---

wxString CPOPrjDevice::CollapsePathMacros() const {
  return ::CollapsePathMacros(m_deviceParameters, {m_deviceFolder, m_symbolFolder, wxString()});
}

void CPOPrjDevice::ExpandPathMacros(const wxString& text) {
  m_deviceParameters = ::ExpandPathMacros(text, {m_deviceFolder, m_symbolFolder, wxString()});
}

wxString CPOPrjDevice::CollapseWorkingPathMacros() const {
  return ::CollapsePathMacros(m_workingParameters, {m_workingDeviceFolder, m_symbolFolder, wxString()});
}

void CPOPrjDevice::ExpandWorkingPathMacros(const wxString& text) {
  m_workingParameters = ::ExpandPathMacros(text, {m_workingDeviceFolder, m_symbolFolder, wxString()});
}

// --- kinds ---

BOOL CPOPrjDevice::IsPanelType() const {
  return StartsWithNoCase(m_hardwareType, "KOLM_") || StartsWithNoCase(m_hardwareType, "COMBO") ||
                 StartsWithNoCase(m_hardwareType, "CE_PANEL")
             ? TRUE
             : FALSE;
}

BOOL CPOPrjDevice::IsComboDevice() const { return m_deviceDriver.StartsWith("COMBO") ? TRUE : FALSE; }

bool CPOPrjDevice::IsWithoutResources() const {
  const wxString driver = TrimmedRight(m_deviceDriver);
  return driver.CmpNoCase(kCeQx) == 0 || driver.CmpNoCase(kCePnQx) == 0;
}

// --- copy, current device ---

void CPOPrjDevice::CopyDevice(const CPOPrjDevice& source) {
  if (&source != this) {
    CopyBaseFrom(source);
    m_settings = source.m_settings;
    m_tableTime = source.m_tableTime;
    m_marker = source.m_marker;
    m_unicodeResource = source.m_unicodeResource;
    m_remoteType = source.m_remoteType;
    m_firmwareVersion = source.m_firmwareVersion;
    m_compressedBitmaps = source.m_compressedBitmaps;
    m_deviceNumber = source.m_deviceNumber;
    m_deviceParameters = source.m_deviceParameters;
    m_deviceDriver = source.m_deviceDriver;
    m_driverDisplayText = source.m_driverDisplayText;
    m_node = source.m_node;
    m_networkPara = source.m_networkPara;
    m_network = source.m_network;
    m_hardwareType = source.m_hardwareType;
    m_slot = source.m_slot;
    m_deviceFolder = source.m_deviceFolder;
    m_symbolFolder = source.m_symbolFolder;
    m_picturesLoaded = false;
  }
  // A copy reads its configuration again on first use.
  m_config = CDeviceConfigAccess(m_deviceFolder, m_firmwareVersion, m_remoteType);
}

BOOL CPOPrjDevice::SetCurrentDevice() {
  m_settings.SetDeviceFolder(m_deviceFolder);
  hv::set_registry_strvalue(hv::kKeyProduct, wxS("CurrentDevice"), GetName());
  CPOProject* project = ProjectNodeOf(*this);
  if (project) project->MakeCurrent();
  const wxString projectName = project ? project->GetName() : wxString();
  hv::Service<hv::IApplicationState>().SetCurrentSelection(projectName + "/" + GetName());
  return TRUE;
}

// --- own row ---

void CPOPrjDevice::FillOwnRow(hv::db::GeraetRow& row) const {
  row.number = static_cast<std::uint16_t>(m_deviceNumber);
  row.name = GetName().Left(kStoredDeviceName);
  row.type = m_deviceDriver;
  row.node = m_node;
  row.network = kOwnDeviceNetwork;
  row.param = CollapsePathMacros();
}

BOOL CPOPrjDevice::WriteOwnRow() {
  using namespace hv::db;
  Table t;
  GeraetRow row;
  if (m_deviceFolder.empty() || !t.open(m_deviceFolder, GeraetSchema())) return FALSE;
  if (!geraet_select(t, row, kSeek, "-GNR", {m_deviceNumber})) return FALSE;
  FillOwnRow(row);
  return geraet_update(t, row);
}

// --- archive ---

void CPOPrjDevice::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(m_deviceNumber);
    for (const wxString* s : {&m_deviceDriver, &m_deviceParameters, &m_network, &m_networkPara, &m_node,
                              &m_deviceFolder, &m_slot, &m_hardwareType})
      ar.WriteString(*s, !hv::FitsCp1252(*s));   // a folder may hold any character
  } else {
    m_deviceNumber = ar.ReadU32();
    m_deviceDriver = ar.ReadString();
    m_deviceParameters = ar.ReadString();
    m_network = ar.ReadString();
    m_networkPara = ar.ReadString();
    m_node = ar.ReadString();
    const wxString folder = ar.ReadString();
    m_slot = ar.ReadString();
    m_hardwareType = ar.ReadString();
    SetDeviceFolder(folder);
  }
}

// --- list and tree ---

BOOL CPOPrjDevice::IsUnicodeName() { return m_config.IsUnicodeName(); }

int CPOPrjDevice::Compare(const CProjectObject* other, int column) {
  const auto* device = dynamic_cast<const CPOPrjDevice*>(other);
  if (device && column == 1) return m_hardwareType.CmpNoCase(device->m_hardwareType);
  if (device && column == 2) return m_deviceDriver.CmpNoCase(device->m_deviceDriver);
  return CProjectObject::Compare(other, column);
}

wxString CPOPrjDevice::GetColumnText(int column) {
  if (column == 1) return m_hardwareType;
  if (column == 2) return m_driverDisplayText;
  return CProjectObject::GetColumnText(column);
}

void CPOPrjDevice::LoadDevicePictures() {
  if (m_picturesLoaded) return;
  m_picturesLoaded = true;
  m_pictures = {};
  if (m_deviceFolder.empty()) return;
  const wxString small = hv::ResolvePath(hv::JoinPath(m_deviceFolder, "hardware/device_16.bmp"));
  const wxString large = hv::ResolvePath(hv::JoinPath(m_deviceFolder, "hardware/device_32.bmp"));
  if (IsBitmapFile(small)) m_pictures[0] = m_pictures[1] = small;
  if (IsBitmapFile(large)) m_pictures[2] = large;
}

int CPOPrjDevice::GetImage() {
  LoadDevicePictures();
  for (const wxString& picture : m_pictures)
    if (!picture.empty()) return -1;
  return 2;
}

// --- children ---

std::unique_ptr<CProjectObject> CPOPrjDevice::MakeChild(TypeCode kind) {
  std::unique_ptr<CProjectObject> child = CObjectFactory::CreateOfType(kind);
  if (child) {
    child->SetDevice(this);
    child->SetProject(GetProject());
  }
  return child;
}

BOOL CPOPrjDevice::ProbeChild(TypeCode kind, bool listChildren) {
  std::unique_ptr<CProjectObject> probe = MakeChild(kind);
  if (!probe) return FALSE;
  const BOOL answer = listChildren ? probe->HasListChildren() : probe->HasTreeChildren();
  Discard(std::move(probe));
  return answer;
}

BOOL CPOPrjDevice::HasTreeChildren() {
  if (ProbeChild(TypeCode::Program, true)) return TRUE;
  if (IsWithoutResources()) return FALSE;
  if (GetChildCount() > 0) return TRUE;
  return ProbeChild(TypeCode::Resource, false) || ProbeChild(TypeCode::PrjDataPoint, false) ||
                 ProbeChild(TypeCode::HtmlFolder, true)
             ? TRUE
             : FALSE;
}

BOOL CPOPrjDevice::LoadChildren() {
  DispatchScope scope;
  std::vector<std::unique_ptr<CProjectObject>> old = TakeChildren();
  // Children found again keep their tree items and expanded state.
  auto reuseOrMake = [&](TypeCode kind) -> std::unique_ptr<CProjectObject> {
    for (auto& child : old)
      if (child && child->GetTypeCode() == kind) return std::move(child);
    return MakeChild(kind);
  };
  auto release = [](std::unique_ptr<CProjectObject> child) {
    if (child) Dispose(std::move(child));
  };

  if (ProbeChild(TypeCode::Resource, false)) {
    std::unique_ptr<CProjectObject> node = reuseOrMake(TypeCode::Resource);
    if (IsWithoutResources())
      release(std::move(node));
    else if (node)
      AddChild(std::move(node));
  }
  if (ProbeChild(TypeCode::PrjDataPoint, false)) {
    std::unique_ptr<CProjectObject> node = reuseOrMake(TypeCode::PrjDataPoint);
    if (node && node->HasListChildren())
      AddChild(std::move(node));
    else
      release(std::move(node));
  }
  {
    std::unique_ptr<CProjectObject> node = reuseOrMake(TypeCode::Program);
    if (node && node->HasListChildren())
      AddChild(std::move(node));
    else
      release(std::move(node));
  }
  if (ProbeChild(TypeCode::HtmlFolder, true)) {
    if (std::unique_ptr<CProjectObject> node = reuseOrMake(TypeCode::HtmlFolder)) AddChild(std::move(node));
  }

  const wxString table = hv::ResolvePath(hv::JoinPath(m_deviceFolder, "GERAET.DBF"));
  if (!m_deviceFolder.empty() && hv::IsFile(table)) m_tableTime = FileTimeNs(table);

  for (auto& child : old) release(std::move(child));

  OnLoadDeviceConfig();
  RequestConfigurationOffer();
  return TRUE;
}

void CPOPrjDevice::OnLoadDeviceConfig() { m_config.LoadDeviceConfig(FALSE); }

void CPOPrjDevice::RequestConfigurationOffer() {
  if (m_offerAsked) return;
  // The question waits until the views have taken in the children; by then the
  // device may be gone.
  const ObjectRef self(this);
  auto offer = [self] {
    if (auto* device = dynamic_cast<CPOPrjDevice*>(self.Get())) device->OfferNewerConfiguration();
  };
  hv::Service<hv::IEventLoop>().Defer(std::move(offer));
}

// --- commands ---

void CPOPrjDevice::OnNewObject() {
  DispatchScope scope;
  CreateNew(GetParent(), this, nullptr);
  SetMultipleSelection(FALSE);
}

void CPOPrjDevice::OnUpdateNewObject(CCmdUI* ui) { ui->SetText(hv::LocalString(10354, wxS("Neues Gerät"))); }

void CPOPrjDevice::OnUpdateCut(CCmdUI* ui) { ui->Enable(FALSE); }

// --- loading from the project folder ---

// --- the device's services, bound at start-up ---

CProjectObject* CPrjDeviceServices::AsObject(CPOPrjDevice& device) { return &device; }
wxString CPrjDeviceServices::GetDeviceFolder(CPOPrjDevice& device) { return device.GetDeviceFolder(); }
BOOL CPrjDeviceServices::IsCFAvailable(CPOPrjDevice& device) { return device.GetConfigAccess().IsCFAvailable(); }
BOOL CPrjDeviceServices::SupportsKeypads(CPOPrjDevice& device) { return device.GetConfigAccess().SupportsKeypads(); }

wxString CPrjDeviceServices::GetDeviceParameters(CPOPrjDevice& device) { return device.GetDeviceParameters(); }

std::unique_ptr<CProjectObject> CProjectOperations::LoadDevice(CPOProject& project, const wxString& deviceFolder) {
  return LoadProjectDevice(project, deviceFolder);
}

DeviceCapabilities CPrjDeviceCapabilities::Of(CProjectObject& object) {
  DeviceCapabilities caps;
  CPOPrjDevice* device = object.GetDevice();
  if (!device) device = dynamic_cast<CPOPrjDevice*>(&object);
  if (!device) return caps;
  const long design = device->GetConfigAccess().FindTavDesignEntry();
  caps.versionKnown = device->GetConfigAccess().GetConfigVersion() != 0;
  caps.designEntry = design != 0;
  caps.fwVersion = device->GetSettings().File().GetInt(wxS("Config"), wxS("FWVersion"), 0);
  caps.tavSim = device->GetConfigAccess().FindConfigEntry(wxS("TavSim")) != 0;
  caps.coDeSys = device->GetConfigAccess().FindConfigEntry(wxS("CoDeSys")) != 0;
  caps.panel = device->IsPanelType() != FALSE;
  caps.dataPointPermission = device->GetConfigAccess().AllowsDataPoints() != FALSE;
  caps.bitmapPermission = device->GetConfigAccess().AllowsBitmaps() != FALSE;
  caps.keypads = device->GetConfigAccess().SupportsKeypads() != FALSE;
  return caps;
}

std::unique_ptr<CPOPrjDevice> LoadProjectDevice(CPOProject& project, const wxString& deviceFolder) {
  using namespace hv::db;
  const wxString folder = hv::NormalizePath(deviceFolder);
  const wxString name = hv::PathName(folder);
  if (name.empty() || !hv::IsFile(hv::JoinPath(folder, kDeviceSetFile))) return nullptr;
  GeraetRow row;
  {
    Table t;
    if (!t.open(folder, GeraetSchema()) || !geraet_select(t, row, kSeek, "BEZEICH", {name})) return nullptr;
  }
  auto device = std::make_unique<CPOPrjDevice>();
  device->SetProject(&project);
  device->SetName(name);
  device->SetDeviceFolder(folder);
  device->SetDeviceNumber(row.number);
  device->SetNode(TrimmedRight(row.node));
  device->SetDeviceDriver(TrimmedRight(row.type));
  // The name the driver list showed, as before the restart; the key when no plug-in says one.
  device->SetDriverDisplayText(hv::PluginRegistry::Get().DeviceDisplayName(device->GetDeviceDriver()));
  const wxString codesys = hv::ResolvePath(hv::JoinPath(folder, "CoDeSys"));
  for (const wxString& entry : hv::ListFolder(codesys))
    if (hv::MatchWildcard("*.SYM", entry) && hv::IsFile(hv::JoinPath(codesys, entry))) {
      device->SetSymbolFolder(hv::JoinPath(codesys, entry));
      break;
    }
  device->ExpandPathMacros(row.param);
  device->ReadDeviceSet();
  return device;
}
