#include <gtest/gtest.h>

#include "platform/online/ModbusMap.h"

namespace {

namespace mm = hv::modbus;

struct MapCase {
  const char* address;
  std::uint32_t type;
  std::uint16_t access;
  bool mapped;
  int table;
  std::uint32_t offset, count, step;
  const char* typeName;
};

TEST(ModbusMap, ResolvesIoAndMemoryPoints) {
  const MapCase cases[] = {
      {"9|Digital Input|2.05", 4, 1, true, 1, 69, 1, 1, "BOOL"},
      {"9|digital output|15.31", 4, 3, true, 0, 511, 1, 1, "BOOL"},
      {"9|Digital Output|15.32", 4, 3, false, 0, 0, 0, 0, ""},
      {"9|Analog Input|0.00", 0x80, 1, true, 3, 256, 1, 2, "R4"},
      {"9|Analog Input|3.31", 0x80, 1, true, 3, 510, 1, 2, "R4"},
      {"9|Analog Input|4.00", 0x80, 1, false, 0, 0, 0, 0, ""},
      {"9|Analog Output|100.00", 0x80, 3, true, 4, 6656, 1, 2, "R4"},
      {"9|Relay|1.00", 4, 1, false, 0, 0, 0, 0, ""},
      {"9|Digital Input|-1.00", 4, 1, false, 0, 0, 0, 0, ""},
      {"8|M|D|81|0|0|3", 32, 3, true, 4, 0x3000, 3, 2, "I4"},
      {"8|M|W|81|0|0|1", 8, 1, true, 3, 0x3000, 1, 1, "I2"},
      {"8|M|X|81|1|5|1", 4, 3, true, 0, 0x3000 + 32 + 5, 1, 1, "BOOL"},
      {"8|M|X|81|1|5|1", 4, 1, true, 1, 0x3000 + 32 + 5, 1, 1, "BOOL"},
      {"8|M|B|81|0|0|2", 2, 3, false, 0, 0, 0, 0, ""},
      {"8|M|B|81|0|0|0", 16, 3, false, 0, 0, 0, 0, ""},
      {"8|M|W|81|0|0", 16, 3, false, 0, 0, 0, 0, ""},           // no count: 0 elements
      {"8|M|W|81|0|0|", 16, 3, false, 0, 0, 0, 0, ""},          // an empty count as well
      {"8|M|W", 64, 1, true, 3, 0x3000, 1, 2, "UI4"},          // short address
      {"8|M|W|80|0|0|1", 16, 3, true, 4, 0x2E00, 1, 1, "UI2"},
      {"8|M|W|1|0|0|1", 16, 3, false, 0, 0, 0, 0, ""},          // negative
      {"8|M|R|81|0|0|1", 1024, 3, true, 4, 0x3000, 1, 2, "UI4"},
      {"8|M|R|81|0|0|1", 0x100, 3, false, 0, 0, 0, 0, ""},
      {"8|M|X|87|127|29|2", 4, 3, true, 0, 0xFFFD, 2, 1, "BOOL"},
      {"8|M|X|87|127|29|3", 4, 3, false, 0, 0, 0, 0, ""},  // last element at 0xFFFF
      {"7|x", 8, 3, false, 0, 0, 0, 0, ""},
      {"garbage", 8, 3, false, 0, 0, 0, 0, ""},
  };
  for (const MapCase& c : cases) {
    const auto ref = mm::Resolve(c.address, c.type, c.access);
    ASSERT_EQ(ref.has_value(), c.mapped) << c.address << " type " << c.type;
    if (!ref) continue;
    EXPECT_EQ(ref->table, c.table) << c.address;
    EXPECT_EQ(ref->offset, c.offset) << c.address;
    EXPECT_EQ(ref->count, c.count) << c.address;
    EXPECT_EQ(ref->step, c.step) << c.address;
    EXPECT_EQ(ref->typeName, c.typeName) << c.address;
  }
  EXPECT_EQ(mm::Resolve("9|Digital Input|2.05", 4, 1)->RegisterAddress(), 0x10046u);
  EXPECT_EQ(mm::Resolve("8|M|D|81|0|0|3", 32, 3)->RegisterAddress(2), 0x43005u);
  // A read needs the first element only: the count does not matter to it.
  const auto read = mm::ResolveForRead("8|M|W|81|1|0", 16, 3, 0);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->offset, 0x3002u);
}

TEST(ModbusMap, TextsAreReadAsRegisterPairs) {
  const auto t = mm::ResolveForRead("8|M|S|81|0|0|1", 0x2005, 3, 0);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->table, mm::kHoldingRegisters);
  EXPECT_EQ(t->step, 3u);
  EXPECT_EQ(mm::ResolveForRead("8|M|S|81|0|0|1", 0x100, 1, 4)->step, 2u);
  EXPECT_EQ(mm::ResolveForRead("8|M|S|81|0|0|1", 0x100, 1, 5)->chars, 5u);
  // A text of no characters has nothing to read.
  EXPECT_EQ(mm::CheckAddress("8|M|S|81|0|0|1", 0x2000, 3, 0).problem, mm::AddressProblem::TextNoLength);
  EXPECT_EQ(mm::CheckAddress("8|M|S|81|0|0|1", 0x100, 3, 0).problem, mm::AddressProblem::TextNoLength);
  EXPECT_FALSE(mm::ResolveForRead("9|Digital Input|0.00", 0x2005, 1, 0));
  EXPECT_FALSE(mm::ResolveForRead("8|M|S|81|0|0|1", 0x2000 + 300, 3, 0));
}

// The driver's own addresses: every table and offset, the data type checked against the
// point's type, the registers it needs and the word order it names.
TEST(ModbusMap, TableAddressesReachEveryElementAsTheirType) {
  using P = mm::AddressProblem;
  const struct {
    const char* address;
    std::uint32_t type, textLen;
    P problem;
    int table;
    std::uint32_t offset, step;
    const char* typeName;
  } cases[] = {
      {"HR|0", 8, 0, P::None, 4, 0, 1, "I2"},
      {"hr | 0 | ui2", 0x10, 0, P::None, 4, 0, 1, "UI2"},
      {"CO|0", 4, 0, P::None, 0, 0, 1, "BOOL"},
      {"DI|65535|BOOL", 4, 0, P::None, 1, 65535, 1, "BOOL"},
      {"IR|65535", 8, 0, P::None, 3, 65535, 1, "I2"},
      {"IR|65534|R4", 0x80, 0, P::None, 3, 65534, 2, "R4"},
      {"HR|7|I4|CDAB", 0x20, 0, P::None, 4, 7, 2, "I4"},
      {"HR|7|UI4", 0x40, 0, P::None, 4, 7, 2, "UI4"},
      {"HR|7|I1", 1, 0, P::None, 4, 7, 1, "I1"},
      {"HR|7|UI1", 2, 0, P::None, 4, 7, 1, "UI1"},
      {"HR|7|TIME", 0x200, 0, P::None, 4, 7, 2, "UI4"},
      {"HR|7|DATE|dcba", 0x400, 0, P::None, 4, 7, 2, "UI4"},
      {"HR|10|TEXT", 0x2007, 0, P::None, 4, 10, 4, "TEXT"},
      {"HR|10", 0x100, 12, P::None, 4, 10, 6, "TEXT"},
      {"HR|65411|TEXT", 0x2000 + 250, 0, P::None, 4, 65411, 125, "TEXT"},
      {"HR|65535|R4", 0x80, 0, P::PastEnd, 0, 0, 0, ""},
      {"HR|65412|TEXT", 0x2000 + 250, 0, P::PastEnd, 0, 0, 0, ""},
      {"HR|0|TEXT", 0x2000 + 251, 0, P::TextLength, 0, 0, 0, ""},
      // A text names its length in characters where its data point has none.
      {"HR|40|TEXT|12", 0x100, 0, P::None, 4, 40, 6, "TEXT"},
      {"hr|40|text| 11 ", 0x100, 11, P::None, 4, 40, 6, "TEXT"},
      {"HR|40||12", 0x100, 0, P::None, 4, 40, 6, "TEXT"},
      {"IR|7|TEXT|1", 0x2001, 0, P::None, 3, 7, 1, "TEXT"},
      {"HR|65411|TEXT|250", 0x100, 0, P::None, 4, 65411, 125, "TEXT"},
      {"HR|40|TEXT", 0x100, 0, P::TextNoLength, 0, 0, 0, ""},
      {"HR|40", 0x100, 0, P::TextNoLength, 0, 0, 0, ""},
      {"HR|40|TEXT|12", 0x100, 20, P::TextLengthMismatch, 0, 0, 0, ""},
      {"HR|40|TEXT|12", 0x2005, 0, P::TextLengthMismatch, 0, 0, 0, ""},
      {"HR|40|TEXT|0", 0x100, 0, P::TextLength, 0, 0, 0, ""},
      {"HR|40|TEXT|251", 0x100, 0, P::TextLength, 0, 0, 0, ""},
      {"HR|40|TEXT|CDAB", 0x100, 0, P::TextLength, 0, 0, 0, ""},
      {"HR|40|TEXT|", 0x100, 12, P::TextLength, 0, 0, 0, ""},
      {"HR|65530|TEXT|14", 0x100, 0, P::PastEnd, 0, 0, 0, ""},
      {"HR|40|I2|12", 8, 0, P::Order, 0, 0, 0, ""},
      {"HR|65536", 8, 0, P::Offset, 0, 0, 0, ""},
      {"HR|-1", 8, 0, P::Offset, 0, 0, 0, ""},
      {"HR|x", 8, 0, P::Offset, 0, 0, 0, ""},
      {"HR|", 8, 0, P::Offset, 0, 0, 0, ""},
      {"XR|0", 8, 0, P::Table, 0, 0, 0, ""},
      {"M|z", 8, 0, P::Table, 0, 0, 0, ""},
      {"HR|0|I3", 8, 0, P::TypeName, 0, 0, 0, ""},
      {"HR|0|R4", 8, 0, P::TypeMismatch, 0, 0, 0, ""},
      {"HR|0|TEXT", 0x20, 0, P::TypeMismatch, 0, 0, 0, ""},
      {"CO|0", 8, 0, P::BitTable, 0, 0, 0, ""},
      {"HR|0", 4, 0, P::RegisterBit, 0, 0, 0, ""},
      {"HR|0|I4|ACBD", 0x20, 0, P::Order, 0, 0, 0, ""},
      {"HR|0|I2|CDAB", 8, 0, P::OrderNeeds32, 0, 0, 0, ""},
      {"HR|0||CDAB", 0x80, 0, P::None, 4, 0, 2, "R4"},
      {"HR|0|I2|ABCD|x", 8, 0, P::Format, 0, 0, 0, ""},
      {"HR", 8, 0, P::Format, 0, 0, 0, ""},
      {"HR|0", 0x401, 0, P::Unreadable, 0, 0, 0, ""},
      {"7|x", 8, 0, P::Kind, 0, 0, 0, ""},
      {"9|Analog Output|0.00", 8, 0, P::KindType, 0, 0, 0, ""},
      {"9|Analog Output|0.00", 0x80, 0, P::None, 4, 256, 2, "R4"},
      {"9|Digital Input|2.05", 0x10, 0, P::None, 1, 69, 1, "BOOL"},
      {"8|M|W|81|0|0|1", 8, 0, P::None, 4, 0x3000, 1, "I2"},
  };
  for (const auto& c : cases) {
    const auto r = mm::CheckAddress(c.address, c.type, 3, c.textLen);
    EXPECT_EQ(r.problem, c.problem) << c.address << " type " << c.type;
    ASSERT_EQ(r.ref.has_value(), c.problem == P::None) << c.address;
    if (!r.ref) continue;
    EXPECT_EQ(r.ref->table, c.table) << c.address;
    EXPECT_EQ(r.ref->offset, c.offset) << c.address;
    EXPECT_EQ(r.ref->step, c.step) << c.address;
    EXPECT_EQ(r.ref->typeName, c.typeName) << c.address;
  }
  EXPECT_EQ(mm::CheckAddress("HR|7|I4|CDAB", 0x20, 3, 0).ref->order, mm::WordOrder::CDAB);
  EXPECT_FALSE(mm::CheckAddress("HR|7|I4", 0x20, 3, 0).ref->order);
  EXPECT_EQ(mm::TypeCodeOfAddress("hr|0|r4"), 0x80u);
  EXPECT_EQ(mm::TypeCodeOfAddress("HR|0"), 0u);
  EXPECT_EQ(mm::CheckAddress("HR|40|TEXT|11", 0x100, 3, 0).ref->chars, 11u);
  EXPECT_EQ(mm::TextLengthOfAddress("HR|40|TEXT|12"), 12u);
  EXPECT_EQ(mm::TextLengthOfAddress("HR|40|TEXT"), 0u);
  EXPECT_EQ(mm::TextLengthOfAddress("HR|40|I4|CDAB"), 0u);
  EXPECT_EQ(mm::TextLengthOfAddress("8|M|S|81|0|0|12"), 0u);
  EXPECT_TRUE(mm::IsTableAddress("di|3"));
  EXPECT_FALSE(mm::IsTableAddress("8|M|W|81|0|0|1"));
  // The export places none of them: it writes kinds 8 and 9 only.
  EXPECT_FALSE(mm::Resolve("HR|0|I2", 8, 3));
  EXPECT_FALSE(mm::Resolve("HR|40|TEXT|12", 0x100, 3));
}

TEST(ModbusMap, WordOrdersRoundTripAndFloatsKeepTheirBits) {
  for (auto order : {mm::WordOrder::ABCD, mm::WordOrder::CDAB, mm::WordOrder::BADC, mm::WordOrder::DCBA}) {
    std::uint16_t regs[2];
    mm::Split32(0x11223344u, order, regs);
    EXPECT_EQ(mm::Join32(regs[0], regs[1], order), 0x11223344u);
  }
  std::uint16_t regs[2];
  mm::Split32(0x11223344u, mm::WordOrder::ABCD, regs);
  EXPECT_EQ(regs[0], 0x1122);
  mm::Split32(0x11223344u, mm::WordOrder::CDAB, regs);
  EXPECT_EQ(regs[0], 0x3344);
  mm::Split32(0x11223344u, mm::WordOrder::DCBA, regs);
  EXPECT_EQ(regs[0], 0x4433);
  EXPECT_EQ(mm::FloatFromBits(mm::BitsFromFloat(21.5f)), 21.5f);
  EXPECT_EQ(mm::BitsFromFloat(21.5f), 0x41AC0000u);
  EXPECT_FALSE(mm::ParseWordOrder("abdc"));
  EXPECT_EQ(mm::ParseWordOrder("CDAB"), mm::WordOrder::CDAB);
}

}  // namespace
