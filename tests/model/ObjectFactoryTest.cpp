#include <gtest/gtest.h>

#include "model/ObjectFactory.h"
#include "tests/support/TestObjects.h"

TEST(ObjectFactory, TheCodesItMakesAndTheirClasses) {
  const std::pair<std::uint32_t, const char*> made[] = {
      {0x20000000, "CPOPrjFolder"},   {0x21000000, "CPOProject"},       {0x21200000, "CPOPrjDevice"},
      {0x21210000, "CPOResource"},    {0x21211000, "CPOResBitmap"},     {0x21211100, "CPOBitmap"},
      {0x21212000, "CPOResFont"},     {0x21212100, "CPOFont"},          {0x21213000, "CPOResMask"},
      {0x21213100, "CPOMask"},        {0x21214000, "CPOResString"},     {0x21214100, "CPOString"},
      {0x21216000, "CPORDefFolder"},  {0x21216100, "CPORecipeDef"},     {0x21216110, "CPORecipe"},
      {0x21217000, "CPOResMenu"},     {0x21217100, "CPOMenu"},          {0x21218000, "CPOADefFolder"},
      {0x21218100, "CPOAlarmDef"},    {0x2121A000, "CPOResKeypad"},     {0x2121A100, "CPOKeypadXML"},
      {0x2121A200, "CPOKeypadBmp"},   {0x2121B000, "CPODataLoger"},     {0x21220000, "CPOProgram"},
      {0x21222000, "CPOTavSim"},      {0x21222100, "CPOTavSimSource"},  {0x21223000, "CPOPrgCoDeSys"},
      {0x21223100, "CPOCoDeSys"},     {0x21224000, "CPOPrgProGRIPS"},   {0x21224100, "CPOProGRIPS"},
      {0x21230000, "CPOPrjDataPoint"}, {0x21231000, "CPODirectDataPoint"}, {0x21232000, "CPONetwork"},
      {0x21232100, "CPODevice"},      {0x21232110, "CPODataPoint"},     {0x21240000, "CPOHtmlFolder"},
      {0x21241000, "CPOHtml"},
  };
  EXPECT_EQ(37u, std::size(made));
  for (const auto& [code, name] : made) {
    const char* found = CObjectFactory::ClassNameOfType(ToTypeCode(code));
    ASSERT_NE(nullptr, found) << std::hex << code;
    EXPECT_STREQ(name, found);
  }
  for (std::uint32_t code : {0x21219100u, 0x21221100u, 0x21233000u, 0x21400000u, 0x21410000u, 0u, 0x21215000u,
                             0x30000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(nullptr, CObjectFactory::ClassNameOfType(ToTypeCode(code))) << std::hex << code;
    EXPECT_EQ(nullptr, CProjectObject::CreateObjectOfType(ToTypeCode(code)));
  }
}

namespace {
// How an object class of the program declares itself.
class CPOTestKind : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOTestKind)
  TypeCode GetTypeCode() override { return TypeCode::Menu; }
};
}  // namespace

TEST(ObjectFactory, AClassRegistersUnderItsOwnName) {
  CObjectFactory::Register<CPOTestKind>();
  auto object = CObjectFactory::CreateByName("CPOTestKind");
  ASSERT_NE(nullptr, object);
  EXPECT_STREQ("CPOTestKind", object->ClassName());
  EXPECT_EQ(TypeCode::Menu, object->GetTypeCode());
  CObjectFactory::UnregisterClass("CPOTestKind");
  EXPECT_FALSE(CObjectFactory::IsRegistered("CPOTestKind"));
}

TEST(ObjectFactory, MakesRegisteredClassesOnlyAndRestoresRegistrations) {
  EXPECT_FALSE(CObjectFactory::IsRegistered("CPOTestOnly"));
  {
    ScopedObjectClass scope("CPOMask", [] {
      return std::unique_ptr<CProjectObject>(new hvtest::FakeObject(TypeCode::Mask, "CPOMask"));
    });
    auto mask = CProjectObject::CreateObjectOfType(TypeCode::Mask);
    ASSERT_NE(nullptr, mask);
    EXPECT_STREQ("CPOMask", mask->ClassName());
    EXPECT_EQ(TypeCode::Mask, mask->GetTypeCode());
    {
      ScopedObjectClass inner("CPOMask", [] {
        return std::unique_ptr<CProjectObject>(new hvtest::FakeObject(TypeCode::Mask, "CPOMask", wxS("innen")));
      });
      EXPECT_EQ(wxS("innen"), CObjectFactory::CreateByName("CPOMask")->GetName());
    }
    EXPECT_TRUE(CObjectFactory::CreateByName("CPOMask")->GetName().empty());
  }
  // Without its class a code the factory makes gives nothing.
  if (!CObjectFactory::IsRegistered("CPOMask")) {
    EXPECT_EQ(nullptr, CProjectObject::CreateObjectOfType(TypeCode::Mask));
  }
  EXPECT_EQ(nullptr, CObjectFactory::CreateByName(""));
}
