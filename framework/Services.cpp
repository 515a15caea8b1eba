#include "framework/Services.h"

#include <cstdio>
#include <cstdlib>

#include "framework/MissingDialog.h"
#include "platform/Ui.h"

namespace hv {

ServiceRegistry& Services() {
  static ServiceRegistry registry;
  return registry;
}

std::vector<std::string> ServiceRegistry::Missing(const std::vector<Required>& required) const {
  std::vector<std::string> out;
  for (const Required& r : required) {
    auto it = m_slots.find(r.type);
    if (it == m_slots.end() || !it->second.service) out.emplace_back(r.name);
  }
  return out;
}

void ServiceRegistry::Unbound(const char* name) {
  std::fprintf(stderr, "halvora: service '%s' is not bound\n", name);
#ifndef NDEBUG
  std::abort();
#else
  if (std::getenv("HALVORA_STRICT_BINDINGS")) std::abort();
  ShowMessage(TXT_FUNCTION_NOT_AVAILABLE, wxS("Diese Funktion ist in dieser Version nicht verfügbar."),
              MB_OK | MB_ICONINFORMATION);
#endif
}

}  // namespace hv
