#pragma once
// A small binary archive for the clipboard: little-endian numbers and texts in the
// archived-text form (a length prefix, narrow Windows-1252 or wide UTF-16 text).
// Loading treats the bytes as untrusted: every read is bounds-checked and a short or
// garbled input raises ArchiveException, never a crash or a huge allocation.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <wx/string.h>

namespace hv {

class ArchiveException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Archive {
 public:
  // A storing archive collecting bytes.
  Archive();
  // A loading archive over a copy of the bytes.
  explicit Archive(std::string_view bytes);

  bool IsStoring() const { return m_storing; }
  bool IsLoading() const { return !m_storing; }

  // Storing.
  void WriteU8(std::uint8_t v);
  void WriteU16(std::uint16_t v);
  void WriteU32(std::uint32_t v);
  void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
  void WriteU64(std::uint64_t v);
  void WriteBytes(std::string_view bytes);
  // Narrow texts must fit Windows-1252 (else ArchiveException); wide texts take any
  // Unicode text. The length prefix counts bytes (narrow) or UTF-16 units (wide).
  void WriteString(const wxString& text, bool wide);
  // A narrow text whose Windows-1252 bytes are at hand: what WriteString writes for it.
  void WriteNarrowBytes(std::string_view cp1252);
  const std::string& Bytes() const { return m_data; }

  // Loading.
  std::uint8_t ReadU8();
  std::uint16_t ReadU16();
  std::uint32_t ReadU32();
  std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
  std::uint64_t ReadU64();
  std::string_view ReadBytes(std::size_t n);
  // Reads a text in whichever form it was stored; `wasWide` tells which.
  wxString ReadString(bool* wasWide = nullptr);
  // Throws unless `count` items of at least `minItemSize` bytes each can still follow.
  void CheckCount(std::uint64_t count, std::size_t minItemSize) const;

  std::size_t Position() const { return m_pos; }
  std::size_t Remaining() const { return m_data.size() - m_pos; }

 private:
  void Need(std::size_t n) const;
  void RequireLoading() const;
  void RequireStoring() const;
  void WriteLength(std::uint64_t length);
  std::uint32_t ReadLength(bool& wide);

  std::string m_data;
  std::size_t m_pos = 0;
  bool m_storing;
};

// Wide text as UTF-16LE bytes and back (no byte-order mark; a leading U+FEFF is kept).
// Encoding fails on characters that UTF-16 cannot hold, decoding on an odd byte count
// or an unpaired surrogate.
bool EncodeUtf16Le(const wxString& text, std::string& out);
bool DecodeUtf16Le(std::string_view bytes, wxString& out);

}  // namespace hv

// The name the object classes use for it.
using CArchive = hv::Archive;
