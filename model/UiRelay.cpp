#include "model/UiRelay.h"

int UiRelay::Ask(std::function<int()> question, int whenClosed) {
  auto pending = std::make_shared<Pending>();
  pending->question = std::move(question);
  pending->whenClosed = whenClosed;
  std::unique_lock lock(m_mutex);
  if (m_closed) return whenClosed;
  m_waiting.push_back(pending);
  m_answered.wait(lock, [&] { return pending->done; });
  return pending->answer;
}

void UiRelay::Service() {
  if (m_serving) return;
  m_serving = true;
  for (;;) {
    std::shared_ptr<Pending> next;
    {
      std::lock_guard lock(m_mutex);
      if (m_closed || m_waiting.empty()) break;
      next = m_waiting.front();
      m_waiting.pop_front();
    }
    const int answer = next->question();
    {
      std::lock_guard lock(m_mutex);
      next->answer = answer;
      next->done = true;
      next->question = nullptr;   // its captures die on this thread
    }
    m_answered.notify_all();
  }
  m_serving = false;
}

void UiRelay::Close() {
  std::deque<std::shared_ptr<Pending>> dropped;
  {
    std::lock_guard lock(m_mutex);
    m_closed = true;
    dropped.swap(m_waiting);
    for (auto& p : dropped) {
      p->answer = p->whenClosed;
      p->done = true;
      p->question = nullptr;
    }
  }
  m_answered.notify_all();
}

void UiRelay::Open() {
  std::lock_guard lock(m_mutex);
  m_closed = false;
}
