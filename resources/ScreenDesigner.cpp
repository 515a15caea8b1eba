#include "resources/ScreenDesigner.h"

#include "framework/Launcher.h"
#include "model/DeviceServices.h"
#include "model/ProjectObject.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/ToolService.h"

namespace {

hv::ToolWindowQuery DesignerQuery() {
  hv::ToolWindowQuery query;
  query.windowClass = kScreenDesignerClass;
  query.program = ScreenDesignerProgram();
  return query;
}

}  // namespace

wxString ScreenDesignerProgram() {
  if (auto configured = hv::RegistryStore::Get().GetString(hv::kKeyProduct, kScreenDesignerValue)) {
    wxString program = configured->Strip(wxString::both);
    if (program.length() >= 2 && program.StartsWith(wxS("\"")) && program.EndsWith(wxS("\"")))
      program = program.Mid(1, program.length() - 2);
    if (!program.empty()) return program;
  }
  return hv::JoinPath(hv::JoinPath(hv::DefaultDataFolder(), wxS("Halvora")), wxS("Skizzar.exe"));
}

wxString ProjectAndDeviceText(CPOPrjDevice* device) {
  CProjectObject* object = devsvc::DeviceObject(device);
  const CProjectObject* project = object ? object->GetParent() : nullptr;
  return (project ? project->GetName() : wxString()) + wxS(" - ") + (object ? object->GetName() : wxString());
}

wxString ScreenDesignerTitle(const wxString& screen, const wxString& projectAndDevice) {
  return wxString::Format(wxS("%s [%s] - %s"), screen, projectAndDevice, wxS("Halvora - Skizzar"));
}

wxString QuoteCommandArgument(const wxString& text) {
  wxString out = wxS("\"");
  size_t backslashes = 0;
  for (wxUniChar c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out.append(1, c);
  }
  // Before the closing quote they are doubled too.
  out.append(2 * backslashes, '\\');
  return out + wxS("\"");
}

wxString ScreenDesignerCommandLine(const wxString& program, const wxString& screen, const wxString& deviceFolder,
                                   const wxString& projectAndDevice, std::optional<DWORD> elementId) {
  // The program name is always quoted (it takes quotes only as delimiters), so that
  // neither its blanks nor an ".exe " inside a later argument split it.
  wxString line = wxS("\"") + program + wxS("\" /L ") + QuoteCommandArgument(screen) + wxS(" /F ") +
                  QuoteCommandArgument(deviceFolder) + wxS(" /P ") + QuoteCommandArgument(projectAndDevice);
  if (elementId) line += wxString::Format(wxS(" /E %lu"), static_cast<unsigned long>(*elementId));
  return line;
}

void OpenScreenInDesigner(const wxString& screen, CPOPrjDevice* device, std::optional<DWORD> elementId) {
  const wxString folder = devsvc::DeviceFolder(device);
  const wxString projectAndDevice = ProjectAndDeviceText(device);
  const wxString title = ScreenDesignerTitle(screen, projectAndDevice);
  hv::ToolWindowQuery query = DesignerQuery();
  query.title = title;
  query.arguments = {wxS("/L"), screen, wxS("/F"), folder, wxS("/P"), projectAndDevice};
  hv::ToolService& tools = hv::ToolService::Get();
  if (const DWORD pid = tools.FindWindow(query)) {
    tools.Raise(pid);
    if (elementId) tools.PostMessage(pid, kDesignerSelectElement, 0, *elementId);
    return;
  }
  const wxString line = ScreenDesignerCommandLine(query.program, screen, folder, projectAndDevice, elementId);
  DWORD pid = 0;
  if (LaunchProcess(nullptr, line, wxString(), &pid)) tools.Record(pid, kScreenDesignerClass, title);
}

bool IsScreenDesignerOpen() { return hv::ToolService::Get().FindWindow(DesignerQuery()) != 0; }
