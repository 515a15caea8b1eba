#pragma once
// A field-bus device: one GERAET row of its project device, a child of a network. Its
// list children are the device's data points.
#include <cstdint>
#include <memory>
#include <wx/string.h>

#include "model/DataPoint.h"
#include "model/ProjectObject.h"
#include "platform/dbase/Rows.h"
#include "platform/online/PluginAbi.h"

namespace hv {
struct DevicePlugin;
}

class CPONetwork;

class CPODevice : public CProjectObject, public IDataPointOwner {
  HV_DECLARE_PROJECT_OBJECT(CPODevice)

 public:
  CPODevice();
  CPODevice(CProjectObject* parent, CPOPrjDevice* device);

  void CopyFrom(const CPODevice& source);
  const wxString& GetDeviceType() const { return m_type; }
  void SetDeviceType(const wxString& type) { m_type = type; }
  const wxString& GetPluginName() const { return m_pluginName; }
  void SetPluginName(const wxString& name) { m_pluginName = name; }
  const wxString& GetNode() const { return m_node; }
  void SetNode(const wxString& node) { m_node = node; }
  const wxString& GetParameter() const { return m_parameter; }
  void SetParameter(const wxString& parameter) { m_parameter = parameter; }
  std::uint16_t GetNumber() const { return m_number; }
  void SetNumber(std::uint16_t number) { m_number = number; }
  std::uint16_t GetNetworkNumber() const { return m_networkNumber; }
  void SetNetworkNumber(std::uint16_t number) { m_networkNumber = number; }
  // What a scan found: the hardware line and firmware go into the new row's first two
  // free texts, so the row remembers what answered on the bus.
  void SetScanned(const wxString& hardware, const wxString& firmware) {
    m_scanHardware = hardware;
    m_scanFirmware = firmware;
    m_fromScan = true;
  }
  // Made from a scan: the node is where the device answered, whatever type is picked.
  bool IsFromScan() const { return m_fromScan; }
  CPONetwork* GetNetwork() const;
  wxString DeviceFolder() const;

  // The parameter with the device and project folders as "$$$DEVICEPATH$$$" and
  // "$$$PROJECTPATH$$$"; ExpandPathMacros sets the parameter from such a text.
  wxString CollapsePathMacros() const;
  void ExpandPathMacros(const wxString& stored);
  BOOL IsPanelDevice() const;
  BOOL IsEibDevice() const;
  // The row's values from the object (texts cut to their fields, marker 1).
  void FillRow(hv::db::GeraetRow& row) const;

  void Serialize(CArchive& ar) override;
  int Compare(const CProjectObject* other, int column) override;
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  BOOL Delete() override;
  BOOL Edit() override;
  wxString GetColumnText(int column) override;
  std::span<ColumnDef> GetColumnDefs() override;
  TypeCode GetTypeCode() override { return TypeCode::Device; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL KeepWhenEmpty() override { return TRUE; }
  BOOL IsShownInTree() override { return TRUE; }
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  void OnColumnDblClick(int) override { Edit(); }
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL IsStale() override;
  wxString GetListCaption() override;
  BOOL HasClipboardSupport() override { return TRUE; }
  // The bus data points reach the device through its network's driver and its own node.
  DataPointConnection DataPointConnectionValues() override;

  // The device sheet on the row: TRUE on OK, the row filled from the result.
  virtual BOOL EditSettings(hv::db::GeraetRow& row);

  // Lists the self-defined and symbol data points ('7', '8', 'M', '1') whose definitions
  // are gone; FALSE when the plug-in or the symbols cannot be loaded.
  BOOL CheckSelfDefinedDataPoints();
  // Whether the device plug-in knows the address for the reference (file or folder).
  BOOL QueryDataPointInfo(const wxString& reference, const wxString& address);

  HV_DECLARE_COMMAND_MAP()

 private:
  void OnNewDeviceCopy();
  void OnDeleteDevice() { OnDelete(); }
  void OnEditDevice() { Edit(); }

  std::int64_t m_loadTime = 0;
  std::int64_t m_localCheckTime = 0;
  std::int64_t m_globalCheckTime = 0;
  // Held only while a check runs.
  std::shared_ptr<const hv::DevicePlugin> m_plugin;
  Device_DataPointInfoExFn m_dataPointInfo = nullptr;
  wxString m_type;
  wxString m_pluginName;
  wxString m_node;
  wxString m_parameter;
  std::uint16_t m_number = 0;
  std::uint16_t m_networkNumber = 0;
  wxString m_scanHardware, m_scanFirmware;
  bool m_fromScan = false;
};
