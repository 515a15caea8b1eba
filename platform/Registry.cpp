#include "platform/Registry.h"

#include <charconv>
#include <cstdio>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace hv {

namespace {

wxString CanonKey(const wxString& key) {
  wxString k = key;
  k.Replace("/", "\\");
  while (k.StartsWith("\\")) k.Remove(0, 1);
  while (k.EndsWith("\\")) k.RemoveLast();
  return k;
}

bool SameKey(const wxString& a, const wxString& b) { return CanonKey(a).CmpNoCase(CanonKey(b)) == 0; }

// Text the store can carry as a value: valid UTF-8 (FromUTF8 gives nothing otherwise).
bool Decodes(const std::string& utf8, wxString& out) {
  out = FromUtf8(utf8);
  return !out.empty() || utf8.empty();
}

// A raw line that opens a section the store cannot read (a key path that is not UTF-8
// or names no key): it and the lines after it stay where they were, and no value read
// or stored later may be placed behind it, where it would belong to that section.
bool OpensForeignSection(const RegistryStore::Value& v) {
  if (v.kind != RegistryStore::Kind::Raw || v.raw.empty() || v.raw[0] != '[') return false;
  const size_t close = v.raw.rfind(']');
  return close != std::string::npos && close >= 2;
}

void AddValue(std::vector<std::pair<wxString, RegistryStore::Value>>& values, const wxString& name,
              const RegistryStore::Value& v) {
  auto at = values.begin();
  while (at != values.end() && !OpensForeignSection(at->second)) ++at;
  values.emplace(at, name, v);
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return std::string(s.substr(b, e - b));
}

// Reads a quoted string starting at s[pos] == '"'; returns false when unterminated.
bool ReadQuoted(const std::string& s, size_t& pos, std::string& out) {
  out.clear();
  if (pos >= s.size() || s[pos] != '"') return false;
  for (++pos; pos < s.size(); ++pos) {
    const char c = s[pos];
    if (c == '\\' && pos + 1 < s.size()) {
      const char n = s[++pos];
      out.push_back(n == 'n' ? '\n' : n);
    } else if (c == '"') {
      ++pos;
      return true;
    } else {
      out.push_back(c);
    }
  }
  return false;
}

std::string Quote(const wxString& text) {
  std::string out = "\"";
  for (char c : ToUtf8(text)) {
    if (c == '"' || c == '\\') out.push_back('\\');
    if (c == '\n') { out += "\\n"; continue; }
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

}  // namespace

RegistryStore& RegistryStore::Get() {
  static RegistryStore store;
  return store;
}

RegistryStore::Layer RegistryStore::Parse(const std::string& utf8) {
  Layer layer;
  std::vector<std::pair<wxString, Value>>* current = nullptr;
  bool foreign = false;
  auto keep = [&](const std::string& raw) {
    if (!current) {
      if (layer.keys.empty() || !layer.keys.front().first.empty())
        layer.keys.insert(layer.keys.begin(), {wxString(), {}});
      current = &layer.keys.front().second;
    }
    Value v;
    v.kind = Kind::Raw;
    v.raw = raw;
    current->emplace_back(wxString(), v);
  };
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find('\n', start);
    if (end == std::string::npos) end = utf8.size();
    const std::string line = Trim(std::string_view(utf8).substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line[0] == ';' || line[0] == '#') {
      if (line.rfind("; Halvora registry store", 0) != 0) keep(line);
      continue;
    }
    if (line[0] == '[') {
      const size_t close = line.rfind(']');
      if (close == std::string::npos || close < 2) { keep(line); continue; }
      wxString key;
      const bool decodes = Decodes(line.substr(1, close - 1), key);
      key = CanonKey(key);
      foreign = !decodes || key.empty();
      if (foreign) {   // a section of its own, carried as it is
        keep(line);
        continue;
      }
      current = nullptr;
      for (auto& k : layer.keys)
        if (SameKey(k.first, key)) current = &k.second;
      if (!current) {
        layer.keys.emplace_back(key, std::vector<std::pair<wxString, Value>>{});
        current = &layer.keys.back().second;
      }
      continue;
    }
    if (!current || foreign) { keep(line); continue; }
    size_t pos = 0;
    std::string name;
    if (line[0] == '@') { pos = 1; }
    else if (!ReadQuoted(line, pos, name)) { keep(line); continue; }
    while (pos < line.size() && line[pos] == ' ') ++pos;
    if (pos >= line.size() || line[pos] != '=') { keep(line); continue; }
    ++pos;
    while (pos < line.size() && line[pos] == ' ') ++pos;
    Value v;
    const std::string rest = line.substr(pos);
    if (!rest.empty() && rest[0] == '"') {
      std::string text;
      size_t p = 0;
      if (!ReadQuoted(rest, p, text)) { keep(line); continue; }
      v.kind = Kind::String;
      if (!Decodes(text, v.text)) { keep(line); continue; }
    } else if (rest.rfind("dword:", 0) == 0) {
      std::uint32_t n = 0;
      const auto r = std::from_chars(rest.data() + 6, rest.data() + rest.size(), n, 16);
      if (r.ec != std::errc() || r.ptr != rest.data() + rest.size()) { keep(line); continue; }
      v.kind = Kind::Dword;
      v.number = n;
    } else if (rest.rfind("hex:", 0) == 0) {
      unsigned n = 0;
      const auto r = std::from_chars(rest.data() + 4, rest.data() + rest.size(), n, 16);
      if (r.ec != std::errc() || n > 0xFF) { keep(line); continue; }
      v.kind = Kind::Byte;
      v.number = n;
    } else {
      keep(line);
      continue;
    }
    wxString vname;
    if (!Decodes(name, vname)) { keep(line); continue; }
    bool replaced = false;
    for (auto& e : *current)
      if (e.second.kind != Kind::Raw && e.first.CmpNoCase(vname) == 0) { e.second = v; replaced = true; }
    if (!replaced) AddValue(*current, vname, v);
  }
  return layer;
}

std::string RegistryStore::Format(const Layer& layer) {
  std::string out = "; Halvora registry store\n";
  for (const auto& [key, values] : layer.keys) {
    if (!key.empty()) out += "\n[" + ToUtf8(key) + "]\n";
    for (const auto& [name, v] : values) {
      if (v.kind == Kind::Raw) {
        out += v.raw + "\n";
        continue;
      }
      out += name.empty() ? std::string("@") : Quote(name);
      out += "=";
      char buf[16];
      switch (v.kind) {
        case Kind::String: out += Quote(v.text); break;
        case Kind::Dword: snprintf(buf, sizeof buf, "dword:%08x", v.number); out += buf; break;
        case Kind::Byte: snprintf(buf, sizeof buf, "hex:%02x", v.number & 0xFF); out += buf; break;
        case Kind::Raw: break;
      }
      out += "\n";
    }
  }
  return out;
}

void RegistryStore::InitFiles(const wxString& systemFile, const wxString& userFile) {
  std::lock_guard lock(m_mutex);
  m_systemFile = systemFile;
  m_userFile = userFile;
  Reload();
}

void RegistryStore::Reload() {
  std::lock_guard lock(m_mutex);
  std::string bytes;
  m_system = !m_systemFile.empty() && ReadFileBytes(m_systemFile, bytes) ? Parse(bytes) : Layer{};
  m_user = !m_userFile.empty() && ReadFileBytes(m_userFile, bytes) ? Parse(bytes) : Layer{};
}

const RegistryStore::Value* RegistryStore::Find(const Layer& layer, const wxString& key, const wxString& name) {
  for (const auto& k : layer.keys) {
    if (!SameKey(k.first, key)) continue;
    for (const auto& v : k.second)
      if (v.second.kind != Kind::Raw && v.first.CmpNoCase(name) == 0) return &v.second;
  }
  return nullptr;
}

std::optional<RegistryStore::Value> RegistryStore::GetValue(const wxString& key, const wxString& name) const {
  std::lock_guard lock(m_mutex);
  if (const Value* v = Find(m_user, key, name)) return *v;
  if (const Value* v = Find(m_system, key, name)) return *v;
  return std::nullopt;
}

std::optional<wxString> RegistryStore::GetString(const wxString& key, const wxString& name) const {
  auto v = GetValue(key, name);
  if (!v || v->kind != Kind::String) return std::nullopt;
  return v->text;
}

std::optional<std::uint32_t> RegistryStore::GetDword(const wxString& key, const wxString& name) const {
  auto v = GetValue(key, name);
  if (!v || v->kind != Kind::Dword) return std::nullopt;
  return v->number;
}

std::optional<std::uint8_t> RegistryStore::GetByte(const wxString& key, const wxString& name) const {
  auto v = GetValue(key, name);
  if (!v || v->kind != Kind::Byte) return std::nullopt;
  return static_cast<std::uint8_t>(v->number);
}

bool RegistryStore::Store(const wxString& key, const wxString& name, const std::optional<Value>& value) {
  // A key path the file cannot hold as a section of its own would lend its values to
  // the key before it.
  if (CanonKey(key).empty() || key.find_first_of(wxS("\r\n")) != wxString::npos) {
    fprintf(stderr, "Registrierung: Schlüssel \"%s\" kann nicht gespeichert werden\n", ToUtf8(key).c_str());
    return false;
  }
  std::lock_guard lock(m_mutex);
  // Re-read the user file first so that another copy's writes are not lost.
  std::string bytes;
  Layer layer = !m_userFile.empty() && ReadFileBytes(m_userFile, bytes) ? Parse(bytes) : m_user;
  std::vector<std::pair<wxString, Value>>* values = nullptr;
  for (auto& k : layer.keys)
    if (SameKey(k.first, key)) values = &k.second;
  if (!values) {
    if (!value) return true;
    layer.keys.emplace_back(CanonKey(key), std::vector<std::pair<wxString, Value>>{});
    values = &layer.keys.back().second;
  }
  bool done = false;
  for (auto it = values->begin(); it != values->end(); ++it) {
    if (it->second.kind == Kind::Raw || it->first.CmpNoCase(name) != 0) continue;
    if (value) it->second = *value;
    else values->erase(it);
    done = true;
    break;
  }
  if (!done && value) AddValue(*values, name, *value);
  if (!m_userFile.empty()) {
    MakeFolders(PathFolder(m_userFile));
    if (!WriteFileAtomic(m_userFile, Format(layer))) return false;
  }
  m_user = std::move(layer);
  return true;
}

bool RegistryStore::SetString(const wxString& key, const wxString& name, const wxString& value) {
  Value v;
  v.kind = Kind::String;
  v.text = value;
  return Store(key, name, v);
}

bool RegistryStore::SetDword(const wxString& key, const wxString& name, std::uint32_t value) {
  Value v;
  v.kind = Kind::Dword;
  v.number = value;
  return Store(key, name, v);
}

bool RegistryStore::SetByte(const wxString& key, const wxString& name, std::uint8_t value) {
  Value v;
  v.kind = Kind::Byte;
  v.number = value;
  return Store(key, name, v);
}

bool RegistryStore::DeleteValue(const wxString& key, const wxString& name) { return Store(key, name, std::nullopt); }

std::vector<wxString> RegistryStore::SubKeys(const wxString& key) const {
  std::lock_guard lock(m_mutex);
  const wxString base = CanonKey(key);
  std::vector<wxString> out;
  auto collect = [&](const Layer& layer) {
    for (const auto& k : layer.keys) {
      const wxString& path = k.first;
      if (path.length() <= base.length() + 1) continue;
      if (path.Left(base.length()).CmpNoCase(base) != 0 || path[base.length()] != '\\') continue;
      const wxString child = path.Mid(base.length() + 1).BeforeFirst('\\');
      bool seen = false;
      for (const auto& o : out) seen = seen || o.CmpNoCase(child) == 0;
      if (!seen) out.push_back(child);
    }
  };
  collect(m_system);
  collect(m_user);
  return out;
}

std::vector<wxString> RegistryStore::ValueNames(const wxString& key) const {
  std::lock_guard lock(m_mutex);
  std::vector<wxString> out;
  for (const Layer* layer : {&m_system, &m_user})
    for (const auto& k : layer->keys)
      if (SameKey(k.first, key))
        for (const auto& v : k.second) {
          if (v.second.kind == Kind::Raw) continue;
          bool seen = false;
          for (const auto& o : out) seen = seen || o.CmpNoCase(v.first) == 0;
          if (!seen) out.push_back(v.first);
        }
  return out;
}

bool RegistryStore::KeyExists(const wxString& key) const {
  std::lock_guard lock(m_mutex);
  for (const Layer* layer : {&m_system, &m_user})
    for (const auto& k : layer->keys)
      if (SameKey(k.first, key)) return true;
  return !SubKeys(key).empty();
}

}  // namespace hv
