#include "resources/Font.h"

#include "framework/CommandIds.h"
#include "framework/FolderUtils.h"
#include "framework/NameDialogRequests.h"
#include "framework/StagedCopies.h"
#include "framework/UpdateHints.h"
#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/LogicalIds.h"
#include "resources/ResourceCommands.h"
#include "resources/ResourceFiles.h"

BEGIN_COMMAND_MAP(CPOFont, CProjectObject)
  ON_COMMAND(ID_OBJECT_EDIT, OnEdit)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_EDIT, OnUpdateEdit)
  ON_COMMAND(ID_OBJECT_DELETE, OnDelete)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_DELETE, OnUpdateRemove)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateRemove)
  ON_COMMAND(ID_NEW_OBJECT, OnNewObject)
  ON_UPDATE_COMMAND_UI(ID_NEW_OBJECT, OnUpdateNew)
  ON_COMMAND(ID_OBJECT_NEW_COPY, OnNewCopy)
  ON_UPDATE_COMMAND_UI(ID_OBJECT_NEW_COPY, OnUpdateNewCopy)
  ON_COMMAND(ID_OBJECT_LOGID, OnChangeLogicalId)
  ON_COMMAND(ID_RES_FONT_DOWNLOAD, OnDownload)
  ON_UPDATE_COMMAND_UI(ID_RES_FONT_DOWNLOAD, OnUpdateDownload)
END_COMMAND_MAP()

namespace {

void ShowCreateError() {
  hv::ShowMessage(10231, wxS("Fehler beim Erzeugen des Fonts!"), MB_OK | MB_ICONEXCLAMATION);
}

bool IsFont(const CProjectObject* object) {
  return object && std::string_view(object->ClassName()) == CPOFont::kClassName;
}

}  // namespace

CPOFont::CPOFont(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
  m_listing.fileTime = static_cast<std::int64_t>(time(nullptr));
}

bool CPOFont::IsDeviceTypeFont() const { return resfiles::IsDeviceTypeFile(GetDevice(), m_listing.path); }

bool CPOFont::IsBitmapFont() const { return GetName().Lower().EndsWith(wxS(".fnt")); }

void CPOFont::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(m_listing.fileSize);
    ar.WriteU64(static_cast<std::uint64_t>(m_listing.fileTime));
    ar.WriteU16(m_listing.logicalId);
    ar.WriteString(m_listing.path, !hv::FitsCp1252(m_listing.path));
  } else {
    m_listing.fileSize = ar.ReadU32();
    m_listing.fileTime = static_cast<std::int64_t>(ar.ReadU64());
    m_listing.logicalId = ar.ReadU16();
    m_listing.path = ar.ReadString();
    m_listing.recordNumber = 0;
  }
}

int CPOFont::GetImage() {
  const wxString& name = GetName();
  return name.Lower().EndsWith(wxS("ttf")) || name.Find('.') == wxNOT_FOUND ? 42 : 9;
}

wxString CPOFont::GetColumnText(int column) {
  switch (column) {
    case 1: return m_listing.recordNumber ? wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_listing.recordNumber)) : wxString();
    case 2: return FormatLogicalId(m_listing.logicalId);
    case 3: return FormatSizeKB(m_listing.fileSize);
    case 4: return FormatFileTime(m_listing.fileTime);
    default: return CProjectObject::GetColumnText(column);
  }
}

int CPOFont::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOFont*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  switch (column) {
    case 1: return CompareValues(m_listing.recordNumber, o->m_listing.recordNumber);
    case 2: return CompareValues(m_listing.logicalId, o->m_listing.logicalId);
    case 3: return CompareValues(m_listing.fileSize, o->m_listing.fileSize);
    case 4: return CompareValues(m_listing.fileTime, o->m_listing.fileTime);
    default: return CProjectObject::Compare(other, column);
  }
}

BOOL CPOFont::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  const CPOFont* source = IsFont(templ) && IsValidObject(templ) ? static_cast<const CPOFont*>(templ) : nullptr;
  const wxString deviceFolder = devsvc::DeviceFolder(device);

  NewNameAndLogIdRequest request;
  request.title = hv::LocalString(10036, wxS("Neuer Font"));
  // The FONT row keeps 240 characters of name and extension.
  request.maxLength = 236;
  request.checkCharacters = true;
  if (source) {
    request.name = hv::PathStem(source->GetName());
    request.logId = 0;
  }
  if (logid::AskNameAndId(request, deviceFolder, logid::Kind::Font) != IDOK) return FALSE;

  const wxString extension = source ? wxS(".") + hv::PathExtension(source->GetName()) : wxString(wxS(".fnt"));
  const wxString name = hv::PathStem(hv::PathName(request.name)) + extension;
  if (!resfiles::IsSafeFileName(hv::PathStem(name))) return FALSE;
  const wxString folder = DeviceSubFolder(device, wxS("fonts"));
  const wxString path = hv::JoinPath(folder, name);
  if (hv::PathExists(path)) {
    hv::ShowMessage(10185, wxS("Dieser Font existiert bereits!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (!CreateDirectoryPath(folder)) {
    hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  const wxString from = source ? source->m_listing.path : resfiles::TemplateFile(wxS("default.fnt"));
  const auto mode = source ? staging::CopyMode::KeepSource : staging::CopyMode::AsNewFile;
  if (staging::CopyRegularFile(from, path, false, mode) != staging::CopyResult::Copied) {
    ShowCreateError();
    return FALSE;
  }
  auto font = std::make_unique<CPOFont>(parent, device);
  font->SetName(name);
  FileEntry entry;
  if (StatFile(path, entry)) {
    font->m_listing.fileTime = entry.TimeSeconds();
    font->m_listing.fileSize = static_cast<std::uint32_t>(entry.size);
  }
  font->m_listing.path = path;
  font->m_listing.logicalId = static_cast<std::uint16_t>(request.logId);
  font->m_listing.recordNumber = logid::Register(deviceFolder, logid::Kind::Font, name, font->m_listing.logicalId);
  CPOFont* made = font.get();
  if (!AddNewObject(parent, std::move(font))) return FALSE;
  if (made->IsBitmapFont()) made->Edit();
  return TRUE;
}

BOOL CPOFont::Delete() {
  const wxString deviceFolder = devsvc::DeviceFolder(GetDevice());
  if (deviceFolder.empty() || IsDeviceTypeFont()) return FALSE;
  logid::Records records(deviceFolder, logid::Kind::Font);
  if (!records.IsOpen()) return FALSE;
  const wxString name = hv::PathName(m_listing.path);
  BOOL several = IsMultipleSelection();
  const bool used = logid::ReportUse(records, logid::Kind::Font, name, GetName(), several);
  SetMultipleSelection(several);
  if (used) return FALSE;
  if (!DeleteFiles(wxString(), TRUE, m_listing.path)) return FALSE;
  records.DeleteName(name);
  return TRUE;
}

BOOL CPOFont::Edit() {
  if (!GetDevice()) return FALSE;
  if (IsBitmapFont()) resfiles::LaunchEditor(wxS("FONT"), hv::JoinPath(DeviceSubFolder(GetDevice(), wxS("fonts")), GetName()));
  else resfiles::LaunchEditor(wxS("TTFFONT"), m_listing.path);
  return TRUE;
}

BOOL CPOFont::WriteToClipboard(CArchive& ar) { return resfiles::WriteStagedFile(ar, m_listing.path); }

BOOL CPOFont::Cut(CArchive& ar) {
  if (IsDeviceTypeFont()) return FALSE;
  return WriteToClipboard(ar) && Delete() ? TRUE : FALSE;
}

BOOL CPOFont::ReadFromClipboard(CArchive& ar, CProjectObject*) {
  const wxString staged = resfiles::ReadStagedFile(ar, GetName());
  if (staged.empty()) return FALSE;
  const wxString deviceFolder = devsvc::DeviceFolder(GetDevice());
  const wxString folder = DeviceSubFolder(GetDevice(), wxS("fonts"));
  const wxString placed = resfiles::PlaceStagedFile(staged, folder, GetName(), GetParent(), this, 10206);
  if (placed.empty()) return FALSE;
  // From now on the font is the new file, never the source device's.
  m_listing.path = placed;
  SetName(hv::PathName(placed));
  FileEntry entry;
  if (StatFile(placed, entry)) {
    m_listing.fileTime = entry.TimeSeconds();
    m_listing.fileSize = static_cast<std::uint32_t>(entry.size);
  }
  m_listing.logicalId =
      logid::RegisterPasted(deviceFolder, logid::Kind::Font, GetName(), m_listing.logicalId, m_listing.recordNumber);
  return TRUE;
}

void CPOFont::OnColumnDblClick(int column) {
  if (column == 2) ChangeLogicalId();
  else Edit();
}

BOOL CPOFont::ChangeLogicalId() {
  const wxString deviceFolder = devsvc::DeviceFolder(GetDevice());
  if (!logid::Change(deviceFolder, logid::Kind::Font, hv::PathName(m_listing.path), m_listing.recordNumber,
                     m_listing.logicalId))
    return FALSE;
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
  return TRUE;
}

BOOL CPOFont::Download() {
  CPOPrjDevice* device = GetDevice();
  resfiles::CeSend send;
  if (!resfiles::PrepareCeSend(device, send)) return FALSE;
  send.caption = hv::LocalString(10729, wxS("True-Type Font downloaden"));
  send.source = m_listing.path;
  send.localBase = devsvc::DeviceFolder(device);
  send.targetPath = wxS("\\Flashdisk\\TavDesign\\Fonts");
  send.mode = kFtpModeSingleFile;
  return resfiles::SendToDevice(device, send);
}

void CPOFont::OnUpdateEdit(CCmdUI* pCmdUI) {
  if (!IsBitmapFont()) pCmdUI->SetText(hv::LocalString(10727, wxS("Anzeigen")));
  OnUpdateEditCommands(pCmdUI);
}

void CPOFont::OnUpdateRemove(CCmdUI* pCmdUI) {
  if (IsDeviceTypeFont()) pCmdUI->Enable(FALSE);
  else pCmdUI->ContinueRouting();
}

void CPOFont::OnUpdateNew(CCmdUI* pCmdUI) {
  pCmdUI->SetText(hv::LocalString(10036, wxS("Neuer Font")));
  pCmdUI->Enable(GetName().Lower().EndsWith(wxS("ttf")) ? FALSE : TRUE);
}

void CPOFont::OnUpdateNewCopy(CCmdUI* pCmdUI) {
  if (!IsBitmapFont()) pCmdUI->Enable(FALSE);
  else OnUpdateEditCommands(pCmdUI);
}

void CPOFont::OnUpdateDownload(CCmdUI* pCmdUI) {
  const wxString folder = hv::PathName(hv::StripOneTrailingSeparator(hv::PathFolder(m_listing.path)));
  pCmdUI->Enable(folder.CmpNoCase(wxS("fonts")) == 0 && m_listing.path.Lower().EndsWith(wxS(".ttf")) ? TRUE : FALSE);
}
