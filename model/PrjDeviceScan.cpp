// The project device sheet's "&Autoscan": the scan dialog on the device's own PC
// connection, then the device selection, whose choice the general page applies.
#include <cstdio>

#include "model/FieldBusRequests.h"
#include "model/PrjDevice.h"
#include "model/PrjDeviceSheet.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/online/ScanFile.h"

bool CPSPrjDevice::Autoscan() {
  // An old result must never pass for this scan's.
  const wxString file = hv::ScanFilePath(m_copy.GetProjectFolder(), 0);
  if (hv::PathExists(file)) std::remove(hv::ToFs(hv::ResolvePath(file)).c_str());
  hv::AutoscanRequest scan;
  scan.driver = m_copy.GetNetwork();
  scan.slot = m_copy.GetSlot();
  scan.parameter = m_copy.GetNetworkPara();
  scan.resultFile = file;
  hv::Ui().Run(scan);
  if (scan.failed || !hv::IsFile(hv::ResolvePath(file))) return false;
  hv::SelectDeviceRequest select;
  select.scanFile = file;
  if (hv::Ui().Run(select) != IDOK || select.selected < 0) return false;
  if (!select.type.empty()) m_copy.SetDeviceDriver(select.type.Upper());
  if (!select.hardware.empty()) m_copy.SetHardwareType(select.hardware.Upper());
  m_copy.SetNode(select.node);
  m_copy.SetFirmwareVersion(static_cast<short>(ScannedFirmwareHundredths(select.line2, select.line3)));
  m_general.ApplyScannedDevice(select.ip.empty() ? select.node : select.ip);
  return true;
}
