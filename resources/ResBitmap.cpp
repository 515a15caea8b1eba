#include "resources/ResBitmap.h"

#include "model/ObjectSupport.h"
#include "model/DeviceServices.h"
#include "platform/Localization.h"
#include "resources/Bitmap.h"
#include "resources/NamedRecords.h"
#include "resources/PictureInfo.h"
#include "resources/ResourceFiles.h"

namespace {

std::vector<FileEntry> PictureFiles(CPOPrjDevice* device) {
  const wxString folder = DeviceSubFolder(device, wxS("bitmaps"));
  return folder.empty() ? std::vector<FileEntry>() : ListFiles(folder, {"*.bmp", "*.jpg", "*.gif"});
}

}  // namespace

CPOResBitmap::CPOResBitmap() { SetName(hv::LocalString(10963, wxS("Bitmaps"))); }

CPOResBitmap::CPOResBitmap(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10963, wxS("Bitmaps")));
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOResBitmap::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::ResBitmap); }

BOOL CPOResBitmap::HasListChildren() { return PictureFiles(GetDevice()).empty() ? FALSE : TRUE; }

BOOL CPOResBitmap::LoadChildren() {
  ChildPool pool(*this);
  NamedRecords records(devsvc::DeviceFolder(GetDevice()), hv::db::BitmapSchema());
  const std::vector<FileEntry> files = PictureFiles(GetDevice());
  m_stamp = resfiles::ListingStamp(files);
  m_stamped = true;
  for (const FileEntry& file : files) {
    std::unique_ptr<CProjectObject> child = pool.Take([&](CProjectObject& o) {
      return std::string_view(o.ClassName()) == CPOBitmap::kClassName && o.GetName() == file.name;
    });
    if (!child) {
      child = std::make_unique<CPOBitmap>(this, GetDevice());
      child->SetName(file.name);
    }
    CPOBitmap::Listing listing;
    records.Find(file.name, listing.recordNumber, listing.logicalId);
    listing.fileTime = file.TimeSeconds();
    listing.fileSize = static_cast<std::uint32_t>(file.size);
    PictureInfo picture;
    if (ReadPictureFile(file.path, picture)) {
      listing.dimension = PictureDimensionText(picture);
      listing.colours = PictureColoursText(picture);
    }
    static_cast<CPOBitmap&>(*child).SetListing(listing);
    AddChild(std::move(child));
  }
  return TRUE;
}

BOOL CPOResBitmap::IsStale() {
  return !m_stamped || resfiles::ListingStamp(PictureFiles(GetDevice())) != m_stamp ? TRUE : FALSE;
}

BOOL CPOResBitmap::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOResBitmap>(parent, device);
}
