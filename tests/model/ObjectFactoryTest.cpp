#include <gtest/gtest.h>

#include "model/ObjectFactory.h"
#include "tests/support/TestObjects.h"

// Resource, program and process-data kinds are checked with their classes.
TEST(ObjectFactory, TheCodesItMakesAndTheirClasses) {
  const std::pair<std::uint32_t, const char*> made[] = {
      {0x20000000, "CPOPrjFolder"},    {0x21000000, "CPOProject"},         {0x21200000, "CPOPrjDevice"},
      {0x21230000, "CPOPrjDataPoint"}, {0x21231000, "CPODirectDataPoint"}, {0x21232000, "CPONetwork"},
      {0x21232100, "CPODevice"},       {0x21232110, "CPODataPoint"},
  };
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
