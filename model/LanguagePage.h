#pragma once
// The project languages page (CPPLangFont) and the add-language dialog
// (CDlgAddLanguage) without windows: the list entries, the button states and what each
// button does to "PROJECT.SET". The wx page and dialog only forward to these.
#include <vector>
#include <wx/string.h>

#include "model/Project.h"

// One entry of a language list.
struct LanguageItem {
  WORD id = 0;
  wxString name;
  bool checked = false;
  // "%s\t%d" (name, number); entries made from [DefLanguages] show its key text.
  wxString idText;
  wxString Text() const { return name + wxS("\t") + idText; }
};

constexpr WORD kFirstUserLanguage = 32768;
constexpr WORD kLastUserLanguage = 65534;
inline bool IsUserLanguage(WORD id) { return id >= kFirstUserLanguage && id <= kLastUserLanguage; }

class LanguagePageModel {
 public:
  explicit LanguagePageModel(CPOProject& project) : m_project(project) {}

  // Page start: the project's languages, checked as marked.
  void Init();
  const std::vector<LanguageItem>& Items() const { return m_items; }
  int Find(WORD id) const;
  WORD PageDefault() const { return m_pageDefault; }
  // The [Languages/Fonts] values the page will store.
  const LanguageMap& Values() const { return m_values; }

  struct Buttons {
    bool remove = false;
    bool setDefault = false;
    bool modify = false;
  };
  // The buttons for the selected entry (-1: none).
  Buttons ButtonState(int index) const;
  // The box of an entry changed. False when refused (message 10326; it stays checked).
  bool SetChecked(int index, bool checked);
  // "Hinzufügen...": the add-language dialog, then its chosen languages.
  void Add();
  void AddChosen(const std::vector<WORD>& ids);
  // "Entfernen": not for a default language.
  bool Remove(int index);
  // "Als Standard setzen": stored at once.
  bool SetDefault(int index);
  // "Ändern" (and double click): renames a user-defined language at once.
  bool Modify(int index);
  // The page's store on OK: [Languages/Fonts] rewritten from the values.
  bool Store();

 private:
  bool IsDefault(WORD id) const { return id == m_pageDefault || id == m_project.GetDefaultLanguageId(); }

  CPOProject& m_project;
  LanguageMap m_values;
  LanguageMap m_names;
  std::vector<LanguageItem> m_items;
  WORD m_pageDefault = 0;
};

class AddLanguageController {
 public:
  // `projectValues`: the languages the page holds.
  AddLanguageController(CPOProject& project, const LanguageMap& projectValues)
      : m_project(project), m_projectValues(projectValues) {}

  // Dialog start: every built-in language, then every user-defined one.
  void Fill();
  const std::vector<LanguageItem>& Items() const { return m_items; }
  // "Entfernen" needs a selection of user-defined languages the project does not use.
  bool CanDelete(const std::vector<int>& selected) const;
  // "Hinzufügen...": a new user-defined language under the lowest free number. False
  // when cancelled, empty or when no number is free.
  bool NewUserLanguage();
  // "Entfernen": deletes the selected user-defined languages after asking. False when
  // refused (10688) or not confirmed.
  bool DeleteUserLanguages(const std::vector<int>& selected);
  // OK: the numbers of the selected entries.
  std::vector<WORD> Chosen(const std::vector<int>& selected) const;

 private:
  CPOProject& m_project;
  const LanguageMap& m_projectValues;
  std::vector<LanguageItem> m_items;
};
