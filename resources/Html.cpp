#include "resources/Html.h"

#include <fcntl.h>
#include <unistd.h>

#include <string_view>

#include "framework/FolderUtils.h"
#include "framework/NewNameRequest.h"
#include "framework/StagedCopies.h"
#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/HtmlFolder.h"
#include "resources/ResourceCommands.h"
#include "resources/ResourceFiles.h"
#include "resources/WebTransfer.h"

BEGIN_COMMAND_MAP(CPOHtml, CProjectObject)
  ON_COMMAND(ID_OBJECT_EDIT, OnEdit)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_EDIT, OnUpdateEditable)
  ON_COMMAND(32773, OnDeleteAsked)
  ON_COMMAND(32787, OnNewObject)
  ON_UPDATE_COMMAND_UI(32787, OnUpdateNewObject)
  ON_COMMAND(ID_OBJECT_NEW_COPY, OnNewCopy)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_NEW_COPY, OnUpdateEditable)
  ON_COMMAND(ID_RES_SEND_TO_DEVICE, OnSend)
  ON_UPDATE_COMMAND_UI(ID_RES_SEND_TO_DEVICE, OnUpdateSend)
  ON_COMMAND(ID_RES_NEW_FOLDER, OnNewFolder)
  ON_UPDATE_COMMAND_UI(ID_RES_NEW_FOLDER, OnUpdateNewFolder)
  ON_COMMAND(ID_RES_USE_CF, OnToggleCard)
  ON_UPDATE_COMMAND_UI(ID_RES_USE_CF, OnUpdateToggleCard)
END_COMMAND_MAP()

namespace {

bool IsHtml(const CProjectObject* object) {
  return object && std::string_view(object->ClassName()) == CPOHtml::kClassName;
}

// The folder new pages of `parent` go to, made when missing (the root as "web").
wxString PageFolder(CProjectObject* parent, CPOPrjDevice* device) {
  auto* folder = dynamic_cast<CPOHtmlFolder*>(parent);
  wxString path = folder ? folder->GetPath() : DeviceSubFolder(device, wxS("Web"));
  if (path.empty()) return wxString();
  if (!hv::IsFolder(path) && (!folder || folder->IsRoot())) {
    path = hv::ResolvePath(hv::JoinPath(devsvc::DeviceFolder(device), wxS("web")));
    if (!CreateDirectoryPath(path)) {
      hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
      return wxString();
    }
  }
  return path;
}

bool MakeEmptyFile(const wxString& path) {
  const int fd = open(hv::ToFs(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace

CPOHtml::CPOHtml(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
}

wxString CPOHtml::GetPath() const {
  const auto* folder = dynamic_cast<const CPOHtmlFolder*>(GetParent());
  const wxString base = folder ? folder->GetPath() : DeviceSubFolder(GetDevice(), wxS("Web"));
  return base.empty() ? wxString() : hv::ResolvePath(hv::JoinPath(base, GetName()));
}

bool CPOHtml::IsEditable() const {
  const wxString ext = hv::PathExtension(GetName()).Lower();
  return ext == wxS("htm") || ext == wxS("html") || ext == wxS("js");
}

wxString CPOHtml::GetColumnText(int column) {
  if (column == 1) return FormatFileTime(m_time);
  return CProjectObject::GetColumnText(column);
}

int CPOHtml::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  if (column != 0 && column != 1) return 0;
  if (std::string_view(other->ClassName()) == CPOHtmlFolder::kClassName) return 1;
  if (column == 0) return CProjectObject::Compare(other, column);
  const auto* o = dynamic_cast<const CPOHtml*>(other);
  return o ? CompareValues(m_time, o->m_time) : 0;
}

BOOL CPOHtml::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  const CPOHtml* source = IsHtml(templ) && IsValidObject(templ) ? static_cast<const CPOHtml*>(templ) : nullptr;

  NewNameRequest request;
  request.title = hv::LocalString(10605, wxS("Neue HTML-Datei"));
  request.maxLength = 240;
  request.checkCharacters = true;
  request.allowPoint = true;   // "index.html" becomes "index.htm"
  if (source) request.name = hv::PathStem(source->GetName());
  if (hv::Ui().Run(request) != IDOK) return FALSE;

  // A copy keeps its template's kind of file; a new file is a page.
  const wxString extension = source ? wxS(".") + hv::PathExtension(source->GetName()) : wxString(wxS(".htm"));
  const wxString name = hv::PathStem(hv::PathName(request.name)) + extension;
  if (!resfiles::IsSafeFileName(hv::PathStem(name))) return FALSE;
  const wxString folder = PageFolder(parent, device);
  if (folder.empty()) return FALSE;
  const wxString path = hv::JoinPath(folder, name);
  if (hv::PathExists(path)) {
    hv::ShowMessage(10606, wxS("Diese HTML-Datei existiert bereits!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (source) {
    if (staging::CopyRegularFile(source->GetPath(), path, false) != staging::CopyResult::Copied) {
      hv::ShowMessage(10598, wxS("Fehler beim Kopieren der HTML-Datei!"), MB_OK | MB_ICONEXCLAMATION);
      return FALSE;
    }
  } else if (!MakeEmptyFile(path)) {
    hv::ShowMessage(10599, wxS("Fehler beim Erzeugen der HTML-Datei!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  auto page = std::make_unique<CPOHtml>(parent, device);
  page->SetName(name);
  FileEntry entry;
  if (StatFile(path, entry)) page->SetTime(entry.TimeSeconds());
  CPOHtml* made = page.get();
  if (!AddNewObject(parent, std::move(page))) return FALSE;
  made->Edit();
  return TRUE;
}

BOOL CPOHtml::Delete() {
  const wxString path = GetPath();
  if (path.empty() || !hv::IsFile(path)) return FALSE;
  return unlink(hv::ToFs(path).c_str()) == 0 ? TRUE : FALSE;
}

BOOL CPOHtml::Edit() {
  if (!GetDevice() || !IsEditable()) return FALSE;
  resfiles::LaunchEditor(wxS("HTML"), GetPath());
  return TRUE;
}

BOOL CPOHtml::WriteToClipboard(CArchive& ar) { return resfiles::WriteStagedFile(ar, GetPath()); }

BOOL CPOHtml::Cut(CArchive& ar) { return WriteToClipboard(ar) && Delete() ? TRUE : FALSE; }

BOOL CPOHtml::ReadFromClipboard(CArchive& ar, CProjectObject*) {
  const wxString staged = resfiles::ReadStagedFile(ar, GetName());
  if (staged.empty()) return FALSE;
  const wxString folder = PageFolder(GetParent(), GetDevice());
  if (folder.empty()) return FALSE;
  const wxString placed = resfiles::PlaceStagedFile(staged, folder, GetName(), GetParent(), this, 10099);
  if (placed.empty()) return FALSE;
  SetName(hv::PathName(placed));
  FileEntry entry;
  if (StatFile(placed, entry)) m_time = entry.TimeSeconds();
  return TRUE;
}

void CPOHtml::OnColumnDblClick(int) { Edit(); }

void CPOHtml::OnDeleteAsked() {
  const wxString path = GetPath();
  if (path.empty() || !hv::IsFile(path)) return;
  if (hv::ShowMessageF(10600, wxS("Sind Sie sicher, daß Sie die HTML-Datei '%s' löschen wollen?"),
                       MB_YESNO | MB_ICONQUESTION, GetName()) != IDYES)
    return;
  OnDelete();
}

void CPOHtml::OnSend() {
  if (!GetDevice()) return;
  // Several selected pages: "save.bin" follows the last one only.
  web::SendPages(GetDevice(), GetPath(), IsLastOfSelection() != FALSE);
}

void CPOHtml::OnNewFolder() {
  CProjectObject* parent = GetParent();
  if (!parent) return;
  SetMultipleSelection(FALSE);
  CPOHtmlFolder prototype(parent, GetDevice());
  prototype.CreateNew(parent, GetDevice(), nullptr);
}

void CPOHtml::OnUpdateEditable(CCmdUI* pCmdUI) {
  if (!IsEditable()) pCmdUI->Enable(FALSE);
  else OnUpdateEditCommands(pCmdUI);
}

void CPOHtml::OnUpdateNewObject(CCmdUI* pCmdUI) { pCmdUI->SetText(hv::LocalString(10604, wxS("HTML-Datei"))); }

void CPOHtml::OnUpdateSend(CCmdUI* pCmdUI) { pCmdUI->Enable(GetDevice() ? TRUE : FALSE); }

void CPOHtml::OnUpdateNewFolder(CCmdUI* pCmdUI) { pCmdUI->Enable(devsvc::IsCFAvailable(GetDevice())); }

void CPOHtml::OnToggleCard() { web::ToggleCard(GetDevice()); }

void CPOHtml::OnUpdateToggleCard(CCmdUI* pCmdUI) { UpdateCardChoice(GetDevice(), pCmdUI); }

void UpdateCardChoice(CPOPrjDevice* device, CCmdUI* pCmdUI) {
  const bool offered = web::CardChoiceOffered(device);
  pCmdUI->Enable(offered ? TRUE : FALSE);
  if (offered) pCmdUI->SetCheck(web::CardChosen(device) ? 1 : 0);
}
