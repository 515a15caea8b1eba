#include "tests/support/TestServices.h"

#include <cstdlib>

#include "app/Startup.h"

namespace hvtest {

void BindTestServices(hv::IEventLoop* loop) {
  static ImmediateEventLoop immediate;
  setenv("HALVORA_STRICT_BINDINGS", "1", 1);
  BindServices(UiBindings{loop ? loop : &immediate, nullptr});
}

}  // namespace hvtest
