// The real program's command line and the starts that end before the main window: each
// says why on its standard error and ends with a non-zero status, and nothing is written
// into the user folder before the display is known to work.
#include <gtest/gtest.h>

#include <wx/defs.h>

#include <chrono>

#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/support/TestEnv.h"

using namespace std::chrono_literals;

namespace {

std::vector<wxString> Entries(const wxString& folder) { return hv::ListFolder(folder); }

}  // namespace

TEST(CommandLineGui, HelpVersionAndBadOptionsNeedNoDisplayAndLeaveTheUserFolderAlone) {
  hvtest::TempHome home;
  const std::string path = hv::ToUtf8(home.Path());
  const std::vector<wxString> before = Entries(home.Path());

  hvtest::ProgramRunner help(HV_PROGRAM, path, {"--help"}, false);
  EXPECT_EQ(help.WaitExit(20s), 0);
  EXPECT_NE(help.Output().find("--version"), std::string::npos) << help.Output();

  hvtest::ProgramRunner version(HV_PROGRAM, path, {"--version"}, false);
  EXPECT_EQ(version.WaitExit(20s), 0);
  EXPECT_EQ(version.Output(), "Halvora " HALVORA_VERSION "\n");

  hvtest::ProgramRunner unknown(HV_PROGRAM, path, {"--bunt"}, false);
  EXPECT_EQ(unknown.WaitExit(20s), 2);
  EXPECT_NE(unknown.Errors().find("--bunt"), std::string::npos) << unknown.Errors();
  EXPECT_NE(unknown.Errors().find("--help"), std::string::npos) << "usage follows the error";

  // Bytes that read as UTF-8 but name no character are refused with the reason.
  hvtest::ProgramRunner notText(HV_PROGRAM, path, {"\xF4\x90\x80\x80"}, false);
  EXPECT_EQ(notText.WaitExit(20s), 2);
  EXPECT_NE(notText.Errors().find("kein UTF-8"), std::string::npos) << notText.Errors();
  EXPECT_NE(notText.Errors().find("\\xF4\\x90\\x80\\x80"), std::string::npos) << notText.Errors();
  EXPECT_EQ(notText.Errors().find("ssert"), std::string::npos) << notText.Errors();

  // With a display the command line is read just the same.
  hvtest::ProgramRunner unknownOnDisplay(HV_PROGRAM, path, {"--bunt"});
  EXPECT_EQ(unknownOnDisplay.WaitExit(20s), 2);
  EXPECT_FALSE(hvtest::WindowExists("Halvora"));

  hvtest::ProgramRunner noDisplay(HV_PROGRAM, path, {}, false);
  EXPECT_EQ(noDisplay.WaitExit(20s), 1);
  EXPECT_NE(noDisplay.Errors().find("DISPLAY"), std::string::npos) << noDisplay.Errors();

  EXPECT_EQ(Entries(home.Path()), before);
}

TEST(CommandLineGui, AUserFolderThatIsAFileIsNamedAndEndsTheStart) {
  hvtest::TempDir dir;
  const wxString file = dir.Sub("home");
  hvtest::WriteAll(file, "not a folder");
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(file));
  EXPECT_EQ(app.WaitExit(20s), 1);
  EXPECT_NE(app.Errors().find(hv::ToUtf8(file)), std::string::npos) << app.Errors();
  EXPECT_FALSE(hvtest::WindowExists("Halvora"));
}

TEST(CommandLineGui, CancellingTheFirstFolderSaysWhyTheProgramEnds) {
  hvtest::TempHome home;
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowExists("Neuer Ordner"); }, 20s)) << "no naming dialog";
  ASSERT_TRUE(hvtest::PressKeyInWindow("Neuer Ordner", WXK_ESCAPE));
  EXPECT_EQ(app.WaitExit(20s), 1);
  EXPECT_NE(app.Errors().find("Projektordner"), std::string::npos) << app.Errors();
}

TEST(CommandLineGui, AHostileCatalogueIsNamedAndTheBuiltInTextsAreUsed) {
  // A user's English catalogue whose texts ask for more and other arguments.
  hvtest::TempHome home;
  const wxString data = home.Sub("data");
  hvtest::WriteAll(data + "/lang/ENG.txt",
                   "13501\t%s%s%s%s%s%s%s%s%s%s\n13503\tUsage %n%s\n13504\tHalvora %s%d\n");
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" + hv::ToUtf8(data) +
                           "\"\n[SOFTWARE\\Quintor\\TavGraph]\n\"Language\"=\"ENG\"\n");
  const std::string path = hv::ToUtf8(home.Path());

  hvtest::ProgramRunner bogus(HV_PROGRAM, path, {"--bogus"}, false);
  EXPECT_EQ(bogus.WaitExit(20s), 2);
  EXPECT_NE(bogus.Errors().find("Unbekannte Option: --bogus"), std::string::npos) << bogus.Errors();
  EXPECT_NE(bogus.Errors().find("13501"), std::string::npos) << bogus.Errors();
  EXPECT_NE(bogus.Errors().find("13503"), std::string::npos) << bogus.Errors();

  hvtest::ProgramRunner version(HV_PROGRAM, path, {"--version"}, false);
  EXPECT_EQ(version.WaitExit(20s), 0);
  EXPECT_EQ(version.Output(), "Halvora " HALVORA_VERSION "\n");
  EXPECT_NE(version.Errors().find("13504"), std::string::npos) << version.Errors();
}
