// Another program holding files on the clipboard, as a file manager does after "Copy",
// and answering the requests for them as told:
//   clipboard_owner MODE [--objects=NAME] [--cut] FILE...
//   answer     answers every request at once
//   slow=MS    waits MS milliseconds before each answer
//   never      answers nothing at all (a hung program)
//   no-data    tells its formats and the name of its objects, but never hands out the
//              file lists or the objects
// With --objects it also holds project objects of that format name, as another copy
// of the program does after a copy (their data are no valid block). With --cut the files
// are offered as after "Cut": a paste is to move them.
// It writes "owning" to its standard output once it holds the clipboard and ends when
// another program takes it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

enum class Mode { Answer, Slow, Never, NoData };

std::string FileUri(const char* path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char* p = path; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::strchr("/-_.~", c)) {
      uri.push_back(static_cast<char>(c));
    } else {
      uri.push_back('%');
      uri.push_back(kHex[c >> 4]);
      uri.push_back(kHex[c & 15]);
    }
  }
  return uri;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: clipboard_owner answer|slow=MS|never|no-data FILE...\n");
    return 2;
  }
  Mode mode = Mode::Answer;
  useconds_t pause = 0;
  if (std::strcmp(argv[1], "never") == 0) {
    mode = Mode::Never;
  } else if (std::strcmp(argv[1], "no-data") == 0) {
    mode = Mode::NoData;
  } else if (std::strncmp(argv[1], "slow=", 5) == 0) {
    mode = Mode::Slow;
    pause = static_cast<useconds_t>(std::atoi(argv[1] + 5)) * 1000;
  }
  std::string objectsName;
  int first = 2;
  if (std::strncmp(argv[2], "--objects=", 10) == 0) {
    objectsName = argv[2] + 10;
    ++first;
  }
  std::string gnome = "copy";
  if (first < argc && std::strcmp(argv[first], "--cut") == 0) {
    gnome = "cut";
    ++first;
  }
  std::string uris;
  for (int i = first; i < argc; ++i) {
    gnome += "\n" + FileUri(argv[i]);
    uris += FileUri(argv[i]) + "\r\n";
  }

  Display* display = XOpenDisplay(nullptr);
  if (!display) return 2;
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  const Atom targets = XInternAtom(display, "TARGETS", False);
  const Atom gnomeFormat = XInternAtom(display, "x-special/gnome-copied-files", False);
  const Atom uriFormat = XInternAtom(display, "text/uri-list", False);
  const Atom objectsFormat = XInternAtom(display, "application/x-halvora-objects", False);
  const Atom nameFormat = XInternAtom(display, "application/x-halvora-objects-format", False);
  // The objects' block: the name's length in two bytes, the name, no objects.
  std::string block = {static_cast<char>(objectsName.size()), '\0'};
  block += objectsName;
  XSetSelectionOwner(display, clipboard, window, CurrentTime);
  if (XGetSelectionOwner(display, clipboard) != window) return 1;
  std::printf("owning\n");
  std::fflush(stdout);

  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == SelectionClear) break;
    if (event.type != SelectionRequest || mode == Mode::Never) continue;
    const XSelectionRequestEvent& request = event.xselectionrequest;
    if (mode == Mode::NoData && request.target != targets && request.target != nameFormat) continue;
    if (mode == Mode::Slow) usleep(pause);
    const Atom property = request.property == None ? request.target : request.property;
    bool answered = true;
    const bool objects = !objectsName.empty();
    if (request.target == targets) {
      const Atom offered[] = {targets, gnomeFormat, uriFormat, objectsFormat, nameFormat};
      XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(offered), objects ? 5 : 3);
    } else if (request.target == gnomeFormat || request.target == uriFormat ||
               (objects && (request.target == objectsFormat || request.target == nameFormat))) {
      const std::string& text = request.target == gnomeFormat ? gnome
                                : request.target == uriFormat ? uris
                                : request.target == nameFormat ? objectsName
                                                               : block;
      XChangeProperty(display, request.requestor, property, request.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    } else {
      answered = false;
    }
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.property = answered ? property : None;
    reply.xselection.time = request.time;
    XSendEvent(display, request.requestor, False, 0, &reply);
    XFlush(display);
  }
  XCloseDisplay(display);
  return 0;
}
