#include "model/NewObjectKinds.h"

#include <algorithm>

#include "framework/LocalTables.h"
#include "framework/Services.h"
#include "model/ModelServices.h"
#include "model/ProjectObject.h"
#include "platform/Registry.h"

namespace {


// True when `code` lies below `container` (or is it).
bool IsUnder(TypeCode code, TypeCode container) {
  for (TypeCode c = code;; c = GetParentTypeCode(c)) {
    if (c == container) return true;
    if (GetParentTypeCode(c) == c) return false;
  }
}

// The device's filter. The filters named after grouping folders act on the kinds
// inside them, since the folders themselves are never offered.
bool Allowed(TypeCode code, const DeviceCapabilities& d, bool proGrips) {
  const bool design = d.designEntry;
  const bool resources = d.versionKnown && design;
  if (IsUnder(code, TypeCode::ResBitmap) || IsUnder(code, TypeCode::ResFont))
    return resources && (d.bitmapPermission || design);
  if (IsUnder(code, TypeCode::ResMenu) || IsUnder(code, TypeCode::ResMask)) return resources;
  if (IsUnder(code, TypeCode::ResKeypad)) return resources && d.keypads;
  if (IsUnder(code, TypeCode::ResString) || IsUnder(code, TypeCode::ADefFolder) ||
      IsUnder(code, TypeCode::RDefFolder))
    return design;
  if (IsUnder(code, TypeCode::DataLoger)) return design && d.fwVersion > 209;
  if (IsUnder(code, TypeCode::TavSim)) return d.tavSim;
  if (IsUnder(code, TypeCode::PrgCoDeSys)) return d.coDeSys;
  if (IsUnder(code, TypeCode::PrgProGRIPS)) return proGrips;
  if (IsUnder(code, TypeCode::PrjDataPoint)) return d.panel && (d.dataPointPermission || design);
  if (IsUnder(code, TypeCode::HtmlFolder)) return d.panel;
  return true;
}

void Fill(std::uint32_t code, TypeCode own, bool pasteTarget, bool top, std::vector<NewObjectKind>& out) {
  for (const PO_CLASSES& row : GetObjectClasses()) {
    if (row.typeCode == 0) break;
    const TypeCode rowCode = ToTypeCode(row.typeCode);
    // The own kind of a paste target is only looked for at the top: inside a grouping
    // folder the same test would find that folder again without end.
    const bool sameKind = top && pasteTarget && row.typeCode == code;
    if (ToUInt(GetParentTypeCode(rowCode)) != code && !sameKind) continue;
    if (row.container && !(sameKind && rowCode == own)) {
      if (row.typeCode != code) Fill(row.typeCode, own, pasteTarget, false, out);
      continue;
    }
    out.push_back({rowCode, row.name, static_cast<int>(row.image)});
  }
}

}  // namespace

std::vector<NewObjectKind> NewObjectKinds(TypeCode object, bool pasteTarget, const DeviceCapabilities& device,
                                          bool proGrips) {
  std::vector<NewObjectKind> kinds;
  Fill(ToUInt(object), object, pasteTarget, true, kinds);
  // A new object of the object's own kind comes first.
  const PO_CLASSES* own = FindObjectClass(ToUInt(object));
  if (own && !own->container && object != TypeCode::PrjFolder) {
    kinds.erase(std::remove_if(kinds.begin(), kinds.end(), [object](const NewObjectKind& k) { return k.code == object; }),
                kinds.end());
    kinds.insert(kinds.begin(), NewObjectKind{object, own->name, static_cast<int>(own->image)});
  }
  if (object != TypeCode::PrjFolder && object != TypeCode::Project) {
    kinds.erase(std::remove_if(kinds.begin(), kinds.end(),
                               [&](const NewObjectKind& k) { return !Allowed(k.code, device, proGrips); }),
                kinds.end());
  }
  return kinds;
}

std::vector<NewObjectKind> NewObjectKindsFor(CProjectObject& object) {
  DeviceCapabilities device = hv::Service<hv::IDeviceCapabilities>().Of(object);
  const auto path = hv::RegistryStore::Get().GetString(wxS("SOFTWARE\\ProGRIPS"), wxS("Path"));
  return NewObjectKinds(object.GetTypeCode(), object.IsPasteTarget() != FALSE, device, path && !path->empty());
}
