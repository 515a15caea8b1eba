// Many servers and gateways stay silent for a unit id they do not serve, and some drop
// every frame that arrives while they still wait on such a unit. So each connection
// carries one probe at a time, and speed comes from several connections side by side.
#include "plugins/driver/MbtcpScan.h"

#include <modbus.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <deque>
#include <map>
#include <set>

namespace mbtcp {

namespace {

using Clock = std::chrono::steady_clock;

// At most this many connections to one server; a server that takes fewer gets fewer.
// A few from the start let a brisk server answer several probes per wake-up.
constexpr size_t kMaxLinks = 16, kFirstLinks = 8;

// Identity block at holding register 0xF000: type (16 registers), hardware (8), firmware (1).
constexpr int kIdentityAddress = 0xF000, kIdentityRegisters = 25;

struct Link {
  modbus_t* ctx = nullptr;
  int unit = -1;  // the unit whose answer is awaited, -1 when idle
  // Whether the server is known to serve this connection: the first one is taken on
  // trust; another counts once anything came back on it. A server that serves one
  // connection only still takes others into its listen queue and never reads them.
  bool proven = false;
  bool proof = false;  // the awaited answer only proves the connection
  Clock::time_point sent, deadline;
  void Drop() {
    if (ctx) {
      modbus_close(ctx);
      modbus_free(ctx);
      ctx = nullptr;
    }
    unit = -1;
  }
};

// 0 when connected, else the error number.
uint32_t Connect(const ScanTarget& t, Link& link) {
  link.Drop();
  link.ctx = modbus_new_tcp(t.host.c_str(), t.port);
  if (!link.ctx) return HV_ERR_BAD_PARAMETER;
  const auto sec = static_cast<uint32_t>(t.timeoutMs / 1000), usec = static_cast<uint32_t>((t.timeoutMs % 1000) * 1000);
  modbus_set_response_timeout(link.ctx, sec, usec);
  modbus_set_byte_timeout(link.ctx, sec, usec);
  if (modbus_connect(link.ctx) != 0) {
    const int e = errno;
    link.Drop();
    return ErrorOf(e == EINPROGRESS ? ETIMEDOUT : e);
  }
  return 0;
}

std::string RegistersText(const uint8_t* bytes, size_t registers) {
  std::string s(reinterpret_cast<const char*>(bytes), registers * 2);
  s = s.substr(0, s.find('\0'));
  const size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

struct Found {
  std::string type, hardware, firmware;
  bool identified = false;
};

enum class Answer { Ignore, NoDevice, Device };

// What an answer frame says about the unit that was asked.
Answer Classify(const uint8_t* rsp, int rc, int unit, Found& f) {
  if (rc < 9 || rsp[6] != unit || (rsp[7] & 0x7F) != 0x03) return Answer::Ignore;  // a late answer to another probe
  if (rsp[7] == 0x83) {
    // A gateway reports that nobody is there; any other exception comes from the unit itself.
    return rsp[8] == MODBUS_EXCEPTION_GATEWAY_PATH || rsp[8] == MODBUS_EXCEPTION_GATEWAY_TARGET ? Answer::NoDevice
                                                                                              : Answer::Device;
  }
  if (rsp[8] == 2 * kIdentityRegisters && rc >= 9 + 2 * kIdentityRegisters) {
    f.type = RegistersText(rsp + 9, 16);
    f.identified = !f.type.empty();  // an empty block says nothing either
    f.hardware = RegistersText(rsp + 9 + 32, 8);
    const unsigned fw = static_cast<unsigned>(rsp[9 + 48] << 8 | rsp[9 + 49]);
    char text[40];
    std::snprintf(text, sizeof text, "FW-Version : %u.%02u", fw / 100u, fw % 100u);
    f.firmware = text;
  }
  return Answer::Device;
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
  std::vector<Link> links;
  links.reserve(kMaxLinks);
  struct Closer {
    std::vector<Link>& l;
    ~Closer() {
      for (Link& k : l) k.Drop();
    }
  } closer{links};
  // The first connection must come up. More are opened while every connection waits on
  // a unit that is slow to answer; a server that refuses a further connection keeps the
  // ones it took.
  links.emplace_back();
  if (const uint32_t e = Connect(t, links[0])) return *err = e, 0;
  links[0].proven = true;
  const auto grow = std::chrono::milliseconds(std::clamp<long>(t.timeoutMs / 10, 2, 50));
  bool mayGrow = t.units.size() > 1;
  while (mayGrow && links.size() < std::min(kFirstLinks, t.units.size())) {
    links.emplace_back();
    if (Connect(t, links.back()) != 0) {
      links.pop_back();
      mayGrow = false;
    }
  }

  std::deque<int> todo(t.units.begin(), t.units.end());
  std::set<int> recheck;  // silent on an unproven connection: asked again on a proven one
  int known = -1;         // a unit that answered: what proves another connection
  std::map<int, int> tries;
  std::map<int, Found> found;
  size_t done = 0;
  uint32_t lastError = HV_ERR_CONNECTION_LOST;
  char progress[40];
  size_t shown = SIZE_MAX;
  Clock::time_point shownAt{};

  // A link that broke gives its unit back once and is made anew; a unit that breaks its
  // link again ends the scan: the server is going away.
  bool gone = false;
  auto broken = [&](Link& l, int e) {
    lastError = ErrorOf(e);
    if (l.unit >= 0 && tries[l.unit]++ > 0) gone = true;
    if (l.unit >= 0 && !l.proof) todo.push_front(l.unit);
    const bool first = &l == &links[0];
    if (const uint32_t c = Connect(t, l)) lastError = c;
    l.proven = first;
    l.proof = false;
  };

  std::vector<pollfd> fds;
  std::vector<Link*> waiting;
  for (;;) {
    if (cancel && *cancel) return *err = HV_ERR_CANCELLED, 0;
    if (gone) return *err = lastError, 0;
    for (Link& l : links) {
      if (!l.ctx || l.unit >= 0) continue;
      int unit = -1;
      if (!l.proven && known >= 0 && !todo.empty()) {
        unit = known;  // asks a unit that answered, to learn whether this connection is served
        l.proof = true;
      } else {
        // A unit left silent on an unproven connection is asked again on a proven one,
        // once anything on the bus has answered; on a bus where nothing answers it stays
        // silent, so an empty bus is not asked twice over one connection.
        auto it = todo.begin();
        while (it != todo.end() && recheck.count(*it) && (!l.proven || known < 0)) ++it;
        if (it == todo.end()) continue;
        unit = *it;
        todo.erase(it);
      }
      const uint8_t probe[] = {static_cast<uint8_t>(unit), 0x03, kIdentityAddress >> 8, kIdentityAddress & 0xFF, 0,
                               kIdentityRegisters};
      l.unit = unit;
      l.sent = Clock::now();
      l.deadline = l.sent + std::chrono::milliseconds(t.timeoutMs);
      if (modbus_send_raw_request(l.ctx, probe, sizeof probe) < 0) broken(l, errno);
    }
    if (mayGrow && !todo.empty() && links.size() < kMaxLinks) {
      const auto now = Clock::now();
      bool allWaiting = true;
      for (const Link& l : links) allWaiting = allWaiting && l.ctx && l.unit >= 0 && now - l.sent >= grow;
      if (allWaiting) {
        links.emplace_back();
        if (Connect(t, links.back()) != 0) {
          links.pop_back();
          mayGrow = false;
        }
        continue;
      }
    }
    // A few texts a second are enough for the dialog's timer; one per unit would cost a
    // brisk server's scan more than its probes.
    if (done != shown && sink->progress && (shown == SIZE_MAX || Clock::now() - shownAt >= std::chrono::milliseconds(50))) {
      shown = done;
      shownAt = Clock::now();
      std::snprintf(progress, sizeof progress, "Unit %zu/%zu", done, t.units.size());
      sink->progress(sink->user, progress);
    }
    fds.clear();
    waiting.clear();
    auto wake = Clock::now() + std::chrono::milliseconds(100);  // cancel is looked at this often
    Clock::time_point newest{};
    for (Link& l : links)
      if (l.ctx && l.unit >= 0) {
        fds.push_back({modbus_get_socket(l.ctx), POLLIN, 0});
        waiting.push_back(&l);
        wake = std::min(wake, l.deadline);
        newest = std::max(newest, l.sent);
      }
    // When every connection waits, another may be opened once the newest probe is overdue.
    if (mayGrow && !todo.empty() && links.size() < kMaxLinks && waiting.size() == links.size())
      wake = std::min(wake, newest + grow);
    if (waiting.empty()) {
      if (todo.empty() || (known < 0 && std::all_of(todo.begin(), todo.end(), [&](int u) { return recheck.count(u) != 0; })))
        break;
      return *err = lastError, 0;  // no connection is left
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now()).count();
    poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(ms, 0)));
    for (size_t i = 0; i < fds.size(); ++i) {
      Link& l = *waiting[i];
      if (fds[i].revents) {
        uint8_t rsp[MODBUS_TCP_MAX_ADU_LENGTH];
        const int rc = modbus_receive_confirmation(l.ctx, rsp);
        if (rc < 0) {
          broken(l, errno);
          continue;
        }
        l.proven = true;  // the server reads and answers this connection
        Found f;
        const Answer a = Classify(rsp, rc, l.unit, f);
        if (a == Answer::Ignore) continue;
        if (l.proof) {
          l.proof = false;
          l.unit = -1;
          continue;
        }
        if (a == Answer::Device) found[l.unit] = f;
        known = l.unit;
        l.unit = -1;
        ++done;
      } else if (Clock::now() >= l.deadline) {
        if (l.proof) {
          // Not served: this connection goes, and no further one is tried.
          l.Drop();
          l.proof = false;
          mayGrow = false;
        } else if (!l.proven) {
          recheck.insert(l.unit);  // silence here says nothing yet
          todo.push_back(l.unit);
          l.unit = -1;
        } else {
          l.unit = -1;  // silent: nobody there
          ++done;
        }
      }
    }
  }

  const std::string ip = "IP=" + t.host;
  for (const auto& [unit, f] : found) {
    const std::string node = std::to_string(unit);
    if (!sink->device) break;
    if (f.identified) {
      const char* details[3] = {f.hardware.c_str(), f.firmware.c_str(), ip.c_str()};
      sink->device(sink->user, node.c_str(), f.type.c_str(), details, 3);
    } else {
      const char* details[1] = {ip.c_str()};
      sink->device(sink->user, node.c_str(), HV_SCAN_UNKNOWN_TYPE, details, 1);
    }
  }
  return 1;
}

}  // namespace mbtcp
