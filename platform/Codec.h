#pragma once
// Text encodings of the files we read and write: Windows-1252 for narrow texts,
// UTF-16LE with byte-order mark for wide text files.
#include <string>
#include <string_view>
#include <wx/string.h>

namespace hv {

// Decodes Windows-1252 bytes; the five unassigned bytes map to U+0081 and friends so
// that nothing is lost on a round trip.
wxString FromCp1252(std::string_view bytes);
// The same into an existing string, reusing its storage.
void AssignCp1252(std::string_view bytes, wxString& out);

// Encodes as Windows-1252. Returns false (and leaves '?' in place) when a character
// has no Windows-1252 byte.
bool ToCp1252(const wxString& text, std::string& out);
std::string ToCp1252Lossy(const wxString& text);
bool FitsCp1252(const wxString& text);

// UTF-16LE with a byte-order mark.
std::string ToUtf16LeBom(const wxString& text);
// Decodes UTF-16LE; a leading byte-order mark is skipped. Returns false on an odd length.
bool FromUtf16Le(std::string_view bytes, wxString& out);
bool HasUtf16LeBom(std::string_view bytes);

// UTF-8 helpers that never produce an empty string from valid input whatever the locale.
inline wxString FromUtf8(std::string_view s) { return wxString::FromUTF8(s.data(), s.size()); }
inline std::string ToUtf8(const wxString& s) {
  const wxScopedCharBuffer b = s.utf8_str();
  return std::string(b.data(), b.length());
}

}  // namespace hv
