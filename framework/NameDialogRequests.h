#pragma once
// Requests of the small shared dialogs, run through hv::Ui().Run. The program shows
// the dialogs named beside each; tests answer them from a script. Every dialog leaves
// the request unchanged on Cancel.
#include <utility>
#include <vector>
#include <wx/string.h>

#include "framework/NewNameRequest.h"
#include "platform/Types.h"

// Logical ids are 0 to 65534.
constexpr long kMaxLogId = 65534;

// CDlgNewNameAndLogID: a name (as NewNameRequest) and a logical id.
struct NewNameAndLogIdRequest : NewNameRequest {
  long logId = 0;
};

// CDlgLogID (dialog 131, "Logische ID").
struct LogIdRequest {
  long logId = 0;
};

// CDlgNewLanguage (dialog 135, "Sprache hinzufügen"): a language name.
struct NewLanguageRequest {
  wxString name;
  static constexpr int kMaxLength = 30;
};

// CDlgCopyMask (dialog 136): which parts of a mask are copied with it.
struct CopyMaskRequest {
  wxString title;      // "Maske 'XXX' kopieren" with the mask's name
  bool copyTexts = false;
  bool copyBitmaps = false;
};

// CPathDialog: a project folder picked from the folder tree or typed. IDOK with
// `pathName`; anything else is a cancel.
struct PathDialogRequest {
  wxString caption;
  wxString prompt;
  wxString initialPath;
  wxString pathName;
};

// CUserPwdDlg (dialog 108, "Passwort eingeben"): the FTP login of a device.
struct UserPwdRequest {
  wxString user;
  wxString password;
  bool save = false;

  // Writes "FtpUsername" and "FtpPassword" into the device's [Config]: the values
  // when "Speichern" was checked, else empty ones. Any device with
  // WriteConfigString(key, value) will do.
  template <class Device>
  BOOL SaveToDevice(Device& device) const {
    BOOL ok = device.WriteConfigString(wxS("FtpUsername"), save ? user : wxString());
    ok = device.WriteConfigString(wxS("FtpPassword"), save ? password : wxString()) && ok;
    return ok;
  }
};

// CDlgStringExport: the file dialog of the text import and export with the choice of
// one of the project's languages.
struct StringExportRequest {
  bool import = false;
  std::vector<std::pair<WORD, wxString>> languages;   // (id, name) of the project
  WORD language = 0;                                  // the chosen one
  wxString path;                                      // the chosen file
};

// The title of the text import and export dialog: 10250 "Texte importieren" or 10281
// "Texte exportieren".
wxString StringExportTitle(bool import);
// The chosen file with the dialog's default extension "txt" when it has none (export).
wxString StringExportPath(const wxString& chosen, bool import);
