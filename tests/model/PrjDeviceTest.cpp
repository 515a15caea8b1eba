// The device object: archive, list texts, placeholders, tools, capabilities, children,
// the current device and loading from the project folder.
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "framework/ImageListModel.h"
#include "app/MenuResources.h"
#include "model/ObjectFactory.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "tests/model/DeviceTestSupport.h"

using devtest::DeviceFixture;
using devtest::Named;
using devtest::NewDevice;
using hvtest::S;

namespace {

std::unique_ptr<CTool> Tool(const char* name, double version, std::initializer_list<const char*> drivers,
                            const char* guid = "") {
  auto tool = std::make_unique<CTool>();
  tool->name = name;
  tool->guid = guid;
  tool->version = version;
  tool->appName = wxString::Format("%s %.1f", name, version);
  for (const char* driver : drivers) tool->params.push_back(std::make_unique<CToolParam>("Set", driver, "-x"));
  return tool;
}

std::vector<wxString> Texts(const std::vector<CToolMenuEntry>& entries) {
  std::vector<wxString> out;
  for (const auto& e : entries) out.push_back(wxString::Format("%d %s", e.id, e.text));
  return out;
}

// The stored fields of a device in one line.
wxString Fields(const CPOPrjDevice& d) {
  return wxString::Format("%s|%u|%s|%s|%s|%s|%s|%s|%s|%d", d.GetName(), d.GetDeviceNumber(), d.GetDeviceDriver(),
                          d.GetDeviceParameters(), d.GetNetwork(), d.GetNetworkPara(), d.GetNode(), d.GetSlot(),
                          d.GetHardwareType(), d.GetFirmwareVersion());
}

}  // namespace

TEST_F(DeviceFixture, ArchiveCarriesNameNumberAndTheEightTexts) {
  NewDevice answers = Named("Panel");
  answers.parameters = "CAN_R515;;127.0.0.9";
  CPOPrjDevice* device = Create(answers);
  ASSERT_TRUE(device);
  hv::Archive out;
  WriteArchivedObject(out, *device);
  hv::Archive in(out.Bytes());
  std::unique_ptr<CProjectObject> object = ReadArchivedObject(in);
  auto* copy = dynamic_cast<CPOPrjDevice*>(object.get());
  ASSERT_TRUE(copy);
  EXPECT_EQ(in.Remaining(), 0u);
  EXPECT_EQ(Fields(*copy), "Panel|1|CAN_R515|CAN_R515;;127.0.0.9|MBTCP|127.168.0.10|M1|ETH_0|KOLM_G320|180");
  EXPECT_EQ(copy->GetDeviceFolder(), DeviceFolder("Panel"));
  CProjectObject::Discard(std::move(object));
  // A folder that Windows-1252 cannot hold travels whole.
  CPOPrjDevice other;
  other.SetDeviceFolder(S("/home/Zoë/Projekt ő/Panel"));
  hv::Archive wide;
  WriteArchivedObject(wide, other);
  hv::Archive back(wide.Bytes());
  std::unique_ptr<CProjectObject> read = ReadArchivedObject(back);
  ASSERT_TRUE(dynamic_cast<CPOPrjDevice*>(read.get()));
  EXPECT_EQ(static_cast<CPOPrjDevice*>(read.get())->GetDeviceFolder(), S("/home/Zoë/Projekt ő/Panel"));
  CProjectObject::Discard(std::move(read));
  // A short archive is refused, never read past its end.
  hv::Archive cut(out.Bytes().substr(0, out.Bytes().size() - 3));
  EXPECT_THROW(ReadArchivedObject(cut), hv::ArchiveException);
}

TEST_F(DeviceFixture, ListTextsAndOrder) {
  CPOPrjDevice* a = Create(Named("A", "KOLM_T420", "CAN_R515"));
  CPOPrjDevice* b = Create(Named("B", "CE_PANEL7", "CE_TCP"));
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->GetColumnText(0), "A");
  EXPECT_EQ(a->GetColumnText(1), "KOLM_T420");
  EXPECT_EQ(a->GetColumnText(2), "CAN_R515");   // the driver's display text
  b->SetHardwareType("kolm_t420");
  EXPECT_EQ(a->Compare(b, 1), 0);
  EXPECT_LT(a->Compare(b, 2), 0);
  EXPECT_LT(a->Compare(b, 0), 0);
  EXPECT_EQ(a->GetImage(), -1);   // the pictures of its hardware
  CPOPrjDevice bare;
  EXPECT_EQ(bare.GetImage(), 2);
  const std::pair<const char*, bool> panels[] = {{"kolm_x", true},   {"Combo1", true},  {"ce_panel12", true},
                                                 {"CTRL_515", false}, {"CE_PANE", false}, {"KOLM", false}};
  for (const auto& [type, panel] : panels) {
    bare.SetHardwareType(type);
    EXPECT_EQ(bare.IsPanelType() != FALSE, panel) << type;
  }
  EXPECT_FALSE(a->IsComboDevice());
  bare.SetDeviceDriver("COMBO167");
  EXPECT_TRUE(bare.IsComboDevice());
  // A device cannot be cut.
  CRecordingCmdUI cut(ID_DEVICE_CUT);
  a->OnCmdMsg(ID_DEVICE_CUT, CN_UPDATE_COMMAND_UI, &cut, nullptr);
  EXPECT_FALSE(cut.enabled);
}

TEST(PrjDevice, PlaceholdersAreExpandedInOnePass) {
  CTavProjectApp app;
  CPOPrjDevice device;
  device.SetNetwork("a%nb");
  device.SetSlot("CAN_0");
  device.SetNetworkPara("125k");
  device.SetDeviceDriver("CAN_R515");
  device.SetNode("M0");
  device.SetDeviceParameters("a;b;c;d");
  const std::pair<const char*, const char*> cases[] = {
      {"%p3", "c"},
      {"%p", "a;b;c;d"},
      {"%p1x", "ax"},
      {"%p9", ""},
      {"%p0", "a;b;c;d0"},
      {"%q|%s|%x|%d|%o", "|CAN_0|125k|CAN_R515|M0"},
      {"[%n]", "[a%nb]"},   // a value is never expanded again
      {"x%", "x"},
      {"100%%", "100"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(device.ExpandPlaceholders(in), out) << in;
  device.SetDeviceParameters("C:\\My%20Dir;x");
  EXPECT_EQ(device.ExpandPlaceholders("%p1"), "C:\\My%20Dir");
  app.m_languageCode = "ENG";
  EXPECT_EQ(device.ExpandPlaceholders("-l %l"), "-l EN");
  app.m_languageCode = "DEU";
  EXPECT_EQ(device.ExpandPlaceholders("-l %l"), "-l DE");
}

TEST_F(DeviceFixture, ToolsFitTheNetworkAndTheConfigurationsVersions) {
  NewDevice ce = Named("CE", "CE_PANEL7", "CE_TCP");
  CPOPrjDevice* panel = Create(ce);
  CPOPrjDevice* g320 = Create(Named("G320"));
  ASSERT_TRUE(panel && g320);
  CToolsRepository& tools = app.m_tools;
  tools.Add(Tool("TAVTERM", 1.2, {"MBTCP"}, "{TAVTERM}"));
  tools.Add(Tool("TAVTERM", 1.5, {"MBTCP"}, "{TAVTERM}"));    // excluded by the panel
  tools.Add(Tool("TAVTERM", 2.5, {"MBTCP"}, "{TAVTERM}"));    // above the panel's highest
  tools.Add(Tool("OTHER", 1.0, {"MBTCP"}));                    // not in any configuration
  tools.Add(Tool("TAVTERM", 1.0, {"SIMNET"}, "TAVTERM"));     // another network
  tools.Add(Tool("TavTerm", 2.0, {"mbtcp"}));                 // by registry name, any case
  EXPECT_EQ(Texts(panel->ListToolsForDevice(tools)), (std::vector<wxString>{"40000 TAVTERM 1.2", "40001 TavTerm 2.0"}));
  EXPECT_EQ(tools.GetAt(1)->menuCommandId, 0);
  // 0/0/0 accepts every version.
  EXPECT_EQ(Texts(g320->ListToolsForDevice(tools)),
            (std::vector<wxString>{"40000 TAVTERM 1.2", "40001 TAVTERM 1.5", "40002 TAVTERM 2.5", "40003 TavTerm 2.0"}));
  // Without a configuration no tool fits.
  CPOPrjDevice bare;
  bare.SetNetwork("MBTCP");
  EXPECT_TRUE(bare.ListToolsForDevice(tools).empty());

  // Ids end at the handled range.
  CToolsRepository many;
  for (int i = 0; i < 120; ++i) many.Add(Tool("TAVTERM", 1.0, {"MBTCP"}));
  const auto entries = g320->ListToolsForDevice(many);
  ASSERT_EQ(entries.size(), 101u);
  EXPECT_EQ(entries.back().id, kLastDeviceToolCommand);
  EXPECT_EQ(many.GetAt(119)->menuCommandId, 0);
}

TEST_F(DeviceFixture, ContextMenuShowsTheFittingToolsInPlaceOfTheMarker) {
  CPOPrjDevice* device = Create(Named("CE", "CE_PANEL7", "CE_TCP"));
  ASSERT_TRUE(device);
  std::optional<CMenu> menu = LoadContextMenu(IDR_MENU_PRJDEVICE);
  ASSERT_TRUE(menu);
  const int marker = menu->FindItemPosByText("<toolpopup1>");
  ASSERT_GE(marker, 0);
  const int count = menu->GetMenuItemCount();
  app.m_tools.Add(Tool("TAVTERM", 1.2, {"MBTCP"}));
  app.m_tools.Add(Tool("TAVTERM", 1.5, {"MBTCP"}));
  app.m_tools.Add(Tool("TAVTERM", 1.8, {"MBTCP"}));
  device->AdjustContextMenu(*menu);
  ASSERT_EQ(menu->GetMenuItemCount(), count + 1);
  EXPECT_EQ(menu->GetMenuItemID(marker), 40000u);
  EXPECT_EQ(menu->GetMenuString(marker), "TAVTERM 1.2");
  EXPECT_EQ(menu->GetMenuItemID(marker + 1), 40001u);
  EXPECT_EQ(menu->GetMenuString(marker + 1), "TAVTERM 1.8");

  // No fitting tool: no tool entry and no marker either.
  std::optional<CMenu> plain = LoadContextMenu(IDR_MENU_PRJDEVICE);
  device->SetNetwork("SIMNET");
  device->AdjustContextMenu(*plain);
  EXPECT_EQ(plain->GetMenuItemCount(), count - 1);
  EXPECT_EQ(plain->FindItemPosByText("<ToolPopup1>"), -1);

  // The views' pictures: added once per list, the common image without pictures.
  CImageList tree(16);
  const int first = device->AddImageToList(tree, IMAGELIST_TREE);
  EXPECT_GE(first, IMG_STRIP_COUNT);
  EXPECT_EQ(device->AddImageToList(tree, IMAGELIST_TREE), first);
  ASSERT_TRUE(tree.GetAdded(first));
  EXPECT_EQ(tree.GetAdded(first)->file, hv::JoinPath(device->GetDeviceFolder(), "Hardware/device_16.bmp"));
  CImageList large(32);
  EXPECT_EQ(large.GetAdded(device->AddImageToList(large, IMAGELIST_LARGE))->file,
            hv::JoinPath(device->GetDeviceFolder(), "Hardware/device_32.bmp"));
  CPOPrjDevice bare;
  EXPECT_EQ(bare.AddImageToList(tree, IMAGELIST_TREE), IMG_DEVICE);
}

TEST_F(DeviceFixture, ToolCommandStartsTheToolInTheDeviceFolder) {
  CPOPrjDevice* device = Create(Named("Panel"));
  ASSERT_TRUE(device);
  const wxString script = home.Sub("tool.sh");
  hvtest::WriteAll(script,
                   "#!/bin/sh\n"
                   "{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$HV_PROBE_OUT.part\"\n"
                   "mv \"$HV_PROBE_OUT.part\" \"$HV_PROBE_OUT\"\n");
  chmod(hv::ToFs(script).c_str(), 0755);
  const wxString out = home.Sub("probe.txt");
  setenv("HV_PROBE_OUT", hv::ToFs(out).c_str(), 1);
  auto tool = Tool("TAVTERM", 1.0, {});
  tool->executable = script;
  tool->params.push_back(std::make_unique<CToolParam>("Set", "MBTCP", "-n %n -a %p3 -l %l"));
  app.m_tools.Add(std::move(tool));
  ASSERT_EQ(device->ListToolsForDevice(app.m_tools).size(), 1u);
  device->OnCmdMsg(40000, CN_COMMAND, nullptr, nullptr);
  for (int i = 0; i < 500 && !hv::IsFile(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::vector<std::string> lines;
  std::ifstream in(hv::ToFs(out));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  char real[PATH_MAX];
  ASSERT_TRUE(realpath(hv::ToFs(device->GetDeviceFolder()).c_str(), real));
  EXPECT_EQ(lines, (std::vector<std::string>{real, "-n", "MBTCP", "-a", "127.0.0.7", "-l", "DE"}));
  unsetenv("HV_PROBE_OUT");
}

// The answers per type are the configuration's (checked there); the device hands it
// its folder, firmware and remote type: the controller borrows the remote panel's
// display and names a memory card module in "device.cfg".
TEST_F(DeviceFixture, ConfigurationIsTheDevicesOwn) {
  NewDevice answers = Named("CTRL_515", "CTRL_515", "CAN_R515");
  answers.remoteType = "KOLM_G320";
  CPOPrjDevice* ctrl = Create(answers);
  ASSERT_TRUE(ctrl);
  hvtest::WriteAll(hv::JoinPath(ctrl->GetDeviceFolder(), "device.cfg"), "[Extensions]\r\n0=CFEXT\r\n");
  int w = -1, h = -1;
  EXPECT_TRUE(ctrl->GetConfigAccess().GetDisplaySize(w, h));
  EXPECT_EQ(wxString::Format("%dx%d", w, h), "320x240");
  EXPECT_EQ(ctrl->GetConfigAccess().GetIOCount("DI"), 8);
  EXPECT_EQ(ctrl->GetConfigAccess().GetDisplayName(), S("KOLM G320 Remote-Panel & Tastatur"));
  EXPECT_TRUE(ctrl->GetConfigAccess().IsCFAvailable());
  EXPECT_GT(ctrl->GetConfigAccess().GetConfigVersion(), 0);
  // UseCF counts only where a card is possible.
  CPOPrjDevice* t420 = Create(Named("KOLM_T420", "KOLM_T420"));
  ASSERT_TRUE(t420->GetSettings().SetUseCF(1));
  EXPECT_FALSE(t420->UsesCF());
  EXPECT_TRUE(ctrl->GetSettings().SetUseCF(1));
  EXPECT_TRUE(ctrl->UsesCF());
  EXPECT_TRUE(ctrl->ExchangeUseCF(0));
  EXPECT_FALSE(ctrl->UsesCF());

  // Without its hardware folder: no configuration, the common picture and no offer.
  std::filesystem::remove_all(hv::ToFs(hv::JoinPath(ctrl->GetDeviceFolder(), "Hardware")));
  ctrl->CopyDevice(*ctrl);   // drops what was loaded
  EXPECT_FALSE(ctrl->GetConfigAccess().LoadDeviceConfig());
  EXPECT_FALSE(ctrl->GetConfigAccess().IsCFAvailable());
  EXPECT_EQ(ctrl->GetConfigAccess().GetConfigVersion(), 0);
  EXPECT_EQ(ctrl->GetImage(), 2);
  ctrl->LoadChildren();
  RunDeferred();
  EXPECT_TRUE(ui.MessageIds().empty());
}

TEST_F(DeviceFixture, ChildrenFollowTheFoldersAndAreKeptOnReload) {
  CPOPrjDevice* panel = Create(Named("Panel"));
  CPOPrjDevice* qx = Create(Named("QX", "CE_PANEL7", "CE_QX"));
  ASSERT_TRUE(panel && qx);
  // The QX device has resource files, but never a resources node.
  hvtest::WriteAll(hv::JoinPath(qx->GetDeviceFolder(), "Fonts/Standard.fnt"), "font");
  hvtest::WriteAll(hv::JoinPath(qx->GetDeviceFolder(), "bitmaps/Logo.bmp"), "BM");

  EXPECT_TRUE(panel->HasTreeChildren());
  EXPECT_FALSE(qx->HasTreeChildren());
  ASSERT_TRUE(panel->LoadChildren());
  ASSERT_TRUE(qx->LoadChildren());
  ASSERT_TRUE(panel->FindChildOfType(TypeCode::Resource));
  EXPECT_EQ(panel->FindChildOfType(TypeCode::Resource)->GetDevice(), panel);
  EXPECT_EQ(qx->GetChildCount(), 0u);
  EXPECT_FALSE(panel->FindChildOfType(TypeCode::HtmlFolder));
  EXPECT_GT(panel->GetTableTime(), 0);

  // A web folder appears; the resources node stays the same object.
  const ObjectSerial resources = panel->FindChildOfType(TypeCode::Resource)->GetSerial();
  hv::MakeFolders(hv::JoinPath(panel->GetDeviceFolder(), "Web"));
  ASSERT_TRUE(panel->LoadChildren());
  EXPECT_EQ(panel->FindChildOfType(TypeCode::Resource)->GetSerial(), resources);
  EXPECT_TRUE(panel->FindChildOfType(TypeCode::HtmlFolder));
  EXPECT_EQ(panel->FindChildOfType(TypeCode::HtmlFolder)->GetDevice(), panel);
}

TEST_F(DeviceFixture, CurrentDeviceIsRecordedWithItsProject) {
  CPOPrjDevice* device = Create(Named("Panel"));
  ASSERT_TRUE(device);
  EXPECT_TRUE(device->SetCurrentDevice());
  const hv::RegistryStore& reg = hv::RegistryStore::Get();
  EXPECT_EQ(reg.GetString(hv::kKeyProduct, "CurrentDevice").value_or(""), "Panel");
  EXPECT_EQ(reg.GetString(hv::kKeyProduct, "ProjectName").value_or(""), "Anlage");
  EXPECT_EQ(app.m_currentSelection, "Anlage/Panel");
}

TEST_F(DeviceFixture, ProjectLoadsItsDevicesFromRowAndSettings) {
  NewDevice answers = Named("Panel", "CE_PANEL7", "CE_TCP");
  answers.remoteType = "";
  answers.firmware = 151;
  ASSERT_TRUE(Create(answers));
  hvtest::WriteAll(hv::JoinPath(DeviceFolder("Panel"), "CoDeSys/plc.SYM"), "sym");
  project->DeleteAllChildren();
  ASSERT_TRUE(project->LoadChildren());
  CPOPrjDevice* device = Find("Panel");
  ASSERT_TRUE(device);
  EXPECT_EQ(device->GetDeviceFolder(), DeviceFolder("Panel"));
  EXPECT_EQ(Fields(*device), "Panel|1|CE_TCP|CAN_R515;" + DeviceFolder("Panel") +
                                 "\\CoDeSys\\plc.sym;127.0.0.7|MBTCP|127.168.0.10|M1|ETH_0|CE_PANEL7|151");
  EXPECT_EQ(device->GetSymbolFolder(), hv::JoinPath(DeviceFolder("Panel"), "CoDeSys/plc.SYM"));
  // A folder whose table has no row of its name is no device.
  hv::MakeFolders(DeviceFolder("Leer"));
  hvtest::WriteAll(hv::JoinPath(DeviceFolder("Leer"), "DEVICE.SET"), "[Config]\r\n");
  EXPECT_FALSE(LoadProjectDevice(*project, DeviceFolder("Leer")));
}

TEST_F(DeviceFixture, CopyDropsTheConfigurationAndLeavesTheWorkingFields) {
  CPOPrjDevice* device = Create(Named("Panel"));
  ASSERT_TRUE(device);
  ASSERT_TRUE(device->GetConfigAccess().LoadDeviceConfig());
  CPOPrjDevice copy;
  copy.SetWorkingParameters("w");
  copy.CopyDevice(*device);
  EXPECT_EQ(copy.GetWorkingParameters(), "w");
  EXPECT_EQ(copy.GetDeviceFolder(), device->GetDeviceFolder());
  EXPECT_EQ(copy.GetParent(), project);
  EXPECT_FALSE(copy.GetConfigAccess().IsLoaded());
  device->CopyDevice(*device);
  EXPECT_FALSE(device->GetConfigAccess().IsLoaded());
  EXPECT_EQ(device->GetName(), "Panel");
}
