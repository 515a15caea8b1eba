#pragma once
// The settings sheet of a project (CPSProject) without windows: the page "Allgemein"
// (CPPProjectGeneral) edits a copy of name and flags, which the caller applies after
// OK; the languages page (CPPLangFont) writes "PROJECT.SET" as its buttons say.
#include <wx/string.h>

#include "framework/PropertySheetModel.h"
#include "model/LanguagePage.h"
#include "model/ProjectRequests.h"

class ProjectGeneralPage : public CSheetPage {
 public:
  explicit ProjectGeneralPage(CPOProject& project);

  wxString name;        // edit 1025, at most 30 characters
  wxString folder;      // edit 1050, shown only
  ProjectFlags flags;   // boxes 1002 to 1006

  static constexpr int kNameField = 1025;
  // Boxes 1004, 1005 and 1006 are enabled while 1003 is checked; they keep their states.
  bool DetailsEnabled() const { return CoDeSysDetailsEnabled(flags); }
  PageCheck OnKillActive() override;

 private:
  wxString m_original;
};

class LanguagesPage : public CSheetPage {
 public:
  explicit LanguagesPage(CPOProject& project) : model(project) {}
  void OnInit() override { model.Init(); }
  void OnOK() override { model.Store(); }
  LanguagePageModel model;
};

class ProjectSheetController : public CSheetController {
 public:
  explicit ProjectSheetController(CPOProject& project);
  ProjectGeneralPage general;
  LanguagesPage languages;
};
