#include "tests/support/ModbusTestServer.h"

#include <arpa/inet.h>
#include <modbus.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <stdexcept>

namespace hvtest {

struct ModbusTestServer::LineRequest {
  int socket;
  std::vector<std::uint8_t> query;
};

struct ModbusTestServer::Mapping {
  explicit Mapping(int count = 0x10000) : map(modbus_mapping_new(count, count, count, count)), size(count) {}
  ~Mapping() { modbus_mapping_free(map); }
  modbus_mapping_t* map;
  int size;
  // A value set past the map is a fault of the test, not a request to answer.
  void Check(int address) const {
    if (address < 0 || address >= size) throw std::out_of_range("address past the served map");
  }
};

namespace {
int BoundPort(int fd) {
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

int ListenLoopback() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 16) != 0) {
    close(fd);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  return fd;
}
}  // namespace

ModbusTestServer::ModbusTestServer(std::vector<int> units, Mode mode, int replyDelayMs, Absent absent, int holdMs)
    : m_mode(mode), m_delayMs(replyDelayMs), m_absent(absent), m_holdMs(holdMs) {
  for (int u : units) m_units[u] = std::make_unique<Mapping>();
  m_listen = ListenLoopback();
  m_port = BoundPort(m_listen);
  m_ctx = modbus_new_tcp("127.0.0.1", m_port);
  m_thread = std::thread([this] { Run(); });
}

ModbusTestServer::~ModbusTestServer() {
  Stop();
  if (m_ctx) modbus_free(static_cast<modbus_t*>(m_ctx));
}

void ModbusTestServer::Stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  if (m_listen >= 0) close(m_listen);
  m_listen = -1;
}

int ModbusTestServer::RefusedPort() {
  const int fd = ListenLoopback();
  const int port = BoundPort(fd);
  close(fd);
  return port;
}

ModbusTestServer::Mapping& ModbusTestServer::UnitMapping(int unit) {
  auto it = m_units.find(unit);
  if (it == m_units.end()) throw std::runtime_error("unit not served");
  return *it->second;
}

void ModbusTestServer::SetBit(int unit, int table, int address, bool value) {
  std::lock_guard lock(m_mutex);
  UnitMapping(unit).Check(address);
  auto* m = UnitMapping(unit).map;
  (table == 0 ? m->tab_bits : m->tab_input_bits)[address] = value ? 1 : 0;
}

void ModbusTestServer::SetRegister(int unit, int table, int address, std::uint16_t value) {
  std::lock_guard lock(m_mutex);
  UnitMapping(unit).Check(address);
  auto* m = UnitMapping(unit).map;
  (table == 3 ? m->tab_input_registers : m->tab_registers)[address] = value;
}

void ModbusTestServer::LimitMap(int count) {
  std::lock_guard lock(m_mutex);
  for (auto& [unit, mapping] : m_units) mapping = std::make_unique<Mapping>(count);
}

void ModbusTestServer::Set32(int unit, int table, int address, std::uint32_t value, hv::modbus::WordOrder order) {
  std::uint16_t regs[2];
  hv::modbus::Split32(value, order, regs);
  SetRegister(unit, table, address, regs[0]);
  SetRegister(unit, table, address + 1, regs[1]);
}

void ModbusTestServer::SetText(int unit, int table, int address, const std::string& text) {
  for (size_t i = 0; i < text.size(); i += 2) {
    const auto hi = static_cast<unsigned char>(text[i]);
    const auto lo = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    SetRegister(unit, table, address + static_cast<int>(i / 2), static_cast<std::uint16_t>(hi << 8 | lo));
  }
}

void ModbusTestServer::SetIdentity(int unit, const std::string& type, const std::string& hardware,
                                   std::uint16_t firmware) {
  SetText(unit, 4, 0xF000, type.substr(0, 32));
  SetText(unit, 4, 0xF010, hardware.substr(0, 16));
  SetRegister(unit, 4, 0xF018, firmware);
}

void ModbusTestServer::SetException(int unit, std::uint8_t code, int fromAddress) {
  std::lock_guard lock(m_mutex);
  m_exceptions[unit] = {code, fromAddress};
}

void ModbusTestServer::Run() {
  using Clock = std::chrono::steady_clock;
  auto* ctx = static_cast<modbus_t*>(m_ctx);
  std::map<int, Clock::time_point> clients;  // socket -> end of its hold on a silent frame
  std::vector<int> unread;                     // accepted, never served
  std::uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
  // Ends by itself when nothing arrives for a minute, so a forgotten server cannot hang a run.
  auto idleEnd = Clock::now() + std::chrono::seconds(60);
  while (!m_stop && Clock::now() < idleEnd) {
    if (m_lineHoldMs > 0) ServeLine(clients);
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(m_listen, &fds);
    int maxFd = m_listen;
    for (const auto& [c, hold] : clients) FD_SET(c, &fds), maxFd = std::max(maxFd, c);
    timeval tv{0, m_line.empty() ? 20000 : 1000};
    if (select(maxFd + 1, &fds, nullptr, nullptr, &tv) <= 0) continue;
    if (FD_ISSET(m_listen, &fds)) {
      const int c = accept(m_listen, nullptr, nullptr);
      if (c >= 0 && m_firstOnly && (!clients.empty() || !unread.empty())) {
        unread.push_back(c);
      } else if (c >= 0 && m_acceptOnly > 0 && static_cast<int>(clients.size()) >= m_acceptOnly) {
        close(c);
      } else if (c >= 0) {
        // Answers go out at once, as from a device, not held back for the next ACK.
        const int one = 1;
        setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        clients[c] = Clock::time_point{};
        m_mostConnections = std::max(m_mostConnections.load(), static_cast<int>(clients.size()));
      }
    }
    for (auto it = clients.begin(); it != clients.end();) {
      const int c = it->first;
      if (!FD_ISSET(c, &fds)) {
        ++it;
        continue;
      }
      modbus_set_socket(ctx, c);
      const int rc = modbus_receive(ctx, query);
      if (rc < 0 || (rc > 0 && m_closeOnRequest)) {
        m_lastIds.erase(c);
        std::erase_if(m_line, [c](const LineRequest& r) { return r.socket == c; });
        close(c);
        it = clients.erase(it);
        continue;
      }
      if (rc == 0) {
        ++it;
        continue;
      }
      idleEnd = Clock::now() + std::chrono::seconds(60);
      ++m_requests;
      int queued = 0;
      if (ioctl(c, FIONREAD, &queued) == 0 && queued > 0) ++m_pipelined;
      NoteTransactionId(c, query);
      if (m_lineHoldMs > 0 && m_mode != Mode::Silent) {
        QueueOnLine(c, query, rc);
        ++it;
        continue;
      }
      if (m_mode == Mode::Silent) {
        ++it;
        continue;
      }
      if (Clock::now() < it->second) {  // still waiting on a silent unit: the frame is lost
        ++m_dropped;
        ++it;
        continue;
      }
      if (m_delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
      const int header = modbus_get_header_length(ctx);
      const int unit = query[header - 1];
      const int address = query[header + 1] << 8 | query[header + 2];
      std::lock_guard lock(m_mutex);
      auto u = m_units.find(unit);
      auto ex = m_exceptions.find(unit);
      if (ex != m_exceptions.end() && address >= ex->second.second) {
        modbus_reply_exception(ctx, query, ex->second.first);
      } else if (u != m_units.end()) {
        modbus_reply(ctx, query, rc, u->second->map);
      } else if (m_absent == Absent::Exception) {
        modbus_reply_exception(ctx, query, MODBUS_EXCEPTION_GATEWAY_TARGET);
      } else if (m_absent == Absent::SilentDropQueued) {
        it->second = Clock::now() + std::chrono::milliseconds(m_holdMs);
      }
      ++it;
    }
  }
  for (const auto& [c, hold] : clients) close(c);
  for (int c : unread) close(c);
}

void ModbusTestServer::NoteTransactionId(int socket, const std::uint8_t* query) {
  const int id = query[0] << 8 | query[1];
  const auto last = m_lastIds.find(socket);
  if (last != m_lastIds.end() && last->second == id) ++m_repeatedIds;
  m_lastIds[socket] = id;
}

void ModbusTestServer::QueueOnLine(int socket, const std::uint8_t* query, int length) {
  m_line.push_back({socket, std::vector<std::uint8_t>(query, query + length)});
}

void ModbusTestServer::ServeLine(const std::map<int, std::chrono::steady_clock::time_point>& open) {
  auto* ctx = static_cast<modbus_t*>(m_ctx);
  const int header = modbus_get_header_length(ctx);
  while (!m_line.empty() && std::chrono::steady_clock::now() >= m_lineFree) {
    const LineRequest r = m_line.front();
    m_line.erase(m_line.begin());
    if (!open.count(r.socket)) continue;
    const int unit = r.query[header - 1];
    const int address = r.query[header + 1] << 8 | r.query[header + 2];
    std::lock_guard lock(m_mutex);
    auto u = m_units.find(unit);
    auto ex = m_exceptions.find(unit);
    modbus_set_socket(ctx, r.socket);
    if (ex != m_exceptions.end() && address >= ex->second.second) {
      modbus_reply_exception(ctx, r.query.data(), ex->second.first);
    } else if (u != m_units.end()) {
      modbus_reply(ctx, r.query.data(), static_cast<int>(r.query.size()), u->second->map);
    } else {
      // The gateway waits on the line for a unit that never answers.
      m_lineFree = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_lineHoldMs.load());
    }
  }
}

}  // namespace hvtest
