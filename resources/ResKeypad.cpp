#include "resources/ResKeypad.h"

#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "resources/KeypadBmp.h"
#include "resources/KeypadXML.h"
#include "resources/ResourceFiles.h"

namespace {

struct KeypadFile {
  FileEntry file;
  bool xml;
};

std::vector<KeypadFile> KeypadFiles(CPOPrjDevice* device) {
  std::vector<KeypadFile> out;
  const wxString keypads = DeviceSubFolder(device, wxS("keypads"));
  if (keypads.empty()) return out;
  for (FileEntry& f : ListFiles(keypads, {"*.xml", "*.bmp"}))
    out.push_back({f, f.name.Lower().EndsWith(wxS(".xml"))});
  // The hardware folder also holds the device's configuration, which is no keypad.
  for (FileEntry& f : ListFiles(DeviceSubFolder(device, wxS("hardware")), {"*.xml"}))
    if (f.name.CmpNoCase(wxS("hardware.xml")) != 0) out.push_back({f, true});
  return out;
}

}  // namespace

CPOResKeypad::CPOResKeypad() { SetName(hv::LocalString(10967, wxS("Keypads"))); }

CPOResKeypad::CPOResKeypad(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10967, wxS("Keypads")));
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOResKeypad::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::ResKeypad); }

namespace {

std::uint64_t Stamp(const std::vector<KeypadFile>& keypads) {
  std::vector<FileEntry> files;
  files.reserve(keypads.size());
  for (const KeypadFile& k : keypads) files.push_back(k.file);
  return resfiles::ListingStamp(files);
}

}  // namespace

BOOL CPOResKeypad::HasListChildren() { return KeypadFiles(GetDevice()).empty() ? FALSE : TRUE; }

BOOL CPOResKeypad::LoadChildren() {
  ChildPool pool(*this);
  const std::vector<KeypadFile> keypads = KeypadFiles(GetDevice());
  m_stamp = Stamp(keypads);
  m_stamped = true;
  for (const KeypadFile& k : keypads) {
    const char* cls = k.xml ? CPOKeypadXML::kClassName : CPOKeypadBmp::kClassName;
    std::unique_ptr<CProjectObject> child = pool.Take([&](CProjectObject& o) {
      if (std::string_view(o.ClassName()) != cls) return false;
      return (k.xml ? static_cast<CPOKeypadXML&>(o).GetPath() : static_cast<CPOKeypadBmp&>(o).GetPath()) == k.file.path;
    });
    if (!child) {
      if (k.xml) child = std::make_unique<CPOKeypadXML>(this, GetDevice());
      else child = std::make_unique<CPOKeypadBmp>(this, GetDevice());
      child->SetName(k.file.name);
    }
    if (k.xml) {
      static_cast<CPOKeypadXML&>(*child).SetFile(k.file.path, k.file.TimeSeconds(), static_cast<std::uint32_t>(k.file.size));
    } else {
      auto& bmp = static_cast<CPOKeypadBmp&>(*child);
      CPOBitmap::Listing listing = bmp.GetListing();
      listing.fileTime = k.file.TimeSeconds();
      listing.fileSize = static_cast<std::uint32_t>(k.file.size);
      bmp.SetListing(listing);
      bmp.SetPath(k.file.path);
    }
    AddChild(std::move(child));
  }
  return TRUE;
}

BOOL CPOResKeypad::IsStale() {
  return !m_stamped || Stamp(KeypadFiles(GetDevice())) != m_stamp ? TRUE : FALSE;
}

BOOL CPOResKeypad::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOResKeypad>(parent, device);
}
