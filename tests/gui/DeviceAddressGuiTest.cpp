// A panel's IP address in the real window: set with "..." on the general page of the
// device's settings, in the device driver's dialog, it is where the web pages go by FTP
// and what the data-point export writes. Without one, sending says where it is set.
#include <gtest/gtest.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <string>
#include <string_view>

#include "app/ui/Dialogs.h"
#include "framework/CommandIds.h"
#include "model/DataPointExchange.h"
#include "model/PrjDevice.h"
#include "platform/online/DeviceAddress.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "resources/ResourceCommands.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/model/DpXmlFixture.h"
#include "tests/support/FtpTestServer.h"

namespace {

using namespace std::chrono_literals;
using hvtest::ChildNamed;
using hvtest::S;

enum { kDriverSettings = 1070 };

// The text fields of a dialog and the label before each, in their order.
struct Field {
  wxString label;
  wxTextCtrl* edit;
};
std::vector<Field> Fields(wxWindow* dlg) {
  std::vector<Field> out;
  wxString label;
  for (wxWindow* child : dlg->GetChildren()) {
    if (auto* text = dynamic_cast<wxStaticText*>(child)) label = text->GetLabel();
    if (auto* edit = dynamic_cast<wxTextCtrl*>(child)) out.push_back({label, edit});
  }
  return out;
}

class DeviceAddressGui : public hvtest::ProjectWindowFixture {
 protected:
  void SetUp() override {
    RegisterAppDialogs();   // as the program does at start-up
    project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
    Open();
    ui.AllowAnyMessage();   // the device's late notices
    AnswerNewDevice({S("Panel"), S("CE_PANEL7"), S("CE_TCP"), S("MBTCP")});
    ASSERT_TRUE(SelectInTree(project) && RunInTree(ID_OBJECT_NEW));
    hvtest::PumpUntilIdle();
    panel = dynamic_cast<CPOPrjDevice*>(ChildNamed(project, S("Panel")));
    ASSERT_TRUE(panel);
    RegisterAppDialogs();   // the real device sheet from here on
    hvtest::WriteAll(hv::ResolvePath(panel->GetDeviceFolder()) + "/Web/index.htm", "<html>Halle</html>");
    panel->GetSettings().WriteConfigString("FtpUsername", "dev");
    panel->GetSettings().WriteConfigString("FtpPassword", "pw");
    panel->LoadChildren();   // finds the web folder written above
  }

  // "Zum Gerät schreiben" on the device's web folder.
  void SendWebFolder() {
    CProjectObject* web = ChildNamed(panel, S("Web-Dateien"));
    ASSERT_TRUE(web);
    ASSERT_TRUE(SelectInTree(web));
    RunInTree(ID_RES_SEND_TO_DEVICE);
    ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 30s));
    hvtest::PumpUntilIdle();
  }

  CPOProject* project = nullptr;
  CPOPrjDevice* panel = nullptr;
  hvtest::DialogScripts user;
};

TEST_F(DeviceAddressGui, TheAddressSetInTheDriverDialogIsWhereFilesGoAndWhatTheExportWrites) {
  hvtest::TempDir ftpRoot;
  hvtest::FtpTestServer server(ftpRoot.Path());
  ASSERT_GT(server.Port(), 0);
  panel->SetDeviceParameters("CE_TCP;$$$DEVICEPATH$$$/panel.sym;;9");   // the later fields are kept

  // "Ändern" on the device, "..." beside the driver, node and address typed, OK twice.
  std::vector<Field> fields;
  wxString problem;
  user.Then([](wxDialog* sheet) {
    hvtest::ClickOn(sheet->FindWindow(kDriverSettings));
    hvtest::ClickOn(sheet->FindWindow(wxID_OK));
  });
  user.Then([&](wxDialog* params) {
    fields = Fields(params);
    ASSERT_EQ(fields.size(), 2u);
    hvtest::SaveScreenshot(params, "device-driver-address");
    ASSERT_TRUE(hvtest::TypeInto(fields[0].edit, "3"));
    ASSERT_TRUE(hvtest::TypeInto(fields[1].edit, "10.0.0"));   // refused: the dialog stays
    hvtest::ClickOn(params->FindWindow(wxID_OK));
    EXPECT_TRUE(params->IsModal());
    // The reason shows whole, the dialog grown to it.
    for (wxWindow* child : params->GetChildren())
      if (auto* text = dynamic_cast<wxStaticText*>(child); text && text->GetLabel().StartsWith(S("IP-Adresse: "))) {
        problem = text->GetLabel();
        EXPECT_GE(text->GetSize().x, text->GetBestSize().x);
        EXPECT_LE(text->GetRect().GetRight(), params->GetClientSize().x);
      }
    ASSERT_TRUE(hvtest::TypeInto(fields[1].edit, server.Address()));
    hvtest::ClickOn(params->FindWindow(wxID_OK));
  });
  ASSERT_TRUE(SelectInTree(panel));
  ASSERT_TRUE(RunInTree(ID_DEVICE_EDIT));
  ASSERT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 30s));
  hvtest::PumpUntilIdle();
  EXPECT_EQ(user.unexpected, 0);
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0].label, S("Knoten:"));
  EXPECT_EQ(fields[1].label, S("IP-Adresse:"));
  EXPECT_TRUE(problem.Contains(S("192.168.0.10:2121"))) << problem;
  EXPECT_EQ(panel->GetNode(), "3");
  EXPECT_EQ(panel->CollapsePathMacros(), "CE_TCP;$$$DEVICEPATH$$$/panel.sym;" + server.Address() + ";9");

  // The web pages go to the panel at that address: the target dialog shows it, the
  // transfer ends by itself.
  wxString addressShown;
  user.Then([&](wxDialog* target) {
    if (auto* address = dynamic_cast<wxTextCtrl*>(target->FindWindow(1542))) addressShown = address->GetValue();
    hvtest::ClickOn(target->FindWindow(wxID_OK));
  });
  user.Then([](wxDialog* ftp) { hvtest::PumpUntil([&] { return !ftp->IsModal(); }, 20s); });
  SendWebFolder();
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_FALSE(ui.Saw(10603));
  EXPECT_EQ(addressShown, "127.0.0.1");   // the port has a field of its own
  EXPECT_EQ(hvtest::ReadAll(ftpRoot.Path() + "/Flashdisk/wwwpub/Web/index.htm"), "<html>Halle</html>");

  // The export lists the panel with that address.
  hvtest::AddDataPoints(panel->GetDeviceFolder(), panel->GetDeviceNumber(), hvtest::MappedPoints());
  const wxString target = home.Sub("DP.xml");
  ui.Answer<DpXmlExportRequest>([&](DpXmlExportRequest& r) {
    r.path = target;
    return IDOK;
  });
  ASSERT_TRUE(SelectInTree(project) && RunInTree(ID_EXPORT_DATA_POINTS));
  const std::string xml = hvtest::ReadAll(target);
  // The FTP server's port is no part of the exported address.
  EXPECT_NE(xml.find("<device><name>Panel</name><address>" + hv::ToUtf8(hv::AddressHost(server.Address())) + "</address>"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<tag>"), std::string::npos);
}

// A port in the device's address is the one the target dialog shows in "Port", beside
// the host alone, and the files go there; a port typed there is used for that transfer
// only, the device keeping its own.
TEST_F(DeviceAddressGui, ThePortOfTheAddressShowsInItsOwnFieldAndATypedOneIsUsedForThatTransfer) {
  hvtest::TempDir rootA, rootB;
  hvtest::FtpTestServer serverA(rootA.Path()), serverB(rootB.Path());
  ASSERT_GT(serverA.Port(), 0);
  ASSERT_GT(serverB.Port(), 0);
  const wxString parameters = "CE_TCP;$$$DEVICEPATH$$$/panel.sym;" + serverA.Address() + ";9";
  panel->SetDeviceParameters(parameters);
  const wxString sent = "/Flashdisk/wwwpub/Web/index.htm";

  struct Shown {
    wxString address;
    int port = 0;
  };
  auto target = [&](Shown& shown, int typedPort) {
    user.Then([&shown, typedPort](wxDialog* dlg) {
      auto* address = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1542));
      auto* port = dynamic_cast<wxTextCtrl*>(dlg->FindWindow(1547));
      ASSERT_TRUE(address && port);
      shown = {address->GetValue(), wxAtoi(port->GetValue())};
      if (typedPort) {
        // Typed over, as a keyboard user does: the field's text selected and replaced.
        hvtest::ClickOn(port);
        hvtest::PressKey('a', wxMOD_CONTROL);
        wxUIActionSimulator().Text(std::to_string(typedPort).c_str());
        hvtest::Pump(100ms);
      }
      hvtest::ClickOn(dlg->FindWindow(wxID_OK));
    });
    user.Then([](wxDialog* ftp) { hvtest::PumpUntil([&] { return !ftp->IsModal(); }, 20s); });
  };

  Shown first, second;
  target(first, 0);
  SendWebFolder();
  EXPECT_EQ(first.address, "127.0.0.1");
  EXPECT_EQ(first.port, serverA.Port());
  EXPECT_EQ(hvtest::ReadAll(rootA.Path() + sent), "<html>Halle</html>");

  target(second, serverB.Port());
  SendWebFolder();
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_EQ(second.port, serverA.Port());
  EXPECT_EQ(hvtest::ReadAll(rootB.Path() + sent), "<html>Halle</html>");
  EXPECT_EQ(serverA.Stored().size(), 1u);   // nothing more went to the address's port
  EXPECT_EQ(panel->CollapsePathMacros(), parameters);
}

// The target dialog's "Port" emptied, or holding letters or a number no port has: OK
// says so naming the field and the dialog stays open on what was typed, nothing is sent
// anywhere (no port 1 either); the right port typed, the files go there.
TEST_F(DeviceAddressGui, AnEmptiedOrUnreadablePortIsRefusedNamingTheFieldAndNothingIsSent) {
  hvtest::TempDir ftpRoot;
  hvtest::FtpTestServer server(ftpRoot.Path());
  ASSERT_GT(server.Port(), 0);
  panel->SetDeviceParameters("CE_TCP;$$$DEVICEPATH$$$/panel.sym;" + server.Address() + ";9");

  const struct {
    const char* typed;
    UINT messageId;
  } refused[] = {{"", 13960}, {"2x1", 13961}, {"0", 13961}, {"65536", 13961}};
  std::vector<wxString> kept;       // the field's text after each refusal
  std::vector<wxString> messages;   // the message each refusal showed
  size_t loginsWhileOpen = 99;
  const size_t earlier = ui.MessageTexts().size();
  user.Then([&](wxDialog* dlg) {
    wxWindow* port = dlg->FindWindow(1547);
    ASSERT_TRUE(port);
    for (const auto& step : refused) {
      // By keyboard, as a user does: the field's text selected and typed over or deleted.
      hvtest::ClickOn(port);
      hvtest::PressKey('a', wxMOD_CONTROL);
      if (*step.typed)
        wxUIActionSimulator().Text(step.typed);
      else
        hvtest::PressKey(WXK_DELETE);
      hvtest::Pump(100ms);
      const size_t before = ui.MessageTexts().size();
      hvtest::ClickOn(dlg->FindWindow(wxID_OK));
      hvtest::PumpUntil([&] { return ui.MessageTexts().size() > before || !dlg->IsModal(); }, 30s);
      if (!dlg->IsModal()) return;   // taken: what the old field did
      messages.push_back(ui.MessageTexts().back());
      EXPECT_EQ(ui.MessageIds().back(), step.messageId) << step.typed;
      auto* text = dynamic_cast<wxTextCtrl*>(port);
      kept.push_back(text ? text->GetValue() : wxString());
    }
    loginsWhileOpen = server.Logins().size();
    ASSERT_TRUE(hvtest::TypeInto(dynamic_cast<wxTextCtrl*>(port), wxString::Format("%d", server.Port())));
    hvtest::ClickOn(dlg->FindWindow(wxID_OK));
  });
  user.Then([](wxDialog* ftp) { hvtest::PumpUntil([&] { return !ftp->IsModal(); }, 20s); });
  SendWebFolder();
  EXPECT_EQ(user.unexpected, 0);
  // The refusals and nothing else: no failed connection to another port.
  std::string shown, refusals;
  for (size_t i = earlier; i < ui.MessageTexts().size(); ++i) shown += hv::ToUtf8(ui.MessageTexts()[i]) + "\n";
  for (const wxString& message : messages) refusals += hv::ToUtf8(message) + "\n";
  EXPECT_EQ(shown, refusals);
  ASSERT_EQ(messages.size(), std::size(refused));
  for (const wxString& message : messages) EXPECT_TRUE(message.StartsWith(S("Port: "))) << message;
  EXPECT_TRUE(messages[1].Contains("\"2x1\"")) << messages[1];
  EXPECT_EQ(kept, (std::vector<wxString>{"", "2x1", "0", "65536"}));   // nothing typed vanished
  EXPECT_EQ(loginsWhileOpen, 0u);
  EXPECT_EQ(server.Logins().size(), 1u);
  EXPECT_EQ(hvtest::ReadAll(ftpRoot.Path() + "/Flashdisk/wwwpub/Web/index.htm"), "<html>Halle</html>");
}

// An address the field would refuse, from a damaged or foreign project file, is no
// address: nothing is shown or sent, and the message says where the address is set.
TEST_F(DeviceAddressGui, AnAddressTheFieldRefusesIsNoneAndSendingSaysWhereItIsSet) {
  using namespace std::string_view_literals;
  for (const std::string_view bad : {"\0"sv, "1]:2:3"sv, "a[b:c:d"sv}) {
    panel->SetDeviceParameters("CE_TCP;$$$DEVICEPATH$$$/panel.sym;" + hv::FromUtf8(bad) + ";9");
    const size_t before = ui.MessageIds().size();
    SendWebFolder();
    EXPECT_EQ(user.unexpected, 0) << bad;   // no target dialog
    ASSERT_EQ(ui.MessageIds().size(), before + 1) << bad;
    EXPECT_EQ(ui.MessageIds().back(), 10603u) << bad;
    const wxString& text = ui.MessageTexts().back();
    EXPECT_TRUE(text.Contains(S("Feld \"IP-Adresse\""))) << text;
  }
}

// A panel as the wizard leaves it, its folder where the address belongs: nothing is sent
// to the folder as an address; the message says where the address is set.
TEST_F(DeviceAddressGui, WithoutAnAddressSendingSaysWhereItIsSet) {
  panel->SetDeviceParameters(";" + panel->GetDeviceFolder());
  ui.ExpectMessage(10603);
  SendWebFolder();
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(user.unexpected, 0);   // no transfer dialog
  ASSERT_FALSE(ui.MessageTexts().empty());
  const wxString& text = ui.MessageTexts().back();
  EXPECT_TRUE(text.StartsWith(S("IP-Adresse nicht gefunden!"))) << text;
  EXPECT_TRUE(text.Contains(S("\"Allgemein\", Schaltfläche \"...\" neben \"Treiber:\", Feld \"IP-Adresse\""))) << text;
  EXPECT_FALSE(text.Contains(panel->GetDeviceFolder())) << text;
}

}  // namespace
