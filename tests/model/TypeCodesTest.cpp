#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "model/TypeCodes.h"

namespace {

// Every non-zero code.
const TypeCode kCodes[] = {
    TypeCode::PrjFolder,    TypeCode::Project,         TypeCode::PrjDevice,    TypeCode::Resource,
    TypeCode::ResBitmap,    TypeCode::Bitmap,          TypeCode::ResFont,      TypeCode::Font,
    TypeCode::ResMask,      TypeCode::Mask,            TypeCode::ResString,    TypeCode::String,
    TypeCode::RDefFolder,   TypeCode::RecipeDef,       TypeCode::Recipe,       TypeCode::ResMenu,
    TypeCode::Menu,         TypeCode::ADefFolder,      TypeCode::AlarmDef,     TypeCode::Pal,
    TypeCode::ResKeypad,    TypeCode::KeypadXML,       TypeCode::KeypadBmp,    TypeCode::DataLoger,
    TypeCode::Program,      TypeCode::TavGraph,        TypeCode::TavSim,       TypeCode::TavSimSource,
    TypeCode::PrgCoDeSys,   TypeCode::CoDeSys,         TypeCode::PrgProGRIPS,  TypeCode::ProGRIPS,
    TypeCode::PrjDataPoint, TypeCode::DirectDataPoint, TypeCode::Network,      TypeCode::Device,
    TypeCode::DataPoint,    TypeCode::IOConfig,        TypeCode::HtmlFolder,   TypeCode::Html,
    TypeCode::Documents,    TypeCode::Doc,
};

}  // namespace

// The top digit is never cleared: a top-level kind is its own parent.
TEST(TypeCodes, ParentClearsTheLowestNonZeroDigit) {
  std::vector<std::uint32_t> codes = {0x10000001u, 0xF0000000u};
  for (TypeCode c : kCodes) codes.push_back(ToUInt(c));
  for (std::uint32_t code : codes) {
    std::uint32_t parent = code;
    for (std::uint32_t digit = 0xF; digit != 0xF0000000u; digit <<= 4)
      if (parent & digit) {
        parent &= ~digit;
        break;
      }
    EXPECT_EQ(parent, ToUInt(GetParentTypeCode(ToTypeCode(code)))) << std::hex << code;
  }
  EXPECT_EQ(TypeCode::None, GetParentTypeCode(TypeCode::None));
}

TEST(TypeCodes, FoldersHoldFoldersAndProjects) {
  EXPECT_TRUE(IsValidParentType(TypeCode::PrjFolder, TypeCode::PrjFolder));
  EXPECT_TRUE(IsValidParentType(TypeCode::PrjFolder, TypeCode::Project));
  EXPECT_FALSE(IsValidParentType(TypeCode::PrjFolder, TypeCode::PrjDevice));
  // "No kind" belongs nowhere, not even below "no kind".
  EXPECT_FALSE(IsValidParentType(TypeCode::None, TypeCode::None));
  EXPECT_FALSE(IsValidParentType(TypeCode::Mask, TypeCode::None));
}

TEST(TypeCodes, DeviceAcceptsExactlyItsKindsThroughContainerLevels) {
  const std::set<TypeCode> expected = {
      // direct
      TypeCode::Resource, TypeCode::Program, TypeCode::PrjDataPoint, TypeCode::HtmlFolder,
      // through one container level
      TypeCode::DataLoger, TypeCode::ResBitmap, TypeCode::ResFont, TypeCode::ResMask, TypeCode::ResString,
      TypeCode::RDefFolder, TypeCode::ResMenu, TypeCode::ADefFolder, TypeCode::ResKeypad, TypeCode::TavSim,
      TypeCode::PrgCoDeSys, TypeCode::PrgProGRIPS, TypeCode::DirectDataPoint, TypeCode::Network, TypeCode::IOConfig,
      TypeCode::Html,
      // through two
      TypeCode::Bitmap, TypeCode::Font, TypeCode::Mask, TypeCode::String, TypeCode::RecipeDef, TypeCode::Menu,
      TypeCode::AlarmDef, TypeCode::KeypadXML, TypeCode::KeypadBmp, TypeCode::CoDeSys, TypeCode::ProGRIPS,
  };
  for (TypeCode code : kCodes) {
    EXPECT_EQ(expected.count(code) ? TRUE : FALSE, IsValidParentType(TypeCode::PrjDevice, code)) << TypeCodeHex(code);
  }
}

TEST(TypeCodes, OnlyContainersAreLookedThrough) {
  // Resource node and program folder.
  for (TypeCode c : {TypeCode::Bitmap, TypeCode::Font, TypeCode::Mask, TypeCode::String, TypeCode::RecipeDef,
                     TypeCode::Menu, TypeCode::AlarmDef, TypeCode::KeypadXML, TypeCode::KeypadBmp})
    EXPECT_TRUE(IsValidParentType(TypeCode::Resource, c)) << TypeCodeHex(c);
  EXPECT_TRUE(IsValidParentType(TypeCode::Program, TypeCode::CoDeSys));
  EXPECT_TRUE(IsValidParentType(TypeCode::Program, TypeCode::ProGRIPS));
  EXPECT_FALSE(IsValidParentType(TypeCode::Program, TypeCode::TavSimSource));   // C program is no container
  // Documents through the documentation node.
  EXPECT_TRUE(IsValidParentType(TypeCode::Project, TypeCode::Doc));
  // The device level is no container, nor are network and recipe definition.
  EXPECT_FALSE(IsValidParentType(TypeCode::Project, TypeCode::Bitmap));
  EXPECT_FALSE(IsValidParentType(TypeCode::PrjDataPoint, TypeCode::DataPoint));
  EXPECT_FALSE(IsValidParentType(TypeCode::Resource, TypeCode::Recipe));
  EXPECT_TRUE(IsValidParentType(TypeCode::RecipeDef, TypeCode::Recipe));
  // Kinds without a class row are found only directly.
  EXPECT_FALSE(IsValidParentType(TypeCode::Resource, TypeCode::Pal));
}

TEST(TypeCodes, HexFormIsEightUpperCaseDigits) {
  EXPECT_EQ(wxString("2121A100"), TypeCodeHex(TypeCode::KeypadXML));
  EXPECT_EQ(wxString("00000000"), TypeCodeHex(TypeCode::None));
}
