#pragma once
// The Modbus TCP server configuration written from a project's data points: one line
// of ISO-8859-1 XML with a <device> per Ethernet device and a <tag> per mapped data
// point. The register addresses come from hv::modbus::Resolve, which the Modbus TCP
// driver uses for its reads too.
#include <cstddef>
#include <string>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

// One device as the export needs it.
struct DpXmlDevice {
  wxString name;
  wxString network;      // DEVICE.SET [Connection] "Network"
  wxString parameters;   // the device parameters with the path macros collapsed
  wxString folder;       // holds the DATPKT table
  DWORD number = 0;      // GNR of its data points
};

struct DpXmlOptions {
  int protocol = 0;      // 0 "TCP", 1 "UDP"
  long port = 502;
};

struct DpXmlSummary {
  size_t devices = 0;    // devices written
  size_t tags = 0;       // tags written (array elements counted singly)
  size_t leftOut = 0;    // memory or I/O points that have no place in the register space
  // Ethernet devices left out because they have no address: none set, or a folder or a
  // placeholder ("$$$...$$$") where it belongs, which is never a network address.
  std::vector<wxString> devicesLeftOut;
};

// Devices on "ETHERNET" and on the Modbus TCP driver's network ("MBTCP") are exported;
// case is ignored.
bool IsEthernetNetwork(const wxString& network);

// The device's network address: the third ';' field of its parameters (the second
// when there are only two); empty when there is none.
wxString DpXmlDeviceAddress(const wxString& parameters);

// Text escaped for an element and encoded in ISO-8859-1; characters beyond it become
// character references.
std::string DpXmlEscape(const wxString& text);

// The whole file's bytes.
std::string BuildDataPointsXml(const std::vector<DpXmlDevice>& devices, const DpXmlOptions& options,
                               DpXmlSummary& summary);

// Writes the file through a temporary file beside it, so a failed export keeps the old
// file. False with the reason in error.
bool WriteDataPointsXml(const wxString& path, const std::vector<DpXmlDevice>& devices, const DpXmlOptions& options,
                        DpXmlSummary& summary, wxString* error = nullptr);
