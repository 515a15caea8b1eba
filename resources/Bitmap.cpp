#include "resources/Bitmap.h"

#include <string_view>

#include "framework/CommandIds.h"
#include "framework/CompressionRequest.h"
#include "framework/FolderUtils.h"
#include "framework/SettingsFile.h"
#include "framework/StagedCopies.h"
#include "framework/UpdateHints.h"
#include "model/DeviceServices.h"
#include "model/DeviceSettings.h"
#include "model/ObjectSupport.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/LogicalIds.h"
#include "resources/PictureInfo.h"
#include "resources/ResourceFiles.h"
#include "resources/ResourceRequests.h"

BEGIN_COMMAND_MAP(CPOBitmap, CProjectObject)
  ON_COMMAND(ID_OBJECT_EDIT, OnEdit)
  ON_COMMAND(ID_OBJECT_DELETE, OnDelete)
  ON_COMMAND(ID_NEW_OBJECT, OnNewObject)
  ON_COMMAND(ID_OBJECT_NEW_COPY, OnNewCopy)
  ON_COMMAND(ID_OBJECT_LOGID, OnChangeLogicalId)
END_COMMAND_MAP()

namespace {

wxString PictureTitle() { return hv::LocalString(11602, wxS("Neues Bild")); }

void ShowExists() { hv::ShowMessage(11603, wxS("Dieses Bild existiert bereits!"), MB_OK | MB_ICONEXCLAMATION); }

}  // namespace

CPOBitmap::CPOBitmap(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  PlaceBelow(*this, parent, device);
  m_listing.fileTime = static_cast<std::int64_t>(time(nullptr));
}

wxString CPOBitmap::GetFilePath() const {
  const wxString folder = DeviceSubFolder(GetDevice(), wxS("bitmaps"));
  return folder.empty() ? wxString() : hv::ResolvePath(hv::JoinPath(folder, GetName()));
}

wxString CPOBitmap::PasteFolder() const { return DeviceSubFolder(GetDevice(), wxS("bitmaps")); }

void CPOBitmap::ReadFileListing(const wxString& path) {
  FileEntry entry;
  if (StatFile(path, entry)) {
    m_listing.fileTime = entry.TimeSeconds();
    m_listing.fileSize = static_cast<std::uint32_t>(entry.size);
  }
  PictureInfo picture;
  if (ReadPictureFile(path, picture)) {
    m_listing.dimension = PictureDimensionText(picture);
    m_listing.colours = PictureColoursText(picture);
  }
}

void CPOBitmap::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteU32(m_listing.fileSize);
    ar.WriteString(m_listing.colours, false);
    ar.WriteString(m_listing.dimension, false);
    ar.WriteU64(static_cast<std::uint64_t>(m_listing.fileTime));
    ar.WriteU16(m_listing.logicalId);
    ar.WriteU32(static_cast<std::uint32_t>(m_compression));
  } else {
    m_listing.fileSize = ar.ReadU32();
    m_listing.colours = ar.ReadString();
    m_listing.dimension = ar.ReadString();
    m_listing.fileTime = static_cast<std::int64_t>(ar.ReadU64());
    m_listing.logicalId = ar.ReadU16();
    m_compression = static_cast<int>(ar.ReadU32());
    m_listing.recordNumber = 0;
  }
}

wxString CPOBitmap::GetColumnText(int column) {
  switch (column) {
    case 1: return m_listing.recordNumber ? wxString::Format(wxS("%lu"), static_cast<unsigned long>(m_listing.recordNumber)) : wxString();
    case 2: return FormatLogicalId(m_listing.logicalId);
    case 3: return FormatSizeKB(m_listing.fileSize);
    case 4: return FormatFileTime(m_listing.fileTime);
    case 5: return m_listing.dimension;
    case 6: return m_listing.colours;
    case 7: return CompressionText();
    default: return CProjectObject::GetColumnText(column);
  }
}

int CPOBitmap::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOBitmap*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  const Listing& a = m_listing;
  const Listing& b = o->m_listing;
  switch (column) {
    case 1: return CompareValues(a.recordNumber, b.recordNumber);
    case 2: return CompareValues(a.logicalId, b.logicalId);
    case 3: return CompareValues(a.fileSize, b.fileSize);
    case 4: return CompareValues(a.fileTime, b.fileTime);
    case 5: return CompareValues(a.dimension, b.dimension);
    case 6: {
      long x = 0;
      long y = 0;
      a.colours.ToCLong(&x);
      b.colours.ToCLong(&y);
      return CompareValues(x, y);
    }
    case 7: return CompareValues(m_compression, o->m_compression);
    default: return CProjectObject::Compare(other, column);
  }
}

wxString CPOBitmap::CompressionText() {
  const wxString yes = hv::LocalString(11623, wxS("Ja"));
  const wxString no = hv::LocalString(11624, wxS("Nein"));
  if (m_compression == 1) return yes;
  if (m_compression == 2) return no;
  const CDeviceSettings settings(devsvc::DeviceFolder(GetDevice()));
  const bool compressed = settings.File().GetInt(wxS("Config"), wxS("BitmapsCompressed"), 0) != 0;
  return wxString::Format(hv::LocalString(11625, wxS("Default (%s)")), compressed ? yes : no);
}

BOOL CPOBitmap::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) {
  if (!parent || !device) return FALSE;
  if (templ && IsValidObject(templ) && std::string_view(templ->ClassName()) == ClassName())
    return CreateCopy(parent, device, *static_cast<const CPOBitmap*>(templ));
  const wxString deviceFolder = devsvc::DeviceFolder(device);

  NewBitmapAndLogIdRequest request;
  request.title = PictureTitle();
  // The BITMAP row keeps 240 characters of name and extension.
  request.maxLength = 236;
  request.checkCharacters = true;
  request.deviceFolder = deviceFolder;
  if (logid::AskNameAndId(request, deviceFolder, logid::Kind::Bitmap) != IDOK) return FALSE;

  const wxString folder = DeviceSubFolder(device, wxS("bitmaps"));
  wxString name;
  if (request.fromGallery) {
    name = request.name;
    // A picture already listed is the same picture, not a second one.
    for (CProjectObject* child : parent->GetChildren()) {
      if (child->GetName().CmpNoCase(name) == 0) {
        UpdateAllViews(HINT_OBJECT_CHANGED, child);
        return TRUE;
      }
    }
  } else {
    const wxString extension = PictureTypeExtension(request.fileType);
    name = hv::PathStem(hv::PathName(request.name)) + wxS(".") + extension;
    if (!resfiles::IsSafeFileName(hv::PathStem(name))) return FALSE;
    if (hv::PathExists(hv::JoinPath(folder, name))) {
      ShowExists();
      return FALSE;
    }
    if (!CreateDirectoryPath(folder)) {
      hv::ShowMessage(10125, wxS("Fehler beim Erzeugen des Verzeichnisses!"), MB_OK | MB_ICONEXCLAMATION);
      return FALSE;
    }
    // Each type has a template of its own kind: a ".jpg" holds JPEG bytes.
    if (staging::CopyRegularFile(resfiles::TemplateFile(wxS("default.") + extension), hv::JoinPath(folder, name),
                                 false, staging::CopyMode::AsNewFile) != staging::CopyResult::Copied) {
      hv::ShowMessage(11604, wxS("Fehler beim Erzeugen des Bitmaps!"), MB_OK | MB_ICONEXCLAMATION);
      return FALSE;
    }
  }
  auto picture = std::make_unique<CPOBitmap>(parent, device);
  picture->SetName(name);
  picture->ReadFileListing(hv::JoinPath(folder, name));
  picture->m_listing.logicalId = static_cast<std::uint16_t>(request.logId);
  picture->m_listing.recordNumber =
      logid::Register(deviceFolder, logid::Kind::Bitmap, name, picture->m_listing.logicalId);
  CPOBitmap* made = picture.get();
  if (!AddNewObject(parent, std::move(picture))) return FALSE;
  if (!request.fromGallery) made->Edit();
  return TRUE;
}

BOOL CPOBitmap::CreateCopy(CProjectObject* parent, CPOPrjDevice* device, const CPOBitmap& source) {
  const wxString deviceFolder = devsvc::DeviceFolder(device);
  NewNameAndLogIdRequest request;
  request.title = PictureTitle();
  request.maxLength = 60;
  request.checkCharacters = true;
  request.name = hv::PathStem(source.GetName());
  if (logid::AskNameAndId(request, deviceFolder, logid::Kind::Bitmap) != IDOK) return FALSE;

  const wxString name = hv::PathStem(hv::PathName(request.name)) + wxS(".") + hv::PathExtension(source.GetName());
  if (!resfiles::IsSafeFileName(hv::PathStem(name))) return FALSE;
  const wxString folder = DeviceSubFolder(device, wxS("bitmaps"));
  const wxString path = hv::JoinPath(folder, name);
  if (hv::PathExists(path)) {
    ShowExists();
    return FALSE;
  }
  if (staging::CopyRegularFile(source.GetFilePath(), path, false) != staging::CopyResult::Copied) {
    hv::ShowMessage(11604, wxS("Fehler beim Erzeugen des Bitmaps!"), MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  auto copy = std::make_unique<CPOBitmap>(parent, device);
  copy->SetName(name);
  copy->m_listing = source.m_listing;
  copy->m_compression = source.m_compression;
  copy->ReadFileListing(path);
  copy->m_listing.logicalId = static_cast<std::uint16_t>(request.logId);
  copy->m_listing.recordNumber = logid::Register(deviceFolder, logid::Kind::Bitmap, name, copy->m_listing.logicalId);
  CPOBitmap* made = copy.get();
  if (!AddNewObject(parent, std::move(copy))) return FALSE;
  made->Edit();
  return TRUE;
}

BOOL CPOBitmap::RefuseUsed() {
  logid::Records records(devsvc::DeviceFolder(GetDevice()), logid::Kind::Bitmap);
  if (!records.IsOpen()) return TRUE;
  BOOL several = IsMultipleSelection();
  const bool used = logid::ReportUse(records, logid::Kind::Bitmap, hv::PathName(GetFilePath()), GetName(), several);
  SetMultipleSelection(several);
  return used ? TRUE : FALSE;
}

BOOL CPOBitmap::Delete() {
  const wxString path = GetFilePath();
  if (!GetDevice() || path.empty() || RefuseUsed()) return FALSE;
  if (!DeleteFiles(wxString(), TRUE, path)) return FALSE;
  logid::Records(devsvc::DeviceFolder(GetDevice()), logid::Kind::Bitmap).DeleteName(hv::PathName(path));
  return TRUE;
}

BOOL CPOBitmap::Edit() {
  if (!GetDevice()) return FALSE;
  resfiles::LaunchEditor(wxS("BITMAP"), GetFilePath());
  return TRUE;
}

BOOL CPOBitmap::WriteToClipboard(CArchive& ar) { return resfiles::WriteStagedFile(ar, GetFilePath()); }

BOOL CPOBitmap::Cut(CArchive& ar) { return WriteToClipboard(ar) && Delete() ? TRUE : FALSE; }

BOOL CPOBitmap::ReadFromClipboard(CArchive& ar, CProjectObject*) {
  const wxString staged = resfiles::ReadStagedFile(ar, GetName());
  if (staged.empty()) return FALSE;
  const wxString placed = resfiles::PlaceStagedFile(staged, PasteFolder(), GetName(), GetParent(), this, 10099);
  if (placed.empty()) return FALSE;
  SetName(hv::PathName(placed));
  ReadFileListing(placed);
  m_listing.logicalId = logid::RegisterPasted(devsvc::DeviceFolder(GetDevice()), logid::Kind::Bitmap, GetName(),
                                              m_listing.logicalId, m_listing.recordNumber);
  return TRUE;
}

void CPOBitmap::OnColumnDblClick(int column) {
  if (column == 2) ChangeLogicalId();
  else if (column == 7) EditCompression();
  else Edit();
}

BOOL CPOBitmap::ChangeLogicalId() {
  if (!logid::Change(devsvc::DeviceFolder(GetDevice()), logid::Kind::Bitmap, hv::PathName(GetFilePath()),
                     m_listing.recordNumber, m_listing.logicalId))
    return FALSE;
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
  return TRUE;
}

BOOL CPOBitmap::EditCompression() {
  CompressionRequest request;
  request.compression = m_compression;
  if (hv::Ui().Run(request) != IDOK) return FALSE;
  m_compression = request.compression;
  const wxString deviceFolder = devsvc::DeviceFolder(GetDevice());
  if (!deviceFolder.empty()) {
    CSettingsFile file(hv::JoinPath(deviceFolder, wxS("Bitmap.set")));
    file.WriteInt(wxS("Compression"), GetName(), m_compression);
  }
  UpdateAllViews(HINT_OBJECT_CHANGED, this);
  return TRUE;
}
