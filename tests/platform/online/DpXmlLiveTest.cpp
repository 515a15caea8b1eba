// The exported Modbus TCP configuration and the program's live reads meet the same
// registers: a plain libmodbus client reading each exported address gets the value
// the online library shows for the data point.
#include <gtest/gtest.h>
#include <modbus/modbus.h>

#include <chrono>
#include <cstring>
#include <regex>

#include "model/DataPointXml.h"
#include "platform/Db4.h"
#include "platform/Online.h"
#include "platform/online/ModbusMap.h"
#include "tests/model/DpXmlFixture.h"
#include "tests/support/ModbusTestServer.h"
#include "tests/support/OnlineTestSupport.h"

namespace {

using namespace std::chrono_literals;
namespace mm = hv::modbus;

struct Tag {
  std::string name;
  unsigned address = 0;
  int table = 0;
  std::string type;
};

std::vector<Tag> Tags(const std::string& xml) {
  static const std::regex re("<tag><name>([^<]*)</name><address>0x([0-9a-f]+)</address><table>(\\d)</table>"
                             "<offset>\\d+</offset><datatype>(\\w+)</datatype></tag>");
  std::vector<Tag> tags;
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), re); it != std::sregex_iterator(); ++it)
    tags.push_back({(*it)[1], static_cast<unsigned>(std::stoul((*it)[2], nullptr, 16)), std::stoi((*it)[3]), (*it)[4]});
  return tags;
}

DWORD TypeCode(const std::string& name) {
  if (name == "BOOL") return hv::kDpBit;
  if (name == "I2") return hv::kDpWord;
  if (name == "UI2") return 16;
  if (name == "I4") return 32;
  if (name == "UI4") return 64;
  return hv::kDpFloat;
}

// What an independent client reads at the tag's register address.
wxString PlainRead(modbus_t* ctx, const Tag& tag) {
  const int offset = static_cast<int>(tag.address - tag.table * 65536u - 1);
  uint8_t bit = 0;
  uint16_t regs[2] = {};
  const int words = (tag.type == "I4" || tag.type == "UI4" || tag.type == "R4") ? 2 : 1;
  int rc = -1;
  switch (tag.table) {
    case 0: rc = modbus_read_bits(ctx, offset, 1, &bit); break;
    case 1: rc = modbus_read_input_bits(ctx, offset, 1, &bit); break;
    case 3: rc = modbus_read_input_registers(ctx, offset, words, regs); break;
    default: rc = modbus_read_registers(ctx, offset, words, regs); break;
  }
  if (rc < 0) return "<failed>";
  DWORD v = 0;
  if (tag.type == "BOOL") v = bit;
  else if (tag.type == "I2") v = static_cast<DWORD>(static_cast<std::int32_t>(static_cast<std::int16_t>(regs[0])));
  else if (tag.type == "UI2") v = regs[0];
  else v = mm::Join32(regs[0], regs[1], mm::WordOrder::ABCD);
  return hv::db4toa(v, TypeCode(tag.type));
}

TEST(DataPointXmlLive, EveryExportedTagReadsWhatTheOnlineLibraryShows) {
  hvtest::PluginInstall install({"TESTDEV.so"});
  ASSERT_TRUE(hv::Vostrel_Init());
  hvtest::ModbusTestServer server({3}, hvtest::ModbusTestServer::Mode::Normal, 0, hvtest::ModbusTestServer::Absent::Silent);
  server.SetRegister(3, 4, 0x3000, static_cast<std::uint16_t>(-321));
  server.Set32(3, 4, 0x3002, static_cast<std::uint32_t>(-70000), mm::WordOrder::ABCD);
  server.Set32(3, 4, 0x3004, mm::BitsFromFloat(21.5f), mm::WordOrder::ABCD);
  server.SetRegister(3, 3, 0x3006, 4711);
  server.SetBit(3, 0, 0x3000 + 4 * 32 + 5, true);
  server.Set32(3, 4, 0x300A, 123456, mm::WordOrder::ABCD);
  server.Set32(3, 4, 0x300C, 654321, mm::WordOrder::ABCD);
  server.SetBit(3, 1, 69, true);
  server.Set32(3, 3, 256, mm::BitsFromFloat(3.75f), mm::WordOrder::ABCD);

  hvtest::TempDir dir;
  const wxString folder = dir.Path() + "/dev";
  const auto points = hvtest::MappedPoints();
  hvtest::AddDataPoints(folder, 1, points);
  DpXmlSummary summary;
  const std::string xml =
      BuildDataPointsXml({{wxS("Panel"), wxS("ETHERNET"), wxS("MBTCP;TCP_0;127.0.0.1"), folder, 1}}, {}, summary);
  const auto tags = Tags(xml);
  ASSERT_EQ(tags.size(), 10u);

  ASSERT_TRUE(hv::Vostrel_SetDriverParameter(
      "MBTCP", "TCP_0", wxString::Format("host=127.0.0.1 port=%d timeout=300 wordorder=abcd", server.Port())));
  modbus_t* ctx = modbus_new_tcp("127.0.0.1", server.Port());
  ASSERT_NE(ctx, nullptr);
  modbus_set_slave(ctx, 3);
  ASSERT_EQ(modbus_connect(ctx), 0);
  size_t compared = 0;
  for (const auto& p : points) {
    // The tag of the point, or its first element; the live read shows the first element.
    const std::string escaped = DpXmlEscape(wxString::FromUTF8(p.name));
    const Tag* tag = nullptr;
    for (const Tag& t : tags)
      if (t.name == escaped || t.name == escaped + "[0]") tag = &t;
    ASSERT_NE(tag, nullptr) << p.name;
    const DWORD h = hv::Vostrel_RegisterDataPoint("MBTCP", "TCP_0", "TESTDEV", "3", ";;", p.address,
                                                  (DWORD(p.pickerAccess) << 16) | p.pickerAccess, 0, 0, 0, 0, p.type, 0);
    ASSERT_NE(h, 0u) << p.name;
    ASSERT_TRUE(hv::Vostrel_ActivateDataPoint(h, TRUE));
    char buf[16] = {};
    const auto r = hv::OnlineLibrary::Get().PollRead(h, buf, sizeof buf, 2000ms);
    hv::Vostrel_ClearDataPoint(h);
    ASSERT_TRUE(r.value) << p.name;
    DWORD v = 0;
    std::memcpy(&v, buf, 4);
    EXPECT_EQ(PlainRead(ctx, *tag), hv::db4toa(v, p.type)) << p.name;
    ++compared;
  }
  // The other array elements are where the server holds them.
  for (const Tag& t : tags) {
    if (t.name == "Reihe[1]") {
      EXPECT_EQ(PlainRead(ctx, t), "654321");
    }
  }
  modbus_close(ctx);
  modbus_free(ctx);
  EXPECT_EQ(compared, points.size());
}

}  // namespace
