#pragma once
// The process-wide tables of the program's vocabulary: list-view columns per object
// class, the languages and the object classes. Their texts come from the localisation
// layer, so they are built once after the user-interface language is set.
#include <cstddef>
#include <span>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

// One column of the list view. A table of them ends at the first entry whose title is
// empty; the list view writes saved widths and positions back into the table.
struct ColumnDef {
  wxString title;
  int format = 0;     // 0 left-aligned, 1 right-aligned, 2 centred
  int width = 0;      // pixels
  int subItem = 0;    // the column number the objects receive (texts, compare, double click)
  int order = 0;      // display position
  int key = 0;        // layout key; the texts folder puts its language numbers here
};

// The column tables, one per object class that has its own.
enum class ColumnTableId {
  Default,        // every class without its own
  PrjFolder,
  Project,
  Network,
  Device,
  PrjDataPoint,
  Documents,
  ResBitmap,
  ResKeypad,
  ResFont,
  ResMenu,
  ResMask,
  Mask,           // the elements of one screen
  ResString,      // three fixed columns, then one slot per project language
  ADefFolder,
  TavSim,
  PrgCoDeSys,
  PrgProGRIPS,
  HtmlFolder,
  Count
};

// Number of language slots in the texts folder's table.
constexpr int kTextLanguageSlots = 63;

// A Windows language number with its localised name.
struct LANGUAGE {
  WORD number = 0;
  wxString name;
};

// One object class: type code, images, container flag and display name.
// The context menu of kinds that have none of their own ("Neu...", "Einfügen").
constexpr UINT kDefaultContextMenu = 436;

struct PO_CLASSES {
  DWORD typeCode = 0;
  DWORD image = 0;
  DWORD selectedImage = 0;
  DWORD container = 0;   // 1 for nodes that only group children
  wxString name;         // empty for most containers
  UINT contextMenu = kDefaultContextMenu;   // menu resource of the object's context menu
};

// Unlocalised row of the object-class table: the text is fetched when the table is built.
struct ObjectClassRow {
  DWORD typeCode;
  DWORD image;
  DWORD selectedImage;
  DWORD container;
  UINT textId;               // 0: no name
  const wchar_t* germanName;
  UINT contextMenu = kDefaultContextMenu;
};

// Builds the three tables; later calls do nothing. Start-up calls it once the language
// is set; the accessors below build the tables on first use should anything come first.
void BuildLocalizedTables();

// The whole table including its end entry (empty title).
std::vector<ColumnDef>& GetColumnTable(ColumnTableId id);
// The columns in use: the entries before the first one with an empty title.
std::span<ColumnDef> GetColumnDefsOf(ColumnTableId id);
// Total entries of all tables, end entries included.
std::size_t CountColumnDefinitions();

// The built-in languages, ending with the number 0; never changed.
const std::vector<LANGUAGE>& GetBuiltInLanguages();
// The language table: the built-in rows (without the end row), then the rows that
// the profile adds (numbers 32768 to 65534).
std::vector<LANGUAGE>& GetLanguageTable();
// Copies the built-in rows into the language table, dropping added rows.
void ResetLanguageTable();
// Appends a user language unless its number is already there; false when refused.
bool AddLanguage(WORD number, const wxString& name);
// Name of a language from the language table; empty when unknown.
wxString FindLanguageName(WORD number);

// The object classes in table order, ending with the all-zero row.
const std::vector<PO_CLASSES>& GetObjectClasses();
// The class row of a type code; nullptr when the walk reaches the end row.
const PO_CLASSES* FindObjectClass(DWORD typeCode);
// The unlocalised rows (same order, same end row); usable before the tables are built.
std::span<const ObjectClassRow> GetObjectClassRows();
