#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "framework/SettingsFile.h"
#include "framework/ToolsRepository.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/ShellOpen.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

struct ToolSpec {
  std::string tool, version, appName, exe;
  int inTools = 1;
  std::vector<std::pair<std::string, std::string>> sets;   // driver, parameters
};

std::string Registry(const std::vector<ToolSpec>& tools) {
  std::string out;
  for (const ToolSpec& t : tools) {
    const std::string key = "SOFTWARE\\Quintor\\Halvora\\Tools\\" + t.tool + "\\" + t.version;
    out += "[" + key + "]\n";
    out += "\"AppName\"=" + Quote(t.appName) + "\n";
    out += "\"AppExe\"=" + Quote(t.exe) + "\n";
    out += "\"AppGUID\"=\"{" + t.tool + "}\"\n";
    out += "\"InTools\"=dword:" + std::to_string(t.inTools) + "\n";
    for (size_t i = 0; i < t.sets.size(); ++i) {
      out += "[" + key + "\\Set" + std::to_string(i + 1) + "]\n";
      out += "\"Driver\"=" + Quote(t.sets[i].first) + "\n";
      out += "\"Para\"=" + Quote(t.sets[i].second) + "\n";
    }
  }
  return out;
}

std::vector<std::string> Texts(const std::vector<CToolMenuEntry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(hv::ToUtf8(e.text));
  return out;
}

// A tool script that records its working folder and arguments, one per line.
wxString WriteRecorder(const wxString& path) {
  hvtest::WriteAll(path,
                   "#!/bin/sh\n"
                   "{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$HV_PROBE_OUT.part\"\n"
                   "mv \"$HV_PROBE_OUT.part\" \"$HV_PROBE_OUT\"\n");
  chmod(hv::ToFs(path).c_str(), 0755);
  return path;
}

std::vector<std::string> AwaitLines(const wxString& file) {
  std::vector<std::string> lines;
  for (int i = 0; i < 1000 && !hv::IsFile(file); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::ifstream in(hv::ToFs(file));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A private user folder whose system registry holds `tools`, loaded into `repo`.
struct Tools : ::testing::Test {
  hvtest::TempHome home;
  hvtest::ScriptedUi ui;
  CToolsRepository repo;
  CSettingsFile profile{home.Sub("Project.INI")};
  void Load(const std::vector<ToolSpec>& tools) {
    home.WriteSystemRegistry(Registry(tools));
    repo.Load();
  }
};

}  // namespace

TEST_F(Tools, LoadsToolsVersionsAndParameterSetsInOrder) {
  Load({
      {"Zeta", "1.2", "Zeta Tool", "/opt/zeta", 1, {{"INTOOL", "-x"}, {"CAN_R515", "-d %p"}}},
      {"Zeta", "2.0", "Zeta Tool 2", "/opt/zeta2", 0, {}},
      {"Alpha", "0.5", "Alpha", "", 1, {{"intool", "http://example.org/help"}}},
  });
  LoadToolsRepository(repo);   // loading again replaces, it does not append
  ASSERT_EQ(repo.GetSize(), 3u);
  const CTool& z = *repo.GetAt(0);
  EXPECT_DOUBLE_EQ(z.version, (1.2 * 100 + 0.05) / 100);
  EXPECT_EQ(wxString::Format("%s|%s|%s|%s|%u|%d", z.name, z.appName, z.executable, z.guid, z.inTools, z.menuCommandId),
            "Zeta|Zeta Tool|/opt/zeta|{Zeta}|1|-1");
  ASSERT_EQ(z.params.size(), 2u);
  EXPECT_EQ(z.params[0]->name, "Set1");
  EXPECT_EQ(z.params[1]->driver + " " + z.params[1]->parameters, "CAN_R515 -d %p");
  EXPECT_EQ(repo.GetAt(1)->inTools, 0u);
  EXPECT_TRUE(repo.GetAt(1)->params.empty());
  EXPECT_EQ(repo.GetAt(2)->name, "Alpha");
}

TEST_F(Tools, MainMenuListsAtMostOneHundredTools) {
  std::vector<ToolSpec> specs;
  specs.push_back({"Two", "1.0", "Two v1", "/bin/true", 1, {{"INTOOL", ""}}});
  specs.push_back({"Two", "2.0", "Two v2", "/bin/true", 1, {{"Intool", ""}}});
  specs.push_back({"Hidden", "1.0", "Hidden", "/bin/true", 0, {{"INTOOL", ""}}});
  specs.push_back({"DriverOnly", "1.0", "Driver only", "/bin/true", 1, {{"CAN_R515", ""}}});
  for (int i = 3; i <= 101; ++i)
    specs.push_back({wxString::Format("T%03d", i).ToStdString(), "1.0", "Tool " + std::to_string(i), "/bin/true", 1,
                     {{"INTOOL", ""}}});
  Load(specs);
  const std::vector<CToolMenuEntry> menu = repo.ListMainMenuTools();
  ASSERT_EQ(menu.size(), 100u);
  EXPECT_EQ(menu[0].id, kFirstMainToolCommand);
  EXPECT_EQ(menu[0].text, "Two v1");
  EXPECT_EQ(menu[1].text, "Two v2");   // each version of a tool is an entry of its own
  EXPECT_EQ(menu[2].text, "Tool 3");
  EXPECT_EQ(menu[99].id, kLastMainToolCommand);
  EXPECT_EQ(menu[99].text, "Tool 100");
  // The 101st has no entry and no id; an id past the range does nothing.
  EXPECT_EQ(repo.GetAt(repo.GetSize() - 1)->menuCommandId, -1);
  EXPECT_FALSE(RunMainMenuTool(repo, kLastMainToolCommand + 1, profile, "DEU"));
  EXPECT_FALSE(IsToolInMenu(*repo.GetAt(2)));
  EXPECT_FALSE(IsToolInMenu(*repo.GetAt(3)));
  EXPECT_TRUE(IsToolInMenu(*repo.GetAt(1)));
}

TEST_F(Tools, GetToolCommandPrefersTheProfileAndIsUsedOnce) {
  Load({
      {"Editor", "1.0", "Editor", "/opt/editor", 1, {{"CAN_R515", "dev"}, {"INTOOL", "main"}}},
      {"Viewer", "1.0", "Viewer", "/opt/viewer", 1, {{"INTOOL", "view"}}},
  });
  ASSERT_TRUE(profile.WriteString("Programs", "Viewer", "/home/me/bin/myviewer"));
  const auto menu = repo.ListMainMenuTools();
  ASSERT_EQ(menu.size(), 2u);

  wxString exe = "unchanged", para = "unchanged";
  EXPECT_TRUE(repo.GetToolCommand(menu[1].id, "intool", exe, para, profile));
  EXPECT_EQ(exe + " " + para, "/home/me/bin/myviewer view");
  EXPECT_EQ(repo.GetAt(1)->menuCommandId, 0);
  // A second click on the same, unrebuilt entry does nothing.
  exe = para = "unchanged";
  EXPECT_FALSE(repo.GetToolCommand(menu[1].id, "INTOOL", exe, para, profile));
  EXPECT_EQ(exe + " " + para, "unchanged unchanged");
  // Without an override the registered program; an empty value is no override.
  ASSERT_TRUE(profile.WriteString("Programs", "Editor", ""));
  EXPECT_TRUE(repo.GetToolCommand(menu[0].id, "INTOOL", exe, para, profile));
  EXPECT_EQ(exe + " " + para, "/opt/editor main");
}

// The install tree's registry gives a fresh install a tool in "&Extras" and one for
// the sample networks' devices.
TEST_F(Tools, ShippedRegistryListsSampleTools) {
  std::string shipped;
  ASSERT_TRUE(hv::ReadFileBytes(wxString(HV_TEST_SOURCE_DIR) + "/../data/registry.ini", shipped));
  home.WriteSystemRegistry(shipped);
  repo.Load();
  EXPECT_EQ(Texts(repo.ListMainMenuTools()), std::vector<std::string>{"Terminal"});
  size_t deviceTools = 0;
  for (size_t i = 0; i < repo.GetSize(); ++i)
    if (repo.GetAt(i)->FindParam("MBTCP") && repo.GetAt(i)->FindParam("SIMNET")) ++deviceTools;
  EXPECT_EQ(deviceTools, 1u);
}

TEST(ToolsRepository, ParameterExpansion) {
  struct Case {
    const char* in;
    const char* language;
    const char* out;
  };
  const Case cases[] = {
      {"-lang=%l -x %d", "ENG", "-lang=EN -x "},
      {"-lang=%l -x %d", "DEU", "-lang=DE -x "},
      {"%l", "", "DE"},
      {"100%", "ENG", "100"},
      {"a%%b", "ENG", "ab"},
      {"end% next", "ENG", "endnext"},   // the character after "%" goes with it, a blank too
      {"%%l", "ENG", "l"},
      {"%L", "ENG", ""},
      {"no percent", "ENG", "no percent"},
      {"%", "ENG", ""},
  };
  for (const Case& c : cases) {
    wxString text = c.in;
    ExpandToolParameters(text, c.language);
    EXPECT_EQ(hv::ToUtf8(text), c.out) << c.in << " / " << c.language;
  }
}

// The device's tool starting in the device folder is checked with the device.
TEST_F(Tools, StartedToolReceivesExactlyItsArguments) {
  hvtest::TempDir dir;
  const wxString script = WriteRecorder(dir.Sub("my tools/record.sh"));
  Load({{"Rec", "1.0", "Recorder", hv::ToUtf8(script), 1, {{"INTOOL", "-a \"b c\" %l %x \"q\\\"uote\" C:\\dir\\ end%"}}}});
  const wxString out = dir.Sub("out.txt");
  setenv("HV_PROBE_OUT", hv::ToFs(out).c_str(), 1);
  const auto menu = repo.ListMainMenuTools();
  ASSERT_EQ(menu.size(), 1u);
  ASSERT_TRUE(RunMainMenuTool(repo, menu[0].id, profile, "ENG"));
  std::vector<std::string> lines = AwaitLines(out);
  lines.erase(lines.begin());   // the working folder
  EXPECT_EQ(lines, (std::vector<std::string>{"-a", "b c", "EN", "q\"uote", "C:\\dir\\", "end"}));
  EXPECT_TRUE(ui.MessageIds().empty());
  unsetenv("HV_PROBE_OUT");
}

TEST_F(Tools, WithoutProgramTheParametersAreOpenedByTheShell) {
  std::vector<hv::ShellOpenRequest> opened;
  ui.Answer<hv::ShellOpenRequest>([&](hv::ShellOpenRequest& r) {
    opened.push_back(r);
    return static_cast<int>(IDOK);
  });
  Load({
      {"Doc", "1.0", "Manual", "", 1, {{"INTOOL", "/usr/share/doc/manual_%l.pdf"}}},
      {"Web", "1.0", "Web site", "", 1, {{"INTOOL", "https://example.org/"}}},
      {"None", "1.0", "Nothing", "", 1, {{"INTOOL", ""}}},
  });
  const auto menu = repo.ListMainMenuTools();
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_TRUE(RunMainMenuTool(repo, menu[0].id, profile, "DEU"));
  EXPECT_TRUE(RunMainMenuTool(repo, menu[1].id, profile, "DEU"));
  EXPECT_FALSE(RunMainMenuTool(repo, menu[2].id, profile, "DEU"));
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].target, "/usr/share/doc/manual_DE.pdf");
  EXPECT_FALSE(opened[0].isAddress);
  EXPECT_EQ(opened[1].target, "https://example.org/");
  EXPECT_TRUE(opened[1].isAddress);
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST_F(Tools, MissingProgramIsReportedByTheLauncher) {
  ui.ExpectMessage(10001);
  Load({{"Gone", "1.0", "Gone", "/no/such/tool", 1, {{"INTOOL", "x"}}}});
  const auto menu = repo.ListMainMenuTools();
  ASSERT_EQ(menu.size(), 1u);
  EXPECT_FALSE(RunMainMenuTool(repo, menu[0].id, profile, "DEU"));
  EXPECT_TRUE(ui.AllExpectationsMet());
}
