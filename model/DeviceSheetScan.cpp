// The field-bus device sheet's "&Autoscan": offered when the PC hangs on the device's
// network; the scan dialog, then the device selection.
#include <cstdio>

#include "model/FieldBusRequests.h"
#include "model/FieldDevice.h"
#include "model/Network.h"
#include "model/PrjDevice.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

namespace hv {

namespace {

bool SameText(wxString a, wxString b) { return a.Trim(true).Trim(false).CmpNoCase(b.Trim(true).Trim(false)) == 0; }

}  // namespace

bool DeviceGeneralController::CanAutoscan() const {
  const CPONetwork* net = m_r.device ? m_r.device->GetNetwork() : nullptr;
  const CPOPrjDevice* own = m_r.device ? m_r.device->GetDevice() : nullptr;
  return net && own && SameText(net->GetDriver(), own->GetNetwork()) && SameText(net->GetSlot(), own->GetSlot());
}

bool DeviceGeneralController::Autoscan() {
  CPODevice& d = *m_r.device;
  CPOPrjDevice* own = d.GetDevice();
  if (!own) return false;
  // An old result must never pass for this scan's.
  const wxString file = ScanFilePath(own->GetProjectFolder(), 0);
  if (PathExists(file)) std::remove(ToFs(ResolvePath(file)).c_str());
  AutoscanRequest scan;
  scan.driver = own->GetNetwork();
  scan.slot = own->GetSlot();
  scan.parameter = own->GetNetworkPara();
  scan.resultFile = file;
  Ui().Run(scan);
  if (scan.failed || !IsFile(ResolvePath(file))) return false;
  SelectDeviceRequest select;
  select.scanFile = file;
  if (Ui().Run(select) != IDOK || select.selected < 0) return false;
  // The node is where the device answered, whatever driver the user picks after.
  d.SetScanned(select.hardware, select.line2);
  for (size_t i = 0; i < m_r.drivers.size(); ++i)
    if (!select.type.empty() && m_r.drivers[i].title.CmpNoCase(select.type) == 0) SelectDriver(static_cast<int>(i));
  d.SetNode(select.node);
  SetScannedIdentifier(select.ip);
  return true;
}

}  // namespace hv
