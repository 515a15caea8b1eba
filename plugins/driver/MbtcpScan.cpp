// Many servers and gateways stay silent for a unit id they do not serve, and some drop
// every frame that arrives while they still wait on such a unit. So each connection
// carries one probe at a time, and speed comes from a few connections side by side.
// Gateways and panels often take only one to four connections and match answers by
// transaction id, so connections are opened only while the server takes them, and every
// probe has its own id.
#include "plugins/driver/MbtcpScan.h"

#include <modbus.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <deque>
#include <list>
#include <map>
#include <set>

#include "plugins/common/PluginText.h"

namespace mbtcp {

namespace {

using Clock = std::chrono::steady_clock;

// At most this many connections to one server.
constexpr size_t kMaxLinks = 8;
// Every connection lost this often, with no answer in between: the server is going away.
constexpr int kMaxLosses = 3;
// Probes that timed out on a connection and may still be answered there.
constexpr size_t kStaleKept = 16;

// Identity block at holding register 0xF000: type (16 registers), hardware (8), firmware (1).
constexpr int kIdentityAddress = 0xF000, kIdentityRegisters = 25;

struct Found {
  std::string type, hardware, firmware;
  bool identified = false;
};

enum class Answer { Ignore, NoDevice, Device };

std::string RegistersText(const uint8_t* bytes, size_t registers) {
  std::string s(reinterpret_cast<const char*>(bytes), registers * 2);
  s = s.substr(0, s.find('\0'));
  const size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// What an answer (unit id and PDU) says about the unit that was asked.
Answer Classify(const uint8_t* pdu, size_t n, int unitByte, int unit, Found& f) {
  if (n < 2 || unitByte != unit || (pdu[0] & 0x7F) != 0x03) return Answer::Ignore;
  if (pdu[0] == 0x83) {
    // A gateway reports that nobody is there; any other exception comes from the unit itself.
    return pdu[1] == MODBUS_EXCEPTION_GATEWAY_PATH || pdu[1] == MODBUS_EXCEPTION_GATEWAY_TARGET ? Answer::NoDevice
                                                                                              : Answer::Device;
  }
  if (pdu[1] == 2 * kIdentityRegisters && n >= 2 + 2 * kIdentityRegisters) {
    const uint8_t* regs = pdu + 2;
    f.type = RegistersText(regs, 16);
    f.identified = !f.type.empty();  // an empty block says nothing either
    f.hardware = RegistersText(regs + 32, 8);
    const unsigned fw = static_cast<unsigned>(regs[48] << 8 | regs[49]);
    char text[40];
    std::snprintf(text, sizeof text, "FW-Version : %u.%02u", fw / 100u, fw % 100u);
    f.firmware = text;
  }
  return Answer::Device;
}

struct Link {
  modbus_t* ctx = nullptr;
  int fd = -1;
  uint64_t order = 0;   // when it was opened: a server serves its connections first come, first served
  bool proven = false;  // the server is known to read and answer this connection
  int unit = -1;        // the unit whose answer is awaited, -1 when idle
  uint16_t tid = 0;
  Clock::time_point sent, deadline;
  std::vector<int> silent;                      // timed out here since the last answer
  std::deque<std::pair<uint16_t, int>> stale;  // timed-out probes whose answer may still come
  std::string in;                               // bytes of a frame not yet whole

  Link() = default;
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;
  ~Link() {
    if (ctx) {
      modbus_close(ctx);
      modbus_free(ctx);
    }
  }
};

class Scanner {
 public:
  Scanner(const ScanTarget& t, const HvScanSink* sink, const volatile int* cancel)
      : t_(t), sink_(sink), cancel_(cancel), todo_(t.units.begin(), t.units.end()), timeout_(t.timeoutMs) {}

  int Run(uint32_t* err);

 private:
  using LinkIt = std::list<Link>::iterator;

  uint32_t Open();
  void Send(LinkIt l);
  void Receive(LinkIt l);
  void Answered(Link& l, uint16_t tid, int unitByte, const uint8_t* pdu, size_t n);
  void Prove(Link& by);
  void Lose(LinkIt l, int e);
  void TimedOut(Link& l);
  bool CloseUnproven();
  void ShrinkToOne();
  void Progress();
  void Report();

  const ScanTarget& t_;
  const HvScanSink* sink_;
  const volatile int* cancel_;
  std::list<Link> links_;
  std::deque<int> todo_;
  std::map<int, Found> found_;
  size_t limit_ = kMaxLinks;
  uint64_t opened_ = 0;
  uint16_t nextTid_ = 0;
  int losses_ = 0;
  bool queues_ = false;  // an answer came after its time-out: the server queues probes
  bool shrink_ = false;  // and the connections are to go down to one
  Clock::time_point lastTimeout_{}, resume_{};
  std::vector<int> timedOut_;
  uint32_t lastError_ = HV_ERR_CONNECTION_LOST;
  std::chrono::milliseconds timeout_;
  size_t shown_ = SIZE_MAX;
  Clock::time_point shownAt_{};
};

// 0 when a further connection is up, else the error number.
uint32_t Scanner::Open() {
  const bool only = links_.empty();  // the only connection: every server serves that one
  Link& l = links_.emplace_back();
  l.ctx = modbus_new_tcp(t_.host.c_str(), t_.port);
  if (!l.ctx) {
    links_.pop_back();
    return HV_ERR_BAD_PARAMETER;
  }
  const auto sec = static_cast<uint32_t>(t_.timeoutMs / 1000), usec = static_cast<uint32_t>((t_.timeoutMs % 1000) * 1000);
  modbus_set_response_timeout(l.ctx, sec, usec);
  if (modbus_connect(l.ctx) != 0) {
    const int e = errno;
    links_.pop_back();
    return ErrorOf(e == EINPROGRESS ? ETIMEDOUT : e);
  }
  l.fd = modbus_get_socket(l.ctx);
  l.order = ++opened_;
  l.proven = only;
  return 0;
}

// Frames the probe with its own transaction id: the answer is matched by it.
void Scanner::Send(LinkIt l) {
  const int unit = todo_.front();
  todo_.pop_front();
  l->unit = unit;
  l->tid = ++nextTid_;
  const uint8_t frame[] = {static_cast<uint8_t>(l->tid >> 8), static_cast<uint8_t>(l->tid & 0xFF), 0, 0, 0, 6,
                           static_cast<uint8_t>(unit), 0x03, kIdentityAddress >> 8, kIdentityAddress & 0xFF, 0,
                           kIdentityRegisters};
  l->sent = Clock::now();
  l->deadline = l->sent + timeout_;
  const ssize_t n = send(l->fd, frame, sizeof frame, MSG_NOSIGNAL | MSG_DONTWAIT);
  if (n != static_cast<ssize_t>(sizeof frame)) Lose(l, n < 0 ? errno : ECONNRESET);
}

void Scanner::Receive(LinkIt l) {
  uint8_t buf[1024];
  const ssize_t n = recv(l->fd, buf, sizeof buf, MSG_DONTWAIT);
  if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
    Lose(l, n == 0 ? ECONNRESET : errno);
    return;
  }
  if (n < 0) return;
  l->in.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
  while (l->in.size() >= 7) {
    const auto* f = reinterpret_cast<const uint8_t*>(l->in.data());
    const size_t length = static_cast<size_t>(f[4] << 8 | f[5]);
    if (f[2] != 0 || f[3] != 0 || length < 2 || length > MODBUS_TCP_MAX_ADU_LENGTH - 6) {
      Lose(l, EMBBADDATA);  // no Modbus TCP stream: nothing after this can be framed
      return;
    }
    if (l->in.size() < 6 + length) return;
    Answered(*l, static_cast<uint16_t>(f[0] << 8 | f[1]), f[6], f + 7, length - 1);
    l->in.erase(0, 6 + length);
  }
}

void Scanner::Answered(Link& l, uint16_t tid, int unitByte, const uint8_t* pdu, size_t n) {
  Found f;
  if (l.unit >= 0 && tid == l.tid) {
    const Answer a = Classify(pdu, n, unitByte, l.unit, f);
    if (a == Answer::Ignore) return;  // not an answer to this probe
    if (a == Answer::Device) found_[l.unit] = f;
    l.unit = -1;
  } else {
    // A probe that timed out is answered after all: the unit is there.
    const auto it = std::find_if(l.stale.begin(), l.stale.end(), [&](const auto& s) { return s.first == tid; });
    if (it == l.stale.end()) return;
    const int unit = it->second;
    const Answer a = Classify(pdu, n, unitByte, unit, f);
    if (a == Answer::Ignore) return;
    // A probe answered after its time-out: the server queues probes (a gateway with one
    // serial line), so on several connections they wait behind each other's silence.
    // Slower than the time-out counts as no answer.
    l.stale.erase(it);
    if (!queues_ && links_.size() > 1) shrink_ = true;
    queues_ = true;
    losses_ = 0;
    for (Link& k : links_)
      if (k.order <= l.order) k.proven = true;
    return;
  }
  losses_ = 0;
  Prove(l);
}

// The server answers this connection, so also every connection it took before it: the
// units silent there are not there. Those silent here since the last answer are settled.
void Scanner::Prove(Link& by) {
  for (Link& l : links_)
    if (l.order <= by.order) l.proven = true;
  by.silent.clear();
}

// A connection the server refused to go on with: what it carried is asked again elsewhere
// and never counts against a unit, and no more connections than are left are opened.
void Scanner::Lose(LinkIt l, int e) {
  lastError_ = ErrorOf(e);
  // The probe in flight, and the ones that timed out since the last answer here: their
  // silence may have been the connection dying.
  todo_.insert(todo_.begin(), l->silent.begin(), l->silent.end());
  if (l->unit >= 0) todo_.push_front(l->unit);
  const uint64_t order = l->order;
  links_.erase(l);
  if (links_.empty()) ++losses_;
  limit_ = std::max<size_t>(1, std::min(limit_, links_.size()));
  // A server that closes what it will not serve serves the connections it took before.
  if (e != EMBBADDATA)
    for (Link& k : links_)
      if (k.order < order) k.proven = true;
}

void Scanner::TimedOut(Link& l) {
  l.silent.push_back(l.unit);
  l.stale.emplace_back(l.tid, l.unit);
  if (l.stale.size() > kStaleKept) l.stale.pop_front();
  timedOut_.push_back(l.unit);
  l.unit = -1;
  lastTimeout_ = Clock::now();
}

// Nothing is left to ask: a connection that never answered may never have been read
// (some servers take a connection into their queue and serve only the first), so the
// units silent on it are asked again on one that answers. True when there were any.
bool Scanner::CloseUnproven() {
  bool any = false;
  for (auto it = links_.begin(); it != links_.end();) {
    if (it->proven || it->unit >= 0) {
      ++it;
      continue;
    }
    any = any || !it->silent.empty();
    todo_.insert(todo_.end(), it->silent.begin(), it->silent.end());
    it = links_.erase(it);
  }
  if (any) limit_ = std::max<size_t>(1, links_.size());
  return any;
}

// The server queues probes: every silence so far may have been a wait behind another
// connection's silent unit. Every connection is closed, and what timed out or was in
// flight is asked again over one.
void Scanner::ShrinkToOne() {
  shrink_ = false;
  std::set<int> again(timedOut_.begin(), timedOut_.end());
  for (const Link& l : links_)
    if (l.unit >= 0) again.insert(l.unit);
  for (int u : todo_) again.erase(u);
  for (const auto& [u, f] : found_) again.erase(u);
  todo_.insert(todo_.begin(), again.begin(), again.end());
  timedOut_.clear();
  links_.clear();
  limit_ = 1;
  resume_ = Clock::now() + timeout_;  // the server works off or drops what it queued
}

// A few texts a second are enough for the dialog's timer; one per unit would cost a brisk
// server's scan more than its probes.
void Scanner::Progress() {
  if (!sink_->progress) return;
  size_t pending = todo_.size();
  for (const Link& l : links_) pending += (l.unit >= 0 ? 1 : 0) + (l.proven ? 0 : l.silent.size());
  const size_t done = t_.units.size() - std::min(pending, t_.units.size());
  if (done == shown_ || (shown_ != SIZE_MAX && Clock::now() - shownAt_ < std::chrono::milliseconds(50))) return;
  shown_ = done;
  shownAt_ = Clock::now();
  char text[40];
  std::snprintf(text, sizeof text, "Unit %zu/%zu", done, t_.units.size());
  sink_->progress(sink_->user, text);
}

int Scanner::Run(uint32_t* err) {
  // Connections while the server takes them, up to the bound; the first must come up.
  if (const uint32_t e = Open()) return *err = e, 0;
  while (links_.size() < std::min(limit_, t_.units.size()))
    if (Open() != 0) limit_ = links_.size();
  // The lowest units, the likeliest to be there, go to the newest connections: an answer
  // shows that the server serves that connection and every one it took before.
  std::vector<LinkIt> waiting;
  for (auto l = links_.begin(); l != links_.end(); ++l) waiting.push_back(l);
  for (auto l = waiting.rbegin(); l != waiting.rend() && !todo_.empty(); ++l) Send(*l);  // may lose it
  std::vector<pollfd> fds;
  for (;;) {
    if (hvplug::Cancelled(cancel_)) return *err = HV_ERR_CANCELLED, 0;
    if (losses_ >= kMaxLosses) return *err = lastError_, 0;
    if (shrink_) ShrinkToOne();
    // Every connection lost: one more is made, and when that fails the scan ends.
    if (links_.empty()) {
      if (const uint32_t e = Open()) return *err = e, 0;
    }
    const auto now = Clock::now();
    for (auto l = links_.begin(); l != links_.end() && !todo_.empty() && now >= resume_;) {
      const auto next = std::next(l);
      if (l->unit < 0) Send(l);
      l = next;
    }
    if (links_.empty()) continue;
    Progress();
    fds.clear();
    waiting.clear();
    auto wake = std::max(now, resume_) + std::chrono::milliseconds(100);  // cancel is looked at this often
    if (now < resume_) wake = resume_;
    for (auto l = links_.begin(); l != links_.end(); ++l) {
      fds.push_back({l->fd, POLLIN, 0});
      waiting.push_back(l);
      if (l->unit >= 0) wake = std::min(wake, l->deadline);
    }
    const bool busy = now < resume_ || std::any_of(links_.begin(), links_.end(), [](const Link& l) { return l.unit >= 0; });
    if (!busy && todo_.empty()) {
      if (CloseUnproven()) continue;
      // Probes that ran side by side and timed out may yet be answered by a server that
      // queues them: one more time-out shows it.
      const bool stale = std::any_of(links_.begin(), links_.end(), [](const Link& l) { return !l.stale.empty(); });
      if (queues_ || links_.size() < 2 || !stale || now >= lastTimeout_ + timeout_) break;
      wake = std::min(wake, lastTimeout_ + timeout_);
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
    poll(fds.data(), fds.size(), static_cast<int>(std::clamp<long long>(ms, 0, 100)));
    for (size_t i = 0; i < fds.size(); ++i) {
      const LinkIt l = waiting[i];
      if (fds[i].revents) {
        Receive(l);  // may lose the link
        continue;
      }
      if (l->unit >= 0 && Clock::now() >= l->deadline) TimedOut(*l);
    }
  }
  Report();
  return 1;
}

void Scanner::Report() {
  if (!sink_->device) return;
  const std::string ip = "IP=" + t_.host;
  for (const auto& [unit, f] : found_) {
    const std::string node = std::to_string(unit);
    if (f.identified) {
      const char* details[3] = {f.hardware.c_str(), f.firmware.c_str(), ip.c_str()};
      sink_->device(sink_->user, node.c_str(), f.type.c_str(), details, 3);
    } else {
      const char* details[1] = {ip.c_str()};
      sink_->device(sink_->user, node.c_str(), HV_SCAN_UNKNOWN_TYPE, details, 1);
    }
  }
}

}  // namespace

uint32_t ErrorOf(int e) {
  switch (e) {
    case ETIMEDOUT: return HV_ERR_TIMEOUT;
    case ECONNREFUSED: return HV_ERR_REFUSED;
    case EMBXILFUN:
    case EMBXILADD:
    case EMBXILVAL:
    case EMBXSFAIL:
    case EMBXGTAR:
    case EMBXGPATH: return HV_ERR_BAD_ADDRESS;
    default: return HV_ERR_CONNECTION_LOST;
  }
}

int Scan(const ScanTarget& t, const HvScanSink* sink, const volatile int* cancel, uint32_t* err) {
  Scanner s(t, sink, cancel);
  return s.Run(err);
}

}  // namespace mbtcp
