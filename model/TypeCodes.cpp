#include "model/TypeCodes.h"

#include "framework/LocalTables.h"

namespace {

// A code has at most eight levels, so the container walk cannot go deeper than that.
BOOL IsValidParentTypeAt(TypeCode parent, TypeCode code, int depth) {
  if (code == TypeCode::None) return FALSE;   // "no kind" belongs nowhere
  if (GetParentTypeCode(code) == parent) return TRUE;
  if (depth >= 8) return FALSE;
  for (const ObjectClassRow& row : GetObjectClassRows()) {
    if (row.typeCode == 0) break;
    const TypeCode rowCode = ToTypeCode(row.typeCode);
    if (row.container != 1 || rowCode == parent) continue;
    if (GetParentTypeCode(rowCode) != parent) continue;
    if (IsValidParentTypeAt(rowCode, code, depth + 1)) return TRUE;
  }
  return FALSE;
}

}  // namespace

BOOL IsValidParentType(TypeCode parent, TypeCode code) { return IsValidParentTypeAt(parent, code, 0); }

wxString TypeCodeHex(TypeCode code) { return wxString::Format("%08lX", static_cast<unsigned long>(ToUInt(code))); }
