#pragma once
// What a table holds: its fields (found by name in the file), its index tags and its
// auto number. Tags are lists of typed components, so keys compare as values: numbers
// numerically, texts by their Windows-1252 (or UTF-8) bytes, upper-cased on ci parts.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dbase/Record.h"

namespace hv::db {

struct FieldDef {
  const char* name;
  FieldKind kind;
  std::uint16_t width;
  bool required = false;   // a file without it cannot be opened (tag fields always are)
};

struct KeyPartDef {
  int field = -1;                                 // schema field, or -1 with compute
  bool ci = false;                                // texts compared ignoring case
  std::int64_t (*compute)(const Record&) = nullptr;   // a number derived from the record
};

struct TagDef {
  std::string name;
  std::vector<KeyPartDef> parts;
  bool (*filter)(const Record&) = nullptr;        // records it rejects are not in the tag
};

enum class AutoNumber : std::uint8_t {
  None,
  Always,     // every insert gets the next number
  WhenZero,   // an insert with 0 gets the next number, other values are kept
};

// Typed rows name the kind of schema they fit; BITMAP and FONT share one.
enum class RowKind : std::uint8_t {
  Projekt, Geraet, Netzwerk, Datpkt, Einheit, Eeprom, MaskField, Textw, Bitmap,
};

struct Schema {
  std::string name;            // table name; the file is name + ".DBF"
  RowKind rowKind = RowKind::Projekt;
  std::vector<FieldDef> fields;
  std::vector<TagDef> tags;
  int autoField = -1;
  AutoNumber autoMode = AutoNumber::None;
  std::uint32_t autoMax = 0;   // highest number the table may give

  int FindTag(std::string_view tag) const;   // -1 when unknown; case ignored
  bool IsRequired(int field) const;
  std::string FileName() const { return name + ".DBF"; }
};

}  // namespace hv::db
