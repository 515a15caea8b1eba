// A project device's network and its field-bus device in the real window, through
// their own dialogs and menus, with the tables read back after each step.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <deque>
#include <functional>
#include <thread>
#include <wx/listbox.h>
#include <wx/stattext.h>

#include "app/ui/Dialogs.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "framework/CommandIds.h"
#include "model/DataPoint.h"
#include "model/DataPointRead.h"
#include "model/DataPointSheet.h"
#include "model/FieldBusRequests.h"
#include "model/FieldDevice.h"
#include "model/Network.h"
#include "model/NewObjectRequests.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "resources/ui/DibStatic.h"
#include "tests/gui/support/DialogHook.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/ModbusTestServer.h"

using hvtest::ChildNamed;
using hvtest::S;
namespace db = hv::db;

namespace {

void Type(wxWindow* dialog, int id, const wxString& text) {
  wxWindow* w = dialog->FindWindow(id);
  ASSERT_TRUE(w) << id;
  if (auto* edit = dynamic_cast<wxTextCtrl*>(w)) edit->SetValue(text);
  else if (auto* combo = dynamic_cast<wxComboBox*>(w)) combo->SetValue(text);
}

void Pick(wxChoice* choice, const wxString& text) {
  const int index = choice->FindString(text);
  ASSERT_NE(index, wxNOT_FOUND) << text;
  choice->SetSelection(index);
  wxCommandEvent picked(wxEVT_CHOICE, choice->GetId());
  picked.SetEventObject(choice);
  picked.SetInt(index);
  picked.SetString(text);
  choice->ProcessWindowEvent(picked);
}

void PressOk(wxWindow* dialog) {
  wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
  ok.SetEventObject(dialog->FindWindow(wxID_OK));
  dialog->ProcessWindowEvent(ok);
}

class FieldBusGui : public hvtest::ProjectWindowFixture {
 protected:
  FieldBusGui() {
    // The program's own dialogs; only the project device's sheet stays scripted.
    RegisterAppDialogs();
  }

  // The new-object dialog's next run picks this kind.
  void ChooseNew(TypeCode kind) {
    ui.Answer<NewObjectRequest>([kind](NewObjectRequest& r) {
      r.typeCode = kind;
      return static_cast<int>(IDOK);
    });
  }
  // A network made through the device's "Neu..." in the tree; its data-point folder.
  CProjectObject* NewNetworkThroughTheTree() {
    ChooseNew(TypeCode::Network);
    if (!SelectInTree(device) || !RunInTree(ID_OBJECT_NEW)) {
      ADD_FAILURE() << "the device's \"Neu...\" did not run";
      return nullptr;
    }
    TreeChildren(device);
    return device->FindChildOfType(TypeCode::PrjDataPoint);
  }
  // The next dialog shows and is then filled and confirmed by `step` while it runs.
  void Next(std::function<void(wxDialog*)> step) { m_steps.push_back(std::move(step)); }
  // Name (and node) typed into the network dialog or the device sheet, then OK.
  void NextNames(const wxString& name, const wxString& node = {}) {
    Next([=](wxDialog* d) {
      Type(d, d->FindWindow(1025) ? 1025 : 1076, name);
      if (!node.empty()) Type(d, 1073, node);
      PressOk(d);
    });
  }

  std::vector<wxString> Column(const char* table, const char* what) {
    std::vector<wxString> out;
    db::Table t;
    if (!db::db_open(hv::JoinPath(device->GetDeviceFolder(), table), t)) return out;
    if (std::string(table) == "NETZWERK") {
      db::NetzwerkRow r;
      for (bool ok = db::netzwerk_select(t, r, db::kFirst, "NNR"); ok; ok = db::netzwerk_select(t, r, db::kNext, "NNR"))
        out.push_back(std::string(what) == "name" ? r.name : r.driver);
    } else {
      db::GeraetRow r;
      for (bool ok = db::geraet_select(t, r, db::kFirst, "-GNR"); ok; ok = db::geraet_select(t, r, db::kNext, "-GNR"))
        if (r.network != 65535) out.push_back(std::string(what) == "name" ? r.name : r.node);
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  CPOPrjDevice* device = nullptr;

 private:
  std::deque<std::function<void(wxDialog*)>> m_steps;
  hvtest::ModalDialogsAllowed m_allowed;
  hvtest::OnDialog m_hook{[this](wxDialog* dialog) {
    if (m_steps.empty()) {
      ADD_FAILURE() << "unexpected dialog " << dialog->GetTitle();
      return static_cast<int>(wxID_CANCEL);
    }
    auto step = std::move(m_steps.front());
    m_steps.pop_front();
    wxTheApp->CallAfter([dialog, step] {
      step(dialog);
      // A refused OK would leave it open: the test goes on instead of hanging.
      if (dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
    });
    return static_cast<int>(wxID_NONE);
  }};
};

TEST_F(FieldBusGui, NetworkAndDeviceAreMadeRenamedCopiedPastedAndDeleted) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  // The data-point folder shows once the device has a network.
  TreeChildren(device);
  EXPECT_FALSE(device->FindChildOfType(TypeCode::PrjDataPoint));

  // The network: its dialog offers the drivers the panel accepts, MBTCP preselected.
  Next([](wxDialog* d) {
    auto* driver = dynamic_cast<wxChoice*>(d->FindWindow(1069));
    ASSERT_TRUE(driver);
    EXPECT_EQ(driver->GetStringSelection(), "Modbus TCP");
    Type(d, 1025, "Feldbus");
    Type(d, 1074, "host=127.0.0.1 port=1502");
    PressOk(d);
  });
  // Through the device's "Neu...": the new-object choice is the network.
  ChooseNew(TypeCode::Network);
  ASSERT_TRUE(SelectInTree(device));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_EQ(Column("NETZWERK", "name"), std::vector<wxString>{"Feldbus"});
  // At once, before anything is opened by hand: the folder is open with the network's
  // item in it, and the list shows the folder with the new row selected.
  CProjectObject* folder = device->FindChildOfType(TypeCode::PrjDataPoint);
  ASSERT_TRUE(folder);
  {
    CProjectObject* made = ChildNamed(folder, "Feldbus");
    ASSERT_TRUE(made);
    CTreePresenter& tree = Tree().Presenter();
    TreeItem folderItem = tree.FindItemByObject(folder);
    ASSERT_TRUE(folderItem);
    EXPECT_TRUE(Tree().IsExpanded(folderItem));
    TreeItem madeItem = tree.FindItemByObject(made);
    ASSERT_TRUE(madeItem);
    EXPECT_EQ(Tree().GetParentItem(madeItem), folderItem);
    CProjectListView& list = *frame->GetListView();
    EXPECT_EQ(list.Presenter().GetListed(), folder);
    const std::vector<std::size_t> selected = list.GetSelectedRows();
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(list.Presenter().RowObject(selected.front()), made);
  }
  TreeChildren(device);
  TreeChildren(folder);
  auto* net = dynamic_cast<CPONetwork*>(ChildNamed(folder, "Feldbus"));
  ASSERT_TRUE(net);
  ASSERT_TRUE(SelectInTree(net));

  // Renamed through its menu.
  NextNames("Bus A");
  ASSERT_TRUE(RunInTree(ID_OBJECT_EDIT));
  EXPECT_EQ(Column("NETZWERK", "name"), std::vector<wxString>{"Bus A"});

  // A copy through "Neue Kopie...", renamed in its dialog.
  NextNames("Bus B");
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW_COPY));
  EXPECT_EQ(Column("NETZWERK", "name"), (std::vector<wxString>{"Bus A", "Bus B"}));
  // Copied and pasted into the same device: a name of its own.
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));
  ASSERT_TRUE(SelectInTree(folder));
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_EQ(Column("NETZWERK", "name"), (std::vector<wxString>{"Bus A", "Bus A_1", "Bus B"}));
  EXPECT_EQ(TreeChildren(folder), (std::vector<wxString>{"Bus A", "Bus A_1", "Bus B"}));
  ASSERT_TRUE(SelectInTree(net));

  // A field-bus device in the first network: several plug-ins serve MBTCP, none is
  // preselected; the controller is picked.
  Next([](wxDialog* d) {
    auto* driver = dynamic_cast<wxChoice*>(d->FindWindow(1069));
    ASSERT_TRUE(driver);
    EXPECT_EQ(driver->GetSelection(), wxNOT_FOUND);
    Pick(driver, "CTRL 515 Steuerung");
    Type(d, 1076, "Regler");
    Type(d, 1073, "1");
    PressOk(d);
  });
  ChooseNew(TypeCode::Device);
  ASSERT_TRUE(SelectInTree(net));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_EQ(Column("GERAET", "name"), std::vector<wxString>{"Regler"});
  auto* dev = dynamic_cast<CPODevice*>(ChildNamed(net, "Regler"));
  ASSERT_TRUE(dev);
  ASSERT_TRUE(SelectInTree(dev));
  NextNames("Regler 1");
  ASSERT_TRUE(RunInTree(ID_OBJECT_EDIT));
  EXPECT_EQ(Column("GERAET", "name"), std::vector<wxString>{"Regler 1"});

  // Copied and pasted into its own network: the sheet asks for a free node.
  ASSERT_TRUE(RunInTree(ID_EDIT_COPY));
  ASSERT_TRUE(SelectInTree(net));
  ui.ExpectMessage(10094);
  NextNames("Regler 2", "2");
  ASSERT_TRUE(RunInTree(ID_EDIT_PASTE));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(Column("GERAET", "name"), (std::vector<wxString>{"Regler 1", "Regler 2"}));
  EXPECT_EQ(Column("GERAET", "node"), (std::vector<wxString>{"1", "2"}));

  // The network's list shows the type's display name from its plug-in.
  net->LoadChildren();
  for (CProjectObject* child : net->GetChildren()) EXPECT_EQ(child->GetColumnText(2), "CTRL 515 STEUERUNG");

  // A network with devices stays; its devices go through their menu, then it can.
  ui.ExpectMessage(10320);
  ASSERT_TRUE(RunInTree(ID_OBJECT_DELETE));
  EXPECT_EQ(Column("NETZWERK", "name"), (std::vector<wxString>{"Bus A", "Bus A_1", "Bus B"}));
  for (const wxString& name : {S("Regler 1"), S("Regler 2")}) {
    CProjectObject* d = ChildNamed(net, name);
    ASSERT_TRUE(d) << name;
    ASSERT_TRUE(SelectInTree(d));
    ASSERT_TRUE(RunInTree(ID_OBJECT_DELETE));
  }
  EXPECT_TRUE(Column("GERAET", "name").empty());
  ASSERT_TRUE(SelectInTree(net));
  ASSERT_TRUE(RunInTree(ID_OBJECT_DELETE));
  EXPECT_EQ(Column("NETZWERK", "name"), (std::vector<wxString>{"Bus A_1", "Bus B"}));
  EXPECT_FALSE(ChildNamed(folder, "Bus A"));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// The name list lends another project device's connection; a name typed over it takes
// it back once; "..." without a driver says so; a '*' in the name is the name field's
// refusal, a '.' the page's own, each with the character selected.
TEST_F(FieldBusGui, TheNameListLendsAConnectionUntilANameIsTyped) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  device = MakeDevice(project, S("Panel"));
  CPOPrjDevice* other = MakeDevice(project, S("Steuerung"));
  ASSERT_TRUE(device && other);
  other->SetNode("7");
  other->SetNetworkPara("host=10.0.0.7");
  Next([](wxDialog* d) {
    Type(d, 1025, "Feldbus");
    PressOk(d);
  });
  CProjectObject* folder = NewNetworkThroughTheTree();
  ASSERT_TRUE(folder);
  TreeChildren(folder);
  auto* net = dynamic_cast<CPONetwork*>(ChildNamed(folder, "Feldbus"));
  ASSERT_TRUE(net);

  wxString lentNode, lentParam, typedNode, typedParam;
  long from = -1, to = -1, starFrom = -1;
  bool keptOpen = false, driverFocused = false, driverKept = true;
  int driverStart = -1;
  std::vector<int> driverSteps;
  Next([&](wxDialog* d) {
    auto* name = dynamic_cast<wxComboBox*>(d->FindWindow(1076));
    auto* node = dynamic_cast<wxTextCtrl*>(d->FindWindow(1073));
    auto* param = dynamic_cast<wxTextCtrl*>(d->FindWindow(1074));
    ASSERT_TRUE(name && node && param);
    // "..." takes the page's fields first: without a driver it says so.
    name->ChangeValue("Regler");
    wxCommandEvent settings(wxEVT_BUTTON, 1070);
    settings.SetEventObject(d->FindWindow(1070));
    d->FindWindow(1070)->ProcessWindowEvent(settings);
    driverFocused = wxWindow::FindFocus() == d->FindWindow(1069);
    const int index = name->FindString(S("Steuerung"), true);
    ASSERT_NE(index, wxNOT_FOUND);
    name->SetSelection(index);
    wxCommandEvent picked(wxEVT_COMBOBOX, 1076);
    picked.SetEventObject(name);
    picked.SetInt(index);
    name->ProcessWindowEvent(picked);
    lentNode = node->GetValue();
    lentParam = param->GetValue();

    hvtest::ClickOn(name);
    hvtest::PressKey('a', wxMOD_CONTROL);
    wxUIActionSimulator().Text("Regler");
    ASSERT_TRUE(hvtest::PumpUntil([&] { return name->GetValue() == "Regler"; }));
    typedNode = node->GetValue();
    typedParam = param->GetValue();

    // Arrow keys step away through the drivers and back, the keys staying in the list
    // while the page refills it.
    auto* driver = dynamic_cast<wxChoice*>(d->FindWindow(1069));
    driver->SetFocus();
    hvtest::PumpUntil([&] { return wxWindow::FindFocus() == driver; });
    if (driver->GetSelection() < 0) {   // no driver yet: the first key chooses one
      hvtest::PressKey(WXK_DOWN);
      hvtest::PumpUntil([&] { return driver->GetSelection() >= 0; });
      hvtest::PumpUntilIdle();
    }
    driverStart = driver->GetSelection();
    const bool last = driverStart + 1 == static_cast<int>(driver->GetCount());
    for (int key : {last ? WXK_UP : WXK_DOWN, last ? WXK_DOWN : WXK_UP}) {
      const int before = driver->GetSelection();
      hvtest::PressKey(key);
      hvtest::PumpUntil([&] { return driver->GetSelection() != before; });
      hvtest::PumpUntilIdle();
      driverSteps.push_back(driver->GetSelection());
      driverKept = driverKept && wxWindow::FindFocus() == driver;
    }

    Pick(dynamic_cast<wxChoice*>(d->FindWindow(1069)), "CTRL 515 Steuerung");
    node->ChangeValue("1");
    // The name field refuses its other characters itself; a '.' is the page's refusal.
    name->ChangeValue("Re*g");
    PressOk(d);
    name->GetSelection(&starFrom, &to);
    name->ChangeValue("Reg.ler");
    PressOk(d);
    keptOpen = d->IsModal();
    name->GetSelection(&from, &to);
    name->ChangeValue("Regler");
    PressOk(d);
  });
  ChooseNew(TypeCode::Device);
  ASSERT_TRUE(SelectInTree(net));
  ui.ExpectMessage(10033);
  ui.ExpectMessage(10300);
  ui.ExpectMessage(10347);
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(driverFocused);
  ASSERT_EQ(driverSteps.size(), 2u);
  EXPECT_NE(driverSteps[0], driverStart);
  EXPECT_EQ(driverSteps[1], driverStart);
  EXPECT_TRUE(driverKept);
  EXPECT_EQ(starFrom, 2);
  EXPECT_EQ(lentNode, "7");
  EXPECT_EQ(lentParam, "host=10.0.0.7");
  EXPECT_EQ(typedNode, "");
  EXPECT_EQ(typedParam, device->GetDeviceFolder() + ";");
  EXPECT_TRUE(keptOpen);
  EXPECT_EQ(from, 3);
  EXPECT_EQ(to, 4);
  EXPECT_EQ(Column("GERAET", "name"), std::vector<wxString>{"Regler"});
  EXPECT_EQ(Column("GERAET", "node"), std::vector<wxString>{"1"});
}

// Direct data points typed into the picker of a panel on Modbus TCP: each mistake is
// named while it is typed and refused on OK; the offered entries say what they read.
// Then "Neuen Wert lesen" over the whole folder, network row included, reads every point.
TEST_F(FieldBusGui, TypedAddressesAreCheckedAndASelectionWithTheNetworkReadsEveryPoint) {
  hvtest::ModbusTestServer server({1}, hvtest::ModbusTestServer::Mode::Normal, 0,
                                  hvtest::ModbusTestServer::Absent::Silent);
  server.LimitMap(100);
  server.SetRegister(1, 4, 0, 777);
  server.SetBit(1, 0, 0, true);
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  const wxString param = wxString::Format("host=127.0.0.1 port=%d timeout=300", server.Port());
  device->SetNetwork("MBTCP");
  device->SetSlot("TCP_0");
  device->SetNetworkPara(param);
  device->SetNode("1");
  device->SetDeviceParameters(";;");
  Next([&](wxDialog* d) {
    Type(d, 1025, "Feldbus");
    Type(d, 1074, param);
    PressOk(d);
  });
  CProjectObject* folder = NewNetworkThroughTheTree();
  ASSERT_TRUE(folder);

  wxString offeredRow, asFloat, asWrongType, unknownTable, asWord, asCoilTyped, asCoil;
  bool keptOpen = false;
  auto status = [](wxDialog* d) { return dynamic_cast<wxStaticText*>(d->FindWindow(1004))->GetLabel(); };
  Next([&](wxDialog* d) {
    auto* list = dynamic_cast<wxListBox*>(d->FindWindow(1001));
    auto* type = dynamic_cast<wxChoice*>(d->FindWindow(1003));
    ASSERT_TRUE(list && type && d->FindWindow(1004));
    for (unsigned i = 0; i < list->GetCount(); ++i)
      if (list->GetString(i).StartsWith("8|M|W|81|0|0|1")) offeredRow = list->GetString(i);
    Type(d, 1002, "HR|0|R4");
    asFloat = type->GetStringSelection() + ": " + status(d);
    Pick(type, "Wort");
    asWrongType = status(d);
    Type(d, 1002, "XR|0");
    unknownTable = status(d);
    PressOk(d);
    keptOpen = d->IsModal();
    Type(d, 1002, "HR|0");
    asWord = status(d);
    PressOk(d);
  });
  ui.Answer<DataPointSheetRequest>([](DataPointSheetRequest& s) {
    s.dp.name = s.dp.address.StartsWith("HR") ? "Wort0" : "Spule0";
    return kDpWizardFinish;
  });
  ChooseNew(TypeCode::DirectDataPoint);
  ASSERT_TRUE(SelectInTree(folder));
  ui.ExpectMessage(11648);
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_NE(offeredRow.Find("Holding-Register 12288, Wort"), wxNOT_FOUND) << offeredRow;
  EXPECT_EQ(asFloat, "Gleitkomma: Holding-Register 0-1, Gleitkomma, Wortfolge des Netzwerks");
  EXPECT_NE(asWrongType.Find("'R4'"), wxNOT_FOUND) << asWrongType;
  EXPECT_NE(unknownTable.Find("'XR'"), wxNOT_FOUND) << unknownTable;
  EXPECT_TRUE(keptOpen);
  EXPECT_EQ(asWord, "Holding-Register 0, Wort");

  Next([&](wxDialog* d) {
    Type(d, 1002, "CO|0");
    asCoilTyped = status(d);
    Pick(dynamic_cast<wxChoice*>(d->FindWindow(1003)), "Bit");
    asCoil = status(d);
    PressOk(d);
  });
  ChooseNew(TypeCode::DirectDataPoint);
  ASSERT_TRUE(SelectInTree(folder));
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  EXPECT_EQ(asCoilTyped, "Spule 0, Bit");   // the table chose the type as typed
  EXPECT_EQ(asCoil, "Spule 0, Bit");

  // The folder's list: the network and both points, all selected.
  ASSERT_TRUE(SelectInTree(folder));
  CProjectListView& list = *frame->GetListView();
  ASSERT_EQ(list.Presenter().GetRowCount(), 3u);
  EXPECT_EQ(list.Presenter().RowObject(0)->GetName(), "Feldbus");
  list.ClearSelection();
  for (std::size_t i = 0; i < 3; ++i) list.SelectRow(i, true);
  ui.Answer<DataPointReadWait>([](DataPointReadWait& w) {
    while (!*w.done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return static_cast<int>(IDOK);
  });
  {
    DispatchScope scope;
    ASSERT_TRUE(frame->Router().RouteFrom(&list.Presenter()).Execute(ID_DP_READ_VALUE));
  }
  std::map<wxString, wxString> values;
  for (std::size_t i = 1; i < 3; ++i) values[list.Presenter().RowObject(i)->GetName()] = list.Presenter().RowObject(i)->GetColumnText(5);
  EXPECT_EQ(values, (std::map<wxString, wxString>{{"Spule0", "1"}, {"Wort0", "777"}}));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// The device selection shows the found hardware's picture in its picture control and
// none for a hardware it has no picture of.
TEST_F(FieldBusGui, TheDeviceSelectionShowsTheHardwaresPicture) {
  const wxString file = home.Sub("SCAN1.OUT");
  hvtest::WriteAll(file, "[1]\r\nCTRL_515\r\nCTRL_515\r\n[2]\r\nCTRL_515\r\nNO_SUCH_HW\r\n");
  bool first = false, second = true;
  Next([&](wxDialog* d) {
    auto* picture = dynamic_cast<CDIBStatic*>(d->FindWindow(1144));
    auto* list = dynamic_cast<wxListBox*>(d->FindWindow(1055));
    ASSERT_TRUE(picture && list);
    first = picture->HasPicture();
    list->SetSelection(1);
    wxCommandEvent picked(wxEVT_LISTBOX, 1055);
    picked.SetEventObject(list);
    picked.SetInt(1);
    list->ProcessWindowEvent(picked);
    second = picture->HasPicture();
    PressOk(d);
  });
  hv::SelectDeviceRequest r;
  r.scanFile = file;
  EXPECT_EQ(hv::Ui().Run(r), IDOK);
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
  EXPECT_EQ(r.node, "2");
}

}  // namespace
