// A Modbus TCP server's answers pass through libmodbus into the driver's reads of coils,
// registers and texts and into the bus scan's identity probe. A fake server on 127.0.0.1
// answers each request as the input says: fitting frames, frames with wrong ids or
// lengths, exceptions, junk, silence or a closed connection. Whatever it sends, every
// call ends within a bound and fails or gives a value some frame the server sent holds.
//
// Input: one byte for the word order, then records [kind][length][bytes]. Reads and scans
// are the driver's calls in order; the other kinds are the server's answers, taken one
// per request it receives. When they run out, the server stops listening.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/online/ModbusMap.h"
#include "platform/online/PluginAbi.h"
#include "platform/online/ScanFile.h"
#include "plugins/common/PluginText.h"

extern "C" {
HvDriverContext* Driver_Open(const char* slot, const char* param, uint32_t* err);
void Driver_Close(HvDriverContext* ctx);
int Driver_Register(HvDriverContext* ctx, const HvDataPointDef* point, uint32_t* id, uint32_t* err);
void Driver_Unregister(HvDriverContext* ctx, uint32_t id);
int Driver_Read(HvDriverContext* ctx, uint32_t id, void* buf, uint32_t cap, uint32_t* len, uint32_t* err);
int Driver_Scan(HvDriverContext* ctx, const HvScanSink* sink, const volatile int* cancel, uint32_t* err);
}

namespace {

using Bytes = std::string;
using Clock = std::chrono::steady_clock;
namespace mm = hv::modbus;

// Short enough for many runs a second; the bounds leave room for a loaded machine.
constexpr int kTimeoutMs = 10;  // the least the driver takes
constexpr auto kReadBound = std::chrono::seconds(2), kScanBound = std::chrono::seconds(6);
constexpr size_t kMaxCalls = 12, kMaxAnswers = 48, kMaxScanUnits = 6;

enum Kind : uint8_t { kRead, kScan, kFramed, kFitting, kRaw, kClose, kQuiet, kException, kKinds };

struct Record {
  Kind kind;
  Bytes data;
  uint8_t At(size_t i) const { return i < data.size() ? static_cast<uint8_t>(data[i]) : 0; }
};

// The fake server: one thread serving every connection, stopped and joined per input.
class Peer {
 public:
  explicit Peer(std::vector<Record> answers) : answers_(std::move(answers)) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener_, 64) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &n) != 0 || pipe2(stop_, O_CLOEXEC) != 0) {
      std::perror("fake server");
      std::abort();
    }
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~Peer() {
    const char c = 0;
    if (write(stop_[1], &c, 1) != 1) std::abort();
    thread_.join();
    for (Conn& c2 : conns_) CloseConn(c2);
    if (listener_ >= 0) close(listener_);
    close(stop_[0]);
    close(stop_[1]);
  }
  int Port() const { return port_; }
  // Everything sent on each connection so far.
  std::vector<Bytes> Sent() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
  }

 private:
  struct Conn {
    int fd = -1;
    size_t log = 0;  // index into sent_
    Bytes in;
  };

  void CloseConn(Conn& c) {
    if (c.fd >= 0) close(c.fd);
    c.fd = -1;
  }

  void Send(Conn& c, const Bytes& b) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      sent_[c.log] += b;  // logged first: the client may act on it at once
    }
    size_t off = 0;
    while (off < b.size()) {
      const ssize_t w = send(c.fd, b.data() + off, b.size() - off, MSG_NOSIGNAL);
      if (w <= 0) return;
      off += static_cast<size_t>(w);
    }
  }

  static Bytes Frame(const Bytes& req, uint8_t unit, const Bytes& pdu, int lengthDelta = 0, bool badTid = false,
                     bool badProtocol = false) {
    const int len = static_cast<int>(pdu.size()) + 1 + lengthDelta;
    Bytes f;
    f += static_cast<char>(req[0] ^ (badTid ? 1 : 0));
    f += req[1];
    f += '\0';
    f += static_cast<char>(badProtocol ? 1 : 0);
    f += static_cast<char>((len >> 8) & 0xFF);
    f += static_cast<char>(len & 0xFF);
    f += static_cast<char>(unit);
    return f + pdu;
  }

  // A request is whole; answers it with the next record, or stops serving.
  void Serve(Conn& c, const Bytes& req) {
    if (next_ >= answers_.size()) {
      for (Conn& k : conns_) CloseConn(k);
      if (listener_ >= 0) close(listener_);
      listener_ = -1;
      return;
    }
    const Record& r = answers_[next_++];
    const uint8_t unit = static_cast<uint8_t>(req[6]), fc = static_cast<uint8_t>(req[7]);
    const int qty = static_cast<uint8_t>(req[10]) << 8 | static_cast<uint8_t>(req[11]);
    switch (r.kind) {
      case kFramed: {
        const uint8_t flags = r.At(0);
        const int delta = (flags & 8) ? static_cast<int8_t>(r.At(1)) : 0;
        Send(c, Frame(req, (flags & 2) ? static_cast<uint8_t>(unit ^ 1) : unit, r.data.size() > 2 ? r.data.substr(2) : Bytes(),
                      delta, flags & 1, flags & 4));
        if (flags & 16) CloseConn(c);
        break;
      }
      case kFitting: {
        const int count = (fc == 1 || fc == 2) ? (qty + 7) / 8 : 2 * qty;
        Bytes pdu{static_cast<char>(fc), static_cast<char>(count & 0xFF)};
        for (int i = 0; i < count; ++i) pdu += static_cast<char>(r.At(static_cast<size_t>(i)));
        Send(c, Frame(req, unit, pdu));
        break;
      }
      case kException: Send(c, Frame(req, unit, Bytes{static_cast<char>(fc | 0x80), static_cast<char>(r.At(0))})); break;
      case kRaw: Send(c, r.data); break;
      case kClose: CloseConn(c); break;
      default: break;  // quiet: the client waits in vain
    }
  }

  void Run() {
    std::vector<pollfd> fds;
    for (;;) {
      fds.clear();
      fds.push_back({stop_[0], POLLIN, 0});
      fds.push_back({listener_, POLLIN, 0});  // -1 once closed: poll skips it
      for (const Conn& c : conns_) fds.push_back({c.fd, POLLIN, 0});
      if (poll(fds.data(), fds.size(), -1) < 0) continue;
      if (fds[0].revents) return;
      const size_t known = conns_.size();
      if (fds[1].revents && listener_ >= 0) {
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
          std::lock_guard<std::mutex> lock(mutex_);
          conns_.push_back({fd, sent_.size(), {}});
          sent_.emplace_back();
        }
      }
      for (size_t i = 0; i < known; ++i) {
        Conn& c = conns_[i];
        if (c.fd < 0 || !fds[i + 2].revents) continue;
        char buf[512];
        const ssize_t n = recv(c.fd, buf, sizeof buf, 0);
        if (n <= 0) {
          CloseConn(c);
          continue;
        }
        c.in.append(buf, static_cast<size_t>(n));
        // The driver's requests are whole Modbus TCP frames: header, then length bytes.
        while (c.fd >= 0 && c.in.size() >= 12) {
          const size_t total = 6 + (static_cast<uint8_t>(c.in[4]) << 8 | static_cast<uint8_t>(c.in[5]));
          if (c.in.size() < total) break;
          const Bytes req = c.in.substr(0, total);
          c.in.erase(0, total);
          Serve(c, req);
        }
      }
    }
  }

  std::vector<Record> answers_;
  size_t next_ = 0;
  int listener_ = -1, port_ = 0, stop_[2] = {-1, -1};
  std::vector<Conn> conns_;
  std::mutex mutex_;
  std::vector<Bytes> sent_;
  std::thread thread_;
};

struct Point {
  uint32_t type = 0, textLen = 0, picker = 1;
  std::string address;
  int unit = 1;
};

Point PointOf(const Record& r) {
  static const uint32_t kTypes[] = {4, 4, 1, 2, 8, 16, 32, 64, 128, 512, 1024};
  Point p;
  const unsigned pick = r.At(0) % 13;
  p.picker = (pick == 0 || (pick > 1 && (r.At(1) & 1))) ? 3 : 1;  // read-write: coils, holding registers
  p.unit = 1 + (r.At(1) >> 1) % 247;
  p.address = "8|M|M|81|" + std::to_string(r.At(3)) + "|0";
  if (pick < 11) p.type = kTypes[pick];
  // A text has 1 to 250 characters: one of none is refused when it is registered.
  else if (pick == 11) p.type = 0x100, p.textLen = 1 + r.At(2) % 250;
  else p.type = 0x2000 + 1 + r.At(2) % 250;
  return p;
}

uint16_t Word(const Bytes& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) << 8 | static_cast<uint8_t>(s[at + 1]));
}

// The driver's 4-byte form of a number the registers (or the bit) at s[at] hold.
uint32_t Expected(const Bytes& s, size_t at, const Point& p, mm::WordOrder order) {
  double v = 0;
  if (p.type == 4) v = static_cast<uint8_t>(s[at]) & 1;
  else if (p.type == 1) v = static_cast<int8_t>(s[at + 1]);
  else if (p.type == 2) v = static_cast<uint8_t>(s[at + 1]);
  else if (p.type == 8) v = static_cast<int16_t>(Word(s, at));
  else if (p.type == 16) v = Word(s, at);
  else {
    const uint32_t raw = mm::Join32(Word(s, at), Word(s, at + 2), order);
    if (p.type == 128) v = mm::FloatFromBits(raw);
    else if (p.type == 32) v = static_cast<int32_t>(raw);
    else v = raw;
  }
  return (p.type == 512 || p.type == 1024) ? static_cast<uint32_t>(v) : hvplug::Encode(v, p.type);
}

// Whether some answer the server sent holds what a read gave: function code, byte count
// and data of the point's request.
bool FromSomeFrame(const std::vector<Bytes>& sent, const Point& p, mm::WordOrder order, const char* buf, uint32_t len) {
  const bool text = hvplug::IsText(p.type);
  const uint8_t fc = p.type == 4 ? (p.picker == 3 ? 1 : 2) : (p.picker == 3 ? 3 : 4);
  const uint32_t chars = p.type == 0x100 ? p.textLen : p.type - 0x2000;
  const size_t words = text ? (chars + 1) / 2 : p.type >= 32 ? 2 : 1;  // I4, UI4, R4, times and dates
  const size_t count = p.type == 4 ? 1 : 2 * words;
  for (const Bytes& s : sent)
    for (size_t at = 0; at + 2 + count <= s.size(); ++at) {
      if (static_cast<uint8_t>(s[at]) != fc || static_cast<uint8_t>(s[at + 1]) != count) continue;
      if (text ? std::memcmp(s.data() + at + 2, buf, len) == 0
               : [&] {
                   uint32_t out;
                   std::memcpy(&out, buf, 4);
                   return out == Expected(s, at + 2, p, order);
                 }())
        return true;
    }
  return false;
}

void CheckRead(HvDriverContext* ctx, Peer& peer, const Record& r, mm::WordOrder order) {
  const Point p = PointOf(r);
  const std::string node = std::to_string(p.unit);
  const HvDataPointDef def{sizeof(HvDataPointDef), "TESTDEV", node.c_str(), "", p.address.c_str(), p.picker << 16, p.type,
                           p.textLen};
  uint32_t id = 0, err = 0;
  if (!Driver_Register(ctx, &def, &id, &err)) std::abort();  // every point made here is valid
  const bool text = hvplug::IsText(p.type);
  const uint32_t chars = p.type == 0x100 ? p.textLen : p.type - 0x2000;
  const uint32_t cap = text ? chars + 1 : 4;
  // Exactly the room the caller gives, so a write past it is caught.
  const auto buf = std::make_unique<char[]>(cap);
  uint32_t len = 99;
  err = 0;
  const auto start = Clock::now();
  const int ok = Driver_Read(ctx, id, buf.get(), cap, &len, &err);
  if (Clock::now() - start > kReadBound) std::abort();
  if (!ok) {
    if (err == HV_ERR_NONE || len != 0) std::abort();
  } else {
    if (err != HV_ERR_NONE || len != (text ? chars : 4)) std::abort();
    if (text && buf[chars] != 0) std::abort();
    if (!FromSomeFrame(peer.Sent(), p, order, buf.get(), len)) std::abort();
  }
  Driver_Unregister(ctx, id);
}

struct Device {
  int unit;
  std::string type;
  std::vector<std::string> details;
};

// A type that any result file can hold as it is.
bool PlainText(const std::string& s) {
  return !s.empty() && s[0] != '[' && std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// Whether the text is the trimmed start of a register block: it sits in the block.
bool InBlock(const Bytes& s, size_t at, size_t bytes, const std::string& text) {
  return Bytes(s, at, bytes).find(text) != Bytes::npos;
}

// Whether the server ever answered this unit's identity probe in a way the scan could
// take as the device reported.
bool Answered(const std::vector<Bytes>& sent, const Device& d) {
  for (const Bytes& s : sent)
    for (size_t at = 0; at + 3 <= s.size(); ++at) {
      if (static_cast<uint8_t>(s[at]) != d.unit || (static_cast<uint8_t>(s[at + 1]) & 0x7F) != 0x03) continue;
      if (d.type == HV_SCAN_UNKNOWN_TYPE) return true;
      if (s[at + 1] != 0x03 || s[at + 2] != 50 || at + 3 + 50 > s.size()) continue;
      const unsigned fw = Word(s, at + 3 + 48);
      char text[40];
      std::snprintf(text, sizeof text, "FW-Version : %u.%02u", fw / 100u, fw % 100u);
      if (InBlock(s, at + 3, 32, d.type) && InBlock(s, at + 3 + 32, 16, d.details[0]) && d.details[1] == text) return true;
    }
  return false;
}

void CheckScan(int port, Peer& peer, const Record& r) {
  std::vector<int> units;
  for (size_t i = 0; i < r.data.size() && i < kMaxScanUnits; ++i) units.push_back(1 + static_cast<uint8_t>(r.data[i]) % 247);
  if (units.empty()) units.push_back(1);
  std::string list;
  for (int u : units) list += (list.empty() ? "" : ",") + std::to_string(u);
  if (units.size() == 1) list += "-" + list;  // a single number is a range of one
  const std::string param = "host=127.0.0.1 port=" + std::to_string(port) + " timeout=" + std::to_string(kTimeoutMs) + " units=" + list;
  uint32_t err = 0;
  HvDriverContext* ctx = Driver_Open("TCP_0", param.c_str(), &err);
  if (!ctx) std::abort();
  std::vector<Device> found;
  HvScanSink sink{&found,
                  [](void* user, const char* node, const char* type, const char* const* details, uint32_t count) {
                    Device d{std::atoi(node), type, {}};
                    for (uint32_t i = 0; i < count; ++i) d.details.emplace_back(details[i]);
                    static_cast<std::vector<Device>*>(user)->push_back(d);
                  },
                  [](void*, const char* text) {
                    if (std::strncmp(text, "Unit ", 5) != 0) std::abort();
                  }};
  const volatile int cancel = 0;
  const auto start = Clock::now();
  const int ok = Driver_Scan(ctx, &sink, &cancel, &err);
  if (Clock::now() - start > kScanBound) std::abort();
  Driver_Close(ctx);
  if (!ok) {
    if (err == HV_ERR_NONE) std::abort();
    return;
  }
  const std::vector<Bytes> sent = peer.Sent();
  int last = 0;
  std::string file;
  for (const Device& d : found) {
    // Asked, in unit order, each once, and answered.
    if (d.unit <= last || std::find(units.begin(), units.end(), d.unit) == units.end()) std::abort();
    last = d.unit;
    // An unknown device has its address only; a device may call itself "?" too.
    const size_t details = d.details.size();
    if ((details != 3 && !(details == 1 && d.type == HV_SCAN_UNKNOWN_TYPE)) || d.details.back() != "IP=127.0.0.1" ||
        d.type.empty())
      std::abort();
    if (!Answered(sent, d)) std::abort();
    // As the online library writes the result file.
    std::vector<const char*> lines;
    for (const std::string& l : d.details) lines.push_back(l.c_str());
    file += hv::FormatScanDevice(std::to_string(d.unit).c_str(), d.type.c_str(), lines.data(),
                                 static_cast<uint32_t>(lines.size()));
  }
  // The file reads back as the devices found, each with its type.
  const std::vector<hv::ScanEntry> entries = hv::ParseScanText(file);
  if (entries.size() != found.size()) std::abort();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].node != std::to_string(found[i].unit)) std::abort();
    // A type of nothing but control characters is as good as none: unknown.
    if (found[i].type == HV_SCAN_UNKNOWN_TYPE && !entries[i].IsUnknown()) std::abort();
    if (PlainText(found[i].type) && entries[i].type != found[i].type) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const char* const kOrders[] = {"abcd", "cdab", "badc", "dcba"};
  const unsigned orderIndex = data[0] & 3;
  std::vector<Record> calls, answers;
  for (size_t at = 1; at + 1 < size;) {
    const Kind kind = static_cast<Kind>(data[at] % kKinds);
    const size_t len = std::min<size_t>(data[at + 1], size - at - 2);
    Record r{kind, Bytes(reinterpret_cast<const char*>(data) + at + 2, len)};
    at += 2 + len;
    if (kind == kRead || kind == kScan) {
      if (calls.size() < kMaxCalls) calls.push_back(std::move(r));
    } else if (answers.size() < kMaxAnswers) {
      answers.push_back(std::move(r));
    }
  }
  if (calls.empty()) return 0;

  Peer peer(std::move(answers));
  const std::string param = "host=127.0.0.1 port=" + std::to_string(peer.Port()) + " timeout=" + std::to_string(kTimeoutMs) +
                            " wordorder=" + kOrders[orderIndex];
  uint32_t err = 0;
  HvDriverContext* ctx = Driver_Open("TCP_0", param.c_str(), &err);
  if (!ctx) std::abort();
  const auto order = *mm::ParseWordOrder(kOrders[orderIndex]);
  for (const Record& c : calls) {
    if (c.kind == kRead) CheckRead(ctx, peer, c, order);
    else CheckScan(peer.Port(), peer, c);
  }
  Driver_Close(ctx);
  return 0;
}
