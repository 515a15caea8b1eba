#include "resources/Mask.h"

#include <algorithm>
#include <vector>

#include "framework/NameDialogRequests.h"
#include "framework/NewNameRules.h"
#include "framework/UpdateHints.h"
#include "model/DeviceServices.h"
#include "model/GraphToolCheck.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "platform/TavGraphUse.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "resources/MaskClipboard.h"
#include "resources/MaskElement.h"
#include "resources/MaskRecords.h"
#include "resources/ScreenDesigner.h"

using namespace hv::db;

BEGIN_COMMAND_MAP(CPOMask, CProjectObject)
  ON_COMMAND(ID_MASK_EDIT, OnEdit)
  ON_COMMAND(ID_MASK_DELETE, OnDelete)
  ON_COMMAND(ID_MASK_NEW, OnNewObject)
  ON_UPDATE_COMMAND_UI(ID_MASK_NEW, OnUpdateNewObject)
  ON_COMMAND(ID_MASK_NEW_COPY, OnNewCopy)
  ON_COMMAND(ID_MASK_LOGID, OnChangeLogicalId)
END_COMMAND_MAP()

namespace {

void ShowNotStored() {
  hv::ShowMessage(10985, wxS("Die Maske konnte nicht gespeichert werden!"), MB_OK | MB_ICONEXCLAMATION);
}

std::uint32_t HeaderFlag(const MaskField& header, std::size_t offset) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(header.i16(offset)));
}

// Whether another screen's header holds the logical id.
bool LogicalIdTaken(Table& t, std::uint16_t id, std::uint32_t screenId) {
  MaskField record;
  std::uint32_t left = t.size();
  for (bool ok = msk_fld_select(t, record, kSeek, "LOG_ID", {id}); ok && left > 0;
       ok = msk_fld_select(t, record, kNext, "LOG_ID"), --left) {
    if (record.logId() != id) break;
    if (record.id() != screenId) return true;
  }
  return false;
}

}  // namespace

void ShowDefaultComponentsNotice() {
  hv::ShowMessage(10510, wxS("Weisen Sie bitte den Elementen ihre Defaulteinstellungen im Designer über das Menü zu!"),
                  MB_OK | MB_ICONINFORMATION);
}

CPOMask::CPOMask(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

void CPOMask::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(m_header.screenId);
    ar.WriteString(m_header.title, true);
    ar.WriteU32(m_header.autoOpen);
    ar.WriteU32(m_header.focus);
    ar.WriteU16(m_header.logicalId);
  } else {
    m_header.screenId = ar.ReadU32();
    m_header.title = ar.ReadString();
    m_header.autoOpen = ar.ReadU32();
    m_header.focus = ar.ReadU32();
    m_header.logicalId = ar.ReadU16();
  }
}

BOOL CPOMask::WriteToClipboard(CArchive& ar) {
  return maskclip::Write(ar, devsvc::DeviceFolder(GetDevice()), GetName(), devsvc::DefaultLanguage(GetProject())) ? TRUE
                                                                                                                 : FALSE;
}

BOOL CPOMask::Cut(CArchive& ar) { return WriteToClipboard(ar) && Delete() ? TRUE : FALSE; }

std::span<ColumnDef> CPOMask::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::Mask); }

wxString CPOMask::GetColumnText(int column) {
  switch (column) {
    case 1: return wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_header.screenId));
    case 2: return FormatLogicalId(m_header.logicalId);
    case 3: return m_header.title;
    case 4: return m_header.autoOpen ? wxS("x") : wxString();
    case 5: return m_header.focus ? wxS("o") : wxString();
    default: return CProjectObject::GetColumnText(column);
  }
}

int CPOMask::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOMask*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  const Header& a = m_header;
  const Header& b = o->m_header;
  switch (column) {
    case 1: return CompareValues(a.screenId, b.screenId);
    case 2: return CompareValues(a.logicalId, b.logicalId);
    case 3: return a.title.Cmp(b.title) < 0 ? -1 : (a.title == b.title ? 0 : 1);
    case 4: return CompareValues(a.autoOpen != 0, b.autoOpen != 0);
    case 5: return CompareValues(a.focus != 0, b.focus != 0);
    default: return CProjectObject::Compare(other, column);
  }
}

wxString CPOMask::GetListCaption() { return wxS("Elemente der Maske '") + GetName() + wxS("'"); }

// --- elements ---

BOOL CPOMask::HasListChildren() {
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  Table t;
  if (folder.empty() || !t.open(folder, MskfldSchema())) return FALSE;
  // Only a screen with its header record (element number 0) has a list; the records
  // after the header count unless they are of type 4.
  const std::vector<MaskField> records = maskrec::ScreenRecords(t, GetName());
  if (records.empty() || records.front().number() != 0) return FALSE;
  for (std::size_t i = 1; i < records.size(); ++i)
    if (records[i].type() != 4) return TRUE;
  return FALSE;
}

BOOL CPOMask::LoadChildren() {
  ChildPool previous(*this);   // released on every path
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  // The table's own time, taken before reading: a write during the read is a change.
  std::int64_t time = 0;
  if (!maskrec::TableTime(folder, time)) return FALSE;
  Table masks, texts;
  if (!masks.open(folder, MskfldSchema()) || !texts.open(folder, TextwSchema())) return FALSE;
  const std::vector<MaskField> records = maskrec::ScreenRecords(masks, GetName());
  if (records.empty()) return FALSE;
  const MaskElementSources sources{folder, &texts, devsvc::DefaultLanguage(GetProject())};
  for (const MaskField& record : records)
    if (std::unique_ptr<CPOMaskElement> element = MakeMaskElement(record, sources)) AddChild(std::move(element));
  m_loadTime = time;
  return TRUE;
}

BOOL CPOMask::IsStale() {
  if (HasNoChildren()) return FALSE;
  std::int64_t time = 0;
  if (!maskrec::TableTime(devsvc::DeviceFolder(GetDevice()), time)) return TRUE;
  return time > m_loadTime ? TRUE : FALSE;
}

// --- new screens ---

BOOL CPOMask::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  if (!CheckGraphToolDevice(device)) return FALSE;
  const wxString folder = devsvc::DeviceFolder(device);
  Table t;
  if (folder.empty() || !t.open(folder, MskfldSchema())) return FALSE;

  auto screen = std::make_unique<CPOMask>(parent, device);
  wxString name;
  for (;;) {
    NewNameRequest request;
    request.name = name;
    request.title = hv::LocalString(10261, wxS("Neue Maske"));
    request.maxLength = static_cast<int>(maskrec::kMaxScreenName);
    if (hv::Ui().Run(request) != IDOK) {
      Discard(std::move(screen));
      return FALSE;
    }
    // The table keeps no trailing blanks.
    request.name = maskrec::TableName(request.name);
    name = request.name;
    if (CheckNewName(request) != 0) continue;
    if (maskrec::FindHeader(t, name)) {
      hv::ShowMessage(10292, wxS("Diese Maske existiert bereits!"), MB_OK | MB_ICONINFORMATION);
      continue;
    }
    break;
  }
  screen->SetName(name);

  // The template's records; a template without a header (element 0) copies nothing.
  const auto* source = templ && IsValidObject(templ) ? dynamic_cast<const CPOMask*>(templ) : nullptr;
  std::vector<MaskField> records;
  if (source) {
    records = maskrec::ScreenRecords(t, source->GetName());
    if (std::none_of(records.begin(), records.end(), [](const MaskField& r) { return r.number() == 0; }))
      records.clear();
  }
  // Without records to copy the screen gets a header of its own, so that it is in the
  // table before the designer first saves it.
  if (records.empty()) records.emplace_back();
  else screen->m_header.title = source->m_header.title;

  bool ok = msk_fld_insert_start(t) != FALSE;
  for (MaskField& record : records) {
    if (!ok) break;
    record.name = name;
    record.setLogId(0);
    record.setId(0);   // the copies get ids of their own
    ok = msk_fld_insert_quick(t, record) != FALSE;
    if (ok && record.number() == 0) {
      screen->m_header.screenId = record.id();
      screen->m_header.autoOpen = HeaderFlag(record, 98);
      screen->m_header.focus = HeaderFlag(record, 100);
    }
  }
  ok = msk_fld_insert_ende(t) != FALSE && ok;
  if (!ok) {
    maskrec::DeleteScreen(t, name);
    Discard(std::move(screen));
    ShowNotStored();
    return FALSE;
  }
  if (!AddNewObject(parent, std::move(screen))) {
    maskrec::DeleteScreen(t, name);
    return FALSE;
  }
  t.close();

  if (name == kDefaultComponentsScreen) {
    ShowDefaultComponentsNotice();
    return FALSE;
  }
  OpenScreenInDesigner(name, device);
  return TRUE;
}

// --- logical id ---

BOOL CPOMask::ChangeLogicalId() {
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  Table t;
  if (!GetDevice() || folder.empty() || !t.open(folder, MskfldSchema())) return FALSE;
  MaskField record;
  if (m_header.screenId == 0 && maskrec::FindHeader(t, GetName(), &record)) m_header.screenId = record.id();

  LogIdRequest request;
  request.logId = m_header.logicalId;
  for (;;) {
    if (hv::Ui().Run(request) != IDOK) return FALSE;
    if (request.logId < 0 || request.logId > kMaxLogId) return FALSE;
    const auto id = static_cast<std::uint16_t>(request.logId);
    if (id != 0 && LogicalIdTaken(t, id, m_header.screenId)) {
      hv::ShowMessage(10015, wxS("Die logische ID ist bereits vergeben!"), MB_OK | MB_ICONINFORMATION);
      continue;
    }
    if (m_header.screenId == 0 || !msk_fld_select(t, record, kSeek, "MSK_ID", {m_header.screenId})) {
      if (id != 0) return FALSE;
      m_header.logicalId = 0;
      UpdateAllViews(HINT_OBJECT_CHANGED, this);
      return TRUE;
    }
    record.setLogId(id);
    if (!msk_fld_update(t, record)) {
      ShowNotStored();
      return FALSE;
    }
    m_header.logicalId = id;
    UpdateAllViews(HINT_OBJECT_CHANGED, this);
    return TRUE;
  }
}

// --- delete ---

BOOL CPOMask::Delete() {
  if (GetName().Left(8) == wxS("!DEFAULT")) {
    hv::ShowMessage(10150, wxS("Die 'Default'-Masken können nicht gelöscht werden!"), MB_OK | MB_ICONINFORMATION);
    return FALSE;
  }
  if (IsScreenDesignerOpen()) {
    hv::ShowMessage(10165, wxS("Um diese Funktion ausführen zu können, müssen Sie den Designer beenden!"),
                    MB_OK | MB_ICONINFORMATION);
    return FALSE;
  }
  const bool several = IsMultipleSelection() != FALSE;
  int used = 0;
  hv::IsMaskUsedByTavGraph(m_header.screenId, used);
  if (used) {
    const int answer = hv::ShowMessageF(
        10204,
        wxS("Die Maske '%s' wird von TavGraph verwendet!\n\nHinweis:\tWird ein TavGraph-Baustein gelöscht, der einen "
            "Datenpunkt\n\tverwendet, wird dies erst nach einer Inbetriebnahme und\n\tSpeicherung des "
            "TavGraph-Programms erkannt.\nZusätzlich ist TavGraph neu zu starten oder zu verlassen."),
        (several ? MB_OKCANCEL : MB_OK) | MB_ICONINFORMATION, GetName());
    if (several && answer == IDCANCEL) SetMultipleSelection(FALSE);
    return FALSE;
  }
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  Table t;
  if (folder.empty() || !t.open(folder, MskfldSchema())) return FALSE;
  if (m_header.logicalId != 0) {
    const int answer = hv::ShowMessageF(
        10229, wxS("Auf die Maske '%s' gibt es externe Referenzen.\nSoll die Maske trotzdem gelöscht werden?"),
        (several ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONQUESTION, GetName());
    if (answer != IDYES) {
      // Cancel stops the others too, as with every question of several.
      if (several && answer == IDCANCEL) SetMultipleSelection(FALSE);
      return FALSE;
    }
  }
  if (!maskrec::DeleteScreen(t, GetName())) {
    hv::ShowMessage(10986, wxS("Die Maske konnte nicht vollständig gelöscht werden!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  return TRUE;
}

// --- designer and commands ---

BOOL CPOMask::Edit() {
  CPOPrjDevice* device = GetDevice();
  if (!device) return TRUE;
  if (!CheckGraphToolDevice(device)) return FALSE;
  if (GetName() == kDefaultComponentsScreen) {
    ShowDefaultComponentsNotice();
    return FALSE;
  }
  OpenScreenInDesigner(GetName(), device);
  return TRUE;
}

void CPOMask::OnColumnDblClick(int column) {
  if (column == 2) ChangeLogicalId();
  else Edit();
}

void CPOMask::OnUpdateNewObject(CCmdUI* pCmdUI) { pCmdUI->SetText(hv::LocalString(10261, wxS("Neue Maske"))); }
