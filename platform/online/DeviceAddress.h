#pragma once
// The device's network address in the device driver's parameter text, whose ';' fields
// are the driver part, the symbol file and, third, the address. The parameter dialog
// edits that field; the FTP transfers, the data-point export and the Modbus TCP driver
// read it.
#include <wx/string.h>

namespace hv {

// The third field, trimmed; empty when the text has fewer than three fields.
wxString ParameterAddress(const wxString& param);
// The text with its third field set to `address`, every other field kept. Missing
// fields before it are added empty; an unchanged address leaves the text as it was, and
// an empty one adds no fields.
wxString WithParameterAddress(const wxString& param, const wxString& address);
// A port of an address: digits for 1..65535.
bool IsPort(const wxString& text);
// "host", "host:port" or "[IPv6]:port", the host an IPv4 address or a name.
bool IsDeviceAddress(const wxString& text);
// The address the FTP transfers use: the third field when there are two ';' or more, the
// whole text when it has no ';' (a text that is only the address). What the address
// field refuses (IsDeviceAddress), such as a folder or a path placeholder
// ("$$$DEVICEPATH$$$"), is never an address: empty then.
wxString TransferAddress(const wxString& param);
// Whether a text is a path or still holds a placeholder of the "$$$NAME$$$" form.
bool IsPathOrPlaceholder(const wxString& text);
// The host of "host", "host:port" or "[IPv6]:port": the port is the FTP server's, which
// other services (Modbus TCP, the exported server configuration) do not use.
wxString AddressHost(const wxString& address);

}  // namespace hv
