#include "app/ui/BusyPointer.h"

#include <dlfcn.h>

#include <vector>

#include <wx/cursor.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

namespace {

// The toolkit's and the display's functions, looked up in the libraries the toolkit
// has loaded (the build has no GTK headers of its own).
struct X11Calls {
  using Ptr = void*;
  using XId = unsigned long;
  Ptr (*widgetWindow)(Ptr) = nullptr;
  Ptr (*windowDisplay)(Ptr) = nullptr;
  XId (*windowXid)(Ptr) = nullptr;
  Ptr (*xDisplay)(Ptr) = nullptr;
  XId (*xCursor)(Ptr) = nullptr;
  Ptr (*defaultSeat)(Ptr) = nullptr;
  Ptr (*seatPointer)(Ptr) = nullptr;
  int (*deviceId)(Ptr) = nullptr;
  void (*trapPush)(Ptr) = nullptr;
  void (*trapPop)(Ptr) = nullptr;
  int (*define)(Ptr, XId, XId) = nullptr;
  int (*undefine)(Ptr, XId) = nullptr;
  int (*deviceDefine)(Ptr, int, XId, XId) = nullptr;
  int (*deviceUndefine)(Ptr, int, XId) = nullptr;
  int (*flush)(Ptr) = nullptr;
  bool ok = false;

  template <class F>
  void Find(F& f, const char* name) {
    f = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
    ok = ok && f;
  }

  X11Calls() {
    if (wxGetDisplayInfo().type != wxDisplayX11) return;
    ok = true;
    Find(widgetWindow, "gtk_widget_get_window");
    Find(windowDisplay, "gdk_window_get_display");
    Find(windowXid, "gdk_x11_window_get_xid");
    Find(xDisplay, "gdk_x11_display_get_xdisplay");
    Find(xCursor, "gdk_x11_cursor_get_xcursor");
    Find(defaultSeat, "gdk_display_get_default_seat");
    Find(seatPointer, "gdk_seat_get_pointer");
    Find(deviceId, "gdk_x11_device_get_id");
    Find(trapPush, "gdk_x11_display_error_trap_push");
    Find(trapPop, "gdk_x11_display_error_trap_pop_ignored");
    Find(define, "XDefineCursor");
    Find(undefine, "XUndefineCursor");
    Find(deviceDefine, "XIDefineCursor");
    Find(deviceUndefine, "XIUndefineCursor");
    Find(flush, "XFlush");
  }
};

const X11Calls& Calls() {
  static const X11Calls calls;
  return calls;
}

struct Marked {
  void* display;   // the toolkit's
  unsigned long window;
  int device;
};

std::vector<Marked> g_marked;

}  // namespace

void ShowBusyPointerNow() {
  const X11Calls& x = Calls();
  if (!x.ok || !g_marked.empty() || !wxHOURGLASS_CURSOR->IsOk()) return;
  for (wxWindow* top : wxTopLevelWindows) {
    if (!top->IsShown() || !top->GetHandle()) continue;
    void* window = x.widgetWindow(top->GetHandle());
    if (!window) continue;
    void* display = x.windowDisplay(window);
    void* xdisplay = x.xDisplay(display);
    void* seat = x.defaultSeat(display);
    void* pointer = seat ? x.seatPointer(seat) : nullptr;
    const int device = pointer ? x.deviceId(pointer) : -1;
    const unsigned long xid = x.windowXid(window);
    const unsigned long cursor = x.xCursor(wxHOURGLASS_CURSOR->GetCursor());
    // The toolkit sets the cursor of the window for the pointer device, which the
    // display shows in place of the window's own: both get the wait cursor.
    x.trapPush(display);
    if (device >= 0) x.deviceDefine(xdisplay, device, xid, cursor);
    x.define(xdisplay, xid, cursor);
    x.flush(xdisplay);
    x.trapPop(display);
    g_marked.push_back({display, xid, device});
  }
}

void ReleaseBusyPointer() {
  const X11Calls& x = Calls();
  if (!x.ok) return;
  // A window closed meanwhile is no error: the display's answer is ignored.
  for (const Marked& m : g_marked) {
    void* xdisplay = x.xDisplay(m.display);
    x.trapPush(m.display);
    if (m.device >= 0) x.deviceUndefine(xdisplay, m.device, m.window);
    x.undefine(xdisplay, m.window);
    x.flush(xdisplay);
    x.trapPop(m.display);
  }
  g_marked.clear();
}
