#pragma once
// Keys callers give to a select: the leading components of a tag, typed. A key with
// fewer components than the tag positions on the first record of that group.
#include <concepts>
#include <cstdint>
#include <string>
#include <vector>
#include <wx/string.h>

#include "platform/dbase/Schema.h"

namespace hv::db {

struct KeyPart {
  bool isNumber = false;
  std::int64_t number = 0;
  wxString text;

  KeyPart(const wxString& s) : text(s) {}
  KeyPart(const char* s) : text(wxString::FromUTF8(s)) {}
  KeyPart(const wchar_t* s) : text(s) {}   // wxS("...") literals
  template <std::integral T>
  KeyPart(T n) : isNumber(true), number(static_cast<std::int64_t>(n)) {}
};

using Key = std::vector<KeyPart>;

// Encoded keys compare with plain byte comparison: a number is 8 big-endian bytes
// with the sign bit flipped, a text its bytes followed by a zero byte. Components
// are self-delimiting, so a given prefix of components is a byte prefix and "Start"
// is never a prefix of "Start motor".
void AppendKeyNumber(std::string& out, std::int64_t value);
void AppendKeyText(std::string& out, std::string_view bytes, bool ci);

// The record's key under a tag. False when the tag's filter rejects the record (the
// key is then made all the same when the filter is not applied).
bool RecordKey(const Schema& schema, const TagDef& tag, const Record& record, std::string& out,
               bool applyFilter = true);

// The caller's key, encoded like the records' keys: texts are cut to their field's
// width as they would be stored. False when a component has the wrong type, there are
// more components than the tag has, or a narrow text holds a character
// Windows-1252 cannot hold (such a key matches nothing).
bool EncodeKey(const Schema& schema, const Layout& layout, const TagDef& tag, const Key& key, std::string& out);

// Windows-1252 upper case, byte by byte (ß and bytes without a capital stay).
void UpperCp1252(std::string& bytes);

}  // namespace hv::db
