// Reading a field's bytes: trailing blanks and what follows a zero byte go, whatever
// the field's width and wherever the last character stands; numbers read with sign,
// padding and the 64-bit limit.
#include <gtest/gtest.h>

#include <string>

#include "platform/dbase/Record.h"

using hv::db::FieldKind;
using hv::db::FieldSlot;
using hv::db::Layout;
using hv::db::Record;

namespace {

// One field of `width` bytes holding `content`, blank padded.
std::string_view RawOf(const std::string& content, std::uint32_t width, std::string& bytes) {
  static Layout layout;
  layout.slots = {FieldSlot{1, width, FieldKind::Text}};
  layout.recordLength = width + 1;
  bytes = " " + content + std::string(width - content.size(), ' ');
  return Record(bytes.data(), layout).raw(0);
}

std::int64_t NumberOf(const std::string& field) {
  static Layout layout;
  layout.slots = {FieldSlot{0, static_cast<std::uint32_t>(field.size()), FieldKind::Number}};
  layout.recordLength = static_cast<std::uint32_t>(field.size());
  return Record(field.data(), layout).number(0);
}

}  // namespace

TEST(DbRecordField, RawDropsTrailingBlanksAtEveryLengthAndWidth) {
  std::string bytes;
  for (std::uint32_t width : {1u, 7u, 8u, 15u, 16u, 17u, 30u, 48u, 64u}) {
    EXPECT_EQ(RawOf("", width, bytes), "") << width;
    for (std::uint32_t n = 1; n <= width; ++n) {
      // A blank inside stays; only the padding goes.
      std::string content(n, 'x');
      if (n > 2) content[n / 2] = ' ';
      EXPECT_EQ(RawOf(content, width, bytes), content) << width << " " << n;
    }
  }
}

TEST(DbRecordField, RawEndsAtAZeroByteWithItsBlanksBefore) {
  std::string bytes;
  EXPECT_EQ(RawOf(std::string("ab  \0cd", 7), 30, bytes), "ab");
  EXPECT_EQ(RawOf(std::string("\0bcdefghijklmnopqrs", 19), 20, bytes), "");
  EXPECT_EQ(RawOf(std::string("abcdefghijklmnopq\0", 18), 48, bytes), "abcdefghijklmnopq");
}

TEST(DbRecordField, RawIsTheTextBeforeTheFirstZeroByteWithoutTrailingBlanks) {
  static Layout layout;
  // Every width around the sixteen-byte loads, a zero byte at every place or none, and
  // blanks inside, at the end and before the zero byte.
  for (std::uint32_t width = 1; width <= 40; ++width) {
    layout.slots = {FieldSlot{1, width, FieldKind::Text}};
    layout.recordLength = width + 2;
    for (std::uint32_t tail : {0u, 1u, width / 2, width}) {
      for (std::int64_t zero = -1; zero < static_cast<std::int64_t>(width); ++zero) {
        std::string field(width, ' ');
        for (std::uint32_t i = 0; i + tail < width; ++i) field[i] = i % 3 == 1 ? ' ' : static_cast<char>('a' + i % 26);
        if (zero >= 0) field[static_cast<std::size_t>(zero)] = '\0';
        std::string expected = field.substr(0, field.find('\0'));
        while (!expected.empty() && expected.back() == ' ') expected.pop_back();
        // A byte on each side that is no blank: nothing outside the field is read.
        const std::string bytes = "x" + field + "x";
        EXPECT_EQ(Record(bytes.data(), layout).raw(0), expected) << width << " " << tail << " " << zero;
      }
    }
  }
}

TEST(DbRecordField, NumbersReadWithSignPaddingAndTheirLimit) {
  EXPECT_EQ(NumberOf("    8"), 8);
  EXPECT_EQ(NumberOf("     "), 0);
  EXPECT_EQ(NumberOf("  -42"), -42);
  EXPECT_EQ(NumberOf("   +7"), 7);
  EXPECT_EQ(NumberOf("    -"), 0);
  EXPECT_EQ(NumberOf("12.75"), 12);
  EXPECT_EQ(NumberOf("4294967295"), 4294967295);
  EXPECT_EQ(NumberOf("         5"), 5);
  EXPECT_EQ(NumberOf("        -5"), -5);
  EXPECT_EQ(NumberOf("          "), 0);
  EXPECT_EQ(NumberOf("       123 "), 123);
  EXPECT_EQ(NumberOf("   999999999999999999"), 999999999999999999);
  EXPECT_EQ(NumberOf(" 9223372036854775807"), INT64_MAX);
  EXPECT_EQ(NumberOf("-9223372036854775808"), INT64_MIN);
  // Beyond 64 bits reads as 0, never as a wrapped value.
  EXPECT_EQ(NumberOf(" 9223372036854775808"), 0);
  EXPECT_EQ(NumberOf("99999999999999999999"), 0);
}
