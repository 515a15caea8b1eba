#include "platform/Localization.h"

#include <charconv>
#include <mutex>

#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"

namespace hv {
namespace {

struct State {
  std::mutex mutex;
  std::map<UINT, wxString> texts;
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
    out[id] = FromUtf8(text);
  }
  return out;
}

wxString LocalString(UINT id, const wxString& germanDefault) {
  State& s = S();
  std::lock_guard lock(s.mutex);
  auto it = s.texts.find(id);
  return it != s.texts.end() ? it->second : germanDefault;
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
