#include "resources/ResMask.h"

#include <utility>
#include <vector>

#include "model/DeviceServices.h"
#include "model/LongWork.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "resources/Mask.h"

using namespace hv::db;

CPOResMask::CPOResMask() { SetName(hv::LocalString(10962, wxS("Masken"))); }

CPOResMask::CPOResMask(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10962, wxS("Masken")));
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOResMask::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::ResMask); }

wxString CPOResMask::TableFile() const {
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  return folder.empty() ? wxString() : hv::ResolvePath(hv::JoinPath(folder, wxS("MSKFLD.DBF")));
}

BOOL CPOResMask::HasListChildren() {
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  Table t;
  if (folder.empty() || !hv::IsFile(TableFile()) || !t.open(folder, MskfldSchema())) return FALSE;
  return t.select("MSK_HEAD", kFirst) ? TRUE : FALSE;
}

BOOL CPOResMask::LoadChildren() {
  ChildPool pool(*this);
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  // A cancelled walk leaves the folder as loaded before, its freshness included.
  const bool wasLoaded = m_loaded;
  const std::int64_t oldLoadTime = m_loadTime;
  // The table's own time, taken before reading, so that a write during the read is
  // seen as a change.
  FileEntry file;
  m_loadTime = StatFile(TableFile(), file) ? file.timeNs : 0;
  m_loaded = true;
  Table masks;
  if (folder.empty() || !hv::IsFile(TableFile()) || !masks.open(folder, MskfldSchema())) return TRUE;
  Table texts;
  const bool haveTexts = texts.open(folder, TextwSchema());
  const WORD language = devsvc::DefaultLanguage(GetProject());

  auto byName = IndexChildren<wxString>(pool, [](CProjectObject& o) -> std::optional<wxString> {
    if (std::string_view(o.ClassName()) != CPOMask::kClassName) return std::nullopt;
    return o.GetName();
  });
  MaskField record;
  hv::LongWork work(masks.size());
  work.AllowCancel();
  // Old screens found again get their new headers once the walk is through: a cancel
  // before that leaves them untouched.
  std::vector<std::pair<CPOMask*, CPOMask::Header>> refill;
  for (bool ok = msk_fld_select(masks, record, kFirst, "MSK_HEAD"); ok;
       ok = msk_fld_select(masks, record, kNext, "MSK_HEAD")) {
    work.Step();
    if (work.Cancelled()) {
      pool.Restore();
      m_loaded = wasLoaded;
      m_loadTime = oldLoadTime;
      return TRUE;
    }
    wxString name = record.name;
    name.Trim(true);
    CPOMask::Header header;
    header.screenId = record.id();
    header.logicalId = record.logId();
    header.autoOpen = static_cast<std::uint32_t>(static_cast<std::int32_t>(record.i16(98)));
    header.focus = static_cast<std::uint32_t>(static_cast<std::int32_t>(record.i16(100)));
    TextwRow title;
    if (haveTexts && language != kNoLanguage &&
        wtext_select(texts, title, kSeek, "IDTEXT", {record.u32(88), language})) {
      header.title = title.text;
      header.title.Trim(true);
    }
    std::unique_ptr<CProjectObject> child = byName.Take(name);
    auto* reused = static_cast<CPOMask*>(child.get());
    if (!child) {
      child = std::make_unique<CPOMask>(this, GetDevice());
      child->SetName(name);
      static_cast<CPOMask&>(*child).SetHeader(header);
    }
    if (AddChild(std::move(child)) && reused) refill.emplace_back(reused, std::move(header));
  }
  for (auto& [mask, header] : refill) mask->SetHeader(std::move(header));
  return TRUE;
}

BOOL CPOResMask::IsStale() {
  if (!m_loaded || HasNoChildren()) return FALSE;
  FileEntry file;
  if (!StatFile(TableFile(), file)) return TRUE;
  return file.timeNs > m_loadTime ? TRUE : FALSE;
}

BOOL CPOResMask::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOResMask>(parent, device);
}
