// Each operation killed at each step that changes a file: the next start (the clean-up
// and the project's load) finds every table whole, every row that was stored, and the
// device as it was or as it was to become, never something in between.
#include <shapefil.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <set>
#include <string>

#include "model/BackupController.h"
#include "model/KilledWork.h"
#include "model/ObjectFactory.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/model/DataPointTestSupport.h"
#include "tests/support/ForkedChild.h"
#include "tests/support/ZipTestSupport.h"

using namespace dptest;
namespace fs = std::filesystem;

namespace {

constexpr int kKilled = 128 + SIGKILL;
constexpr int kMaxSteps = 300;

void ResetFolder(const wxString& folder, const wxString& pristine) {
  hv::db::DropCachedTables();
  fs::remove_all(hv::ToFs(folder));
  fs::copy(hv::ToFs(pristine), hv::ToFs(folder), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

// What the device sheet does when the user renames the device "PanelX": its folder
// follows the name.
void RenameToPanelX(CPOPrjDevice& d, const wxString& projectFolder) {
  const wxString collapsed = d.CollapsePathMacros();
  d.SetName("PanelX");
  d.SetDeviceFolder(hv::JoinPath(projectFolder, "PanelX"));
  d.ExpandPathMacros(collapsed);
}

// The project backed up into `archive`, every question answered yes: 0 when it says it
// succeeded, else 2 (the exit status of a child run).
int BackUp(hvtest::ScriptedUi& ui, const wxString& projectFolder, const wxString& archive) {
  ui.AllowAnyMessage(IDYES);
  BackupRequest request;
  request.sourceFolder = projectFolder;
  request.projectName = "Anlage";
  BackupController backup(request);
  backup.SetArchiveCoDeSys(false);
  backup.TargetChosen(archive);
  return backup.Start() && backuptest::RunToEnd(backup) && request.succeeded ? 0 : 2;
}

struct Loaded {
  wxString name, node, slot;
  std::size_t points = 0;
  std::set<std::string> deviceNumbers;   // of the data points
};

// Every table of the folder opens with shapelib.
void ExpectTablesOpen(const wxString& folder, int step) {
  for (const wxString& entry : hv::ListFolder(folder)) {
    if (!entry.Upper().EndsWith(".DBF")) continue;
    DBFHandle h = DBFOpen(hv::ToFs(hv::JoinPath(folder, entry)).c_str(), "rb");
    EXPECT_TRUE(h) << hv::ToUtf8(entry) << " after step " << step;
    if (h) DBFClose(h);
  }
}

// What the next start shows: clean-up, then the project's own load.
std::vector<Loaded> NextStart(const wxString& projectFolder, int step) {
  hv::db::DropCachedTables();
  CleanUpKilledWork({projectFolder}, {});
  std::vector<Loaded> out;
  CPOProject fresh("Anlage", projectFolder);
  fresh.LoadChildren();
  for (CProjectObject* child : fresh.GetChildren()) {
    auto* d = dynamic_cast<CPOPrjDevice*>(child);
    if (!d) continue;
    Loaded l;
    l.name = d->GetName();
    l.node = wxString(d->GetNode()).Trim(true);
    l.slot = d->GetSlot();
    ExpectTablesOpen(d->GetDeviceFolder(), step);
    for (const wxString& entry : hv::ListFolder(d->GetDeviceFolder()))
      EXPECT_FALSE(entry.StartsWith(".")) << hv::ToUtf8(entry) << " after step " << step;
    for (const auto& row : ReadDbf(hv::JoinPath(d->GetDeviceFolder(), "DATPKT.DBF"))) {
      ++l.points;
      l.deviceNumbers.insert(row.at("GNR"));
    }
    out.push_back(l);
  }
  // Nothing of the killed work is left beside the devices.
  for (const wxString& entry : hv::ListFolder(projectFolder))
    EXPECT_FALSE(entry.StartsWith(".")) << hv::ToUtf8(entry) << " after step " << step;
  return out;
}

// Runs `operation` in a child killed at step 1, 2, ... until it completes; `check`
// sees what the next start finds. Returns the number of steps.
int KillAtEachStep(const wxString& folder, const std::function<int()>& operation,
                   const std::function<void(int step, bool completed)>& check) {
  const wxString pristine = folder + ".pristine";
  fs::copy(hv::ToFs(folder), hv::ToFs(pristine), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  int step = 1;
  for (; step < kMaxSteps; ++step) {
    ResetFolder(folder, pristine);
    const int status = hvtest::RunChild([&] {
      setenv("HALVORA_TEST_KILL_AT", std::to_string(step).c_str(), 1);
      return operation();
    });
    if (status != 0 && status != kKilled) ADD_FAILURE() << "child ended with " << status << " at step " << step;
    check(step, status == 0);
    if (status != kKilled) break;
  }
  ResetFolder(folder, pristine);
  fs::remove_all(hv::ToFs(pristine));
  EXPECT_LT(step, kMaxSteps);
  return step;
}

}  // namespace

TEST_F(DataPointFixture, KilledDeviceEditLeavesTheOldOrTheNewDevice) {
  ASSERT_TRUE(folder);
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8), Picked("8|M|W|82|0|0|1", 8)}, kDpAcceptAll));
  const wxString projectFolder_ = projectFolder;
  bool sawOld = false, sawNew = false;
  const int steps = KillAtEachStep(
      projectFolder,
      [&] {
        ui.AllowAnyMessage(IDNO);
        AnswerSheet(
            [projectFolder_](CPOPrjDevice& d) {
              RenameToPanelX(d, projectFolder_);
              d.SetNode("M9");
              d.SetSlot("CAN_1");
            },
            IDOK);
        device->OnEdit();
        return 0;
      },
      [&](int step, bool) {
        const std::vector<Loaded> devices = NextStart(projectFolder_, step);
        ASSERT_EQ(devices.size(), 1u) << "step " << step;
        const Loaded& d = devices[0];
        const bool isOld = d.name == "Panel" && d.node == "M1" && d.slot == "ETH_0";
        const bool isNew = d.name == "PanelX" && d.node == "M9" && d.slot == "CAN_1";
        EXPECT_TRUE(isOld || isNew) << "step " << step << ": " << d.name << " " << d.node << " " << d.slot;
        EXPECT_EQ(d.points, 2u) << "step " << step;
        (isOld ? sawOld : sawNew) = true;
      });
  EXPECT_GT(steps, 3);
  EXPECT_TRUE(sawOld);
  EXPECT_TRUE(sawNew);
}

TEST_F(DataPointFixture, KilledDevicePasteLeavesNoHalfDevice) {
  ASSERT_TRUE(folder);
  ASSERT_TRUE(Make({Picked("8|M|W|81|0|0|1", 8), Picked("8|M|W|82|0|0|1", 8)}, kDpAcceptAll));
  const wxString projectFolder_ = projectFolder;
  bool sawCopy = false;
  KillAtEachStep(
      projectFolder,
      [&] {
        ui.AllowAnyMessage();
        hv::Archive out;
        WriteArchivedObject(out, *device);
        hv::Archive in(out.Bytes());
        std::unique_ptr<CProjectObject> pasted = ReadArchivedObject(in);
        return pasted && pasted->ReadFromClipboard(in, project) ? 0 : 2;
      },
      [&](int step, bool completed) {
        const std::vector<Loaded> devices = NextStart(projectFolder_, step);
        ASSERT_TRUE(devices.size() == 1 || devices.size() == 2) << "step " << step;
        EXPECT_EQ(devices[0].name, "Panel");
        EXPECT_EQ(devices[0].points, 2u);
        if (completed) {
          EXPECT_EQ(devices.size(), 2u);
        }
        if (devices.size() < 2) return;
        sawCopy = true;
        EXPECT_EQ(devices[1].name, "Panel1");
        // All of the copy's data points, and every one with the copy's own number.
        EXPECT_EQ(devices[1].points, 2u) << "step " << step;
        EXPECT_EQ(devices[1].deviceNumbers.size(), 1u) << "step " << step;
        EXPECT_NE(devices[1].deviceNumbers, devices[0].deviceNumbers) << "step " << step;
      });
  EXPECT_TRUE(sawCopy);
}

TEST_F(DataPointFixture, KilledDataPointCreationKeepsTheTableWhole) {
  ASSERT_TRUE(folder);
  const wxString table = hv::JoinPath(Folder(), "DATPKT.DBF");
  const std::size_t before = ReadDbf(table).size();
  const wxString projectFolder_ = projectFolder;
  KillAtEachStep(
      projectFolder,
      [&] {
        std::vector<PickedDataPoint> picks;
        for (int i = 0; i < 4; ++i) picks.push_back(Picked(wxString::Format("8|M|W|%d|0|0|1", 90 + i), 8));
        return Make(picks, kDpAcceptAll) ? 0 : 2;
      },
      [&](int step, bool completed) {
        const std::vector<Loaded> devices = NextStart(projectFolder_, step);
        ASSERT_EQ(devices.size(), 1u);
        const std::size_t rows = devices[0].points;
        EXPECT_GE(rows, before);
        EXPECT_LE(rows, before + 4);
        if (completed) {
          EXPECT_EQ(rows, before + 4);
        }
        // The table takes the next row at once, behind every stored one.
        hv::db::Table t;
        ASSERT_TRUE(t.open(Folder(), hv::db::DatpktSchema())) << t.error();
        hv::db::DatpktRow row;
        row.name = wxS("Danach");
        row.device = 1;
        ASSERT_TRUE(hv::db::datpkt_insert(t, row)) << t.error();
        t.close();
        hv::db::DropCachedTables();
        EXPECT_EQ(ReadDbf(table).size(), rows + 1) << "step " << step;
      });
}

// A backup killed while its archive is written: the old archive stays as it was, and the
// next start removes the half-written one.
TEST_F(DataPointFixture, KilledBackupKeepsTheOldArchiveAndLeavesNothing) {
  ASSERT_TRUE(folder);
  // Enough data that the archive takes a moment to write.
  std::string noise(24 << 20, '\0');
  std::uint32_t x = 12345;
  for (char& c : noise) c = static_cast<char>((x = x * 1664525u + 1013904223u) >> 24);
  hvtest::WriteAll(hv::JoinPath(Folder(), "Resource/noise.bin"), noise);
  const wxString backups = home.Sub("Backups");
  const wxString archive = hv::JoinPath(backups, "Anlage.zip");
  hv::MakeFolders(backups);
  hvtest::WriteAll(archive, "old archive");
  int kills = 0;
  for (const std::uintmax_t killAt : {std::uintmax_t{1}, std::uintmax_t{8} << 20, std::uintmax_t{20} << 20}) {
    const pid_t pid = hvtest::StartChild([&] {
      return BackUp(ui, projectFolder, archive);
    });
    // Killed once the half-written archive has grown this far.
    bool killed = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!killed && std::chrono::steady_clock::now() < deadline) {
      for (const auto& e : fs::directory_iterator(hv::ToFs(backups))) {
        std::error_code ec;
        if (e.path().filename().string().find(".part-") != std::string::npos && fs::file_size(e.path(), ec) >= killAt) {
          kill(pid, SIGKILL);
          killed = true;
        }
      }
      if (!killed && waitpid(pid, nullptr, WNOHANG) == pid) break;   // done before it grew that far
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const int status = hvtest::WaitChild(pid);
    CleanUpKilledWork({}, {backups});
    EXPECT_EQ(hv::ListFolder(backups), std::vector<wxString>{"Anlage.zip"}) << killAt;
    if (killed) {
      ++kills;
      EXPECT_EQ(hvtest::ReadAll(archive), "old archive") << killAt;
    } else {
      EXPECT_EQ(status, 0);
      hvtest::WriteAll(archive, "old archive");
    }
  }
  EXPECT_GT(kills, 0);
}

// A rename killed at each step: where the device has its new name, the row that stands
// for it in another device's table has it too, and where it has the old one, so has the row.
TEST_F(DataPointFixture, KilledRenameTakesTheReferencesInOtherTablesAlong) {
  ASSERT_TRUE(folder);
  CPOPrjDevice* peer = Create(devtest::Named("Peer"));
  ASSERT_TRUE(peer);
  const wxString peerFolder = peer->GetDeviceFolder();
  {
    hv::db::Table t;
    ASSERT_TRUE(t.open(peerFolder, hv::db::GeraetSchema()));
    hv::db::GeraetRow row;
    row.name = "Panel";
    row.network = 1;
    row.param = "x;$$$PROJECTPATH$$$\\Panel\\CoDeSys\\plc.sym;Panel";
    ASSERT_TRUE(hv::db::geraet_insert(t, row));
  }
  const auto peerRowName = [peerFolder] {
    std::set<std::string> names;
    for (const auto& row : ReadDbf(hv::JoinPath(peerFolder, "GERAET.DBF"))) names.insert(row.at("BEZEICH"));
    return names;
  };
  const wxString projectFolder_ = projectFolder;
  bool sawOld = false, sawNew = false;
  KillAtEachStep(
      projectFolder,
      [&] {
        ui.AllowAnyMessage(IDNO);
        AnswerSheet([projectFolder_](CPOPrjDevice& d) { RenameToPanelX(d, projectFolder_); }, IDOK);
        device->OnEdit();
        return 0;
      },
      [&](int step, bool) {
        const std::vector<Loaded> devices = NextStart(projectFolder_, step);
        ASSERT_EQ(devices.size(), 2u) << "step " << step;
        const bool isNew = devices[0].name == "PanelX" || devices[1].name == "PanelX";
        const std::set<std::string> expected{"Peer", isNew ? "PanelX" : "Panel"};
        EXPECT_EQ(peerRowName(), expected) << "step " << step;
        (isNew ? sawNew : sawOld) = true;
      });
  EXPECT_TRUE(sawOld);
  EXPECT_TRUE(sawNew);
}

// A backup killed at each step of its archive (made, each entry, replacing the old one):
// the old archive stays until the new one is whole, and the next start leaves only one.
TEST_F(DataPointFixture, BackupKilledAtEachStepKeepsTheOldArchiveOrAWholeNewOne) {
  ASSERT_TRUE(folder);
  for (int i = 0; i < 3; ++i) hvtest::WriteAll(hv::JoinPath(Folder(), wxString::Format("Resource/r%d.txt", i)), "res");
  const wxString backups = home.Sub("Backups");
  const wxString archive = hv::JoinPath(backups, "Anlage.zip");
  hv::MakeFolders(backups);
  hvtest::WriteAll(archive, "old archive");
  bool sawOld = false, sawNew = false;
  int step = 1;
  for (; step < kMaxSteps; ++step) {
    const int status = hvtest::RunChild([&] {
      setenv("HALVORA_TEST_KILL_AT", std::to_string(step).c_str(), 1);
      return BackUp(ui, projectFolder, archive);
    });
    ASSERT_TRUE(status == 0 || status == kKilled) << status << " at step " << step;
    CleanUpKilledWork({}, {backups});
    EXPECT_EQ(hv::ListFolder(backups), std::vector<wxString>{"Anlage.zip"}) << "step " << step;
    if (hvtest::ReadAll(archive) == "old archive") {
      sawOld = true;
      EXPECT_NE(status, 0) << "step " << step;
    } else {
      sawNew = true;
      if (ziptest::HaveProgram("unzip")) {
        std::string out;
        EXPECT_EQ(ziptest::RunCommand("unzip -tq " + ziptest::Quote(archive), &out), 0) << out << " step " << step;
      }
    }
    if (status == 0) break;
    hvtest::WriteAll(archive, "old archive");
  }
  EXPECT_LT(step, kMaxSteps);
  EXPECT_GT(step, 8) << "a step for each entry";
  EXPECT_TRUE(sawOld);
  EXPECT_TRUE(sawNew);
}
