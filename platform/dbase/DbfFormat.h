#pragma once
// The dBASE III+ file layout: main header, field descriptors, records.
// Character fields may be wider than 255 bytes; the width's high byte then sits in the
// decimal-count byte, as other readers of such files expect.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <wx/string.h>

namespace hv::db {

constexpr std::uint8_t kDbfVersion = 0x03;
constexpr std::uint8_t kCodePage1252 = 0x57;
constexpr char kFieldTerminator = 0x0D;
constexpr char kEndOfFile = 0x1A;
constexpr char kLiveFlag = ' ';
constexpr char kDeletedFlag = '*';
constexpr std::size_t kMainHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;

struct DbfField {
  std::string name;      // as stored, without the zero padding
  char type = 'C';
  std::uint32_t width = 0;
  std::uint8_t decimals = 0;
  std::uint32_t offset = 0;   // from the record start; the deletion flag is byte 0
};

struct DbfHeader {
  std::uint8_t version = kDbfVersion;
  std::uint8_t date[3] = {0, 1, 1};   // year - 1900, month, day of the last change
  std::uint32_t count = 0;            // records, deleted ones included
  std::uint32_t headerLength = 0;
  std::uint32_t recordLength = 0;
  std::uint32_t counter = 0;          // highest auto number given (bytes 16-19)
  // Bumped by every change (bytes 20-23, reserved for multi-user use): another
  // program's change shows even when the file's size and time stay the same.
  std::uint32_t serial = 0;
  std::uint8_t codePage = kCodePage1252;
  std::vector<DbfField> fields;

  std::uint64_t DataEnd() const {
    return static_cast<std::uint64_t>(headerLength) + static_cast<std::uint64_t>(count) * recordLength;
  }
};

// Reads and checks the header of a whole file image. Fails with a reason on a short
// file, a header length shorter than the descriptors and their terminator, widths that do not add up
// to the record length, or more records than the file holds.
bool ParseDbfHeader(std::string_view file, DbfHeader& header, wxString& error);

// The complete header (main part, descriptors, terminator) for `header.fields`;
// offsets, header and record length are filled in.
std::string BuildDbfHeader(DbfHeader& header);

// Writes the 32-byte main header (version, date, count, lengths, counter, serial)
// over the first 32 bytes of `out`, leaving the rest of them as they are.
void PutMainHeader(const DbfHeader& header, char* out);

// Today's date in the header's form.
void TodayDate(std::uint8_t date[3]);

}  // namespace hv::db
