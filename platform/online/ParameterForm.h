#pragma once
// The forms behind the online library's driver and device parameter dialogs. A plug-in
// describes its fields in a schema text (one line per field:
// "key|label_de|label_en|type|default|min|max|choices", type int, text, choice, ip,
// range: "a-b" with a <= b or a list "a,b,c", within min and max, or host: a device
// address "host" or "host:port", which may stay empty);
// the field "slot" of a driver schema is the slot, the others form the parameter text
// "key=value key=value"; the field "node" of a device schema checks the node, and its
// field "address" is the third ';' field of the device parameter text.
// The dialogs run through the UI facade with these requests.
#include <cstddef>
#include <vector>
#include <wx/string.h>

namespace hv {

struct ParameterField {
  wxString key;
  wxString labelDe;
  wxString labelEn;
  wxString type;  // "int", "text", "choice", "ip", "range", "host"
  wxString defaultValue;
  wxString min;
  wxString max;
  std::vector<wxString> choices;
  wxString value;  // the current value, edited by the dialog

  // The English label for language 1033 or an English interface, else the German one.
  const wxString& Label(int language) const;
};

std::vector<ParameterField> ParseParameterSchema(const char* schema);
// Empty when the value fits the field, else a short reason naming the field.
wxString CheckParameterField(const ParameterField& field);
// Fills the fields' values from "key=value ..." (missing keys take their default).
void FillParameterFields(std::vector<ParameterField>& fields, const wxString& param, const wxString& slot = {});
// "key=value ..." of every field except "slot".
wxString JoinParameterFields(const std::vector<ParameterField>& fields);
// The value of one key of a parameter text "key=value ..."; empty when absent.
wxString ParameterValue(const wxString& param, const wxString& key);

// Vostrel_SelectDriverParameter's dialog.
struct DriverParameterRequest {
  int language = 0;
  wxString driverTitle;   // "MBTCP"
  wxString displayName;
  wxString slot;
  size_t slotCapacity = 11;   // terminating zero included
  wxString param;             // edited directly when the driver has no schema
  size_t paramCapacity = 256;
  std::vector<ParameterField> fields;  // from the driver's schema, filled from slot and param
};

// Vostrel_SelectDeviceParameter's dialog.
struct DeviceParameterRequest {
  int language = 0;
  wxString netDriver;
  wxString slot;
  wxString deviceTitle;
  wxString displayName;
  wxString node;
  size_t nodeCapacity = 11;
  wxString param;
  size_t paramCapacity = 400;
  std::vector<ParameterField> fields;  // from the device's schema; "node" checks the node,
                                       // "address" edits the third field of param
};

}  // namespace hv
