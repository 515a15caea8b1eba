// The external tools of a device's context menu, their parameters, and the device
// pictures of the views.
#include "framework/ImageListModel.h"
#include "framework/MenuModel.h"
#include "framework/Services.h"
#include "framework/SettingsFile.h"
#include "framework/ToolMenus.h"
#include "framework/ToolsRepository.h"
#include "model/ModelServices.h"
#include "model/PrjDevice.h"
#include "platform/Paths.h"

namespace {

// The k-th ';'-separated field (from 1); empty past the last.
wxString Field(const wxString& text, unsigned long long k) {
  unsigned long long index = 1;
  size_t start = 0;
  while (index < k) {
    const size_t sep = text.find(';', start);
    if (sep == wxString::npos) return wxString();
    start = sep + 1;
    ++index;
  }
  const size_t end = text.find(';', start);
  return text.Mid(start, end == wxString::npos ? wxString::npos : end - start);
}

wxString LanguageCode() { return hv::Service<hv::IApplicationState>().LanguageCode(); }

}  // namespace

wxString CPOPrjDevice::ExpandPlaceholders(const wxString& text) const {
  // One pass from the left: a value holding "%" goes in as it is, so a network named
  // "a%nb" or a path with "%20" can neither loop nor lose characters.
  wxString out;
  const size_t n = text.length();
  for (size_t i = 0; i < n; ++i) {
    if (text[i] != '%') {
      out.append(1, text[i]);
      continue;
    }
    if (i + 1 >= n) break;   // a lone '%' at the end
    const wxUniChar code = text[++i];
    if (code == 'n') {
      out += m_network;
    } else if (code == 's') {
      out += m_slot;
    } else if (code == 'x') {
      out += m_networkPara;
    } else if (code == 'd') {
      out += m_deviceDriver;
    } else if (code == 'o') {
      out += m_node;
    } else if (code == 'l') {
      out += LanguageCode() == "ENG" ? "EN" : "DE";
    } else if (code == 'p') {
      size_t j = i + 1;
      unsigned long long k = 0;
      while (j < n && text[j] >= '0' && text[j] <= '9') {
        if (k < 1000000000ULL) k = k * 10 + static_cast<unsigned long long>(text[j].GetValue() - '0');
        ++j;
      }
      if (j > i + 1 && k > 0) {
        out += Field(m_deviceParameters, k);
        i = j - 1;
      } else {
        out += m_deviceParameters;
      }
    }
    // Any other pair vanishes.
  }
  return out;
}

BOOL CPOPrjDevice::IsToolForDevice(const CTool& tool) {
  if (!tool.FindParam(m_network)) return FALSE;
  if (!m_config.LoadDeviceConfig(FALSE)) return FALSE;
  // The configuration names a tool by its registered identifier ("AppGUID", braces
  // optional) or by its registry name.
  wxString guid = tool.guid;
  guid.Trim(true).Trim(false);
  if (guid.StartsWith("{") && guid.EndsWith("}")) guid = guid.Mid(1, guid.length() - 2);
  if (!guid.empty() && m_config.AcceptsTool(guid, tool.version)) return TRUE;
  return !tool.name.empty() && m_config.AcceptsTool(tool.name, tool.version);
}

std::vector<CToolMenuEntry> CPOPrjDevice::ListToolsForDevice(CToolsRepository& tools) {
  std::vector<CToolMenuEntry> entries;
  int id = kFirstDeviceToolCommand;
  for (size_t i = 0; i < tools.GetSize(); ++i) {
    CTool* tool = tools.GetAt(i);
    // Ids past the handled range would reach no handler.
    if (id <= kLastDeviceToolCommand && IsToolForDevice(*tool)) {
      tool->menuCommandId = id;
      entries.push_back({id, tool->appName});
      ++id;
    } else {
      tool->menuCommandId = 0;
    }
  }
  return entries;
}

BOOL CPOPrjDevice::OnToolCommand(UINT id) {
  hv::IApplicationState& app = hv::Service<hv::IApplicationState>();
  CToolsRepository* tools = app.Tools();
  CSettingsFile* profile = app.Profile();
  if (!tools || !profile) return TRUE;
  wxString executable, parameters;
  if (!tools->GetToolCommand(static_cast<int>(id), m_network, executable, parameters, *profile))
    return TRUE;
  StartTool(executable, ExpandPlaceholders(parameters), m_deviceFolder);
  return TRUE;
}

void CPOPrjDevice::AdjustContextMenu(CMenu& menu) {
  const int pos = menu.FindItemPosByText(kDeviceToolPlaceholder);
  if (pos < 0) return;
  menu.RemoveMenu(pos);
  CToolsRepository* tools = hv::Service<hv::IApplicationState>().Tools();
  if (!tools) return;
  int at = pos;
  for (const CToolMenuEntry& entry : ListToolsForDevice(*tools))
    menu.InsertMenu(at++, static_cast<UINT>(entry.id), entry.text);
}

int CPOPrjDevice::AddImageToList(CImageList& images, int size) {
  if (size < 1 || size > 3) return 2;
  LoadDevicePictures();
  const size_t slot = static_cast<size_t>(size - 1);
  if (m_pictures[slot].empty()) return 2;
  if (m_imageIndex[slot] < 0) m_imageIndex[slot] = images.AddFile(m_pictures[slot]);
  return m_imageIndex[slot] >= 0 ? m_imageIndex[slot] : 2;
}
