#include "resources/ResString.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "model/DeviceServices.h"
#include "model/LongWork.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "platform/dbase/DbLib.h"
#include "resources/String.h"

using namespace hv::db;

namespace {

constexpr int kFixedColumns = 3;

}  // namespace

CPOResString::CPOResString() { SetName(hv::LocalString(10965, wxS("Texte"))); }

CPOResString::CPOResString(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10965, wxS("Texte")));
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOResString::GetColumnDefs() {
  std::vector<ColumnDef> columns;
  const std::span<ColumnDef> fixed = GetColumnDefsOf(ColumnTableId::ResString);
  for (std::size_t i = 0; i < fixed.size() && i < kFixedColumns; ++i) {
    ColumnDef c = fixed[i];
    c.key = c.subItem;
    columns.push_back(c);
  }
  const WORD defaultLanguage = devsvc::DefaultLanguage(GetProject());
  for (const LANGUAGE& language : devsvc::Languages(GetProject())) {
    if (language.number == defaultLanguage || language.number == 0) continue;
    const int at = static_cast<int>(columns.size());
    columns.push_back({language.name, 0, 200, at, at, language.number});
  }
  // Keep what the list wrote into the previous table for the same columns.
  for (ColumnDef& c : columns) {
    for (const ColumnDef& old : m_columns) {
      if (old.key == c.key && !old.title.empty()) {
        c.width = old.width;
        if (old.order < static_cast<int>(columns.size())) c.order = old.order;
        break;
      }
    }
  }
  columns.push_back(ColumnDef{});   // end entry
  m_columns = std::move(columns);
  return std::span<ColumnDef>(m_columns.data(), m_columns.size() - 1);
}

bool CPOResString::LanguageOfColumn(int column, WORD& language) {
  if (column < kFixedColumns) return false;
  if (m_columns.empty()) GetColumnDefs();
  for (const ColumnDef& c : m_columns) {
    if (c.subItem == column && !c.title.empty()) {
      language = static_cast<WORD>(c.key);
      return true;
    }
  }
  return false;
}

BOOL CPOResString::HasListChildren() {
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  Table t;
  if (folder.empty() || !t.open(folder, TextwSchema())) return FALSE;
  return t.select("IDTEXT", kFirst) ? TRUE : FALSE;
}

BOOL CPOResString::LoadChildren() {
  ChildPool pool(*this);
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  Table t;
  if (folder.empty() || !t.open(folder, TextwSchema())) return TRUE;
  const WORD defaultLanguage = devsvc::DefaultLanguage(GetProject());

  auto byNumber = IndexChildren<std::uint32_t>(pool, [](CProjectObject& o) -> std::optional<std::uint32_t> {
    if (std::string_view(o.ClassName()) != CPOString::kClassName) return std::nullopt;
    return static_cast<CPOString&>(o).GetTextNumber();
  });
  // The rows come in text-number order, every language of one text together. A text is
  // gathered aside; old texts found again get their new values once the walk is through,
  // so a cancel before that leaves them untouched.
  struct Gathered {
    std::uint32_t number = 0;
    wxString name;
    std::map<WORD, wxString> texts;
    std::uint16_t logicalId = 0;
  };
  auto fill = [defaultLanguage](CPOString& text, Gathered&& values) {
    text.SetTextNumber(values.number);
    text.SetName(values.name);
    text.Texts() = std::move(values.texts);
    text.SetLogicalId(values.logicalId);
    text.SetLanguage(defaultLanguage);
  };
  std::vector<std::pair<CPOString*, Gathered>> refill;
  std::optional<Gathered> current;
  auto finish = [&] {
    if (!current) return;
    std::unique_ptr<CProjectObject> child = byNumber.Take(current->number);
    auto* reused = static_cast<CPOString*>(child.get());
    if (!child) {
      child = std::make_unique<CPOString>(this, GetDevice());
      fill(static_cast<CPOString&>(*child), std::move(*current));
    }
    if (AddChild(std::move(child)) && reused) refill.emplace_back(reused, std::move(*current));
    current.reset();
  };
  TextwRow row;
  hv::LongWork work(t.size());
  work.AllowCancel();
  for (bool ok = wtext_select(t, row, kFirst, "IDTEXT"); ok; ok = wtext_select(t, row, kNext, "IDTEXT")) {
    work.Step();
    if (work.Cancelled()) {
      pool.Restore();
      return TRUE;
    }
    if (!current || current->number != row.number) {
      finish();
      current.emplace();
      current->number = row.number;
    }
    if (row.language == defaultLanguage) current->name = row.text;
    else current->texts[row.language] = row.text;
    if (row.logId != 0 && (current->logicalId == 0 || row.language == defaultLanguage)) current->logicalId = row.logId;
  }
  finish();
  for (auto& [text, values] : refill) fill(*text, std::move(values));
  return TRUE;
}

BOOL CPOResString::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOResString>(parent, device);
}
