#pragma once
// The data-point windows: the sheet CPSDataPoint (also as the wizard), the picker, the
// wait while a value is read, and the modeless list CDlgUserDefinedDP.
#include <wx/textctrl.h>

#include "platform/Types.h"

// CDPNameEdit: refuses, as they are typed, characters a CoDeSys name may not hold.
class CDPNameEdit : public wxTextCtrl {
 public:
  CDPNameEdit(wxWindow* parent, wxWindowID id, const wxString& value);

 private:
  void OnChar(wxKeyEvent& event);
};

class wxStaticText;
// The data-point page's read-only type field (1084): loading shows the type's name.
void DDX_DataTypeName(bool loading, wxStaticText* field, DWORD type);

void RegisterDataPointDialogs();
