#include "archive/ZipNames.h"

#include <unistd.h>

#include <algorithm>

#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"

namespace {

bool IsSeparator(wxUniChar c) { return c == '\\' || c == '/'; }

bool IsDriveStart(const wxString& name) {
  if (name.length() < 2 || name[1] != ':') return false;
  const wxUniChar c = name[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

wxString DescribeZipNameProblem(ZipNameProblem problem) {
  switch (problem) {
    case ZipNameProblem::None: return wxString();
    case ZipNameProblem::Empty: return hv::LocalString(10865, wxS("leerer Name"));
    case ZipNameProblem::Absolute: return hv::LocalString(10866, wxS("absoluter Pfad"));
    case ZipNameProblem::Drive: return hv::LocalString(10867, wxS("Pfad mit Laufwerksangabe"));
    case ZipNameProblem::ParentFolder: return hv::LocalString(10868, wxS("Pfad mit \"..\""));
    case ZipNameProblem::BadCharacter: return hv::LocalString(10869, wxS("ungültiges Zeichen im Namen"));
    case ZipNameProblem::TooLong: return hv::LocalString(10870, wxS("Name zu lang"));
    case ZipNameProblem::BadEncoding: return hv::LocalString(10871, wxS("ungültige UTF-8-Kodierung im Namen"));
  }
  return wxString();
}

ZipNameProblem CheckZipNameComponent(const wxString& part) {
  if (part.empty() || part == wxS(".")) return ZipNameProblem::Empty;
  if (part == wxS("..")) return ZipNameProblem::ParentFolder;
  for (wxString::const_iterator it = part.begin(); it != part.end(); ++it) {
    const wxUniChar c = *it;
    if (c < 0x20 || c == 0x7F || IsSeparator(c)) return ZipNameProblem::BadCharacter;
  }
  return ZipNameProblem::None;
}

ZipNameProblem SplitZipEntryName(const wxString& name, std::vector<wxString>& parts) {
  parts.clear();
  if (name.empty()) return ZipNameProblem::Empty;
  if (IsSeparator(name[0])) return ZipNameProblem::Absolute;
  if (IsDriveStart(name)) return ZipNameProblem::Drive;
  // Components are cut out whole: an archive of many thousand names splits them all.
  const std::wstring& text = name.ToStdWstring();
  const auto separators = std::count_if(text.begin(), text.end(), [](wchar_t c) { return c == L'\\' || c == L'/'; });
  parts.reserve(static_cast<size_t>(separators) + 1);
  for (size_t from = 0; from <= text.size();) {
    size_t end = from;
    while (end < text.size() && text[end] != L'\\' && text[end] != L'/') ++end;
    if (end > from && !(end - from == 1 && text[from] == L'.')) {
      wxString part(text.data() + from, end - from);
      if (const ZipNameProblem p = CheckZipNameComponent(part); p != ZipNameProblem::None) return p;
      parts.push_back(std::move(part));
    }
    from = end + 1;
  }
  return parts.empty() ? ZipNameProblem::Empty : ZipNameProblem::None;
}

ZipNameProblem EncodeZipEntryName(const wxString& name, std::string& bytes, bool& utf8) {
  utf8 = !hv::FitsCp1252(name);
  bytes = utf8 ? hv::ToUtf8(name) : hv::ToCp1252Lossy(name);
  // The header's name length is 16 bits.
  if (bytes.size() > 0xFFFF) return ZipNameProblem::TooLong;
  return ZipNameProblem::None;
}

bool IsValidUtf8(std::string_view s) { return hv::IsUtf8(s); }

ZipNameProblem DecodeZipEntryName(std::string_view bytes, bool utf8Flag, wxString& name) {
  name.clear();
  bool high = false;
  for (char c : bytes) {
    if (c == '\0') return ZipNameProblem::BadCharacter;
    if (static_cast<unsigned char>(c) >= 0x80) high = true;
  }
  const bool valid = IsValidUtf8(bytes);
  if (utf8Flag && !valid) return ZipNameProblem::BadEncoding;
  name = (utf8Flag || (high && valid)) ? hv::FromUtf8(bytes) : hv::FromCp1252(bytes);
  return ZipNameProblem::None;
}

wxString ZipNameKey(const wxString& name) { return name.Lower(); }

wxString AbsoluteLocalPath(const wxString& path) {
  const wxString p = hv::NormalizePath(path);
  if (p.empty() || p.StartsWith("/")) return p;
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return wxString();
  return hv::JoinPath(hv::FromFs(cwd), p);
}
