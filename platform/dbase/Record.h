#pragma once
// One record of a table, seen through the table's schema: fields are reached by their
// index in the schema and found in the file by name when the table is opened.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <wx/string.h>

namespace hv::db {

enum class FieldKind : std::uint8_t {
  Text,       // narrow, Windows-1252, blank padded
  WideText,   // UTF-8 in a character field, blank padded
  Number,     // integer, right-aligned digits
};

// Where a schema field lies in the file's records; offset < 0 when the file lacks it.
struct FieldSlot {
  std::int32_t offset = -1;
  std::uint32_t width = 0;
  FieldKind kind = FieldKind::Text;
};

struct Layout {
  std::vector<FieldSlot> slots;   // one per schema field
  std::uint32_t recordLength = 0;
};

// A view of record bytes. Readers get a const view of the table's own bytes; writers
// fill a buffer of their own that the table then stores. Setters never throw: a value
// that cannot be stored marks the record as failed (see ok()).
class Record {
 public:
  Record(const char* bytes, const Layout& layout)
      : m_bytes(const_cast<char*>(bytes)), m_layout(&layout) {}
  Record(char* bytes, const Layout& layout) : m_bytes(bytes), m_layout(&layout) {}

  bool has(int field) const;
  bool deleted() const { return m_bytes[0] == '*'; }

  // The field's bytes up to the first zero byte, trailing blanks removed.
  std::string_view raw(int field) const;
  wxString text(int field) const;
  // The same into an existing string: a scan that reuses its row allocates nothing.
  void readText(int field, wxString& out) const;
  std::int64_t number(int field) const;

  // Texts longer than the field are cut to its width (wide texts at a character
  // boundary); a narrow text with a character Windows-1252 cannot hold fails, as does
  // a number with more digits than the field. Missing fields take nothing.
  void setText(int field, const wxString& value);
  void setNumber(int field, std::int64_t value);
  // Bytes as they are (ASCII payloads such as hex dumps), blank padded, cut to width.
  void setRaw(int field, std::string_view bytes);
  // The field's stored width, 0 when the file lacks it.
  std::uint32_t width(int field) const;

  bool ok() const { return m_failedField < 0; }
  int failedField() const { return m_failedField; }

  const char* bytes() const { return m_bytes; }

 private:
  const FieldSlot* slot(int field) const;
  void fail(int field) {
    if (m_failedField < 0) m_failedField = field;
  }

  char* m_bytes;
  const Layout* m_layout;
  int m_failedField = -1;
};

// The bytes a text takes in a field: Windows-1252 (false when a character has no byte
// there) or, in a wide field, UTF-8 of at most 256 UTF-16 units; cut to the width.
bool EncodeFieldText(const FieldSlot& slot, const wxString& text, std::string& out);

// Parses right-aligned digits with an optional sign; anything else reads as 0 and
// decimals are dropped. Digits beyond what 64 bits hold read as 0 here: tables
// holding such values are refused when opened (NumberFits).
std::int64_t ParseNumber(std::string_view field);
// False when the field's digits make a number outside the signed 64-bit range.
bool NumberFits(std::string_view field);

}  // namespace hv::db
