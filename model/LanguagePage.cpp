#include "model/LanguagePage.h"

#include "framework/LocalTables.h"
#include "framework/NameDialogRequests.h"
#include "model/ProjectRequests.h"
#include "platform/Codec.h"
#include "platform/Ui.h"

namespace {

wxString Number(WORD id) { return wxString::Format("%d", static_cast<int>(id)); }

// Name of a built-in language; empty when the table lacks it.
wxString BuiltInName(WORD id) {
  for (const LANGUAGE& l : GetBuiltInLanguages()) {
    if (l.number == 0) break;
    if (l.number == id) return l.name;
  }
  return wxString();
}

// A marking: "1" and any other non-zero number mark the language.
bool IsMarked(const wxString& value) {
  long n = 0;
  wxString digits;
  for (wxUniChar c : value) {
    if ((c == '-' || c == '+') && digits.empty()) digits += c;
    else if (c >= '0' && c <= '9') digits += c;
    else break;
  }
  return digits.ToLong(&n) && n != 0;
}

bool StorableName(const wxString& name) {
  if (hv::FitsCp1252(name)) return true;
  hv::ShowMessage(10941, wxS("Der Name enthält Zeichen, die nicht gespeichert werden können!"),
                  MB_OK | MB_ICONEXCLAMATION);
  return false;
}

}  // namespace

// --- the page ---

void LanguagePageModel::Init() {
  m_names.clear();
  m_values.clear();
  m_items.clear();
  m_project.GetLanguages(m_names);
  LanguageMap fonts;
  m_project.ReadLanguageFonts(fonts);
  for (const auto& [id, name] : m_names) m_values[id] = fonts.count(id) ? fonts[id] : wxString();

  wxString text = m_project.GetSettings().GetString(projectset::kConfig, wxS("DefaultLanguage"), wxString());
  text.Trim(true);
  long number = 0;
  m_pageDefault = text.ToLong(&number) && number > 0 && number < 65535 ? static_cast<WORD>(number)
                                                                         : m_project.GetDefaultLanguageId();
  for (auto& [id, value] : m_values) {
    LanguageItem item{id, m_names[id], false, Number(id)};
    if (value.empty()) {
      value = wxS("1");
      item.checked = true;
    } else {
      item.checked = IsMarked(value) || (value == wxS("0") && IsDefault(id));
    }
    m_items.push_back(item);
  }
}

int LanguagePageModel::Find(WORD id) const {
  for (size_t i = 0; i < m_items.size(); ++i)
    if (m_items[i].id == id) return static_cast<int>(i);
  return -1;
}

LanguagePageModel::Buttons LanguagePageModel::ButtonState(int index) const {
  Buttons b;
  if (index < 0 || index >= static_cast<int>(m_items.size())) return b;
  const WORD id = m_items[static_cast<size_t>(index)].id;
  b.remove = b.setDefault = !IsDefault(id);
  b.modify = IsUserLanguage(id);
  return b;
}

bool LanguagePageModel::SetChecked(int index, bool checked) {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
  LanguageItem& item = m_items[static_cast<size_t>(index)];
  if (!checked && IsDefault(item.id)) {
    hv::ShowMessage(10326, wxS("Für die Standardsprache kann die Markierung nicht aufgehoben werden!"),
                    MB_OK | MB_ICONINFORMATION);
    item.checked = true;
    return false;
  }
  item.checked = checked;
  m_values[item.id] = checked ? wxS("1") : wxS("0");
  return true;
}

void LanguagePageModel::Add() {
  AddLanguageController controller(m_project, m_values);
  AddLanguageRequest request;
  request.controller = &controller;
  if (hv::Ui().Run(request) == IDOK) AddChosen(request.chosen);
}

void LanguagePageModel::AddChosen(const std::vector<WORD>& ids) {
  LanguageMap users;
  m_project.ReadUserLanguages(users);
  for (WORD id : ids) {
    if (m_values.count(id) || id == 65535) continue;
    const wxString name = id < kFirstUserLanguage ? BuiltInName(id) : (users.count(id) ? users[id] : wxString());
    if (name.empty()) continue;
    m_values[id] = wxS("0");
    m_names[id] = name;
    m_items.push_back({id, name, false, Number(id)});
  }
}

bool LanguagePageModel::Remove(int index) {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
  const WORD id = m_items[static_cast<size_t>(index)].id;
  if (IsDefault(id)) return false;
  m_values.erase(id);
  m_names.erase(id);
  m_items.erase(m_items.begin() + index);
  return true;
}

bool LanguagePageModel::SetDefault(int index) {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
  LanguageItem& item = m_items[static_cast<size_t>(index)];
  m_pageDefault = item.id;
  m_project.SetDefaultLanguage(item.id);
  item.checked = true;
  m_values[item.id] = wxS("1");
  return true;
}

bool LanguagePageModel::Modify(int index) {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
  LanguageItem& item = m_items[static_cast<size_t>(index)];
  if (!IsUserLanguage(item.id)) return false;
  LanguageMap users;
  m_project.ReadUserLanguages(users);
  ModifyLanguageRequest request;
  request.idText = item.idText;
  request.name = users.count(item.id) ? users[item.id] : item.name;
  if (hv::Ui().Run(request) != IDOK) return false;
  wxString name = request.name.Left(ModifyLanguageRequest::kMaxLength);
  name.Trim(true);
  if (name.empty() || !StorableName(name)) return false;
  users[item.id] = name;
  if (!m_project.WriteUserLanguages(users)) return false;
  item.name = name;
  m_names[item.id] = name;
  return true;
}

bool LanguagePageModel::Store() {
  CMapStringToString section;
  for (const auto& [id, value] : m_values) section[Number(id)] = value;
  return m_project.GetSettings().WriteSection(projectset::kLanguagesFonts, section) != FALSE;
}

// --- the add-language dialog ---

void AddLanguageController::Fill() {
  m_items.clear();
  for (const LANGUAGE& l : GetBuiltInLanguages()) {
    if (l.number == 0) break;
    m_items.push_back({l.number, l.name, false, Number(l.number)});
  }
  LanguageMap users;
  m_project.ReadUserLanguages(users);
  for (const auto& [id, name] : users) m_items.push_back({id, name, false, Number(id)});
}

bool AddLanguageController::CanDelete(const std::vector<int>& selected) const {
  if (selected.empty()) return false;
  for (int i : selected) {
    if (i < 0 || i >= static_cast<int>(m_items.size())) return false;
    const WORD id = m_items[static_cast<size_t>(i)].id;
    if (!IsUserLanguage(id) || m_projectValues.count(id)) return false;
  }
  return true;
}

bool AddLanguageController::NewUserLanguage() {
  NewLanguageRequest request;
  if (hv::Ui().Run(request) != IDOK) return false;
  wxString name = request.name.Left(NewLanguageRequest::kMaxLength);
  name.Trim(true).Trim(false);
  if (name.empty() || !StorableName(name)) return false;
  LanguageMap users;
  m_project.ReadUserLanguages(users);
  for (unsigned id = kFirstUserLanguage; id <= kLastUserLanguage; ++id) {
    if (users.count(static_cast<WORD>(id))) continue;
    users[static_cast<WORD>(id)] = name;
    if (!m_project.WriteUserLanguages(users)) return false;
    m_items.push_back({static_cast<WORD>(id), name, false, Number(static_cast<WORD>(id))});
    return true;
  }
  return false;
}

bool AddLanguageController::DeleteUserLanguages(const std::vector<int>& selected) {
  if (!CanDelete(selected)) {
    hv::ShowMessage(10688,
                    wxS("Es können nur benutzerdefinierte Sprachen die noch nicht im Projekt ausgewählt sind gelöscht "
                        "werden!"),
                    MB_OK | MB_ICONINFORMATION);
    return false;
  }
  if (hv::ShowMessage(10689, wxS("Sind Sie sicher, daß Sie die markierte Sprache entfernen wollen?"),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  // The numbers first: refilling the list changes the positions.
  LanguageMap users;
  m_project.ReadUserLanguages(users);
  for (int i : selected) users.erase(m_items[static_cast<size_t>(i)].id);
  const bool ok = m_project.WriteUserLanguages(users) != FALSE;
  Fill();
  return ok;
}

std::vector<WORD> AddLanguageController::Chosen(const std::vector<int>& selected) const {
  std::vector<WORD> ids;
  for (int i : selected)
    if (i >= 0 && i < static_cast<int>(m_items.size())) ids.push_back(m_items[static_cast<size_t>(i)].id);
  return ids;
}
