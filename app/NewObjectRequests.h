#pragma once
// Requests of the naming and new-object dialogs, run through hv::Ui().Run. The program
// shows CDlgNewName and CDlgNewObject for them; tests answer them from a script.
#include <wx/string.h>

#include "model/TypeCodes.h"

class CProjectObject;

// CDlgNewName: asks for a name. `name` holds the proposal on entry and the entered
// name after IDOK.
struct NewNameRequest {
  wxString name;
  wxString title;        // empty: the dialog's own title ("Neues Object")
  wxString prompt;       // empty: "Name:"
  int maxLength = 30;    // characters
  bool upperCase = false;
  bool checkCharacters = false;   // refuse "/\:*?<>|. " and characters from 128 up
};

// CDlgNewObject: the kind of object to make for `object`; IDOK with `typeCode` set.
struct NewObjectRequest {
  CProjectObject* object = nullptr;
  TypeCode typeCode = TypeCode::None;
};
