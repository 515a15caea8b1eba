#include "resources/KeypadBmp.h"

#include "framework/CommandIds.h"
#include "framework/FolderUtils.h"
#include "framework/StagedCopies.h"
#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/KeypadXML.h"
#include "resources/LogicalIds.h"
#include "resources/ResourceFiles.h"
#include "resources/ResourceRequests.h"

BEGIN_COMMAND_MAP(CPOKeypadBmp, CPOBitmap)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_DELETE, OnUpdateRemove)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateRemove)
END_COMMAND_MAP()

namespace {

wxString LayoutTitle() { return hv::LocalString(11607, wxS("Neues Keypad Layout")); }

void ShowExists() {
  hv::ShowMessage(11608, wxS("Dieses Keypad Layout existiert bereits!"), MB_OK | MB_ICONEXCLAMATION);
}

void ShowCreateError() {
  hv::ShowMessage(11609, wxS("Fehler beim Erzeugen des Keypad Layouts!"), MB_OK | MB_ICONEXCLAMATION);
}

// Lists the layout just made and opens it in the editor.
BOOL AddLayout(CProjectObject* parent, CPOPrjDevice* device, const wxString& path) {
  auto layout = std::make_unique<CPOKeypadBmp>(parent, device);
  layout->SetName(hv::PathName(path));
  layout->SetPath(path);
  layout->ReadFileListing(path);
  CPOKeypadBmp* made = layout.get();
  if (!AddNewObject(parent, std::move(layout))) return FALSE;
  made->Edit();
  return TRUE;
}

}  // namespace

void CPOKeypadBmp::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(m_listing.fileSize);
    ar.WriteString(m_path, !hv::FitsCp1252(m_path));
  } else {
    m_listing = Listing();
    m_listing.fileSize = ar.ReadU32();
    m_path = ar.ReadString();
  }
}

wxString CPOKeypadBmp::PasteFolder() const { return DeviceSubFolder(GetDevice(), wxS("keypads")); }

BOOL CPOKeypadBmp::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  if (templ && IsValidObject(templ) && std::string_view(templ->ClassName()) == ClassName())
    return CreateCopy(parent, device, *static_cast<const CPOBitmap*>(templ));
  NewKeypadRequest request;
  request.title = LayoutTitle();
  request.maxLength = 236;
  request.checkCharacters = true;
  request.deviceFolder = devsvc::DeviceFolder(device);
  if (hv::Ui().Run(request) != IDOK) return FALSE;
  if (KeypadTemplateChosen(request.name, parent)) return TRUE;

  const wxString name = hv::PathStem(hv::PathName(request.name)) + wxS(".bmp");
  if (!resfiles::IsSafeFileName(hv::PathStem(name))) return FALSE;
  const wxString folder = DeviceSubFolder(device, wxS("keypads"));
  const wxString path = hv::JoinPath(folder, name);
  if (hv::PathExists(path)) {
    ShowExists();
    return FALSE;
  }
  if (!CreateDirectoryPath(folder)) {
    hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (staging::CopyRegularFile(resfiles::TemplateFile(wxS("default.bmp")), path, false,
                               staging::CopyMode::AsNewFile) !=
      staging::CopyResult::Copied) {
    ShowCreateError();
    return FALSE;
  }
  return AddLayout(parent, device, path);
}

BOOL CPOKeypadBmp::CreateCopy(CProjectObject* parent, CPOPrjDevice* device, const CPOBitmap& source) {
  NewKeypadRequest request;
  request.title = LayoutTitle();
  request.maxLength = 236;
  request.checkCharacters = true;
  request.deviceFolder = devsvc::DeviceFolder(device);
  request.name = hv::PathStem(source.GetName());
  if (hv::Ui().Run(request) != IDOK) return FALSE;
  if (KeypadTemplateChosen(request.name, parent)) return TRUE;
  const wxString name = hv::PathStem(hv::PathName(request.name)) + wxS(".bmp");
  if (!resfiles::IsSafeFileName(hv::PathStem(name))) return FALSE;
  const wxString path = hv::JoinPath(DeviceSubFolder(device, wxS("keypads")), name);
  if (hv::PathExists(path)) {
    ShowExists();
    return FALSE;
  }
  if (staging::CopyRegularFile(source.GetFilePath(), path, false) != staging::CopyResult::Copied) {
    ShowCreateError();
    return FALSE;
  }
  return AddLayout(parent, device, path);
}

BOOL CPOKeypadBmp::Delete() {
  if (resfiles::IsDeviceTypeFile(GetDevice(), m_path)) return FALSE;
  return CPOBitmap::Delete();
}

BOOL CPOKeypadBmp::Cut(CArchive& ar) {
  if (resfiles::IsDeviceTypeFile(GetDevice(), m_path)) return FALSE;
  return CPOBitmap::Cut(ar);
}

BOOL CPOKeypadBmp::ReadFromClipboard(CArchive& ar, CProjectObject* target) {
  // The arriving path names the file; the layout goes to this device's keypads folder.
  if (!m_path.empty()) SetName(hv::PathName(hv::NormalizePath(m_path)));
  if (!CPOBitmap::ReadFromClipboard(ar, target)) return FALSE;
  m_path = hv::JoinPath(PasteFolder(), GetName());
  return TRUE;
}

void CPOKeypadBmp::OnUpdateRemove(CCmdUI* pCmdUI) {
  if (resfiles::IsDeviceTypeFile(GetDevice(), m_path)) pCmdUI->Enable(FALSE);
  else pCmdUI->ContinueRouting();
}
