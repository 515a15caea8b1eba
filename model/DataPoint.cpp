#include "model/DataPoint.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "framework/CommandIds.h"
#include "framework/UpdateHints.h"
#include "model/DataPointNames.h"
#include "model/DataPointFrames.h"
#include "model/DataPointPicker.h"
#include "model/DataPointRowScope.h"
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

namespace {

void PutLength(std::string& out, std::size_t n) {
  for (; n >= 0x80; n >>= 7) out.push_back(static_cast<char>((n & 0x7F) | 0x80));
  out.push_back(static_cast<char>(n));
}

std::size_t TakeLength(const char*& p) {
  std::size_t n = 0;
  for (int shift = 0;; shift += 7) {
    const auto b = static_cast<unsigned char>(*p++);
    n |= static_cast<std::size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return n;
  }
}

}  // namespace

wxString CPODataPoint::Text(TextSlot slot) const {
  if (!m_texts) return wxString();
  const char* p = m_texts.get();
  for (int i = 0;; ++i) {
    const std::size_t n = TakeLength(p);
    if (i == slot) return wxString::FromUTF8(p, n);
    p += n;
  }
}

std::string_view CPODataPoint::StoredText(TextSlot slot) const {
  if (!m_texts) return {};
  const char* p = m_texts.get();
  for (int i = 0;; ++i) {
    const std::size_t n = TakeLength(p);
    if (i == slot) return std::string_view(p, n);
    p += n;
  }
}

void CPODataPoint::WriteNarrowText(CArchive& ar, TextSlot slot) const {
  // Plain ASCII is the same bytes in UTF-8 and Windows-1252: no string in between.
  const std::string_view bytes = StoredText(slot);
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    ar.WriteNarrowBytes(bytes);
    return;
  }
  ar.WriteString(Text(slot), false);
}

void CPODataPoint::SetTexts(const wxString& description, const wxString& address, const wxString& value) {
  if (description.empty() && address.empty() && value.empty()) {
    m_texts.reset();
    return;
  }
  std::string packed;
  for (const wxString* s : {&description, &address, &value}) {
    const wxScopedCharBuffer utf8 = s->utf8_str();
    PutLength(packed, utf8.length());
    packed.append(utf8.data(), utf8.length());
  }
  m_texts = std::make_unique_for_overwrite<char[]>(packed.size());
  std::memcpy(m_texts.get(), packed.data(), packed.size());
}

const DataPointFields CPODataPoint::Fields() const {
  DataPointFields f;
  f.name = GetName();
  f.id = m_id;
  f.description = Text(kDescription);
  f.address = Text(kAddress);
  f.type = m_type;
  f.readable = m_readable ? TRUE : FALSE;
  f.value = Text(kValue);
  f.logicalId = m_logicalId;
  return f;
}

void CPODataPoint::SetFields(const DataPointFields& f) {
  m_id = f.id;
  m_type = f.type;
  m_readable = f.readable != FALSE;
  m_logicalId = f.logicalId;
  SetTexts(f.description, f.address, f.value);
}

void CPODataPoint::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(m_id);
    WriteNarrowText(ar, kDescription);
    WriteNarrowText(ar, kAddress);
    ar.WriteU32(m_type);
    ar.WriteU16(m_logicalId);
    ar.WriteI32(m_readable ? TRUE : FALSE);
  } else {
    DataPointFields f = Fields();
    f.id = ar.ReadU32();
    f.description = ar.ReadString();
    f.address = ar.ReadString();
    f.type = ar.ReadU32();
    f.logicalId = ar.ReadU16();
    f.readable = ar.ReadI32() ? TRUE : FALSE;
    // Description and address live in narrow fields: a text they cannot hold is garbled data.
    if (!hv::FitsCp1252(f.description) || !hv::FitsCp1252(f.address))
      throw hv::ArchiveException("data-point text outside Windows-1252");
    SetFields(f);
  }
}

int CPODataPoint::Compare(const CProjectObject* other, int column) {
  const auto* o = dynamic_cast<const CPODataPoint*>(other);
  if (!other) return 0;
  if (!o) return CProjectObject::Compare(other, column);
  switch (column) {
    case 1: return CompareValues(m_id, o->m_id);
    case 3: return Text(kDescription).CmpNoCase(o->Text(kDescription));
    case 4: return Text(kAddress).CmpNoCase(o->Text(kAddress));
    case 5: return Text(kValue).CmpNoCase(o->Text(kValue));
    default: return CProjectObject::Compare(other, column);
  }
}

wxString CPODataPoint::GetColumnText(int column) {
  switch (column) {
    case 1: return wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_id));
    case 2: return FormatLogicalId(m_logicalId);
    case 3: return Text(kDescription);
    case 4: return Text(kAddress);
    case 5: return Text(kValue);
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
  sheet.netDriver = c.netDriver;
  sheet.node = c.node;
  sheet.deviceParam = c.devParam;
  sheet.deviceFolder = DataPointFolder(*this);
  CPOProject* project = GetProject();
  sheet.codesysNames = project && project->GetFlags().CoDeSysDP;
}

// --- copy and paste ---

namespace {

// Writes a DATPKT row's clipboard data straight from the record: the texts go as
// their stored bytes, trimmed as the row's texts would be, without a string each.
struct ClipboardRow {
  static constexpr RowKind kRowKind = RowKind::Datpkt;
  CArchive* ar = nullptr;

  void read(const Record& r) const {
    ar->WriteU16(static_cast<std::uint16_t>(r.number(datpkt::TYP)));
    ar->WriteU16(static_cast<std::uint16_t>(r.number(datpkt::ZUGRIFF)));
    ar->WriteU16(static_cast<std::uint16_t>(r.number(datpkt::ZUGRIFFDP)));
    ar->WriteU32(static_cast<std::uint32_t>(r.number(datpkt::WERT32)));
    for (int field : {datpkt::EINHEIT, datpkt::START, datpkt::SIGMIN, datpkt::SIGMAX, datpkt::MESSMIN, datpkt::MESSMAX,
                      datpkt::FELD1, datpkt::FELD2, datpkt::FELD3, datpkt::FELD4, datpkt::FELD5, datpkt::FELD6})
      Text(r, field);
  }

  // Bytes below 0x80 and from 0xA0 on stand for themselves in Windows-1252, and a text
  // ending in a printable character loses nothing more to the trim: those go as
  // stored (GoesAsStored). Anything else takes the way through a string.
  void Text(const Record& r, int field) const {
    const std::string_view bytes = r.raw(field);
    if (GoesAsStored(bytes)) {
      ar->WriteNarrowBytes(bytes);
      return;
    }
    wxString text;
    r.readText(field, text);
    ar->WriteString(text.Trim(true), false);
  }
};

}  // namespace

BOOL CPODataPoint::WriteToClipboard(CArchive& ar) {
  const wxString folder = DataPointFolder(*this);
  ClipboardRow row{&ar};
  if (const std::optional<Table*> found = DataPointRowScope::Seek(folder, m_id)) {
    if (!*found || !(*found)->current(row)) return FALSE;
  } else {
    Table t;
    if (folder.empty() || !t.open(folder, DatpktSchema()) || !t.select("ID", kSeek, {m_id}) || !t.current(row))
      return FALSE;
  }
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
  DataPointFields f = Fields();
  f.type = type;
  f.name = GetName().Left(30);
  const wxString folder = DataPointFolder(*this);
  Table t;
  if (folder.empty()) return FALSE;
  if (!t.open(folder, DatpktSchema())) {
    // A paste that cannot reach the table says so; nothing was written.
    hv::ShowMessageF(11963, wxS("Die Datenpunkte des Geräts '%s' können nicht gelesen werden.\n%s"),
                     MB_OK | MB_ICONEXCLAMATION, GetDevice() ? GetDevice()->GetName() : wxString(), t.error());
    return FALSE;
  }
  DatpktRow probe;
  if (f.logicalId != 0 && datpkt_select(t, probe, kSeek, "LOG_ID", {f.logicalId})) f.logicalId = kLogicalIdClash;
  // A pasted name must not stand twice in the device.
  wxString name = f.name;
  datpkt_get_new_name(t, name);
  f.name = name.Trim(true);

  const wxChar kind = f.address.empty() ? wxChar(0) : f.address[0];
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
    } else if (!HasDefinition(file, section, f.address.Mid(2))) {
      hv::ShowMessageF(11527, wxS("Definition für Datenpunkt '%s'\nwurde in der Datei '%s'\nnicht gefunden!"),
                       MB_OK | MB_ICONINFORMATION, f.name, file);
    }
  }
  DatpktRow row;
  FillRow(row, f, x, GetTypeCode() == TypeCode::DataPoint ? RowDeviceNumber()
                                                               : static_cast<std::uint16_t>(GetDevice()->GetDeviceNumber()));
  if (!datpkt_insert(t, row)) {
    hv::ShowMessageF(11960, wxS("Der Datenpunkt '%s' konnte nicht gespeichert werden.\n%s"), MB_OK | MB_ICONEXCLAMATION,
                     f.name, t.error());
    return FALSE;
  }
  f.id = row.id;
  f.readable = (row.access & 1) ? TRUE : FALSE;
  f.name = wxString(row.name).Trim(true);
  SetFields(f);
  SetName(f.name);
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
