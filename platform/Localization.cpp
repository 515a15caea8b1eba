#include "platform/Localization.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <mutex>
#include <set>

#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"

namespace hv {
namespace {

struct State {
  std::mutex mutex;
  std::map<UINT, wxString> texts;
  std::set<UINT> refused;   // named on standard error once
  int number = 0;
};

State& S() {
  static State s;
  return s;
}

const wxString kCodes[] = {wxS("DEU"), wxS("ENG")};

}  // namespace

std::map<UINT, wxString> ParseCatalogue(const std::string& utf8) {
  std::map<UINT, wxString> out;
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find('\n', start);
    if (end == std::string::npos) end = utf8.size();
    std::string_view line(utf8.data() + start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0) continue;
    UINT id = 0;
    const auto r = std::from_chars(line.data(), line.data() + tab, id);
    if (r.ec != std::errc() || r.ptr != line.data() + tab) continue;
    std::string text;
    for (size_t i = tab + 1; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) {
        const char n = line[++i];
        text.push_back(n == 'n' ? '\n' : n == 't' ? '\t' : n);
      } else {
        text.push_back(line[i]);
      }
    }
    // A text that is not UTF-8 is left out: the built-in one stands.
    if (!IsUtf8(text)) continue;
    out[id] = FromUtf8(text);
  }
  return out;
}

std::vector<std::string> FormatSpecifiers(const wxString& text) {
  static const std::string kFlags = "-+ #0'";
  static const std::string kLengths = "hlLqjzt";
  static const std::string kConversions = "diouxXeEfFgGaAcsSpn";
  std::vector<std::string> out;
  const std::string t = ToUtf8(text);
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] != '%') continue;
    if (i + 1 < t.size() && t[i + 1] == '%') {
      ++i;
      continue;
    }
    std::string conversion;
    size_t j = i + 1;
    // "%n$": the argument's position.
    size_t digits = j;
    while (digits < t.size() && std::isdigit(static_cast<unsigned char>(t[digits]))) ++digits;
    if (digits > j && digits < t.size() && t[digits] == '$') {
      conversion = t.substr(j, digits - j + 1);
      j = digits + 1;
    }
    while (j < t.size() && kFlags.find(t[j]) != std::string::npos) ++j;
    // A '*' width or precision takes an argument of its own.
    // A width or precision past 999 would have the formatter make text of that size.
    bool huge = false;
    auto skipNumber = [&] {
      if (j < t.size() && t[j] == '*') {
        conversion += '*';
        ++j;
        while (j < t.size() && (std::isdigit(static_cast<unsigned char>(t[j])) || t[j] == '$')) conversion += t[j++];
      }
      const size_t from = j;
      while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j;
      huge = huge || j - from > 3;
    };
    skipNumber();
    if (j < t.size() && t[j] == '.') {
      ++j;
      skipNumber();
    }
    while (j < t.size() && kLengths.find(t[j]) != std::string::npos) conversion += t[j++];
    if (j < t.size() && kConversions.find(t[j]) != std::string::npos) conversion += t[j];
    else conversion = "?";   // not a specifier a formatter takes
    if (huge) conversion = "?";
    out.push_back(conversion);
    i = j < t.size() ? j : t.size();
  }
  return out;
}

bool CatalogueTextFits(const wxString& text, const wxString& germanDefault) {
  const std::vector<std::string> own = FormatSpecifiers(text);
  for (const std::string& conversion : own)
    if (conversion.back() == 'n') return false;   // writes through its argument
  return own == FormatSpecifiers(germanDefault);
}

wxString LocalString(UINT id, const wxString& germanDefault) {
  State& s = S();
  std::lock_guard lock(s.mutex);
  auto it = s.texts.find(id);
  if (it == s.texts.end()) return germanDefault;
  // Callers format the text with the arguments of the built-in one: a catalogue text
  // with other specifiers would read arguments that are not there.
  if (!CatalogueTextFits(it->second, germanDefault)) {
    if (s.refused.insert(id).second)
      fprintf(stderr, "Katalogtext %u: Platzhalter passen nicht zum eingebauten Text, dieser wird verwendet\n", id);
    return germanDefault;
  }
  return it->second;
}

wxString GetLanguageCode(int number) {
  if (number < 0 || number >= static_cast<int>(std::size(kCodes))) return wxString();
  return kCodes[number];
}

int GetLanguageNumber(const wxString& code) {
  for (size_t i = 0; i < std::size(kCodes); ++i)
    if (kCodes[i].CmpNoCase(code) == 0) return static_cast<int>(i);
  return -1;
}

std::vector<wxString> KnownLanguageCodes() { return std::vector<wxString>(std::begin(kCodes), std::end(kCodes)); }

BOOL InitMultiLanguage(const wxString& application, const wxString& code) {
  const int number = GetLanguageNumber(code);
  if (number < 0) return FALSE;
  std::map<UINT, wxString> texts;
  if (number != 0) {
    std::string bytes;
    const wxString file = JoinPath(DefaultDataFolder(), "lang/" + kCodes[number] + ".txt");
    if (!ReadFileBytes(file, bytes)) return FALSE;
    texts = ParseCatalogue(bytes);
  }
  State& s = S();
  std::lock_guard lock(s.mutex);
  s.texts = std::move(texts);
  s.refused.clear();
  s.number = number;
  return TRUE;
}

BOOL InitMultiLanguage(const wxString& application, int number) {
  const wxString code = GetLanguageCode(number);
  return code.empty() ? FALSE : InitMultiLanguage(application, code);
}

int CurrentLanguageNumber() {
  State& s = S();
  std::lock_guard lock(s.mutex);
  return s.number;
}

void ResetLanguage() {
  State& s = S();
  std::lock_guard lock(s.mutex);
  s.texts.clear();
  s.refused.clear();
  s.number = 0;
}

BOOL GetHelpFile(wxString& name, int number) {
  const wxString code = GetLanguageCode(number);
  if (code.empty() || name.empty()) return FALSE;
  const size_t sep = name.find_last_of(wxS("\\/"));
  const size_t dot = name.find_last_of('.');
  if (dot != wxString::npos && (sep == wxString::npos || dot > sep))
    name = name.Left(dot) + "_" + code + name.Mid(dot);
  else
    name += "_" + code;
  return TRUE;
}

}  // namespace hv
