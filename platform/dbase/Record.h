#pragma once
// One record of a table, seen through the table's schema: fields are reached by their
// index in the schema and found in the file by name when the table is opened.
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <wx/string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Parses right-aligned digits with an optional sign; anything else reads as 0 and
// decimals are dropped. Digits beyond what 64 bits hold read as 0 here: tables
// holding such values are refused when opened (NumberFits).
std::int64_t ParseNumber(std::string_view field);

// ParseNumber for a field of at most 18 bytes, whose digits cannot leave the range:
// blanks, a sign, digits up to the first other byte. Inline, as rows are read by the
// hundred thousand.
inline std::int64_t ParseNarrowNumber(std::string_view field) {
  const char* p = field.data();
  const char* const end = p + field.size();
  while (p < end && *p == ' ') ++p;
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  std::int64_t v = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) v = v * 10 + (*p - '0');
  return negative ? -v : v;
}
constexpr std::size_t kNarrowNumberWidth = 18;

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
  std::string_view raw(int field) const {
    const FieldSlot* s = slot(field);
    if (!s) return {};
#if defined(__SSE2__)
    // Most text fields are 16 to 32 wide: two loads see all of it. Copies of many rows
    // read a dozen of them a row.
    if (s->width >= 16 && s->width <= 32) return Trimmed16To32(m_bytes + s->offset, s->width);
#endif
    return rawOf(*s);
  }
  wxString text(int field) const;
  // The same into an existing string: a scan that reuses its row allocates nothing.
  void readText(int field, wxString& out) const;
  std::int64_t number(int field) const {
    const FieldSlot* s = slot(field);
    if (!s) return 0;
    const std::string_view bytes(m_bytes + s->offset, s->width);
    return s->width <= kNarrowNumberWidth ? ParseNarrowNumber(bytes) : ParseNumber(bytes);
  }

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
  const FieldSlot* slot(int field) const {
    if (field < 0 || static_cast<std::size_t>(field) >= m_layout->slots.size()) return nullptr;
    const FieldSlot& s = m_layout->slots[static_cast<std::size_t>(field)];
    return s.offset < 0 ? nullptr : &s;
  }
  std::string_view rawOf(const FieldSlot& s) const;
#if defined(__SSE2__)
  // The bytes before the first zero byte, trailing blanks removed, of a field 16 to 32
  // wide: the first and the last sixteen bytes, overlapping, cover it.
  static std::string_view Trimmed16To32(const char* p, std::uint32_t width) {
    const unsigned shift = width - 16;
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + shift));
    const __m128i zeros = _mm_setzero_si128(), blanks = _mm_set1_epi8(' ');
    const auto lanes = [](__m128i v) { return static_cast<std::uint32_t>(_mm_movemask_epi8(v)) & 0xFFFFu; };
    const std::uint32_t zero = lanes(_mm_cmpeq_epi8(lo, zeros)) | (lanes(_mm_cmpeq_epi8(hi, zeros)) << shift);
    const std::uint32_t blank = lanes(_mm_cmpeq_epi8(lo, blanks)) | (lanes(_mm_cmpeq_epi8(hi, blanks)) << shift);
    const unsigned end = zero ? static_cast<unsigned>(std::countr_zero(zero)) : width;
    const std::uint32_t before = end >= 32 ? ~0u : (1u << end) - 1;
    const std::uint32_t kept = ~blank & before;
    return std::string_view(p, kept ? 32 - static_cast<std::size_t>(std::countl_zero(kept)) : 0);
  }
#endif
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

// False when the field's digits make a number outside the signed 64-bit range.
bool NumberFits(std::string_view field);

}  // namespace hv::db
