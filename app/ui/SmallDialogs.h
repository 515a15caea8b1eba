#pragma once
// The small shared dialogs: logical id, language name, mask copy options, FTP login,
// the text export's file choice, the kind of a new object and the project folder picker.
#include <wx/dialog.h>

#include "framework/NameDialogRequests.h"
#include "app/ui/DlgNewName.h"

class wxTextCtrl;
class wxCheckBox;
class wxChoice;
class wxTreeCtrl;
class wxTreeEvent;
class wxGenericDirCtrl;
class wxFilePickerCtrl;

// Dialog 132: name and logical id.
class CDlgNewNameAndLogID : public CDlgNewName {
 public:
  CDlgNewNameAndLogID(wxWindow* parent, NewNameAndLogIdRequest& request);
  bool TransferDataFromWindow() override;

 private:
  NewNameAndLogIdRequest& m_full;
  CEEditLongDouble m_logIdEdit;
};

// Dialog 131 "Logische ID".
class CDlgLogID : public wxDialog {
 public:
  CDlgLogID(wxWindow* parent, LogIdRequest& request);
  bool TransferDataFromWindow() override;

 private:
  LogIdRequest& m_request;
  CEEditLongDouble m_edit;
};

// Dialog 135 "Sprache hinzufügen".
class CDlgNewLanguage : public wxDialog {
 public:
  CDlgNewLanguage(wxWindow* parent, NewLanguageRequest& request);
  bool TransferDataFromWindow() override;

 private:
  NewLanguageRequest& m_request;
  wxTextCtrl* m_edit = nullptr;
};

// Dialog 136: the parts copied with a mask.
class CDlgCopyMask : public wxDialog {
 public:
  CDlgCopyMask(wxWindow* parent, CopyMaskRequest& request);
  bool TransferDataFromWindow() override;

 private:
  CopyMaskRequest& m_request;
  wxCheckBox* m_texts = nullptr;
  wxCheckBox* m_bitmaps = nullptr;
};

// Dialog 108 "Passwort eingeben".
class CUserPwdDlg : public wxDialog {
 public:
  CUserPwdDlg(wxWindow* parent, UserPwdRequest& request);
  bool TransferDataFromWindow() override;

 private:
  UserPwdRequest& m_request;
  wxTextCtrl* m_user = nullptr;
  wxTextCtrl* m_password = nullptr;
  wxCheckBox* m_save = nullptr;
};

// The text import's and export's file choice with the language (combo 1029).
class CDlgStringExport : public wxDialog {
 public:
  CDlgStringExport(wxWindow* parent, StringExportRequest& request);
  bool TransferDataFromWindow() override;

 private:
  StringExportRequest& m_request;
  wxFilePickerCtrl* m_file = nullptr;
  wxChoice* m_language = nullptr;
};

// Dialog 111 "Neues Objekt einfügen": the kinds for the object.
class CDlgNewObject : public wxDialog {
 public:
  CDlgNewObject(wxWindow* parent, NewObjectRequest& request);
  bool TransferDataFromWindow() override;

 private:
  void OnActivated(wxTreeEvent& event);
  NewObjectRequest& m_request;
  wxTreeCtrl* m_tree = nullptr;
};

// The project folder picker: a folder tree and the edit field 14148.
class CPathDialog : public wxDialog {
 public:
  CPathDialog(wxWindow* parent, PathDialogRequest& request);
  wxString GetPathName() const { return m_request.pathName; }

 private:
  void OnSelection();
  void OnTyped();
  void OnOK(wxCommandEvent& event);
  PathDialogRequest& m_request;
  wxGenericDirCtrl* m_dirs = nullptr;
  wxTextCtrl* m_edit = nullptr;
  bool m_settingText = false;
};

// Registers the dialogs above with the interaction facade.
void RegisterSmallDialogs();
