#pragma once
// The Modbus TCP bus scan: probes each unit id for its identity block.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/online/PluginAbi.h"

namespace mbtcp {

// Error number of a libmodbus errno.
uint32_t ErrorOf(int e);

struct ScanTarget {
  std::string host;
  int port = 502;
  long timeoutMs = 300;
  std::vector<int> units;
};

// Nonzero when every unit was asked; devices go to the sink in unit order. Another thread
// may set *cancel; it is read atomically.
int Scan(const ScanTarget& target, const HvScanSink* sink, const volatile int* cancel, uint32_t* err);

}  // namespace mbtcp
