#include <gtest/gtest.h>

#include "framework/SettingsFile.h"
#include "model/DataPointExchange.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

namespace {

TEST(DataPointExchange, PortMustBeWithinTheTcpRange) {
  long port = 502;
  EXPECT_TRUE(ParsePort(" 5020 ", port));
  EXPECT_EQ(port, 5020);
  for (const char* bad : {"0", "65536", "-1", "", "50x", "1e3"}) {
    EXPECT_FALSE(ParsePort(bad, port)) << bad;
    EXPECT_EQ(port, 5020);
  }
  EXPECT_TRUE(ParsePort("65535", port));
}

TEST(DataPointExchange, NumberedFilesUseTheNamesOwnExtension) {
  EXPECT_EQ(NumberedExportFiles("a/b/c.csv", 3), (std::vector<wxString>{"a/b/c1.csv", "a/b/c2.csv", "a/b/c3.csv"}));
  EXPECT_EQ(NumberedExportFiles("/x.d/texte", 2), (std::vector<wxString>{"/x.d/texte1.", "/x.d/texte2."}));
}

struct CsvExchange : ::testing::Test {
  hvtest::TempHome home;
  hvtest::ScriptedUi ui;
  CSettingsFile profile{home.Sub("Project.INI")};
  CsvExchangeRequest request;
  wxString Get(const char* key) const { return profile.GetString("ImportExport", key, "<none>"); }
};

TEST_F(CsvExchange, TabStopKeepsTheStoredSeparatorAndEmptyOneIsRefused) {
  ASSERT_TRUE(profile.WriteString("ImportExport", "Separator", ","));
  LoadCsvOptions(profile, request);
  EXPECT_EQ(request.separator, ",");
  EXPECT_FALSE(request.tabStop);
  request.path = home.Sub("out.txt");
  request.separator.clear();
  ui.ExpectMessage(10645);
  EXPECT_FALSE(AcceptCsvExchange(request, profile));
  EXPECT_EQ(Get("TabStop"), "<none>");
  request.tabStop = true;
  EXPECT_TRUE(AcceptCsvExchange(request, profile));
  EXPECT_EQ(Get("Separator"), ",");
  EXPECT_EQ(Get("TabStop"), "1");
  EXPECT_EQ(Get("Type"), "txt");
  LoadCsvOptions(profile, request);
  EXPECT_TRUE(request.tabStop);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(CsvExchange, EachExistingNumberedFileIsAskedAndNoKeepsTheDialogOpen) {
  request.fileCount = 3;
  request.path = home.Sub("liste.csv");
  for (int i = 1; i <= 3; ++i) hvtest::WriteAll(home.Sub(wxString::Format("liste%d.csv", i)), "x");
  ui.ExpectMessage(10099, IDYES);
  ui.ExpectMessage(10099, IDYES);
  ui.ExpectMessage(10099, IDYES);
  EXPECT_TRUE(AcceptCsvExchange(request, profile));
  ui.ExpectMessage(10099, IDYES);
  ui.ExpectMessage(10099, IDNO);
  EXPECT_FALSE(AcceptCsvExchange(request, profile));
  EXPECT_TRUE(ui.AllExpectationsMet());
  // A name without an extension leaves the stored type alone.
  request.fileCount = 1;
  request.path = home.Sub("ohne");
  ASSERT_TRUE(profile.WriteString("ImportExport", "Type", "csv"));
  EXPECT_TRUE(AcceptCsvExchange(request, profile));
  EXPECT_EQ(Get("Type"), "csv");
}

}  // namespace
