#include "resources/ResFont.h"

#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "resources/Font.h"
#include "resources/NamedRecords.h"
#include "resources/ResourceFiles.h"

namespace {

std::vector<FileEntry> FontFiles(CPOPrjDevice* device) {
  std::vector<FileEntry> out;
  const wxString fonts = DeviceSubFolder(device, wxS("fonts"));
  if (fonts.empty()) return out;
  for (FileEntry& f : ListFiles(fonts, {"*.fnt"})) out.push_back(std::move(f));
  for (FileEntry& f : ListFiles(fonts, {"*.ttf"})) out.push_back(std::move(f));
  for (FileEntry& f : ListFiles(DeviceSubFolder(device, wxS("hardware")), {"*.ttf"})) out.push_back(std::move(f));
  return out;
}

}  // namespace

CPOResFont::CPOResFont() { SetName(hv::LocalString(10964, wxS("Fonts"))); }

CPOResFont::CPOResFont(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10964, wxS("Fonts")));
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOResFont::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::ResFont); }

BOOL CPOResFont::HasListChildren() { return FontFiles(GetDevice()).empty() ? FALSE : TRUE; }

BOOL CPOResFont::LoadChildren() {
  ChildPool pool(*this);
  NamedRecords records(devsvc::DeviceFolder(GetDevice()), hv::db::FontSchema());
  const std::vector<FileEntry> files = FontFiles(GetDevice());
  m_stamp = resfiles::ListingStamp(files);
  m_stamped = true;
  for (const FileEntry& file : files) {
    // A font of the fonts folder and one of the hardware folder may share a name: the
    // path tells them apart.
    std::unique_ptr<CProjectObject> child = pool.Take([&](CProjectObject& o) {
      return std::string_view(o.ClassName()) == CPOFont::kClassName &&
             static_cast<CPOFont&>(o).GetListing().path == file.path;
    });
    if (!child) {
      child = std::make_unique<CPOFont>(this, GetDevice());
      child->SetName(file.name);
    }
    CPOFont::Listing listing;
    records.Find(file.name, listing.recordNumber, listing.logicalId);
    listing.fileTime = file.TimeSeconds();
    listing.fileSize = static_cast<std::uint32_t>(file.size);
    listing.path = file.path;
    static_cast<CPOFont&>(*child).SetListing(listing);
    AddChild(std::move(child));
  }
  return TRUE;
}

BOOL CPOResFont::IsStale() {
  return !m_stamped || resfiles::ListingStamp(FontFiles(GetDevice())) != m_stamp ? TRUE : FALSE;
}

BOOL CPOResFont::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOResFont>(parent, device);
}
