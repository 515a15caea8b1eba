#include "resources/HtmlFolder.h"

#include <string_view>

#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/Html.h"

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
  for (const FileEntry& entry : ListEntries(path)) {
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

wxString CPOHtmlFolder::GetListCaption() {
  return wxString::Format(hv::LocalString(10602, wxS("Web-Dateien des Geräts '%s'")), devsvc::DeviceName(GetDevice()));
}

BOOL CPOHtmlFolder::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  if (!parent || !device) return FALSE;
  if (IsHtmlFolder(parent)) {
    // Sub-folders come with the web pages' own commands.
    ShowNotAvailable(GetTypeCode());
    return FALSE;
  }
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
