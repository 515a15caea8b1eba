// Patterns and texts come from users (validating edits, searches): any pattern over any
// text ends within the matcher's budget, and a match lies inside the text.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/RegExp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t split = bytes.find('\0');
  const wxString pattern = wxString::FromUTF8(bytes.substr(0, split));
  const wxString text = split == std::string::npos ? wxString() : wxString::FromUTF8(bytes.substr(split + 1));
  const auto start = std::chrono::steady_clock::now();
  CPatternMatcher m;
  // Smaller budgets than the program's, for more inputs a second; the bound is the same.
  m.SetStepLimit(200000);
  m.SetTimeLimit(std::chrono::milliseconds(100));
  if (m.Compile(pattern)) {
    const int at = m.Find(text);
    if (at >= 0 && (at > static_cast<int>(text.length()) || at + m.GetMatchLength() > static_cast<int>(text.length())))
      std::abort();
    (void)m.BuildReplacement(wxS("<&\\1\\9>"));
  }
  if (CountMatches(pattern, m, text) > static_cast<int>(text.length()) + 1) std::abort();
  // Two budgets of 100 ms at most, with room for the sanitizers.
  if (std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) std::abort();
  return 0;
}
