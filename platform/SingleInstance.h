#pragma once
// Guards against a second copy of the program for one user folder. The first copy
// listens on a local socket; a second start asks it to raise its window and ends.
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <wx/string.h>

namespace hv {

class SingleInstance {
 public:
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the guard named `name` in `folder`. False when another copy holds it; the
  // other copy has then been asked to raise its window.
  bool Acquire(const wxString& name, const wxString& folder);
  // Called (on the listener thread) when a second start asks us to come forward.
  void SetRaiseHandler(std::function<void()> handler);
  bool Held() const { return m_held; }
  void Release();

  // Socket path used for a guard (short enough for a socket address).
  static wxString SocketPath(const wxString& name, const wxString& folder);

 private:
  void Listen();

  int m_lockFd = -1;   // held with flock; the system drops it when the process ends
  bool m_held = false;
  int m_listenFd = -1;
  int m_wakeFd[2] = {-1, -1};
  std::string m_socketPath;
  std::thread m_thread;
  std::function<void()> m_raise;
  std::atomic<bool> m_stop{false};
};

}  // namespace hv
