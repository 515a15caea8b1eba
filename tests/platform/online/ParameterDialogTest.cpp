#include <gtest/gtest.h>

#include "platform/Online.h"
#include "platform/online/ParameterForm.h"
#include "tests/support/OnlineTestSupport.h"

namespace {

void SetField(std::vector<hv::ParameterField>& fields, const char* key, const char* value) {
  for (auto& f : fields)
    if (f.key == key) f.value = value;
}

TEST(ParameterDialogs, DriverFormFromTheSchemaWithinCapacities) {
  hvtest::PluginInstall install({"TESTDEV.so"});
  hvtest::ScriptedUi ui;
  wxString slot, param = "host=127.0.0.9 port=1502";
  std::vector<wxString> seen;
  ui.Answer<hv::DriverParameterRequest>([&](hv::DriverParameterRequest& r) {
    for (const auto& f : r.fields) seen.push_back(f.key + "=" + f.value);
    EXPECT_EQ(r.displayName, "Modbus TCP");
    SetField(r.fields, "port", "502");
    SetField(r.fields, "wordorder", "cdab");
    return IDOK;
  });
  ASSERT_TRUE(hv::Vostrel_SelectDriverParameter(1031, "MBTCP.ndl", slot, 11, param, 256));
  EXPECT_EQ(seen, (std::vector<wxString>{"slot=TCP_0", "host=127.0.0.9", "port=1502", "units=1-247", "timeout=300",
                                         "wordorder=abcd"}));
  EXPECT_EQ(slot, "TCP_0");
  EXPECT_EQ(param, "host=127.0.0.9 port=502 units=1-247 timeout=300 wordorder=cdab");

  // Values the schema refuses, a text beyond the capacity and Cancel change nothing.
  const wxString keptSlot = slot, keptParam = param;
  for (auto bad : {std::pair<const char*, const char*>{"port", "70000"}, {"host", "10.0.0"}, {"wordorder", "xyz"},
                   {"timeout", "5"}, {"units", "1 2"}}) {
    ui.Answer<hv::DriverParameterRequest>([&](hv::DriverParameterRequest& r) {
      SetField(r.fields, bad.first, bad.second);
      return IDOK;
    });
    EXPECT_FALSE(hv::Vostrel_SelectDriverParameter(1031, "MBTCP.ndl", slot, 11, param, 256)) << bad.first;
  }
  ui.Answer<hv::DriverParameterRequest>([&](hv::DriverParameterRequest&) { return IDOK; });
  EXPECT_FALSE(hv::Vostrel_SelectDriverParameter(1031, "MBTCP.ndl", slot, 11, param, 20));
  ui.Answer<hv::DriverParameterRequest>([&](hv::DriverParameterRequest& r) {
    SetField(r.fields, "port", "1");
    return IDCANCEL;
  });
  EXPECT_FALSE(hv::Vostrel_SelectDriverParameter(1031, "MBTCP.ndl", slot, 11, param, 256));
  EXPECT_FALSE(hv::Vostrel_SelectDriverParameter(1031, "NOSUCH.ndl", slot, 11, param, 256));
  EXPECT_EQ(slot, keptSlot);
  EXPECT_EQ(param, keptParam);
}

TEST(ParameterDialogs, DeviceFormChecksTheNode) {
  hvtest::PluginInstall install({"TESTDEV.so"});
  hvtest::ScriptedUi ui;
  wxString node = "3", param = "/p/dev;;";
  ui.Answer<hv::DeviceParameterRequest>([](hv::DeviceParameterRequest& r) {
    EXPECT_EQ(r.deviceTitle, "TESTDEV");
    EXPECT_EQ(r.netDriver, "MBTCP");
    r.node = "247";
    r.param = "/p/dev;;127.168.0.7";
    return IDOK;
  });
  ASSERT_TRUE(hv::Vostrel_SelectDeviceParameter(1031, "MBTCP", "TCP_0", "TESTDEV.ddl", node, 11, param, 400));
  EXPECT_EQ(node, "247");
  EXPECT_EQ(param, "/p/dev;;127.168.0.7");
  for (const char* bad : {"0", "248", "x", "12345678901"}) {
    ui.Answer<hv::DeviceParameterRequest>([&](hv::DeviceParameterRequest& r) {
      r.node = bad;
      return IDOK;
    });
    EXPECT_FALSE(hv::Vostrel_SelectDeviceParameter(1031, "MBTCP", "TCP_0", "TESTDEV.ddl", node, 11, param, 400)) << bad;
  }
  EXPECT_EQ(node, "247");
}

}  // namespace
