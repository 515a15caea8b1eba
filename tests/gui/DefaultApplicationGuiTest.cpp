// Files the program cannot open with a program of its own go to the desktop's default
// application: the manuals from the help menu, and pictures whose configured editor is
// not on this computer. A stand-in "xdg-open" on PATH notes what it was given.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <thread>

#include <wx/uiaction.h>

#include "app/TavProjectApp.h"
#include "app/ui/Dialogs.h"
#include "app/ui/MainFrame.h"
#include "framework/CommandIds.h"
#include "framework/NewNameRequest.h"
#include "model/NewObjectRequests.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/ShellOpen.h"
#include "resources/ResourceRequests.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"

using namespace std::chrono_literals;
using hvtest::S;

namespace {

// A folder holding a stand-in default application while it lives; PATH is this folder
// and the system's, or (`withOpener` false) names no default application at all. An
// opener that `findsNothing` notes the file and gives up as xdg-open does when no
// program is set up for the file's type: a line on standard error and status 3.
class StandInOpener {
 public:
  explicit StandInOpener(bool withOpener = true, bool findsNothing = false) {
    m_old = std::getenv("PATH") ? std::getenv("PATH") : "";
    if (withOpener) {
      const wxString script = m_dir.Sub("xdg-open");
      hvtest::WriteAll(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + hv::ToUtf8(Log()) + "'\n" +
                                   (findsNothing ? "echo \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n"
                                                 : ""));
      chmod(hv::ToFs(script).c_str(), 0755);
      setenv("PATH", (hv::ToUtf8(m_dir.Path()) + ":/usr/bin:/bin").c_str(), 1);
    } else {
      setenv("PATH", hv::ToUtf8(m_dir.Path()).c_str(), 1);
    }
  }
  ~StandInOpener() { setenv("PATH", m_old.c_str(), 1); }
  wxString Log() const { return m_dir.Sub("opened.log"); }
  // The files the stand-in was given so far, waiting up to a few seconds for `count`.
  std::vector<wxString> Opened(std::size_t count = 1) const {
    std::vector<wxString> files;
    hvtest::WaitFor(
        [&] {
          files.clear();
          for (const wxString& line : wxSplit(wxString::FromUTF8(hvtest::ReadAll(Log())), '\n'))
            if (!line.empty()) files.push_back(line);
          return files.size() >= count;
        },
        5s);
    return files;
  }

 private:
  hvtest::TempDir m_dir;
  std::string m_old;
};

// "&Hilfe" (Alt+H) in the real program, then the entry's mnemonic. "&Inhalt" shares
// its letter with "&Info über Halvora...": the letter only marks it, Return chooses it.
void ChooseFromHelpMenu(int mnemonic, bool shared) {
  const int shown = hvtest::ShownWindowCount();
  ASSERT_TRUE(hvtest::PressKeyInWindow("Halvora", 'H', wxMOD_ALT));
  ASSERT_TRUE(hvtest::WaitFor([&] { return hvtest::ShownWindowCount() > shown; }, 10s)) << "no help menu";
  wxUIActionSimulator sim;
  sim.Char(mnemonic);
  if (shared) sim.Char(WXK_RETURN);
}

void OpenContentsIn(const std::string& language, int mnemonic, bool shared, const char* expected) {
  hvtest::TempHome home;
  hvtest::SeedCurrentProject(home, "Anlage");
  // The code as the language selection stores it; none at all means German.
  home.WriteSystemRegistry("[SOFTWARE\\Quintor\\TavGraph]\n\"PROJECTNAME\"=\"Anlage\"\n\"PROJECTPATH\"=\"" +
                           hv::ToUtf8(home.Sub("Projects/Anlage")) + "\"\n" +
                           (language.empty() ? std::string() : "\"LANGUAGE\"=\"" + language + "\"\n"));
  StandInOpener opener;
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowCount("Halvora") == 1; }, 20s)) << app.Errors();
  ChooseFromHelpMenu(mnemonic, shared);
  const std::vector<wxString> opened = opener.Opened();
  ASSERT_EQ(opened.size(), 1u) << "the default application was not started";
  EXPECT_TRUE(opened[0].EndsWith(expected)) << opened[0];
  EXPECT_TRUE(hv::IsFile(opened[0])) << opened[0];
  app.Terminate();
  EXPECT_EQ(app.WaitExit(15s), 0);
}

}  // namespace

TEST(DefaultApplicationGui, HelpContentsOpensTheManualOfTheChosenLanguage) {
  {
    SCOPED_TRACE("German");
    OpenContentsIn("", 'I', true, "/HELP/DE/Index/Seiten/Produkte/Software/Halvora/Handbuch/Handbuch_Halvora_DE.pdf");
  }
  {
    SCOPED_TRACE("English");
    OpenContentsIn("ENG", 'C', false, "/HELP/EN/Index/Seiten/Produkte/Software/Halvora/Manual/Manual_Halvora_EN.pdf");
  }
}

namespace {

class EditorFallbackGui : public hvtest::ProjectWindowFixture {
 protected:
  EditorFallbackGui() {
    // The programs page's own default, a program this computer does not have.
    hvtest::WriteAll(home.Sub(wxS("Project.INI")), "[Programs]\r\nBitmap=MSPaint\r\n");
    ui.Answer<hv::ShellOpenRequest>(RunShellOpen);
  }
  // A new bitmap on the device through "Neu...", named `name`.
  void NewBitmap(CPOPrjDevice* device, const wxString& name) {
    ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
      r.typeCode = TypeCode::Bitmap;
      return static_cast<int>(IDOK);
    });
    ui.Answer<NewBitmapAndLogIdRequest>([name](NewBitmapAndLogIdRequest& r) {
      r.name = name;
      return static_cast<int>(IDOK);
    });
    ASSERT_TRUE(SelectInTree(device));
    ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  }
};

}  // namespace

TEST_F(EditorFallbackGui, AMissingEditorHandsTheFileToTheDefaultApplicationElseNamesProgramAndPage) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(panel);
  {
    StandInOpener opener;
    NewBitmap(panel, S("Logo"));
    const std::vector<wxString> opened = opener.Opened();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], hv::ResolvePath(hv::JoinPath(panel->GetDeviceFolder(), "bitmaps/Logo.bmp")));
    EXPECT_TRUE(ui.MessageIds().empty()) << "no message when the file was opened";
  }
  {
    SCOPED_TRACE("no opener on PATH");
    StandInOpener nothing(false);
    ui.ExpectMessage(13900);
    NewBitmap(panel, S("Wappen"));
    ASSERT_TRUE(ui.AllExpectationsMet());
    const wxString text = ui.MessageTexts().back();
    EXPECT_TRUE(text.Contains("'MSPaint'")) << text;
    EXPECT_TRUE(text.Contains("Wappen.bmp")) << text;
    EXPECT_TRUE(text.Contains(wxS("Programme\", Zeile \"Bitmaps\""))) << text;
    EXPECT_TRUE(text.Contains(wxS("xdg-utils"))) << text;
    EXPECT_FALSE(text.Contains("Error:")) << text;
  }
  {
    // The opener starts, then finds no program: its verdict comes only with its end.
    SCOPED_TRACE("the opener gives up");
    StandInOpener givesUp(true, true);
    ui.ExpectMessage(13900);
    NewBitmap(panel, S("Siegel"));
    EXPECT_EQ(givesUp.Opened().size(), 1u);
    EXPECT_TRUE(hvtest::PumpUntil([&] { return ui.AllExpectationsMet(); }, 10s)) << "the failure went unreported";
    EXPECT_TRUE(ui.MessageTexts().back().Contains("Siegel.bmp")) << ui.MessageTexts().back();
  }
}

// With PATH cleared nothing can start: each outside program's failure is a message, never
// only a line on standard error.
TEST_F(EditorFallbackGui, MissingDesignerAndPdfProgramEachShowTheirMessage) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
  CPOPrjDevice* panel = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(panel);
  StandInOpener nothing(false);
  {
    SCOPED_TRACE("screen designer");
    ui.Answer<NewObjectRequest>([](NewObjectRequest& r) {
      r.typeCode = TypeCode::Mask;
      return static_cast<int>(IDOK);
    });
    ui.Answer<NewNameRequest>([](NewNameRequest& r) {
      r.name = S("Start");
      return static_cast<int>(IDOK);
    });
    ui.ExpectMessage(10001);
    ASSERT_TRUE(SelectInTree(panel));
    RunInTree(ID_OBJECT_NEW);
    ASSERT_TRUE(ui.AllExpectationsMet());
    EXPECT_TRUE(ui.MessageTexts().back().EndsWith("\nError: 2")) << ui.MessageTexts().back();
    // The designer it looked for is named, so the user knows what to install or set.
    EXPECT_TRUE(ui.MessageTexts().back().Contains("Skizzar")) << ui.MessageTexts().back();
  }
  {
    SCOPED_TRACE("PDF program");
    ui.ExpectMessage(10551);
    OpenManualFile(false, wxString());
    ASSERT_TRUE(ui.AllExpectationsMet());
    EXPECT_TRUE(ui.MessageTexts().back().Contains("Handbuch_Halvora_DE.pdf")) << ui.MessageTexts().back();
  }
  {
    SCOPED_TRACE("PDF program, the opener gives up");
    StandInOpener givesUp(true, true);
    ui.ExpectMessage(10551);
    OpenManualFile(false, wxString());
    EXPECT_TRUE(hvtest::PumpUntil([&] { return ui.AllExpectationsMet(); }, 10s)) << "the failure went unreported";
  }
}

// Remote support that is not installed says so in a message, where it used to do
// nothing at all.
TEST(DefaultApplicationGui, RemoteSupportThatIsNotInstalledSaysSo) {
  hvtest::TempHome home;
  hvtest::SeedCurrentProject(home, "Anlage");
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_TRUE(hvtest::WaitFor([] { return hvtest::WindowCount("Halvora") == 1; }, 20s)) << app.Errors();
  ChooseFromHelpMenu('F', false);   // "&Fernwartung Support"
  EXPECT_TRUE(hvtest::WaitFor([] { return hvtest::WindowCount("Halvora") == 2; }, 10s)) << "no message";
  app.Terminate();   // the message is cancelled and the program ends
  EXPECT_EQ(app.WaitExit(15s), 0);
}
