#include <gtest/gtest.h>

#include "platform/Localization.h"
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

// The device's address is the parameter text's third field: the form shows it and writes
// it back there, the other fields as they were; a value that is no address changes nothing.
TEST(ParameterDialogs, DeviceFormEditsTheAddressInTheThirdField) {
  hvtest::PluginInstall install({"TESTDEV.so"});
  hvtest::ScriptedUi ui;
  wxString shown;
  auto run = [&](wxString param, const char* address) {
    ui.Answer<hv::DeviceParameterRequest>([&](hv::DeviceParameterRequest& r) {
      shown = "<none>";
      for (const auto& f : r.fields)
        if (f.key == "address") shown = f.value;
      SetField(r.fields, "address", address);
      return IDOK;
    });
    wxString node = "3";
    const bool ok = hv::Vostrel_SelectDeviceParameter(1031, "MBTCP", "TCP_0", "TESTDEV.ddl", node, 11, param, 400);
    return ok ? param : wxString("<refused> " + param);
  };
  EXPECT_EQ(run("CE_TCP;/p/sym.txt;10.0.0.1;x", "10.0.0.9:2121"), "CE_TCP;/p/sym.txt;10.0.0.9:2121;x");
  EXPECT_EQ(shown, "10.0.0.1");
  EXPECT_EQ(run(";/p/Panel", "192.168.0.5"), ";/p/Panel;192.168.0.5");
  EXPECT_EQ(shown, "");
  EXPECT_EQ(run("CE_TCP", "panel-7.local"), "CE_TCP;;panel-7.local");
  EXPECT_EQ(run(";/p/Panel;10.0.0.1", ""), ";/p/Panel");
  EXPECT_EQ(run(";/p/Panel", ""), ";/p/Panel");
  EXPECT_EQ(run("a;b;[fe80::1]:21", "[fe80::1]:21"), "a;b;[fe80::1]:21");
  for (const char* bad : {"10.0.0", "10.0.0.1;x", "10.0.0.1:0", "10.0.0.1:70000", "a b", "fe80::1", "/p/Panel",
                          "$$$DEVICEPATH$$$"})
    EXPECT_EQ(run("a;b;10.0.0.1", bad), "<refused> a;b;10.0.0.1") << bad;
}

}  // namespace

namespace {

// The forms and their complaints follow the interface language; a unit range must run
// upwards and stay within the field's bounds.
TEST(ParameterDialogs, FormsSpeakTheInterfaceLanguageAndRefuseReversedRanges) {
  auto fields = hv::ParseParameterSchema("units|Geräte-Ids|Unit ids|range|1-247|1|247|\nport|Port|Port|int|502|1|65535|\n");
  ASSERT_EQ(fields.size(), 2u);
  hv::ParameterField& units = fields[0];
  for (const char* good : {"1-247", "7", "1,3,5", "200-200"}) {
    units.value = good;
    EXPECT_EQ(hv::CheckParameterField(units), "") << good;
  }
  hv::ResetLanguage();
  for (const char* bad : {"7-3", "0-5", "1-248", "1-", "a-b", "1,,3"}) {
    units.value = bad;
    EXPECT_TRUE(hv::CheckParameterField(units).StartsWith(wxS("Geräte-Ids: Es wird ein Bereich"))) << bad;
  }
  fields[1].value = "x";
  EXPECT_EQ(hv::CheckParameterField(fields[1]), wxS("Port: Es wird eine Zahl benötigt"));
  EXPECT_EQ(units.Label(1031), wxS("Geräte-Ids"));

  ASSERT_TRUE(hv::InitMultiLanguage("Project", "ENG"));
  EXPECT_EQ(units.Label(1031), "Unit ids");
  // A key named twice keeps its first field (the parameter text holds one value per
  // key), and a key with a tab, which the text would split, is no field.
  const auto kept = hv::ParseParameterSchema("units|a|a|range|1-5|1|9|\nunits|b|b|text|x||\nti\tme|c|c|int|5||\n");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].defaultValue, "1-5");
  EXPECT_EQ(hv::CheckParameterField(fields[1]), "Port: a number is needed");
  units.value = "7-3";
  EXPECT_TRUE(hv::CheckParameterField(units).StartsWith("Unit ids: a range from 1 to 247")) << hv::CheckParameterField(units);
  hv::ResetLanguage();
}

}  // namespace
