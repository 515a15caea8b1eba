#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "framework/Launcher.h"
#include "model/SuiteTools.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "resources/MaskElement.h"
#include "resources/ScreenDesigner.h"
#include "tests/resources/ScreenFixture.h"
#include "tests/support/HardwareTree.h"
#include "tests/support/TestServices.h"

using namespace hvtest;

namespace {

std::string Real(const wxString& path) {
  char buf[PATH_MAX];
  return realpath(hv::ToFs(path).c_str(), buf) ? std::string(buf) : std::string();
}

// Runs the test in another current folder, so that "the designer keeps ours" means
// something.
class CurrentFolder {
 public:
  explicit CurrentFolder(const wxString& folder) {
    char buf[PATH_MAX];
    m_old = getcwd(buf, sizeof buf) ? buf : "/";
    EXPECT_EQ(0, chdir(hv::ToFs(folder).c_str()));
  }
  ~CurrentFolder() { EXPECT_EQ(0, chdir(m_old.c_str())); }

 private:
  std::string m_old;
};

class Designer : public ScreenFixture {
 protected:
  Designer() { UseStandInDesigner(designers); }
  std::vector<std::string> Args(const std::vector<std::string>& rest) {
    std::vector<std::string> all{hv::ToFs(designers.Program())};
    all.insert(all.end(), rest.begin(), rest.end());
    return all;
  }

  PrivateRuntimeDir runtime;
  DesignerLog designers;
  TempDir cwd;
};

}  // namespace

TEST(DesignerCommandLine, NamesArriveWholeAndTheElementIdUnquoted) {
  const wxString program = wxS("/opt/Suite Tools/Halvora/Skizzar.exe");
  EXPECT_EQ(wxS("\"/opt/Suite Tools/Halvora/Skizzar.exe\" /L \"Start Bild\" /F \"/p/Anlage 1/Panel\" /P \"Anlage 1 - Panel\""),
            ScreenDesignerCommandLine(program, wxS("Start Bild"), wxS("/p/Anlage 1/Panel"), wxS("Anlage 1 - Panel")));
  EXPECT_TRUE(ScreenDesignerCommandLine(program, wxS("S"), wxS("/f"), wxS("P - D"), 4000012).EndsWith(wxS("\" /E 4000012")));

  // Quotes, backslashes and an ".exe " inside a name survive the splitting.
  for (const char* name : {"Kessel \"Nord\"", "Ende\\", "a\\\"b", "x.exe y", "\\\\"}) {
    const std::vector<wxString> args =
        SplitCommandLine(ScreenDesignerCommandLine(program, S(name), wxS("/f"), wxS("P - D"), 7));
    ASSERT_EQ(9u, args.size()) << name;
    EXPECT_EQ(program, args[0]);
    EXPECT_EQ(S(name), args[2]) << name;
    EXPECT_EQ(wxS("7"), args[8]);
  }
  EXPECT_EQ(wxS("Start [Anlage 1 - Panel] - Halvora - Skizzar"), ScreenDesignerTitle(wxS("Start"), wxS("Anlage 1 - Panel")));
}

TEST(DesignerCommandLine, TheDesignerIsTheInstalledOneUnlessConfigured) {
  TempHome home;
  TempDir install;
  UseInstallFolder(home, install.Path());
  hv::RegistryStore::Get().Reload();
  EXPECT_EQ(hv::JoinPath(install.Path(), wxS("Halvora/Skizzar.exe")), ScreenDesignerProgram());
  ASSERT_TRUE(hv::RegistryStore::Get().SetString(hv::kKeyProduct, wxS("screendesigner"), wxS(" \"/usr/bin/my designer\" ")));
  EXPECT_EQ(wxS("/usr/bin/my designer"), ScreenDesignerProgram());
}

TEST_F(Designer, OpeningAScreenStartsTheDesignerOnceInOurCurrentFolder) {
  AddScreen(wxS("Start Bild"), 0, 1);
  AddScreen(wxS("Alarme"));
  CPOMask* start = Screen(wxS("Start Bild"));
  CurrentFolder here(cwd.Path());
  EXPECT_TRUE(start->OnCmdMsg(ID_MASK_EDIT, CN_COMMAND, nullptr, nullptr));
  std::vector<DesignerLog::Start> starts = designers.Starts(1);
  ASSERT_EQ(1u, starts.size());
  EXPECT_EQ(Real(cwd.Path()), Real(hv::FromFs(starts[0].cwd)));
  EXPECT_EQ(Args({"/L", "Start Bild", "/F", hv::ToFs(dir.Path()), "/P", "Anlage 1 - Panel"}), starts[0].args);

  // Again: the running designer comes forward, no second one starts. A double click
  // on a column other than "Log. ID" does the same.
  EXPECT_TRUE(start->Edit());
  start->OnColumnDblClick(3);
  EXPECT_EQ((std::vector<std::string>{"RAISE", "RAISE"}), designers.Lines(starts[0].pid, 2));
  // Another screen gets a designer of its own.
  EXPECT_TRUE(Screen(wxS("Alarme"))->Edit());
  EXPECT_EQ(2u, designers.Starts(2).size());
  EXPECT_EQ(2u, designers.Starts(3, 300).size());
}

TEST_F(Designer, OpeningAnElementSelectsItInTheRunningDesignerOrStartsWithIt) {
  AddScreen(wxS("Start"));
  const hv::db::MaskField field = AddRecord(wxS("Start"), 1, 3);
  CPOMask* start = Screen(wxS("Start"));
  ASSERT_TRUE(start->LoadChildren());
  ASSERT_EQ(1u, start->GetChildCount());
  auto* element = static_cast<CPOMaskElement*>(start->GetChildren()[0]);

  // Not running: started with the element.
  EXPECT_TRUE(element->OnCmdMsg(ID_ELEMENT_EDIT, CN_COMMAND, nullptr, nullptr));
  std::vector<DesignerLog::Start> starts = designers.Starts(1);
  ASSERT_EQ(1u, starts.size());
  EXPECT_EQ(Args({"/L", "Start", "/F", hv::ToFs(dir.Path()), "/P", "Anlage 1 - Panel", "/E",
                  std::to_string(field.id())}),
            starts[0].args);
  // Running: brought forward and told the element number.
  element->OnColumnDblClick(1);
  EXPECT_EQ((std::vector<std::string>{"RAISE", "MSG 1025 0 " + std::to_string(field.id())}),
            designers.Lines(starts[0].pid, 2));
  EXPECT_EQ(1u, designers.Starts(2, 300).size());
}

TEST_F(Designer, ADesignerStartedElsewhereIsFoundByItsArguments) {
  AddScreen(wxS("Start"));
  DWORD pid = 0;
  ASSERT_TRUE(LaunchProcess(nullptr,
                            ScreenDesignerCommandLine(designers.Program(), wxS("Start"), dir.Path(), wxS("Anlage 1 - Panel")),
                            wxString(), &pid));
  ASSERT_EQ(1u, designers.Starts(1).size());
  EXPECT_TRUE(Screen(wxS("Start"))->Edit());
  EXPECT_EQ((std::vector<std::string>{"RAISE"}), designers.Lines(pid, 1));
  EXPECT_EQ(1u, designers.Starts(2, 300).size());
}

TEST_F(Designer, ScreensAreNotDeletedWhileADesignerRuns) {
  AddScreen(wxS("Start"));
  AddScreen(wxS("Alarme"));
  EXPECT_TRUE(Screen(wxS("Start"))->Edit());
  ASSERT_EQ(1u, designers.Starts(1).size());
  ui.ExpectMessage(10165);
  EXPECT_FALSE(Screen(wxS("Alarme"))->Delete());
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(1u, Records(wxS("Alarme")).size());
  designers.EndAll();
  EXPECT_TRUE(Screen(wxS("Alarme"))->Delete());
  EXPECT_TRUE(Records(wxS("Alarme")).empty());
}

TEST_F(Designer, DefaultComponentsAndTheGraphToolKeepTheDesignerClosed) {
  AddScreen(wxS("!DEFAULT_COMPONENTS"), 0, 1);
  AddScreen(wxS("Start"), 0, 1);
  CPOMask* defaults = Screen(wxS("!DEFAULT_COMPONENTS"));
  ASSERT_TRUE(defaults->LoadChildren());
  ui.ExpectMessage(10510);
  ui.ExpectMessage(10510);
  EXPECT_FALSE(defaults->Edit());
  static_cast<CPOMaskElement*>(defaults->GetChildren()[0])->OnEdit();
  EXPECT_TRUE(ui.AllExpectationsMet());

  ASSERT_TRUE(hv::RegistryStore::Get().SetString(hv::kKeyGraphTool, wxS("DEVICENAME"), wxS("Anderes")));
  {
    hvtest::FakeProcesses processes([](const wxString& program) { return program == wxS("Tav1.exe"); });
    ui.ExpectMessage(10074);
    EXPECT_FALSE(Screen(wxS("Start"))->Edit());
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(designers.Starts(1, 300).empty());
}

TEST_F(Designer, ADesignerThatCannotStartIsReported) {
  AddScreen(wxS("Start"));
  ASSERT_TRUE(hv::RegistryStore::Get().SetString(hv::kKeyProduct, kScreenDesignerValue, dir.Sub(wxS("fehlt/Skizzar.exe"))));
  ui.ExpectMessage(10001);
  EXPECT_TRUE(Screen(wxS("Start"))->Edit());   // the launcher has said it
  EXPECT_TRUE(ui.AllExpectationsMet());
}
