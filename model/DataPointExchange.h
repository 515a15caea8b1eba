#pragma once
// What the data-point exchange dialogs ask for. The dialogs only collect and check;
// the callers do the work with the results.
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

// The save dialog of the Modbus TCP export ("DP.xml", protocol and port).
struct DpXmlExportRequest {
  wxString filter;                  // "XML-Dateien (*.xml)|*.xml|..."
  wxString folder;                  // initial folder
  wxString fileName = wxS("DP.xml");
  int protocol = 0;                 // 0 "TCP", 1 "UDP"
  long port = 502;
  wxString path;                    // after IDOK
};

// A port as typed: a whole number from 1 to 65535. False leaves port unchanged.
bool ParsePort(const wxString& text, long& port);

class CSettingsFile;

// The CSV and text import/export dialog (`CDlgExportImportCSV`).
struct CsvExchangeRequest {
  wxString titleStem;
  bool import = false;
  wxString fileName;
  wxString folder;
  wxString defaultExtension = wxS("csv");
  wxString filter;
  int fileCount = 1;        // files one export writes
  // Read from the profile when the dialog opens; the confirmed values after IDOK.
  wxString separator = wxS(";");
  bool tabStop = false;
  wxString path;            // after IDOK
};

// "<stem> importiern" or "<stem> exportiern".
wxString CsvExchangeTitle(const CsvExchangeRequest& request);
// The files of an export in several files: "<path without extension><n>.<extension>".
std::vector<wxString> NumberedExportFiles(const wxString& path, int count);
// [ImportExport] "Separator" and "TabStop" of the profile.
void LoadCsvOptions(const CSettingsFile& profile, CsvExchangeRequest& request);
// The checks of OK: a separator unless tab stop is set (text 10645), and for a
// numbered export each existing file confirmed (text 10099). True stores the options
// ("Type" only when the file name has an extension) and accepts; false keeps the
// dialog open with the profile unchanged.
bool AcceptCsvExchange(CsvExchangeRequest& request, CSettingsFile& profile);
