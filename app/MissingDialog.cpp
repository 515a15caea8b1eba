#include "app/MissingDialog.h"

#include <cstdio>

#include "platform/Ui.h"

int ReportMissingDialog(const char* what) {
  // The notice is for the user; the request type is for whoever reads the log.
  std::fprintf(stderr, "halvora: no dialog registered for %s\n", what ? what : "?");
  hv::ShowMessage(TXT_FUNCTION_NOT_AVAILABLE, wxS("Diese Funktion ist in dieser Version nicht verfügbar."),
                  MB_OK | MB_ICONINFORMATION);
  return hv::kNoRunner;
}
