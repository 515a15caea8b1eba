#include "resources/String.h"

#include "model/DeviceServices.h"
#include "framework/UpdateHints.h"
#include "model/ObjectSupport.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"
#include "resources/ResString.h"
#include "resources/StringDialog.h"

BEGIN_COMMAND_MAP(CPOString, CProjectObject)
  ON_COMMAND(ID_STRING_EDIT, OnEdit)
  ON_COMMAND(ID_STRING_NEW, OnNewObject)
  ON_COMMAND(ID_STRING_NEW_COPY, OnNewCopy)
END_COMMAND_MAP()

CPOString::CPOString(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

wxString CPOString::GetText(WORD language) {
  if (language == devsvc::DefaultLanguage(GetProject())) return GetName();
  auto it = m_texts.find(language);
  return it == m_texts.end() ? wxString() : it->second;
}

wxString CPOString::GetColumnText(int column) {
  switch (column) {
    case 0: return GetName();
    case 1: return wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_number));
    case 2: return FormatLogicalId(m_logicalId);
    default: {
      auto* folder = dynamic_cast<CPOResString*>(GetParent());
      WORD language = 0;
      if (!folder || !folder->LanguageOfColumn(column, language)) return wxString();
      return GetText(language);
    }
  }
}

int CPOString::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOString*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  switch (column) {
    case 1: return CompareValues(m_number, o->m_number);
    case 2: return CompareValues(m_logicalId, o->m_logicalId);
    case 0: return CProjectObject::Compare(other, column);
    default: {
      const wxString a = GetColumnText(column);
      const wxString b = const_cast<CPOString*>(o)->GetColumnText(column);
      return a.CmpNoCase(b);
    }
  }
}

BOOL CPOString::Store() {
  using namespace hv::db;
  const wxString folder = devsvc::DeviceFolder(GetDevice());
  const WORD defaultLanguage = devsvc::DefaultLanguage(GetProject());
  Table t;
  bool ok = !folder.empty() && defaultLanguage != kNoLanguage && t.open(folder, TextwSchema());
  auto write = [&](WORD language, const wxString& text) {
    TextwRow row;
    if (m_number != 0 && wtext_select(t, row, kSeek, "IDTEXT", {m_number, language})) {
      row.text = text;
      row.logId = m_logicalId;
      return wtext_update(t, row) != FALSE;
    }
    row = TextwRow();
    row.number = m_number;
    row.language = language;
    row.text = text;
    row.logId = m_logicalId;
    if (!wtext_insert(t, row)) return false;
    m_number = row.number;   // a new text's number comes with its first row
    return true;
  };
  ok = ok && write(defaultLanguage, GetName());
  for (const auto& [language, text] : m_texts) {
    if (!ok) break;
    if (language != defaultLanguage) ok = write(language, text);
  }
  if (!ok) {
    hv::ShowMessage(10974, wxS("Der Text konnte nicht gespeichert werden!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  m_language = defaultLanguage;
  return TRUE;
}

BOOL CPOString::Edit() {
  if (!GetDevice()) return FALSE;
  if (RunStringDialog(*this, devsvc::DefaultLanguage(GetProject())) != IDOK) return FALSE;
  if (!Store()) return FALSE;
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
  return TRUE;
}

BOOL CPOString::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  auto text = std::make_unique<CPOString>(parent, device);
  if (templ && IsValidObject(templ) && std::string_view(templ->ClassName()) == kClassName) {
    const auto& source = static_cast<const CPOString&>(*templ);
    text->SetName(source.GetName());
    text->m_texts = source.m_texts;
  }
  if (RunStringDialog(*text, devsvc::DefaultLanguage(text->GetProject())) != IDOK || !text->Store()) {
    Discard(std::move(text));
    return FALSE;
  }
  return AddNewObject(parent, std::move(text));
}

void CPOString::OnEdit() { Edit(); }

