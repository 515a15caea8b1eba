#include "model/IOConfig.h"

#include "model/DirectDataPoint.h"
#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "model/PrjDataPoint.h"
#include "model/PrjDevice.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"

using namespace hv::db;

BEGIN_COMMAND_MAP(CPOIOConfig, CProjectObject)
  ON_COMMAND(ID_DP_READ_VALUE, OnPassReadValue)
  ON_UPDATE_COMMAND_UI(ID_DP_READ_VALUE, OnUpdatePassReadValue)
END_COMMAND_MAP()

CPOIOConfig::CPOIOConfig() { SetName(hv::LocalString(10504, wxS("I/O Konfiguration"))); }

CPOIOConfig::CPOIOConfig(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, device) {
  SetName(hv::LocalString(10504, wxS("I/O Konfiguration")));
}

wxString CPOIOConfig::GetListCaption() {
  return hv::LocalString(11532, wxS("I/O Konfiguration des Geräts '")) + devsvc::DeviceName(GetDevice()) + wxS("'");
}

BOOL CPOIOConfig::HasTreeChildren() { return HasDataPointRows(GetDevice()); }

BOOL CPOIOConfig::LoadChildren() {
  CPOPrjDevice* d = GetDevice();
  if (!d) return FALSE;
  const wxString folder = d->GetDeviceFolder();
  ChildPool pool(*this);
  const std::int64_t before = TableTime(folder, wxS("DATPKT"));
  Table t;
  if (!t.open(folder, DatpktSchema())) return FALSE;
  const std::uint16_t own = static_cast<std::uint16_t>(d->GetDeviceNumber());
  DatpktRow row;
  bool any = false;
  for (bool found = datpkt_select(t, row, kSeek, "GNR", {own}); found && row.device == own;
       found = datpkt_select(t, row, kNext, "GNR")) {
    any = true;
    wxString name = row.name;
    name.Trim(true);
    std::unique_ptr<CProjectObject> child = pool.TakeName(name, false);
    if (!child || child->GetTypeCode() != TypeCode::DirectDataPoint) child = std::make_unique<CPODirectDataPoint>(this, d);
    FillFromRow(static_cast<CPODirectDataPoint&>(*child), row);
    AddChild(std::move(child));
  }
  if (any) m_loadTime = before;
  return any ? TRUE : FALSE;
}

BOOL CPOIOConfig::IsStale() {
  CPOPrjDevice* d = GetDevice();
  if (HasNoChildren() || !d) return FALSE;
  const std::int64_t t = TableTime(d->GetDeviceFolder(), wxS("DATPKT"));
  if (t == 0) return FALSE;
  return t < 0 || t > m_loadTime ? TRUE : FALSE;
}

BOOL CPOIOConfig::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  if (!parent) return FALSE;
  return AddNewObject(parent, std::make_unique<CPOIOConfig>(parent, device));
}

BOOL CDevCfg::Load(const wxString& hardware, const wxString& variant, int firmware) {
  const bool isPath = hardware.Find('/') != wxNOT_FOUND || hardware.Find('\\') != wxNOT_FOUND;
  wxString path = hardware;
  path.Replace(wxS("\\"), wxS("/"));
  if (!isPath) path = hv::JoinPath(hv::InstalledHardwareFolder(), hardware);
  m_config = hv::GetDeviceConfig(path, firmware / 100.0);
  if (!m_config) return FALSE;
  m_display = m_config->GetDisplayConfig();
  if (!variant.empty())
    if (auto remote = m_config->GetRemotePanel(variant); remote && remote->display) m_display = remote->display;
  m_io = m_config->GetIOConfig();
  return TRUE;
}

WORD CDevCfg::GetIOCount(const wxString& kind) const { return m_io ? m_io->GetCount(kind) : 0; }

bool CDevCfg::GetDisplayValues(int& first, int& second) const {
  if (!m_display) return false;
  m_display->GetSize(first, second);
  return true;
}

BOOL CDevCfg::GetEntryText(const wxString& key, wxString& text) const {
  return m_config && m_config->GetEntryText(key, text) ? TRUE : FALSE;
}

namespace {

BOOL InNames(const std::vector<wxString>& names, const wxString& name) {
  for (const wxString& n : names)
    if (n.CmpNoCase(name) == 0) return TRUE;
  return FALSE;
}

}  // namespace

BOOL CDevCfg::HasVersionName(const wxString& name) const { return m_config ? InNames(m_config->GetVersionNames(), name) : FALSE; }

BOOL CDevCfg::HasVariantName(const wxString& name) const {
  if (!m_config) return FALSE;
  for (int i = 0; i < m_config->GetRemotePanelCount(); ++i) {
    wxString n;
    if (m_config->GetRemotePanelName(i, n) && n.CmpNoCase(name) == 0) return TRUE;
  }
  return FALSE;
}
