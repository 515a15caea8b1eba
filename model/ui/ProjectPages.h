#pragma once
// Pieces the project dialogs share: the five CoDeSys boxes.
#include <wx/checkbox.h>
#include <wx/event.h>

#include "model/ProjectSettings.h"

class wxBoxSizer;
class wxWindow;

struct FlagBoxes {
  wxCheckBox* dp = nullptr;        // 1002
  wxCheckBox* checksum = nullptr;  // 1004
  wxCheckBox* create = nullptr;    // 1003
  wxCheckBox* com = nullptr;       // 1005
  wxCheckBox* byteAddr = nullptr;  // 1006
  ProjectFlags Read() const;
  void Show(const ProjectFlags& flags);
};

FlagBoxes CreateFlagBoxes(wxWindow* parent, wxBoxSizer* sizer, const ProjectFlags& flags);

void RegisterNewProjectDialog();
void RegisterProjectSheet();
