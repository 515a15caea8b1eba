#include "model/DataPointExchange.h"

#include "framework/SettingsFile.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

bool ParsePort(const wxString& text, long& port) {
  wxString t = text;
  t.Trim(true).Trim(false);
  long value = 0;
  if (t.empty() || !t.ToLong(&value) || value < 1 || value > 65535) return false;
  port = value;
  return true;
}

wxString CsvExchangeTitle(const CsvExchangeRequest& request) {
  return request.titleStem + wxS(" ") +
         (request.import ? hv::LocalString(10636, wxS("importiern")) : hv::LocalString(10639, wxS("exportiern")));
}

std::vector<wxString> NumberedExportFiles(const wxString& path, int count) {
  // Only the name's own extension counts: a dot in a folder name is not one.
  const wxString folder = hv::PathFolder(path);
  const wxString name = hv::PathName(path);
  const int dot = name.Find('.', true);
  const wxString stem = dot == wxNOT_FOUND ? name : name.Left(dot);
  const wxString extension = dot == wxNOT_FOUND ? wxString() : name.Mid(dot + 1);
  std::vector<wxString> files;
  for (int i = 1; i <= count; ++i)
    files.push_back(hv::JoinPath(folder, wxString::Format(wxS("%s%d.%s"), stem, i, extension)));
  return files;
}

void LoadCsvOptions(const CSettingsFile& profile, CsvExchangeRequest& request) {
  request.separator = profile.GetString(wxS("ImportExport"), wxS("Separator"), wxS(";")).Left(1);
  long tab = 0;
  request.tabStop = profile.GetString(wxS("ImportExport"), wxS("TabStop"), wxS("0")).ToLong(&tab) && tab != 0;
}

bool AcceptCsvExchange(CsvExchangeRequest& request, CSettingsFile& profile) {
  request.separator = request.separator.Left(1);
  if (!request.tabStop && request.separator.empty()) {
    hv::ShowMessage(10645, wxS("Es muß ein Trennzeichen eingegeben werden!"), MB_OK | MB_ICONINFORMATION);
    return false;
  }
  if (!request.import && request.fileCount > 1) {
    for (const wxString& file : NumberedExportFiles(request.path, request.fileCount)) {
      if (!hv::PathExists(file)) continue;
      if (hv::ShowMessageF(10099, wxS("Die Datei %s ist bereits vorhanden!\nÜberschreiben?"),
                           MB_YESNO | MB_ICONEXCLAMATION, file) != IDYES)
        return false;
    }
  }
  // A tab-stop exchange keeps the stored separator.
  if (!request.tabStop) profile.WriteString(wxS("ImportExport"), wxS("Separator"), request.separator);
  profile.WriteString(wxS("ImportExport"), wxS("TabStop"), request.tabStop ? wxS("1") : wxS("0"));
  const wxString extension = hv::PathExtension(request.path);
  if (hv::PathName(request.path).Find('.') != wxNOT_FOUND && !extension.empty())
    profile.WriteString(wxS("ImportExport"), wxS("Type"), extension);
  return true;
}
