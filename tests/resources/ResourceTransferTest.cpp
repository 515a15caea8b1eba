// Web pages, keypad files and TrueType fonts sent to a panel: a pyftpdlib server on
// 127.0.0.1 stands in for it. Files arrive byte-identical, in order, where the
// commands send them; failures are reported and never taken for success.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>

#include "build/CeDownload.h"
#include "build/FtpDownloadController.h"
#include "model/DeviceSettings.h"
#include "platform/Paths.h"
#include "resources/Font.h"
#include "resources/Html.h"
#include "resources/HtmlFolder.h"
#include "resources/KeypadXML.h"
#include "resources/ResFont.h"
#include "resources/ResKeypad.h"
#include "resources/WebTransfer.h"
#include "tests/resources/ResourceFixture.h"
#include "tests/support/FtpTestServer.h"

using namespace hvtest;

namespace {

class ResourceTransfer : public ResourceFixture {
 protected:
  ResourceTransfer() {
    WriteAll(dir.Sub(wxS("web/index.htm")), "<html>index</html>");
    WriteAll(dir.Sub(wxS("web/app.js")), "var x = 1;");
    WriteAll(dir.Sub(wxS("keypads/a.xml")), "<keypad layout='b.bmp'/>");
    WriteAll(dir.Sub(wxS("keypads/b.bmp")), std::string("BM\0\1\2", 5));
    WriteAll(dir.Sub(wxS("keypads/c.bmp")), "BM");   // another keypad's
    WriteAll(dir.Sub(wxS("fonts/Arial.ttf")), std::string("ttf\0bytes", 9));
    SetLogin("pw");
    // The transfer dialog, run to its end as the program's dialog runs it.
    ui.Answer<FtpDownloadRequest>([this](FtpDownloadRequest& r) {
      FtpDownloadController controller(r);
      const bool done = controller.RunToEnd();
      transfers.push_back(r);
      return static_cast<int>(done ? IDOK : IDCANCEL);
    });
    ui.Answer<DownloadWebCERequest>([this](DownloadWebCERequest& r) {
      targets.push_back(r);
      return static_cast<int>(IDOK);
    });
  }
  void SetLogin(const char* password, const char* type = "CE_PANEL7") {
    WriteAll(dir.Sub(wxS("device.set")), std::string("[Config]\nType=") + type +
                                              "\nFtpUsername=dev\nFtpPassword=" + password + "\n");
  }
  bool Serve() {
    server.emplace(home.Sub(wxS("root")));
    dev.parameters = wxS("CE_TCP;sym;") + server->Address();
    return server->Port() > 0;
  }
  // The panel takes keypads over FTP; the keypad folder's "a.xml".
  CPOKeypadXML* KeypadXml() {
    dev.keypads = true;
    auto& keypads = AddFolder<CPOResKeypad>();
    EXPECT_TRUE(keypads.LoadChildren());
    return Child<CPOKeypadXML>(keypads, wxS("a.xml"));
  }
  wxString Root(const char* relative) { return server->Root() + wxS("/") + wxString::FromUTF8(relative); }
  std::vector<wxString> Stored() const { return server->Stored(); }

  std::optional<FtpTestServer> server;
  std::vector<FtpDownloadRequest> transfers;
  std::vector<DownloadWebCERequest> targets;
};

}  // namespace

TEST_F(ResourceTransfer, PagesGoToTheFileSystemAndSaveBinFollowsTheLastOnly) {
  ASSERT_TRUE(Serve());
  auto& root = AddFolder<CPOHtmlFolder>();
  ASSERT_TRUE(root.LoadChildren());
  auto* app = Child<CPOHtml>(root, wxS("app.js"));
  auto* index = Child<CPOHtml>(root, wxS("index.htm"));
  // Two selected pages: the first is not the last.
  app->SetSelectionState(TRUE, FALSE, TRUE);
  app->OnSend();
  index->SetSelectionState(FALSE, TRUE, TRUE);
  index->OnSend();
  EXPECT_EQ((std::vector<wxString>{wxS("vfs/web/app.js"), wxS("vfs/web/index.htm"), wxS("vfs/web/save.bin")}),
            Stored());
  EXPECT_EQ("<html>index</html>", ReadAll(Root("vfs/web/index.htm")));
  EXPECT_EQ("", ReadAll(Root("vfs/web/save.bin")));
  EXPECT_FALSE(hv::PathExists(dir.Sub(wxS("web/save.bin"))));
  EXPECT_TRUE(targets.empty());   // no card: no target to confirm
  EXPECT_EQ(wxS("dev"), transfers.at(0).user);
}

TEST_F(ResourceTransfer, TheArchiverDeviceSendsArchiveResourceAndStartInOrder) {
  ASSERT_TRUE(Serve());
  SetLogin("pw", "KOLM_IT1");
  WriteAll(dir.Sub(wxS("resource/resource.res")), "res-bytes");
  // A stand-in archiver on PATH, run in the web folder.
  TempDir bin;
  WriteAll(bin.Sub(wxS("webzarn")), "#!/bin/sh\nprintf zarn > webzarn.bin\n");
  chmod(hv::ToFs(bin.Sub(wxS("webzarn"))).c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (hv::ToFs(bin.Path()) + ":" + oldPath).c_str(), 1);
  auto& root = AddFolder<CPOHtmlFolder>();
  root.OnSend();
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_EQ((std::vector<wxString>{wxS("vfs/web/webzarn.bin"), wxS("vfs/resource.bin"), wxS("vfs/start.bin")}),
            Stored());
  EXPECT_EQ("zarn", ReadAll(Root("vfs/web/webzarn.bin")));
  EXPECT_EQ("res-bytes", ReadAll(Root("vfs/resource.bin")));
  EXPECT_FALSE(hv::PathExists(dir.Sub(wxS("web/webzarn.bin"))));
  EXPECT_FALSE(hv::PathExists(dir.Sub(wxS("resource/start.bin"))));
  EXPECT_FALSE(hv::PathExists(dir.Sub(wxS("resource/resource.bin"))));   // sent, not kept
  EXPECT_TRUE(hv::IsFile(dir.Sub(wxS("resource/resource.res"))));

  // An archiver that fails is reported and nothing is sent.
  WriteAll(bin.Sub(wxS("webzarn")), "#!/bin/sh\nexit 1\n");
  setenv("PATH", (hv::ToFs(bin.Path()) + ":" + oldPath).c_str(), 1);
  ui.ExpectMessage(11601);
  root.OnSend();
  setenv("PATH", oldPath.c_str(), 1);
  EXPECT_EQ(3u, Stored().size());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(ResourceTransfer, KeypadsAndTrueTypeFontsReachTheirFoldersOnThePanel) {
  ASSERT_TRUE(Serve());
  auto* xml = KeypadXml();
  ASSERT_TRUE(xml);
  ASSERT_TRUE(xml->Download());
  ASSERT_EQ(1u, targets.size());
  EXPECT_EQ(wxS("\\Flashdisk\\TavDesign"), targets[0].targetFolder);
  EXPECT_EQ(wxS("Keypad XML Config-Datei(en) downloaden"), targets[0].caption);
  EXPECT_EQ((std::vector<wxString>{wxS("Flashdisk/TavDesign/a.xml"), wxS("Flashdisk/TavDesign/b.bmp")}), Stored());
  EXPECT_EQ(std::string("BM\0\1\2", 5), ReadAll(Root("Flashdisk/TavDesign/b.bmp")));

  auto& fonts = AddFolder<CPOResFont>();
  ASSERT_TRUE(fonts.LoadChildren());
  auto* arial = Child<CPOFont>(fonts, wxS("Arial.ttf"));
  ASSERT_TRUE(arial);
  ASSERT_TRUE(arial->Download());
  EXPECT_EQ(wxS("Flashdisk/TavDesign/Fonts/Arial.ttf"), Stored().back());
  EXPECT_EQ(std::string("ttf\0bytes", 9), ReadAll(Root("Flashdisk/TavDesign/Fonts/Arial.ttf")));

  // Without FTP transfer the panel gets nothing.
  dev.keypads = false;
  EXPECT_FALSE(arial->Download());
  EXPECT_EQ(3u, Stored().size());
}

// A keypad names its pictures by their paths below its folder; one that is missing or
// lies outside the folder is reported by name and nothing is sent.
TEST_F(ResourceTransfer, APictureAKeypadCannotSendIsReportedAndNothingIsSent) {
  ASSERT_TRUE(Serve());
  auto* xml = KeypadXml();
  ASSERT_TRUE(xml);
  WriteAll(dir.Sub(wxS("secret.bmp")), "BM");
  struct Case {
    const char* xml;
    UINT message;
    const char* named;
  } cases[] = {
      {"<keypad><key image='b.bmp'/><key image='fehlt.gif'/></keypad>", 11910, "fehlt.gif"},
      {"<keypad layout='..\\secret.bmp'/>", 11911, "..\\secret.bmp"},
      {"<keypad layout='/etc/x.png'/>", 11911, "/etc/x.png"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml);
    WriteAll(dir.Sub(wxS("keypads/a.xml")), c.xml);
    ui.ExpectMessage(c.message);
    EXPECT_FALSE(xml->Download());
    EXPECT_TRUE(ui.AllExpectationsMet());
    ASSERT_FALSE(ui.MessageTexts().empty());
    EXPECT_TRUE(ui.MessageTexts().back().Contains(wxString::FromUTF8(c.named))) << ui.MessageTexts().back();
  }
  EXPECT_TRUE(Stored().empty());

  // Texts, comments and repeated names: each picture once, in the file's order.
  WriteAll(dir.Sub(wxS("keypads/a.xml")),
           "<?xml version='1.0'?><!-- c.bmp --><keypad layout='b.bmp'><key text='.'>B.BMP</key></keypad>");
  ASSERT_TRUE(xml->Download());
  EXPECT_EQ((std::vector<wxString>{wxS("Flashdisk/TavDesign/a.xml"), wxS("Flashdisk/TavDesign/b.bmp")}), Stored());
}

// The panel refuses the stored login: the login dialog asks for another, proposed with
// the stored user, until the panel takes one or the user cancels; what was entered is
// kept in DEVICE.SET with "Speichern" and both values are emptied without it.
TEST_F(ResourceTransfer, ARefusedLoginAsksForAnotherAndKeepsItAsTheDialogSays) {
  ASSERT_TRUE(Serve());
  auto* xml = KeypadXml();
  ASSERT_TRUE(xml);
  auto stored = [this](const char* key) {
    return CDeviceSettings(dir.Path()).GetSetting(wxS("Config"), wxString::FromUTF8(key), wxS("(none)"));
  };

  std::vector<UserPwdRequest> asked;
  std::vector<UserPwdRequest> answers;
  ui.Answer<UserPwdRequest>([&](UserPwdRequest& r) {
    asked.push_back(r);
    if (answers.empty()) return static_cast<int>(IDCANCEL);
    r = answers.front();
    answers.erase(answers.begin());
    return static_cast<int>(IDOK);
  });
  auto login = [](const char* user, const char* password, bool save) {
    UserPwdRequest r;
    r.user = wxString::FromUTF8(user);
    r.password = wxString::FromUTF8(password);
    r.save = save;
    return r;
  };

  // A wrong answer is asked about again; the right one is kept with "Speichern".
  SetLogin("falsch");
  answers = {login("dev", "nein", true), login("dev", "pw", true)};
  ASSERT_TRUE(xml->Download());
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].user, wxS("dev"));
  EXPECT_TRUE(asked[0].password.empty());
  EXPECT_EQ(transfers.size(), 3u);
  EXPECT_TRUE(transfers.back().succeeded);
  EXPECT_EQ(transfers.back().password, wxS("pw"));
  EXPECT_EQ(hvtest::ReadAll(Root("Flashdisk/TavDesign/a.xml")), "<keypad layout='b.bmp'/>");
  EXPECT_EQ(stored("FtpUsername"), wxS("dev"));
  EXPECT_EQ(stored("FtpPassword"), wxS("pw"));

  // Without "Speichern" both are emptied.
  SetLogin("falsch");
  WriteAll(dir.Sub(wxS("keypads/a.xml")), "<keypad changed/>");
  asked.clear();
  answers = {login("dev", "pw", false)};
  ASSERT_TRUE(xml->Download());
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(hvtest::ReadAll(Root("Flashdisk/TavDesign/a.xml")), "<keypad changed/>");
  EXPECT_EQ(stored("FtpUsername"), wxS(""));
  EXPECT_EQ(stored("FtpPassword"), wxS(""));

  // Cancel ends the transfer with the refusal's message and keeps the stored login.
  SetLogin("falsch");
  asked.clear();
  ui.ExpectMessage(11903);
  EXPECT_FALSE(xml->Download());
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(ui.MessageTexts().back().StartsWith(wxS("Das Gerät 127.0.0.1 hat die Anmeldung abgelehnt.")));
  EXPECT_EQ(stored("FtpPassword"), wxS("falsch"));

  // A login the device took but DEVICE.SET cannot hold (not Windows-1252) is said to be
  // unsaved; the file is sent all the same.
  FtpTestServer::Options options;
  options.password = wxString::FromUTF8("pw\u0416");
  server.emplace(home.Sub(wxS("root")), options);
  ASSERT_GT(server->Port(), 0);
  dev.parameters = wxS("CE_TCP;sym;") + server->Address();
  WriteAll(dir.Sub(wxS("keypads/a.xml")), "<keypad not saved/>");
  asked.clear();
  answers = {login("dev", "pw\u0416", true)};
  ui.ExpectMessage(11203);
  EXPECT_TRUE(xml->Download());
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hvtest::ReadAll(Root("Flashdisk/TavDesign/a.xml")), "<keypad not saved/>");
  EXPECT_EQ(stored("FtpPassword"), wxS("falsch"));
}

TEST_F(ResourceTransfer, AWrongPasswordOrAServerThatGoesAwayIsReportedNotDone) {
  ASSERT_TRUE(Serve());
  dev.keypads = true;
  SetLogin("falsch");
  auto& fonts = AddFolder<CPOResFont>();
  ASSERT_TRUE(fonts.LoadChildren());
  auto* arial = Child<CPOFont>(fonts, wxS("Arial.ttf"));
  ui.Answer<UserPwdRequest>([](UserPwdRequest&) { return static_cast<int>(IDCANCEL); });
  ui.ExpectMessage(11903);   // the login was refused
  EXPECT_FALSE(arial->Download());
  ASSERT_EQ(1u, transfers.size());
  EXPECT_FALSE(transfers[0].succeeded);
  EXPECT_NE(0u, transfers[0].messageId);
  EXPECT_FALSE(transfers[0].message.empty());

  SetLogin("pw");
  server->Kill();
  auto& root = AddFolder<CPOHtmlFolder>();
  ui.ExpectMessage(11902);   // no connection
  EXPECT_FALSE(web::SendPages(dev.Handle(), dir.Sub(wxS("web")), true));
  ASSERT_EQ(2u, transfers.size());
  EXPECT_FALSE(transfers[1].succeeded);
  EXPECT_FALSE(transfers[1].message.empty());
  // No save.bin is sent or left behind after a failed transfer.
  EXPECT_EQ(2u, transfers.size());
  EXPECT_FALSE(hv::PathExists(dir.Sub(wxS("web/save.bin"))));
  EXPECT_TRUE(Stored().empty());
  EXPECT_TRUE(ui.AllExpectationsMet());
  (void)root;
}
