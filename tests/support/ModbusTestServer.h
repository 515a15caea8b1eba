#pragma once
// A Modbus TCP server on 127.0.0.1 with a free port, run on its own thread, serving a
// set of unit ids (others get the gateway-target exception). Silent mode accepts
// connections but never answers (a dead peer); a reply delay makes a slow one.
#include <atomic>
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
  explicit ModbusTestServer(std::vector<int> units, Mode mode = Mode::Normal, int replyDelayMs = 0);
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
  int Requests() const { return m_requests.load(); }

  // A port on 127.0.0.1 where nobody listens.
  static int RefusedPort();

 private:
  void Run();
  struct Mapping;
  Mapping& UnitMapping(int unit);

  Mode m_mode;
  int m_delayMs;
  int m_port = 0;
  int m_listen = -1;
  void* m_ctx = nullptr;
  std::map<int, std::unique_ptr<Mapping>> m_units;
  mutable std::mutex m_mutex;
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_requests{0};
  std::thread m_thread;
};

}  // namespace hvtest
