#pragma once
// Requests of the project dialogs: CDlgNewProject, the settings sheet CPSProject and
// the language dialogs of its second page. Their checks live here so that scripted
// runners and the wx dialogs share them.
#include <vector>
#include <wx/string.h>

#include "framework/EditValidation.h"

#include "model/ProjectSettings.h"
#include "platform/Types.h"

class ProjectSheetController;
class AddLanguageController;

// Most characters a project path (name plus folder) may have.
constexpr int kMaxProjectPathChars = 150;
// Characters the project name field refuses: these and everything from 128 up.
inline CharacterSet ProjectNameForbiddenCharset() { return CharacterSet(wxS("/\\:*?<>|.[]"), true); }

// CDlgNewProject (dialog 168, "Neues Projekt").
struct NewProjectRequest {
  wxString name;
  wxString folder;
  ProjectFlags flags;
};

// The project name on OK: 0 when it may be used, else the number of the message shown.
// `unchanged` is the project's present name (a rename to it, in any case, is no clash);
// `badPos` gets the position of a refused character, else -1.
UINT CheckProjectName(const wxString& name, const wxString& unchanged = wxString(), long* badPos = nullptr);
// A folder that may become a new project's folder: absolute, every name creatable,
// Windows-1252, and below a folder that exists and can be written.
bool IsValidProjectFolder(const wxString& folder);
// OK of CDlgNewProject: 0 when accepted, else the number of the message shown.
UINT CheckNewProject(const NewProjectRequest& request);
// The folder after the name changed from `oldName` to `newName`: its last name follows
// while it equals the old name; a folder edited otherwise stays as typed.
wxString FolderFollowingName(const wxString& folder, const wxString& oldName, const wxString& newName);
// Boxes 1004 and 1005 (the sheet also 1006) follow box 1003.
inline bool CoDeSysDetailsEnabled(const ProjectFlags& flags) { return flags.CoDeSysDPCreate != FALSE; }

// CPSProject: the settings sheet of a project; the controller holds its pages.
struct ProjectSheetRequest {
  wxString caption;
  ProjectSheetController* sheet = nullptr;
};

// CDlgAddLanguage (dialog 140): IDOK with the chosen language numbers.
struct AddLanguageRequest {
  AddLanguageController* controller = nullptr;
  std::vector<WORD> chosen;
};

// CDlgModifyLanguage (dialog 157): the new name of a user-defined language.
struct ModifyLanguageRequest {
  wxString idText;
  wxString name;
  static constexpr int kMaxLength = 30;
};
