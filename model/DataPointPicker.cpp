#include "model/DataPointPicker.h"

#include "platform/Db4.h"
#include "platform/Ui.h"
#include "platform/online/PluginRegistry.h"

namespace dppicker {

namespace {

void Collect(void* user, const HvDpEntry* e) {
  if (!e || e->size < sizeof(HvDpEntry) || !e->address) return;
  PickedDataPoint p;
  p.address = wxString(e->address, wxConvISO8859_1);
  if (e->name) p.name = wxString(e->name, wxConvISO8859_1);
  p.type = e->type;
  p.access = static_cast<WORD>(e->access);
  p.value32 = e->textLen;
  if (e->unit) p.unit = wxString(e->unit, wxConvISO8859_1).Left(20);
  static_cast<std::vector<PickedDataPoint>*>(user)->push_back(p);
}

bool KnownType(DWORD t) {
  switch (t) {
    case 0x1: case 0x2: case 0x4: case 0x8: case 0x10: case 0x20: case 0x40: case 0x80:
    case 0x100: case 0x200: case 0x400:
      return true;
    default:
      return t > 0x2000 && t <= 0x2000 + 1000;
  }
}

}  // namespace

void Apply(const PickedDataPoint& p, DataPointFields& f, DataPointExtra& x) {
  f.address = p.address.Left(48);
  f.type = p.type;
  x.value32 = p.value32;
  const bool text = IsTextType(p.type);
  auto number = [&](DWORD v) { return text ? wxString() : hv::db4toa(v, p.type); };
  x.start = number(p.start);
  x.sigMin = number(p.sigMin);
  x.sigMax = number(p.sigMax);
  x.measMin = number(p.measMin);
  x.measMax = number(p.measMax);
  x.unit = p.unit.Left(20);
  x.capabilities = p.access;
  x.access = static_cast<WORD>(p.access & ~0x300);
}

std::vector<PickedDataPoint> Offered(const wxString& deviceType, const wxString& node, const wxString& deviceParam) {
  std::vector<PickedDataPoint> out;
  auto plugin = hv::PluginRegistry::Get().Device(deviceType);
  if (!plugin || !plugin->enumDataPoints) return out;
  const wxScopedCharBuffer n = node.mb_str(wxConvISO8859_1);
  const wxScopedCharBuffer p = deviceParam.mb_str(wxConvISO8859_1);
  plugin->enumDataPoints(n.data(), p.data(), &Collect, &out);
  return out;
}

UINT CheckManual(const PickedDataPoint& entry) {
  if (entry.address.empty() || entry.address.size() > 48 || entry.address.Find('|') < 1) return 11537;
  if (!KnownType(entry.type)) return 11538;
  return 0;
}

std::vector<PickedDataPoint> Choose(DataPointPickRequest& request) {
  request.offered = Offered(request.deviceType, request.node, request.deviceParam);
  request.chosen.clear();
  if (hv::Ui().Run(request) != IDOK) return {};
  if (!request.multiple && request.chosen.size() > 1) request.chosen.resize(1);
  return request.chosen;
}

}  // namespace dppicker
