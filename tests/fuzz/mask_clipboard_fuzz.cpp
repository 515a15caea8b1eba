// Feeds untrusted bytes, as another program could put them on the clipboard after a
// screen's object record, to the screen data reader. Whatever it accepts must be safe
// to use: reference fields inside their record, safe file names, texts that fit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "resources/MaskClipboard.h"
#include "resources/StringDialog.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hv::Archive ar(std::string_view(reinterpret_cast<const char*>(data), size));
  maskclip::ScreenData screen;
  try {
    screen = maskclip::Parse(ar);
  } catch (const hv::ArchiveException&) {
    return 0;
  }
  for (const maskclip::Entry& entry : screen.entries) {
    const std::size_t end = hv::db::MaskField::kDataOffset + maskclip::TypeBytes(entry.record.type());
    Check(end <= hv::db::MaskField::kSize);
    for (const maskclip::Ref& ref : entry.refs) {
      Check(ref.offset + 4 <= end);
      Check(screen.include[ref.kind] != 0);
      if (ref.kind == maskclip::kBitmap || ref.kind == maskclip::kFont)
        Check(ref.name.empty() || maskclip::IsSafeFileName(ref.name));
      for (const maskclip::TextEntry& text : ref.texts) Check(strtext::Utf16Units(text.text) <= strtext::kMaxUnits);
    }
  }
  return 0;
}
