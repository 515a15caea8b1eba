#include "app/ui/WxClipboardStore.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include <cstring>

#include "platform/HeapTrim.h"

namespace {

// How long an answer about the clipboard's contents is trusted.
constexpr std::chrono::milliseconds kFresh{500};

// The file manager's formats, in the order they are offered.
const char* const kFileFormats[] = {kGnomeCopiedFilesFormat, kUriListFormat, kKdeCutSelectionFormat};

bool IsObjectFormat(const wxString& name) { return name.StartsWith("POCT"); }

std::optional<std::string> Fetch(const wxDataFormat& format) {
  if (!wxTheClipboard->IsSupported(format)) return std::nullopt;
  wxCustomDataObject data(format);
  if (!wxTheClipboard->GetData(data)) return std::nullopt;
  return std::string(static_cast<const char*>(data.GetData()), data.GetSize());
}

// Our block: a 16-bit name length, the object format name, the objects. Made in a
// buffer the data object takes over, so the bytes are not copied once more.
char* Wrap(const wxString& name, std::string& bytes, std::size_t& size) {
  const std::string ascii = name.ToStdString();
  size = 2 + ascii.size() + bytes.size();
  char* out = new char[size];
  out[0] = static_cast<char>(ascii.size() & 0xFF);
  out[1] = static_cast<char>(ascii.size() >> 8);
  std::memcpy(out + 2, ascii.data(), ascii.size());
  std::memcpy(out + 2 + ascii.size(), bytes.data(), bytes.size());
  std::string().swap(bytes);
  return out;
}

bool Unwrap(const std::string& wrapped, wxString& name, std::string& bytes) {
  if (wrapped.size() < 2) return false;
  const std::size_t length = static_cast<unsigned char>(wrapped[0]) | static_cast<unsigned char>(wrapped[1]) << 8;
  if (length == 0 || length > 64 || wrapped.size() < 2 + length) return false;
  const std::string ascii = wrapped.substr(2, length);
  for (char c : ascii)
    if (c <= ' ' || c > '~') return false;
  name = wxString::FromAscii(ascii.c_str());
  bytes = wrapped.substr(2 + length);
  return true;
}

}  // namespace

bool WxClipboardStore::CanOpen() {
  wxClipboardLocker lock;
  return !!lock;
}

bool WxClipboardStore::Set(std::vector<ClipboardEntry> entries) {
  m_valid = false;
  wxClipboardLocker lock;
  if (!lock) return false;
  if (entries.empty()) {
    wxTheClipboard->Clear();
    return true;
  }
  auto* composite = new wxDataObjectComposite;
  bool first = true;
  bool objects = false;
  for (ClipboardEntry& entry : entries) {
    wxDataFormat format;
    auto* data = new wxCustomDataObject;
    if (IsObjectFormat(entry.format)) {
      if (objects) {
        delete data;
        continue;   // one block of objects at a time
      }
      objects = true;
      format.SetId(kObjectsFormat);
      std::size_t size = 0;
      char* wrapped = Wrap(entry.format, entry.bytes, size);
      data->TakeData(size, wrapped);
    } else {
      format.SetId(entry.format);
      data->SetData(entry.bytes.size(), entry.bytes.data());
    }
    data->SetFormat(format);
    composite->Add(data, first);
    first = false;
  }
  return wxTheClipboard->SetData(composite);
}

void WxClipboardStore::Refresh() {
  if (m_valid && std::chrono::steady_clock::now() - m_readAt < kFresh) return;
  m_formats.clear();
  m_data.clear();
  m_valid = true;
  m_readAt = std::chrono::steady_clock::now();
  wxClipboardLocker lock;
  if (!lock) return;
  if (auto wrapped = Fetch(wxDataFormat(kObjectsFormat))) {
    wxString name;
    std::string bytes;
    if (Unwrap(*wrapped, name, bytes)) {
      m_formats.push_back(name);
      m_data[name] = std::move(bytes);
    }
  }
  for (const char* name : kFileFormats) {
    if (auto bytes = Fetch(wxDataFormat(name))) {
      m_formats.push_back(name);
      m_data[name] = std::move(*bytes);
    }
  }
}

std::vector<wxString> WxClipboardStore::Formats() {
  Refresh();
  return m_formats;
}

std::optional<std::string> WxClipboardStore::Get(const wxString& format) {
  Refresh();
  auto it = m_data.find(format);
  if (it != m_data.end()) return it->second;
  if (IsObjectFormat(format)) return std::nullopt;
  // A format nobody lists here: ask the clipboard itself.
  bool known = false;
  for (const char* name : kFileFormats) known = known || format == name;
  if (known) return std::nullopt;
  wxClipboardLocker lock;
  if (!lock) return std::nullopt;
  return Fetch(wxDataFormat(format));
}

bool WxClipboardStore::Clear() {
  m_valid = false;
  m_data.clear();
  wxClipboardLocker lock;
  if (!lock) return false;
  wxTheClipboard->Clear();
  // The contents we offered may have been large.
  hv::ReturnFreedMemory(1u << 20);
  return true;
}

void InstallWxClipboardStore() {
  static WxClipboardStore store;
  SetClipboardStore(&store);
}
