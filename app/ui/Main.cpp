#include <wx/app.h>

#include "platform/Localization.h"

// Plug-ins of the suite ask the executable for the language in use.
extern "C" __attribute__((visibility("default"))) int __VirUvazo_GetCurrentLanguage() {
  return hv::CurrentLanguageNumber();
}

int main(int argc, char** argv) { return wxEntry(argc, argv); }
