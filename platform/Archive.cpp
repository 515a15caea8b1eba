#include "platform/Archive.h"

#include "platform/Codec.h"

namespace hv {

namespace {
// Markers of the length prefix.
constexpr std::uint8_t kByteEscape = 0xFF;
constexpr std::uint16_t kWideMarker = 0xFFFE;
constexpr std::uint16_t kWordEscape = 0xFFFF;
}  // namespace

Archive::Archive() : m_storing(true) {}

Archive::Archive(std::string_view bytes) : m_data(bytes), m_storing(false) {}

void Archive::RequireLoading() const {
  if (m_storing) throw ArchiveException("archive is not loading");
}

void Archive::RequireStoring() const {
  if (!m_storing) throw ArchiveException("archive is not storing");
}

void Archive::WriteU8(std::uint8_t v) {
  RequireStoring();
  m_data.push_back(static_cast<char>(v));
}

void Archive::WriteU16(std::uint16_t v) {
  RequireStoring();
  const char bytes[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
  m_data.append(bytes, 2);
}

void Archive::WriteU32(std::uint32_t v) {
  RequireStoring();
  const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                         static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
  m_data.append(bytes, 4);
}

void Archive::WriteU64(std::uint64_t v) {
  WriteU32(static_cast<std::uint32_t>(v));
  WriteU32(static_cast<std::uint32_t>(v >> 32));
}

void Archive::WriteBytes(std::string_view bytes) {
  RequireStoring();
  m_data.append(bytes);
}

void Archive::WriteLength(std::uint64_t length) {
  if (length > 0xFFFFFFFFu) throw ArchiveException("text too long for the archive");
  if (length < kByteEscape) {
    WriteU8(static_cast<std::uint8_t>(length));
    return;
  }
  WriteU8(kByteEscape);
  if (length < kWideMarker) {
    WriteU16(static_cast<std::uint16_t>(length));
    return;
  }
  WriteU16(kWordEscape);
  WriteU32(static_cast<std::uint32_t>(length));
}

void Archive::WriteString(const wxString& text, bool wide) {
  RequireStoring();
  std::string bytes;
  if (wide) {
    if (!EncodeUtf16Le(text, bytes)) throw ArchiveException("text cannot be stored as UTF-16");
    WriteU8(kByteEscape);
    WriteU16(kWideMarker);
    WriteLength(bytes.size() / 2);
  } else {
    if (!ToCp1252(text, bytes)) throw ArchiveException("text cannot be stored in Windows-1252");
    WriteLength(bytes.size());
  }
  WriteBytes(bytes);
}

void Archive::WriteNarrowBytes(std::string_view cp1252) {
  RequireStoring();
  WriteLength(cp1252.size());
  WriteBytes(cp1252);
}

void Archive::Need(std::size_t n) const {
  if (n > Remaining()) throw ArchiveException("archive data end too early");
}

std::uint8_t Archive::ReadU8() {
  RequireLoading();
  Need(1);
  return static_cast<std::uint8_t>(m_data[m_pos++]);
}

std::uint16_t Archive::ReadU16() {
  const std::uint16_t lo = ReadU8();
  return static_cast<std::uint16_t>(lo | (ReadU8() << 8));
}

std::uint32_t Archive::ReadU32() {
  const std::uint32_t lo = ReadU16();
  return lo | (static_cast<std::uint32_t>(ReadU16()) << 16);
}

std::uint64_t Archive::ReadU64() {
  const std::uint64_t lo = ReadU32();
  return lo | (static_cast<std::uint64_t>(ReadU32()) << 32);
}

std::string_view Archive::ReadBytes(std::size_t n) {
  RequireLoading();
  Need(n);
  std::string_view out(m_data.data() + m_pos, n);
  m_pos += n;
  return out;
}

std::uint32_t Archive::ReadLength(bool& wide) {
  wide = false;
  std::uint8_t b = ReadU8();
  if (b < kByteEscape) return b;
  std::uint16_t w = ReadU16();
  if (w == kWideMarker) {
    wide = true;
    b = ReadU8();
    if (b < kByteEscape) return b;
    w = ReadU16();
    // A second marker is no length.
    if (w == kWideMarker) throw ArchiveException("garbled text length");
  }
  if (w < kWordEscape) return w;
  return ReadU32();
}

wxString Archive::ReadString(bool* wasWide) {
  RequireLoading();
  bool wide = false;
  const std::uint64_t length = ReadLength(wide);
  if (wasWide) *wasWide = wide;
  if (wide) {
    CheckCount(length, 2);
    wxString out;
    if (!DecodeUtf16Le(ReadBytes(static_cast<std::size_t>(length * 2)), out))
      throw ArchiveException("garbled wide text");
    return out;
  }
  CheckCount(length, 1);
  return FromCp1252(ReadBytes(static_cast<std::size_t>(length)));
}

void Archive::CheckCount(std::uint64_t count, std::size_t minItemSize) const {
  RequireLoading();
  if (minItemSize == 0) minItemSize = 1;
  if (count > Remaining() / minItemSize) throw ArchiveException("count exceeds the archive data");
}

bool EncodeUtf16Le(const wxString& text, std::string& out) {
  out.clear();
  out.reserve(text.length() * 2);
  auto put = [&out](std::uint32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>((unit >> 8) & 0xFF));
  };
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
    const std::uint32_t c = static_cast<std::uint32_t>((*it).GetValue());
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    if (c < 0x10000) {
      put(c);
    } else {
      const std::uint32_t v = c - 0x10000;
      put(0xD800 + (v >> 10));
      put(0xDC00 + (v & 0x3FF));
    }
  }
  return true;
}

bool DecodeUtf16Le(std::string_view bytes, wxString& out) {
  out.clear();
  if (bytes.size() % 2 != 0) return false;
  std::wstring text;
  text.reserve(bytes.size() / 2);
  const auto unit = [&bytes](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    std::uint32_t c = unit(i);
    if (c >= 0xDC00 && c <= 0xDFFF) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 2 >= bytes.size()) return false;
      const std::uint32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    text.push_back(static_cast<wchar_t>(c));
  }
  out = wxString(text);
  return true;
}

}  // namespace hv
