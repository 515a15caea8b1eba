#include "app/ui/WxClipboardStore.h"

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include <algorithm>
#include <cstring>

#include "platform/HeapTrim.h"

namespace {

// Beside the objects, the name of their format alone: the formats are known without
// fetching the objects themselves.
constexpr const char* kObjectsNameFormat = "application/x-halvora-objects-format";

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
      const std::string name = entry.format.ToStdString();
      char* wrapped = Wrap(entry.format, entry.bytes, size);
      data->TakeData(size, wrapped);
      auto* nameData = new wxCustomDataObject(wxDataFormat(kObjectsNameFormat));
      nameData->SetData(name.size(), name.data());
      composite->Add(nameData, false);
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
  // Known until the clipboard may have changed (see Invalidate): nothing is fetched on
  // an idle refresh, and the objects themselves only when they are pasted.
  if (m_valid) return;
  m_formats.clear();
  m_valid = true;
  wxClipboardLocker lock;
  if (!lock) return;
  if (wxTheClipboard->IsSupported(wxDataFormat(kObjectsFormat))) {
    wxString name;
    if (auto named = Fetch(wxDataFormat(kObjectsNameFormat))) {
      name = wxString::FromAscii(named->c_str());
    } else if (auto wrapped = Fetch(wxDataFormat(kObjectsFormat))) {
      // Objects of a program that does not name them apart: the name rides inside.
      std::string bytes;
      if (!Unwrap(*wrapped, name, bytes)) name.clear();
    }
    if (IsObjectFormat(name)) m_formats.push_back(name);
  }
  for (const char* name : kFileFormats)
    if (wxTheClipboard->IsSupported(wxDataFormat(name))) m_formats.push_back(name);
}

std::vector<wxString> WxClipboardStore::Formats() {
  Refresh();
  return m_formats;
}

std::optional<std::string> WxClipboardStore::Get(const wxString& format) {
  Refresh();
  const bool listed = std::find(m_formats.begin(), m_formats.end(), format) != m_formats.end();
  if (IsObjectFormat(format) && !listed) return std::nullopt;
  bool file = false;
  for (const char* name : kFileFormats) file = file || format == name;
  if (file && !listed) return std::nullopt;
  wxClipboardLocker lock;
  if (!lock) return std::nullopt;
  if (!IsObjectFormat(format)) return Fetch(wxDataFormat(format));
  // Fetched for this paste only: the program keeps no copy of the clipboard's data.
  auto wrapped = Fetch(wxDataFormat(kObjectsFormat));
  wxString name;
  std::string bytes;
  if (!wrapped || !Unwrap(*wrapped, name, bytes) || name != format) return std::nullopt;
  wrapped.reset();
  return bytes;
}

bool WxClipboardStore::Clear() {
  m_valid = false;
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
  // Another program can change the clipboard only while the user is in it; a menu that
  // opens asks anew.
  if (wxTheApp) {
    wxTheApp->Bind(wxEVT_ACTIVATE_APP, [](wxActivateEvent& e) {
      store.Invalidate();
      e.Skip();
    });
    wxTheApp->Bind(wxEVT_MENU_OPEN, [](wxMenuEvent& e) {
      store.Invalidate();
      e.Skip();
    });
  }
}
