// The folder picker's rules and the small dialogs' checks.
#include <gtest/gtest.h>

#include "framework/PathDialogRules.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(PathDialog, OkNeedsAnAbsoluteProjectFolder) {
  hvtest::TempDir dir;
  const wxString project = dir.Sub("Linie");
  hv::MakeFolders(project);
  EXPECT_FALSE(PathDialogAcceptsSelection(project));
  hvtest::WriteAll(hv::JoinPath(project, "PROJECT.SET"), "[Config]\r\n");
  EXPECT_TRUE(PathDialogAcceptsSelection(project));
  EXPECT_TRUE(PathDialogAcceptsSelection(project + "\\"));
  EXPECT_FALSE(PathDialogAcceptsSelection("Linie"));
  EXPECT_FALSE(PathDialogAcceptsTyped(""));
  EXPECT_TRUE(PathDialogAcceptsTyped("x"));
}

TEST(PathDialog, FolderNameRules) {
  for (const char* ok : {"Linie", "a b", "x.y", "Straße"}) EXPECT_TRUE(IsCreatableFolderName(S(ok))) << ok;
  for (const char* bad : {"", " a", "a ", "\ta", ".", "..", "a.", "a\"b", "a*b", "a:b", "a<b", "a>b", "a?b", "a|b",
                          "a\\b", "a/b"})
    EXPECT_FALSE(IsCreatableFolderName(S(bad))) << bad;
}

TEST(PathDialog, ConfirmCreatesLevelByLevelOrStaysOpen) {
  hvtest::TempDir dir;
  hvtest::ScriptedUi ui;
  PathDialogRequest r;

  // Existing folder: taken as it is (its spelling on disk).
  hv::MakeFolders(dir.Sub("Da"));
  EXPECT_EQ(ConfirmPathDialog(r, dir.Sub("DA/")), IDOK);
  EXPECT_EQ(r.pathName, dir.Sub("Da"));

  ui.ExpectMessage(10646, IDNO);
  EXPECT_EQ(ConfirmPathDialog(r, dir.Sub("Neu/Tief")), 0);
  EXPECT_EQ(ui.MessageTexts().back(),
            S("Der Ordner:\n\n") + dir.Sub("Neu/Tief") + S("\n\nexistiert nicht. Soll der Ordner angelegt werden?"));
  EXPECT_FALSE(hv::PathExists(dir.Sub("Neu")));

  ui.ExpectMessage(10646, IDYES);
  EXPECT_EQ(ConfirmPathDialog(r, dir.Sub("Neu\\Tief")), IDOK);
  EXPECT_TRUE(hv::IsFolder(dir.Sub("Neu/Tief")));
  EXPECT_EQ(r.pathName, dir.Sub("Neu/Tief"));

  // A name beginning with a blank stops the creation at that level.
  for (const wxString& bad : {dir.Sub("Gut/ schlecht/x"), dir.Sub("Gut/../x"), wxString("relativ/x")}) {
    ui.ExpectMessage(10646, IDYES);
    ui.ExpectMessage(10647);
    EXPECT_EQ(ConfirmPathDialog(r, bad), 0) << bad;
    EXPECT_TRUE(ui.AllExpectationsMet());
  }
  EXPECT_TRUE(hv::IsFolder(dir.Sub("Gut")));
  EXPECT_FALSE(hv::PathExists(dir.Sub("Gut/ schlecht")));
  EXPECT_EQ(ui.MessageTexts().back(),
            S("Der Ordner:\n\nrelativ/x\n\nkann nicht angelegt werden. Bitte überprüfen Sie die Eingabe."));

  // In English both read as the English program writes them.
  hvtest::TempHome home;
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" HV_TEST_SOURCE_DIR "/../data\"\n");
  ASSERT_TRUE(hv::InitMultiLanguage("Project", "ENG"));
  ui.ExpectMessage(10646, IDYES);
  ui.ExpectMessage(10647);
  EXPECT_EQ(ConfirmPathDialog(r, "relativ/x"), 0);
  hv::ResetLanguage();
  EXPECT_TRUE(ui.AllExpectationsMet());
  const std::vector<wxString> said(ui.MessageTexts().end() - 2, ui.MessageTexts().end());
  EXPECT_EQ(said, (std::vector<wxString>{
                      "The folder:\n\nrelativ/x\n\ndoes not exist. Do you want the folder to be created?",
                      "The folder:\n\nrelativ/x\n\ncan not be created. Please double check."}));
}

TEST(SmallDialogs, FtpLoginIsSavedOnlyWhenAsked) {
  struct Device {
    std::map<wxString, wxString> config;
    BOOL WriteConfigString(const wxString& k, const wxString& v) {
      config[k] = v;
      return TRUE;
    }
  } device;
  UserPwdRequest login{"admin", "geheim", true};
  EXPECT_TRUE(login.SaveToDevice(device));
  EXPECT_EQ(device.config["FtpPassword"], "geheim");
  login.save = false;
  login.SaveToDevice(device);
  EXPECT_EQ(device.config["FtpUsername"], "");
  EXPECT_EQ(device.config["FtpPassword"], "");
}
