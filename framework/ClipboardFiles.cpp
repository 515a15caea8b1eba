#include "framework/ClipboardFiles.h"

#include "framework/ClipboardStore.h"
#include "platform/Paths.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

std::vector<wxString> ToPaths(const std::vector<std::string>& uris) {
  std::vector<wxString> out;
  for (const std::string& uri : uris)
    if (auto path = FileUriToPath(uri)) out.push_back(*path);
  return out;
}

}  // namespace

std::optional<wxString> FileUriToPath(std::string_view uri) {
  if (!StartsWithNoCase(uri, "file://")) return std::nullopt;
  std::string_view rest = uri.substr(7);
  if (StartsWithNoCase(rest, "localhost/")) rest.remove_prefix(9);
  if (rest.empty() || rest.front() != '/') return std::nullopt;   // another host
  std::string bytes;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const char c = rest[i];
    if (c == '?' || c == '#') break;   // query and fragment are no part of a file name
    if (c == '%') {
      if (i + 2 >= rest.size()) return std::nullopt;
      const int hi = HexValue(rest[i + 1]);
      const int lo = HexValue(rest[i + 2]);
      if (hi < 0 || lo < 0) return std::nullopt;
      const char decoded = static_cast<char>(hi * 16 + lo);
      if (decoded == '\0') return std::nullopt;
      bytes.push_back(decoded);
      i += 2;
    } else {
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      bytes.push_back(c);
    }
  }
  if (bytes.size() < 2) return std::nullopt;   // "/" alone is no file
  const wxString path = hv::FromFs(bytes);
  if (path.empty()) return std::nullopt;        // not decodable in any way
  return path;
}

std::string PathToFileUri(const wxString& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "file://";
  for (const char c : hv::ToFs(path)) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '/' ||
                       u == '-' || u == '_' || u == '.' || u == '~';
    if (plain) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 0xF]);
    }
  }
  return out;
}

std::vector<std::string> SplitUriList(std::string_view text, bool gnome, bool* move) {
  std::vector<std::string> out;
  bool first = true;
  if (move) *move = false;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\0')) line.remove_suffix(1);
    if (gnome && first) {
      first = false;
      if (move) *move = line == "cut";
      continue;
    }
    if (line.empty() || line.front() == '#') continue;
    out.emplace_back(line);
  }
  return out;
}

ClipboardFileList ReadClipboardFiles(IClipboardStore& store) {
  ClipboardFileList list;
  // GNOME's list carries the operation with it; the plain list is the common ground.
  if (auto gnome = store.Get(kGnomeCopiedFilesFormat)) {
    list.present = true;
    list.paths = ToPaths(SplitUriList(*gnome, true, &list.move));
  } else if (auto uris = store.Get(kUriListFormat)) {
    list.present = true;
    list.paths = ToPaths(SplitUriList(*uris, false));
    if (auto kde = store.Get(kKdeCutSelectionFormat)) list.move = !kde->empty() && kde->front() == '1';
  }
  return list;
}

bool PutClipboardFiles(IClipboardStore& store, const std::vector<wxString>& paths, bool cut) {
  std::string uriList;
  std::string gnome = cut ? "cut" : "copy";
  for (const wxString& path : paths) {
    const std::string uri = PathToFileUri(path);
    uriList += uri + "\r\n";
    gnome += "\n" + uri;
  }
  return store.Set({{kGnomeCopiedFilesFormat, gnome},
                    {kUriListFormat, uriList},
                    {kKdeCutSelectionFormat, cut ? "1" : "0"}});
}
