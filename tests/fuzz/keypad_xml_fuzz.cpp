// A keypad file's entry in a project (name, size, time, path) is read from project files
// and clipboards: loading any bytes never crashes, and what loads is shown without
// crashing (a time out of range is shown as unknown).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/Archive.h"
#include "platform/Codec.h"
#include "resources/KeypadXML.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  {
    CPOKeypadXML loaded;
    CArchive ar(bytes);
    try {
      loaded.Serialize(ar);
    } catch (const hv::ArchiveException&) {
    }
    (void)loaded.GetColumnText(3);
    (void)loaded.GetColumnText(4);
  }
  // The same entry written and read again keeps its size, time and path.
  if (size < 12) return 0;
  std::int64_t time = 0;
  std::uint32_t fileSize = 0;
  std::memcpy(&time, data, sizeof time);
  std::memcpy(&fileSize, data + 8, sizeof fileSize);
  CPOKeypadXML original;
  original.SetFile(hv::FromCp1252(bytes.substr(12)), time, fileSize);
  CArchive out;
  original.Serialize(out);
  CPOKeypadXML again;
  CArchive in(out.Bytes());
  again.Serialize(in);
  if (again.GetFileTime() != time || again.GetFileSize() != fileSize || again.GetPath() != original.GetPath())
    std::abort();
  (void)again.GetColumnText(4);
  if (original.Compare(&again, 4) != 0 || original.Compare(&again, 3) != 0) std::abort();
  return 0;
}
