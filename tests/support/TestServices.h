#pragma once
// Tests bind the program's services through start-up's own BindServices; fixtures that
// need a stand-in bind it over the real one with hv::ServiceOverride.
#include <functional>
#include <vector>

#include "framework/Services.h"
#include "model/ModelServices.h"

namespace hvtest {

// Runs deferred tasks at once; Shift is up.
class ImmediateEventLoop : public hv::IEventLoop {};

// BindServices with the given event loop (ImmediateEventLoop by default) and no
// dialog runners (each test scripts its own); an unbound service stops the test.
void BindTestServices(hv::IEventLoop* loop = nullptr);

// Keeps deferred tasks until the test runs them; Shift as the test sets it.
class QueuedEventLoop : public hv::IEventLoop {
 public:
  QueuedEventLoop() : m_bound(this) {}
  void Defer(std::function<void()> task) override { tasks.push_back(std::move(task)); }
  bool IsShiftKeyDown() override { return shift; }
  void RunAll() {
    auto now = std::move(tasks);
    tasks.clear();
    for (auto& task : now) task();
  }
  std::vector<std::function<void()>> tasks;
  bool shift = false;

 private:
  hv::ServiceOverride<hv::IEventLoop> m_bound;
};

// The processes that run, as the test says.
class FakeProcesses : public hv::IProcessCheck {
 public:
  explicit FakeProcesses(std::function<bool(const wxString& program)> running)
      : m_running(std::move(running)), m_bound(this) {}
  BOOL IsRunning(const wxString& program) override { return m_running(program) ? TRUE : FALSE; }

 private:
  std::function<bool(const wxString&)> m_running;
  hv::ServiceOverride<hv::IProcessCheck> m_bound;
};

}  // namespace hvtest
