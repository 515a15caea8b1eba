#pragma once
// A Modbus TCP server on 127.0.0.1 with a free port, run on its own thread, serving a
// set of unit ids. By default absent units get the gateway-target exception; as strict
// as many real servers and gateways it can instead stay silent for them and drop every
// frame that arrives while it still waits on such a unit. Silent mode accepts
// connections but never answers (a dead peer); a reply delay makes a slow one; Stop()
// closes the server, so later connections are refused.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/online/ModbusMap.h"

namespace hvtest {

class ModbusTestServer {
 public:
  enum class Mode { Normal, Silent };
  // How the server treats a unit id it does not serve.
  enum class Absent { Exception, Silent, SilentDropQueued };
  explicit ModbusTestServer(std::vector<int> units, Mode mode = Mode::Normal, int replyDelayMs = 0,
                            Absent absent = Absent::Exception, int holdMs = 100);
  ~ModbusTestServer();
  ModbusTestServer(const ModbusTestServer&) = delete;
  ModbusTestServer& operator=(const ModbusTestServer&) = delete;

  int Port() const { return m_port; }
  // table 0 coils, 1 discrete inputs, 3 input registers, 4 holding registers.
  void SetBit(int unit, int table, int address, bool value);
  void SetRegister(int unit, int table, int address, std::uint16_t value);
  void Set32(int unit, int table, int address, std::uint32_t value, hv::modbus::WordOrder order);
  void SetText(int unit, int table, int address, const std::string& text);
  // Identity block at holding register 0xF000: type (16 registers), hardware (8), firmware.
  void SetIdentity(int unit, const std::string& type, const std::string& hardware, std::uint16_t firmware);
  // Every request to the unit at or above `fromAddress` is answered with this exception.
  void SetException(int unit, std::uint8_t code, int fromAddress = 0);
  // Serves only `count` elements of each table per unit (0 to count-1), as small devices
  // do: a request past them gets the illegal-data-address exception, and there is no
  // identity block (it would lie at 0xF000). Drops the values set so far.
  void LimitMap(int count);
  // Closes each connection when its next request arrives (a dead link).
  void CloseOnRequest(bool on) { m_closeOnRequest = on; }
  // Serves the first connection only; later ones wait in the listen queue, never read.
  void ServeFirstOnly(bool on) { m_firstOnly = on; }
  // Closes every connection and the listening socket.
  void Stop();
  // A gateway with one serial line behind it: the requests of every connection are
  // taken one at a time in arrival order, and a unit that is not served holds the line
  // silently for `holdMs`, so every connection waits behind it. Set before connecting.
  void SerialLine(int holdMs) { m_lineHoldMs = holdMs; }
  // At most `n` connections at a time; a further one is accepted and closed at once.
  void AcceptOnly(int n) { m_acceptOnly = n; }
  // Requests that came with the transaction id of the request before them on their connection.
  int RepeatedIds() const { return m_repeatedIds.load(); }

  int Requests() const { return m_requests.load(); }
  // Frames dropped because they arrived while the server still waited on a silent one.
  int Dropped() const { return m_dropped.load(); }
  // Requests that found another request already queued behind them on the connection.
  int Pipelined() const { return m_pipelined.load(); }
  // Most connections open at one time.
  int MostConnections() const { return m_mostConnections.load(); }

  // A port on 127.0.0.1 where nobody listens.
  static int RefusedPort();

 private:
  void Run();
  struct LineRequest;
  // Serial-line mode: queues a request; answers queued ones while the line is free.
  void QueueOnLine(int socket, const std::uint8_t* query, int length);
  void ServeLine(const std::map<int, std::chrono::steady_clock::time_point>& open);
  void NoteTransactionId(int socket, const std::uint8_t* query);
  struct Mapping;
  Mapping& UnitMapping(int unit);

  Mode m_mode;
  int m_delayMs;
  Absent m_absent;
  int m_holdMs;
  int m_port = 0;
  int m_listen = -1;
  void* m_ctx = nullptr;
  std::map<int, std::unique_ptr<Mapping>> m_units;
  std::map<int, std::pair<std::uint8_t, int>> m_exceptions;
  mutable std::mutex m_mutex;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_closeOnRequest{false};
  std::atomic<bool> m_firstOnly{false};
  std::atomic<int> m_requests{0}, m_dropped{0}, m_pipelined{0}, m_mostConnections{0};
  std::thread m_thread;
  std::atomic<int> m_lineHoldMs{0}, m_acceptOnly{0}, m_repeatedIds{0};
  std::vector<LineRequest> m_line;                   // serial line: waiting requests
  std::chrono::steady_clock::time_point m_lineFree;  // serial line: held until then
  std::map<int, int> m_lastIds;                      // socket -> transaction id of its last request
};

}  // namespace hvtest
