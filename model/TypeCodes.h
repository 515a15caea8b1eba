#pragma once
// Type codes of the project objects: one hexadecimal digit per level of the hierarchy,
// so two codes alone tell whether one kind may be placed below another. The codes key
// the list layouts, the clipboard format names and the object factory; keep them
// bit-identical.
#include <cstdint>
#include <wx/string.h>

#include "platform/Types.h"

enum class TypeCode : std::uint32_t {
  None = 0,   // no kind: the base class and the screen elements
  PrjFolder = 0x20000000,
  Project = 0x21000000,
  PrjDevice = 0x21200000,
  Resource = 0x21210000,
  ResBitmap = 0x21211000,
  Bitmap = 0x21211100,
  ResFont = 0x21212000,
  Font = 0x21212100,
  ResMask = 0x21213000,
  Mask = 0x21213100,
  ResString = 0x21214000,
  String = 0x21214100,
  RDefFolder = 0x21216000,
  RecipeDef = 0x21216100,
  Recipe = 0x21216110,
  ResMenu = 0x21217000,
  Menu = 0x21217100,
  ADefFolder = 0x21218000,
  AlarmDef = 0x21218100,
  Pal = 0x21219100,
  ResKeypad = 0x2121A000,
  KeypadXML = 0x2121A100,
  KeypadBmp = 0x2121A200,
  DataLoger = 0x2121B000,
  Program = 0x21220000,
  TavGraph = 0x21221100,
  TavSim = 0x21222000,
  TavSimSource = 0x21222100,
  PrgCoDeSys = 0x21223000,
  CoDeSys = 0x21223100,
  PrgProGRIPS = 0x21224000,
  ProGRIPS = 0x21224100,
  PrjDataPoint = 0x21230000,
  DirectDataPoint = 0x21231000,
  Network = 0x21232000,
  Device = 0x21232100,
  DataPoint = 0x21232110,
  IOConfig = 0x21233000,
  HtmlFolder = 0x21240000,
  Html = 0x21241000,
  Documents = 0x21400000,
  Doc = 0x21410000,
};

constexpr std::uint32_t ToUInt(TypeCode code) { return static_cast<std::uint32_t>(code); }
constexpr TypeCode ToTypeCode(std::uint32_t value) { return static_cast<TypeCode>(value); }

// The code with its lowest non-zero hexadecimal digit cleared. 0 gives 0; a code whose
// only non-zero digit is the highest one is its own parent (project folders hold
// project folders).
constexpr TypeCode GetParentTypeCode(TypeCode code) {
  const std::uint32_t v = ToUInt(code);
  if (v == 0) return code;
  int digit = 0;
  while (((v >> (4 * digit)) & 0xF) == 0) ++digit;
  if (digit == 7) return code;
  return ToTypeCode(v & ~(0xFu << (4 * digit)));
}

// Whether an object of `code` may be placed below an object of `parent`, directly or
// through container levels of the object-class table.
BOOL IsValidParentType(TypeCode parent, TypeCode code);

// Eight upper-case hexadecimal digits, as in clipboard format names.
wxString TypeCodeHex(TypeCode code);
