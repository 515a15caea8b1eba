#include "app/ui/WxClipboardStore.h"

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/frame.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "app/ui/DesktopClipboard.h"
#include "platform/HeapTrim.h"

namespace {

// Beside the objects, the name of their format alone: the formats are known without
// fetching the objects themselves.
constexpr const char* kObjectsNameFormat = "application/x-halvora-objects-format";

// The file manager's formats, in the order they are offered.
const char* const kFileFormats[] = {kGnomeCopiedFilesFormat, kUriListFormat, kKdeCutSelectionFormat};

bool IsObjectFormat(const wxString& name) { return name.StartsWith("POCT"); }

bool IsFileFormat(const wxString& name) {
  return std::any_of(std::begin(kFileFormats), std::end(kFileFormats), [&](const char* f) { return name == f; });
}

// The toolbar shows the new states at once: it would otherwise wait for the next
// event that makes the program idle.
void ShowNewStates() {
  static bool due = false;
  if (due || !wxTheApp) return;
  due = true;
  wxTheApp->CallAfter([] {
    due = false;
    for (wxWindow* top : wxTopLevelWindows) {
      auto* frame = wxDynamicCast(top, wxFrame);
      if (frame && frame->IsShown() && frame->GetToolBar()) frame->GetToolBar()->UpdateWindowUI();
    }
  });
}

// Writing opens the toolkit's clipboard; it is never opened twice.
bool Openable() { return !wxTheClipboard->IsOpened(); }

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

// An object format name as another program handed it: short, printable ASCII.
bool ReadName(const std::string& ascii, wxString& name) {
  if (ascii.empty() || ascii.size() > 64) return false;
  for (char c : ascii)
    if (c <= ' ' || c > '~') return false;
  name = wxString::FromAscii(ascii.c_str());
  return true;
}

bool Unwrap(const std::string& wrapped, wxString& name, std::string& bytes) {
  if (wrapped.size() < 2) return false;
  const std::size_t length = static_cast<unsigned char>(wrapped[0]) | static_cast<unsigned char>(wrapped[1]) << 8;
  if (wrapped.size() < 2 + length || !ReadName(wrapped.substr(2, length), name)) return false;
  bytes = wrapped.substr(2 + length);
  return true;
}

}  // namespace

// What has come of the questions asked since the contents last changed. Shared with the
// answers still out, which may come after the store has gone.
struct ClipboardKnowledge {
  std::uint64_t epoch = 0;          // grows whenever the contents may have changed
  std::uint64_t ownerChanges = 0;   // the owner changes seen
  bool asked = false;
  wxString objects;                 // the objects' format name; empty: none
  std::vector<wxString> files;      // the file formats offered, in their order
  std::map<wxString, std::string> fileData;

  void Forget() {
    ++epoch;
    asked = false;
    objects.clear();
    files.clear();
    fileData.clear();
  }
};

namespace {

using Knowledge = std::shared_ptr<ClipboardKnowledge>;

// Runs `use` with the knowledge when the answer belongs to what it still asks about.
template <class Use>
auto Answer(const Knowledge& known, Use use) {
  return [weak = std::weak_ptr(known), epoch = known->epoch, use](auto value) {
    const Knowledge k = weak.lock();
    if (!k || k->epoch != epoch) return;
    use(k, std::move(value));
    ShowNewStates();
  };
}

void AskObjectsName(const Knowledge& known, bool named) {
  desktopclip::RequestData(named ? kObjectsNameFormat : WxClipboardStore::kObjectsFormat,
                           Answer(known, [named](const Knowledge& k, std::optional<std::string> bytes) {
                             if (!bytes) return;
                             wxString name;
                             std::string objects;
                             // Objects of a program that does not name them apart: the name rides inside.
                             const bool read = named ? ReadName(*bytes, name) : Unwrap(*bytes, name, objects);
                             if (read && IsObjectFormat(name)) k->objects = name;
                           }));
}

void AskFormats(const Knowledge& known) {
  known->asked = true;
  desktopclip::RequestFormats(Answer(known, [](const Knowledge& k, std::vector<std::string> names) {
    auto offered = [&](const char* format) { return std::find(names.begin(), names.end(), format) != names.end(); };
    for (const char* format : kFileFormats) {
      if (!offered(format)) continue;
      k->files.push_back(format);
      // Small lists: they come along, so that the paste's state tells whether they
      // name files here.
      desktopclip::RequestData(format, Answer(k, [format](const Knowledge& k2, std::optional<std::string> bytes) {
                                 if (bytes) k2->fileData[format] = std::move(*bytes);
                               }));
    }
    if (offered(WxClipboardStore::kObjectsFormat)) AskObjectsName(k, offered(kObjectsNameFormat));
  }));
}

}  // namespace

WxClipboardStore::WxClipboardStore() : m_known(std::make_shared<ClipboardKnowledge>()) {
  m_known->ownerChanges = desktopclip::OwnerChanges();
}

bool WxClipboardStore::CanOpen() {
  if (!Openable()) return false;
  wxClipboardLocker lock;
  return !!lock;
}

bool WxClipboardStore::Set(std::vector<ClipboardEntry> entries) {
  Invalidate();
  if (!Openable()) return false;
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

void WxClipboardStore::Invalidate() { m_known->Forget(); }

void WxClipboardStore::Refresh() {
  const std::uint64_t changes = desktopclip::OwnerChanges();
  if (changes != m_known->ownerChanges) {
    m_known->ownerChanges = changes;
    Invalidate();
  }
  if (!m_known->asked) AskFormats(m_known);
}

std::vector<wxString> WxClipboardStore::Formats() {
  Refresh();
  std::vector<wxString> formats;
  if (!m_known->objects.empty()) formats.push_back(m_known->objects);
  formats.insert(formats.end(), m_known->files.begin(), m_known->files.end());
  return formats;
}

std::optional<std::string> WxClipboardStore::Get(const wxString& format) {
  Refresh();
  if (IsFileFormat(format)) {
    auto found = m_known->fileData.find(format);
    if (found == m_known->fileData.end()) return std::nullopt;
    return found->second;
  }
  if (!IsObjectFormat(format)) return desktopclip::ReadData(format.ToStdString(), kReadLimitMs);
  if (format != m_known->objects) return std::nullopt;
  // Fetched for this paste only: the program keeps no copy of the clipboard's data.
  auto wrapped = desktopclip::ReadData(kObjectsFormat, kReadLimitMs);
  wxString name;
  std::string bytes;
  if (!wrapped || !Unwrap(*wrapped, name, bytes) || name != format) return std::nullopt;
  wrapped.reset();
  return bytes;
}

bool WxClipboardStore::Clear() {
  Invalidate();
  if (!Openable()) return false;
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
  // Where the display tells no owner changes, another program can change the clipboard
  // only while the user is in it.
  if (wxTheApp && !desktopclip::WatchesOwner()) {
    wxTheApp->Bind(wxEVT_ACTIVATE_APP, [](wxActivateEvent& e) {
      store.Invalidate();
      e.Skip();
    });
  }
}
