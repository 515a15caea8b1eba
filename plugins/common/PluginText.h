// Small text helpers shared by the plug-ins (no wx, no program code).
#pragma once
#include <dlfcn.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace hvplug {

// Whether the program that loaded the plug-in speaks English: the executable exports
// __VirUvazo_GetCurrentLanguage (its language number: 1, or a Windows English language
// id); a host without it gets German.
inline bool EnglishHost() {
  using Fn = int (*)();
  auto fn = reinterpret_cast<Fn>(dlsym(RTLD_DEFAULT, "__VirUvazo_GetCurrentLanguage"));
  if (!fn) return false;
  const int number = fn();
  return number == 1 || (number > 1 && (number & 0x3FF) == 0x09);
}

// A text of the plug-in in the host's language.
inline const char* InHostLanguage(const char* german, const char* english) {
  return english && EnglishHost() ? english : german;
}

// Whether the host asked a scan to stop: another thread sets the flag.
inline bool Cancelled(const volatile int* cancel) { return cancel && __atomic_load_n(cancel, __ATOMIC_ACQUIRE) != 0; }

inline std::string Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return std::string(s);
}

inline std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

inline bool EqualNoCase(std::string_view a, std::string_view b) { return Upper(std::string(a)) == Upper(std::string(b)); }

inline std::vector<std::string> SplitKeep(std::string_view text, char sep) {
  std::vector<std::string> parts;
  size_t pos = 0;
  for (;;) {
    const size_t at = text.find(sep, pos);
    parts.emplace_back(text.substr(pos, at == std::string_view::npos ? std::string_view::npos : at - pos));
    if (at == std::string_view::npos) return parts;
    pos = at + 1;
  }
}

template <class T>
std::optional<T> Number(std::string_view s) {
  const std::string t = Trim(s);
  T v{};
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || p != t.data() + t.size()) return std::nullopt;
  return v;
}

// "key=value key=value"; a key "file" takes the rest of the text (paths hold blanks).
inline std::string ParamValue(std::string_view param, std::string_view key) {
  std::istringstream in{std::string(param)};
  std::string item;
  const std::string prefix = std::string(key) + "=";
  if (key == "file") {
    const size_t at = std::string(param).find(prefix);
    if (at == std::string::npos || (at > 0 && param[at - 1] != ' ')) return {};
    return Trim(param.substr(at + prefix.size()));
  }
  while (in >> item)
    if (item.rfind(prefix, 0) == 0) return item.substr(prefix.size());
  return {};
}

// The n-th ';' field of a device parameter text (0-based); empty when missing.
inline std::string ParamField(std::string_view devParam, size_t n) {
  const auto f = SplitKeep(devParam, ';');
  return n < f.size() ? Trim(f[n]) : std::string();
}

// The host of a device address "host", "host:port" or "[v6]:port": the port there is the
// one of the panel's FTP server, not of other services.
inline std::string HostOf(const std::string& address) {
  if (!address.empty() && address.front() == '[') {
    const size_t close = address.find(']');
    return close == std::string::npos ? address : address.substr(1, close - 1);
  }
  const size_t colon = address.find(':');
  return colon != std::string::npos && address.find(':', colon + 1) == std::string::npos ? address.substr(0, colon)
                                                                                          : address;
}

// Data-point type codes and their 4-byte database form.
inline bool IsText(uint32_t type) { return type == 0x100 || type >= 0x2000; }
inline bool IsSigned(uint32_t type) { return type == 1 || type == 8 || type == 0x20; }

inline uint32_t Encode(double v, uint32_t type) {
  if (type == 0x80) {
    const float f = static_cast<float>(v);
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
  }
  v = std::nearbyint(v);
  if (IsSigned(type)) {
    const double lo = type == 1 ? -128 : type == 8 ? -32768 : -2147483648.0;
    const double hi = type == 1 ? 127 : type == 8 ? 32767 : 2147483647.0;
    return static_cast<uint32_t>(static_cast<int32_t>(v < lo ? lo : v > hi ? hi : v));
  }
  const double hi = type == 2 ? 255 : type == 4 ? 1 : type == 0x10 ? 65535 : 4294967295.0;
  return static_cast<uint32_t>(v < 0 ? 0 : v > hi ? hi : v);
}

// Days since 1.1.1900 of a civil date.
inline long DaysFrom1900(long y, long m, long d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 693901;  // 693901: days from 0000-03-01 to 1900-01-01
}

// A value text as the 4-byte form of its type ("hh:mm:ss", "dd.mm.yyyy" for 0x200, 0x400).
inline std::optional<uint32_t> EncodeText(std::string_view text, uint32_t type) {
  if (type == 0x200 || type == 0x400) {
    const auto f = SplitKeep(Trim(text), type == 0x200 ? ':' : '.');
    if (f.size() != 3) return std::nullopt;
    const auto a = Number<long>(f[0]), b = Number<long>(f[1]), c = Number<long>(f[2]);
    if (!a || !b || !c) return std::nullopt;
    if (type == 0x200) return static_cast<uint32_t>(*a * 3600 + *b * 60 + *c);
    return static_cast<uint32_t>(DaysFrom1900(*c, *b, *a));
  }
  const auto v = Number<double>(text);
  if (!v) return std::nullopt;
  return Encode(*v, type);
}

// Reads "[section]" / "key=value" lines; keys keep their case, sections are matched
// ignoring case.
struct Ini {
  struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;
  };
  std::vector<Section> sections;

  static Ini Parse(std::string_view text) {
    Ini ini;
    for (const std::string& raw : SplitKeep(text, '\n')) {
      const std::string line = Trim(raw);
      if (line.empty() || line[0] == ';') continue;
      if (line[0] == '[') {
        const size_t close = line.find(']');
        ini.sections.push_back({Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
      } else if (!ini.sections.empty()) {
        const size_t eq = line.rfind('=');
        if (eq != std::string::npos) ini.sections.back().values.emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
      }
    }
    return ini;
  }
  const Section* Find(std::string_view name) const {
    for (const Section& s : sections)
      if (EqualNoCase(s.name, name)) return &s;
    return nullptr;
  }
  std::string Get(std::string_view section, std::string_view key, std::string def = {}) const {
    if (const Section* s = Find(section))
      for (const auto& [k, v] : s->values)
        if (EqualNoCase(k, key)) return v;
    return def;
  }
};

inline bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  out = s.str();
  return true;
}

}  // namespace hvplug
