#pragma once
// Carries the questions and messages of an engine on a worker thread to the UI thread.
// The worker hands over a function and waits; the dialog's timer calls Service on the
// UI thread, which runs the function there (it may use the interaction facade) and
// hands its answer back. No worker thread ever reaches a window itself.
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class UiRelay {
 public:
  // Worker side: runs `question` on the UI thread at its next Service and returns its
  // answer; `whenClosed` when the relay is or becomes closed before it ran.
  int Ask(std::function<int()> question, int whenClosed);

  // UI side: runs every waiting question, in order. Re-entrant calls (a timer that fires
  // while a question's message box is open) return at once.
  void Service();
  // UI side: no further questions are run; waiting and later ones get `whenClosed`.
  void Close();
  // Allows questions again (before a new run).
  void Open();

 private:
  struct Pending {
    std::function<int()> question;
    int answer = 0;
    bool done = false;
    int whenClosed = 0;
  };
  mutable std::mutex m_mutex;
  std::condition_variable m_answered;
  std::deque<std::shared_ptr<Pending>> m_waiting;
  bool m_closed = false;
  bool m_serving = false;   // UI thread only
};
