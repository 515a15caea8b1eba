#pragma once
// A record of MSKFLD as the screen code knows it: a 460-byte buffer with fixed
// offsets (32 element number, 44 record id, 48 type, 52/54 x and y, 56 a byte carried
// along, 58 logical id, 60-67 reserved, 68 on the type-specific part). The screen name
// is held as text beside the buffer so that it is checked when the record is stored.
#include <array>
#include <cstdint>
#include <string_view>
#include <wx/string.h>

#include "platform/dbase/Record.h"
#include "platform/dbase/Schema.h"

namespace hv::db {

struct MaskField {
  static constexpr RowKind kRowKind = RowKind::MaskField;
  static constexpr std::size_t kSize = 460;
  static constexpr std::size_t kResOffset = 60;
  static constexpr std::size_t kDataOffset = 68;

  wxString name;                                  // at most 30 characters are stored
  std::array<std::uint8_t, kSize> buf{};

  std::int16_t number() const { return i16(32); }
  void setNumber(std::int16_t v) { setI16(32, v); }
  std::uint32_t id() const { return u32(44); }
  void setId(std::uint32_t v) { setU32(44, v); }
  std::uint32_t type() const { return u32(48); }
  void setType(std::uint32_t v) { setU32(48, v); }
  std::int16_t x() const { return i16(52); }
  void setX(std::int16_t v) { setI16(52, v); }
  std::int16_t y() const { return i16(54); }
  void setY(std::int16_t v) { setI16(54, v); }
  std::uint8_t flag() const { return buf[56]; }
  void setFlag(std::uint8_t v) { buf[56] = v; }
  std::uint16_t logId() const { return u16(58); }
  void setLogId(std::uint16_t v) { setU16(58, v); }

  // Little-endian values anywhere in the buffer; offsets past the end read 0 and
  // write nothing.
  std::uint32_t u32(std::size_t offset) const;
  void setU32(std::size_t offset, std::uint32_t v);
  std::uint16_t u16(std::size_t offset) const;
  void setU16(std::size_t offset, std::uint16_t v);
  std::int16_t i16(std::size_t offset) const { return static_cast<std::int16_t>(u16(offset)); }
  void setI16(std::size_t offset, std::int16_t v) { setU16(offset, static_cast<std::uint16_t>(v)); }

  void read(const Record& r);
  void write(Record& r) const;

  // The u32 at a buffer offset (68 or later) of a stored DATA field (hex dump of the
  // bytes from 68 on); 0 when the dump is short or not hex.
  static std::uint32_t DataU32(std::string_view hex, std::size_t offset);
};

}  // namespace hv::db
