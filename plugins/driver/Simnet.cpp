// SIMNET: a simulated field bus driven by a file (network parameter "file=<path>").
//   [Network]        ScanDelayMs=<pause per device found during a scan>,
//                    ProgressText=<what the scan's progress says before "n/total">
//   [Device <node>]  Type=, Hardware=, Firmware=<hundredths>, IP=, Error=24|42, DelayMs=,
//                    DownloadRate=<bytes per second a file download moves, 0: unlimited>
//   [Values <node>]  <address>=<value text>
// The file is read again whenever it changes. Error=24 makes every read fail as a lost
// connection, Error=42 delivers values flagged as not fresh, DelayMs holds back the first
// value of a data point for that long after it was registered. A device's storage is
// the folder "download/<node>" beside the file: downloaded files appear there. A test build without
// Driver_Read (HV_TEST_NO_READ) shows how a driver lacking a call is skipped.
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "platform/online/PluginAbi.h"
#include "plugins/common/PluginText.h"

using Clock = std::chrono::steady_clock;

struct HvDriverContext {
  std::string file;
  std::int64_t stamp = -1;
  hvplug::Ini ini;
  struct Point {
    std::string node, address;
    uint32_t type = 0, textLen = 0;
    Clock::time_point registered;
  };
  std::map<uint32_t, Point> points;
  uint32_t next = 1;

  bool Refresh() {
    struct stat st {};
    if (stat(file.c_str(), &st) != 0) return false;
    const std::int64_t s = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec + st.st_size;
    if (s == stamp) return true;
    std::string text;
    if (!hvplug::ReadFile(file, text)) return false;
    ini = hvplug::Ini::Parse(text);
    stamp = s;
    return true;
  }
};

namespace {

void SleepCancellable(long ms, const volatile int* cancel) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < end && !hvplug::Cancelled(cancel)) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// Encodes the value text for the type into buf.
[[maybe_unused]] int Deliver(const std::string& text, uint32_t type, uint32_t textLen, void* buf, uint32_t cap, uint32_t* len,
            uint32_t* err) {
  if (hvplug::IsText(type)) {
    const uint32_t n = type == 0x100 ? textLen : type - 0x2000;
    if (static_cast<uint64_t>(n) + 1 > cap) return *err = HV_ERR_BUFFER, 0;
    std::string v = text.substr(0, n);
    v.resize(n, ' ');
    std::memcpy(buf, v.data(), n);
    static_cast<char*>(buf)[n] = 0;
    *len = n;
    return 1;
  }
  if (type > 0x400) return *err = HV_ERR_BAD_ADDRESS, 0;
  const auto v = hvplug::EncodeText(text, type);
  if (!v) return *err = HV_ERR_BAD_ADDRESS, 0;
  if (cap < 4) return *err = HV_ERR_BUFFER, 0;
  std::memcpy(buf, &*v, 4);
  *len = 4;
  return 1;
}

}  // namespace

extern "C" {

HV_PLUGIN_EXPORT const HvPluginInfo* Plugin_GetInfo(void) HV_NOEXCEPT {
  static const HvPluginInfo info{HV_PLUGIN_ABI, 0, "1.0"};
  return &info;
}

HV_PLUGIN_EXPORT const char* Driver_GetName(void) HV_NOEXCEPT { return "Simulation"; }

HV_PLUGIN_EXPORT const char* Driver_GetParameterSchema(void) HV_NOEXCEPT {
  return "slot|Slot|Slot|text|SIM_0|||\nfile|Simulationsdatei|Simulation file|text||||\n";
}

HV_PLUGIN_EXPORT HvDriverContext* Driver_Open(const char*, const char* param, uint32_t* err) HV_NOEXCEPT {
  try {
    auto ctx = std::make_unique<HvDriverContext>();
    ctx->file = hvplug::ParamValue(param ? param : "", "file");
    if (ctx->file.empty()) {
      if (err) *err = HV_ERR_BAD_PARAMETER;
      return nullptr;
    }
    return ctx.release();
  } catch (...) {
    if (err) *err = HV_ERR_IO;
    return nullptr;
  }
}

HV_PLUGIN_EXPORT void Driver_Close(HvDriverContext* ctx) HV_NOEXCEPT { delete ctx; }

HV_PLUGIN_EXPORT int Driver_Register(HvDriverContext* ctx, const HvDataPointDef* point, uint32_t* id,
                                     uint32_t* err) HV_NOEXCEPT {
  try {
    if (!ctx || !point || point->size < sizeof(HvDataPointDef) || !point->node || !point->address) return *err = HV_ERR_BAD_PARAMETER, 0;
    if (!ctx->Refresh()) return *err = HV_ERR_REFUSED, 0;
    const std::string node = hvplug::Trim(point->node);
    if (!ctx->ini.Find("Device " + node)) return *err = HV_ERR_BAD_ADDRESS, 0;
    if (!ctx->ini.Find("Values " + node) || ctx->ini.Get("Values " + node, point->address, "\x01") == "\x01")
      return *err = HV_ERR_BAD_ADDRESS, 0;
    *id = ctx->next++;
    ctx->points[*id] = {node, point->address, point->type, point->textLen, Clock::now()};
    return 1;
  } catch (...) {
    return *err = HV_ERR_IO, 0;
  }
}

HV_PLUGIN_EXPORT void Driver_Unregister(HvDriverContext* ctx, uint32_t id) HV_NOEXCEPT {
  if (ctx) ctx->points.erase(id);
}

#ifndef HV_TEST_NO_READ
HV_PLUGIN_EXPORT int Driver_Read(HvDriverContext* ctx, uint32_t id, void* buf, uint32_t cap, uint32_t* len,
                                 uint32_t* err) HV_NOEXCEPT {
  try {
    *len = 0;
    if (!ctx) return *err = HV_ERR_BAD_HANDLE, 0;
    auto it = ctx->points.find(id);
    if (it == ctx->points.end()) return *err = HV_ERR_BAD_HANDLE, 0;
    if (!ctx->Refresh()) return *err = HV_ERR_CONNECTION_LOST, 0;
    const auto& p = it->second;
    const std::string dev = "Device " + p.node;
    const long error = hvplug::Number<long>(ctx->ini.Get(dev, "Error", "0")).value_or(0);
    if (error == HV_ERR_CONNECTION_LOST) return *err = HV_ERR_CONNECTION_LOST, 0;
    const long delay = hvplug::Number<long>(ctx->ini.Get(dev, "DelayMs", "0")).value_or(0);
    if (Clock::now() - p.registered < std::chrono::milliseconds(delay)) return *err = HV_ERR_PENDING, 0;
    const std::string value = ctx->ini.Get("Values " + p.node, p.address);
    if (!Deliver(value, p.type, p.textLen, buf, cap, len, err)) return 0;
    if (error == HV_ERR_NOT_FRESH) return *err = HV_ERR_NOT_FRESH, 0;
    *err = HV_ERR_NONE;
    return 1;
  } catch (...) {
    return *err = HV_ERR_IO, 0;
  }
}

#endif

HV_PLUGIN_EXPORT int Driver_Scan(HvDriverContext* ctx, const HvScanSink* sink, const volatile int* cancel,
                                 uint32_t* err) HV_NOEXCEPT {
  try {
    if (!ctx || !sink) return *err = HV_ERR_BAD_PARAMETER, 0;
    if (!ctx->Refresh()) return *err = HV_ERR_REFUSED, 0;
    const long pause = hvplug::Number<long>(ctx->ini.Get("Network", "ScanDelayMs", "0")).value_or(0);
    int found = 0, total = 0;
    for (const auto& s : ctx->ini.sections) total += s.name.rfind("Device ", 0) == 0;
    for (const auto& s : ctx->ini.sections) {
      if (s.name.rfind("Device ", 0) != 0) continue;
      if (hvplug::Cancelled(cancel)) return *err = HV_ERR_CANCELLED, 0;
      const std::string node = hvplug::Trim(s.name.substr(7));
      // The bus may name its progress itself, in any length and script.
      const std::string progress = ctx->ini.Get("Network", "ProgressText", "Device") + " " + std::to_string(++found) + "/" +
                                   std::to_string(total);
      if (sink->progress) sink->progress(sink->user, progress.c_str());
      SleepCancellable(pause, cancel);
      if (hvplug::Cancelled(cancel)) return *err = HV_ERR_CANCELLED, 0;
      const long fw = hvplug::Number<long>(ctx->ini.Get(s.name, "Firmware", "0")).value_or(0);
      char fwText[48];
      std::snprintf(fwText, sizeof fwText, "FW-Version : %ld.%02ld", fw / 100, fw % 100);
      const std::string hardware = ctx->ini.Get(s.name, "Hardware"), ip = ctx->ini.Get(s.name, "IP");
      const std::string ipLine = "IP=" + ip;
      const char* details[3] = {hardware.c_str(), fwText, ipLine.c_str()};
      if (sink->device) sink->device(sink->user, node.c_str(), ctx->ini.Get(s.name, "Type").c_str(), details, ip.empty() ? 2 : 3);
    }
    return 1;
  } catch (...) {
    return *err = HV_ERR_IO, 0;
  }
}

}  // extern "C"

namespace {

bool MakeFolder(const std::string& path) {
  if (path.empty()) return true;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  const size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolder(path.substr(0, slash))) return false;
  return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST;
}

bool SafeName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

// Copies through a temporary file, so that an older copy stays whole until the new one is.
int StoreFile(const std::string& source, const std::string& target, long rate, const HvFileDownload* file,
              uint32_t* err) {
  std::FILE* in = std::fopen(source.c_str(), "rb");
  if (!in) return *err = HV_ERR_IO, 0;
  std::fseek(in, 0, SEEK_END);
  const long size = std::ftell(in);
  std::fseek(in, 0, SEEK_SET);
  const std::string temp = target + ".part";
  std::FILE* out = std::fopen(temp.c_str(), "wb");
  if (!out) {
    std::fclose(in);
    return *err = HV_ERR_IO, 0;
  }
  char buffer[16384];
  uint64_t done = 0;
  const auto start = Clock::now();
  bool ok = true, cancelled = false;
  for (;;) {
    const size_t n = std::fread(buffer, 1, sizeof buffer, in);
    if (n == 0) {
      ok = !std::ferror(in);
      break;
    }
    if (std::fwrite(buffer, 1, n, out) != n) {
      ok = false;
      break;
    }
    done += n;
    if (file->progress && !file->progress(file->user, done, static_cast<uint64_t>(size))) {
      cancelled = true;
      break;
    }
    if (rate > 0) std::this_thread::sleep_until(start + std::chrono::milliseconds(done * 1000 / static_cast<uint64_t>(rate)));
  }
  std::fclose(in);
  ok = std::fflush(out) == 0 && fsync(fileno(out)) == 0 && ok;
  ok = std::fclose(out) == 0 && ok;
  if (cancelled || !ok || std::rename(temp.c_str(), target.c_str()) != 0) {
    std::remove(temp.c_str());
    return *err = cancelled ? HV_ERR_CANCELLED : HV_ERR_IO, 0;
  }
  if (file->progress) file->progress(file->user, done, done);
  return 1;
}

}  // namespace

extern "C" {

HV_PLUGIN_EXPORT int Driver_DownloadFile(HvDriverContext* ctx, const HvFileDownload* file, uint32_t* err) HV_NOEXCEPT {
  try {
    if (!ctx || !file || !err) return 0;
    if (file->size < sizeof(HvFileDownload) || !file->node || !file->localPath || !file->targetName)
      return *err = HV_ERR_BAD_PARAMETER, 0;
    if (!ctx->Refresh()) return *err = HV_ERR_REFUSED, 0;
    const std::string node = hvplug::Trim(file->node);
    const std::string dev = "Device " + node;
    if (node.empty() || !SafeName(node) || !ctx->ini.Find(dev)) return *err = HV_ERR_BAD_ADDRESS, 0;
    if (hvplug::Number<long>(ctx->ini.Get(dev, "Error", "0")).value_or(0) == HV_ERR_CONNECTION_LOST)
      return *err = HV_ERR_CONNECTION_LOST, 0;
    if (!SafeName(file->targetName)) return *err = HV_ERR_BAD_PARAMETER, 0;
    const size_t slash = ctx->file.find_last_of('/');
    const std::string base = slash == std::string::npos ? std::string(".") : ctx->file.substr(0, slash);
    const std::string folder = base + "/download/" + node;
    if (!MakeFolder(folder)) return *err = HV_ERR_IO, 0;
    const long rate = hvplug::Number<long>(ctx->ini.Get(dev, "DownloadRate", "0")).value_or(0);
    return StoreFile(file->localPath, folder + "/" + file->targetName, rate, file, err);
  } catch (...) {
    return *err = HV_ERR_IO, 0;
  }
}

}  // extern "C"
