#include <dlfcn.h>

#include <clocale>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>
#include <wx/app.h>

#include "app/CommandLine.h"
#include "app/TavProjectApp.h"
#include "app/ui/App.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Localization.h"

// Plug-ins of the suite ask the executable for the language in use.
extern "C" __attribute__((visibility("default"))) int __VirUvazo_GetCurrentLanguage() {
  return hv::CurrentLanguageNumber();
}

namespace {

// The toolkit aborts at its first window when there is no display: it is looked for
// before the toolkit starts and before anything is written.
bool DisplayReachable() {
  if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland) return true;
  const char* x = std::getenv("DISPLAY");
  if (!x || !*x) return false;
  using Open = void* (*)(const char*);
  using Close = int (*)(void*);
  auto open = reinterpret_cast<Open>(dlsym(RTLD_DEFAULT, "XOpenDisplay"));
  auto close = reinterpret_cast<Close>(dlsym(RTLD_DEFAULT, "XCloseDisplay"));
  if (!open || !close) return true;   // not an X11 toolkit: let it try
  void* display = open(x);
  if (!display) return false;
  close(display);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // wxGTK leaves the process in the "C" locale, where UTF-8 text turns empty.
  std::setlocale(LC_CTYPE, "C.UTF-8");
  // The command line is answered before the toolkit or the user folder is touched;
  // the registry store is only read here, for the language of the answer.
  hv::InitRegistryStore();
  LoadConfiguredLanguage();
  const wxString program = wxS("halvora");
  const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (line.action) {
    case CommandLine::Action::Help:
      std::fputs(hv::ToUtf8(UsageText(program)).c_str(), stdout);
      return kExitOk;
    case CommandLine::Action::Version:
      std::fputs(hv::ToUtf8(VersionText()).c_str(), stdout);
      return kExitOk;
    case CommandLine::Action::Error:
      std::fprintf(stderr, "%s: %s\n\n%s", argv[0], hv::ToUtf8(line.error).c_str(), hv::ToUtf8(UsageText(program)).c_str());
      return kExitUsage;
    case CommandLine::Action::Run:
      break;
  }
  if (!DisplayReachable()) {
    std::fprintf(stderr, "%s: %s\n", argv[0],
                 hv::ToUtf8(hv::LocalString(13507, wxS("Keine Anzeige verfügbar (DISPLAY): Halvora braucht eine grafische Sitzung."))).c_str());
    return kExitFailed;
  }
  wxApp::SetInstance(new CHalvoraApp);
  int toolkitArgc = 1;
  char* toolkitArgv[] = {argv[0], nullptr};
  const int code = wxEntry(toolkitArgc, toolkitArgv);
  if (CHalvoraApp::SecondInstance()) return kExitOk;
  return CHalvoraApp::StartFailed() ? kExitFailed : code;
}
