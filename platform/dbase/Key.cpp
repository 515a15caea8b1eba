#include "platform/dbase/Key.h"


namespace hv::db {
namespace {

unsigned char UpperByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;   // š
    case 0x9C: return 0x8C;   // œ
    case 0x9E: return 0x8E;   // ž
    case 0xFF: return 0x9F;   // ÿ
    default: return c;
  }
}

bool IsTextPart(const Schema& schema, const KeyPartDef& part) {
  return !part.compute && schema.fields[static_cast<std::size_t>(part.field)].kind != FieldKind::Number;
}

}  // namespace

void UpperCp1252(std::string& bytes) {
  for (char& c : bytes) c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
}

void AppendKeyNumber(std::string& out, std::int64_t value) {
  const std::uint64_t u = static_cast<std::uint64_t>(value) ^ (std::uint64_t{1} << 63);
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<char>((u >> shift) & 0xFF));
}

void AppendKeyText(std::string& out, std::string_view bytes, bool ci) {
  const std::size_t start = out.size();
  out.append(bytes.data(), bytes.size());
  if (ci)
    for (std::size_t i = start; i < out.size(); ++i)
      out[i] = static_cast<char>(UpperByte(static_cast<unsigned char>(out[i])));
  out.push_back('\0');
}

bool RecordKey(const Schema& schema, const TagDef& tag, const Record& record, std::string& out,
               bool applyFilter) {
  if (applyFilter && tag.filter && !tag.filter(record)) return false;
  out.clear();
  for (const KeyPartDef& part : tag.parts) {
    if (part.compute)
      AppendKeyNumber(out, part.compute(record));
    else if (IsTextPart(schema, part))
      AppendKeyText(out, record.raw(part.field), part.ci);
    else
      AppendKeyNumber(out, record.number(part.field));
  }
  return true;
}

bool EncodeKey(const Schema& schema, const Layout& layout, const TagDef& tag, const Key& key, std::string& out) {
  out.clear();
  if (key.size() > tag.parts.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    const KeyPartDef& part = tag.parts[i];
    const KeyPart& given = key[i];
    if (!IsTextPart(schema, part)) {
      if (!given.isNumber) return false;
      AppendKeyNumber(out, given.number);
      continue;
    }
    if (given.isNumber) return false;
    std::string bytes;
    if (!EncodeFieldText(layout.slots[static_cast<std::size_t>(part.field)], given.text, bytes)) return false;
    // Stored texts end at a zero byte and lose their trailing blanks; so does the key.
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    while (!bytes.empty() && bytes.back() == ' ') bytes.pop_back();
    AppendKeyText(out, bytes, part.ci);
  }
  return true;
}

}  // namespace hv::db
