#include <gtest/gtest.h>

#include "framework/LocalTables.h"
#include "model/ObjectFactory.h"
#include "platform/Archive.h"
#include "resources/Font.h"
#include "resources/HtmlFolder.h"
#include "resources/Pal.h"
#include "resources/Resource.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"

namespace {

struct Kind {
  std::uint32_t code;
  const char* className;
  bool inTree;
};

// What the tree sees of each kind of this subsystem.
const Kind kKinds[] = {
    {0x21210000, "CPOResource", true},   {0x21211000, "CPOResBitmap", true},  {0x21211100, "CPOBitmap", false},
    {0x21212000, "CPOResFont", true},    {0x21212100, "CPOFont", false},      {0x21213000, "CPOResMask", true},
    {0x21213100, "CPOMask", true},       {0x21214000, "CPOResString", true},  {0x21214100, "CPOString", false},
    {0x21217000, "CPOResMenu", true},    {0x21217100, "CPOMenu", false},      {0x2121A000, "CPOResKeypad", true},
    {0x2121A100, "CPOKeypadXML", false}, {0x2121A200, "CPOKeypadBmp", false}, {0x21240000, "CPOHtmlFolder", true},
    {0x21241000, "CPOHtml", false},
};

}  // namespace

TEST(ResourceClasses, FactoryMakesEachKindWithItsIdentity) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.className);
    auto object = CProjectObject::CreateObjectOfType(ToTypeCode(k.code));
    ASSERT_NE(nullptr, object);
    EXPECT_STREQ(k.className, object->ClassName());
    EXPECT_EQ(k.code, ToUInt(object->GetTypeCode()));
    EXPECT_EQ(k.inTree, object->IsShownInTree() != FALSE);
    // Nothing below a resource appears in the tree below its own row.
    EXPECT_FALSE(object->HasTreeChildren());
    // Pastes find the class again by its name.
    auto again = CObjectFactory::CreateByName(k.className);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(object->GetTypeCode(), again->GetTypeCode());
    // Every kind may be placed below a device, through its grouping folders.
    EXPECT_TRUE(IsValidParentType(TypeCode::PrjDevice, object->GetTypeCode()));
  }
}

TEST(ResourceClasses, ParentRulesBetweenTheKinds) {
  // Leaves go into their own folder only, never into a sibling folder.
  EXPECT_TRUE(IsValidParentType(TypeCode::ResBitmap, TypeCode::Bitmap));
  EXPECT_FALSE(IsValidParentType(TypeCode::ResFont, TypeCode::Bitmap));
  EXPECT_TRUE(IsValidParentType(TypeCode::Resource, TypeCode::KeypadBmp));
  EXPECT_FALSE(IsValidParentType(TypeCode::Resource, TypeCode::Html));
  EXPECT_TRUE(IsValidParentType(TypeCode::HtmlFolder, TypeCode::Html));
  EXPECT_FALSE(IsValidParentType(TypeCode::Project, TypeCode::Mask));
  EXPECT_FALSE(IsValidParentType(TypeCode::PrjDevice, TypeCode::Pal));
}

TEST(ResourceClasses, PaletteKindsAreNotMadeByCode) {
  EXPECT_EQ(nullptr, CProjectObject::CreateObjectOfType(TypeCode::Pal));
  EXPECT_EQ(nullptr, CProjectObject::CreateObjectOfType(kResPalTypeCode));
  EXPECT_EQ(kResPalTypeCode, GetParentTypeCode(CPOPal().GetTypeCode()));
  EXPECT_FALSE(CPOPal().IsShownInTree());
}

TEST(ResourceClasses, FontPictureFollowsTheFileKind) {
  CPOFont font;
  const std::pair<const char*, int> cases[] = {
      {"Standard.fnt", 9}, {"Arial.ttf", 42}, {"ARIAL.TTF", 42}, {"NoExtension", 42}, {"x.ttf.bak", 9}};
  for (const auto& [name, image] : cases) {
    font.SetName(wxString::FromUTF8(name));
    EXPECT_EQ(image, font.GetImage()) << name;
    EXPECT_EQ(image, font.GetSelectedImage()) << name;
  }
}

TEST(ResourceClasses, WideNamedKindsArchiveTheirNamesWide) {
  const wxString name = hvtest::S("Übersicht \xe2\x82\xac");   // the euro sign fits Windows-1252 too
  for (TypeCode code : {TypeCode::Mask, TypeCode::String, TypeCode::Bitmap}) {
    auto object = CProjectObject::CreateObjectOfType(code);
    object->SetName(name);
    CArchive out;
    WriteArchivedObject(out, *object);
    // A wide text is marked by 0xFF 0xFFFE after the class name and schema.
    const std::string& bytes = out.Bytes();
    const bool wide = bytes.find(std::string("\xFF\xFE\xFF", 3)) != std::string::npos;
    EXPECT_EQ(object->IsUnicodeName() != FALSE, wide) << object->ClassName();
    CArchive in(bytes);
    auto back = ReadArchivedObject(in);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(name, back->GetName());
    EXPECT_EQ(code, back->GetTypeCode());
  }
}
