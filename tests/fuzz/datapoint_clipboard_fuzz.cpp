// Feeds untrusted bytes, as another program could put them on the clipboard under the
// data points' format, to a data point's record and its clipboard fields. Garbled data
// may only raise the archive's own exception; a record that reads writes back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/DirectDataPoint.h"
#include "model/LiveObjects.h"
#include "platform/Archive.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  DispatchScope scope;
  CPODirectDataPoint dp;
  hv::Archive in{bytes};
  try {
    dp.Serialize(in);
  } catch (const hv::ArchiveException&) {
    return 0;
  }
  const std::size_t used = in.Position();
  // The record reads back as written.
  hv::Archive out;
  dp.Serialize(out);
  hv::Archive again{out.Bytes()};
  CPODirectDataPoint copy;
  copy.Serialize(again);
  Check(copy.Fields().id == dp.Fields().id && copy.Fields().address == dp.Fields().address &&
        copy.Fields().logicalId == dp.Fields().logicalId && copy.GetName() == dp.GetName());
  // The clipboard fields after the record; without a device nothing is stored.
  try {
    Check(!dp.ReadFromClipboard(in, nullptr));
  } catch (const hv::ArchiveException&) {
  }
  Check(used <= size);
  return 0;
}
