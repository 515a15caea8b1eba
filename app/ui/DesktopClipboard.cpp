#include "app/ui/DesktopClipboard.h"

#include <dlfcn.h>

#include <chrono>
#include <memory>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

namespace desktopclip {

namespace {

// The toolkit's clipboard functions, looked up in the libraries the toolkit has loaded
// (the build has no GTK headers of its own).
struct GtkCalls {
  using Ptr = void*;
  using TargetsReceived = void (*)(Ptr clipboard, Ptr* atoms, int count, Ptr data);
  using ContentsReceived = void (*)(Ptr clipboard, Ptr selection, Ptr data);
  Ptr (*atomIntern)(const char*, int) = nullptr;
  char* (*atomName)(Ptr) = nullptr;
  void (*free)(Ptr) = nullptr;
  Ptr (*clipboardGet)(Ptr) = nullptr;
  void (*requestTargets)(Ptr, TargetsReceived, Ptr) = nullptr;
  void (*requestContents)(Ptr, Ptr, ContentsReceived, Ptr) = nullptr;
  int (*dataLength)(Ptr) = nullptr;
  const unsigned char* (*data)(Ptr) = nullptr;
  unsigned long (*connect)(Ptr, const char*, void (*)(), Ptr, Ptr, int) = nullptr;
  Ptr (*defaultDisplay)() = nullptr;
  int (*notices)(Ptr) = nullptr;
  Ptr clipboard = nullptr;
  bool ok = true;

  template <class F>
  void Find(F& f, const char* name) {
    f = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
    ok = ok && f;
  }

  GtkCalls() {
    Find(atomIntern, "gdk_atom_intern");
    Find(atomName, "gdk_atom_name");
    Find(free, "g_free");
    Find(clipboardGet, "gtk_clipboard_get");
    Find(requestTargets, "gtk_clipboard_request_targets");
    Find(requestContents, "gtk_clipboard_request_contents");
    Find(dataLength, "gtk_selection_data_get_length");
    Find(data, "gtk_selection_data_get_data");
    Find(connect, "g_signal_connect_data");
    Find(defaultDisplay, "gdk_display_get_default");
    Find(notices, "gdk_display_supports_selection_notification");
    if (ok) clipboard = clipboardGet(atomIntern("CLIPBOARD", 0));
    ok = ok && clipboard;
  }
};

GtkCalls& Gtk() {
  static GtkCalls calls;
  return calls;
}

std::uint64_t g_ownerChanges = 0;
int g_askingFormats = 0;   // above 0 while the toolkit is asked for the formats

void OwnerChanged(void*, void*, void*) {
  ++g_ownerChanges;
  // The states shown are asked anew at the next idle time.
  wxWakeUpIdle();
}

void TargetsReceived(void*, void** atoms, int count, void* data) {
  std::unique_ptr<std::function<void(std::vector<std::string>)>> done(
      static_cast<std::function<void(std::vector<std::string>)>*>(data));
  std::vector<std::string> names;
  for (int i = 0; atoms && i < count; ++i) {
    char* name = Gtk().atomName(atoms[i]);
    if (!name) continue;
    names.emplace_back(name);
    Gtk().free(name);
  }
  // Another program's answer comes while the toolkit is still busy with its retrieval: a
  // request made now, the first of the data requests that follow, would fail. It is
  // handed on once the toolkit is done. This program's own answer comes at once.
  if (g_askingFormats == 0 && wxTheApp) {
    std::shared_ptr<std::function<void(std::vector<std::string>)>> later(std::move(done));
    wxTheApp->CallAfter([later, names]() mutable { (*later)(std::move(names)); });
    return;
  }
  (*done)(std::move(names));
}

void ContentsReceived(void*, void* selection, void* data) {
  std::unique_ptr<std::function<void(std::optional<std::string>)>> done(
      static_cast<std::function<void(std::optional<std::string>)>*>(data));
  const int length = selection ? Gtk().dataLength(selection) : -1;
  const unsigned char* bytes = length > 0 ? Gtk().data(selection) : nullptr;
  if (length < 0 || (length > 0 && !bytes)) {
    (*done)(std::nullopt);
    return;
  }
  (*done)(std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length)));
}

}  // namespace

bool Available() { return Gtk().ok; }

bool WatchesOwner() {
  if (!Available()) return false;
  void* display = Gtk().defaultDisplay();
  return display && Gtk().notices(display);
}

std::uint64_t OwnerChanges() {
  static bool watching = false;
  if (!watching && Available()) {
    watching = true;
    Gtk().connect(Gtk().clipboard, "owner-change", reinterpret_cast<void (*)()>(&OwnerChanged), nullptr, nullptr, 0);
  }
  return g_ownerChanges;
}

void RequestFormats(std::function<void(std::vector<std::string>)> done) {
  if (!Available()) {
    done({});
    return;
  }
  // The toolkit always answers, at the latest when it gives up on the owner.
  ++g_askingFormats;
  Gtk().requestTargets(Gtk().clipboard, &TargetsReceived, new std::function(std::move(done)));
  --g_askingFormats;
}

void RequestData(const std::string& format, std::function<void(std::optional<std::string>)> done) {
  if (!Available()) {
    done(std::nullopt);
    return;
  }
  Gtk().requestContents(Gtk().clipboard, Gtk().atomIntern(format.c_str(), 0), &ContentsReceived,
                        new std::function(std::move(done)));
}

std::optional<std::string> ReadData(const std::string& format, int limitMs) {
  static bool reading = false;
  if (reading || !Available()) return std::nullopt;
  struct Busy {
    Busy() { reading = true; }
    ~Busy() { reading = false; }
  } busy;
  struct Answer {
    bool done = false;
    std::optional<std::string> bytes;
  };
  // The answer may come after the wait has given up: it then goes nowhere.
  auto answer = std::make_shared<Answer>();
  RequestData(format, [answer](std::optional<std::string> bytes) {
    answer->done = true;
    answer->bytes = std::move(bytes);
  });
  wxEventLoopGuarantor loop;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!answer->done && std::chrono::steady_clock::now() < end) {
    // Only the clipboard's events: the user's input waits, so nothing the paste works
    // on can go meanwhile.
    if (wxEventLoopBase* active = wxEventLoopBase::GetActive()) active->YieldFor(wxEVT_CATEGORY_CLIPBOARD);
    if (!answer->done) wxMilliSleep(2);
  }
  return answer->done ? std::move(answer->bytes) : std::nullopt;
}

}  // namespace desktopclip
