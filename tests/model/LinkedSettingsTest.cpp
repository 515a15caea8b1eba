// Settings files that are links or other non-regular files: never written through,
// never copied into the project, and a backup that leaves one out says so.
#include <sys/stat.h>
#include <unistd.h>

#include "model/BackupController.h"
#include "model/DeviceTexts.h"
#include "platform/Paths.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/model/DeviceTestSupport.h"

using devtest::DeviceFixture;
using devtest::Named;

TEST_F(DeviceFixture, SettingsFileThatIsALinkIsRefusedAndLeftAlone) {
  CPOPrjDevice* device = Create(Named("Panel"));
  ASSERT_TRUE(device);
  const wxString settings = hv::JoinPath(DeviceFolder("Panel"), "DEVICE.SET");
  const wxString outside = home.Sub("outside.txt");
  // The real settings moved away; the link points at a file outside the project.
  hvtest::WriteAll(outside, hvtest::ReadAll(settings) + "secret=1\r\n");
  const std::string before = hvtest::ReadAll(outside);
  ASSERT_EQ(unlink(hv::ToFs(settings).c_str()), 0);
  ASSERT_EQ(symlink(hv::ToFs(outside).c_str(), hv::ToFs(settings).c_str()), 0);

  AnswerSheet([](CPOPrjDevice& d) { d.SetNode("M7"); }, IDOK);
  ui.ExpectMessage(TXT_DEVICE_SETTINGS_FAILED);
  device->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());
  struct stat st;
  ASSERT_EQ(lstat(hv::ToFs(settings).c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(hvtest::ReadAll(outside), before);

  // A backup leaves the link out and says which file is missing.
  BackupRequest request;
  request.sourceFolder = projectFolder;
  request.projectName = "Anlage";
  BackupController backup(request);
  backup.SetArchiveCoDeSys(false);
  backup.TargetChosen(home.Sub("Anlage.zip"));
  ui.ExpectMessage(11966);
  ASSERT_TRUE(backup.Start());
  ASSERT_TRUE(backuptest::RunToEnd(backup));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().back().Contains("Anlage/Panel/DEVICE.SET")) << ui.MessageTexts().back();
  EXPECT_NE(backup.StatusText(), wxS("Sicherung erfolgreich"));
}
