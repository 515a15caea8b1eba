#include "platform/IniFile.h"

#include <sys/stat.h>

#include <charconv>
#include <map>
#include <memory>
#include <mutex>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace hv {
namespace {

enum class Encoding { Cp1252, Utf8Bom, Utf16Le };

struct Line {
  wxString text;     // without line ending
  std::string eol;   // "\r\n", "\n" or "" for the last line
};

struct Doc {
  bool exists = false;
  bool readable = true;   // false: too large or unreadable; never rewrite it
  Encoding enc = Encoding::Cp1252;
  std::string newline = "\r\n";
  std::vector<Line> lines;
};

struct CacheEntry {
  struct timespec mtime {};
  off_t size = 0;
  ino_t inode = 0;
  std::shared_ptr<const Doc> doc;
};

std::mutex g_mutex;
std::map<std::string, CacheEntry> g_cache;

wxString Trim(const wxString& s) {
  wxString t = s;
  t.Trim(true).Trim(false);
  return t;
}

Doc Parse(const std::string& bytes) {
  Doc d;
  d.exists = true;
  wxString text;
  if (HasUtf16LeBom(bytes)) {
    d.enc = Encoding::Utf16Le;
    std::string even = bytes.size() % 2 ? bytes.substr(0, bytes.size() - 1) : bytes;
    FromUtf16Le(even, text);
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    d.enc = Encoding::Utf8Bom;
    // Not UTF-8 after all: read as empty and never rewritten, which would lose it.
    if (!IsUtf8(std::string_view(bytes).substr(3))) {
      d.readable = false;
      return d;
    }
    text = FromUtf8(std::string_view(bytes).substr(3));
  } else {
    text = FromCp1252(bytes);
  }
  bool sawNewline = false;
  size_t start = 0;
  while (start < text.length()) {
    size_t nl = text.find('\n', start);
    Line line;
    if (nl == wxString::npos) {
      line.text = text.Mid(start);
      start = text.length();
    } else {
      line.text = text.Mid(start, nl - start);
      line.eol = "\n";
      if (line.text.EndsWith("\r")) {
        line.text.RemoveLast();
        line.eol = "\r\n";
      }
      if (!sawNewline) d.newline = line.eol;
      sawNewline = true;
      start = nl + 1;
    }
    d.lines.push_back(std::move(line));
  }
  return d;
}

std::string Serialise(const Doc& d) {
  wxString text;
  for (const Line& l : d.lines) text += l.text + wxString::FromUTF8(l.eol.c_str());
  switch (d.enc) {
    case Encoding::Utf16Le: return ToUtf16LeBom(text);
    case Encoding::Utf8Bom: return "\xEF\xBB\xBF" + ToUtf8(text);
    case Encoding::Cp1252: break;
  }
  return ToCp1252Lossy(text);
}

std::shared_ptr<const Doc> Load(const wxString& file) {
  const wxString path = ResolvePath(file);
  const std::string key = ToFs(path);
  struct stat st;
  if (stat(key.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    auto d = std::make_shared<Doc>();
    d->exists = stat(key.c_str(), &st) == 0;   // a folder of that name: not writable
    d->readable = !d->exists;
    return d;
  }
  {
    std::lock_guard lock(g_mutex);
    auto it = g_cache.find(key);
    if (it != g_cache.end() && it->second.size == st.st_size && it->second.inode == st.st_ino &&
        it->second.mtime.tv_sec == st.st_mtim.tv_sec && it->second.mtime.tv_nsec == st.st_mtim.tv_nsec)
      return it->second.doc;
  }
  auto d = std::make_shared<Doc>();
  std::string bytes;
  if (static_cast<size_t>(st.st_size) > kIniMaxFileSize || !ReadFileBytes(path, bytes)) {
    d->exists = true;
    d->readable = false;
    return d;
  }
  *d = Parse(bytes);
  std::lock_guard lock(g_mutex);
  g_cache[key] = CacheEntry{st.st_mtim, st.st_size, st.st_ino, d};
  return d;
}

bool Save(const wxString& file, const Doc& d) {
  if (!d.readable) return false;
  const wxString path = ResolvePath(file);
  const bool ok = WriteFileAtomic(path, Serialise(d));
  std::lock_guard lock(g_mutex);
  g_cache.erase(ToFs(path));
  return ok;
}

// Section header name of a line, or nothing.
std::optional<wxString> HeaderName(const wxString& raw) {
  const wxString t = Trim(raw);
  if (t.length() < 2 || t[0] != '[') return std::nullopt;
  const size_t close = t.find(']');
  if (close == wxString::npos) return std::nullopt;
  return Trim(t.Mid(1, close - 1));
}

// Key of a line inside a section, or nothing for comments and lines without '='.
std::optional<wxString> KeyName(const wxString& raw) {
  const wxString t = Trim(raw);
  if (t.empty() || t[0] == ';') return std::nullopt;
  const size_t eq = t.find('=');
  if (eq == wxString::npos) return std::nullopt;
  return Trim(t.Left(eq));
}

wxString ValueOf(const wxString& raw) {
  const wxString t = Trim(raw);
  wxString v = Trim(t.Mid(t.find('=') + 1));
  if (v.length() >= 2 && ((v[0] == '"' && v.Last() == '"') || (v[0] == '\'' && v.Last() == '\'')))
    v = v.Mid(1, v.length() - 2);
  return v;
}

// [first line after the header, end) of the first section of that name; header index.
struct Range {
  size_t header = 0, begin = 0, end = 0;
};

std::optional<Range> FindSection(const Doc& d, const wxString& section) {
  for (size_t i = 0; i < d.lines.size(); ++i) {
    auto h = HeaderName(d.lines[i].text);
    if (!h || h->CmpNoCase(Trim(section)) != 0) continue;
    Range r{i, i + 1, i + 1};
    while (r.end < d.lines.size() && !HeaderName(d.lines[r.end].text)) ++r.end;
    return r;
  }
  return std::nullopt;
}

void EnsureLastLineEnds(Doc& d) {
  if (!d.lines.empty() && d.lines.back().eol.empty()) d.lines.back().eol = d.newline;
}

}  // namespace

std::optional<wxString> IniRead(const wxString& file, const wxString& section, const wxString& key) {
  auto d = Load(file);
  auto r = FindSection(*d, section);
  if (!r) return std::nullopt;
  for (size_t i = r->begin; i < r->end; ++i) {
    auto k = KeyName(d->lines[i].text);
    if (k && k->CmpNoCase(Trim(key)) == 0) return ValueOf(d->lines[i].text);
  }
  return std::nullopt;
}

wxString IniGetString(const wxString& file, const wxString& section, const wxString& key, const wxString& def) {
  auto v = IniRead(file, section, key);
  return v ? *v : def;
}

int IniGetInt(const wxString& file, const wxString& section, const wxString& key, int def) {
  auto v = IniRead(file, section, key);
  if (!v) return def;
  const std::string s = ToUtf8(*v);
  long long n = 0;
  const char* b = s.data();
  const char* e = s.data() + s.size();
  bool neg = false;
  if (b < e && (*b == '-' || *b == '+')) neg = *b++ == '-';
  const auto r = std::from_chars(b, e, n);
  if (r.ptr == b) return 0;   // the system answers 0 for a value that is not a number
  if (r.ec != std::errc() || n > 0x7FFFFFFFLL) return neg ? INT32_MIN : INT32_MAX;
  return static_cast<int>(neg ? -n : n);
}

namespace {

// Sets or deletes one key in the loaded document.
void Apply(Doc& d, const wxString& section, const wxString& key, const std::optional<wxString>& value) {
  auto r = FindSection(d, section);
  if (!r) {
    if (!value) return;
    EnsureLastLineEnds(d);
    d.lines.push_back(Line{"[" + section + "]", d.newline});
    d.lines.push_back(Line{key + "=" + *value, d.newline});
    return;
  }
  size_t lastKey = r->header;
  for (size_t i = r->begin; i < r->end; ++i) {
    auto k = KeyName(d.lines[i].text);
    if (!k) {
      if (!Trim(d.lines[i].text).empty()) lastKey = i;
      continue;
    }
    lastKey = i;
    if (k->CmpNoCase(Trim(key)) != 0) continue;
    if (value) d.lines[i].text = *k + "=" + *value;
    else d.lines.erase(d.lines.begin() + static_cast<long>(i));
    return;
  }
  if (!value) return;
  if (d.lines[lastKey].eol.empty()) d.lines[lastKey].eol = d.newline;
  d.lines.insert(d.lines.begin() + static_cast<long>(lastKey + 1), Line{key + "=" + *value, d.newline});
}

}  // namespace

bool IniWrite(const wxString& file, const wxString& section, const wxString& key,
              const std::optional<wxString>& value) {
  return IniWriteMany(file, {IniEntry{section, key, value}});
}

bool IniWriteMany(const wxString& file, const std::vector<IniEntry>& entries) {
  auto loaded = Load(file);
  if (!loaded->readable) return false;
  Doc d = *loaded;
  const std::string before = Serialise(d);
  for (const IniEntry& e : entries) Apply(d, e.section, e.key, e.value);
  if (Serialise(d) == before) return true;   // nothing changed: the file stays untouched
  return Save(file, d);
}

bool IniDeleteSection(const wxString& file, const wxString& section) {
  auto loaded = Load(file);
  if (!loaded->readable) return false;
  Doc d = *loaded;
  auto r = FindSection(d, section);
  if (!r) return true;
  d.lines.erase(d.lines.begin() + static_cast<long>(r->header), d.lines.begin() + static_cast<long>(r->end));
  return Save(file, d);
}

std::vector<wxString> IniReadSectionLines(const wxString& file, const wxString& section) {
  std::vector<wxString> out;
  auto d = Load(file);
  auto r = FindSection(*d, section);
  if (!r) return out;
  for (size_t i = r->begin; i < r->end; ++i) {
    const wxString t = Trim(d->lines[i].text);
    if (!t.empty()) out.push_back(t);
  }
  return out;
}

bool IniWriteSectionLines(const wxString& file, const wxString& section, const std::vector<wxString>& lines) {
  auto loaded = Load(file);
  if (!loaded->readable) return false;
  Doc d = *loaded;
  std::vector<Line> body;
  for (const wxString& l : lines) body.push_back(Line{l, d.newline});
  auto r = FindSection(d, section);
  if (!r) {
    EnsureLastLineEnds(d);
    d.lines.push_back(Line{"[" + section + "]", d.newline});
    d.lines.insert(d.lines.end(), body.begin(), body.end());
    return Save(file, d);
  }
  // Keep blank lines that separated this section from the next one.
  size_t end = r->end;
  while (end > r->begin && Trim(d.lines[end - 1].text).empty()) --end;
  if (d.lines[r->header].eol.empty()) d.lines[r->header].eol = d.newline;
  d.lines.erase(d.lines.begin() + static_cast<long>(r->begin), d.lines.begin() + static_cast<long>(end));
  d.lines.insert(d.lines.begin() + static_cast<long>(r->begin), body.begin(), body.end());
  return Save(file, d);
}

std::vector<wxString> IniSectionNames(const wxString& file) {
  std::vector<wxString> out;
  auto d = Load(file);
  for (const Line& l : d->lines)
    if (auto h = HeaderName(l.text)) out.push_back(*h);
  return out;
}

void IniFlushCache() {
  std::lock_guard lock(g_mutex);
  g_cache.clear();
}

}  // namespace hv
