#pragma once
// Request of the naming dialog, run through hv::Ui().Run. The program shows CDlgNewName
// for it; tests answer it from a script.
#include <wx/string.h>

// CDlgNewName: asks for a name. `name` holds the proposal on entry and the entered
// name after IDOK.
struct NewNameRequest {
  wxString name;
  wxString title;        // empty: the dialog's own title ("Neues Object")
  wxString prompt;       // empty: "Name:"
  int maxLength = 30;    // characters
  bool upperCase = false;
  bool checkCharacters = false;   // refuse "/\:*?<>|. " and characters from 128 up
  // With the character check: a point may be typed, as in "index.html" (the caller
  // keeps the name's title); the name may not begin with one or hold two in a row.
  bool allowPoint = false;
  // With the character check: blanks may be typed, as in folder names ("Neuer Ordner");
  // a name of blanks only counts as empty, and the caller drops blanks around the name.
  bool allowBlank = false;
};
