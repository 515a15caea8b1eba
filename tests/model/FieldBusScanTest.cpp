// The network's "Autoscan" end to end: a bus on 127.0.0.1 (Modbus TCP) or a simulated
// one, the offer of what was found, and the device row that the pick writes.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/Paths.h"
#include "platform/online/ScanFile.h"
#include "tests/model/FieldBusTestSupport.h"
#include "tests/support/ModbusTestServer.h"

namespace {

using namespace std::chrono_literals;
using fbtest::FieldBusFixture;
using hvtest::ModbusTestServer;

wxString Mbtcp(int port, const char* extra = "units=1-8") {
  return wxString::Format("host=127.0.0.1 port=%d timeout=300 %s", port, extra);
}

struct Autoscan : FieldBusFixture {
  // Scripts the scan dialog and the add dialog: picks the entry of `node`.
  void PickAfterScan(const wxString& node, std::vector<wxString>* offered, std::vector<wxString>* left) {
    ui.Answer<hv::AutoscanRequest>([](hv::AutoscanRequest& r) { return RunScan(r); });
    ui.Answer<hv::AddScannedDevicesRequest>([=, this](hv::AddScannedDevicesRequest& r) {
      hv::AddScannedDevicesController c(r);
      if (!c.Refresh()) return IDCANCEL;
      for (const hv::ScanEntry& e : c.Found()) offered->push_back(e.node);
      for (size_t i = 0; i < c.Found().size(); ++i)
        if (c.Found()[i].node == node) {
          AnswerDevice(wxS("Gefunden"), {});
          EXPECT_TRUE(c.Add(i));
          break;
        }
      for (const hv::ScanEntry& e : c.Found()) left->push_back(e.node);
      return IDOK;
    });
  }
};

TEST_F(Autoscan, ModbusUnitsFoundPickedAndStored) {
  ModbusTestServer server({1, 3, 5}, ModbusTestServer::Mode::Normal, 0, ModbusTestServer::Absent::SilentDropQueued, 100);
  server.SetIdentity(1, "TESTDEV", "TESTDEV", 152);
  server.SetIdentity(3, "CTRL_515", "CTRL_515/B", 203);
  server.SetIdentity(5, "TESTDEV", "TESTDEV", 105);
  CPONetwork* net = AddNetwork("Feldbus", "MBTCP", Mbtcp(server.Port()));
  ASSERT_NE(net, nullptr);

  std::vector<wxString> offered, left;
  PickAfterScan("3", &offered, &left);
  net->OnAutoscan();
  EXPECT_EQ(offered, (std::vector<wxString>{"1", "3", "5"}));
  EXPECT_EQ(left, (std::vector<wxString>{"1", "5"}));

  const auto rows = Rows("GERAET");
  const auto it = std::find_if(rows.begin(), rows.end(), [](const fbtest::Row& r) { return r.at("BEZEICH") == "Gefunden"; });
  ASSERT_NE(it, rows.end());
  EXPECT_EQ(it->at("KNOTEN"), "3");
  EXPECT_EQ(it->at("TYP"), "CTRL_515");
  EXPECT_EQ(it->at("NNR"), std::to_string(net->GetNumber()));
  EXPECT_EQ(it->at("TEXT2"), "2.03");
  EXPECT_EQ(it->at("TEXT1"), "CTRL_515/B");

  // A second scan no longer offers the unit that is now a device of the network.
  offered.clear();
  left.clear();
  PickAfterScan("none", &offered, &left);
  net->OnAutoscan();
  EXPECT_EQ(offered, (std::vector<wxString>{"1", "5"}));
}

TEST_F(Autoscan, SimulatedBusFromItsFile) {
  const wxString sim = home.Sub("sim.ini");
  // A progress text past the status buffer, with a two-byte character across its end.
  const std::string longText = std::string(98, 'x') + "\xc3\xa4";
  hvtest::WriteAll(sim,
                   "[Network]\nScanDelayMs=20\nProgressText=" + longText + "\n"
                   "[Device 2]\nType=TESTDEV\nHardware=TESTDEV\nFirmware=110\nIP=127.0.0.2\n"
                   "[Device 4]\nType=CTRL_515\nHardware=CTRL_515\nFirmware=120\n");
  CPONetwork* net = AddNetwork("Sim", "SIMNET", "file=" + sim);
  ASSERT_NE(net, nullptr);
  std::vector<wxString> offered, left, statuses;
  ui.Answer<hv::AutoscanRequest>([&](hv::AutoscanRequest& r) { return RunScan(r, &statuses); });
  ui.Answer<hv::AddScannedDevicesRequest>([&, this](hv::AddScannedDevicesRequest& r) {
    hv::AddScannedDevicesController c(r);
    EXPECT_TRUE(c.Refresh());
    for (const hv::ScanEntry& e : c.Found()) offered.push_back(e.node);
    AnswerDevice(wxS("Sim2"), {});
    EXPECT_TRUE(c.Add(0));
    return IDOK;
  });
  net->OnAutoscan();
  EXPECT_EQ(offered, (std::vector<wxString>{"2", "4"}));
  EXPECT_GE(statuses.size(), 2u);   // "Initialisierung" and the library's progress
  // Cut before the character that does not fit, never to nothing.
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), wxString(std::string(98, 'x'))), statuses.end());
  for (const wxString& s : statuses) EXPECT_FALSE(s.empty());
  const auto rows = Rows("GERAET");
  const auto it = std::find_if(rows.begin(), rows.end(), [](const fbtest::Row& r) { return r.at("BEZEICH") == "Sim2"; });
  ASSERT_NE(it, rows.end());
  EXPECT_EQ(it->at("KNOTEN"), "2");
  EXPECT_EQ(it->at("TEXT2"), "1.10");
}

// A peer that never answers and one slower than the time-out: the scan says that no
// device answered. A refused connection is named. Nothing is added either way.
TEST_F(Autoscan, DeadRefusedAndSlowPeersEndQuicklyAndChangeNothing) {
  ModbusTestServer silent({1}, ModbusTestServer::Mode::Silent);
  ModbusTestServer slow({1}, ModbusTestServer::Mode::Normal, 1500);
  const struct {
    const char* what;
    int port;
    UINT message;
  } peers[] = {{"dead", silent.Port(), 14253}, {"refused", ModbusTestServer::RefusedPort(), 14250}, {"timeout", slow.Port(), 14253}};
  int k = 0;
  for (const auto& p : peers) {
    CPONetwork* net = AddNetwork(wxString::Format("Netz%d", ++k), "MBTCP", Mbtcp(p.port, "units=1-3"));
    ASSERT_NE(net, nullptr) << p.what;
    const std::string before = TableBytes("GERAET");
    std::vector<wxString> offered, left;
    PickAfterScan("1", &offered, &left);
    ui.ExpectMessage(p.message);
    const auto start = std::chrono::steady_clock::now();
    net->OnAutoscan();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << p.what;
    EXPECT_TRUE(ui.AllExpectationsMet()) << p.what;
    EXPECT_TRUE(offered.empty()) << p.what;
    EXPECT_EQ(TableBytes("GERAET"), before) << p.what;
  }
}

// Units 1, 7 and 200 on a server silent for every other id: all three are offered, the
// one without an identity block as an unknown device that takes its type by hand. When
// the server is gone, the next scan names the refused connection and offers nothing of
// the earlier result.
TEST_F(Autoscan, StrictServerOffersEveryUnitAndAStoppedOneNothing) {
  ModbusTestServer server({1, 7, 200}, ModbusTestServer::Mode::Normal, 0, ModbusTestServer::Absent::SilentDropQueued, 30);
  server.SetIdentity(1, "TESTDEV", "TESTDEV", 152);
  server.SetIdentity(200, "CTRL_515", "CTRL_515/B", 203);
  CPONetwork* net = AddNetwork("Feldbus", "MBTCP", wxString::Format("host=127.0.0.1 port=%d timeout=100 units=1-247", server.Port()));
  ASSERT_NE(net, nullptr);
  std::vector<wxString> offered, left, texts;
  ui.Answer<hv::AutoscanRequest>([](hv::AutoscanRequest& r) { return RunScan(r); });
  ui.Answer<hv::AddScannedDevicesRequest>([&, this](hv::AddScannedDevicesRequest& r) {
    hv::AddScannedDevicesController c(r);
    if (!c.Refresh()) return IDCANCEL;
    for (const hv::ScanEntry& e : c.Found()) offered.push_back(e.node);
    texts = c.FoundTexts();
    // The unknown unit: the sheet starts without a type and keeps the scanned node.
    ui.Answer<hv::DeviceSheetRequest>([](hv::DeviceSheetRequest& s) {
      EXPECT_EQ(s.device->GetDeviceType(), "");
      hv::DeviceGeneralController g(s);
      g.Init();
      for (size_t i = 0; i < s.drivers.size(); ++i)
        if (s.drivers[i].title == "TESTDEV") g.SelectDriver(static_cast<int>(i));
      EXPECT_EQ(s.device->GetNode(), "7");
      return g.Accept(wxS("Unbekannt7")) ? IDCANCEL : IDOK;
    });
    EXPECT_TRUE(c.Add(1));
    return IDOK;
  });
  net->OnAutoscan();
  EXPECT_EQ(offered, (std::vector<wxString>{"1", "7", "200"}));
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1], hv::FoundDeviceText("7", wxS("Unbekanntes Gerät")));
  const auto rows = Rows("GERAET");
  const auto it = std::find_if(rows.begin(), rows.end(), [](const fbtest::Row& r) { return r.at("BEZEICH") == "Unbekannt7"; });
  ASSERT_NE(it, rows.end());
  EXPECT_EQ(it->at("KNOTEN"), "7");
  EXPECT_EQ(server.Pipelined(), 0);

  server.Stop();
  offered.clear();
  ui.ExpectMessage(14250);
  net->OnAutoscan();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(offered.empty());
}

// A gateway with one serial line that takes two connections and closes further ones,
// silent for absent units: every unit is found, each asked once, and the closed
// connections end nothing.
TEST_F(Autoscan, GatewayOfTwoConnectionsOnOneLineHasEveryUnitFound) {
  ModbusTestServer gateway({1, 7, 200}, ModbusTestServer::Mode::Normal, 0, ModbusTestServer::Absent::Silent);
  gateway.SerialLine(4);
  gateway.AcceptOnly(2);
  gateway.SetIdentity(200, "CTRL_515", "CTRL_515/B", 203);
  CPONetwork* net = AddNetwork("Gateway", "MBTCP", wxString::Format("host=127.0.0.1 port=%d timeout=40 units=1-247", gateway.Port()));
  ASSERT_NE(net, nullptr);
  std::vector<wxString> offered, left;
  PickAfterScan("none", &offered, &left);
  net->OnAutoscan();
  EXPECT_EQ(offered, (std::vector<wxString>{"1", "7", "200"}));
  EXPECT_EQ(gateway.Requests(), 247);
  EXPECT_EQ(gateway.RepeatedIds(), 0);
  EXPECT_EQ(gateway.Pipelined(), 0);
}

TEST_F(Autoscan, EndOfScanMustBeTheWholeText) {
  // A driver that cannot be initialised ends at once with its message.
  hv::AutoscanRequest r;
  r.driver = "NODRIVER";
  r.resultFile = home.Sub("SCAN1.OUT");
  ui.ExpectMessage(10082);
  EXPECT_EQ(RunScan(r), IDCANCEL);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(Autoscan, FoundListSkipsKnownNodesAndKeepsLongNodesWhole) {
  CPONetwork* net = AddNetwork("Netz", "MBTCP", Mbtcp(1));
  ASSERT_NE(net, nullptr);
  ASSERT_NE(AddDevice(*net, "Da", "7"), nullptr);
  const wxString file = hv::ScanFilePath(device->GetDeviceFolder(), net->GetNumber());
  hvtest::WriteAll(file, hv::FormatScanBlock("7", "TESTDEV", {}) +
                             hv::FormatScanBlock("127.168.100.1", "TESTDEV", {"IP=127.168.100.1"}) +
                             hv::FormatScanBlock("127.168.100.2", "TESTDEV", {"IP=127.168.100.2"}));
  hv::AddScannedDevicesRequest r;
  r.network = net;
  r.resultFile = file;
  hv::AddScannedDevicesController c(r);
  ASSERT_TRUE(c.Refresh());
  ASSERT_EQ(c.Found().size(), 2u);
  EXPECT_EQ(c.Found()[0].node, "127.168.100.1");
  EXPECT_EQ(c.Found()[1].node, "127.168.100.2");
  EXPECT_EQ(c.Existing().size(), 1u);
  // Eleven characters do not fit the node field: refused, not cut into a clash.
  ui.ExpectMessage(11302);
  EXPECT_FALSE(c.Add(0));
  EXPECT_TRUE(ui.AllExpectationsMet());

  hv::AddScannedDevicesRequest missing;
  missing.network = net;
  missing.resultFile = home.Sub("none/SCAN9.OUT");
  hv::AddScannedDevicesController m(missing);
  ui.ExpectMessage(10248);
  EXPECT_FALSE(m.Refresh());
}

TEST_F(Autoscan, SelectionRenamesOldTypesAndShowsDisplayNames) {
  const wxString file = home.Sub("SCAN3.OUT");
  hvtest::WriteAll(file, "[127.0.0.1]\r\nKOLM_p303\r\nHW-1/2\r\n\r\nline3\r\nIP=127.0.0.1\r\nFW-Version : 1.00\r\nsixth\r\n"
                         "[2]\r\nTESTDEV\r\n");
  hv::SelectDeviceRequest r;
  r.scanFile = file;
  hv::SelectDeviceController c(r);
  ASSERT_TRUE(c.Init());
  ASSERT_EQ(r.texts.size(), 2u);
  EXPECT_EQ(r.texts[0], "127.0.0.1   Zorva P303");
  EXPECT_EQ(r.texts[1], "2           Test Device");
  EXPECT_EQ(r.selected, 0);
  EXPECT_EQ(r.type, "zorva_P303");
  EXPECT_EQ(r.node, "127.0.0.1");
  EXPECT_EQ(r.hardware, "HW_1/2");
  EXPECT_EQ(r.line2, "");
  EXPECT_EQ(r.line3, "line3");
  EXPECT_EQ(r.ip, "127.0.0.1");
  EXPECT_EQ(c.Details(), "HW-1/2\nline3\nIP=127.0.0.1\nFW-Version : 1.00");
  // A hardware line is no path: the picture is not looked for outside the hardware folder.
  EXPECT_EQ(c.PicturePath(), "");
  c.Select(1);
  EXPECT_EQ(r.type, "TESTDEV");
  c.Select(5);
  EXPECT_EQ(r.selected, -1);
  EXPECT_EQ(r.node, "");
}

}  // namespace

namespace {

// The field-bus device sheet offers "&Autoscan" when the PC hangs on the device's own
// network; the chosen device's type, node and address go into the new device.
TEST_F(Autoscan, DeviceSheetScansThroughThePcConnection) {
  const wxString sim = home.Sub("sim.ini");
  hvtest::WriteAll(sim, "[Device 4]\nType=TESTDEV\nHardware=TESTDEV\nFirmware=120\nIP=127.0.0.4\n");
  device->SetNetwork("SIMNET");
  device->SetSlot("S0");
  device->SetNetworkPara("file=" + sim);
  CPONetwork* attached = AddNetwork("Sim", "SIMNET", "file=" + sim, "S0");
  CPONetwork* other = AddNetwork("Anderes", "SIMNET", "file=" + sim, "S1");
  ASSERT_TRUE(attached && other);
  ui.Answer<hv::AutoscanRequest>([](hv::AutoscanRequest& r) { return RunScan(r); });
  ui.Answer<hv::SelectDeviceRequest>([](hv::SelectDeviceRequest& r) {
    hv::SelectDeviceController c(r);
    if (!c.Init()) return static_cast<int>(IDCANCEL);
    c.Select(0);
    return static_cast<int>(IDOK);
  });
  bool offered = true;
  ui.Answer<hv::DeviceSheetRequest>([&](hv::DeviceSheetRequest& r) {
    hv::DeviceGeneralController c(r);
    c.Init();
    offered = c.CanAutoscan();
    if (!offered) return static_cast<int>(IDCANCEL);
    EXPECT_TRUE(c.Autoscan());
    EXPECT_EQ(r.device->GetNode(), "4");
    EXPECT_EQ(r.device->GetDeviceType(), "TESTDEV");
    EXPECT_TRUE(r.device->GetParameter().EndsWith(";127.0.0.4")) << r.device->GetParameter();
    return c.Accept(wxS("Gescannt")) ? static_cast<int>(IDCANCEL) : static_cast<int>(IDOK);
  });
  CPODevice maker;
  EXPECT_FALSE(maker.CreateNew(other, device, nullptr));
  EXPECT_FALSE(offered);
  EXPECT_TRUE(maker.CreateNew(attached, device, nullptr));
  EXPECT_TRUE(offered);
  const auto rows = Rows("GERAET");
  const auto it = std::find_if(rows.begin(), rows.end(), [](const fbtest::Row& r) { return r.at("BEZEICH") == "Gescannt"; });
  ASSERT_NE(it, rows.end());
  EXPECT_EQ(it->at("KNOTEN"), "4");
}

}  // namespace

namespace {

// A found panel whose type the device sheet cannot offer opens the sheet without a type,
// keeping the scanned node and address: picking a driver completes it.
TEST_F(Autoscan, AFoundPanelGivesASheetThatCanBeCompleted) {
  const wxString sim = home.Sub("sim.ini");
  hvtest::WriteAll(sim, "[Network]\nScanDelayMs=5\n[Device 6]\nType=KOLM_G320\nHardware=KOLM_G320\nFirmware=152\nIP=127.0.0.6\n");
  CPONetwork* net = AddNetwork("Sim", "SIMNET", "file=" + sim);
  ASSERT_NE(net, nullptr);
  ui.Answer<hv::AutoscanRequest>([](hv::AutoscanRequest& r) { return RunScan(r); });
  ui.Answer<hv::AddScannedDevicesRequest>([&](hv::AddScannedDevicesRequest& r) {
    hv::AddScannedDevicesController c(r);
    EXPECT_TRUE(c.Refresh());
    ui.Answer<hv::DeviceSheetRequest>([](hv::DeviceSheetRequest& s) {
      EXPECT_EQ(s.device->GetDeviceType(), "");
      hv::DeviceGeneralController g(s);
      g.Init();
      for (size_t i = 0; i < s.drivers.size(); ++i)
        if (s.drivers[i].title == "TESTDEV") g.SelectDriver(static_cast<int>(i));
      EXPECT_EQ(s.device->GetNode(), "6");
      EXPECT_EQ(s.device->GetParameter(), ";;127.0.0.6");
      return g.Accept(wxS("Panel6")) ? static_cast<int>(IDCANCEL) : static_cast<int>(IDOK);
    });
    EXPECT_TRUE(c.Add(0));
    return static_cast<int>(IDOK);
  });
  net->OnAutoscan();
  const auto rows = Rows("GERAET");
  const auto it = std::find_if(rows.begin(), rows.end(), [](const fbtest::Row& r) { return r.at("BEZEICH") == "Panel6"; });
  ASSERT_NE(it, rows.end());
  EXPECT_EQ(it->at("KNOTEN"), "6");
  EXPECT_EQ(it->at("TYP"), "TESTDEV");
}

}  // namespace
