// Delete, paste and the CoDeSys project import of a device.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "framework/FolderCopy.h"
#include "framework/FolderUtils.h"
#include "framework/UpdateHints.h"
#include "model/DeviceTexts.h"
#include "model/ObjectFactory.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DeviceTestSupport.h"
#include "tests/platform/dbase/DbTestSupport.h"

using devtest::DeviceFixture;
using devtest::Names;
using devtest::Named;
using devtest::NewDevice;
using hvtest::S;

namespace {

// Copies the device to the clipboard's archive and pastes it into the project as the
// clipboard transfer does; the pasted device, or nullptr.
CPOPrjDevice* Paste(CPOPrjDevice& source, CPOProject& project) {
  hv::Archive out;
  WriteArchivedObject(out, source);
  hv::Archive in(out.Bytes());
  std::unique_ptr<CProjectObject> pasted = ReadArchivedObject(in);
  if (!pasted || !pasted->ReadFromClipboard(in, &project)) {
    CProjectObject::Discard(std::move(pasted));
    return nullptr;
  }
  return dynamic_cast<CPOPrjDevice*>(project.AddChild(std::move(pasted)));
}

std::vector<std::string> RowNames(const wxString& folder) {
  std::vector<std::string> names;
  hv::db::DropCachedTables();
  dbtest::ShapeReader r(hv::JoinPath(folder, "GERAET.DBF"));
  for (int i = 0; r.ok() && i < r.count(); ++i)
    if (!r.deleted(i)) names.push_back(r.str(i, "BEZEICH"));
  return names;
}

void AddRow(const wxString& folder, const wxString& name) {
  hv::db::Table t;
  ASSERT_TRUE(t.open(folder, hv::db::GeraetSchema()));
  hv::db::GeraetRow row;
  row.name = name;
  row.network = 1;
  ASSERT_TRUE(hv::db::geraet_insert(t, row));
}

}  // namespace

TEST_F(DeviceFixture, DeleteIsRefusedOnceWhileTheGraphToolOrDesignerRuns) {
  CPOPrjDevice* device = Create(Named("Panel"));
  ASSERT_TRUE(device);
  for (const auto& [program, message] : {std::pair<const char*, UINT>{"Tav3.exe", 10074}, {"Skizzar.exe", 10165}}) {
    const std::string running = program;
    hvtest::FakeProcesses processes([running](const wxString& p) { return p == running; });
    ui.ExpectMessage(10030, IDYES);
    ui.ExpectMessage(message);
    device->SetSelectionState(TRUE, FALSE, TRUE);
    device->OnCmdMsg(ID_DEVICE_DELETE, CN_COMMAND, nullptr, nullptr);
    EXPECT_TRUE(ui.AllExpectationsMet());
    EXPECT_FALSE(device->IsMultipleSelection());   // the other selected devices stay
    EXPECT_TRUE(hv::IsFolder(device->GetDeviceFolder()));
    EXPECT_EQ(Find("Panel"), device);
  }
}

TEST_F(DeviceFixture, DeleteRemovesFolderAndNodeOnlyWhenConfirmed) {
  CPOPrjDevice* device = Create(Named("Panel"));
  ASSERT_TRUE(device);
  hvtest::FakeProcesses processes([](const wxString&) { return false; });
  ui.ExpectMessage(10030, IDNO);
  device->OnDelete();
  EXPECT_TRUE(hv::IsFolder(DeviceFolder("Panel")));

  view.entries.clear();
  ui.ExpectMessage(10030, IDYES);
  {
    DispatchScope scope;
    device->OnDelete();
    ASSERT_FALSE(view.entries.empty());
    EXPECT_EQ(view.entries[0].hint, HINT_OBJECT_REMOVED);
    EXPECT_EQ(view.entries[0].object, device);
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(hv::PathExists(DeviceFolder("Panel")));
  EXPECT_EQ(project->GetChildCount(), 0u);
}

TEST_F(DeviceFixture, FailedDeleteNamesTheProgramsThatMayHoldFiles) {
  CPOPrjDevice* device = Create(Named("Panel"));
  ASSERT_TRUE(device);
  // The user folder is never deleted: a folder that stays.
  device->SetDeviceFolder(home.Path());
  hvtest::FakeProcesses processes([](const wxString& p) { return p == "codesys.exe" || p == "gateway.exe"; });
  ui.ExpectMessage(10030, IDYES);
  ui.ExpectMessage(10610);
  ui.ExpectMessage(10611);
  device->OnDelete();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(Find("Panel"), device);
}

TEST_F(DeviceFixture, PastedDeviceGetsAFreeNameAndItsOwnFolderAndRow) {
  CPOPrjDevice* source = Create(Named("Anlage"));
  ASSERT_TRUE(source);
  AddRow(source->GetDeviceFolder(), "Anlage1");
  CPOPrjDevice* pasted = Paste(*source, *project);
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->GetName(), "Anlage2");
  EXPECT_EQ(pasted->GetDeviceFolder(), DeviceFolder("Anlage2"));
  EXPECT_EQ(pasted->GetHardwareType(), "KOLM_G320");
  EXPECT_EQ(pasted->GetDeviceParameters(), "CAN_R515;" + DeviceFolder("Anlage2") + "\\CoDeSys\\plc.sym;127.0.0.7");
  EXPECT_EQ(Names(DeviceFolder("Anlage2")), Names(DeviceFolder("Anlage")));
  EXPECT_EQ(RowNames(DeviceFolder("Anlage2")), (std::vector<std::string>{"Anlage1", "Anlage2"}));
  EXPECT_EQ(RowNames(DeviceFolder("Anlage")), (std::vector<std::string>{"Anlage", "Anlage1"}));
  EXPECT_TRUE(pasted->GetConfigAccess().LoadDeviceConfig());
}

// The pasted folder was made in private, but is published as a plain mkdir would make it.
TEST_F(DeviceFixture, APastedDeviceFolderFollowsTheUmask) {
  CPOPrjDevice* source = Create(Named("Anlage"));
  ASSERT_TRUE(source);
  for (const mode_t mask : {mode_t{022}, mode_t{077}}) {
    const mode_t before = umask(mask);
    CPOPrjDevice* pasted = Paste(*source, *project);
    umask(before);
    ASSERT_TRUE(pasted);
    struct stat st;
    ASSERT_EQ(stat(hv::ToFs(pasted->GetDeviceFolder()).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0777 & ~mask) << std::oct << mask;
  }
}

// The copy is a device of its own: a new number that its data points follow, and its
// row's columns filled at once as after a reload.
TEST_F(DeviceFixture, APastedDeviceHasItsOwnNumberAndItsColumnsAtOnce) {
  using namespace hv::db;
  CPOPrjDevice* source = Create(Named("Anlage"));
  ASSERT_TRUE(source);
  {
    Table t;
    ASSERT_TRUE(t.open(source->GetDeviceFolder(), DatpktSchema()));
    DatpktRow dp;
    dp.name = "Druck";
    dp.device = static_cast<std::uint16_t>(source->GetDeviceNumber());
    ASSERT_TRUE(datpkt_insert(t, dp));
  }
  CPOPrjDevice* pasted = Paste(*source, *project);
  ASSERT_TRUE(pasted);
  EXPECT_NE(pasted->GetDeviceNumber(), source->GetDeviceNumber());
  EXPECT_EQ(pasted->GetColumnText(1), source->GetColumnText(1));
  // The driver column names the plug-in as its list did, not by its key.
  EXPECT_EQ(pasted->GetColumnText(2), wxS("CAN R515 Panel-Treiber"));
  Table copied;
  ASSERT_TRUE(copied.open(pasted->GetDeviceFolder(), DatpktSchema()));
  DatpktRow dp;
  ASSERT_TRUE(datpkt_select(copied, dp, kSeek, "GNR", {static_cast<std::uint16_t>(pasted->GetDeviceNumber())}));
  EXPECT_EQ(wxString(dp.name).Trim(), "Druck");
  // After a reload the device reads the same number from its own row.
  auto reloaded = LoadProjectDevice(*project, pasted->GetDeviceFolder());
  ASSERT_TRUE(reloaded);
  EXPECT_EQ(reloaded->GetDeviceNumber(), pasted->GetDeviceNumber());
  EXPECT_EQ(reloaded->GetColumnText(2), pasted->GetColumnText(2));
}

TEST_F(DeviceFixture, PastedNamesStayWithinThirtyCharacters) {
  const wxString name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";   // 30
  CPOPrjDevice* source = Create(Named(name));
  ASSERT_TRUE(source);
  CPOPrjDevice* first = Paste(*source, *project);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->GetName(), name.Left(29) + "1");
  for (int n = 2; n <= 9; ++n) hv::MakeFolders(DeviceFolder(name.Left(29) + wxString::Format("%d", n)));
  CPOPrjDevice* tenth = Paste(*source, *project);
  ASSERT_TRUE(tenth);
  EXPECT_EQ(tenth->GetName(), name.Left(28) + "10");
  EXPECT_TRUE(hv::IsFolder(DeviceFolder(name.Left(28) + "10")));
}

TEST_F(DeviceFixture, FailedOrHostilePasteLeavesNoFolder) {
  CPOPrjDevice* source = Create(Named("Anlage"));
  ASSERT_TRUE(source);
  const std::vector<std::string> before = Names(projectFolder);
  {
    hvtest::FileSizeLimit limit(3000);   // the hardware picture does not fit
    ui.ExpectMessage(11961);              // and the user learns why
    EXPECT_FALSE(Paste(*source, *project));
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().back().Contains(S("kein Platz"))) << ui.MessageTexts().back();
  EXPECT_EQ(Names(projectFolder), before);

  // A name from the clipboard that is no folder name, or a folder that is no device.
  CPOPrjDevice crafted;
  crafted.CopyDevice(*source);
  crafted.SetName("../Anlage");
  EXPECT_FALSE(Paste(crafted, *project));
  crafted.SetName("Fremd");
  crafted.SetDeviceFolder(home.Path());
  EXPECT_FALSE(Paste(crafted, *project));
  EXPECT_EQ(Names(projectFolder), before);
  EXPECT_EQ(Names(hv::PathFolder(projectFolder)), std::vector<std::string>{"Anlage"});
}

// The copy shows its progress under the device's name; cancelled, it leaves nothing.
TEST_F(DeviceFixture, ACancelledPasteCopyLeavesNoHalfDevice) {
  CPOPrjDevice* source = Create(Named("Anlage"));
  ASSERT_TRUE(source);
  const std::vector<std::string> before = Names(projectFolder);
  std::vector<wxString> titles;
  ui.Answer<FolderCopyRequest>([&titles](FolderCopyRequest& r) {
    titles.push_back(r.title);
    r.operation->Cancel();   // "Abbrechen" before the first file is through
    r.operation->RunToEnd();
    return static_cast<int>(IDCANCEL);
  });
  EXPECT_FALSE(Paste(*source, *project));
  EXPECT_EQ(titles, std::vector<wxString>{S("Gerät 'Anlage' wird kopiert.")});
  EXPECT_EQ(Names(projectFolder), before);
}

TEST_F(DeviceFixture, CoDeSysProjectIsCopiedAskingBeforeOverwriting) {
  CPOPrjDevice* device = Create(Named("Panel"));
  ASSERT_TRUE(device);
  const wxString source = home.Sub("in/Linie.pro");
  hvtest::WriteAll(source, "v1");
  chmod(hv::ToFs(source).c_str(), 0444);
  ui.Answer<OpenFileRequest>([source](OpenFileRequest& r) {
    EXPECT_EQ(r.filter, "CoDeSys Projektdatei (*.pro)|*.pro|");
    EXPECT_EQ(r.fileName, "*.pro");
    r.path = source;
    return static_cast<int>(IDOK);
  });
  const wxString target = hv::JoinPath(device->GetDeviceFolder(), "CoDeSys/Linie.pro");
  view.entries.clear();
  device->OnCmdMsg(ID_DEVICE_IMPORT_CODESYS, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(hvtest::ReadAll(target), "v1");
  struct stat st;
  ASSERT_EQ(stat(hv::ToFs(target).c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IWUSR);
  ASSERT_FALSE(view.entries.empty());
  EXPECT_EQ(view.entries.back().hint, HINT_REBUILD_TREE);

  chmod(hv::ToFs(source).c_str(), 0644);
  hvtest::WriteAll(source, "v2");
  ui.ExpectMessage(10206, IDNO);
  device->ImportCoDeSysProject();
  EXPECT_EQ(hvtest::ReadAll(target), "v1");
  ui.ExpectMessage(10206, IDYES);
  device->ImportCoDeSysProject();
  EXPECT_EQ(hvtest::ReadAll(target), "v2");
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// A file whose name is not UTF-8 stays where it is; the paste goes on and says so.
TEST_F(DeviceFixture, PasteLeavesNamesThatAreNoTextAloneAndSaysSo) {
  CPOPrjDevice* source = Create(Named("Anlage"));
  ASSERT_TRUE(source);
  const std::string odd = hv::ToFs(DeviceFolder("Anlage")) + "/Resource/Bild\xe4.bmp";
  hv::MakeFolders(hv::JoinPath(DeviceFolder("Anlage"), "Resource"));
  FILE* f = fopen(odd.c_str(), "wb");
  ASSERT_TRUE(f);
  fputs("bild", f);
  fclose(f);
  ui.ExpectMessage(11962);
  CPOPrjDevice* pasted = Paste(*source, *project);
  ASSERT_TRUE(pasted);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().back().Contains(wxS("Bild"))) << ui.MessageTexts().back();
  EXPECT_TRUE(hv::UnreadableNames(hv::JoinPath(pasted->GetDeviceFolder(), "Resource")).empty());
  struct stat st;
  EXPECT_EQ(stat(odd.c_str(), &st), 0);   // left alone
  EXPECT_EQ(CountFilesToCopy(DeviceFolder("Anlage")), CountFilesToCopy(pasted->GetDeviceFolder()));
}
