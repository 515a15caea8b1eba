#include "model/DirectDataPoint.h"

#include "model/ObjectSupport.h"
#include "model/PrjDevice.h"

BEGIN_COMMAND_MAP(CPODirectDataPoint, CPODataPoint)
  // Always offered: no update handler of its own.
  ON_COMMAND(ID_DP_READ_VALUE, OnReadDirect)
  ON_UPDATE_COMMAND_UI(ID_DP_READ_VALUE, OnUpdateReadDirect)
END_COMMAND_MAP()

wxString CPODirectDataPoint::GetClipboardFormatName() {
  return wxString::Format(wxS("POCT%08lX/%08lX"), 0x21231000ul, 0x21232110ul);
}

DataPointConnection CPODirectDataPoint::Connection() {
  DataPointConnection c;
  CPOPrjDevice* d = GetDevice();
  if (!d) return c;
  c.netDriver = d->GetNetwork();
  c.slot = d->GetSlot();
  c.netParam = d->GetNetworkPara();
  c.devDriver = d->GetDeviceDriver();
  c.node = d->GetNode();
  c.devParam = d->GetDeviceParameters();
  c.deviceNumber = static_cast<std::uint16_t>(d->GetDeviceNumber());
  c.deviceName = d->GetName();
  c.valid = true;
  return c;
}

int CPODirectDataPoint::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  if (dynamic_cast<const CPODataPoint*>(other)) return CPODataPoint::Compare(other, column);
  // A network beside the direct data points: its number, driver texts or nothing.
  auto* net = const_cast<CProjectObject*>(other);
  switch (column) {
    case 1: {
      unsigned long number = 0;
      net->GetColumnText(1).ToULong(&number);
      return CompareValues<unsigned long>(GetId(), number);
    }
    case 2: return 0;
    case 3: return GetColumnText(3).CmpNoCase(net->GetColumnText(3));
    case 4: return GetAddress().CmpNoCase(wxString());
    default: return CProjectObject::Compare(other, column);
  }
}

void CPODirectDataPoint::OnColumnDblClick(int column) {
  if (column == 5) ReadValue();
  else Edit();
}

std::unique_ptr<CPODataPoint> CPODirectDataPoint::MakeSibling(CProjectObject* parent, CPOPrjDevice* device) {
  return std::make_unique<CPODirectDataPoint>(parent, device);
}

void CPODirectDataPoint::OnReadDirect() { ReadValue(); }
void CPODirectDataPoint::OnUpdateReadDirect(CCmdUI* cmdUI) { cmdUI->Enable(TRUE); }
