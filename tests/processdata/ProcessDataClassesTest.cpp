#include <gtest/gtest.h>

#include "framework/LocalTables.h"
#include "model/NewObjectRequests.h"
#include "app/TavProjectDoc.h"
#include "model/ObjectFactory.h"
#include "platform/Archive.h"
#include "processdata/ADefFolder.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using namespace hvtest;

TEST(ProcessDataClasses, FactoryMakesEachKindWithItsIdentity) {
  struct Kind {
    std::uint32_t code;
    const char* className;
    bool inTree;
    bool wide;
  };
  const Kind kinds[] = {
      {0x21216000, "CPORDefFolder", true, false}, {0x21216100, "CPORecipeDef", true, false},
      {0x21216110, "CPORecipe", false, false},    {0x21218000, "CPOADefFolder", true, false},
      {0x21218100, "CPOAlarmDef", false, true},   {0x2121B000, "CPODataLoger", false, false},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.className);
    auto object = CProjectObject::CreateObjectOfType(ToTypeCode(k.code));
    ASSERT_NE(nullptr, object);
    EXPECT_STREQ(k.className, object->ClassName());
    EXPECT_EQ(k.code, ToUInt(object->GetTypeCode()));
    EXPECT_EQ(k.inTree, object->IsShownInTree() != FALSE);
    EXPECT_EQ(k.wide, object->IsUnicodeName() != FALSE);
    EXPECT_FALSE(object->HasTreeChildren());
    if (object->GetTypeCode() != TypeCode::Recipe) {
      EXPECT_TRUE(IsValidParentType(TypeCode::PrjDevice, object->GetTypeCode()));
      EXPECT_TRUE(IsValidParentType(TypeCode::Resource, object->GetTypeCode()));
    }
  }
  // A recipe goes below its definition only: the definition groups nothing else.
  EXPECT_TRUE(IsValidParentType(TypeCode::RecipeDef, TypeCode::Recipe));
  EXPECT_FALSE(IsValidParentType(TypeCode::RDefFolder, TypeCode::Recipe));
  EXPECT_FALSE(IsValidParentType(TypeCode::PrjDevice, TypeCode::Recipe));
}

TEST(ProcessDataClasses, AlarmDefinitionNamesTravelWide) {
  auto alarm = CProjectObject::CreateObjectOfType(TypeCode::AlarmDef);
  alarm->SetName(S("Überdruck Kessel 1"));
  CArchive out;
  WriteArchivedObject(out, *alarm);
  CArchive in(out.Bytes());
  bool wide = false;
  EXPECT_EQ(wxS("CPOAlarmDef"), in.ReadString());
  in.ReadU16();
  EXPECT_EQ(S("Überdruck Kessel 1"), in.ReadString(&wide));
  EXPECT_TRUE(wide);
}

TEST(ProcessDataClasses, NewDefinitionsAreRefusedAndTheirFoldersRemoved) {
  TempDir dir;
  FakeDevice dev(dir.Path());
  CTavProjectDoc doc;
  RecordingView view;
  doc.AddView(&view);
  ScriptedUi ui;
  for (TypeCode kind : {TypeCode::AlarmDef, TypeCode::RecipeDef, TypeCode::DataLoger}) {
    view.entries.clear();
    ui.Answer<NewObjectRequest>([kind](NewObjectRequest& r) {
      r.typeCode = kind;
      return static_cast<int>(IDOK);
    });
    ui.ExpectMessage(10960);
    EXPECT_TRUE(dev.Node().OnCmdMsg(ID_OBJECT_NEW, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(dev.Node().HasNoChildren()) << ToUInt(kind);
    // Every grouping node made on the way was announced and removed again.
    const auto hints = view.Hints();
    EXPECT_EQ(std::count(hints.begin(), hints.end(), 2), std::count(hints.begin(), hints.end(), 3));
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
}
