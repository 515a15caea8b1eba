#include "resources/HtmlFolder.h"

#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "framework/StagedCopies.h"
#include "framework/FolderUtils.h"
#include "framework/NewNameRequest.h"
#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/Html.h"
#include "resources/ResourceCommands.h"
#include "resources/ResourceFiles.h"
#include "resources/WebTransfer.h"
#include "platform/Codec.h"
#include "platform/Environment.h"

BEGIN_COMMAND_MAP(CPOHtmlFolder, CProjectObject)
  ON_COMMAND(32773, OnDeleteAsked)
  ON_COMMAND(32787, OnNewPage)
  ON_UPDATE_COMMAND_UI(32787, OnUpdateNewPage)
  ON_COMMAND(ID_RES_NEW_FOLDER, OnNewFolder)
  ON_UPDATE_COMMAND_UI(ID_RES_NEW_FOLDER, OnUpdateNewFolder)
  ON_COMMAND(ID_RES_SEND_TO_DEVICE, OnSend)
  ON_UPDATE_COMMAND_UI(ID_RES_SEND_TO_DEVICE, OnUpdateSend)
  ON_COMMAND(ID_RES_USE_CF, OnToggleCard)
  ON_UPDATE_COMMAND_UI(ID_RES_USE_CF, OnUpdateToggleCard)
END_COMMAND_MAP()

namespace {

wxString RootName() { return hv::LocalString(10601, wxS("Web-Dateien")); }

bool IsHtmlFolder(const CProjectObject* object) {
  return object && std::string_view(object->ClassName()) == CPOHtmlFolder::kClassName;
}

}  // namespace

CPOHtmlFolder::CPOHtmlFolder() { SetName(RootName()); }

CPOHtmlFolder::CPOHtmlFolder(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  if (!IsHtmlFolder(parent)) SetName(RootName());
  PlaceBelow(*this, parent, device);
}

bool CPOHtmlFolder::IsRoot() const { return !IsHtmlFolder(GetParent()); }

wxString CPOHtmlFolder::GetPath() const {
  const wxString web = DeviceSubFolder(GetDevice(), wxS("Web"));
  if (web.empty()) return wxString();
  std::vector<wxString> names;
  for (const CProjectObject* o = this; IsHtmlFolder(o) && !static_cast<const CPOHtmlFolder*>(o)->IsRoot();
       o = o->GetParent())
    names.push_back(o->GetName());
  wxString path = web;
  for (auto it = names.rbegin(); it != names.rend(); ++it) path = hv::JoinPath(path, *it);
  return hv::ResolvePath(path);
}

std::span<ColumnDef> CPOHtmlFolder::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::HtmlFolder); }

wxString CPOHtmlFolder::GetColumnText(int column) {
  if (column == 1) return m_time ? FormatFileTime(m_time) : wxString();
  return CProjectObject::GetColumnText(column);
}

int CPOHtmlFolder::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  if (column != 0 && column != 1) return 0;
  if (std::string_view(other->ClassName()) == CPOHtml::kClassName) return -1;
  if (column == 0) return CProjectObject::Compare(other, column);
  const auto* o = dynamic_cast<const CPOHtmlFolder*>(other);
  return o ? CompareValues(m_time, o->m_time) : 0;
}

BOOL CPOHtmlFolder::HasListChildren() {
  const wxString path = GetPath();
  return !path.empty() && hv::IsFolder(path) ? TRUE : FALSE;
}

BOOL CPOHtmlFolder::HasTreeChildren() {
  // Sub-folders are listed only with a CompactFlash card: no expander over nothing.
  if (!devsvc::IsCFAvailable(GetDevice())) return FALSE;
  for (const FileEntry& entry : ListEntries(GetPath()))
    if (entry.isFolder) return TRUE;
  return FALSE;
}

BOOL CPOHtmlFolder::IsPasteTarget() { return devsvc::IsCFAvailable(GetDevice()); }

BOOL CPOHtmlFolder::LoadChildren() {
  ChildPool pool(*this);
  const wxString path = GetPath();
  if (path.empty()) return FALSE;
  const bool folders = devsvc::IsCFAvailable(GetDevice()) != FALSE;
  const std::vector<FileEntry> entries = ListEntries(path);
  m_stamp = resfiles::ListingStamp(entries);
  m_stamped = true;
  for (const FileEntry& entry : entries) {
    if (entry.isFolder && !folders) continue;
    const char* cls = entry.isFolder ? CPOHtmlFolder::kClassName : CPOHtml::kClassName;
    // Names that differ only in case are different entries here: each old child
    // comes back once.
    std::unique_ptr<CProjectObject> child = pool.Take([&](CProjectObject& o) {
      return std::string_view(o.ClassName()) == cls && o.GetName() == entry.name;
    });
    if (!child) child = pool.Take([&](CProjectObject& o) {
      return std::string_view(o.ClassName()) == cls && o.GetName().CmpNoCase(entry.name) == 0;
    });
    if (!child) {
      if (entry.isFolder) child = std::make_unique<CPOHtmlFolder>(this, GetDevice());
      else child = std::make_unique<CPOHtml>(this, GetDevice());
    }
    child->SetName(entry.name);
    if (entry.isFolder) static_cast<CPOHtmlFolder&>(*child).SetTime(entry.TimeSeconds());
    else static_cast<CPOHtml&>(*child).SetTime(entry.TimeSeconds());
    AddChild(std::move(child));
  }
  return TRUE;
}

BOOL CPOHtmlFolder::IsStale() {
  const wxString path = GetPath();
  if (path.empty()) return FALSE;
  return !m_stamped || resfiles::ListingStamp(ListEntries(path)) != m_stamp ? TRUE : FALSE;
}

wxString CPOHtmlFolder::GetListCaption() {
  return wxString::Format(hv::LocalString(10602, wxS("Web-Dateien des Geräts '%s'")), devsvc::DeviceName(GetDevice()));
}

BOOL CPOHtmlFolder::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  if (!parent || !device) return FALSE;
  if (IsHtmlFolder(parent)) return CreateSubFolder(parent, device);
  // The root: one per device; the device's web folder is made when missing.
  for (CProjectObject* child : parent->GetChildren()) {
    if (IsHtmlFolder(child)) {
      hv::ShowMessage(10631, wxS("Dieser Ordner existiert bereits!"), MB_OK | MB_ICONINFORMATION);
      return FALSE;
    }
  }
  const wxString folder = devsvc::DeviceFolder(device);
  if (folder.empty()) return FALSE;
  const wxString web = hv::ResolvePath(hv::JoinPath(folder, wxS("web")));
  if (!hv::IsFolder(web) && !hv::MakeFolders(web)) {
    hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  auto root = std::make_unique<CPOHtmlFolder>(parent, device);
  FileEntry entry;
  if (StatFile(web, entry)) root->SetTime(entry.TimeSeconds());
  return AddNewObject(parent, std::move(root));
}

namespace {

// Cut folders wait on the clipboard as copies "TAVD*/<name>" in the private temporary
// folder.
bool IsStagedFolder(const wxString& path) {
  char* parent = realpath(hv::ToFs(hv::PathFolder(path)).c_str(), nullptr);
  char* temp = realpath(hv::ToFs(hv::TempFolder()).c_str(), nullptr);
  bool staged = false;
  if (parent && temp) {
    const std::string p(parent);
    const std::string t(temp);
    const std::size_t slash = p.rfind('/');
    staged = slash != std::string::npos && p.substr(0, slash) == t && p.compare(slash + 1, 4, "TAVD") == 0;
  }
  std::free(parent);
  std::free(temp);
  return staged;
}

wxString StageFolder(const wxString& folder) {
  std::string holder = hv::ToFs(hv::JoinPath(hv::TempFolder(), wxS("TAVDXXXXXX")));
  if (!mkdtemp(holder.data())) return wxString();
  staging::NoteStagedFolder(hv::FromFs(holder));
  const wxString staged = hv::JoinPath(hv::FromFs(holder), hv::PathName(folder));
  if (!CopyDirectory(folder, staged, TRUE, TRUE)) {
    DeleteDirectory(hv::FromFs(holder));
    return wxString();
  }
  return staged;
}

// Whether `inner` is `outer` or lies inside it (both existing, links resolved).
bool IsSameOrInside(const wxString& inner, const wxString& outer) {
  char* a = realpath(hv::ToFs(inner).c_str(), nullptr);
  char* b = realpath(hv::ToFs(outer).c_str(), nullptr);
  bool inside = false;
  if (a && b) {
    const std::string x(a);
    const std::string y(b);
    inside = x == y || (x.size() > y.size() && x.compare(0, y.size(), y) == 0 && x[y.size()] == '/');
  }
  std::free(a);
  std::free(b);
  return inside;
}

// A device's own web folder: "web" beside the device's settings file.
bool IsWebRoot(const wxString& path) {
  return hv::PathName(path).CmpNoCase(wxS("web")) == 0 && hv::IsFile(hv::JoinPath(hv::PathFolder(path), wxS("DEVICE.SET")));
}

// A copied folder lies below some device's web folder; clipboard data naming any other
// folder (they are untrusted) are not taken.
bool IsBelowWebFolder(const wxString& path) {
  wxString rest = hv::PathFolder(path);
  while (!rest.empty() && rest != wxS("/")) {
    rest = hv::StripOneTrailingSeparator(rest);
    if (hv::PathName(rest).CmpNoCase(wxS("web")) == 0) return true;
    const wxString up = hv::PathFolder(rest);
    if (up == rest) break;
    rest = up;
  }
  return false;
}

void ReportMissingFolder(const wxString& path) {
  hv::ShowMessageF(10648, wxS("Der Ordner %s existiert nicht!"), MB_OK | MB_ICONINFORMATION, path);
}

}  // namespace

BOOL CPOHtmlFolder::CreateSubFolder(CProjectObject* parent, CPOPrjDevice* device) {
  const wxString base = static_cast<CPOHtmlFolder*>(parent)->GetPath();
  if (base.empty()) return FALSE;
  NewNameRequest request;
  request.title = hv::LocalString(10628, wxS("Neuer Ordner"));
  request.maxLength = 240;
  request.checkCharacters = true;
  request.allowBlank = true;
  if (resfiles::SupportsKeypads(device)) request.name = hv::LocalString(10628, wxS("Neuer Ordner"));
  if (hv::Ui().Run(request) != IDOK) return FALSE;
  const wxString name = request.name.Strip(wxString::both);
  if (!resfiles::IsSafeFileName(name)) {
    hv::ShowMessage(10635, wxS("Fehler beim Erzeugen des Ordners!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  const wxString path = hv::JoinPath(base, name);
  if (hv::PathExists(path)) {
    hv::ShowMessage(10631, wxS("Dieser Ordner existiert bereits!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (!CreateDirectoryPath(path)) {
    hv::ShowMessage(10635, wxS("Fehler beim Erzeugen des Ordners!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  auto folder = std::make_unique<CPOHtmlFolder>(parent, device);
  folder->SetName(name);
  folder->SetTime(static_cast<std::int64_t>(time(nullptr)));
  return AddNewObject(parent, std::move(folder));
}

BOOL CPOHtmlFolder::Delete() {
  const wxString path = GetPath();
  if (path.empty() || !hv::IsFolder(path)) return FALSE;
  return DeleteFiles(hv::LocalString(10641, wxS("Quelldateien werden gelöscht")), FALSE, path);
}

BOOL CPOHtmlFolder::WriteToClipboard(CArchive& ar) {
  const wxString path = GetPath();
  if (path.empty() || !hv::IsFolder(path)) return FALSE;
  ar.WriteString(path + wxS("\n"), !hv::FitsCp1252(path));
  return TRUE;
}

BOOL CPOHtmlFolder::Cut(CArchive& ar) {
  const wxString path = GetPath();
  if (path.empty() || !hv::IsFolder(path) || IsRoot()) return FALSE;
  const wxString staged = StageFolder(path);
  if (staged.empty()) {
    hv::ShowMessageF(10982, wxS("Die Datei %s konnte nicht kopiert werden!"), MB_OK | MB_ICONEXCLAMATION, GetName());
    return FALSE;
  }
  ar.WriteString(staged + wxS("\n"), !hv::FitsCp1252(staged));
  return Delete();
}

BOOL CPOHtmlFolder::ReadFromClipboard(CArchive& ar, CProjectObject* target) {
  m_retryBelow = false;
  wxString source = ar.ReadString();
  if (!source.EndsWith(wxS("\n"))) return FALSE;
  source.RemoveLast();
  source = hv::StripOneTrailingSeparator(hv::NormalizePath(source));
  const wxString name = hv::PathName(source);
  const bool staged = IsStagedFolder(source);
  const bool root = !staged && IsWebRoot(source);
  if (!source.StartsWith(wxS("/")) || !resfiles::IsSafeFileName(name) || !hv::IsFolder(source) ||
      (!staged && !root && !IsBelowWebFolder(source))) {
    ReportMissingFolder(source);
    return FALSE;
  }
  auto* into = dynamic_cast<CPOHtmlFolder*>(target);
  if (!into && !root) {
    // A sub-folder pasted onto a device goes into the device's web folder node, which
    // the transfer finds or makes before reading the folder again there.
    m_retryBelow = true;
    return FALSE;
  }
  // Without a CompactFlash card a device's web files have no sub-folders: one pasted
  // there would be written but never listed, nor sent.
  if (into && !devsvc::IsCFAvailable(into->GetDevice())) {
    CProjectObject* device = devsvc::DeviceObject(into->GetDevice());
    hv::ShowMessageF(13945,
                     wxS("Der Ordner '%s' kann nicht eingefügt werden: Das Gerät '%s' hat keine CompactFlash-Karte, "
                         "seine Web-Dateien haben keine Unterordner.\nFügen Sie die Dateien des Ordners einzeln ein."),
                     MB_OK | MB_ICONEXCLAMATION, name, device ? device->GetName() : wxString());
    return FALSE;
  }
  // A device's whole web folder pasted onto a device becomes that device's web folder.
  const wxString base = into ? into->GetPath() : devsvc::DeviceFolder(GetDevice());
  if (base.empty()) return FALSE;
  const wxString destination =
      into ? hv::ResolvePath(hv::JoinPath(base, name)) : hv::ResolvePath(hv::JoinPath(base, wxS("web")));
  const wxString shown = into ? name : RootName();
  // Into itself, its own parent or below itself would copy files onto themselves.
  if (!staged && ((hv::IsFolder(base) && IsSameOrInside(base, source)) ||
                  (hv::IsFolder(destination) && IsSameOrInside(destination, source)))) {
    hv::ShowMessageF(10643, wxS("%s kann nicht kopiert werden: Der Ziel- und der Quellordner sind identisch."),
                     MB_OK | MB_ICONEXCLAMATION, shown);
    return FALSE;
  }
  const bool exists = hv::PathExists(destination);
  if (exists && (into || !ListEntries(destination).empty())) {
    if (hv::ShowMessageF(10650, wxS("Dieser Ordner enthält bereits Ordner namens \"%s\".\nÜberschreiben?"),
                         MB_YESNO | MB_ICONQUESTION, shown) != IDYES)
      return FALSE;
  }
  if (!exists && !CreateDirectoryPath(destination)) {
    hv::ShowMessage(10635, wxS("Fehler beim Erzeugen des Ordners!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (!CopyDirectory(source, destination, FALSE, TRUE)) {
    hv::ShowMessageF(10982, wxS("Die Datei %s konnte nicht kopiert werden!"), MB_OK | MB_ICONEXCLAMATION, name);
    if (!exists) DeleteDirectory(destination);
    return FALSE;
  }
  // The node that showed the folder before gives way to this one.
  if (target)
    for (CProjectObject* child : target->GetChildren())
      if (child != this && IsHtmlFolder(child) &&
          (into ? child->GetName().CmpNoCase(hv::PathName(destination)) == 0 : true))
        target->RemoveChild(child);
  if (into) SetName(hv::PathName(destination));
  FileEntry entry;
  if (StatFile(destination, entry)) m_time = entry.TimeSeconds();
  m_stamped = false;
  return TRUE;
}

void CPOHtmlFolder::OnDeleteAsked() {
  const wxString path = GetPath();
  if (path.empty() || !hv::IsFolder(path)) return;
  if (hv::ShowMessageF(10638, wxS("Sind Sie sicher, daß Sie den Ordner '%s' löschen wollen?"),
                       MB_YESNO | MB_ICONQUESTION, GetName()) != IDYES)
    return;
  OnDelete();
}

void CPOHtmlFolder::OnNewPage() {
  SetMultipleSelection(FALSE);
  CPOHtml prototype(this, GetDevice());
  prototype.CreateNew(this, GetDevice(), nullptr);
}

void CPOHtmlFolder::OnNewFolder() {
  SetMultipleSelection(FALSE);
  CreateSubFolder(this, GetDevice());
}

void CPOHtmlFolder::OnSend() {
  if (!GetDevice()) return;
  if (web::UsesArchive(GetDevice())) web::SendArchive(GetDevice());
  else web::SendPages(GetDevice(), GetPath(), true);
}

void CPOHtmlFolder::OnToggleCard() { web::ToggleCard(GetDevice()); }

void CPOHtmlFolder::OnUpdateNewPage(CCmdUI* pCmdUI) {
  pCmdUI->SetText(hv::LocalString(10605, wxS("Neue HTML-Datei")));
}

void CPOHtmlFolder::OnUpdateNewFolder(CCmdUI* pCmdUI) { pCmdUI->Enable(devsvc::IsCFAvailable(GetDevice())); }

void CPOHtmlFolder::OnUpdateSend(CCmdUI* pCmdUI) { pCmdUI->Enable(HasListChildren()); }

void CPOHtmlFolder::OnUpdateToggleCard(CCmdUI* pCmdUI) { UpdateCardChoice(GetDevice(), pCmdUI); }
