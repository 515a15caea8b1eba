#include "platform/dbase/MaskField.h"

#include <string>

#include "platform/dbase/Schemas.h"

namespace hv::db {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string ToHex(const std::uint8_t* p, std::size_t n) {
  std::string out(2 * n, '0');
  for (std::size_t i = 0; i < n; ++i) {
    out[2 * i] = kHexDigits[p[i] >> 4];
    out[2 * i + 1] = kHexDigits[p[i] & 0x0F];
  }
  return out;
}

// Decodes as many whole bytes as the dump holds; a bad digit reads as 0.
void FromHex(std::string_view hex, std::uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (2 * i + 1 >= hex.size()) {
      p[i] = 0;
      continue;
    }
    const int hi = HexValue(hex[2 * i]);
    const int lo = HexValue(hex[2 * i + 1]);
    p[i] = hi < 0 || lo < 0 ? 0 : static_cast<std::uint8_t>(hi * 16 + lo);
  }
}

}  // namespace

std::uint32_t MaskField::u32(std::size_t o) const {
  if (o + 4 > kSize) return 0;
  return static_cast<std::uint32_t>(buf[o]) | static_cast<std::uint32_t>(buf[o + 1]) << 8 |
         static_cast<std::uint32_t>(buf[o + 2]) << 16 | static_cast<std::uint32_t>(buf[o + 3]) << 24;
}

void MaskField::setU32(std::size_t o, std::uint32_t v) {
  if (o + 4 > kSize) return;
  for (int i = 0; i < 4; ++i) buf[o + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t MaskField::u16(std::size_t o) const {
  if (o + 2 > kSize) return 0;
  return static_cast<std::uint16_t>(buf[o] | buf[o + 1] << 8);
}

void MaskField::setU16(std::size_t o, std::uint16_t v) {
  if (o + 2 > kSize) return;
  buf[o] = static_cast<std::uint8_t>(v & 0xFF);
  buf[o + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint32_t MaskField::DataU32(std::string_view hex, std::size_t offset) {
  if (offset < kDataOffset) return 0;
  std::uint8_t b[4];
  const std::size_t at = 2 * (offset - kDataOffset);
  if (at + 8 > hex.size()) return 0;
  FromHex(hex.substr(at, 8), b, 4);
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

void MaskField::read(const Record& r) {
  buf.fill(0);
  name = r.text(mskfld::NAME);
  setNumber(static_cast<std::int16_t>(r.number(mskfld::NR)));
  setId(static_cast<std::uint32_t>(r.number(mskfld::ID)));
  setType(static_cast<std::uint32_t>(r.number(mskfld::TYP)));
  setX(static_cast<std::int16_t>(r.number(mskfld::X)));
  setY(static_cast<std::int16_t>(r.number(mskfld::Y)));
  setFlag(static_cast<std::uint8_t>(r.number(mskfld::FLAG)));
  setLogId(static_cast<std::uint16_t>(r.number(mskfld::LOG_ID)));
  FromHex(r.raw(mskfld::RES), buf.data() + kResOffset, kDataOffset - kResOffset);
  FromHex(r.raw(mskfld::DATA), buf.data() + kDataOffset, kSize - kDataOffset);
}

void MaskField::write(Record& r) const {
  r.setText(mskfld::NAME, name);
  r.setNumber(mskfld::NR, number());
  r.setNumber(mskfld::ID, id());
  r.setNumber(mskfld::TYP, type());
  r.setNumber(mskfld::X, x());
  r.setNumber(mskfld::Y, y());
  r.setNumber(mskfld::FLAG, flag());
  r.setNumber(mskfld::LOG_ID, logId());
  r.setRaw(mskfld::RES, ToHex(buf.data() + kResOffset, kDataOffset - kResOffset));
  r.setRaw(mskfld::DATA, ToHex(buf.data() + kDataOffset, kSize - kDataOffset));
}

}  // namespace hv::db
