#include "model/GraphToolCheck.h"

#include "framework/Services.h"
#include "model/ModelServices.h"
#include "model/DeviceServices.h"
#include "model/PrjDevice.h"
#include "model/SuiteTools.h"
#include "platform/SuiteHelper.h"
#include "platform/ToolService.h"
#include "platform/Ui.h"

namespace {

bool IsGraphToolOpen() {
  hv::ToolWindowQuery query;
  query.windowClass = kGraphToolWindowClass;
  if (hv::ToolService::Get().FindWindow(query) != 0) return true;
  return IsGraphToolWindowOpen() != FALSE;
}

}  // namespace

BOOL CheckGraphToolDevice(CPOPrjDevice* device) {
  wxString project, deviceName;
  hv::GetRegistryTavGraphIIString(wxS("PROJECTNAME"), project);
  hv::GetRegistryTavGraphIIString(wxS("DEVICENAME"), deviceName);
  const wxString graphTool = project + wxS("/") + deviceName;
  const wxString current = hv::Service<hv::IApplicationState>().CurrentSelection();
  if (graphTool.CmpNoCase(current) != 0) {
    BYTE version3 = 0;
    hv::GetRegistryTavGraphIIBin(wxS("Version3"), version3);
    const bool shiftDown = hv::Service<hv::IEventLoop>().IsShiftKeyDown();
    if (!(version3 != 0 && !shiftDown) && IsGraphToolOpen()) {
      hv::ShowMessage(10074, wxS("Um diese Funktion ausführen zu können, müssen Sie TavGraph beenden!"),
                      MB_OK | MB_ICONINFORMATION);
      return FALSE;
    }
  }
  // Only a real device can be made the current one; the services may hand out others.
  if (auto* real = dynamic_cast<CPOPrjDevice*>(devsvc::DeviceObject(device))) real->SetCurrentDevice();
  return TRUE;
}
