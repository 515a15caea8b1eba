#include <gtest/gtest.h>

#include <wx/filefn.h>

#include "framework/LocalTables.h"
#include "app/TavProjectDoc.h"
#include "build/CoDeSys.h"
#include "build/PrgCoDeSys.h"
#include "build/Program.h"
#include "build/TavGraph.h"
#include "platform/Paths.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using namespace hvtest;

TEST(ProgramClasses, FactoryMakesEachKindWithItsIdentity) {
  struct Kind {
    std::uint32_t code;
    const char* className;
    bool inTree;
  };
  const Kind kinds[] = {
      {0x21220000, "CPOProgram", true},        {0x21222000, "CPOTavSim", true},
      {0x21222100, "CPOTavSimSource", false},  {0x21223000, "CPOPrgCoDeSys", true},
      {0x21223100, "CPOCoDeSys", false},       {0x21224000, "CPOPrgProGRIPS", true},
      {0x21224100, "CPOProGRIPS", false},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.className);
    auto object = CProjectObject::CreateObjectOfType(ToTypeCode(k.code));
    ASSERT_NE(nullptr, object);
    EXPECT_STREQ(k.className, object->ClassName());
    EXPECT_EQ(k.code, ToUInt(object->GetTypeCode()));
    EXPECT_EQ(k.inTree, object->IsShownInTree() != FALSE);
    EXPECT_FALSE(object->HasTreeChildren());   // no device: nothing to show
  }
  // Program files of a C program and graphical programs are never placed from the device.
  EXPECT_TRUE(IsValidParentType(TypeCode::PrjDevice, TypeCode::CoDeSys));
  EXPECT_FALSE(IsValidParentType(TypeCode::PrjDevice, TypeCode::TavSimSource));
  EXPECT_EQ(nullptr, CProjectObject::CreateObjectOfType(TypeCode::TavGraph));
  EXPECT_FALSE(CPOTavGraph().IsShownInTree());
}

namespace {

class ProgramFolders : public testing::Test {
 protected:
  ProgramFolders() : dev(dir.Path()) { doc.AddView(&view); }
  void Write(const char* relative) {
    const wxString path = dir.Sub(wxString::FromUTF8(relative));
    hv::MakeFolders(hv::PathFolder(path));
    WriteAll(path, "program");
  }
  TempDir dir;
  FakeDevice dev;
  CTavProjectDoc doc;
  RecordingView view;
};

}  // namespace

TEST_F(ProgramFolders, CoDeSysProgramsAreTheProjectFilesOfTheDevice) {
  CPOProgram programs(&dev.Node(), dev.Handle());
  EXPECT_FALSE(programs.HasListChildren());
  Write("codesys/notes.txt");
  EXPECT_FALSE(programs.HasListChildren());

  Write("codesys/Anlage.pro");
  Write("codesys/kessel.PRO");
  EXPECT_TRUE(programs.HasListChildren());
  EXPECT_TRUE(programs.HasTreeChildren());
  ASSERT_TRUE(programs.LoadChildren());
  ASSERT_EQ(1u, programs.GetChildCount());
  auto* codesys = static_cast<CPOPrgCoDeSys*>(programs.GetChildren()[0]);
  EXPECT_STREQ("CPOPrgCoDeSys", codesys->ClassName());
  ASSERT_TRUE(codesys->LoadChildren());
  ASSERT_EQ(2u, codesys->GetChildCount());
  auto* first = static_cast<CPOCoDeSys*>(codesys->GetChildren()[0]);
  EXPECT_EQ(wxS("Anlage"), first->GetName());
  EXPECT_EQ(dir.Sub(wxS("codesys/Anlage.pro")), first->GetPath());
  EXPECT_EQ(wxS("kessel"), codesys->GetChildren()[1]->GetName());
  EXPECT_FALSE(first->GetColumnText(1).empty());

  // The program folder keeps its CoDeSys folder while programs are there, and drops
  // it (announced) when the last one is gone.
  ASSERT_TRUE(programs.LoadChildren());
  EXPECT_EQ(codesys, programs.GetChildren()[0]);
  const ObjectSerial serial = codesys->GetSerial();
  ASSERT_TRUE(wxRemoveFile(dir.Sub(wxS("codesys/Anlage.pro"))));
  ASSERT_TRUE(wxRemoveFile(dir.Sub(wxS("codesys/kessel.PRO"))));
  ASSERT_TRUE(programs.LoadChildren());
  EXPECT_TRUE(programs.HasNoChildren());
  ASSERT_FALSE(view.entries.empty());
  EXPECT_EQ(3, view.entries[0].hint);
  EXPECT_EQ(serial, view.entries[0].serial);
}

TEST_F(ProgramFolders, ImportGoesToTheDevice) {
  CPOPrgCoDeSys codesys(&dev.Node(), dev.Handle());
  EXPECT_TRUE(codesys.HasCommandHandler(ID_IMPORT_CODESYS_PROJECT));
  EXPECT_TRUE(codesys.OnCmdMsg(ID_IMPORT_CODESYS_PROJECT, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ(1, dev.ImportCommands());
  // Without a device nobody takes it, and the routing goes on.
  CPOPrgCoDeSys orphan;
  EXPECT_FALSE(orphan.OnCmdMsg(ID_IMPORT_CODESYS_PROJECT, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ(1, dev.ImportCommands());
}

TEST_F(ProgramFolders, DownloadFailsWithAReasonAndLeavesTheReportToTheCaller) {
  ScriptedUi ui;   // any message would fail the test
  Write("codesys/Anlage.pro");
  CPOCoDeSys program(nullptr, dev.Handle());
  int error = 0;
  EXPECT_FALSE(program.Download(TRUE, &error));
  EXPECT_EQ(CODESYS_NO_CONFIGURATION, error);
  EXPECT_FALSE(program.Download(TRUE, nullptr));
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST_F(ProgramFolders, ProgramKindsThisVersionCannotMakeAreRefused) {
  ScriptedUi ui;
  for (TypeCode kind : {TypeCode::TavSim, TypeCode::TavSimSource, TypeCode::CoDeSys, TypeCode::ProGRIPS}) {
    ui.ExpectMessage(10960);
    auto prototype = CProjectObject::CreateObjectOfType(kind);
    EXPECT_FALSE(prototype->CreateNew(&dev.Node(), dev.Handle(), nullptr));
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(dev.Node().HasNoChildren());
}
