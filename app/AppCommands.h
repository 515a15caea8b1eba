#pragma once
// The application's commands (about box, manuals, language, version tools, remote
// support, web page) as the last command target of the main window's route.
#include "framework/CmdTarget.h"

class CAppCommandTarget : public CCmdTarget {
 public:
  HV_DECLARE_COMMAND_MAP()

 protected:
  void OnAppAbout();
  void OnHelpContents();
  void OnHelpOverview();
  void OnRemoteSupport();
  void OnSelectLanguage();
  void OnVersionControl();
  void OnVersionSwitch();
  void OnWebLink();
  void OnUpdateAlwaysEnabled(CCmdUI* ui);
};
