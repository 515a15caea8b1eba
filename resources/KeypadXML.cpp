#include "resources/KeypadXML.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>

#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/xml/xml.h>

#include "framework/CommandIds.h"
#include "framework/FolderUtils.h"
#include "framework/StagedCopies.h"
#include "framework/UpdateHints.h"
#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/ResourceCommands.h"
#include "resources/ResourceFiles.h"
#include "resources/ResourceRequests.h"

BEGIN_COMMAND_MAP(CPOKeypadXML, CProjectObject)
  ON_COMMAND(ID_OBJECT_EDIT, OnEdit)
  ON_COMMAND(ID_OBJECT_DELETE, OnDelete)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_DELETE, OnUpdateRemove)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateRemove)
  ON_COMMAND(ID_NEW_OBJECT, OnNewObject)
  ON_COMMAND(ID_OBJECT_NEW_COPY, OnNewCopy)
  ON_COMMAND(ID_RES_KEYPAD_DOWNLOAD, OnDownload)
END_COMMAND_MAP()

namespace {

bool NamesPicture(const wxString& text) {
  const wxString ext = hv::PathExtension(text).Lower();
  return ext == "bmp" || ext == "jpg" || ext == "jpeg" || ext == "gif" || ext == "png";
}

// In the file's order; nodes are walked without recursion, however deep they nest.
void CollectPictures(const wxXmlNode* root, std::vector<wxString>& names) {
  std::vector<const wxXmlNode*> pending{root};
  while (!pending.empty()) {
    const wxXmlNode* node = pending.back();
    pending.pop_back();
    if (!node) continue;
    std::vector<wxString> values;
    for (const wxXmlAttribute* a = node->GetAttributes(); a; a = a->GetNext()) values.push_back(a->GetValue());
    if (node->GetType() == wxXML_TEXT_NODE || node->GetType() == wxXML_CDATA_SECTION_NODE)
      values.push_back(node->GetContent());
    for (wxString value : values) {
      value.Trim(true).Trim(false);
      if (!NamesPicture(value)) continue;
      const auto same = [&](const wxString& n) { return n.CmpNoCase(value) == 0; };
      if (std::none_of(names.begin(), names.end(), same)) names.push_back(value);
    }
    const size_t at = pending.size();
    for (const wxXmlNode* child = node->GetChildren(); child; child = child->GetNext()) pending.push_back(child);
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(at), pending.end());
  }
}

}  // namespace

std::vector<wxString> KeypadFiles(const wxString& xmlPath) {
  std::vector<wxString> files{hv::PathName(hv::NormalizePath(xmlPath))};
  std::string bytes;
  if (!hv::ReadFileBytes(xmlPath, bytes) || bytes.empty()) return files;
  wxMemoryInputStream in(bytes.data(), bytes.size());
  wxXmlDocument doc;
  wxLogNull quiet;   // a file that is no XML yet names no pictures
  if (doc.Load(in)) CollectPictures(doc.GetRoot(), files);
  return files;
}

bool KeypadTemplateChosen(const wxString& name, CProjectObject* parent) {
  if (name.CmpNoCase(kTemplateChosen) != 0) return false;
  if (parent) parent->LoadChildren();
  CProjectObject::UpdateAllViews(HINT_REBUILD_TREE, nullptr);
  return true;
}

CPOKeypadXML::CPOKeypadXML(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
  m_fileTime = static_cast<std::int64_t>(time(nullptr));
}

void CPOKeypadXML::SetFile(const wxString& path, std::int64_t time, std::uint32_t size) {
  m_path = path;
  m_fileTime = time;
  m_fileSize = size;
}

bool CPOKeypadXML::IsDeviceTypeFile() const { return resfiles::IsDeviceTypeFile(GetDevice(), m_path); }

void CPOKeypadXML::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(m_fileSize);
    ar.WriteU64(static_cast<std::uint64_t>(m_fileTime));
    ar.WriteString(m_path, !hv::FitsCp1252(m_path));
  } else {
    m_fileSize = ar.ReadU32();
    m_fileTime = static_cast<std::int64_t>(ar.ReadU64());
    m_path = ar.ReadString();
  }
}

wxString CPOKeypadXML::GetColumnText(int column) {
  switch (column) {
    case 3: return FormatSizeKB(m_fileSize);
    case 4: return FormatFileTime(m_fileTime);
    default: return CProjectObject::GetColumnText(column);
  }
}

int CPOKeypadXML::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOKeypadXML*>(other);
  if (o && column == 3) return CompareValues(m_fileSize, o->m_fileSize);
  if (o && column == 4) return CompareValues(m_fileTime, o->m_fileTime);
  return CProjectObject::Compare(other, column);
}

BOOL CPOKeypadXML::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  const auto* source = templ && IsValidObject(templ) && std::string_view(templ->ClassName()) == kClassName
                           ? static_cast<const CPOKeypadXML*>(templ)
                           : nullptr;
  NewKeypadRequest request;
  request.title = hv::LocalString(11610, wxS("Neue Keypad XML Config-Datei"));
  request.maxLength = 240;
  request.checkCharacters = true;
  request.deviceFolder = devsvc::DeviceFolder(device);
  request.name = wxS("keypad");
  if (source) {
    request.name = source->GetName();
    if (request.name.Lower().EndsWith(wxS(".xml"))) request.name.RemoveLast(4);
  }
  if (hv::Ui().Run(request) != IDOK) return FALSE;
  if (KeypadTemplateChosen(request.name, parent)) return TRUE;

  const wxString name = hv::PathStem(hv::PathName(request.name)) + wxS(".xml");
  if (!resfiles::IsSafeFileName(hv::PathStem(name))) return FALSE;
  const wxString folder = DeviceSubFolder(device, wxS("keypads"));
  const wxString path = hv::JoinPath(folder, name);
  if (hv::PathExists(path)) {
    hv::ShowMessage(11611, wxS("Diese Keypad XML Config-Datei existiert bereits!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (!CreateDirectoryPath(folder)) {
    hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (source) {
    if (staging::CopyRegularFile(source->m_path, path, false) != staging::CopyResult::Copied) {
      hv::ShowMessage(11612, wxS("Fehler beim Kopieren der Keypad XML Config-Datei!"), MB_OK | MB_ICONEXCLAMATION);
      return FALSE;
    }
  } else {
    const int fd = open(hv::ToFs(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      hv::ShowMessage(11613, wxS("Fehler beim Erzeugen der Keypad XMLL Config-Datei!"), MB_OK | MB_ICONEXCLAMATION);
      return FALSE;
    }
    close(fd);
  }
  auto keypad = std::make_unique<CPOKeypadXML>(parent, device);
  keypad->SetName(name);
  FileEntry entry;
  if (StatFile(path, entry)) keypad->SetFile(path, entry.TimeSeconds(), static_cast<std::uint32_t>(entry.size));
  else keypad->m_path = path;
  CPOKeypadXML* made = keypad.get();
  if (!AddNewObject(parent, std::move(keypad))) return FALSE;
  made->Edit();
  return TRUE;
}

BOOL CPOKeypadXML::Delete() {
  if (!GetDevice() || m_path.empty() || IsDeviceTypeFile()) return FALSE;
  return DeleteFiles(wxString(), TRUE, m_path);
}

BOOL CPOKeypadXML::Edit() {
  if (!GetDevice()) return FALSE;
  resfiles::LaunchEditor(wxS("XML"), m_path);
  return TRUE;
}

BOOL CPOKeypadXML::WriteToClipboard(CArchive& ar) { return resfiles::WriteStagedFile(ar, m_path); }

BOOL CPOKeypadXML::Cut(CArchive& ar) {
  if (IsDeviceTypeFile()) return FALSE;
  return WriteToClipboard(ar) && Delete() ? TRUE : FALSE;
}

BOOL CPOKeypadXML::ReadFromClipboard(CArchive& ar, CProjectObject*) {
  const wxString staged = resfiles::ReadStagedFile(ar, GetName());
  if (staged.empty()) return FALSE;
  const wxString name = hv::PathName(hv::NormalizePath(m_path.empty() ? GetName() : m_path));
  const wxString placed =
      resfiles::PlaceStagedFile(staged, DeviceSubFolder(GetDevice(), wxS("keypads")), name, GetParent(), this, 10099);
  if (placed.empty()) return FALSE;
  SetName(hv::PathName(placed));
  FileEntry entry;
  if (StatFile(placed, entry)) SetFile(placed, entry.TimeSeconds(), static_cast<std::uint32_t>(entry.size));
  else m_path = placed;
  return TRUE;
}

BOOL CPOKeypadXML::Download() {
  CPOPrjDevice* device = GetDevice();
  if (m_path.empty()) return FALSE;   // no file to send
  resfiles::CeSend send;
  if (!resfiles::PrepareCeSend(device, send)) return FALSE;
  send.caption = hv::LocalString(11614, wxS("Keypad XML Config-Datei(en) downloaden"));
  const wxString folder = hv::PathFolder(hv::NormalizePath(m_path));
  send.source = folder.empty() ? DeviceSubFolder(device, wxS("keypads")) : hv::StripOneTrailingSeparator(folder);
  send.localBase = send.source;
  // Its own files only: the folder may be the type's hardware folder with its configuration.
  send.files = KeypadFiles(m_path);
  send.targetPath = wxS("\\Flashdisk\\TavDesign");
  return resfiles::SendToDevice(device, send);
}

void CPOKeypadXML::OnUpdateRemove(CCmdUI* pCmdUI) {
  if (IsDeviceTypeFile()) pCmdUI->Enable(FALSE);
  else pCmdUI->ContinueRouting();
}
