#include "model/DeviceRename.h"

#include "model/PathMacros.h"
#include "model/DeviceSettings.h"
#include "model/PrjDevice.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"

namespace {

bool IsDelimiter(wxUniChar c) { return c == '\\' || c == '/' || c == ';'; }

// Paths compared as the file system finds them: either separator, case ignored.
bool SamePath(const wxString& a, const wxString& b) {
  wxString x = a, y = b;
  x.Trim(true).Trim(false);
  y.Trim(true).Trim(false);
  return hv::NormalizePath(x).CmpNoCase(hv::NormalizePath(y)) == 0;
}

}  // namespace

wxString SymbolFileOf(const wxString& parameters) {
  const size_t first = parameters.find(';');
  if (first == wxString::npos) return wxString();
  const size_t second = parameters.find(';', first + 1);
  return parameters.Mid(first + 1, second == wxString::npos ? wxString::npos : second - first - 1);
}

wxString ReplaceNameComponent(const wxString& text, const wxString& oldName, const wxString& newName) {
  if (oldName.empty()) return text;
  wxString out, part;
  auto flush = [&] {
    out += part.CmpNoCase(oldName) == 0 ? newName : part;
    part.clear();
  };
  for (wxUniChar c : text) {
    if (IsDelimiter(c)) {
      flush();
      out.append(1, c);
    } else {
      part.append(1, c);
    }
  }
  flush();
  return out;
}

void UpdateDeviceReferences(const std::vector<wxString>& deviceFolders, const wxString& projectFolder,
                            const wxString& oldName, const wxString& newName, const wxString& oldSymbolFile) {
  using namespace hv::db;
  for (const wxString& folder : deviceFolders) {
    if (folder.empty()) continue;
    Table t;
    if (!t.open(folder, GeraetSchema())) continue;
    GeraetRow row;
    for (bool found = geraet_select(t, row, kFirst, "-GNR"); found; found = geraet_select(t, row, kNext, "-GNR")) {
      wxString name = row.name;
      name.Trim(true);
      wxString symbol = row.param;
      symbol.Replace(kMacroProjectPath, projectFolder);
      symbol.Replace(kMacroDevicePath, projectFolder);
      symbol = SymbolFileOf(symbol);
      const bool matches = name.CmpNoCase(oldName) == 0 || (!oldSymbolFile.empty() && SamePath(symbol, oldSymbolFile));
      if (!matches) continue;
      row.name = newName.Left(kStoredDeviceName);
      row.param = ReplaceNameComponent(row.param, oldName, newName);
      geraet_update(t, row);
      break;
    }
  }
}

std::vector<wxString> DeviceFoldersOf(const wxString& projectFolder) {
  std::vector<wxString> folders;
  for (const wxString& entry : hv::ListFolder(projectFolder)) {
    const wxString folder = hv::JoinPath(projectFolder, entry);
    if (!entry.StartsWith(".") && hv::IsFolder(folder) && hv::IsFile(hv::ResolvePath(hv::JoinPath(folder, kDeviceSetFile))))
      folders.push_back(folder);
  }
  return folders;
}
