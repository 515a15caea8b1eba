// Paste of a screen: its records go into the target device under a free name, with the
// numbers of bitmaps, fonts, data points and texts of that device.
#include <algorithm>
#include <utility>

#include "framework/FolderUtils.h"
#include "framework/StagedCopies.h"
#include "framework/UpdateHints.h"
#include "model/DeviceServices.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/Mask.h"
#include "resources/MaskClipboard.h"
#include "resources/MaskRecords.h"

using namespace hv::db;
using namespace maskclip;

namespace {

const wxString kDefaultPrefix = wxS("!DEFAULT");

struct TargetTables {
  Table mskfld, datpkt, textw;
  // The path of the first table that does not open; empty when all do.
  wxString Open(const wxString& folder) {
    for (auto [table, schema] : {std::pair{&mskfld, &MskfldSchema()}, std::pair{&datpkt, &DatpktSchema()},
                                 std::pair{&textw, &TextwSchema()}}) {
      if (!table->open(folder, *schema))
        return hv::ResolvePath(hv::JoinPath(folder, wxString::FromUTF8(schema->FileName().c_str())));
    }
    return wxString();
  }
};

// The user can only mend the device's table: its file is named.
void ReportTableNotOpened(const wxString& screen, const wxString& file) {
  hv::ShowMessageF(10989, wxS("Die Maske '%s' wurde nicht eingefügt: die Datei '%s' kann nicht geöffnet werden!"),
                   MB_OK | MB_ICONEXCLAMATION, screen, file);
}

bool ScreenExists(Table& t, const wxString& name) { return maskrec::FindHeader(t, name); }

bool HeaderHoldsLogicalId(Table& t, std::uint16_t id) {
  MaskField record;
  return msk_fld_select(t, record, kSeek, "LOG_ID", {id}) && record.logId() == id;
}

// A free "<name>_<n>": the name is shortened once the whole would pass 30 characters.
wxString NumberedName(Table& t, wxString name) {
  for (int n = 1; n < 100000; ++n) {
    wxString candidate = wxString::Format(wxS("%s_%d"), name, n);
    if (candidate.length() > maskrec::kMaxScreenName) {
      name = name.Left(name.length() - (candidate.length() - maskrec::kMaxScreenName));
      candidate = wxString::Format(wxS("%s_%d"), name, n);
    }
    if (!ScreenExists(t, candidate)) return candidate;
  }
  return wxString();
}

class Resolver {
 public:
  Resolver(TargetTables& t, const wxString& folder, std::vector<LANGUAGE> languages,
           bool trueType)
      : m_t(t), m_folder(folder), m_languages(std::move(languages)),
        m_trueType(trueType) {}

  std::uint32_t Resolve(const Ref& ref) {
    switch (ref.kind) {
      case kBitmap: return File(ref, wxS("bitmaps"), false);
      case kFont: return File(ref, wxS("fonts"), true);
      case kDataPoint: return DataPoint(ref.name);
      case kText: return Text(ref.texts);
    }
    return 0;
  }

 private:
  bool SubFolder(const wxString& name, wxString& path) {
    path = hv::ResolvePath(m_folder + wxS("/") + name);
    if (hv::IsFolder(path)) return true;
    if (CreateDirectoryPath(path)) return true;
    hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }

  // A file that exists in the target is kept; else the staged copy is put there.
  std::uint32_t File(const Ref& ref, const wxString& sub, bool font) {
    if (ref.name.empty()) return 0;   // the source had no such number
    if (font && !ref.name.Lower().EndsWith(wxS(".fnt")) && !m_trueType) {
      if (!m_trueTypeWarned) {
        m_trueTypeWarned = true;
        hv::ShowMessage(10731,
                        wxS("Das aktuelle Projekt unterstützt keine TrueType-Schriftart!\nDie Schriftart wurde nicht kopiert."),
                        MB_OK | MB_ICONEXCLAMATION);
      }
      return 0;
    }
    wxString folder;
    if (!SubFolder(sub, folder)) return 0;
    const wxString target = hv::ResolvePath(folder + wxS("/") + ref.name);
    bool present = hv::IsFile(target);
    if (!present && font) present = hv::IsFile(hv::ResolvePath(m_folder + wxS("/hardware/") + ref.name));
    if (!present) {
      if (ref.path.empty() || !staging::IsStagedCopy(ref.path)) return 0;
      if (staging::CopyRegularFile(ref.path, target, false) == staging::CopyResult::Failed) return 0;
    }
    const wxString file = hv::PathName(target).Upper();
    return font ? font_add(m_folder, file) : bitmap_add(m_folder, file);
  }

  std::uint32_t DataPoint(const wxString& name) {
    DatpktRow row;
    if (name.empty() || !datpkt_select(m_t.datpkt, row, kSeek, "-DATPKT", {name})) return 0;
    return row.name.Strip(wxString::trailing).CmpNoCase(name) == 0 ? row.id : 0;
  }

  bool IsProjectLanguage(WORD language) const {
    return std::any_of(m_languages.begin(), m_languages.end(), [&](const LANGUAGE& l) { return l.number == language; });
  }

  // A text with the same wording in the same language is shared; else the project's
  // languages are inserted under one new number with one logical id.
  std::uint32_t Text(const std::vector<TextEntry>& entries) {
    std::uint32_t number = 0;
    bool inserted = false, idDecided = false;
    std::uint16_t logId = 0;
    for (const TextEntry& e : entries) {
      if (!inserted) {
        if (std::uint32_t shared = SameWording(e)) return shared;
      }
      if (!IsProjectLanguage(e.language)) continue;
      if (!idDecided) {
        idDecided = true;
        logId = e.logId;
        TextwRow held;
        if (logId != 0 && wtext_select(m_t.textw, held, kSeek, "LOG_ID", {logId}) && held.logId == logId) logId = 65535;
      }
      TextwRow row;
      row.number = number;
      row.language = e.language;
      row.text = e.text;
      row.logId = logId;
      if (!wtext_insert(m_t.textw, row)) continue;
      number = row.number;
      inserted = true;
    }
    return number;
  }

  std::uint32_t SameWording(const TextEntry& e) {
    TextwRow row;
    std::uint32_t left = m_t.textw.size();
    for (bool ok = wtext_selectw(m_t.textw, row, kSeek, "TEXT__", e.text); ok && left > 0 && row.text == e.text;
         ok = wtext_select(m_t.textw, row, kNext, "TEXT__"), --left) {
      if (row.language == e.language) return row.number;
    }
    return 0;
  }

  TargetTables& m_t;
  wxString m_folder;
  std::vector<LANGUAGE> m_languages;
  bool m_trueType;
  bool m_trueTypeWarned = false;
};

}  // namespace

BOOL CPOMask::ReadFromClipboard(CArchive& ar, CProjectObject* target) {
  CPOPrjDevice* device = target ? target->GetDevice() : nullptr;
  const wxString folder = devsvc::DeviceFolder(device);
  if (!device || folder.empty() || !target || target->GetTypeCode() != TypeCode::ResMask) return FALSE;
  // All of it is read and checked before anything is written.
  const ScreenData data = Parse(ar);
  TargetTables t;
  if (const wxString failed = t.Open(folder); !failed.empty()) {
    ReportTableNotOpened(maskrec::TableName(GetName()), failed);
    return FALSE;
  }

  wxString name = maskrec::TableName(GetName());
  if (name.empty()) return FALSE;
  if (ScreenExists(t.mskfld, name)) {
    if (name.StartsWith(kDefaultPrefix)) {
      if (hv::ShowMessageF(10034, wxS("Maske '%s' bereits vorhanden! Überschreiben?"), MB_YESNO | MB_ICONQUESTION,
                           name) != IDYES)
        return FALSE;
      if (!maskrec::DeleteScreen(t.mskfld, name)) return FALSE;
      for (CProjectObject* child : target->GetChildren()) {
        if (child != this && maskrec::TableName(child->GetName()) == name) {
          target->RemoveChild(child);
          break;
        }
      }
    } else {
      name = NumberedName(t.mskfld, name);
      if (name.empty()) return FALSE;
    }
  }
  SetName(name);
  if (m_header.logicalId != 0 && HeaderHoldsLogicalId(t.mskfld, m_header.logicalId)) m_header.logicalId = 65535;

  const WORD defaultLanguage = devsvc::DefaultLanguage(GetProject());
  Resolver resolver(t, folder, devsvc::Languages(GetProject()), devsvc::SupportsKeypads(device) != FALSE);
  bool ok = msk_fld_insert_start(t.mskfld) != FALSE;
  bool first = true;
  for (const Entry& entry : data.entries) {
    if (!ok) break;
    MaskField record = entry.record;
    for (const RefField& f : RefFields(record)) {
      if (data.include[f.kind] == 0) record.setU32(f.offset, 0);
    }
    for (const Ref& ref : entry.refs) record.setU32(ref.offset, resolver.Resolve(ref));
    record.name = name;
    record.setLogId(first ? m_header.logicalId : 0);
    record.setId(0);
    ok = msk_fld_insert_quick(t.mskfld, record) != FALSE;
    if (!ok) break;
    if (first) m_header.screenId = record.id();
    first = false;
    if (record.type() == 0) {
      m_header.autoOpen = static_cast<std::uint32_t>(static_cast<std::int32_t>(record.i16(98)));
      m_header.focus = static_cast<std::uint32_t>(static_cast<std::int32_t>(record.i16(100)));
      const std::uint32_t title = record.u32(88);
      TextwRow row;
      if (title != 0 && (wtext_select(t.textw, row, kSeek, "IDTEXT", {title, defaultLanguage}) ||
                         (wtext_select(t.textw, row, kSeek, "IDTEXT", {title}) && row.number == title)))
        m_header.title = row.text.Strip(wxString::trailing);
    }
  }
  ok = msk_fld_insert_ende(t.mskfld) != FALSE && ok;
  if (!ok) {
    maskrec::DeleteScreen(t.mskfld, name);
    hv::ShowMessage(10985, wxS("Die Maske konnte nicht gespeichert werden!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  return TRUE;
}
