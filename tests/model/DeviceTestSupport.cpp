#include "tests/model/DeviceTestSupport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "model/PathMacros.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/support/HardwareTree.h"
#include "tests/support/PrivateTrash.h"

namespace devtest {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return std::string();
  const size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

}  // namespace

DeviceFixture::DeviceFixture() {
  hvtest::UsePrivateTrash();
  hvtest::UseInstallFolder(home, hvtest::SourceDataFolder());
  app.m_profile.SetPath(home.Sub("Project.INI"));
  app.m_languageCode = "DEU";
  doc.AddView(&view);
  projectFolder = home.Sub("Projects/Anlage");
  hv::MakeFolders(projectFolder);
  hvtest::WriteAll(hv::JoinPath(projectFolder, "PROJECT.SET"), "[Config]\r\nName=Anlage\r\n");
  project = static_cast<CPOProject*>(doc.AddRoot(std::make_unique<CPOProject>("Anlage", projectFolder)));
}

DeviceFixture::~DeviceFixture() {
  doc.RemoveView(&view);
  hv::db::DropCachedTables();
}

void ApplyAnswers(CPOPrjDevice& d, const NewDevice& a, const wxString& projectFolder) {
  if (!a.name.empty()) {
    d.SetName(a.name);
    d.SetDeviceFolder(hv::JoinPath(projectFolder, a.name));
  }
  d.SetHardwareType(a.type);
  d.SetDeviceDriver(a.driver);
  d.SetDriverDisplayText(a.driver);
  d.SetNode(a.node);
  d.SetNetwork(a.network);
  d.SetNetworkPara(a.networkPara);
  d.SetSlot(a.slot);
  d.SetRemoteType(a.remoteType);
  d.SetFirmwareVersion(a.firmware);
  d.ExpandPathMacros(a.parameters);
}

void DeviceFixture::AnswerSheet(std::function<void(CPOPrjDevice&)> edit, int result) {
  ui.Answer<PrjDeviceSheetRequest>([edit, result](PrjDeviceSheetRequest& r) {
    if (r.device && result != IDCANCEL) edit(*r.device);
    return result;
  });
}

CPOPrjDevice* DeviceFixture::Create(const NewDevice& answers) {
  const wxString folder = projectFolder;
  AnswerSheet([answers, folder](CPOPrjDevice& d) { ApplyAnswers(d, answers, folder); }, kWizardFinish);
  CPOPrjDevice prototype;
  if (!prototype.CreateNew(project, nullptr, nullptr)) return nullptr;
  return Find(answers.name);
}

CPOPrjDevice* DeviceFixture::Find(const wxString& name) {
  for (CProjectObject* child : project->GetChildren())
    if (auto* d = dynamic_cast<CPOPrjDevice*>(child); d && d->GetName() == name) return d;
  return nullptr;
}

wxString DeviceFixture::DeviceFolder(const wxString& name) const { return hv::JoinPath(projectFolder, name); }

wxString DeviceFixture::UsePrivateInstall() {
  const wxString install = home.Sub("install");
  fs::create_directories(hv::ToFs(install));
  fs::copy(hv::ToFs(hv::JoinPath(hvtest::SourceDataFolder(), "Halvora")), hv::ToFs(install) + "/Halvora",
           fs::copy_options::recursive);
  hvtest::UseInstallFolder(home, install);
  return install;
}

void DeviceFixture::RunDeferred() {
  auto tasks = std::move(events.tasks);
  events.tasks.clear();
  for (auto& task : tasks) task();
}

std::vector<std::string> Names(const wxString& folder) {
  std::vector<std::string> out;
  for (const wxString& n : hv::ListFolder(folder)) out.push_back(hv::ToUtf8(n));
  return out;
}

std::string IniValue(const wxString& file, const std::string& section, const std::string& key) {
  std::istringstream in(hvtest::ReadAll(hv::ResolvePath(file)));
  bool inSection = false;
  for (std::string line; std::getline(in, line);) {
    line = Trim(line);
    if (!line.empty() && line[0] == '[') {
      inSection = Lower(line) == "[" + Lower(section) + "]";
      continue;
    }
    const size_t eq = line.find('=');
    if (inSection && eq != std::string::npos && Lower(Trim(line.substr(0, eq))) == Lower(key))
      return line.substr(eq + 1);
  }
  return "<missing>";
}

std::vector<std::string> Leftovers(const wxString& folder) {
  std::vector<std::string> out;
  if (!hv::IsFolder(folder)) return out;
  for (const auto& e : fs::recursive_directory_iterator(hv::ToFs(folder)))
    if (e.path().filename().string().rfind('.', 0) == 0) out.push_back(e.path().filename().string());
  return out;
}

}  // namespace devtest
