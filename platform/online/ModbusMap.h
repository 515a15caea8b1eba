#pragma once
// Where a data point lives on a Modbus TCP server, derived from its address text alone.
// The data-point export and the Modbus TCP driver both use it, so an exported tag and a
// live read always meet the same registers. Plain C++ (the driver plug-in builds it too).
//   kind 9, "9|<signal>|m.cc": I/O module points (Digital/Analog Input/Output)
//   kind 8, "8|..|..|F3|F4|F5|F6": memory points at 0x3000 and up, F6 elements
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hv::modbus {

enum Table : int { kCoils = 0, kDiscreteInputs = 1, kInputRegisters = 3, kHoldingRegisters = 4 };

struct Ref {
  int table = kHoldingRegisters;
  std::uint32_t offset = 0;    // first element, 0-based
  std::uint32_t count = 1;     // elements
  std::uint32_t step = 1;      // registers or bits per element
  std::string typeName;        // "BOOL", "I1", "UI1", "I2", "UI2", "I4", "UI4", "R4"; "TEXT" for reads
  // Register address of element i as the export writes it: table * 65536 + offset + 1.
  std::uint32_t RegisterAddress(std::uint32_t i = 0) const { return table * 65536u + offset + i * step + 1; }
};

// The export's mapping; nothing for addresses, types or offsets it cannot place.
std::optional<Ref> Resolve(std::string_view address, std::uint32_t typeCode, std::uint16_t pickerAccess);

// As Resolve, and texts (type 0x100 with textLen characters, 0x2000 + n) of kind 8 as
// registers holding two characters each. Reads take the first element.
std::optional<Ref> ResolveForRead(std::string_view address, std::uint32_t typeCode, std::uint16_t pickerAccess,
                                  std::uint32_t textLen);

// Order of the four bytes of a 32-bit value in two registers: "abcd" puts the high word
// first, "cdab" the low word first; "badc" and "dcba" also swap the bytes of each word.
enum class WordOrder { ABCD, CDAB, BADC, DCBA };
std::optional<WordOrder> ParseWordOrder(std::string_view text);
std::uint32_t Join32(std::uint16_t first, std::uint16_t second, WordOrder order);
void Split32(std::uint32_t value, WordOrder order, std::uint16_t out[2]);
// A float from its bits; no libmodbus float helper is used (Debian 12's are broken).
float FloatFromBits(std::uint32_t bits);
std::uint32_t BitsFromFloat(float value);

}  // namespace hv::modbus
