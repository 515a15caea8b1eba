// A device plug-in of the sample hardware types. One source, built once per type:
//   HV_DEVICE_NAME  display name (absent: Device_GetName answers NULL)
//   HV_DEVICE_NAME_EN  its English form, shown when the host runs in English
//   HV_DEVICE_NETS  network driver titles served, comma-separated
// Test builds leave out calls or change the interface version with
//   HV_TEST_NO_INFO, HV_TEST_NO_CHECK, HV_TEST_ABI, HV_TEST_FLAGS.
#include <cstring>
#include <string>

#include "platform/online/PluginAbi.h"
#include "plugins/common/PluginText.h"

#ifndef HV_TEST_ABI
#define HV_TEST_ABI HV_PLUGIN_ABI
#endif
#ifndef HV_TEST_FLAGS
#define HV_TEST_FLAGS 0u
#endif

namespace {

// Points the device offers to the data-point picker: I/O module and memory points.
const HvDpEntry kPoints[] = {
    {sizeof(HvDpEntry), "9|Digital Input|0.00", "DI_0_00", 4, 1, 0, ""},
    {sizeof(HvDpEntry), "9|Digital Output|0.00", "DO_0_00", 4, 3, 0, ""},
    {sizeof(HvDpEntry), "9|Analog Input|0.00", "AI_0_00", 0x80, 1, 0, "V"},
    {sizeof(HvDpEntry), "8|M|W|81|0|0|1", "MW_0", 8, 3, 0, ""},
    {sizeof(HvDpEntry), "8|M|D|81|4|0|1", "MD_4", 0x20, 3, 0, ""},
    {sizeof(HvDpEntry), "8|M|R|81|8|0|1", "MR_8", 0x80, 3, 0, ""},
};

// The symbol of an address "1|<symbol>|..." is known when it is a line of the symbol
// file named by the first ';' field of the device parameter.
bool SymbolKnown(const char* address, const char* devParam) {
  const auto f = hvplug::SplitKeep(address, '|');
  if (f.size() < 2 || hvplug::Trim(f[0]) != "1") return false;
  std::string symbols;
  if (!hvplug::ReadFile(hvplug::ParamField(devParam ? devParam : "", 0), symbols)) return false;
  const std::string symbol = hvplug::Trim(f[1]);
  for (const std::string& line : hvplug::SplitKeep(symbols, '\n'))
    if (!symbol.empty() && hvplug::Trim(line) == symbol) return true;
  return false;
}

}  // namespace

extern "C" {

#ifndef HV_TEST_NO_INFO
HV_PLUGIN_EXPORT const HvPluginInfo* Plugin_GetInfo(void) HV_NOEXCEPT {
  static const HvPluginInfo info{HV_TEST_ABI, HV_TEST_FLAGS, "1.0"};
  return &info;
}
#endif

HV_PLUGIN_EXPORT const char* Device_GetName(void) HV_NOEXCEPT {
#if defined(HV_DEVICE_NAME) && defined(HV_DEVICE_NAME_EN)
  return hvplug::InHostLanguage(HV_DEVICE_NAME, HV_DEVICE_NAME_EN);
#elif defined(HV_DEVICE_NAME)
  return HV_DEVICE_NAME;
#else
  return nullptr;
#endif
}

#ifndef HV_TEST_NO_CHECK
HV_PLUGIN_EXPORT int Device_CheckDriver(const char* netDriverTitle) HV_NOEXCEPT {
  if (!netDriverTitle) return 0;
  for (const std::string& net : hvplug::SplitKeep(HV_DEVICE_NETS, ','))
    if (hvplug::EqualNoCase(net, netDriverTitle)) return 1;
  return 0;
}
#endif

HV_PLUGIN_EXPORT int Device_DataPointInfoEx(const char* address, const char* devParam, HvDpInfoEx* info) HV_NOEXCEPT {
  if (!address || !info || info->size < sizeof(HvDpInfoEx)) return 0;
  if (!SymbolKnown(address, devParam)) return 0;
  info->type = 8;
  info->access = 3;
  if (info->text && info->textCap > 0) {
    std::strncpy(info->text, "Symbol", info->textCap - 1);
    info->text[info->textCap - 1] = 0;
  }
  return 1;
}

// Every sample type can sit on Modbus TCP, where its address is used (reads, the
// data-point export), and the panels take files by FTP at it.
HV_PLUGIN_EXPORT const char* Device_GetParameterSchema(void) HV_NOEXCEPT {
  return "node|Knoten|Node|int|1|1|247|\n"
         "address|IP-Adresse:|IP address:|host||||\n";
}

HV_PLUGIN_EXPORT int Device_EnumDataPoints(const char*, const char*, HvDpSink sink, void* user) HV_NOEXCEPT {
  int n = 0;
  for (const HvDpEntry& e : kPoints) {
    if (sink) sink(user, &e);
    ++n;
  }
  return n;
}

}  // extern "C"
