#pragma once
// Work on the user-interface thread that may take long (reloading many children,
// listing them, copying many objects): the wait cursor from 0.1 s on, the progress from
// a second on. Work expected to be large shows the wait cursor at once, so the window
// never stands still without it. Work that can undo itself may be cancelled.
#include <chrono>
#include <cstddef>

namespace hv {

class LongWork {
 public:
  // `expected`: the steps the work will take, 0 when not known.
  explicit LongWork(std::size_t expected = 0);
  ~LongWork();
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

  void Step() {
    if ((++m_done & 255) == 0) Check();
  }
  // The steps, once they are known.
  void SetExpected(std::size_t expected) {
    m_expected = expected;
    if (expected >= kBusyAtOnce) Busy();
  }
  // Shows the wait cursor now (work that is long whatever its size).
  void Busy();

  // Work that can stop halfway and leave everything as it was: while the wait cursor
  // shows, the user's cancel stops it (Cancelled() answers true from then on), and
  // every later cancelable work of the same user action with it.
  void AllowCancel();
  bool Cancelled() const { return m_cancelled; }

  // From this many expected steps on the wait cursor shows at once.
  static constexpr std::size_t kBusyAtOnce = 5000;

 private:
  void Check();

  std::chrono::steady_clock::time_point m_start;
  std::size_t m_expected;
  std::size_t m_done = 0;
  bool m_busy = false;
  bool m_cancelable = false;
  bool m_cancelled = false;
  std::chrono::steady_clock::time_point m_asked;   // the last time the cancel was asked
  int m_shown = -1;   // percent on display, -1 none
};

}  // namespace hv
