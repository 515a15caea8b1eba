#pragma once
// Typed rows of the tables. Texts come back without trailing blanks; on insert the
// table's auto number is written back into the row.
#include <array>
#include <cstdint>
#include <wx/string.h>

#include "platform/dbase/MaskField.h"
#include "platform/dbase/Record.h"
#include "platform/dbase/Schema.h"

namespace hv::db {

// A project folder or project of the project list.
struct ProjektRow {
  static constexpr RowKind kRowKind = RowKind::Projekt;
  wxString name;        // 30
  wxString path;        // 255, empty for a folder
  std::int16_t level = 0;
  wxString parentKey;   // 60, "$$$<level>$$$<name>" of the holding folder
  void read(const Record& r);
  void write(Record& r) const;
};

// A device row: the project device's own row (network 65535, marker 1) or a
// field-bus device of one of its networks.
struct GeraetRow {
  static constexpr RowKind kRowKind = RowKind::Geraet;
  std::uint16_t number = 0;       // GNR, given on insert
  wxString name;                  // 48
  wxString type;                  // 8
  std::uint16_t network = 0;      // NNR
  wxString node;                  // 10
  wxString param;                 // 255
  std::uint16_t marker = 0;
  std::array<wxString, 6> texts;  // 30 each
  void read(const Record& r);
  void write(Record& r) const;
};

struct NetzwerkRow {
  static constexpr RowKind kRowKind = RowKind::Netzwerk;
  std::uint16_t number = 0;   // NNR, given on insert
  wxString name;              // 30
  wxString driver;            // 8
  wxString slot;              // 10
  wxString param;             // 255
  void read(const Record& r);
  void write(Record& r) const;
};

struct DatpktRow {
  static constexpr RowKind kRowKind = RowKind::Datpkt;
  std::uint32_t id = 0;           // given on insert
  wxString name;                  // 30
  wxString description;           // 48
  wxString address;               // 48
  std::uint16_t type = 0;
  std::uint16_t device = 0;       // GNR
  wxString start, sigMin, sigMax, measMin, measMax;   // 16 each
  wxString unit;                  // 20
  std::uint16_t access = 0;
  std::uint16_t pickerAccess = 0;
  std::uint32_t value32 = 0;
  std::array<wxString, 6> free;   // 30 each
  std::uint16_t logId = 0;
  void read(const Record& r);
  void write(Record& r) const;
};

struct EinheitRow {
  static constexpr RowKind kRowKind = RowKind::Einheit;
  wxString unit;   // 20
  void read(const Record& r);
  void write(Record& r) const;
};

struct EepromRow {
  static constexpr RowKind kRowKind = RowKind::Eeprom;
  std::uint32_t number = 0;      // given on insert
  std::uint32_t dataPoint = 0;   // DATPKT id
  std::uint32_t address = 0;
  std::uint16_t length = 0;
  void read(const Record& r);
  void write(Record& r) const;
};

// One language of a text. Text number 0 on insert asks for a new number.
struct TextwRow {
  static constexpr RowKind kRowKind = RowKind::Textw;
  std::uint32_t number = 0;     // IDTEXT
  std::uint16_t language = 0;   // SPRACHE
  wxString text;                // up to 256 UTF-16 units
  std::uint16_t logId = 0;
  void read(const Record& r);
  void write(Record& r) const;
};

// A row of BITMAP or FONT.
struct BitmapRow {
  static constexpr RowKind kRowKind = RowKind::Bitmap;
  std::uint32_t id = 0;   // given on insert
  wxString name;          // 240, upper case
  std::uint16_t logId = 0;
  void read(const Record& r);
  void write(Record& r) const;
};

}  // namespace hv::db
