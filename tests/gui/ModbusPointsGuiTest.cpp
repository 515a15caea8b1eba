// Modbus TCP data points in the real window: a text address typed into the picker,
// several entries picked at once under a field-bus device, and the project's export of
// memory points, each through the program's own dialogs and commands.
#include <gtest/gtest.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/uiaction.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <thread>

#include "app/ui/Dialogs.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "framework/CommandIds.h"
#include "model/DataPointExchange.h"
#include "model/DataPointRead.h"
#include "model/DataPointSheet.h"
#include "model/FieldDevice.h"
#include "model/NewObjectRequests.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/model/DpXmlFixture.h"
#include "tests/support/ModbusTestServer.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

void Type(wxWindow* dialog, int id, const wxString& text) {
  wxWindow* w = dialog->FindWindow(id);
  ASSERT_TRUE(w) << id;
  if (auto* edit = dynamic_cast<wxTextCtrl*>(w)) edit->SetValue(text);
  else if (auto* combo = dynamic_cast<wxComboBox*>(w)) combo->SetValue(text);
}

void Press(wxWindow* dialog, int id) {
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(dialog->FindWindow(id));
  dialog->ProcessWindowEvent(click);
}

wxString Status(wxWindow* picker) { return dynamic_cast<wxStaticText*>(picker->FindWindow(1004))->GetLabel(); }

class ModbusPointsGui : public hvtest::ProjectWindowFixture {
 protected:
  ModbusPointsGui() { RegisterAppDialogs(); }

  void ChooseNew(TypeCode kind) {
    ui.Answer<NewObjectRequest>([kind](NewObjectRequest& r) {
      r.typeCode = kind;
      return static_cast<int>(IDOK);
    });
  }
  // A panel on Modbus TCP with a network "Bus" made through its own dialog; the
  // data-point folder.
  CProjectObject* PanelWithNetwork(const wxString& param) {
    CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
    Open();
    device = MakeDevice(project, S("Panel"));
    if (!device) return nullptr;
    device->SetNetwork("MBTCP");
    device->SetSlot("TCP_0");
    device->SetNetworkPara(param);
    device->SetNode("1");
    device->SetDeviceParameters(";;");
    user.Then([param](wxDialog* d) {
      Type(d, 1025, "Bus");
      Type(d, 1074, param);
      Press(d, wxID_OK);
    });
    ChooseNew(TypeCode::Network);
    if (!SelectInTree(device) || !RunInTree(ID_OBJECT_NEW)) return nullptr;
    TreeChildren(device);
    return device->FindChildOfType(TypeCode::PrjDataPoint);
  }
  // Reads every point of the listed folder or device through "Neuen Wert lesen".
  std::map<wxString, wxString> ReadValues(CProjectObject* listed) {
    EXPECT_TRUE(SelectInTree(listed));
    CProjectListView& list = *frame->GetListView();
    list.ClearSelection();
    for (std::size_t i = 0; i < list.Presenter().GetRowCount(); ++i) list.SelectRow(i, true);
    ui.Answer<DataPointReadWait>([](DataPointReadWait& w) {
      while (!*w.done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return static_cast<int>(IDOK);
    });
    {
      DispatchScope scope;
      EXPECT_TRUE(frame->Router().RouteFrom(&list.Presenter()).Execute(ID_DP_READ_VALUE));
    }
    std::map<wxString, wxString> values;
    for (std::size_t i = 0; i < list.Presenter().GetRowCount(); ++i) {
      CProjectObject* row = list.Presenter().RowObject(i);
      if (row->GetTypeCode() != TypeCode::Network) values[row->GetName()] = row->GetColumnText(5);
    }
    return values;
  }

  CPOPrjDevice* device = nullptr;
  hvtest::DialogScripts user;
};

// "HR|40|TEXT" is refused as typed and on OK with the form that names the length;
// "HR|40|TEXT|12" shows its six registers and reads all twelve characters from a
// device that serves none past them.
TEST_F(ModbusPointsGui, ATypedTextAddressNamesItsLengthAndReadsEveryCharacter) {
  hvtest::ModbusTestServer server({1}, hvtest::ModbusTestServer::Mode::Normal, 0,
                                  hvtest::ModbusTestServer::Absent::Silent);
  server.LimitMap(46);
  server.SetText(1, 4, 40, "Kesselpumpe1");
  CProjectObject* folder = PanelWithNetwork(wxString::Format("host=127.0.0.1 port=%d timeout=300", server.Port()));
  ASSERT_TRUE(folder);

  wxString withoutLength, withLength, type;
  bool keptOpen = false;
  user.Then([&](wxDialog* d) {
    Type(d, 1002, "HR|40|TEXT");
    withoutLength = Status(d);
    Press(d, wxID_OK);
    keptOpen = d->IsModal();
    Type(d, 1002, "HR|40|TEXT|12");
    withLength = Status(d);
    type = dynamic_cast<wxChoice*>(d->FindWindow(1003))->GetStringSelection();
    Press(d, wxID_OK);
  });
  user.Then([](wxDialog* d) {
    Type(d, kIdName, "Pumpe");
    Press(d, kDpWizardFinish);
  });
  ChooseNew(TypeCode::DirectDataPoint);
  ASSERT_TRUE(SelectInTree(folder));
  ui.ExpectMessage(11638);
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_NE(withoutLength.Find("HR|40|TEXT|12"), wxNOT_FOUND) << withoutLength;
  EXPECT_TRUE(keptOpen);
  EXPECT_EQ(type, "Text");
  EXPECT_EQ(withLength, "Holding-Register 40-45, Text, 12 Zeichen");
  EXPECT_EQ(ReadValues(folder), (std::map<wxString, wxString>{{"Pumpe", "Kesselpumpe1"}}));
  EXPECT_EQ(ui.MessageIds().size(), 1u);

  // A double click on the row's value reads it anew; elsewhere on the row it would open the
  // point's sheet. The toolkit's hit test names no column here, so the click's place does.
  server.SetText(1, 4, 40, "Wasserpumpe2");
  wxListCtrl* ctrl = frame->GetListView()->Control();
  ASSERT_TRUE(ctrl && ctrl->GetItemCount() > 0);
  long row = 0;
  while (row < ctrl->GetItemCount() && ctrl->GetItemText(row) != "Pumpe") ++row;
  int valueColumn = -1;
  for (int c = 0; c < ctrl->GetColumnCount(); ++c) {
    wxListItem heading;
    heading.SetMask(wxLIST_MASK_TEXT);
    if (ctrl->GetColumn(c, heading) && heading.GetText() == "Wert") valueColumn = c;
  }
  ASSERT_GE(valueColumn, 0);
  // The value column in sight, as a user would scroll or narrow the others.
  for (int c = 0; c < valueColumn; ++c) ctrl->SetColumnWidth(c, 40);
  hvtest::PumpUntilIdle();
  wxRect cell;
  ASSERT_TRUE(ctrl->GetSubItemRect(row, valueColumn, cell));
  wxUIActionSimulator sim;
  const wxPoint target = ctrl->ClientToScreen(cell.GetPosition() + wxPoint(cell.width / 2, cell.height / 2));
  sim.MouseMove(target);
  hvtest::PumpUntil([&] { return wxGetMousePosition() == target; }, std::chrono::seconds(2));
  sim.MouseDblClick();
  CProjectObject* pumpe = ChildNamed(folder, "Pumpe");
  ASSERT_TRUE(pumpe);
  EXPECT_TRUE(hvtest::PumpUntil([&] { return pumpe->GetColumnText(5) == "Wasserpumpe2"; }, std::chrono::seconds(5)))
      << pumpe->GetColumnText(5);
  EXPECT_EQ(user.unexpected, 0);
}

// The picker opens with its address field taking the keys: an address typed at once and
// Return make the point.
TEST_F(ModbusPointsGui, ThePickerStartsInItsAddressFieldAndReturnTakesTheTypedAddress) {
  CProjectObject* folder = PanelWithNetwork("host=127.0.0.1 port=1502");
  ASSERT_TRUE(folder);
  int focusId = 0;
  wxString taken;
  user.Then([&](wxDialog* d) {
    auto* field = dynamic_cast<wxTextCtrl*>(d->FindWindow(1002));
    ASSERT_TRUE(field);
    hvtest::PumpUntil([&] { return wxWindow::FindFocus() == field; }, std::chrono::seconds(2));
    if (wxWindow* focus = wxWindow::FindFocus()) focusId = focus->GetId();
    wxUIActionSimulator().Text("HR|7");
    hvtest::PumpUntil([&] { return field->GetValue() == "HR|7"; }, std::chrono::seconds(2));
    hvtest::PressKey(WXK_RETURN);
    if (!hvtest::PumpUntil([&] { return !d->IsModal(); }, std::chrono::seconds(3))) Press(d, wxID_CANCEL);
  });
  user.Then([&](wxDialog* d) {
    taken = dynamic_cast<wxTextCtrl*>(d->FindWindow(1082))->GetValue();
    Type(d, kIdName, "Punkt");
    Press(d, kDpWizardFinish);
  });
  ChooseNew(TypeCode::DirectDataPoint);
  ASSERT_TRUE(SelectInTree(folder));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_EQ(focusId, 1002);
  EXPECT_EQ(taken, "HR|7");
  EXPECT_FALSE(ui.Saw(11508));
  EXPECT_TRUE(ChildNamed(folder, "Punkt"));
}

// The controller's memory entries MW_0 and MD_4 both make "Regler10_M": picked together
// under the field-bus device, each sheet proposes a name its own check takes, and
// Finish on both makes both points.
TEST_F(ModbusPointsGui, EntriesPickedTogetherGetDistinctNames) {
  CProjectObject* folder = PanelWithNetwork("host=127.0.0.1 port=1502");
  ASSERT_TRUE(folder);
  TreeChildren(folder);
  CProjectObject* net = ChildNamed(folder, "Bus");
  ASSERT_TRUE(net);
  user.Then([](wxDialog* d) {
    auto* driver = dynamic_cast<wxChoice*>(d->FindWindow(1069));
    ASSERT_TRUE(driver);
    const int index = driver->FindString("CTRL 515 Steuerung");
    ASSERT_NE(index, wxNOT_FOUND);
    driver->SetSelection(index);
    wxCommandEvent picked(wxEVT_CHOICE, driver->GetId());
    picked.SetEventObject(driver);
    picked.SetInt(index);
    driver->ProcessWindowEvent(picked);
    Type(d, 1076, "Regler10");
    Type(d, 1073, "1");
    Press(d, wxID_OK);
  });
  ChooseNew(TypeCode::Device);
  ASSERT_TRUE(SelectInTree(net));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  TreeChildren(net);
  auto* regler = dynamic_cast<CPODevice*>(ChildNamed(net, "Regler10"));
  ASSERT_TRUE(regler);

  int entries = 0;
  user.Then([&](wxDialog* d) {
    auto* list = dynamic_cast<wxListBox*>(d->FindWindow(1001));
    ASSERT_TRUE(list);
    for (unsigned i = 0; i < list->GetCount(); ++i)
      if (list->GetString(i).StartsWith("8|M|W|81|0|0|1") || list->GetString(i).StartsWith("8|M|D|81|4|0|1")) {
        list->SetSelection(static_cast<int>(i));
        ++entries;
      }
    Press(d, wxID_OK);
  });
  std::vector<wxString> proposed;
  for (int sheet = 0; sheet < 2; ++sheet)
    user.Then([&](wxDialog* d) {
      proposed.push_back(dynamic_cast<wxTextCtrl*>(d->FindWindow(kIdName))->GetValue());
      Press(d, kDpWizardFinish);
    });
  ChooseNew(TypeCode::DataPoint);
  ASSERT_TRUE(SelectInTree(regler));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_TRUE(user.AllRun());
  EXPECT_EQ(user.unexpected, 0);
  EXPECT_EQ(entries, 2);
  EXPECT_EQ(proposed, (std::vector<wxString>{"Regler10_M", "Regler10_M_1"}));
  EXPECT_TRUE(ui.MessageIds().empty());
  regler->LoadChildren();
  std::vector<wxString> made;
  for (CProjectObject* c : regler->GetChildren()) made.push_back(c->GetName());
  EXPECT_EQ(made, proposed);
}

// "Datenpunkte exportieren...": a memory point without its element count, or with an
// empty one, has no tag; the one with its count has.
TEST_F(ModbusPointsGui, TheExportWritesNoTagForAMemoryPointWithoutItsCount) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  device->SetDeviceParameters("CAN_R515;x;10.1.2.3");
  hvtest::AddDataPoints(device->GetDeviceFolder(), device->GetDeviceNumber(),
                        {{"Ohne", "8|M|W|81|0|0", 8, 3}, {"Leer", "8|M|W|81|1|0|", 8, 3}, {"Eins", "8|M|W|81|2|0|1", 8, 3}});
  const wxString target = home.Sub("DP.xml");
  ui.Answer<DpXmlExportRequest>([&](DpXmlExportRequest& r) {
    r.path = target;
    return IDOK;
  });
  ui.ExpectMessage(11800);
  ASSERT_TRUE(SelectInTree(project));
  ASSERT_TRUE(RunInTree(ID_EXPORT_DATA_POINTS));
  EXPECT_TRUE(ui.AllExpectationsMet());
  const std::string xml = hvtest::ReadAll(target);
  EXPECT_NE(xml.find("<tags><tag><name>Eins</name><address>0x43005</address><table>4</table><offset>12292</offset>"
                     "<datatype>I2</datatype></tag></tags>"),
            std::string::npos)
      << xml;
}

}  // namespace
