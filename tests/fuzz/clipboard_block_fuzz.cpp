// Feeds untrusted bytes, as another program could put them on the clipboard under our
// format, to the block reader. A block that reads must read again the same after being
// written anew from its objects.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/ClipboardBlock.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::optional<ClipboardBlock> block = ParseClipboardBlock(bytes);
  if (!block) return 0;
  ClipboardBlockWriter writer(block->cut);
  for (ClipboardBlockItem& item : block->items) {
    hv::Archive& ar = writer.BeginObject(*item.object);
    ar.WriteBytes(item.data);
    writer.EndObject();
  }
  const std::string again = writer.Finish();
  std::optional<ClipboardBlock> reread = ParseClipboardBlock(again);
  Check(reread.has_value());
  Check(reread->cut == block->cut && reread->items.size() == block->items.size());
  for (std::size_t i = 0; i < block->items.size(); ++i) {
    Check(reread->items[i].data == block->items[i].data);
    Check(reread->items[i].object->GetName() == block->items[i].object->GetName());
  }
  return 0;
}
