#pragma once
// The program's wiring: every service the core reaches through the services door
// (framework/Services.h) and every dialog runner of the interaction facade is bound
// here, in BindServices, and nowhere else. Start-up calls it with the window layer's
// parts; tests call it with their own.
//
// A new service: declare the interface (with kServiceName and "nothing there"
// defaults) beside the code that uses it, bind its implementation in BindServices and
// add it to the required list in Startup.cpp. The check then names it when it is
// left out.
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/Ui.h"

namespace hv {
class IEventLoop;
}

// What only the window layer has: its event loop, and what it binds to the interaction
// facade (message boxes, the dialog runners) and beside it (the desktop's clipboard).
struct UiBindings {
  hv::IEventLoop* eventLoop = nullptr;
  std::function<void(hv::UiFacade& ui)> bindWindowLayer;
};

// Binds every service: the display-free ones of the program itself and the window
// layer's from `ui`.
void BindServices(const UiBindings& ui);

// What is not bound: "service '<name>'" for each unbound service and
// "runner for <request type>" for each request type without a runner that is not in
// the unserved list. Empty when everything is bound.
std::vector<std::string> MissingBindings();

// Request types this program does not serve here, each with the reason; the README's
// "What Halvora does not do here" says the same.
struct UnservedRequest {
  const char* type;     // RequestTypeName of the type
  const char* reason;
};
std::span<const UnservedRequest> UnservedRequests();

// Whether an unbound service or runner stops start-up: in debug builds, and when the
// environment sets HALVORA_STRICT_BINDINGS (tests do).
bool StrictBindings();
