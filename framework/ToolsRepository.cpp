#include "framework/ToolsRepository.h"

#include <charconv>
#include <string>

#include "framework/Launcher.h"
#include "framework/SettingsFile.h"
#include "platform/Codec.h"
#include "platform/Registry.h"
#include "platform/ShellOpen.h"

namespace {

const wxString kToolsKey = hv::kKeyProduct + wxS("\\Tools");

wxString ReadString(const wxString& key, const wxString& name) {
  return hv::RegistryStore::Get().GetString(key, name).value_or(wxString());
}

// The leading number of the text, read the same in every locale; 0 when there is none.
double ParseVersion(const wxString& text) {
  std::string s = hv::ToUtf8(text);
  size_t start = s.find_first_not_of(" \t");
  if (start == std::string::npos) return 0;
  if (s[start] == '+') ++start;
  double value = 0;
  const auto r = std::from_chars(s.data() + start, s.data() + s.size(), value);
  return r.ec == std::errc() ? value : 0;
}

}  // namespace

const CToolParam* CTool::FindParam(const wxString& driverName) const {
  for (const auto& p : params)
    if (p->driver.CmpNoCase(driverName) == 0) return p.get();
  return nullptr;
}

void CToolsRepository::Load() {
  RemoveAll();
  const hv::RegistryStore& store = hv::RegistryStore::Get();
  for (const wxString& toolName : store.SubKeys(kToolsKey)) {
    const wxString toolKey = kToolsKey + "\\" + toolName;
    for (const wxString& versionName : store.SubKeys(toolKey)) {
      const wxString versionKey = toolKey + "\\" + versionName;
      auto tool = std::make_unique<CTool>();
      tool->name = toolName;
      tool->version = (ParseVersion(versionName) * 100 + 0.05) / 100;
      tool->appName = ReadString(versionKey, "AppName");
      tool->executable = ReadString(versionKey, "AppExe");
      tool->guid = ReadString(versionKey, "AppGUID");
      tool->inTools = store.GetDword(versionKey, "InTools").value_or(0);
      for (const wxString& setName : store.SubKeys(versionKey)) {
        const wxString setKey = versionKey + "\\" + setName;
        tool->params.push_back(
            std::make_unique<CToolParam>(setName, ReadString(setKey, "Driver"), ReadString(setKey, "Para")));
      }
      m_tools.push_back(std::move(tool));
    }
  }
}

std::vector<CToolMenuEntry> CToolsRepository::ListMainMenuTools() {
  std::vector<CToolMenuEntry> entries;
  // An id left from an earlier listing would hand a later click to the wrong tool.
  for (const auto& tool : m_tools)
    if (tool->menuCommandId >= kFirstMainToolCommand && tool->menuCommandId <= kLastMainToolCommand)
      tool->menuCommandId = -1;
  int id = kFirstMainToolCommand;
  for (const auto& tool : m_tools) {
    if (id > kLastMainToolCommand) break;
    if (!IsToolInMenu(*tool)) continue;
    tool->menuCommandId = id;
    entries.push_back({id, tool->appName});
    ++id;
  }
  return entries;
}

BOOL CToolsRepository::GetToolCommand(int id, const wxString& driver, wxString& executable, wxString& parameters,
                                      const CSettingsFile& profile) {
  for (const auto& tool : m_tools) {
    if (tool->menuCommandId != id) continue;
    const CToolParam* set = tool->FindParam(driver);
    if (!set) return FALSE;
    const wxString own = profile.GetString("Programs", tool->appName, wxString());
    executable = own.empty() ? tool->executable : own;
    parameters = set->parameters;
    tool->menuCommandId = 0;
    return TRUE;
  }
  return FALSE;
}

void LoadToolsRepository(CToolsRepository& repository) { repository.Load(); }

BOOL IsToolInMenu(const CTool& tool) { return tool.inTools != 0 && tool.FindParam(kMainMenuDriver) ? TRUE : FALSE; }

void ExpandToolParameters(wxString& parameters, const wxString& languageCode) {
  wxString out;
  const size_t n = parameters.length();
  for (size_t i = 0; i < n; ++i) {
    if (parameters[i] != '%') {
      out.append(1, parameters[i]);
      continue;
    }
    if (i + 1 < n && parameters[i + 1] == 'l') out += languageCode == "ENG" ? "EN" : "DE";
    ++i;   // the character after "%" goes with it
  }
  parameters = out;
}

BOOL StartTool(const wxString& executable, const wxString& parameters, const wxString& workingFolder) {
  if (!executable.empty()) return LaunchProcess(nullptr, "\"" + executable + "\" " + parameters, workingFolder, nullptr);
  if (!parameters.empty()) return hv::ShellOpenOrReport(parameters);
  return FALSE;
}

BOOL RunMainMenuTool(CToolsRepository& repository, int id, const CSettingsFile& profile, const wxString& languageCode) {
  if (id < kFirstMainToolCommand || id > kLastMainToolCommand) return FALSE;
  wxString executable, parameters;
  if (!repository.GetToolCommand(id, kMainMenuDriver, executable, parameters, profile)) return FALSE;
  ExpandToolParameters(parameters, languageCode);
  return StartTool(executable, parameters);
}
