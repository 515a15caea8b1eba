#include "framework/FolderUtils.h"
#include "framework/StagedCopies.h"
#include "model/DocFiles.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/ResourceFiles.h"
#include "resources/ResourceRequests.h"

namespace {

// Copies the chosen gallery file into the device's folder; its name there, or empty.
// The file keeps its own name: when the user had typed another one, he is told so
// before anything is made and may stop.
wxString PlaceChosen(const wxString& galleryFolder, const wxString& deviceFolder, const wxString& subFolder,
                     const wxString& typed) {
  if (deviceFolder.empty()) return wxString();
  GalleryRequest gallery;
  gallery.title = hv::LocalString(11618, wxS("Galerie"));
  gallery.folder = galleryFolder;
  if (hv::Ui().Run(gallery) != IDOK || gallery.chosen.empty()) return wxString();
  const wxString name = hv::PathName(gallery.chosen);
  if (!resfiles::IsSafeFileName(name) || !hv::IsFile(gallery.chosen)) return wxString();
  const wxString typedStem = hv::PathStem(hv::PathName(wxString(typed).Trim(true).Trim(false)));
  if (!typedStem.empty() && typedStem.CmpNoCase(hv::PathStem(name)) != 0 &&
      hv::ShowMessageF(13946, wxS("Die Vorlage wird unter ihrem eigenen Namen '%s' angelegt, nicht als '%s'."),
                       MB_OKCANCEL | MB_ICONINFORMATION, name, typedStem) != IDOK)
    return wxString();
  const wxString folder = hv::ResolvePath(hv::JoinPath(deviceFolder, subFolder));
  if (!CreateDirectoryPath(folder)) {
    hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
    return wxString();
  }
  const wxString existing = docfiles::ExistingName(folder, name);
  if (!existing.empty()) return existing;
  if (staging::CopyRegularFile(gallery.chosen, hv::JoinPath(folder, name), false, staging::CopyMode::AsNewFile) !=
      staging::CopyResult::Copied) {
    hv::ShowMessageF(10982, wxS("Die Datei %s konnte nicht kopiert werden!"), MB_OK | MB_ICONEXCLAMATION, name);
    return wxString();
  }
  return name;
}

wxString GalleryFolder(const wxString& sub) {
  return hv::ResolvePath(hv::JoinPath(hv::DefaultDataFolder(), wxS("Halvora/gallery") + sub));
}

}  // namespace

wxString PictureTypeExtension(int fileType) {
  switch (fileType) {
    case NewBitmapAndLogIdRequest::kJpg: return wxS("jpg");
    case NewBitmapAndLogIdRequest::kGif: return wxS("gif");
    default: return wxS("bmp");
  }
}

bool AddPictureFromGallery(NewBitmapAndLogIdRequest& request) {
  const wxString name = PlaceChosen(GalleryFolder(wxString()), request.deviceFolder, wxS("bitmaps"), request.name);
  if (name.empty()) return false;
  request.name = name;
  request.fromGallery = true;
  return true;
}

bool AddKeypadFromGallery(NewKeypadRequest& request) {
  if (PlaceChosen(GalleryFolder(wxS("/keypads")), request.deviceFolder, wxS("keypads"), request.name).empty())
    return false;
  request.name = kTemplateChosen;
  return true;
}
