#include "tests/gui/support/UserInput.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/choice.h>
#include <wx/dataview.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/imagpng.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/ui/App.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/gui/support/WindowFixture.h"

namespace hvtest {

bool WithEscapeHeld(const std::function<void()>& action) {
  wxUIActionSimulator keys;
  Pump(std::chrono::milliseconds(30));
  keys.KeyDown(WXK_ESCAPE);
  Pump(std::chrono::milliseconds(30));
  bool done = !wxGetKeyState(WXK_ESCAPE);   // not held: run nothing
  const bool held = !done;
  if (held)
    wxTheApp->CallAfter([&] {
      action();
      done = true;
    });
  const bool ended = PumpUntil([&] { return done; }, std::chrono::seconds(60));
  keys.KeyUp(WXK_ESCAPE);
  Pump(std::chrono::milliseconds(30));
  return held && ended;
}

bool MarkWrittenLater(const wxString& file) {
  const timespec times[2] = {{0, UTIME_NOW}, {std::time(nullptr) + 5, 0}};
  return utimensat(AT_FDCWD, hv::ToFs(hv::ResolvePath(file)).c_str(), times, 0) == 0;
}

using namespace std::chrono_literals;

void ClickOn(wxWindow* window) {
  if (!window) return;
  wxUIActionSimulator sim;
  const wxPoint centre = window->GetScreenRect().GetPosition() + window->GetSize() / 2;
  sim.MouseMove(centre);
  PumpUntil([&] { return wxGetMousePosition() == centre; }, 2s);
  sim.MouseClick();
  Pump(100ms);
}

void ClickItem(wxDataViewListCtrl* list, int row, unsigned column, bool twice) {
  if (!list) return;
  const wxDataViewItem item = list->RowToItem(row);
  list->EnsureVisible(item);
  const wxRect cell = list->GetItemRect(item, list->GetColumn(column));
  wxUIActionSimulator sim;
  const wxPoint target = list->GetMainWindow()->ClientToScreen(cell.GetPosition() + wxPoint(cell.width / 2, cell.height / 2));
  sim.MouseMove(target);
  PumpUntil([&] { return wxGetMousePosition() == target; }, 2s);
  if (twice)
    sim.MouseDblClick();
  else
    sim.MouseClick();
  Pump(150ms);
}

void PressKey(int keyCode, int modifiers) {
  wxUIActionSimulator sim;
  sim.Char(keyCode, modifiers);
  Pump(50ms);
}

wxWindow* KeyboardFocus(wxWindow* top) {
  using FocusOf = void* (*)(void*);
  using IsAncestor = int (*)(void*, void*);
  static const auto focusOf = reinterpret_cast<FocusOf>(dlsym(RTLD_DEFAULT, "gtk_window_get_focus"));
  static const auto isAncestor = reinterpret_cast<IsAncestor>(dlsym(RTLD_DEFAULT, "gtk_widget_is_ancestor"));
  if (!top || !focusOf || !isAncestor) return nullptr;
  void* focus = focusOf(top->GetHandle());
  if (!focus) return nullptr;
  // The innermost window whose widget is the focus or holds it.
  std::function<wxWindow*(wxWindow*)> holder = [&](wxWindow* parent) -> wxWindow* {
    for (wxWindow* child : parent->GetChildren()) {
      if (child->IsTopLevel()) continue;
      void* widget = child->GetHandle();
      if (widget != focus && !isAncestor(focus, widget)) continue;
      wxWindow* inner = holder(child);
      return inner ? inner : child;
    }
    return nullptr;
  };
  return holder(top);
}

bool ListShown(wxChoice* list) {
  using GetProperty = void (*)(void*, const char*, ...);
  static const auto get = reinterpret_cast<GetProperty>(dlsym(RTLD_DEFAULT, "g_object_get"));
  int shown = 0;
  if (list && get) get(list->GetHandle(), "popup-shown", &shown, nullptr);
  return shown != 0;
}

bool TypeInto(wxTextCtrl* field, const wxString& text) {
  if (!field) return false;
  ClickOn(field);
  PumpUntil([&] { return wxWindow::FindFocus() == field; }, 2s);
  PressKey('a', wxMOD_CONTROL);
  wxUIActionSimulator sim;
  sim.Text(text.utf8_str());
  return PumpUntil([&] { return field->GetValue() == text; }, 3s);
}

bool ChooseEntry(wxChoice* choice, int index) {
  if (!choice || index < 0 || index >= static_cast<int>(choice->GetCount())) return false;
  // The list opens on the current entry (or on none); a key may go before the list has
  // the keyboard, so the choice is checked and made again from where it landed.
  for (int attempt = 0; attempt < 4 && choice->GetSelection() != index; ++attempt) {
    const int current = choice->GetSelection();
    ClickOn(choice);
    Pump(300ms);
    const int moves = current < 0 ? index + 1 : index - current;
    for (int i = 0; i < (moves < 0 ? -moves : moves); ++i) PressKey(moves < 0 ? WXK_UP : WXK_DOWN);
    PressKey(WXK_RETURN);
    PumpUntil([&] { return choice->GetSelection() == index; }, 1s);
  }
  return choice->GetSelection() == index;
}

namespace {

struct CursorCalls {
  // XFixes' cursor image (its second version, with the name).
  struct Image {
    short x, y;
    unsigned short width, height, xhot, yhot;
    unsigned long serial;
    unsigned long* pixels;
    unsigned long atom;
    const char* name;
  };
  void* (*open)(const char*) = nullptr;
  int (*close)(void*) = nullptr;
  Image* (*image)(void*) = nullptr;
  int (*release)(void*) = nullptr;

  CursorCalls() {
    open = reinterpret_cast<void* (*)(const char*)>(dlsym(RTLD_DEFAULT, "XOpenDisplay"));
    close = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_DEFAULT, "XCloseDisplay"));
    release = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_DEFAULT, "XFree"));
    if (void* xfixes = dlopen("libXfixes.so.3", RTLD_NOW))
      image = reinterpret_cast<Image* (*)(void*)>(dlsym(xfixes, "XFixesGetCursorImage"));
  }
  bool Ok() const { return open && close && image && release; }
};

const CursorCalls& Cursors() {
  static const CursorCalls calls;
  return calls;
}

}  // namespace

DisplayCursorLog::DisplayCursorLog() {
  const CursorCalls& calls = Cursors();
  if (!calls.Ok() || !(m_display = calls.open(nullptr))) return;
  m_ok = true;
  m_thread = std::thread([this, &calls] {
    while (!m_stop.load()) {
      const bool before = BusyCursorDepth() > 0;
      CursorCalls::Image* image = calls.image(m_display);
      const bool after = BusyCursorDepth() > 0;
      m_samples.push_back({image ? image->serial : 0, image && image->name ? image->name : "", before && after,
                           !before && !after, std::chrono::steady_clock::now()});
      if (image) calls.release(image);
      std::this_thread::sleep_for(2ms);
    }
  });
}

DisplayCursorLog::~DisplayCursorLog() { Stop(); }

std::vector<DisplayCursorLog::Sample> DisplayCursorLog::Stop() {
  m_stop.store(true);
  if (m_thread.joinable()) m_thread.join();
  if (m_display) Cursors().close(m_display);
  m_display = nullptr;
  return m_samples;
}

// The toolkit's own read of a window's pixels, looked up at run time: the screen DC of
// the toolkit gives the first picture again and again within one process.
wxImage GrabWindow(wxWindow* window) {
  using WindowOf = void* (*)(void*);
  using FromWindow = void* (*)(void*, int, int, int, int);
  using IntOf = int (*)(const void*);
  using PixelsOf = unsigned char* (*)(const void*);
  using Unref = void (*)(void*);
  auto windowOf = reinterpret_cast<WindowOf>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  auto fromWindow = reinterpret_cast<FromWindow>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_from_window"));
  auto width = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_width"));
  auto height = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_height"));
  auto stride = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_rowstride"));
  auto channels = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_n_channels"));
  auto pixels = reinterpret_cast<PixelsOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_pixels"));
  auto unref = reinterpret_cast<Unref>(dlsym(RTLD_DEFAULT, "g_object_unref"));
  if (!windowOf || !fromWindow || !width || !height || !stride || !channels || !pixels || !unref) return wxImage();
  void* gdkWindow = windowOf(window->GetHandle());
  const wxSize size = window->GetSize();
  void* pixbuf = gdkWindow ? fromWindow(gdkWindow, 0, 0, size.x, size.y) : nullptr;
  if (!pixbuf) return wxImage();
  const int w = width(pixbuf), h = height(pixbuf), rs = stride(pixbuf), n = channels(pixbuf);
  wxImage image(w, h);
  const unsigned char* src = pixels(pixbuf);
  unsigned char* dst = image.GetData();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) dst[(y * w + x) * 3 + c] = src[y * rs + x * n + c];
  unref(pixbuf);
  return image;
}

wxString SaveScreenshot(wxWindow* window, const wxString& name) {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  window->Refresh();
  window->Update();
  Pump(300ms);
  wxImage image = GrabWindow(window);
  if (!image.IsOk()) {
    const wxRect rect = window->GetScreenRect();
    wxBitmap bitmap(rect.GetSize(), 24);
    wxScreenDC screen;
    wxMemoryDC memory(bitmap);
    memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    memory.SelectObject(wxNullBitmap);
    image = bitmap.ConvertToImage();
  }
  const wxString folder = hv::JoinPath(wxS(HV_TEST_BINARY_DIR), "../artifacts");
  hv::MakeFolders(folder);
  const wxString file = hv::JoinPath(folder, name + ".png");
  image.SaveFile(file, wxBITMAP_TYPE_PNG);
  return file;
}

int DialogScripts::Enter(wxDialog* dialog) {
  if (m_scripts.empty()) {
    ++unexpected;
    return wxID_CANCEL;
  }
  auto script = std::move(m_scripts.front());
  m_scripts.pop_front();
  dialog->CallAfter([this, dialog, script] {
    PumpUntil([&] { return dialog->IsShownOnScreen(); }, 3s);
    Pump(100ms);
    script(dialog);
    // A script that stopped early must not leave the test waiting on the dialog.
    if (!PumpUntil([&] { return !dialog->IsModal(); }, 5s)) {
      ++unexpected;
      dialog->EndModal(wxID_CANCEL);
    }
  });
  return wxID_NONE;
}

}  // namespace hvtest
