#include "platform/dbase/DbfFormat.h"

#include <ctime>

namespace hv::db {
namespace {

std::uint32_t GetU32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint32_t GetU16(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

void PutU32(char* out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutU16(char* out, std::uint32_t v) {
  out[0] = static_cast<char>(v & 0xFF);
  out[1] = static_cast<char>((v >> 8) & 0xFF);
}

}  // namespace

bool ParseDbfHeader(std::string_view file, DbfHeader& h, wxString& error) {
  if (file.size() < kMainHeaderSize + 1) {
    error = "truncated header";
    return false;
  }
  h = DbfHeader();
  h.version = static_cast<std::uint8_t>(file[0]);
  for (int i = 0; i < 3; ++i) h.date[i] = static_cast<std::uint8_t>(file[1 + i]);
  h.count = GetU32(file, 4);
  h.headerLength = GetU16(file, 8);
  h.recordLength = GetU16(file, 10);
  h.counter = GetU32(file, 16);
  h.serial = GetU32(file, 20);
  h.codePage = static_cast<std::uint8_t>(file[29]);
  if (h.headerLength > file.size()) {
    error = "truncated header";
    return false;
  }
  // Descriptors run until the terminator, which must lie inside the stated header.
  std::size_t at = kMainHeaderSize;
  std::uint64_t offset = 1;
  for (;;) {
    if (at >= h.headerLength) {
      error = "header length does not match the field descriptors";
      return false;
    }
    if (file[at] == kFieldTerminator) break;
    if (at + kDescriptorSize > h.headerLength) {
      error = "header length does not match the field descriptors";
      return false;
    }
    const std::string_view d = file.substr(at, kDescriptorSize);
    DbfField f;
    std::size_t n = 0;
    while (n < 11 && d[n] != '\0') ++n;
    f.name.assign(d.data(), n);
    f.type = d[11];
    const auto lo = static_cast<unsigned char>(d[16]);
    const auto hi = static_cast<unsigned char>(d[17]);
    if (f.type == 'C') {
      f.width = lo + 256u * hi;
    } else {
      f.width = lo;
      f.decimals = hi;
    }
    if (f.width == 0) {
      error = "field of width 0";
      return false;
    }
    f.offset = static_cast<std::uint32_t>(offset);
    offset += f.width;
    h.fields.push_back(std::move(f));
    at += kDescriptorSize;
  }
  if (h.fields.empty()) {
    error = "no fields";
    return false;
  }
  // Writers leave padding or a back link (Visual FoxPro's 263 bytes) after the
  // terminator; records begin where the stated length says.
  if (h.headerLength < at + 1) {
    error = "header length does not match the field descriptors";
    return false;
  }
  if (offset != h.recordLength) {
    error = "field widths do not add up to the record length";
    return false;
  }
  if (h.DataEnd() > file.size()) {
    error = "record count larger than the file";
    return false;
  }
  return true;
}

std::string BuildDbfHeader(DbfHeader& h) {
  std::uint32_t offset = 1;
  for (DbfField& f : h.fields) {
    f.offset = offset;
    offset += f.width;
  }
  h.recordLength = offset;
  h.headerLength = static_cast<std::uint32_t>(kMainHeaderSize + kDescriptorSize * h.fields.size() + 1);
  std::string out(h.headerLength, '\0');
  out[0] = static_cast<char>(h.version);
  out[29] = static_cast<char>(h.codePage);
  PutMainHeader(h, out.data());
  std::size_t at = kMainHeaderSize;
  for (const DbfField& f : h.fields) {
    char* d = out.data() + at;
    for (std::size_t i = 0; i < f.name.size() && i < 10; ++i) d[i] = f.name[i];
    d[11] = f.type;
    d[16] = static_cast<char>(f.width & 0xFF);
    d[17] = f.type == 'C' ? static_cast<char>((f.width >> 8) & 0xFF) : static_cast<char>(f.decimals);
    at += kDescriptorSize;
  }
  out[at] = kFieldTerminator;
  return out;
}

void PutMainHeader(const DbfHeader& h, char* out) {
  for (int i = 0; i < 3; ++i) out[1 + i] = static_cast<char>(h.date[i]);
  PutU32(out + 4, h.count);
  PutU16(out + 8, h.headerLength);
  PutU16(out + 10, h.recordLength);
  PutU32(out + 16, h.counter);
  PutU32(out + 20, h.serial);
}

void TodayDate(std::uint8_t date[3]) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  date[0] = static_cast<std::uint8_t>(tm.tm_year);
  date[1] = static_cast<std::uint8_t>(tm.tm_mon + 1);
  date[2] = static_cast<std::uint8_t>(tm.tm_mday);
}

}  // namespace hv::db
