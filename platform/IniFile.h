#pragma once
// INI-style settings files as the suite writes them. Section and key names ignore
// case, the first occurrence wins, blanks around keys and values are trimmed and one
// pair of enclosing quotes is stripped. Writing keeps every other line as it was
// (order, comments, junk, line endings) and goes through a temporary file, so a failed
// write leaves the old file intact. Narrow files are Windows-1252; a file that starts
// with a UTF-16LE byte-order mark stays UTF-16LE.
#include <optional>
#include <string>
#include <vector>
#include <wx/string.h>

namespace hv {

// The value of a key, or nothing when the file, section or key is missing.
std::optional<wxString> IniRead(const wxString& file, const wxString& section, const wxString& key);
wxString IniGetString(const wxString& file, const wxString& section, const wxString& key, const wxString& def);
// Integer read as the system does: leading digits (with sign), else the default.
int IniGetInt(const wxString& file, const wxString& section, const wxString& key, int def);

// Writes a key; a null value deletes it. False when the file could not be written.
bool IniWrite(const wxString& file, const wxString& section, const wxString& key,
              const std::optional<wxString>& value);
struct IniEntry {
  wxString section;
  wxString key;
  std::optional<wxString> value;   // nothing: delete the key
};
// Writes several keys in one write of the file, in order; a write that changes nothing
// leaves the file untouched. False when the file could not be written (it is then as
// it was).
bool IniWriteMany(const wxString& file, const std::vector<IniEntry>& entries);
bool IniDeleteSection(const wxString& file, const wxString& section);

// Raw lines of a section (trimmed, blank lines left out; comments included), in order;
// empty when missing.
std::vector<wxString> IniReadSectionLines(const wxString& file, const wxString& section);
// Replaces a whole section with the given "key=value" lines (created at the end when
// missing).
bool IniWriteSectionLines(const wxString& file, const wxString& section, const std::vector<wxString>& lines);
std::vector<wxString> IniSectionNames(const wxString& file);

// Files larger than this are not read (and never rewritten with less than they held).
constexpr size_t kIniMaxFileSize = 64u << 20;

// Forgets cached files (tests that change files behind our back with equal times).
void IniFlushCache();

}  // namespace hv
