#include "framework/MissingDialog.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/Ui.h"

void LogMissingDialog(const char* what) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(what ? what : "", nullptr, nullptr, &status),
                                                   &std::free);
  std::fprintf(stderr, "halvora: no dialog registered for %s\n", status == 0 && name ? name.get() : (what ? what : "?"));
}

int ReportMissingDialog(const char* what) {
  // The notice is for the user; the request type is for whoever reads the log.
  LogMissingDialog(what);
  hv::ShowMessage(TXT_FUNCTION_NOT_AVAILABLE, wxS("Diese Funktion ist in dieser Version nicht verfügbar."),
                  MB_OK | MB_ICONINFORMATION);
  return hv::kNoRunner;
}
