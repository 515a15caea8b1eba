#pragma once
// The project database library under the names the program's code uses. Results are
// TRUE for done or found and FALSE for failed, not found or end of the index. Tables
// are reached through a Table handle (closed at the end of its scope); functions
// without a handle take the device folder.
//
//   Table t;
//   if (!db_open(JoinPath(folder, "DATPKT"), t)) return FALSE;
//   DatpktRow dp;
//   if (datpkt_select(t, dp, kSeek, "ID", {id})) { dp.unit = "bar"; datpkt_update(t, dp); }
#include <cstdint>
#include <string_view>
#include <wx/string.h>

#include "platform/Types.h"
#include "platform/dbase/MaskField.h"
#include "platform/dbase/Rows.h"
#include "platform/dbase/Schemas.h"
#include "platform/dbase/Table.h"

namespace hv::db {

constexpr int kLibraryVersion = 2910;

// The library's language number, handed to the online library's dialogs.
inline int sprache = 1031;
// The current data folder of code that sets one before using a device's tables.
inline wxString pfad_daten;

// Sets the language (1033 for "ENG", else 1031) and returns the library's version.
int rodozir_init(int requiredVersion, const wxString& languageCode);
BOOL dbank_open();
// Forgets cached tables that no handle uses.
void dbank_close();

// Opens "<basePath>.DBF" as the known table named by the last part of the base path.
BOOL db_open(const wxString& basePath, Table& table);
void db_close(Table& table);
// Creates an empty known table (named by the file's name without extension) with the
// given spelling. An existing file is kept as it is.
BOOL db_create_dbf(const wxString& file);
// Creates the tables of a device folder that are missing, all or none: when one
// cannot be made, the ones made by this call are removed again.
BOOL dbank_create(const wxString& folder);
BOOL datpkt_open(const wxString& folder, Table& table);

// Selects and copies the found record into the row.
template <class Row>
BOOL row_select(Table& t, Row& row, int mode, std::string_view tag, const Key& key) {
  return t.select(tag, mode, key) && t.current(row) ? TRUE : FALSE;
}

inline BOOL projekt_select(Table& t, ProjektRow& r, int mode, std::string_view tag, const Key& key = {}) {
  return row_select(t, r, mode, tag, key);
}
inline BOOL projekt_insert(Table& t, ProjektRow& r) { return t.insert(r); }
inline BOOL projekt_update(Table& t, const ProjektRow& r) { return t.update(r); }
inline BOOL projekt_delete(Table& t) { return t.eraseCurrent(); }

inline BOOL geraet_select(Table& t, GeraetRow& r, int mode, std::string_view tag, const Key& key = {}) {
  return row_select(t, r, mode, tag, key);
}
inline BOOL geraet_insert(Table& t, GeraetRow& r) { return t.insert(r); }
inline BOOL geraet_update(Table& t, const GeraetRow& r) { return t.update(r); }
inline BOOL geraet_delete(Table& t) { return t.eraseCurrent(); }

inline BOOL netzwerk_select(Table& t, NetzwerkRow& r, int mode, std::string_view tag, const Key& key = {}) {
  return row_select(t, r, mode, tag, key);
}
inline BOOL netzwerk_insert(Table& t, NetzwerkRow& r) { return t.insert(r); }
inline BOOL netzwerk_update(Table& t, const NetzwerkRow& r) { return t.update(r); }
inline BOOL netzwerk_delete(Table& t) { return t.eraseCurrent(); }

inline BOOL datpkt_select(Table& t, DatpktRow& r, int mode, std::string_view tag, const Key& key = {}) {
  return row_select(t, r, mode, tag, key);
}
inline BOOL datpkt_insert(Table& t, DatpktRow& r) { return t.insert(r); }
inline BOOL datpkt_update(Table& t, const DatpktRow& r) { return t.update(r); }
inline BOOL datpkt_delete(Table& t) { return t.eraseCurrent(); }

// EINHEIT has no tag: pass an empty tag and walk with kFirst, then kNext.
inline BOOL einheit_select(Table& t, EinheitRow& r, int mode, std::string_view tag = {}, const Key& key = {}) {
  return row_select(t, r, mode, tag, key);
}

inline BOOL eeprom_select(Table& t, EepromRow& r, int mode, std::string_view tag, const Key& key = {}) {
  return row_select(t, r, mode, tag, key);
}
inline BOOL eeprom_delete(Table& t) { return t.eraseCurrent(); }

inline BOOL msk_fld_select(Table& t, MaskField& r, int mode, std::string_view tag, const Key& key = {}) {
  return row_select(t, r, mode, tag, key);
}
inline BOOL msk_fld_update(Table& t, const MaskField& r) { return t.update(r); }
inline BOOL msk_fld_delete(Table& t) { return t.eraseCurrent(); }
// A bulk insert: every record gets a new id, written back into it.
inline BOOL msk_fld_insert_start(Table& t) {
  t.beginBulk();
  return t.isOpen();
}
inline BOOL msk_fld_insert_quick(Table& t, MaskField& r) { return t.insert(r); }
inline BOOL msk_fld_insert_ende(Table& t) { return t.endBulk(); }

inline BOOL wtext_select(Table& t, TextwRow& r, int mode, std::string_view tag, const Key& key = {}) {
  return row_select(t, r, mode, tag, key);
}
// Finds a text by its whole wording, case-sensitively (tag "TEXT__").
inline BOOL wtext_selectw(Table& t, TextwRow& r, int mode, std::string_view tag, const wxString& text) {
  return row_select(t, r, mode, tag, Key{text});
}
// Text number 0 gets a new number, written back into the row.
inline BOOL wtext_insert(Table& t, TextwRow& r) { return t.insert(r); }
inline BOOL wtext_update(Table& t, const TextwRow& r) { return t.update(r); }
inline BOOL wtext_delete(Table& t) { return t.eraseCurrent(); }

// BITMAP and FONT rows.
inline BOOL bitmap_select(Table& t, BitmapRow& r, int mode, std::string_view tag, const Key& key = {}) {
  return row_select(t, r, mode, tag, key);
}
inline BOOL bitmap_update_current(Table& t, const BitmapRow& r) { return t.update(r); }
inline BOOL bitmap_delete_current(Table& t) { return t.eraseCurrent(); }

// The number of the BITMAP (FONT) row of a file name, made when missing; names are
// stored in upper case, so "a.bmp" and "A.BMP" are one bitmap. 0 on failure.
std::uint32_t bitmap_add(const wxString& folder, const wxString& fileName);
std::uint32_t font_add(const wxString& folder, const wxString& fileName);

// Look-ups by number: FALSE (and an empty text) when there is no such row.
BOOL bitmap_get_name(const wxString& folder, std::uint32_t number, wxString& name);
BOOL datpkt_get_name(const wxString& folder, std::uint32_t number, wxString& name);
BOOL wtext_get_text(const wxString& folder, std::uint32_t number, std::uint16_t language, wxString& text);

// Makes a data-point name (at most 30 characters) unused in the open DATPKT table:
// kept when free, else "<name>_<n>" with the smallest free n, the name shortened so
// that the whole stays within 30 characters.
BOOL datpkt_get_new_name(Table& datpkt, wxString& name);

}  // namespace hv::db
