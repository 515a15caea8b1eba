#pragma once
// Where a data point lives on a Modbus TCP server, derived from its address text alone.
// The data-point export and the Modbus TCP driver both use it, so an exported tag and a
// live read always meet the same registers. Plain C++ (the driver plug-in builds it too).
//   kind 9, "9|<signal>|m.cc": I/O module points (Digital/Analog Input/Output)
//   kind 8, "8|..|..|F3|F4|F5|F6": memory points at 0x3000 and up, F6 elements (the
//     export makes no tag without F6: a missing count is 0)
//   the driver's own, "<table>|<offset>[|<type>[|<order>]]": any element of any table,
//     table CO (coils), DI (discrete inputs), IR (input registers), HR (holding registers),
//     offset 0-65535 as on the wire, type BOOL, I1, UI1, I2, UI2, I4, UI4, R4, TIME, DATE
//     or TEXT (the data point's own type when left out), order ABCD, CDAB, BADC or DCBA
//     for the 32-bit types (the network's when left out); a text's fourth field is its
//     length, "HR|40|TEXT|12" (1-250 characters; the data point's own when left out).
//     Case is ignored. The export writes no tag for these: they start with no kind number.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hv::modbus {

enum Table : int { kCoils = 0, kDiscreteInputs = 1, kInputRegisters = 3, kHoldingRegisters = 4 };

// Order of the four bytes of a 32-bit value in two registers: "abcd" puts the high word
// first, "cdab" the low word first; "badc" and "dcba" also swap the bytes of each word.
enum class WordOrder { ABCD, CDAB, BADC, DCBA };

struct Ref {
  int table = kHoldingRegisters;
  std::uint32_t offset = 0;    // first element, 0-based
  std::uint32_t count = 1;     // elements
  std::uint32_t step = 1;      // registers or bits per element
  std::string typeName;        // "BOOL", "I1", "UI1", "I2", "UI2", "I4", "UI4", "R4"; "TEXT" for reads
  std::optional<WordOrder> order;  // named by the address; else the network's
  std::uint32_t chars = 0;         // a text's characters (step holds its registers)
  // Register address of element i as the export writes it: table * 65536 + offset + 1.
  std::uint32_t RegisterAddress(std::uint32_t i = 0) const { return table * 65536u + offset + i * step + 1; }
};

// The export's mapping; nothing for addresses, types or offsets it cannot place.
std::optional<Ref> Resolve(std::string_view address, std::uint32_t typeCode, std::uint16_t pickerAccess);

// Why an address cannot be read as the given data type.
enum class AddressProblem {
  None,
  Format,        // neither a kind nor "<table>|<offset>...", or too many fields
  Table,         // the first field names no table
  Offset,        // the offset is no number from 0 to 65535
  TypeName,      // the type field names no type
  TypeMismatch,  // the type field and the data type differ
  BitTable,      // coils and discrete inputs hold bits: the data type must be Bit
  RegisterBit,   // a Bit on a register table
  Order,         // the order field names no word order
  OrderNeeds32,  // a word order given for a type of other than 32 bits
  PastEnd,       // the value's registers run past 65535
  TextLength,    // a text of more than 250 characters (125 registers), or a length field not 1-250
  TextNoLength,  // a text whose length neither the address nor the data point gives
  TextLengthMismatch,  // the address names another length than the data point's
  Unreadable,    // a data type between 0x401 and 0x1FFF
  Kind,          // an address of kind 8 or 9 the map cannot place, or of another kind
  KindType,      // a kind-9 point whose signal does not give the data type exactly
};

struct AddressCheck {
  std::optional<Ref> ref;  // what a read asks for: its first element
  AddressProblem problem = AddressProblem::None;
};
// Where a read of the address as this data type goes, or why it cannot. Texts (type
// 0x100 with textLen characters, 0x2000 + n, or the length the address names) are
// registers of two characters each.
AddressCheck CheckAddress(std::string_view address, std::uint32_t typeCode, std::uint16_t pickerAccess,
                          std::uint32_t textLen);
// CheckAddress's place, or nothing.
std::optional<Ref> ResolveForRead(std::string_view address, std::uint32_t typeCode, std::uint16_t pickerAccess,
                                  std::uint32_t textLen);
// Whether the address is of the driver's own form (it starts with a table name).
bool IsTableAddress(std::string_view address);
// The type code the address's type field names (TEXT: 0x100); 0 without one.
std::uint32_t TypeCodeOfAddress(std::string_view address);
// The characters a table address names in its fourth field ("HR|40|TEXT|12": 12); 0
// without a number there or for any other address.
std::uint32_t TextLengthOfAddress(std::string_view address);

std::optional<WordOrder> ParseWordOrder(std::string_view text);
std::uint32_t Join32(std::uint16_t first, std::uint16_t second, WordOrder order);
void Split32(std::uint32_t value, WordOrder order, std::uint16_t out[2]);
// A float from its bits; no libmodbus float helper is used (Debian 12's are broken).
float FloatFromBits(std::uint32_t bits);
std::uint32_t BitsFromFloat(float value);

}  // namespace hv::modbus
