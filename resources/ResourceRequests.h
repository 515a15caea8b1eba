#pragma once
// Requests of the new-picture and new-keypad dialogs and of the picture gallery, run
// through hv::Ui().Run.
#include <wx/string.h>

#include "framework/NameDialogRequests.h"

// CDlgNewBitmapAndLogID (dialog 251): name, logical id and file type of a new picture,
// or a picture taken from the gallery ("Aus Galerie hinzufügen").
struct NewBitmapAndLogIdRequest : NewNameAndLogIdRequest {
  enum FileType { kBmp = 0, kJpg = 1, kGif = 2 };
  int fileType = kBmp;
  wxString deviceFolder;
  // After IDOK: the picture was placed from the gallery; `name` is its file name.
  bool fromGallery = false;
};

// CDlgNewKeypad (dialog 256): a name, or a template from the gallery
// ("Aus Vorlage hinzufügen"), which answers the name "$$$VORLAGE$$$".
struct NewKeypadRequest : NewNameRequest {
  wxString deviceFolder;
};

// The gallery: the files of `folder`; `chosen` is the picked file's path after IDOK.
struct GalleryRequest {
  wxString title;
  wxString folder;
  wxString chosen;
};

inline const wxString kTemplateChosen = wxS("$$$VORLAGE$$$");

// The extension of a picture type, without the dot.
wxString PictureTypeExtension(int fileType);

// The dialogs' gallery buttons: ask for a file and copy it into the device's "bitmaps"
// (keypads: "keypads") folder. True when a file was placed; the request then holds
// the picture's name (keypads: "$$$VORLAGE$$$") and the dialog ends with IDOK. An
// existing file of that name is kept.
bool AddPictureFromGallery(NewBitmapAndLogIdRequest& request);
bool AddKeypadFromGallery(NewKeypadRequest& request);
