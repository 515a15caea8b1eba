#include "platform/dbase/Record.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "platform/Codec.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hv::db {
namespace {

// Length of the longest prefix of `s` that ends on a UTF-8 character boundary and
// is at most `limit` bytes.
std::size_t Utf8Cut(std::string_view s, std::size_t limit) {
  if (s.size() <= limit) return s.size();
  std::size_t n = limit;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

// At most 256 UTF-16 units, the wide field's limit, never splitting a surrogate pair.
wxString CutUtf16(const wxString& text, std::size_t units) {
  std::size_t used = 0;
  std::size_t chars = 0;
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it, ++chars) {
    const std::size_t need = (*it).GetValue() >= 0x10000 ? 2 : 1;
    if (used + need > units) return text.Left(chars);
    used += need;
  }
  return text;
}

}  // namespace

bool Record::has(int field) const { return slot(field) != nullptr; }

std::uint32_t Record::width(int field) const {
  const FieldSlot* s = slot(field);
  return s ? s->width : 0;
}

std::string_view Record::rawOf(const FieldSlot& s) const {
  const char* p = m_bytes + s.offset;
  // Trailing blanks first, eight at a time (most fields are mostly padding): a zero
  // byte can only stand before them, so only the rest is searched for one.
  std::size_t n = s.width;
  bool ended = false;
#if defined(__SSE2__)
  // Sixteen at a time where the processor compares them at once.
  const __m128i blanks16 = _mm_set1_epi8(' ');
  for (; n >= 16; n -= 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
    const auto blank = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, blanks16)));
    if (blank != 0xFFFF) {
      n -= static_cast<std::size_t>(std::countl_one(blank));
      ended = true;
      break;
    }
  }
  // The rest of a wide field: its first sixteen bytes, those past the rest as blanks.
  if (!ended && n > 0 && s.width >= 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto blank = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, blanks16)) | (0xFFFF << n));
    n = 16 - static_cast<std::size_t>(std::countl_one(blank));
    ended = true;
  }
#endif
  constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
  for (std::uint64_t word = 0; !ended && n >= 8; n -= 8) {
    std::memcpy(&word, p + n - 8, 8);
    if (word != kBlanks) break;
  }
  while (!ended && n > 0 && p[n - 1] == ' ') --n;
  if (const void* nul = n ? std::memchr(p, '\0', n) : nullptr) {
    n = static_cast<std::size_t>(static_cast<const char*>(nul) - p);
    while (n > 0 && p[n - 1] == ' ') --n;
  }
  return std::string_view(p, n);
}

wxString Record::text(int field) const {
  const FieldSlot* s = slot(field);
  if (!s) return wxString();
  const std::string_view bytes = raw(field);
  if (s->kind == FieldKind::WideText) {
    const wxString w = FromUtf8(bytes);
    // Text that is not UTF-8 was written by someone else; keep it readable.
    if (w.empty() && !bytes.empty()) return FromCp1252(bytes);
    return w;
  }
  return FromCp1252(bytes);
}

void Record::readText(int field, wxString& out) const {
  const FieldSlot* s = slot(field);
  if (s && s->kind == FieldKind::Text)
    AssignCp1252(raw(field), out);
  else
    out = text(field);
}

namespace {

// The field's integer; false when its digits leave the signed 64-bit range.
bool ParseExact(std::string_view f, std::int64_t& out) {
  if (f.size() <= kNarrowNumberWidth) {
    out = ParseNarrowNumber(f);
    return true;
  }
  out = 0;
  std::size_t i = 0;
  // Numbers stand right-aligned: the padding before them goes eight bytes at a time.
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
    for (std::uint64_t word = 0; f.size() - i >= 8; i += 8) {
      std::memcpy(&word, f.data() + i, 8);
      if (word != kBlanks) {
        i += static_cast<std::size_t>(std::countr_zero(word ^ kBlanks)) / 8;
        break;
      }
    }
  }
  while (i < f.size() && f[i] == ' ') ++i;
  bool negative = false;
  if (i < f.size() && (f[i] == '-' || f[i] == '+')) {
    negative = f[i] == '-';
    ++i;
  }
  // Eighteen digits cannot leave the range: most fields are that narrow.
  if (f.size() - i <= 18) {
    std::int64_t v = 0;
    for (; i < f.size() && f[i] >= '0' && f[i] <= '9'; ++i) v = v * 10 + (f[i] - '0');
    out = negative ? -v : v;
    return true;
  }
  // Accumulated negatively: the lowest value has no positive counterpart.
  std::int64_t v = 0;
  constexpr std::int64_t kMin = INT64_MIN;
  // v * 10 - d stays in range while v is above kMin / 10, or equal with d up to 8.
  constexpr std::int64_t kLimit = kMin / 10;
  constexpr int kLastDigit = static_cast<int>(-(kMin % 10));
  for (; i < f.size() && f[i] >= '0' && f[i] <= '9'; ++i) {
    const int d = f[i] - '0';
    if (v < kLimit || (v == kLimit && d > kLastDigit)) return false;
    v = v * 10 - d;
  }
  if (!negative) {
    if (v == kMin) return false;
    v = -v;
  }
  out = v;
  return true;
}

}  // namespace

std::int64_t ParseNumber(std::string_view f) {
  std::int64_t v = 0;
  return ParseExact(f, v) ? v : 0;
}

bool NumberFits(std::string_view f) {
  std::int64_t v = 0;
  return ParseExact(f, v);
}

bool EncodeFieldText(const FieldSlot& slot, const wxString& text, std::string& out) {
  if (slot.kind == FieldKind::WideText) {
    out = ToUtf8(CutUtf16(text, 256));
    out.resize(Utf8Cut(out, slot.width));
    return true;
  }
  if (!ToCp1252(text, out)) return false;
  if (out.size() > slot.width) out.resize(slot.width);
  return true;
}

void Record::setText(int field, const wxString& value) {
  const FieldSlot* s = slot(field);
  if (!s) return;
  std::string bytes;
  // A zero byte would end the text early on reading; refuse it like any other
  // character the field cannot hold.
  if (!EncodeFieldText(*s, value, bytes) || bytes.find('\0') != std::string::npos) {
    fail(field);
    return;
  }
  const std::size_t n = bytes.size();
  char* p = m_bytes + s->offset;
  std::memcpy(p, bytes.data(), n);
  std::memset(p + n, ' ', s->width - n);
}

void Record::setRaw(int field, std::string_view bytes) {
  const FieldSlot* s = slot(field);
  if (!s) return;
  const std::size_t n = std::min<std::size_t>(bytes.size(), s->width);
  char* p = m_bytes + s->offset;
  std::memcpy(p, bytes.data(), n);
  std::memset(p + n, ' ', s->width - n);
}

void Record::setNumber(int field, std::int64_t value) {
  const FieldSlot* s = slot(field);
  if (!s) return;
  char digits[24];
  const auto r = std::to_chars(digits, digits + sizeof digits, value);
  const std::size_t n = static_cast<std::size_t>(r.ptr - digits);
  if (n > s->width) {
    fail(field);
    return;
  }
  char* p = m_bytes + s->offset;
  std::memset(p, ' ', s->width - n);
  std::memcpy(p + (s->width - n), digits, n);
}

}  // namespace hv::db
