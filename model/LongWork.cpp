#include "model/LongWork.h"

#include <algorithm>

#include "framework/Services.h"
#include "model/LiveObjects.h"
#include "model/ModelServices.h"

namespace hv {

namespace {

IEventLoop* Loop() { return Services().Find<IEventLoop>(); }

// The user action in which the user cancelled long work.
std::uint64_t g_cancelledAction = 0;

}  // namespace

LongWork::LongWork(std::size_t expected) : m_start(std::chrono::steady_clock::now()), m_expected(expected) {
  if (expected >= kBusyAtOnce) Busy();
}

LongWork::~LongWork() {
  IEventLoop* loop = Loop();
  if (!loop) return;
  if (m_shown >= 0) loop->ShowProgress(-1);
  if (m_busy) loop->EndBusy();
}

void LongWork::Busy() {
  if (m_busy) return;
  if (IEventLoop* loop = Loop()) {
    loop->BeginBusy();
    m_busy = true;
  }
}

void LongWork::AllowCancel() {
  m_cancelable = true;
  const std::uint64_t action = DispatchScope::CurrentAction();
  if (action != 0 && action == g_cancelledAction) m_cancelled = true;
}

void LongWork::Check() {
  using namespace std::chrono_literals;
  const auto now = std::chrono::steady_clock::now();
  const auto elapsed = now - m_start;
  if (elapsed >= 100ms) Busy();
  // Asking costs a round trip to the display: at most every 20 ms.
  if (m_cancelable && m_busy && !m_cancelled && now - m_asked >= 20ms) {
    m_asked = now;
    IEventLoop* loop = Loop();
    if (loop && loop->CancelRequested()) {
      m_cancelled = true;
      g_cancelledAction = DispatchScope::CurrentAction();
    }
  }
  if (elapsed < 1s || m_expected == 0) return;
  const int percent = static_cast<int>(std::min<std::size_t>(100, m_done * 100 / m_expected));
  if (percent == m_shown) return;
  if (IEventLoop* loop = Loop()) {
    loop->ShowProgress(percent);
    m_shown = percent;
  }
}

}  // namespace hv
