#include "platform/online/ModbusMap.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace hv::modbus {

namespace {

std::vector<std::string_view> Split(std::string_view text, char sep) {
  std::vector<std::string_view> parts;
  size_t pos = 0;
  for (;;) {
    const size_t at = text.find(sep, pos);
    parts.push_back(text.substr(pos, at == std::string_view::npos ? std::string_view::npos : at - pos));
    if (at == std::string_view::npos) return parts;
    pos = at + 1;
  }
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::optional<long long> Int(std::string_view s) {
  s = Trim(s);
  long long v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

std::optional<double> Real(std::string_view s) {
  s = Trim(s);
  double v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

const char* TypeName(std::uint32_t code) {
  switch (code) {
    case 1: return "I1";
    case 2: return "UI1";
    case 4: return "BOOL";
    case 8: return "I2";
    case 16: return "UI2";
    case 32: return "I4";
    case 64: return "UI4";
    case 128: return "R4";
    case 512:
    case 1024: return "UI4";
    default: return nullptr;
  }
}

std::optional<Ref> ResolveKind9(const std::vector<std::string_view>& f) {
  if (f.size() < 3) return std::nullopt;
  const auto v = Real(f[2]);
  if (!v || *v < 0 || *v > 65535) return std::nullopt;
  const long long m = static_cast<long long>(std::floor(*v));
  const long long c = std::lround((*v - static_cast<double>(m)) * 100.0);
  Ref ref;
  long long offset = 0, limit = 511;
  const std::string_view signal = Trim(f[1]);
  if (EqualNoCase(signal, "Digital Output")) {
    ref.table = kCoils, offset = m * 32 + c, ref.typeName = "BOOL";
  } else if (EqualNoCase(signal, "Digital Input")) {
    ref.table = kDiscreteInputs, offset = m * 32 + c, ref.typeName = "BOOL";
  } else if (EqualNoCase(signal, "Analog Input")) {
    ref.table = kInputRegisters, offset = ((m + 4) * 32 + c) * 2, ref.typeName = "R4";
  } else if (EqualNoCase(signal, "Analog Output")) {
    ref.table = kHoldingRegisters, offset = ((m + 4) * 32 + c) * 2, ref.typeName = "R4", limit = 0xFFFE;
  } else {
    return std::nullopt;
  }
  if (offset < 0 || offset > limit) return std::nullopt;
  ref.offset = static_cast<std::uint32_t>(offset);
  ref.step = ref.typeName == "R4" ? 2 : 1;
  return ref;
}

// The export writes what a tag can name; a read reaches every element of a table.
enum class Use { Export, Read };

// The export's register numbers (table * 65536 + offset + 1) cannot name offset 0xFFFF;
// a read can address every element the table holds.
constexpr long long kLastExported = 0xFFFE, kLastElement = 0xFFFF;
long long LastOffset(Use use) { return use == Use::Export ? kLastExported : kLastElement; }

std::optional<Ref> ResolveKind8(const std::vector<std::string_view>& f, bool bit, std::uint16_t pickerAccess, Use use) {
  const bool readWrite = (pickerAccess & 3) == 3;
  Ref ref;
  ref.table = readWrite ? (bit ? kCoils : kHoldingRegisters) : (bit ? kDiscreteInputs : kInputRegisters);
  long long offset = 0x3000, count = 1;
  if (f.size() >= 6) {
    const auto f3 = Int(f[3]), f4 = Int(f[4]), f5 = Int(f[5]);
    if (!f3 || !f4 || !f5 || *f4 < 0 || *f5 < 0) return std::nullopt;
    if (*f3 < -1000000 || *f3 > 1000000 || *f4 > 1000000 || *f5 > 1000000) return std::nullopt;
    offset = bit ? ((*f3 - 81) * 256 + *f4) * 32 + *f5 + 0x3000 : ((*f3 - 81) * 256 + *f4) * 2 + 0x3000;
    if (f.size() >= 7 && !Trim(f[6]).empty()) {
      const auto f6 = Int(f[6]);
      if (!f6) return std::nullopt;
      count = *f6;
    } else if (use == Use::Export) {
      // The export reads a missing count as 0 elements, and so makes no tag; a read
      // takes the first element all the same.
      count = 0;
    }
  }
  if (count < 1 || count > 0xFFFF || offset < 0 || offset > LastOffset(use)) return std::nullopt;
  ref.offset = static_cast<std::uint32_t>(offset);
  ref.count = static_cast<std::uint32_t>(count);
  return ref;
}

int Kind(const std::vector<std::string_view>& f) {
  if (f.size() < 2) return -1;
  const auto k = Int(f[0]);
  return k ? static_cast<int>(*k) : -1;
}

std::optional<Ref> ResolveNumber(std::string_view address, std::uint32_t typeCode, std::uint16_t pickerAccess, Use use) {
  const auto f = Split(address, '|');
  const int kind = Kind(f);
  if (kind == 9) return ResolveKind9(f);
  if (kind != 8) return std::nullopt;
  const char* name = TypeName(typeCode);
  if (!name) return std::nullopt;
  const long long last = LastOffset(use);
  auto ref = ResolveKind8(f, typeCode == 4, pickerAccess, use);
  if (!ref) return std::nullopt;
  ref->typeName = name;
  const std::string_view n = name;
  if ((n == "I1" || n == "UI1") && ref->count != 1) return std::nullopt;
  ref->step = (n == "I4" || n == "UI4" || n == "R4") ? 2 : 1;
  if (static_cast<long long>(ref->offset + static_cast<std::uint64_t>(ref->count - 1) * ref->step + ref->step - 1) >
      last + (ref->step == 2 && last == kLastExported ? 1 : 0))
    return std::nullopt;
  return ref;
}

}  // namespace

std::optional<Ref> Resolve(std::string_view address, std::uint32_t typeCode, std::uint16_t pickerAccess) {
  return ResolveNumber(address, typeCode, pickerAccess, Use::Export);
}

namespace {

bool IsTextCode(std::uint32_t code) { return code == 0x100 || code >= 0x2000; }
bool Is32(std::uint32_t code) { return code == 0x20 || code == 0x40 || code == 0x80 || code == 0x200 || code == 0x400; }

// What a read of a number type asks for: the export's name; time and date are the raw
// 32-bit value (seconds, days).
const char* ReadTypeName(std::uint32_t code) { return code == 0x200 || code == 0x400 ? "UI4" : TypeName(code); }

struct TypeField {
  const char* name;
  std::uint32_t code;
};
constexpr TypeField kTypeFields[] = {{"BOOL", 4},  {"I1", 1},     {"UI1", 2},     {"I2", 8},      {"UI2", 0x10}, {"I4", 0x20},
                                     {"UI4", 0x40}, {"R4", 0x80}, {"TIME", 0x200}, {"DATE", 0x400}, {"TEXT", 0x100}};

std::optional<std::uint32_t> TypeFieldCode(std::string_view field) {
  for (const TypeField& t : kTypeFields)
    if (EqualNoCase(Trim(field), t.name)) return t.code;
  return std::nullopt;
}

std::optional<int> TableOf(std::string_view field) {
  field = Trim(field);
  if (EqualNoCase(field, "CO")) return kCoils;
  if (EqualNoCase(field, "DI")) return kDiscreteInputs;
  if (EqualNoCase(field, "IR")) return kInputRegisters;
  if (EqualNoCase(field, "HR")) return kHoldingRegisters;
  return std::nullopt;
}

bool KnownCode(std::uint32_t code) {
  switch (code) {
    case 0x1: case 0x2: case 0x4: case 0x8: case 0x10: case 0x20: case 0x40: case 0x80:
    case 0x100: case 0x200: case 0x400:
      return true;
    default:
      return code >= 0x2000;
  }
}

AddressCheck Problem(AddressProblem p) { return {std::nullopt, p}; }

// A text's characters and registers into the place: the length the address names (0
// for none), else the data point's own (type 0x100: textLen, 0x2000 + n: n).
AddressProblem PlaceText(Ref& ref, std::uint32_t code, std::uint32_t textLen, std::uint32_t named) {
  const std::uint32_t own = code == 0x100 ? textLen : code - 0x2000;
  if (named != 0 && own != 0 && own != named) return AddressProblem::TextLengthMismatch;
  const std::uint32_t chars = named != 0 ? named : own;
  // No length would read one register and show nothing, without a word of why.
  if (chars == 0) return AddressProblem::TextNoLength;
  if (chars > 250) return AddressProblem::TextLength;
  ref.typeName = "TEXT";
  ref.chars = chars;
  ref.step = (chars + 1) / 2;
  return AddressProblem::None;
}

// The fourth field of a text address: its characters, 1 to 250; 0 when the field is
// missing, nothing when it is no such number.
std::optional<std::uint32_t> NamedLength(const std::vector<std::string_view>& f) {
  if (f.size() < 4) return 0u;
  const std::string_view field = Trim(f[3]);
  const auto n = Int(field);
  if (field.empty() || field[0] < '0' || field[0] > '9' || !n || *n < 1 || *n > 250) return std::nullopt;
  return static_cast<std::uint32_t>(*n);
}

AddressCheck CheckTableAddress(const std::vector<std::string_view>& f, std::uint32_t code, std::uint32_t textLen) {
  if (f.size() < 2 || f.size() > 4) return Problem(AddressProblem::Format);
  const auto table = TableOf(f[0]);
  if (!table) return Problem(AddressProblem::Table);
  const std::string_view offsetField = Trim(f[1]);
  const auto offset = Int(offsetField);
  if (offsetField.empty() || offsetField[0] < '0' || offsetField[0] > '9' || !offset || *offset > 0xFFFF)
    return Problem(AddressProblem::Offset);
  if (!KnownCode(code)) return Problem(AddressProblem::Unreadable);
  if (f.size() >= 3 && !Trim(f[2]).empty()) {
    const auto named = TypeFieldCode(f[2]);
    if (!named) return Problem(AddressProblem::TypeName);
    if (*named != code && !(*named == 0x100 && IsTextCode(code))) return Problem(AddressProblem::TypeMismatch);
  }
  const bool bitTable = *table == kCoils || *table == kDiscreteInputs;
  if (bitTable && code != 4) return Problem(AddressProblem::BitTable);
  if (!bitTable && code == 4) return Problem(AddressProblem::RegisterBit);
  Ref ref;
  ref.table = *table;
  ref.offset = static_cast<std::uint32_t>(*offset);
  if (IsTextCode(code)) {
    // A text's fourth field is its length, not a word order.
    const auto named = NamedLength(f);
    if (!named) return Problem(AddressProblem::TextLength);
    if (const AddressProblem p = PlaceText(ref, code, textLen, *named); p != AddressProblem::None) return Problem(p);
  } else {
    if (f.size() == 4) {
      const auto order = ParseWordOrder(Trim(f[3]));
      if (!order) return Problem(AddressProblem::Order);
      if (!Is32(code)) return Problem(AddressProblem::OrderNeeds32);
      ref.order = order;
    }
    ref.typeName = ReadTypeName(code);
    ref.step = Is32(code) ? 2 : 1;
  }
  if (ref.offset + ref.step - 1 > static_cast<std::uint32_t>(kLastElement)) return Problem(AddressProblem::PastEnd);
  return {ref, AddressProblem::None};
}

// A kind-9 signal gives a bit (exact in every number type) or a float (exact only as one).
bool KindNineGives(const Ref& ref, std::uint32_t code) {
  if (IsTextCode(code) || code == 0x200 || code == 0x400) return false;
  return ref.typeName == "BOOL" || code == 0x80;
}

}  // namespace

bool IsTableAddress(std::string_view address) {
  const auto f = Split(address, '|');
  return f.size() >= 2 && TableOf(f[0]).has_value();
}

std::uint32_t TypeCodeOfAddress(std::string_view address) {
  const auto f = Split(address, '|');
  if (f.size() < 3 || !TableOf(f[0])) return 0;
  return TypeFieldCode(f[2]).value_or(0);
}

std::uint32_t TextLengthOfAddress(std::string_view address) {
  const auto f = Split(address, '|');
  if (f.size() != 4 || !TableOf(f[0])) return 0;
  return NamedLength(f).value_or(0);
}

AddressCheck CheckAddress(std::string_view address, std::uint32_t typeCode, std::uint16_t pickerAccess,
                          std::uint32_t textLen) {
  const auto f = Split(address, '|');
  if (f.size() < 2) return Problem(AddressProblem::Format);
  const std::string_view first = Trim(f[0]);
  if (first.empty() || first[0] < '0' || first[0] > '9') return CheckTableAddress(f, typeCode, textLen);
  if (!KnownCode(typeCode)) return Problem(AddressProblem::Unreadable);
  const int kind = Kind(f);
  if (kind == 9) {
    auto ref = ResolveKind9(f);
    if (!ref) return Problem(AddressProblem::Kind);
    if (!KindNineGives(*ref, typeCode)) return Problem(AddressProblem::KindType);
    return {ref, AddressProblem::None};
  }
  if (kind != 8) return Problem(AddressProblem::Kind);
  if (!IsTextCode(typeCode)) {
    auto ref = ResolveNumber(address, typeCode, pickerAccess, Use::Read);
    return ref ? AddressCheck{ref, AddressProblem::None} : Problem(AddressProblem::Kind);
  }
  auto ref = ResolveKind8(f, false, pickerAccess, Use::Read);
  if (!ref) return Problem(AddressProblem::Kind);
  if (const AddressProblem p = PlaceText(*ref, typeCode, textLen, 0); p != AddressProblem::None) return Problem(p);
  ref->count = 1;
  if (ref->offset + ref->step - 1 > kLastElement) return Problem(AddressProblem::PastEnd);
  return {ref, AddressProblem::None};
}

std::optional<Ref> ResolveForRead(std::string_view address, std::uint32_t typeCode, std::uint16_t pickerAccess,
                                  std::uint32_t textLen) {
  return CheckAddress(address, typeCode, pickerAccess, textLen).ref;
}

std::optional<WordOrder> ParseWordOrder(std::string_view text) {
  if (EqualNoCase(text, "abcd")) return WordOrder::ABCD;
  if (EqualNoCase(text, "cdab")) return WordOrder::CDAB;
  if (EqualNoCase(text, "badc")) return WordOrder::BADC;
  if (EqualNoCase(text, "dcba")) return WordOrder::DCBA;
  return std::nullopt;
}

namespace {
std::uint16_t Swap(std::uint16_t v) { return static_cast<std::uint16_t>((v << 8) | (v >> 8)); }
}  // namespace

std::uint32_t Join32(std::uint16_t first, std::uint16_t second, WordOrder order) {
  switch (order) {
    case WordOrder::ABCD: return (std::uint32_t{first} << 16) | second;
    case WordOrder::CDAB: return (std::uint32_t{second} << 16) | first;
    case WordOrder::BADC: return (std::uint32_t{Swap(first)} << 16) | Swap(second);
    case WordOrder::DCBA: return (std::uint32_t{Swap(second)} << 16) | Swap(first);
  }
  return 0;
}

void Split32(std::uint32_t value, WordOrder order, std::uint16_t out[2]) {
  const auto hi = static_cast<std::uint16_t>(value >> 16), lo = static_cast<std::uint16_t>(value);
  switch (order) {
    case WordOrder::ABCD: out[0] = hi, out[1] = lo; break;
    case WordOrder::CDAB: out[0] = lo, out[1] = hi; break;
    case WordOrder::BADC: out[0] = Swap(hi), out[1] = Swap(lo); break;
    case WordOrder::DCBA: out[0] = Swap(lo), out[1] = Swap(hi); break;
  }
}

float FloatFromBits(std::uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

std::uint32_t BitsFromFloat(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace hv::modbus
