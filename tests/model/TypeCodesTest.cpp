#include <gtest/gtest.h>

#include <set>

#include "model/TypeCodes.h"

namespace {

// Every non-zero code with the parent its lowest digit gives.
const std::pair<TypeCode, std::uint32_t> kParents[] = {
    {TypeCode::PrjFolder, 0x20000000},     {TypeCode::Project, 0x20000000},      {TypeCode::PrjDevice, 0x21000000},
    {TypeCode::Resource, 0x21200000},      {TypeCode::ResBitmap, 0x21210000},    {TypeCode::Bitmap, 0x21211000},
    {TypeCode::ResFont, 0x21210000},       {TypeCode::Font, 0x21212000},         {TypeCode::ResMask, 0x21210000},
    {TypeCode::Mask, 0x21213000},          {TypeCode::ResString, 0x21210000},    {TypeCode::String, 0x21214000},
    {TypeCode::RDefFolder, 0x21210000},    {TypeCode::RecipeDef, 0x21216000},    {TypeCode::Recipe, 0x21216100},
    {TypeCode::ResMenu, 0x21210000},       {TypeCode::Menu, 0x21217000},         {TypeCode::ADefFolder, 0x21210000},
    {TypeCode::AlarmDef, 0x21218000},      {TypeCode::Pal, 0x21219000},          {TypeCode::ResKeypad, 0x21210000},
    {TypeCode::KeypadXML, 0x2121A000},     {TypeCode::KeypadBmp, 0x2121A000},    {TypeCode::DataLoger, 0x21210000},
    {TypeCode::Program, 0x21200000},       {TypeCode::TavGraph, 0x21221000},     {TypeCode::TavSim, 0x21220000},
    {TypeCode::TavSimSource, 0x21222000},  {TypeCode::PrgCoDeSys, 0x21220000},   {TypeCode::CoDeSys, 0x21223000},
    {TypeCode::PrgProGRIPS, 0x21220000},   {TypeCode::ProGRIPS, 0x21224000},     {TypeCode::PrjDataPoint, 0x21200000},
    {TypeCode::DirectDataPoint, 0x21230000}, {TypeCode::Network, 0x21230000},    {TypeCode::Device, 0x21232000},
    {TypeCode::DataPoint, 0x21232100},     {TypeCode::IOConfig, 0x21230000},     {TypeCode::HtmlFolder, 0x21200000},
    {TypeCode::Html, 0x21240000},          {TypeCode::Documents, 0x21000000},    {TypeCode::Doc, 0x21400000},
};

}  // namespace

TEST(TypeCodes, ParentClearsTheLowestNonZeroDigit) {
  EXPECT_EQ(42u, std::size(kParents));
  for (const auto& [code, parent] : kParents) EXPECT_EQ(parent, ToUInt(GetParentTypeCode(code))) << TypeCodeHex(code);
  EXPECT_EQ(TypeCode::None, GetParentTypeCode(TypeCode::None));
  EXPECT_EQ(0x10000000u, ToUInt(GetParentTypeCode(ToTypeCode(0x10000001))));
  EXPECT_EQ(0xF0000000u, ToUInt(GetParentTypeCode(ToTypeCode(0xF0000000))));
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
  for (const auto& [code, parent] : kParents) {
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
