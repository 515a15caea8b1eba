// Making, editing and deleting data points: the sheet, the picker and the DATPKT,
// MSKFLD and EEPROM tables.
#include <unordered_map>

#include "framework/SettingsFile.h"
#include "framework/Services.h"
#include "framework/UpdateHints.h"
#include "model/DataPoint.h"
#include "model/DataPointNames.h"
#include "model/DataPointPicker.h"
#include "model/DataPointServices.h"
#include "model/LiveObjects.h"
#include "model/DataPointSheet.h"
#include "model/ModelServices.h"
#include "model/ObjectSupport.h"
#include "model/PrjDevice.h"
#include "model/Project.h"
#include "platform/Db4.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"

using namespace hv::db;


namespace {

// Whether the device folder has an EEPROM table, looked up once per user action: a
// delete of many data points would otherwise search the folder for it row by row.
bool HasEepromTable(const wxString& folder) {
  static wxString lastFolder;
  static std::uint64_t lastAction = 0;
  static bool lastAnswer = false;
  const std::uint64_t action = DispatchScope::CurrentAction();
  if (action != 0 && action == lastAction && folder == lastFolder) return lastAnswer;
  lastAnswer = hv::IsFile(hv::JoinPath(folder, wxS("EEPROM.DBF")));
  lastFolder = folder;
  lastAction = action;
  return lastAnswer;
}

// A row that did not reach the table: the user learns which and why.
void ReportNotStored(const wxString& name, const Table& t) {
  hv::ShowMessageF(11960, wxS("Der Datenpunkt '%s' konnte nicht gespeichert werden.\n%s"), MB_OK | MB_ICONEXCLAMATION,
                   wxString(name).Trim(true), t.error());
}

// Whether another data point of the table has the name (names compare without regard
// to case, as the sheet's check does).
bool NameInTable(Table& t, const wxString& name) { return t.select("-DATPKT", kSeek, {name}); }

int PrefixMode() {
  CSettingsFile* profile = hv::Service<hv::IApplicationState>().Profile();
  return profile ? profile->GetInt(wxS("Config"), wxS("Prefix"), 0) : 0;
}

// Screen-element kinds that hold data-point numbers beside the indexed one, and where.
struct RefFields {
  std::uint32_t type;
  std::vector<std::size_t> offsets;
};
const RefFields kRefKinds[] = {{1, {76, 216, 220}}, {2, {84, 124, 128, 132, 136, 140}}};

bool RefersTo(const MaskField& f, std::uint32_t id) {
  for (const RefFields& k : kRefKinds)
    if (f.type() == k.type)
      for (std::size_t o : k.offsets)
        if (f.u32(o) == id) return true;
  return false;
}

// Walks the element kinds with extra references (types 1 and 2 only) on MSK_TYP.
template <class Fn>
void WalkRefKinds(Table& msk, Fn&& fn) {
  MaskField f;
  for (bool found = msk_fld_select(msk, f, kSoftSeek, "MSK_TYP", {std::uint32_t(1)}); found && f.type() <= 2;
       found = msk_fld_select(msk, f, kNext, "MSK_TYP")) {
    if (f.type() >= 1 && !fn(f)) break;
  }
}

}  // namespace

BOOL CPODataPoint::Edit() {
  if (!GetDevice() || !GetParent()) return FALSE;
  const wxString folder = DataPointFolder(*this);
  Table t;
  if (folder.empty() || !t.open(folder, DatpktSchema())) return FALSE;
  DatpktRow row;
  if (!datpkt_select(t, row, kSeek, "ID", {m_id})) return FALSE;
  DataPointSheetRequest sheet;
  sheet.caption = wxString::Format(hv::LocalString(11529, wxS("Einstellungen für Datenpunkt '%s'")), GetName());
  FillSheetDevice(sheet);
  DataPointFields ignored;
  ReadRow(row, ignored, sheet.values);
  DataPointFields f = Fields();
  if (dpsheet::Run(sheet, f) != IDOK) return FALSE;
  FillRow(row, f, sheet.values, RowDeviceNumber());
  f.readable = (row.access & 1) ? TRUE : FALSE;
  DatpktRow at;
  if (!datpkt_select(t, at, kSeek, "ID", {m_id}) || !datpkt_update(t, row)) {
    ReportNotStored(f.name, t);
    return FALSE;
  }
  SetName(f.name);
  SetFields(f);
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
  return TRUE;
}

BOOL CPODataPoint::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  const wxString folder = device->GetDeviceFolder();
  Table t;
  if (folder.empty()) return FALSE;
  if (!t.open(folder, DatpktSchema())) {
    hv::ShowMessageF(11963, wxS("Die Datenpunkte des Geräts '%s' können nicht gelesen werden.\n%s"),
                     MB_OK | MB_ICONEXCLAMATION, device->GetName(), t.error());
    return FALSE;
  }
  auto probe = MakeSibling(parent, device);
  const DataPointConnection c = probe->Connection();
  Discard(std::move(probe));

  struct Entry {
    DataPointFields f;
    DataPointExtra x;
    wxString madeFrom;  // the name the address makes, before it was made free
  };
  std::vector<Entry> entries;
  const auto* source = templ && IsValidObject(templ) ? dynamic_cast<const CPODataPoint*>(templ) : nullptr;
  if (source) {
    Entry e;
    e.f = source->Fields();
    e.f.name = hv::LocalString(11530, wxS("Kopie von ")) + source->GetName();
    e.f.id = 0;
    // Only the object's fields are copied: the sheet's record values start empty.
    entries.push_back(e);
  } else {
    DataPointPickRequest pick;
    pick.netDriver = c.netDriver;
    pick.deviceType = c.devDriver;
    pick.node = c.node;
    pick.deviceParam = c.devParam;
    pick.multiple = true;
    CPOProject* project = parent->GetProject();
    const bool codesys = project && project->GetFlags().CoDeSysDP;
    const int prefix = PrefixMode();
    // The names proposed differ from each other as well as from the table's: the
    // entries of one plug-in often make the same name ("Regler10_M" for MW_0 and MD_4).
    dpname::ProposedNames proposed([&](const wxString& n) { return NameInTable(t, n); });
    for (const PickedDataPoint& p : dppicker::Choose(pick)) {
      Entry e;
      dppicker::Apply(p, e.f, e.x);
      e.madeFrom = dpname::FromAddress(p.address, prefix, c.deviceName, c.node, codesys);
      e.f.name = proposed.Propose(e.madeFrom);
      entries.push_back(std::move(e));
    }
  }
  // The proposals of the entries whose sheets have not run yet, by lower-case name.
  std::unordered_map<wxString, int> later;
  for (const Entry& e : entries) ++later[e.f.name.Lower()];
  bool acceptAll = false;
  BOOL added = FALSE;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    Entry& e = entries[i];
    if (const auto own = later.find(e.f.name.Lower()); own != later.end() && --own->second == 0) later.erase(own);
    auto dp = MakeSibling(parent, device);
    if (!acceptAll) {
      // An earlier sheet of this pick may have given its point this proposal meanwhile:
      // the sheet offers one that is free, and none that a later entry proposes.
      if (!e.madeFrom.empty() && NameInTable(t, e.f.name))
        e.f.name = dpname::FreeName(e.madeFrom,
                                    [&](const wxString& n) { return NameInTable(t, n) || later.count(n.Lower()) != 0; });
      DataPointSheetRequest sheet;
      sheet.caption = hv::LocalString(11528, wxS("Neuer Datenpunkt"));
      // The new point's own parent and device: the object asked may be a bare prototype
      // without either (its folder would leave the unit list empty).
      dp->FillSheetDevice(sheet);
      sheet.deviceNumber = c.deviceNumber;
      sheet.values = e.x;
      sheet.wizard = true;
      sheet.several = i + 1 < entries.size();
      const int result = dpsheet::Run(sheet, e.f);
      if (result == kDpCancelAll) {
        Discard(std::move(dp));
        break;
      }
      if (result != kDpWizardFinish && result != kDpAcceptAll) {
        Discard(std::move(dp));
        continue;
      }
      e.x = sheet.values;
      acceptAll = result == kDpAcceptAll;
    }
    // The name the sheet left may be taken meanwhile (an earlier entry of this pick, a
    // copy's "Kopie von ..."): it becomes free by the rule paste follows.
    wxString name = e.f.name;
    datpkt_get_new_name(t, name);
    e.f.name = name.Trim(true);
    DatpktRow row;
    FillRow(row, e.f, e.x, c.deviceNumber);
    if (!datpkt_insert(t, row)) {
      // A full disk or a lost table: the points made so far stay, the rest would fail too.
      ReportNotStored(e.f.name, t);
      Discard(std::move(dp));
      break;
    }
    DataPointFields f = e.f;
    f.id = row.id;
    f.readable = (row.access & 1) ? TRUE : FALSE;
    dp->SetFields(f);
    dp->SetName(wxString(row.name).Trim(true));
    if (AddNewObject(parent, std::move(dp))) added = TRUE;
  }
  return added;
}

BOOL CPODataPoint::Delete() {
  const bool several = IsMultipleSelection();
  if (hv::Service<IDataPointUse>().IsUsedByTavGraph(m_id)) {
    const int answer = hv::ShowMessageF(
        11521,
        wxS("Der Datenpunkt '%s' wird von TavGraph verwendet!\n\nHinweis:\tWird ein TavGraph-Baustein gelöscht, der einen "
            "Datenpunkt\n\tverwendet, wird dies erst nach einer Inbetriebnahme und\n\tSpeicherung des TavGraph-Programms "
            "erkannt.\nZusätzlich ist TavGraph neu zu starten oder zu verlassen."),
        (several ? MB_OKCANCEL : MB_OK) | MB_ICONINFORMATION, GetName());
    if (answer == IDCANCEL) SetMultipleSelection(FALSE);
    return FALSE;
  }
  const wxString folder = DataPointFolder(*this);
  Table dat, msk, eep;
  if (folder.empty() || !dat.open(folder, DatpktSchema()) || !msk.open(folder, MskfldSchema())) return FALSE;
  // The row first: no reference goes for a data point that is not there (its fields
  // are not read: a delete of many rows would read each twice for nothing).
  if (!dat.select("ID", kSeek, {m_id})) return FALSE;
  EepromRow er;
  const bool eeprom = HasEepromTable(folder) && eep.open(folder, EepromSchema()) &&
                      eeprom_select(eep, er, kSeek, "DATPKT", {m_id});
  MaskField f;
  bool masks = msk_fld_select(msk, f, kSeek, "MSK_DATPKT", {m_id}) != FALSE;
  if (!masks)
    WalkRefKinds(msk, [&](const MaskField& r) {
      masks = RefersTo(r, m_id);
      return !masks;
    });
  const UINT style = (several ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONQUESTION;
  int answer = IDYES;
  if (eeprom && masks)
    answer = hv::ShowMessageF(11522, wxS("Auf den Datenpunkt '%s' gibt es Referenzen bei Maskenelementen und EEPROM-Adressen.\nSoll der Datenpunkt trotzdem gelöscht werden?"), style, GetName());
  else if (eeprom)
    answer = hv::ShowMessageF(11523, wxS("Auf den Datenpunkt '%s' gibt es Referenzen bei EEPROM-Adressen.\nSoll der Datenpunkt trotzdem gelöscht werden?"), style, GetName());
  else if (masks)
    answer = hv::ShowMessageF(11524, wxS("Auf den Datenpunkt '%s' gibt es Referenzen bei Maskenelementen.\nSoll der Datenpunkt trotzdem gelöscht werden?"), style, GetName());
  else if (m_logicalId != 0)
    answer = hv::ShowMessageF(11525, wxS("Auf den Datenpunkt '%s' gibt es externe Referenzen.\nSoll der Datenpunkt trotzdem gelöscht werden?"), style, GetName());
  if (answer == IDCANCEL) SetMultipleSelection(FALSE);
  if (answer != IDYES) return FALSE;
  if (eeprom) {
    bool found = true;
    while (found && er.dataPoint == m_id) {
      eeprom_delete(eep);
      found = eeprom_select(eep, er, kSeek, "DATPKT", {m_id});
    }
  }
  eep.close();
  if (masks && hv::ShowMessage(11526, wxS("Sollen auch die Maskenelemente gelöscht werden?"), MB_YESNO | MB_ICONQUESTION) == IDYES) {
    while (msk_fld_select(msk, f, kSeek, "MSK_DATPKT", {m_id})) msk_fld_delete(msk);
    std::vector<MaskField> changed;
    WalkRefKinds(msk, [&](const MaskField& r) {
      if (RefersTo(r, m_id)) changed.push_back(r);
      return true;
    });
    for (MaskField& r : changed) {
      for (const RefFields& k : kRefKinds)
        if (r.type() == k.type)
          for (std::size_t o : k.offsets)
            if (r.u32(o) == m_id) r.setU32(o, 0);
      MaskField at;
      if (msk_fld_select(msk, at, kSeek, "MSK_ID", {r.id()})) msk_fld_update(msk, r);
    }
  }
  // The row found at the start is still current unless the table changed meanwhile.
  return (dat.hasCurrent() || dat.select("ID", kSeek, {m_id})) && datpkt_delete(dat) ? TRUE : FALSE;
}

// The value column reads the value where the menu would; every other column edits.
void CPODataPoint::OnColumnDblClick(int column) {
  if (column == 5 && m_readable && m_type <= 0x400) ReadValue();
  else Edit();
}
void CPODataPoint::OnEdit() { Edit(); }

void CPODataPoint::OnUpdateNew(CCmdUI* cmdUI) { cmdUI->SetText(hv::LocalString(11528, wxS("Neuer Datenpunkt"))); }

void CPODataPoint::OnUpdateReadValue(CCmdUI* cmdUI) { cmdUI->Enable(m_readable && m_type <= 0x400); }

void CPODataPoint::OnReadValue() { ReadValue(); }
