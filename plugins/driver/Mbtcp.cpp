// MBTCP: Modbus TCP through libmodbus. Network parameter, e.g.
//   "host=127.0.0.1 port=502 units=1-247 timeout=300 wordorder=abcd"
// Addresses: see ModbusMap.h ("HR|0|I2", "CO|17", "IR|100|R4|CDAB", kinds 8 and 9).
// The node is the unit id (1-247); a third ';' field of the device parameter names the
// device's own host (a port after it is its FTP server's and is left aside). Every
// request waits at most the time-out (ms) for connect and answer; after a time-out or a
// broken connection the connection is made anew.
#include <modbus.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/online/ModbusMap.h"
#include "platform/online/PluginAbi.h"
#include "plugins/common/PluginText.h"
#include "plugins/driver/MbtcpScan.h"

namespace mm = hv::modbus;

namespace {

struct Link {
  modbus_t* ctx = nullptr;
  ~Link() { Drop(); }
  void Drop() {
    if (ctx) {
      modbus_close(ctx);
      modbus_free(ctx);
      ctx = nullptr;
    }
  }
};

using mbtcp::ErrorOf;

// Whether the connection must be made anew after this error.
bool Broken(int e) { return e != EMBXILFUN && e != EMBXILADD && e != EMBXILVAL && e != EMBXGTAR && e != EMBXGPATH && e != EMBXSFAIL; }

}  // namespace

struct HvDriverContext {
  std::string host = "127.0.0.1";
  int port = 502;
  int firstUnit = 1, lastUnit = 247;
  std::vector<int> unitList;  // "1,3,5"
  long timeoutMs = 300;
  mm::WordOrder order = mm::WordOrder::ABCD;
  std::map<std::string, Link> links;  // by host
  struct Point {
    std::string host;
    int unit = 1;
    mm::Ref ref;
    uint32_t type = 0;
  };
  std::map<uint32_t, Point> points;
  uint32_t next = 1;

  // Connects a link to the host unless it is connected; null with *err on failure.
  modbus_t* Open(Link& link, const std::string& h, uint32_t* err) const {
    if (link.ctx) return link.ctx;
    link.ctx = modbus_new_tcp(h.c_str(), port);
    if (!link.ctx) return *err = HV_ERR_BAD_PARAMETER, nullptr;
    const long sec = timeoutMs / 1000, usec = (timeoutMs % 1000) * 1000;
    modbus_set_response_timeout(link.ctx, static_cast<uint32_t>(sec), static_cast<uint32_t>(usec));
    modbus_set_byte_timeout(link.ctx, static_cast<uint32_t>(sec), static_cast<uint32_t>(usec));
    if (modbus_connect(link.ctx) != 0) {
      *err = ErrorOf(errno == EINPROGRESS ? ETIMEDOUT : errno);
      link.Drop();
      return nullptr;
    }
    return link.ctx;
  }
  modbus_t* Connect(const std::string& h, uint32_t* err) { return Open(links[h], h, err); }

  void Fail(const std::string& h, int e, uint32_t* err) {
    *err = ErrorOf(e);
    if (Broken(e)) links[h].Drop();
  }
};

namespace {

bool ParseUnits(const std::string& text, HvDriverContext& c) {
  if (text.empty()) return true;
  if (text.find(',') != std::string::npos) {
    for (const std::string& u : hvplug::SplitKeep(text, ',')) {
      const auto n = hvplug::Number<int>(u);
      if (!n || *n < 1 || *n > 247) return false;
      c.unitList.push_back(*n);
    }
    return true;
  }
  const auto parts = hvplug::SplitKeep(text, '-');
  const auto a = hvplug::Number<int>(parts[0]);
  const auto b = parts.size() == 2 ? hvplug::Number<int>(parts[1]) : a;
  if (parts.size() > 2 || !a || !b || *a < 1 || *b > 247 || *a > *b) return false;
  c.firstUnit = *a, c.lastUnit = *b;
  return true;
}


}  // namespace

extern "C" {

HV_PLUGIN_EXPORT const HvPluginInfo* Plugin_GetInfo(void) HV_NOEXCEPT {
  static const HvPluginInfo info{HV_PLUGIN_ABI, 0, "1.0"};
  return &info;
}

HV_PLUGIN_EXPORT const char* Driver_GetName(void) HV_NOEXCEPT { return "Modbus TCP"; }

HV_PLUGIN_EXPORT const char* Driver_GetParameterSchema(void) HV_NOEXCEPT {
  return "slot|Slot|Slot|text|TCP_0|||\n"
         "host|Adresse|Address|ip|127.0.0.1|||\n"
         "port|Port|Port|int|502|1|65535|\n"
         "units|Geräte-Ids|Unit ids|range|1-247|1|247|\n"
         "timeout|Zeitlimit (ms)|Time-out (ms)|int|300|10|60000|\n"
         "wordorder|Wortfolge|Word order|choice|abcd|||abcd,cdab,badc,dcba\n";
}

// Only checks the parameter text: no network traffic here.
HV_PLUGIN_EXPORT HvDriverContext* Driver_Open(const char*, const char* param, uint32_t* err) HV_NOEXCEPT {
  try {
    auto c = std::make_unique<HvDriverContext>();
    const std::string p = param ? param : "";
    if (auto h = hvplug::ParamValue(p, "host"); !h.empty()) c->host = h;
    if (auto v = hvplug::ParamValue(p, "port"); !v.empty()) {
      const auto n = hvplug::Number<int>(v);
      if (!n || *n < 1 || *n > 65535) return *err = HV_ERR_BAD_PARAMETER, nullptr;
      c->port = *n;
    }
    if (auto v = hvplug::ParamValue(p, "timeout"); !v.empty()) {
      const auto n = hvplug::Number<long>(v);
      if (!n || *n < 10 || *n > 60000) return *err = HV_ERR_BAD_PARAMETER, nullptr;
      c->timeoutMs = *n;
    }
    if (auto v = hvplug::ParamValue(p, "wordorder"); !v.empty()) {
      const auto o = mm::ParseWordOrder(v);
      if (!o) return *err = HV_ERR_BAD_PARAMETER, nullptr;
      c->order = *o;
    }
    if (!ParseUnits(hvplug::ParamValue(p, "units"), *c)) return *err = HV_ERR_BAD_PARAMETER, nullptr;
    return c.release();
  } catch (...) {
    return *err = HV_ERR_IO, nullptr;
  }
}

HV_PLUGIN_EXPORT void Driver_Close(HvDriverContext* ctx) HV_NOEXCEPT { delete ctx; }

HV_PLUGIN_EXPORT int Driver_Register(HvDriverContext* ctx, const HvDataPointDef* point, uint32_t* id,
                                     uint32_t* err) HV_NOEXCEPT {
  try {
    if (!ctx || !point || point->size < sizeof(HvDataPointDef) || !point->node || !point->address) return *err = HV_ERR_BAD_PARAMETER, 0;
    const auto unit = hvplug::Number<int>(point->node);
    if (!unit || *unit < 1 || *unit > 247) return *err = HV_ERR_BAD_ADDRESS, 0;
    if (point->type > 0x400 && point->type < 0x2000) return *err = HV_ERR_BAD_ADDRESS, 0;
    // An address the map cannot place, or a data type it does not hold exactly.
    const auto ref = mm::ResolveForRead(point->address, point->type, static_cast<uint16_t>(point->access >> 16), point->textLen);
    if (!ref) return *err = HV_ERR_BAD_ADDRESS, 0;
    HvDriverContext::Point p;
    p.host = hvplug::HostOf(hvplug::ParamField(point->devParam ? point->devParam : "", 2));
    if (p.host.empty()) p.host = ctx->host;
    p.unit = *unit;
    p.ref = *ref;
    p.type = point->type;
    *id = ctx->next++;
    ctx->points[*id] = p;
    return 1;
  } catch (...) {
    return *err = HV_ERR_IO, 0;
  }
}

HV_PLUGIN_EXPORT void Driver_Unregister(HvDriverContext* ctx, uint32_t id) HV_NOEXCEPT {
  if (ctx) ctx->points.erase(id);
}

HV_PLUGIN_EXPORT int Driver_Read(HvDriverContext* ctx, uint32_t id, void* buf, uint32_t cap, uint32_t* len,
                                 uint32_t* err) HV_NOEXCEPT {
  try {
    *len = 0;
    if (!ctx) return *err = HV_ERR_BAD_HANDLE, 0;
    auto it = ctx->points.find(id);
    if (it == ctx->points.end()) return *err = HV_ERR_BAD_HANDLE, 0;
    const auto& p = it->second;
    const bool text = hvplug::IsText(p.type);
    // A text's length is the address's where it names one, else the data point's.
    const uint32_t chars = p.ref.chars;
    if (text ? static_cast<uint64_t>(chars) + 1 > cap : cap < 4) return *err = HV_ERR_BUFFER, 0;
    modbus_t* m = ctx->Connect(p.host, err);
    if (!m) return 0;
    modbus_set_slave(m, p.unit);
    uint16_t regs[125] = {};
    uint8_t bit = 0;
    int rc = 0;
    // As many registers as the type holds: one for bytes and words, two for 32 bits.
    const int words = static_cast<int>(p.ref.step);
    switch (p.ref.table) {
      case mm::kCoils: rc = modbus_read_bits(m, static_cast<int>(p.ref.offset), 1, &bit); break;
      case mm::kDiscreteInputs: rc = modbus_read_input_bits(m, static_cast<int>(p.ref.offset), 1, &bit); break;
      case mm::kInputRegisters: rc = modbus_read_input_registers(m, static_cast<int>(p.ref.offset), words, regs); break;
      default: rc = modbus_read_registers(m, static_cast<int>(p.ref.offset), words, regs); break;
    }
    if (rc < 0) {
      ctx->Fail(p.host, errno, err);
      return 0;
    }
    if (text) {
      std::string s;
      for (int i = 0; i < words; ++i) s += {static_cast<char>(regs[i] >> 8), static_cast<char>(regs[i] & 0xFF)};
      s.resize(chars);
      std::memcpy(buf, s.data(), chars);
      static_cast<char*>(buf)[chars] = 0;
      *len = chars;
      return *err = HV_ERR_NONE, 1;
    }
    double v = 0;
    const std::string& t = p.ref.typeName;
    if (t == "BOOL") v = bit ? 1 : 0;
    else if (t == "I1") v = static_cast<int8_t>(regs[0] & 0xFF);
    else if (t == "UI1") v = regs[0] & 0xFF;
    else if (t == "I2") v = static_cast<int16_t>(regs[0]);
    else if (t == "UI2") v = regs[0];
    else {
      const uint32_t raw = mm::Join32(regs[0], regs[1], p.ref.order.value_or(ctx->order));
      if (t == "R4") v = mm::FloatFromBits(raw);
      else if (t == "I4") v = static_cast<int32_t>(raw);
      else v = raw;
    }
    // Time and date points hold the register value itself.
    const uint32_t out = (p.type == 0x200 || p.type == 0x400) ? static_cast<uint32_t>(v) : hvplug::Encode(v, p.type);
    std::memcpy(buf, &out, 4);
    *len = 4;
    return *err = HV_ERR_NONE, 1;
  } catch (...) {
    return *err = HV_ERR_IO, 0;
  }
}

// Asks every unit for its identity block; see MbtcpScan.cpp.
HV_PLUGIN_EXPORT int Driver_Scan(HvDriverContext* ctx, const HvScanSink* sink, const volatile int* cancel,
                                 uint32_t* err) HV_NOEXCEPT {
  try {
    if (!ctx || !sink) return *err = HV_ERR_BAD_PARAMETER, 0;
    mbtcp::ScanTarget t;
    t.host = ctx->host;
    t.port = ctx->port;
    t.timeoutMs = ctx->timeoutMs;
    t.units = ctx->unitList;
    if (t.units.empty())
      for (int u = ctx->firstUnit; u <= ctx->lastUnit; ++u) t.units.push_back(u);
    return mbtcp::Scan(t, sink, cancel, err);
  } catch (...) {
    return *err = HV_ERR_IO, 0;
  }
}

// A Modbus device keeps no files: it says so instead of leaving the caller guessing.
HV_PLUGIN_EXPORT int Driver_DownloadFile(HvDriverContext*, const HvFileDownload*, uint32_t* err) HV_NOEXCEPT {
  if (err) *err = HV_ERR_UNSUPPORTED;
  return 0;
}

}  // extern "C"
