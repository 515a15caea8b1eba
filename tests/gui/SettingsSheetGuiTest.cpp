// The settings sheet in the real window: opened from the "Extras" menu with the
// keyboard, filled in with the pointer and keys, confirmed with OK; an independent INI
// reader finds every key of the pages, with what the user typed. On a fresh profile OK
// takes the defaults as they are. Cancel leaves the profile as it was.
#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/textctrl.h>

#include <cstdio>

#include "app/ui/Dialogs.h"
#include "app/ui/MainFrame.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"

namespace {

using namespace std::chrono_literals;

class SettingsSheetGui : public hvtest::ProjectWindowFixture {
 protected:
  void SetUp() override {
    RegisterSetupDialogs();
    hv::MakeFolders(home.Sub("Projekte"));
    Open();
    frame->SetFocus();
    hvtest::Pump(100ms);
  }
  // Walks the four pages with Ctrl+PageDown, then OK.
  void VisitEveryPageThenOK(hvtest::DialogScripts& user, bool& sawPages) {
    user.Then([&](wxDialog* dlg) {
      for (int id : {1043, 1053, 1046}) {
        hvtest::PressKey(WXK_PAGEDOWN, wxMOD_CONTROL);
        ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(id)->IsShownOnScreen(); }, 2s)) << id;
      }
      sawPages = true;
      hvtest::ClickOn(dlg->FindWindow(wxID_OK));
    });
  }
  // "&Extras" > "&Einstellungen..." as the keyboard reaches it.
  void OpenSettingsFromTheMenu() {
    hvtest::PressKey('e', wxMOD_ALT);
    hvtest::Pump(200ms);
    hvtest::PressKey('e');
  }
  // The sections and keys python3's configparser finds, "section/key=value" per line.
  std::string ReadWithConfigParser() {
    const std::string cmd = "/usr/bin/python3 -c \"import configparser,sys\n"
                            "c=configparser.ConfigParser(interpolation=None)\nc.optionxform=str\n"
                            "c.read(sys.argv[1], encoding='cp1252')\n"
                            "[print(s+'/'+k+'='+v) for s in c.sections() for k,v in c[s].items()]\" '" +
                            hv::ToUtf8(profile) + "'";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
      char buf[512];
      while (fgets(buf, sizeof buf, p)) out += buf;
      pclose(p);
    }
    return out;
  }
  wxString profile = home.Sub("Project.INI");
};

TEST_F(SettingsSheetGui, EveryKeyIsWrittenWithTheTypedPaths) {
  // Download settings the installed plug-ins serve.
  hvtest::WriteAll(profile, "[Download]\r\nNetwork=SIMNET\r\nDevice=CAN_R515\r\nSlot=SIM_0\r\nNode=1\r\n");
  hvtest::DialogScripts user;
  bool sawPages = false;
  user.Then([&](wxDialog* dlg) {
    hvtest::SaveScreenshot(dlg, "settings-general");
    ASSERT_TRUE(hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1134)), home.Sub("Projekte") + "/"));
    hvtest::PressKey(WXK_PAGEDOWN, wxMOD_CONTROL);
    auto* program = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1043));
    ASSERT_TRUE(hvtest::PumpUntil([&] { return program && program->IsShownOnScreen(); }, 2s));
    hvtest::SaveScreenshot(dlg, "settings-programs");
    ASSERT_TRUE(hvtest::TypeInto(program, "/usr/bin/gimp"));
    hvtest::PressKey(WXK_PAGEDOWN, wxMOD_CONTROL);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(1053)->IsShownOnScreen(); }, 2s));
    hvtest::SaveScreenshot(dlg, "settings-tavsim");
    hvtest::ClickOn(dlg->FindWindow(1053));
    hvtest::PressKey(WXK_PAGEDOWN, wxMOD_CONTROL);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return dlg->FindWindow(1046)->IsShownOnScreen(); }, 2s));
    hvtest::SaveScreenshot(dlg, "settings-download");
    sawPages = true;
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
  });
  OpenSettingsFromTheMenu();
  ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 20s));
  hvtest::Pump(200ms);
  EXPECT_TRUE(sawPages);
  EXPECT_EQ(user.unexpected, 0);
  const std::string keys = ReadWithConfigParser();
  for (const std::string& line : std::vector<std::string>{"Download/Network=SIMNET\n", "Download/Device=CAN_R515\n", "Download/Slot=SIM_0\n",
                                 "Download/Node=1\n", "Download/NetworkPara=300,123kBaud\n", "Download/DevicePara=\n",
                                 "Config/ProjectPath=" + hv::ToUtf8(home.Sub("Projekte")) + "\n", "Config/Prefix=0\n",
                                 "Programs/Bitmap=/usr/bin/gimp\n", "Programs/Font=FontEdit\n", "Programs/Editor=NotePad.exe\n",
                                 "Compiler/80960=Microtec\n", "Keil/Version=V4.01\n"})
    EXPECT_NE(keys.find(line), std::string::npos) << line << keys;
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(SettingsSheetGui, AFreshProfileTakesOKAndEveryKeyIsThere) {
  hvtest::DialogScripts user;
  bool sawPages = false;
  VisitEveryPageThenOK(user, sawPages);
  OpenSettingsFromTheMenu();
  ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 20s));
  hvtest::Pump(200ms);
  EXPECT_TRUE(sawPages);
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.MessageIds().empty()) << ui.MessageIds().front();
  const std::string keys = ReadWithConfigParser();
  std::vector<std::string> expected = {"Config/ProjectPath", "Config/Prefix", "Programs/Editor"};
  for (const char* k : {"Bitmap", "Font", "CoDeSys", "Html", "xml", "Internet Browser", "FTP Browser", "Bildschirmtastatur"})
    expected.push_back(std::string("Programs/") + k);
  for (const char* k : {"Simulation", "80515", "80167", "80960"}) expected.push_back(std::string("Compiler/") + k);
  for (const char* s : {"MSDev", "Keil", "GNU", "Microtec"})
    for (const char* k : {"/Path", "/Version"}) expected.push_back(s + std::string(k));
  for (const char* k : {"DevicePara", "NetworkPara", "Node", "Slot", "Network", "Device"})
    expected.push_back(std::string("Download/") + k);
  for (const std::string& key : expected) EXPECT_NE(keys.find(key + "="), std::string::npos) << key << "\n" << keys;
  EXPECT_EQ(keys.find("Download/Node=M0"), std::string::npos) << "the device refuses this node";
}

TEST_F(SettingsSheetGui, CancelLeavesTheProfileByteIdentical) {
  const std::string before = hvtest::ReadAll(profile);
  hvtest::DialogScripts user;
  user.Then([&](wxDialog* dlg) {
    ASSERT_TRUE(hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1134)), "/"));
    hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
  });
  OpenSettingsFromTheMenu();
  ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 20s));
  hvtest::Pump(200ms);
  EXPECT_EQ(hvtest::ReadAll(profile), before);
}

}  // namespace
