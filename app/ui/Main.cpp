#include <clocale>
#include <wx/app.h>

#include "app/ui/App.h"
#include "platform/Localization.h"

// Plug-ins of the suite ask the executable for the language in use.
extern "C" __attribute__((visibility("default"))) int __VirUvazo_GetCurrentLanguage() {
  return hv::CurrentLanguageNumber();
}

int main(int argc, char** argv) {
  // wxGTK leaves the process in the "C" locale, where UTF-8 text turns empty.
  std::setlocale(LC_CTYPE, "C.UTF-8");
  wxApp::SetInstance(new CHalvoraApp);
  const int code = wxEntry(argc, argv);
  return CHalvoraApp::SecondInstance() ? 0 : code;
}
