#pragma once
// The bytes that carry project objects on the clipboard:
//
//   "HVOB"                       4 bytes, marks our block
//   version                      16 bits (1)
//   cut                          8 bits: 1 when the objects were cut (paste them once)
//   object count N               32 bits
//   N times:
//     frame length               32 bits
//     the object record          class name, schema, the object's Serialize
//     the object's own data      whatever its WriteToClipboard wrote
//
// Numbers are little-endian. The length frame lets the whole block be checked before
// anything is made of it, and lets a paste go on after one object failed to read.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include <wx/string.h>

#include "model/ProjectObject.h"
#include "model/TypeCodes.h"
#include "platform/Archive.h"

class ClipboardBlockWriter {
 public:
  explicit ClipboardBlockWriter(bool cut);

  // Starts the frame of one object with its record; the object writes its own data
  // into the archive returned, then the frame is kept (EndObject) or dropped.
  hv::Archive& BeginObject(CProjectObject& object);
  void EndObject();
  void DropObject();
  // Forgets the last frame kept.
  void DropLast();

  // Frames laid out first and filled afterwards, in any order: one frame per size, in
  // block order (a size of `none` places nothing), the block grown once; each frame's
  // bytes from At(offsets[i]) are the caller's to fill.
  void PlaceFrames(std::span<const std::uint32_t> sizes, std::uint32_t none, std::span<std::size_t> offsets);
  char* At(std::size_t offset) { return m_block.data() + offset; }
  static constexpr std::size_t kFrameOverhead = 4;   // the frame length

  std::size_t Count() const { return m_starts.size(); }
  // The whole block; the writer is empty afterwards. Frames go into the block as they
  // are kept, so a copy of many objects holds its bytes once.
  std::string Finish();

 private:
  std::optional<hv::Archive> m_current;
  std::string m_block;                 // header and the frames kept
  std::vector<std::size_t> m_starts;   // where each kept frame begins
};

struct ClipboardBlockItem {
  std::unique_ptr<CProjectObject> object;   // read, attached nowhere
  std::string data;                         // the object's own clipboard data
};

struct ClipboardBlock {
  bool cut = false;
  std::vector<ClipboardBlockItem> items;
};

// Reads a whole block. Anything short, oversized, garbled, of another version or of a
// class nobody registered refuses the whole block (nullopt); the objects read so far
// are thrown away without any view having seen them.
std::optional<ClipboardBlock> ParseClipboardBlock(std::string_view bytes);

// Clipboard format names: "POCT" and a type code as eight upper-case hexadecimal
// digits, the data-point kinds followed by "/" and the code of the kind they may also
// be pasted as. Anything else gives false.
bool ParseClipboardFormatName(const wxString& name, TypeCode& code, TypeCode& alternative);
wxString MakeClipboardFormatName(TypeCode code, TypeCode alternative = TypeCode::None);
