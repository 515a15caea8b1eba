#include "model/ClipboardBlock.h"

#include "model/ObjectFactory.h"
#include "platform/HeapTrim.h"

namespace {

constexpr char kMagic[] = "HVOB";
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kFrameLengthSize = ClipboardBlockWriter::kFrameOverhead;
constexpr std::size_t kCountAt = 7;   // after the mark, the version and the cut flag

bool ParseHex8(const wxString& text, std::size_t at, std::uint32_t& value) {
  if (text.length() < at + 8) return false;
  value = 0;
  for (std::size_t i = at; i < at + 8; ++i) {
    const wxUniChar c = text[i];
    std::uint32_t digit;
    if (c >= '0' && c <= '9') digit = static_cast<std::uint32_t>(c.GetValue() - '0');
    else if (c >= 'A' && c <= 'F') digit = static_cast<std::uint32_t>(c.GetValue() - 'A' + 10);
    else return false;
    value = value << 4 | digit;
  }
  return true;
}

void PutU32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

ClipboardBlockWriter::ClipboardBlockWriter(bool cut) {
  hv::Archive header;
  header.WriteBytes(std::string_view(kMagic, 4));
  header.WriteU16(kVersion);
  header.WriteU8(cut ? 1 : 0);
  header.WriteU32(0);   // the count, set by Finish
  m_block = header.Bytes();
}

hv::Archive& ClipboardBlockWriter::BeginObject(CProjectObject& object) {
  m_current.emplace();
  WriteArchivedObject(*m_current, object);
  return *m_current;
}

void ClipboardBlockWriter::EndObject() {
  if (!m_current) return;
  const std::string& frame = m_current->Bytes();
  m_starts.push_back(m_block.size());
  m_block.append(kFrameLengthSize, '\0');
  PutU32(m_block, m_starts.back(), static_cast<std::uint32_t>(frame.size()));
  m_block.append(frame);
  m_current.reset();
}

void ClipboardBlockWriter::DropObject() { m_current.reset(); }

void ClipboardBlockWriter::PlaceFrames(std::span<const std::uint32_t> sizes, std::uint32_t none,
                                      std::span<std::size_t> offsets) {
  std::size_t total = 0;
  for (const std::uint32_t size : sizes)
    if (size != none) total += kFrameLengthSize + size;
  std::size_t at = m_block.size();
  m_block.reserve(at + total);
  // A block of many megabytes is filled right away, every page of it.
  constexpr std::size_t kLarge = 8u << 20;
  if (total >= kLarge) hv::PreferHugePages(m_block.data() + at, total);
  m_block.resize(at + total);
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (sizes[i] == none) continue;
    m_starts.push_back(at);
    PutU32(m_block, at, sizes[i]);
    offsets[i] = at + kFrameLengthSize;
    at += kFrameLengthSize + sizes[i];
  }
}

void ClipboardBlockWriter::DropLast() {
  if (m_starts.empty()) return;
  m_block.resize(m_starts.back());
  m_starts.pop_back();
}

std::string ClipboardBlockWriter::Finish() {
  PutU32(m_block, kCountAt, static_cast<std::uint32_t>(m_starts.size()));
  std::string out = std::move(m_block);
  m_block.clear();
  m_starts.clear();
  m_starts.shrink_to_fit();
  return out;
}

std::optional<ClipboardBlock> ParseClipboardBlock(std::string_view bytes) {
  ClipboardBlock block;
  try {
    hv::Archive ar(bytes);
    if (ar.ReadBytes(4) != std::string_view(kMagic, 4)) return std::nullopt;
    if (ar.ReadU16() != kVersion) return std::nullopt;
    const std::uint8_t cut = ar.ReadU8();
    if (cut > 1) return std::nullopt;
    block.cut = cut == 1;
    const std::uint32_t count = ar.ReadU32();
    ar.CheckCount(count, kFrameLengthSize);
    block.items.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint32_t length = ar.ReadU32();
      hv::Archive frame(ar.ReadBytes(length));
      std::unique_ptr<CProjectObject> object = ReadArchivedObject(frame);
      if (!object) return std::nullopt;   // a class this program does not know
      block.items.push_back({std::move(object), std::string(frame.ReadBytes(frame.Remaining()))});
    }
    if (ar.Remaining() != 0) return std::nullopt;
  } catch (const hv::ArchiveException&) {
    return std::nullopt;
  }
  return block;
}

bool ParseClipboardFormatName(const wxString& name, TypeCode& code, TypeCode& alternative) {
  code = alternative = TypeCode::None;
  if (!name.StartsWith("POCT")) return false;
  std::uint32_t value = 0;
  if (!ParseHex8(name, 4, value)) return false;
  code = ToTypeCode(value);
  if (name.length() == 12) return true;
  std::uint32_t other = 0;
  if (name.length() != 21 || name[12] != '/' || !ParseHex8(name, 13, other)) {
    code = TypeCode::None;
    return false;
  }
  alternative = ToTypeCode(other);
  return true;
}

wxString MakeClipboardFormatName(TypeCode code, TypeCode alternative) {
  wxString name = wxS("POCT") + TypeCodeHex(code);
  if (alternative != TypeCode::None) name += wxS("/") + TypeCodeHex(alternative);
  return name;
}
