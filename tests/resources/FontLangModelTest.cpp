#include <gtest/gtest.h>

#include "model/DeviceSettings.h"
#include "platform/Paths.h"
#include "resources/FontLangModel.h"
#include "tests/support/TestEnv.h"

using namespace hvtest;

namespace {

class FontLangModelTest : public ::testing::Test {
 protected:
  void Font(const char* relative) {
    hv::MakeFolders(hv::PathFolder(home.Sub(wxString::FromUTF8(relative))));
    WriteAll(home.Sub(wxString::FromUTF8(relative)), "x");
  }
  std::vector<wxString> Rows() {
    std::vector<wxString> rows;
    for (int r = 0; r < model.Rows(); ++r) rows.push_back(model.Row(r));
    return rows;
  }
  void Load() { model.Load(home.Path(), languages, 1031); }

  TempHome home;
  ScriptedUi ui;
  CFontLangModel model;
  std::vector<LANGUAGE> languages{{1033, wxS("Englisch")}, {1031, wxS("Deutsch")}};
};

}  // namespace

TEST_F(FontLangModelTest, RowsFromTheDeviceFontsOnceEach) {
  Font("fonts/Zeta.fnt");
  Font("fonts/alpha.FNT");
  Font("fonts/alpha.ttf");   // the same title as a bitmap font
  Font("Hardware/Mono.ttf");  // folder spelled differently
  Font("fonts/readme.txt");
  Load();
  EXPECT_EQ(Rows(), (std::vector<wxString>{wxS("alpha"), wxS("Zeta"), wxS("Mono")}));
  // The default language comes first.
  ASSERT_EQ(model.Columns(), 2);
  EXPECT_EQ(model.Language(0).number, 1031);
  EXPECT_EQ(model.ChoiceList(), wxS("<kein>\nalpha\nZeta\nMono\n"));
}

TEST_F(FontLangModelTest, DefaultRowOnlyBeforeATitleSortingAfterIt) {
  Font("hardware/Default.FNT");
  Font("fonts/A.fnt");
  Font("fonts/Z.fnt");
  Load();
  EXPECT_EQ(Rows(), (std::vector<wxString>{wxS("A"), wxS("Default"), wxS("Z")}));

  TempHome other;
  Font("fonts/Z.fnt");
  hv::MakeFolders(other.Sub(wxS("hardware")));
  WriteAll(other.Sub(wxS("hardware/Default.FNT")), "x");
  hv::MakeFolders(other.Sub(wxS("fonts")));
  WriteAll(other.Sub(wxS("fonts/A.fnt")), "x");
  model.Load(other.Path(), languages, 1031);
  // No title sorts after it: no "Default" row.
  EXPECT_EQ(Rows(), (std::vector<wxString>{wxS("A")}));
}

TEST_F(FontLangModelTest, ChoicesRoundTripThroughDeviceSet) {
  Font("fonts/A.fnt");
  Font("fonts/B.fnt");
  WriteAll(home.Sub(wxS("DEVICE.SET")),
           "[Config]\r\nType=TP\r\n[Fonts]\r\n1033-A=B\r\n1031-B=<kein>\r\n9999-A=B\r\n1031-Q=A\r\n");
  Load();
  EXPECT_EQ(model.Value(1, 0), wxS("B"));
  EXPECT_EQ(model.Value(0, 1), wxString());
  EXPECT_TRUE(model.CheckLanguageFont(0, 1, wxS("A")));
  EXPECT_TRUE(model.CheckLanguageFont(1, 0, wxS("<kein>")));
  EXPECT_EQ(model.Value(1, 0), wxString());
  ASSERT_TRUE(model.Save(home.Path()));
  CMapStringToString fonts;
  CDeviceSettings(home.Path()).File().ReadSection(kSectionFonts, fonts);
  EXPECT_EQ(fonts, (CMapStringToString{{wxS("1031-B"), wxS("A")}}));
  // The rest of the file is kept.
  EXPECT_EQ(CDeviceSettings(home.Path()).GetSetting(kSectionConfig, wxS("Type"), wxString()), wxS("TP"));
}

TEST_F(FontLangModelTest, UnknownCellsAreRefusedWithTheirMessage) {
  Font("fonts/A.fnt");
  Load();
  ui.ExpectMessage(10677);
  EXPECT_FALSE(model.CheckLanguageFont(-1, 0, wxS("A")));
  ui.ExpectMessage(10677);
  EXPECT_FALSE(model.CheckLanguageFont(2, 0, wxS("A")));
  ui.ExpectMessage(10678);
  EXPECT_FALSE(model.CheckLanguageFont(0, 5, wxS("A")));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(model.Value(0, 0), wxString());
}

TEST_F(FontLangModelTest, FailedWriteLeavesTheFileAsItWas) {
  Font("fonts/A.fnt");
  const std::string before = "[Fonts]\r\n1031-A=A\r\n";
  WriteAll(home.Sub(wxS("DEVICE.SET")), before);
  Load();
  ASSERT_TRUE(model.CheckLanguageFont(0, 0, wxS("<kein>")));
  {
    FileSizeLimit limit(4);
    EXPECT_FALSE(model.Save(home.Path()));
  }
  EXPECT_EQ(ReadAll(home.Sub(wxS("DEVICE.SET"))), before);
}
