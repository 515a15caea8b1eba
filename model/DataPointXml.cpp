#include "model/DataPointXml.h"

#include <cstdio>

#include "framework/Tokenizer.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/DeviceAddress.h"
#include "platform/online/ModbusMap.h"

namespace {

std::string Format(const char* fmt, auto... args) {
  char buffer[96];
  const int n = std::snprintf(buffer, sizeof buffer, fmt, args...);
  return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

void AppendTag(std::string& out, const std::string& name, const hv::modbus::Ref& ref, std::uint32_t i) {
  out += "<tag><name>" + name + "</name>";
  out += Format("<address>0x%05x</address><table>%d</table><offset>%d</offset>", ref.RegisterAddress(i), ref.table,
                static_cast<int>(ref.offset + i * ref.step));
  out += "<datatype>" + ref.typeName + "</datatype></tag>";
}

// The tags of one data point; false when a memory or I/O point has no place.
bool AppendPoint(std::string& out, const hv::db::DatpktRow& row, size_t& tags) {
  const std::string address = std::string(row.address.utf8_str());
  const size_t bar = address.find('|');
  if (bar == std::string::npos) return true;
  const std::string kind = address.substr(0, bar);
  if (kind != "8" && kind != "9") return true;
  const auto ref = hv::modbus::Resolve(address, row.type, row.pickerAccess);
  if (!ref) return false;
  wxString trimmed = row.name;
  trimmed.Trim(true);
  const std::string name = DpXmlEscape(trimmed);
  if (ref->count == 1) {
    AppendTag(out, name, *ref, 0);
    ++tags;
    return true;
  }
  for (std::uint32_t i = 0; i < ref->count; ++i) {
    AppendTag(out, name + Format("[%d]", static_cast<int>(i)), *ref, i);
    ++tags;
  }
  return true;
}

void AppendDevice(std::string& out, const DpXmlDevice& device, const DpXmlOptions& options, DpXmlSummary& summary) {
  if (!IsEthernetNetwork(device.network)) return;
  const wxString address = DpXmlDeviceAddress(device.parameters);
  // Left out, yet named: its data points would otherwise be missing unseen.
  if (address.empty() || hv::IsPathOrPlaceholder(address)) {
    summary.devicesLeftOut.push_back(device.name);
    return;
  }
  out += "<device><name>" + DpXmlEscape(device.name) + "</name><address>" + DpXmlEscape(hv::AddressHost(address)) +
         "</address><protocol>" + (options.protocol == 1 ? "UDP" : "TCP") + "</protocol>" +
         Format("<port>%ld</port>", options.port) + "<tags>";
  ++summary.devices;
  hv::db::Table table;
  if (hv::db::db_open(hv::JoinPath(device.folder, wxS("DATPKT")), table)) {
    hv::db::DatpktRow row;
    const int number = static_cast<int>(device.number);
    for (BOOL found = hv::db::datpkt_select(table, row, hv::db::kSeek, "GNR", {number});
         found && row.device == device.number; found = hv::db::datpkt_select(table, row, hv::db::kNext, "GNR")) {
      if (!AppendPoint(out, row, summary.tags)) ++summary.leftOut;
    }
    hv::db::db_close(table);
  }
  out += "</tags></device>";
}

}  // namespace

bool IsEthernetNetwork(const wxString& network) {
  return network.CmpNoCase(wxS("ETHERNET")) == 0 || network.CmpNoCase(wxS("MBTCP")) == 0;
}

wxString DpXmlDeviceAddress(const wxString& parameters) {
  // The third field; with a single ';' the second one stands in for it.
  CTokenizer fields;
  fields.Tokenize(parameters.wc_str(), wxS(";"));
  switch (parameters.Freq(';')) {
    case 0: return wxString();
    case 1: return fields.GetToken(1);
    default: return fields.GetToken(2);
  }
}

std::string DpXmlEscape(const wxString& text) {
  std::string out;
  for (const wxUniChar c : text) {
    const auto v = static_cast<std::uint32_t>(c.GetValue());
    switch (v) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        // Control characters are not allowed in XML 1.0 at all.
        if (v < 0x20) out += ' ';
        else if (v < 0x100) out += static_cast<char>(v);
        else out += Format("&#%u;", static_cast<unsigned>(v));
    }
  }
  return out;
}

std::string BuildDataPointsXml(const std::vector<DpXmlDevice>& devices, const DpXmlOptions& options,
                               DpXmlSummary& summary) {
  summary = {};
  std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><ModbusTCPOPCServerCfg><devices>";
  for (const DpXmlDevice& device : devices) AppendDevice(out, device, options, summary);
  out += "</devices></ModbusTCPOPCServerCfg>";
  return out;
}

bool WriteDataPointsXml(const wxString& path, const std::vector<DpXmlDevice>& devices, const DpXmlOptions& options,
                        DpXmlSummary& summary, wxString* error) {
  const std::string bytes = BuildDataPointsXml(devices, options, summary);
  return hv::WriteFileAtomic(path, bytes, error);
}
