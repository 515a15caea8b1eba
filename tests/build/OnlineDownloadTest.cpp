// The online download dialog's work through the online library and the real network
// drivers: SIMNET stores the file in its device's storage, whole or not at all; MBTCP
// says it takes no files; a cancelled download leaves the older copy as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "build/OnlineDownload.h"
#include "platform/Paths.h"
#include "platform/online/OnlineLibrary.h"
#include "tests/support/OnlineTestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

class OnlineDownload : public ::testing::Test {
 protected:
  OnlineDownload() : install({"TESTDEV.so"}) {
    sim = install.Sub("net/sim.ini");
    hvtest::WriteAll(sim, "[Device 4]\nType=COMBO_C167\n[Device 5]\nType=COMBO_C167\nError=24\n"
                          "[Device 6]\nType=COMBO_C167\nDownloadRate=200000\n");
    file = install.Sub("dev/resource/resource.res");
    std::string bytes;
    for (int i = 0; i < 300000; ++i) bytes.push_back(static_cast<char>(i * 31 & 0xFF));
    hvtest::WriteAll(file, bytes);
  }
  OnlineDownloadRequest Request(const wxString& node, const wxString& network = "SIMNET") {
    OnlineDownloadRequest r;
    r.caption = "Ressourcendatei downloaden";
    r.file = file;
    r.device = "Sim";
    r.network = network;
    r.slot = "SIM_0";
    r.networkPara = network == "SIMNET" ? "file=" + sim : wxString("host=127.0.0.1 port=1502");
    r.deviceDriver = "COMBO167";
    r.node = node;
    return r;
  }

  hvtest::PluginInstall install;
  hvtest::ScriptedUi ui;
  wxString sim;
  wxString file;
};

TEST_F(OnlineDownload, SimnetStoresTheFileInItsDevicesStorage) {
  OnlineDownloadRequest r = Request("4");
  OnlineDownloadController controller(r);
  EXPECT_EQ(OnlineDownloadController::Caption(), wxS("Ressourcendatei downloaden"));
  ASSERT_TRUE(controller.RunToEnd()) << r.message;
  EXPECT_EQ(controller.Percent(), 100);
  EXPECT_EQ(r.error, 0u);
  EXPECT_EQ(hvtest::ReadAll(install.Sub("net/download/4/resource.res")), hvtest::ReadAll(file));
  EXPECT_EQ(hv::ListFolder(install.Sub("net/download/4")), std::vector<wxString>{"resource.res"});
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST_F(OnlineDownload, FailuresAreNamedAndShown) {
  struct Case {
    const char* node;
    const char* network;
    DWORD error;
    const char* says;
  } cases[] = {
      {"9", "SIMNET", HV_ERR_BAD_ADDRESS, "Fehler 7"},   // no such device
      {"5", "SIMNET", HV_ERR_CONNECTION_LOST, "Fehler 24"},
      {"4", "MBTCP", HV_ERR_UNSUPPORTED, "nimmt über den Netzwerktreiber MBTCP keine Dateien an"},
      {"4", "NONET", HV_ERR_NO_DRIVER, "Der Netzwerktreiber NONET ist nicht installiert"},
  };
  for (const Case& c : cases) {
    ui.ExpectMessage(11820);
    OnlineDownloadRequest r = Request(c.node, c.network);
    OnlineDownloadController controller(r);
    EXPECT_FALSE(controller.RunToEnd()) << c.node << c.network;
    EXPECT_TRUE(ui.AllExpectationsMet()) << c.node << c.network;
    EXPECT_EQ(r.error, c.error) << c.node << c.network;
    EXPECT_TRUE(r.message.Contains(wxString::FromUTF8(c.says))) << r.message;
  }
  EXPECT_FALSE(hv::PathExists(install.Sub("net/download/5")));
}

TEST_F(OnlineDownload, CancelLeavesTheOlderCopyWhole) {
  hvtest::WriteAll(install.Sub("net/download/6/resource.res"), "older");
  OnlineDownloadRequest r = Request("6");
  OnlineDownloadController controller(r);
  ASSERT_TRUE(controller.Start());
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (controller.Percent() < 5 && !controller.Poll() && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_FALSE(controller.RequestClose());   // closing while it runs cancels instead
  while (!controller.Poll() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(controller.IsFinished());
  EXPECT_FALSE(r.succeeded);
  EXPECT_EQ(r.error, DWORD{HV_ERR_CANCELLED});
  EXPECT_TRUE(ui.MessageIds().empty());   // the user who cancelled is not told
  EXPECT_EQ(hvtest::ReadAll(install.Sub("net/download/6/resource.res")), "older");
  EXPECT_EQ(hv::ListFolder(install.Sub("net/download/6")), std::vector<wxString>{"resource.res"});
}

}  // namespace
