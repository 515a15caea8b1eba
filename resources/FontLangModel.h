#pragma once
// The font-per-language assignments of a device: one row per font of the device, one
// column per project language (the default language first), each assignment the title
// of the font the device uses instead while that language is active. Read from and
// written to the device's "DEVICE.SET" [Fonts].
#include <map>
#include <vector>
#include <wx/string.h>

#include "framework/LocalTables.h"
#include "platform/Types.h"

struct CFontLangKey {
  long language = 0;
  wxString font;
  bool operator<(const CFontLangKey& o) const {
    return language != o.language ? language < o.language : font.compare(o.font) < 0;
  }
  bool operator==(const CFontLangKey&) const = default;
};

class CFontLangModel {
 public:
  // Text of "no font" in the choice list and the file.
  static wxString NoneText();

  // Rows from the device folder's fonts, columns from the languages; then the choices
  // of "DEVICE.SET" [Fonts]. Unsaved choices are dropped.
  void Load(const wxString& deviceFolder, const std::vector<LANGUAGE>& languages, WORD defaultLanguage);

  int Columns() const { return static_cast<int>(m_languages.size()); }
  int Rows() const { return static_cast<int>(m_rows.size()); }
  const LANGUAGE& Language(int column) const { return m_languages[static_cast<size_t>(column)]; }
  const wxString& Row(int row) const { return m_rows[static_cast<size_t>(row)]; }
  // The first row showing the font title (exact compare); -1 when none.
  int FindFontRow(const wxString& title) const;
  // What a cell shows: the chosen title, empty for none.
  wxString Value(int column, int row) const;
  // "<kein>" and every row's title, each ended by a line feed.
  wxString ChoiceList() const;

  // Takes a cell's new text into the map. Messages 10677 (no such language column) and
  // 10678 (no such pair) go to the user; both leave the map unchanged.
  bool CheckLanguageFont(int column, int row, const wxString& text);

  // Replaces [Fonts] with the non-empty choices in one write. False, with the file
  // unchanged, when the write fails.
  bool Save(const wxString& deviceFolder) const;

  const std::map<CFontLangKey, wxString>& Map() const { return m_map; }

 private:
  void AddRow(const wxString& title);
  std::vector<LANGUAGE> m_languages;
  std::vector<wxString> m_rows;
  std::map<CFontLangKey, wxString> m_map;
};
