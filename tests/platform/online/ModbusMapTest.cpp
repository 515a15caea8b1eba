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
      {"8|M|W|81|0|0", 16, 3, true, 4, 0x3000, 1, 1, "UI2"},   // no count: one element
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
}

TEST(ModbusMap, TextsAreReadAsRegisterPairs) {
  const auto t = mm::ResolveForRead("8|M|S|81|0|0|1", 0x2005, 3, 0);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->table, mm::kHoldingRegisters);
  EXPECT_EQ(t->step, 3u);
  EXPECT_EQ(mm::ResolveForRead("8|M|S|81|0|0|1", 0x100, 1, 4)->step, 2u);
  EXPECT_FALSE(mm::ResolveForRead("9|Digital Input|0.00", 0x2005, 1, 0));
  EXPECT_FALSE(mm::ResolveForRead("8|M|S|81|0|0|1", 0x2000 + 300, 3, 0));
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
