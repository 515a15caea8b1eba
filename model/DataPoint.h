#pragma once
// A data point: one row of the device's DATPKT table, shown as a list row under the
// field-bus device that reaches it (CPODataPoint) or directly under the device's
// data-point folder (CPODirectDataPoint). Every change goes to the table at once.
#include <cstdint>
#include <memory>
#include <string_view>

#include "model/DataPointFields.h"
#include "model/ProjectObject.h"

struct DataPointSheetRequest;

enum : UINT {
  ID_DP_EDIT = 32772,        // "Ändern"
  ID_DP_NEW_COPY = 32789,    // "Neue Kopie..."
  ID_DP_NEW = 32787,         // "Neues Object", shown as "Neuer Datenpunkt"
  ID_DP_DELETE = 32773,      // "Löschen"
  ID_DP_READ_VALUE = 32816,  // "Neuen &Wert lesen"
};

// What a data point needs of the object that connects it to the device: a field-bus
// device implements it for its data points; the project device's values serve the
// direct ones.
struct DataPointConnection {
  wxString netDriver, slot, netParam;   // the network's driver call
  wxString devDriver, node, devParam;   // the device's registration values
  std::uint16_t deviceNumber = 0;       // GNR of the rows
  wxString deviceName;
  bool valid = false;
};
class IDataPointOwner {
 public:
  virtual ~IDataPointOwner() = default;
  virtual DataPointConnection DataPointConnectionValues() = 0;
};

class CPODataPoint : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPODataPoint)

 public:
  CPODataPoint() = default;
  CPODataPoint(CProjectObject* parent, CPOPrjDevice* device);

  // The row's values; the name is the object's own. Const: a change goes through SetFields.
  const DataPointFields Fields() const;
  // Takes every value but the name.
  void SetFields(const DataPointFields& f);
  std::uint32_t GetId() const { return m_id; }
  wxString GetAddress() const { return Text(kAddress); }
  wxString GetValue() const { return Text(kValue); }

  void Serialize(CArchive& ar) override;
  TypeCode GetTypeCode() override { return TypeCode::DataPoint; }
  int GetImage() override { return 11; }
  int GetSelectedImage() override { return 11; }
  BOOL IsShownInTree() override { return FALSE; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL HasListChildren() override { return FALSE; }
  BOOL HasClipboardSupport() override { return TRUE; }
  int Compare(const CProjectObject* other, int column) override;
  wxString GetColumnText(int column) override;
  wxString GetClipboardFormatName() override;
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL Delete() override;
  BOOL Edit() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  void OnColumnDblClick(int column) override;

  // The connection this data point is read through.
  virtual DataPointConnection Connection();
  // Reads the value online (command 32816); hint 6 afterwards.
  void ReadValue();

  HV_DECLARE_COMMAND_MAP()

 protected:
  // The row number written into GNR.
  std::uint16_t RowDeviceNumber();
  // Makes a data point of this class under the parent.
  virtual std::unique_ptr<CPODataPoint> MakeSibling(CProjectObject* parent, CPOPrjDevice* device);
  // The sheet's device values.
  void FillSheetDevice(DataPointSheetRequest& sheet);

  void OnEdit();
  void OnReadValue();
  void OnUpdateReadValue(CCmdUI* cmdUI);
  void OnUpdateNew(CCmdUI* cmdUI);

 private:
  friend class DataPointFrames;   // writes many frames straight from the stored texts

  enum TextSlot { kDescription, kAddress, kValue };
  wxString Text(TextSlot slot) const;
  // The slot's stored UTF-8 bytes.
  std::string_view StoredText(TextSlot slot) const;
  void WriteNarrowText(CArchive& ar, TextSlot slot) const;
  void SetTexts(const wxString& description, const wxString& address, const wxString& value);
  void SetValue(const wxString& value) { SetTexts(Text(kDescription), Text(kAddress), value); }

  // Tens of thousands of these are listed at once: the texts share one block (each
  // UTF-8 after its length), the numbers are packed, the name is the object's own.
  std::unique_ptr<char[]> m_texts;
  std::uint32_t m_id = 0;
  DWORD m_type = 0;
  std::uint16_t m_logicalId = 0;
  bool m_readable = false;
};

// The folder of the device whose DATPKT holds the data point.
wxString DataPointFolder(CProjectObject& dp);
