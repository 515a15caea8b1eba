#pragma once
// A field bus of a project device: one row of the device folder's NETZWERK table. Its
// children are the field-bus devices whose GERAET rows carry the network's number.
#include <cstdint>
#include <wx/string.h>

#include "model/ProjectObject.h"

enum : UINT {
  ID_NETWORK_AUTOSCAN = 32809,   // "Autoscan"
  IDR_MENU_NETWORK = 492,
};

class CPONetwork : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPONetwork)

 public:
  CPONetwork();
  CPONetwork(CProjectObject* parent, CPOPrjDevice* device);

  const wxString& GetDriver() const { return m_driver; }
  void SetDriver(const wxString& driver) {
    if (driver != m_driver) m_driverDisplayName.clear();   // asked again for the new driver
    m_driver = driver;
  }
  const wxString& GetDriverDisplayName() const { return m_driverDisplayName; }
  void SetDriverDisplayName(const wxString& name) { m_driverDisplayName = name; }
  const wxString& GetSlot() const { return m_slot; }
  void SetSlot(const wxString& slot) { m_slot = slot; }
  const wxString& GetParameter() const { return m_parameter; }
  void SetParameter(const wxString& parameter) { m_parameter = parameter; }
  std::uint16_t GetNumber() const { return m_number; }
  void SetNumber(std::uint16_t number) { m_number = number; }
  // Name, texts, number and load time (what the network dialog works on).
  void CopyFrom(const CPONetwork& source);
  wxString DeviceFolder() const;

  void Serialize(CArchive& ar) override;
  BOOL HasTreeChildren() override;
  int Compare(const CProjectObject* other, int column) override;
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  BOOL Delete() override;
  BOOL Edit() override;
  wxString GetColumnText(int column) override;
  std::span<ColumnDef> GetColumnDefs() override;
  TypeCode GetTypeCode() override { return TypeCode::Network; }
  BOOL KeepWhenEmpty() override { return TRUE; }
  BOOL IsShownInTree() override { return TRUE; }
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  void OnColumnDblClick(int) override { Edit(); }
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL IsStale() override;
  wxString GetListCaption() override;
  BOOL HasClipboardSupport() override { return TRUE; }

  // "Autoscan": scans the bus and offers the devices found that the network lacks.
  void OnAutoscan();
  // The delete command: with a plain message when devices remain.
  void OnDeleteNetwork();

  HV_DECLARE_COMMAND_MAP()

 private:
  void OnNewNetwork();
  void OnNewNetworkCopy();
  void OnEditNetwork() { Edit(); }
  BOOL DeleteRow(bool severalSelected);

  std::int64_t m_loadTime = 0;
  wxString m_driver;
  wxString m_driverDisplayName;
  wxString m_slot;
  wxString m_parameter;
  std::uint16_t m_number = 0;
};
