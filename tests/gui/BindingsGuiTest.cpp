// The real program binds every service and every dialog runner at start-up: with
// unbound ones refused (as in debug builds), it still opens its window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Codec.h"
#include "tests/gui/support/ProgramRunner.h"
#include "tests/support/TestEnv.h"

using namespace std::chrono_literals;

TEST(BindingsGui, TheProgramStartsWithNothingUnbound) {
  hvtest::TempHome home;
  hvtest::SeedCurrentProject(home, "Anlage");
  setenv("HALVORA_STRICT_BINDINGS", "1", 1);
  hvtest::ProgramRunner app(HV_PROGRAM, hv::ToUtf8(home.Path()));
  ASSERT_GT(app.Pid(), 0);
  const bool shown = hvtest::WaitFor([&app] { return hvtest::WindowExists("Halvora") || !app.Running(); }, 20s);
  ASSERT_TRUE(shown);
  ASSERT_TRUE(app.Running()) << "start-up stopped: a service or dialog runner is not bound (see its output)";
  // How the program ends is the start-up tests' concern; here it only has to go.
  app.Terminate();
  EXPECT_GE(app.WaitExit(15s), 0);
}
