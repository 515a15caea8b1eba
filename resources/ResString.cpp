#include "resources/ResString.h"

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
  // The rows come in text-number order, every language of one text together.
  std::unique_ptr<CProjectObject> current;
  CPOString* text = nullptr;
  auto finish = [&] {
    if (current) AddChild(std::move(current));
    text = nullptr;
  };
  TextwRow row;
  hv::LongWork work(t.size());
  for (bool ok = wtext_select(t, row, kFirst, "IDTEXT"); ok; ok = wtext_select(t, row, kNext, "IDTEXT")) {
    work.Step();
    if (!text || text->GetTextNumber() != row.number) {
      finish();
      current = byNumber.Take(row.number);
      if (!current) current = std::make_unique<CPOString>(this, GetDevice());
      text = static_cast<CPOString*>(current.get());
      text->SetTextNumber(row.number);
      text->SetName(wxString());
      text->Texts().clear();
      text->SetLogicalId(0);
      text->SetLanguage(defaultLanguage);
    }
    if (row.language == defaultLanguage) text->SetName(row.text);
    else text->Texts()[row.language] = row.text;
    if (row.logId != 0 && (text->GetLogicalId() == 0 || row.language == defaultLanguage)) text->SetLogicalId(row.logId);
  }
  finish();
  return TRUE;
}

BOOL CPOResString::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOResString>(parent, device);
}
