#include "model/DataPoint.h"

#include "framework/CommandIds.h"
#include "framework/UpdateHints.h"
#include "model/DataPointNames.h"
#include "model/DataPointPicker.h"
#include "model/DataPointSheet.h"
#include "model/ModelServices.h"
#include "model/ObjectSupport.h"
#include "model/PrjDevice.h"
#include "model/Project.h"
#include "framework/SettingsFile.h"
#include "framework/Services.h"
#include "platform/Codec.h"
#include "platform/Db4.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/online/PluginRegistry.h"
#include "platform/Localization.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"

using namespace hv::db;

BEGIN_COMMAND_MAP(CPODataPoint, CProjectObject)
  ON_COMMAND(ID_DP_EDIT, OnEdit)
  ON_COMMAND(ID_DP_NEW_COPY, OnNewCopy)
  ON_COMMAND(ID_DP_NEW, OnNewObject)
  ON_UPDATE_COMMAND_UI(ID_DP_NEW, OnUpdateNew)
  ON_COMMAND(ID_DP_DELETE, OnDelete)
  ON_COMMAND(ID_DP_READ_VALUE, OnReadValue)
  ON_UPDATE_COMMAND_UI(ID_DP_READ_VALUE, OnUpdateReadValue)
END_COMMAND_MAP()

CPODataPoint::CPODataPoint(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, device) {}

wxString DataPointFolder(CProjectObject& dp) { return dp.GetDevice() ? dp.GetDevice()->GetDeviceFolder() : wxString(); }

void CPODataPoint::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(m_f.id);
    ar.WriteString(m_f.description, false);
    ar.WriteString(m_f.address, false);
    ar.WriteU32(m_f.type);
    ar.WriteU16(m_f.logicalId);
    ar.WriteI32(m_f.readable);
  } else {
    m_f.id = ar.ReadU32();
    m_f.description = ar.ReadString();
    m_f.address = ar.ReadString();
    m_f.type = ar.ReadU32();
    m_f.logicalId = ar.ReadU16();
    m_f.readable = ar.ReadI32() ? TRUE : FALSE;
    // Description and address live in narrow fields: a text they cannot hold is garbled data.
    if (!hv::FitsCp1252(m_f.description) || !hv::FitsCp1252(m_f.address))
      throw hv::ArchiveException("data-point text outside Windows-1252");
  }
  m_f.name = GetName();
}

int CPODataPoint::Compare(const CProjectObject* other, int column) {
  const auto* o = dynamic_cast<const CPODataPoint*>(other);
  if (!other) return 0;
  if (!o) return CProjectObject::Compare(other, column);
  switch (column) {
    case 1: return CompareValues(m_f.id, o->m_f.id);
    case 3: return m_f.description.CmpNoCase(o->m_f.description);
    case 4: return m_f.address.CmpNoCase(o->m_f.address);
    case 5: return m_f.value.CmpNoCase(o->m_f.value);
    default: return CProjectObject::Compare(other, column);
  }
}

wxString CPODataPoint::GetColumnText(int column) {
  switch (column) {
    case 1: return wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_f.id));
    case 2: return FormatLogicalId(m_f.logicalId);
    case 3: return m_f.description;
    case 4: return m_f.address;
    case 5: return m_f.value;
    default: return GetName();
  }
}

wxString CPODataPoint::GetClipboardFormatName() {
  return wxString::Format(wxS("POCT%08lX/%08lX"), 0x21232110ul, 0x21231000ul);
}

DataPointConnection CPODataPoint::Connection() {
  if (auto* owner = dynamic_cast<IDataPointOwner*>(GetParent()); owner && IsValidObject(GetParent()))
    return owner->DataPointConnectionValues();
  return {};
}

std::uint16_t CPODataPoint::RowDeviceNumber() { return Connection().deviceNumber; }

std::unique_ptr<CPODataPoint> CPODataPoint::MakeSibling(CProjectObject* parent, CPOPrjDevice* device) {
  return std::make_unique<CPODataPoint>(parent, device);
}

void CPODataPoint::FillSheetDevice(DataPointSheetRequest& sheet) {
  const DataPointConnection c = Connection();
  sheet.deviceNumber = c.deviceNumber;
  sheet.deviceName = c.deviceName;
  sheet.driverName = c.devDriver;
  sheet.node = c.node;
  sheet.deviceParam = c.devParam;
  sheet.deviceFolder = DataPointFolder(*this);
  CPOProject* project = GetProject();
  sheet.codesysNames = project && project->GetFlags().CoDeSysDP;
}

// --- copy and paste ---

BOOL CPODataPoint::WriteToClipboard(CArchive& ar) {
  Table t;
  const wxString folder = DataPointFolder(*this);
  DatpktRow row;
  if (folder.empty() || !t.open(folder, DatpktSchema()) || !datpkt_select(t, row, kSeek, "ID", {m_f.id})) return FALSE;
  ar.WriteU16(row.type);
  ar.WriteU16(row.access);
  ar.WriteU16(row.pickerAccess);
  ar.WriteU32(row.value32);
  for (const wxString* s : {&row.unit, &row.start, &row.sigMin, &row.sigMax, &row.measMin, &row.measMax})
    ar.WriteString(wxString(*s).Trim(true), false);
  for (const wxString& s : row.free) ar.WriteString(wxString(s).Trim(true), false);
  ar.WriteString(folder, true);
  return TRUE;
}

BOOL CPODataPoint::Cut(CArchive& ar) { return WriteToClipboard(ar) && Delete() ? TRUE : FALSE; }

namespace {

// The section "Globale Selbstdefinierte Datenpunkte" or "Selbstdefinierte
// Datenpunkte" of a datpkt.set holds the definition.
bool HasDefinition(const wxString& file, const wxString& section, const wxString& definition);

}  // namespace

BOOL CPODataPoint::ReadFromClipboard(CArchive& ar, CProjectObject* target) {
  CProjectObject* parent = target ? target : GetParent();
  if (!GetDevice() && parent) SetDevice(parent->GetDevice());
  DataPointExtra x;
  const DWORD type = ar.ReadU16();
  x.access = ar.ReadU16();
  x.capabilities = ar.ReadU16();
  x.value32 = ar.ReadU32();
  for (wxString* s : {&x.unit, &x.start, &x.sigMin, &x.sigMax, &x.measMin, &x.measMax}) *s = ar.ReadString();
  for (wxString& s : x.free) s = ar.ReadString();
  for (const wxString* s : {&x.unit, &x.start, &x.sigMin, &x.sigMax, &x.measMin, &x.measMax, &x.free[0], &x.free[1],
                            &x.free[2], &x.free[3], &x.free[4], &x.free[5]})
    if (!hv::FitsCp1252(*s)) throw hv::ArchiveException("data-point text outside Windows-1252");
  const wxString sourceFolder = ar.ReadString();
  m_f.type = type;
  m_f.name = GetName().Left(30);
  const wxString folder = DataPointFolder(*this);
  Table t;
  if (folder.empty() || !t.open(folder, DatpktSchema())) return FALSE;
  DatpktRow probe;
  if (m_f.logicalId != 0 && datpkt_select(t, probe, kSeek, "LOG_ID", {m_f.logicalId})) m_f.logicalId = kLogicalIdClash;
  // A pasted name must not stand twice in the device.
  wxString name = m_f.name;
  datpkt_get_new_name(t, name);
  m_f.name = name.Trim(true);

  const wxChar kind = m_f.address.empty() ? wxChar(0) : m_f.address[0];
  if (kind == '7' || kind == '8') {
    wxString defFolder = folder;
    if (GetTypeCode() == TypeCode::DataPoint) {
      const wxString second = Connection().devParam.AfterFirst(';').BeforeFirst(';').Trim(true);
      defFolder = !second.empty() && hv::IsFolder(second) ? second : hv::PluginRegistry::Get().Folder(hv::PluginKind::Device);
    }
    const wxString file = hv::JoinPath(defFolder, wxS("datpkt.set"));
    const wxString section = kind == '7' ? wxS("Selbstdefinierte Datenpunkte") : wxS("Globale Selbstdefinierte Datenpunkte");
    if (!hv::IsFile(file)) {
      // Only a missing file is copied: the target's own definitions stay.
      std::string bytes;
      if (hv::ReadFileBytes(hv::JoinPath(sourceFolder, wxS("datpkt.set")), bytes)) hv::WriteFileAtomic(file, bytes);
    } else if (!HasDefinition(file, section, m_f.address.Mid(2))) {
      hv::ShowMessageF(11527, wxS("Definition für Datenpunkt '%s'\nwurde in der Datei '%s'\nnicht gefunden!"),
                       MB_OK | MB_ICONINFORMATION, m_f.name, file);
    }
  }
  DatpktRow row;
  FillRow(row, m_f, x, GetTypeCode() == TypeCode::DataPoint ? RowDeviceNumber()
                                                               : static_cast<std::uint16_t>(GetDevice()->GetDeviceNumber()));
  if (!datpkt_insert(t, row)) return FALSE;
  m_f.id = row.id;
  m_f.readable = (row.access & 1) ? TRUE : FALSE;
  m_f.name = wxString(row.name).Trim(true);
  SetName(m_f.name);
  return TRUE;
}

namespace {

bool HasDefinition(const wxString& file, const wxString& section, const wxString& definition) {
  for (const wxString& line : hv::IniReadSectionLines(file, section)) {
    if (line.StartsWith(wxS(";"))) continue;
    if (line.Find('=') == wxNOT_FOUND) continue;
    if (line.AfterFirst('=') == definition) return true;
  }
  return false;
}

}  // namespace
