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

// Strict UTF-8: only sequences of Unicode scalar values count (no overlong forms, no
// surrogates, nothing above U+10FFFF). Text that is not UTF-8 decodes to an empty string
// whatever the locale; check with IsUtf8 where empty input must be told apart.
bool IsUtf8(std::string_view bytes);
wxString FromUtf8(std::string_view bytes);
// Encodes as UTF-8; a character that is no scalar value (a lone surrogate) becomes U+FFFD,
// so that nothing else of the text is lost.
std::string ToUtf8(const wxString& text);

}  // namespace hv
