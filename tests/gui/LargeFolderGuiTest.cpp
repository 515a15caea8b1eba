// A device with 20,000 data points in the running window: expanding its data-point
// folder, F5, select-all and Ctrl+C keep the window answering. Each action runs from the
// event loop as the user's key or click would; a watcher thread sees the loop's beats
// and the wait cursor: the loop's thread works no stretch over 0.1 s with neither, and
// none over 0.5 s without a beat, wait cursor or not. A delete of many points shows
// the wait cursor on the display, and one stopped with Escape hands the window back.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <time.h>

#include <atomic>
#include <ctime>
#include <functional>
#include <cstdio>
#include <chrono>
#include <set>
#include <thread>

#include "app/ui/App.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "framework/ClipboardStore.h"
#include "framework/CommandIds.h"
#include "model/DataPoint.h"
#include "model/PrjDataPoint.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;
using namespace std::chrono_literals;

namespace {

std::int64_t CpuNs(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// The most processor time the event loop's thread spent in one stretch without a beat:
// with the wait cursor shown and without it. Processor time, not wall time: a loaded
// machine that holds the thread back is no work of the program's.
class Watcher {
 public:
  Watcher() {
    pthread_getcpuclockid(pthread_self(), &m_clock);
    m_beat.store(CpuNs(m_clock));
    m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { m_beat.store(CpuNs(m_clock)); });
    m_timer.Start(5);
    m_thread = std::thread([this] {
      std::int64_t covered = CpuNs(m_clock);
      while (!m_stop.load()) {
        const std::int64_t now = CpuNs(m_clock);
        if (BusyCursorDepth() > 0) covered = now;
        const std::int64_t beat = m_beat.load();
        m_worst.store(std::max(m_worst.load(), now - std::max(covered, beat)));
        m_worstBusy.store(std::max(m_worstBusy.load(), now - beat));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    });
  }
  ~Watcher() {
    m_stop.store(true);
    m_thread.join();
  }
  // Resets the worst stretches; the beats go on.
  void Reset() {
    m_worst.store(0);
    m_worstBusy.store(0);
  }
  // The longest stretch with neither a beat nor the wait cursor.
  double WorstSeconds() const { return m_worst.load() / 1e9; }
  // The longest stretch without a beat, wait cursor or not.
  double WorstBusySeconds() const { return m_worstBusy.load() / 1e9; }

 private:
  clockid_t m_clock{};
  wxTimer m_timer;
  std::atomic<std::int64_t> m_beat{0};
  std::atomic<std::int64_t> m_worst{0};
  std::atomic<std::int64_t> m_worstBusy{0};
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// What one action did to the window: the longest stretch without beat or cursor, and
// the longest without a beat at all.
struct Stretches {
  double uncovered = 0;
  double any = 0;
};

class LargeFolderGui : public hvtest::ProjectWindowFixture {
 protected:
  // A device whose DATPKT holds `count` data points named `prefix` and a number.
  CPOPrjDevice* DeviceWithPoints(CPOProject* project, const wxString& name, int count) {
    CPOPrjDevice* device = MakeDevice(project, name);
    if (!device) return nullptr;
    using namespace hv::db;
    Table t;
    if (!t.open(device->GetDeviceFolder(), DatpktSchema())) return nullptr;
    t.beginBulk();
    for (int i = 0; i < count; ++i) {
      DatpktRow r;
      r.name = wxString::Format("DP_%05d", i);
      r.description = wxString::Format("Messwert %d", i);
      r.address = wxString::Format("9|M|W|81|%d|0|1", i);
      r.type = 8;
      r.device = static_cast<std::uint16_t>(device->GetDeviceNumber());
      r.access = 3;
      if (!t.insert(r)) return nullptr;
    }
    return t.endBulk() ? device : nullptr;
  }
  wxTreeItemId ItemNamed(const wxString& text) {
    wxTreeCtrl& tree = Tree();
    wxTreeItemIdValue cookie;
    for (wxTreeItemId id = tree.GetFirstChild(tree.GetSelection(), cookie); id.IsOk();
         id = tree.GetNextChild(tree.GetSelection(), cookie))
      if (tree.GetItemText(id) == text) return id;
    return wxTreeItemId();
  }
  // The device's data points listed, every row selected; the folder.
  CProjectObject* ListAllPoints(CPOPrjDevice* device, std::size_t count) {
    if (!SelectInTree(device)) return nullptr;
    TreeChildren(device);
    CProjectObject* dps = ChildNamed(device, S("Datenpunkte"));
    const wxTreeItemId item = ItemNamed(S("Datenpunkte"));
    if (!dps || !item.IsOk()) return nullptr;
    bool done = false;
    wxTheApp->CallAfter([&] {
      Tree().SelectItem(item);
      done = true;
    });
    if (!hvtest::PumpUntil([&] { return done; }, std::chrono::seconds(60))) return nullptr;
    frame->SetActiveView(&frame->GetListView()->Presenter());
    RunInList(ID_EDIT_SELECT_ALL);
    hvtest::Pump(std::chrono::milliseconds(50));
    return frame->GetListView()->Control()->GetSelectedItemCount() == static_cast<int>(count) ? dps : nullptr;
  }
  // Opens the list's menu with the right button where the pointer rests and chooses
  // the command's entry with the arrow keys and Return, as a user would.
  bool ChooseInListMenu(UINT command) {
    wxWindow* rows = frame->GetListView()->Control();
    wxMenu* menu = nullptr;
    auto onOpen = [&](wxMenuEvent& e) {
      if (!menu) menu = e.GetMenu();
      e.Skip();
    };
    rows->Bind(wxEVT_MENU_OPEN, onOpen);
    bool sent = false;
    wxTimer keys;
    keys.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      if (sent || !menu || !frame->PopupMenuShown()) return;
      // The arrow keys pass over disabled entries.
      int downs = 0, enabled = 0;
      for (wxMenuItem* entry : menu->GetMenuItems()) {
        if (entry->IsSeparator() || !entry->IsEnabled()) continue;
        ++enabled;
        if (entry->GetId() == ToolkitId(command)) downs = enabled;
      }
      if (downs == 0) return;
      sent = true;
      wxUIActionSimulator sim;
      for (int i = 0; i < downs; ++i) sim.Char(WXK_DOWN);
      sim.Char(WXK_RETURN);
    });
    keys.Start(50);
    wxUIActionSimulator().MouseClick(wxMOUSE_BTN_RIGHT);
    const bool chosen = hvtest::PumpUntil([&] { return sent && !frame->PopupMenuShown(); }, std::chrono::seconds(20));
    keys.Stop();
    rows->Unbind(wxEVT_MENU_OPEN, onOpen);
    return chosen;
  }
  BOOL RunInList(UINT id) {
    DispatchScope scope;
    return frame->Router().RouteFrom(&frame->GetListView()->Presenter()).Execute(id);
  }
  // Runs the action from the event loop and waits for its end; the worst stretch the
  // watcher saw meanwhile.
  Stretches Answering(Watcher& watcher, const std::function<void()>& action) {
    hvtest::Pump(std::chrono::milliseconds(30));
    watcher.Reset();
    bool done = false;
    wxTheApp->CallAfter([&] {
      action();
      done = true;
    });
    EXPECT_TRUE(hvtest::PumpUntil([&] { return done; }, std::chrono::seconds(60)));
    hvtest::Pump(std::chrono::milliseconds(30));
    return {watcher.WorstSeconds(), watcher.WorstBusySeconds()};
  }
};

// Work over 0.1 s shows the wait cursor, and even under it no stretch without a beat
// lasts longer than 0.5 s of processor time (20,000 rows take under 0.1 s here).
constexpr double kFrozen = 0.5;
void ExpectAnswering(const Stretches& s, const char* what) {
  EXPECT_LE(s.uncovered, 0.1) << what << ": work without the wait cursor";
  EXPECT_LE(s.any, kFrozen) << what << ": the window did not answer";
}

}  // namespace

TEST_F(LargeFolderGui, ExpandF5AndCopyOf20000DataPointsKeepTheWindowAnswering) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  CPOPrjDevice* device = MakeDevice(project, S("Panel"));
  ASSERT_TRUE(device);
  constexpr int kPoints = 20000;
  {
    using namespace hv::db;
    Table t;
    ASSERT_TRUE(t.open(device->GetDeviceFolder(), DatpktSchema()));
    t.beginBulk();
    for (int i = 0; i < kPoints; ++i) {
      DatpktRow r;
      r.name = wxString::Format("DP_%05d", i);
      r.description = wxString::Format("Messwert %d", i);
      r.address = wxString::Format("9|M|W|81|%d|0|1", i);
      r.type = 8;
      r.device = static_cast<std::uint16_t>(device->GetDeviceNumber());
      r.access = 3;
      ASSERT_TRUE(t.insert(r));
    }
    ASSERT_TRUE(t.endBulk());
  }
  ASSERT_TRUE(SelectInTree(device));
  TreeChildren(device);
  CProjectObject* dps = ChildNamed(device, S("Datenpunkte"));
  ASSERT_TRUE(dps);
  const ObjectRef folder(dps);
  Watcher watcher;

  // Expanding the folder's item reads the 20,000 points.
  wxTreeCtrl& tree = Tree();
  wxTreeItemId item;
  wxTreeItemIdValue cookie;
  for (wxTreeItemId id = tree.GetFirstChild(tree.GetSelection(), cookie); id.IsOk();
       id = tree.GetNextChild(tree.GetSelection(), cookie))
    if (tree.GetItemText(id) == S("Datenpunkte")) item = id;
  ASSERT_TRUE(item.IsOk());
  const Stretches expand = Answering(watcher, [&] { tree.Expand(item); });
  ASSERT_TRUE(folder.IsValid());
  EXPECT_EQ(folder.Get()->GetChildCount(), static_cast<std::size_t>(kPoints));
  ExpectAnswering(expand, "expand");

  // The list shows them; F5 reads everything shown again.
  const Stretches select = Answering(watcher, [&] { tree.SelectItem(item); });
  ExpectAnswering(select, "listing");
  EXPECT_EQ(frame->GetListView()->Presenter().GetRowCount(), static_cast<std::size_t>(kPoints));
  const Stretches f5 = Answering(watcher, [&] { RunInTree(ID_VIEW_REFRESH); });
  ExpectAnswering(f5, "F5");

  // Select all and Ctrl+C in the list.
  frame->SetActiveView(&frame->GetListView()->Presenter());
  const Stretches all = Answering(watcher, [&] { RunInList(ID_EDIT_SELECT_ALL); });
  ExpectAnswering(all, "select all");
  BOOL copied = FALSE;
  const Stretches copy = Answering(watcher, [&] { copied = RunInList(ID_EDIT_COPY); });
  EXPECT_TRUE(copied);
  ExpectAnswering(copy, "copy");
  EXPECT_FALSE(ClipboardStore().Formats().empty());
  std::printf("longest stretch without beat or wait cursor / without beat: expand %.3f/%.3f s, "
              "listing %.3f/%.3f s, F5 %.3f/%.3f s, select all %.3f/%.3f s, copy %.3f/%.3f s\n",
              expand.uncovered, expand.any, select.uncovered, select.any, f5.uncovered, f5.any, all.uncovered,
              all.any, copy.uncovered, copy.any);
  // Nothing is left waiting: the cursor is the normal one again.
  EXPECT_EQ(BusyCursorDepth(), 0);
  EXPECT_FALSE(wxIsBusy());
}

// Escape held while the wait cursor shows stops a reload of a large data-point folder:
// the folder keeps the children it had (the same objects, with their old values), no
// message appears, and the next reload reads everything.
TEST_F(LargeFolderGui, EscapeStopsALongReloadAndLeavesTheOldChildren) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  constexpr int kPoints = 20000;
  CPOPrjDevice* device = DeviceWithPoints(project, S("Panel"), kPoints);
  ASSERT_TRUE(device);
  ASSERT_TRUE(SelectInTree(device));
  TreeChildren(device);
  CProjectObject* dps = ChildNamed(device, S("Datenpunkte"));
  ASSERT_TRUE(dps);
  const ObjectRef folder(dps);
  const wxTreeItemId item = ItemNamed(S("Datenpunkte"));
  ASSERT_TRUE(item.IsOk());

  // The first expansion stopped: nothing loaded, the item can be expanded again.
  ASSERT_TRUE(hvtest::WithEscapeHeld([&] { Tree().Expand(item); }));
  ASSERT_TRUE(folder.IsValid());
  EXPECT_EQ(folder.Get()->GetChildCount(), 0u);
  EXPECT_TRUE(Tree().ItemHasChildren(item));
  EXPECT_TRUE(ui.MessageIds().empty());

  // Loaded in full, listed; then another program changes a row and F5 is stopped.
  Tree().Collapse(item);
  bool done = false;
  wxTheApp->CallAfter([&] {
    Tree().Expand(item);
    Tree().SelectItem(item);
    done = true;
  });
  ASSERT_TRUE(hvtest::PumpUntil([&] { return done; }, std::chrono::seconds(60)));
  ASSERT_EQ(folder.Get()->GetChildCount(), static_cast<std::size_t>(kPoints));
  EXPECT_EQ(frame->GetListView()->Presenter().GetRowCount(), static_cast<std::size_t>(kPoints));
  std::vector<ObjectSerial> before;
  for (CProjectObject* child : folder.Get()->GetChildren()) before.push_back(child->GetSerial());
  CProjectObject* first = folder.Get()->GetChildren().front();
  const wxString oldText = first->GetColumnText(3);
  {
    using namespace hv::db;
    Table t;
    ASSERT_TRUE(t.open(device->GetDeviceFolder(), DatpktSchema()));
    DatpktRow r;
    ASSERT_TRUE(datpkt_select(t, r, kSeek, "ID", {static_cast<CPODataPoint*>(first)->GetId()}));
    r.description = S("Neuer Text");
    ASSERT_TRUE(datpkt_update(t, r));
    ASSERT_TRUE(hvtest::MarkWrittenLater(hv::JoinPath(device->GetDeviceFolder(), S("DATPKT.DBF"))));
  }
  ASSERT_TRUE(folder.Get()->IsStale());
  ASSERT_TRUE(hvtest::WithEscapeHeld([&] { RunInTree(ID_VIEW_REFRESH); }));
  ASSERT_TRUE(folder.IsValid());
  std::vector<ObjectSerial> after;
  for (CProjectObject* child : folder.Get()->GetChildren()) after.push_back(child->GetSerial());
  EXPECT_EQ(after, before);
  EXPECT_EQ(folder.Get()->GetChildren().front()->GetColumnText(3), oldText);
  EXPECT_EQ(frame->GetListView()->Presenter().GetRowCount(), static_cast<std::size_t>(kPoints));
  EXPECT_TRUE(ui.MessageIds().empty());
  EXPECT_EQ(BusyCursorDepth(), 0);

  // Without Escape the reload reads the change.
  done = false;
  wxTheApp->CallAfter([&] {
    RunInTree(ID_VIEW_REFRESH);
    done = true;
  });
  ASSERT_TRUE(hvtest::PumpUntil([&] { return done; }, std::chrono::seconds(60)));
  ASSERT_TRUE(folder.IsValid());
  EXPECT_EQ(folder.Get()->GetChildCount(), static_cast<std::size_t>(kPoints));
  EXPECT_EQ(folder.Get()->GetChildren().front()->GetColumnText(3), S("Neuer Text"));
}

// A delete of many data points chosen in the list's own menu: the display shows the
// wait cursor for as long as it runs, though the toolkit reads the events of the menu's
// closing only afterwards (until then it takes the pointer to be elsewhere).
TEST_F(LargeFolderGui, ADeleteChosenInTheListsMenuShowsTheWaitCursorWhileItRuns) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  constexpr int kPoints = 30000;
  CPOPrjDevice* device = DeviceWithPoints(project, S("Panel"), kPoints);
  ASSERT_TRUE(device);
  CProjectObject* dps = ListAllPoints(device, kPoints);
  ASSERT_TRUE(dps);
  const ObjectRef folder(dps);
  // The pointer rests on the selected rows.
  wxWindow* rows = frame->GetListView()->Control();
  const wxPoint onRows = rows->GetScreenRect().GetPosition() + rows->GetSize() / 2;
  wxUIActionSimulator().MouseMove(onRows);
  ASSERT_TRUE(hvtest::PumpUntil([&] { return wxGetMousePosition() == onRows; }, std::chrono::seconds(2)));
  hvtest::Pump(std::chrono::milliseconds(100));

  hvtest::DisplayCursorLog log;
  ASSERT_TRUE(log.Ok());
  hvtest::Pump(std::chrono::milliseconds(50));
  ASSERT_TRUE(ChooseInListMenu(ID_OBJECT_DELETE));
  hvtest::Pump(std::chrono::milliseconds(100));
  const std::vector<hvtest::DisplayCursorLog::Sample> samples = log.Stop();
  ASSERT_TRUE(folder.IsValid());
  EXPECT_EQ(folder.Get()->GetChildCount(), 0u);

  // The delete is the longest stretch of the wait cursor; the cursors shown while the
  // program had none on show are the ordinary ones (the pointer's and the menu's). A
  // look while the program shows the wait cursor or puts it back belongs to neither.
  std::set<unsigned long> ordinary;
  std::size_t begin = 0, end = 0;
  auto length = [&](std::size_t from, std::size_t to) { return from < to ? samples[to - 1].at - samples[from].at : 0ns; };
  for (std::size_t i = 0; i < samples.size();) {
    if (!samples[i].busy) {
      if (samples[i].idle) ordinary.insert(samples[i].cursor);
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < samples.size() && samples[j].busy) ++j;
    if (length(i, j) > length(begin, end)) {
      begin = i;
      end = j;
    }
    i = j;
  }
  ASSERT_LT(begin, end);
  const auto settled = samples[begin].at + std::chrono::milliseconds(20);
  ASSERT_GT(samples[end - 1].at - settled, std::chrono::milliseconds(20)) << "the delete was too short to see";
  std::size_t plain = 0, seen = 0;
  std::string shown;
  for (std::size_t i = begin; i < end; ++i) {
    if (samples[i].at < settled) continue;
    ++seen;
    if (!ordinary.count(samples[i].cursor)) continue;
    ++plain;
    if (shown.empty()) shown = samples[i].name.empty() ? std::to_string(samples[i].cursor) : samples[i].name;
  }
  EXPECT_EQ(plain, 0u) << plain << " of " << seen << " looks at the display during the delete saw the cursor \""
                       << shown << "\"";
  EXPECT_EQ(BusyCursorDepth(), 0);
}

// Escape held while a delete of many data points runs stops it between two points: the
// rows not deleted stay listed and selected, the table holds exactly them, and the
// window answers again at once (it did not for a second while the control took back the
// survivors' selection one row at a time).
TEST_F(LargeFolderGui, EscapeStopsALongDeleteAndTheWindowAnswersAtOnce) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  constexpr int kPoints = 50000;
  CPOPrjDevice* device = DeviceWithPoints(project, S("Panel"), kPoints);
  ASSERT_TRUE(device);
  CProjectObject* dps = ListAllPoints(device, kPoints);
  ASSERT_TRUE(dps);
  const ObjectRef folder(dps);

  Watcher watcher;
  hvtest::Pump(std::chrono::milliseconds(30));
  watcher.Reset();
  ASSERT_TRUE(hvtest::WithEscapeHeld([&] { RunInList(ID_OBJECT_DELETE); }));
  hvtest::Pump(std::chrono::milliseconds(100));
  const double frozen = watcher.WorstBusySeconds();
  ASSERT_TRUE(folder.IsValid());
  const std::size_t left = folder.Get()->GetChildCount();
  EXPECT_GT(left, 0u);
  EXPECT_LT(left, static_cast<std::size_t>(kPoints));
  EXPECT_EQ(frame->GetListView()->Presenter().GetRowCount(), left);
  EXPECT_EQ(frame->GetListView()->Control()->GetSelectedItemCount(), static_cast<int>(left));
  {
    using namespace hv::db;
    Table t;
    ASSERT_TRUE(t.open(device->GetDeviceFolder(), DatpktSchema()));
    EXPECT_EQ(t.size(), left);
  }
  EXPECT_TRUE(ui.MessageIds().empty());
  EXPECT_EQ(BusyCursorDepth(), 0);
  std::printf("delete stopped after %zu of %d points; longest stretch without a beat %.3f s\n", kPoints - left,
              kPoints, frozen);
  EXPECT_LE(frozen, 0.15) << "the window did not answer after Escape";
}

// All but a few of 50,000 rows selected: a click on the name's heading turns the order
// round and keeps exactly those rows selected, and inverting the selection twice gives
// the few, then the many again. Each takes a stretch of processor time too short to
// notice (they took seconds while the control selected the rows one by one).
TEST_F(LargeFolderGui, SortAndInvertKeepALargeSelectionAndTheWindowAnswers) {
  CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
  Open();
  constexpr int kPoints = 50000;
  CPOPrjDevice* device = DeviceWithPoints(project, S("Panel"), kPoints);
  ASSERT_TRUE(device);
  ASSERT_TRUE(ListAllPoints(device, kPoints));
  wxListCtrl* list = frame->GetListView()->Control();
  const std::set<wxString> out = {S("DP_00000"), S("DP_00007"), S("DP_49999")};
  for (long row : {0L, 7L, static_cast<long>(kPoints - 1)}) list->SetItemState(row, 0, wxLIST_STATE_SELECTED);
  // The names of the rows selected (or not) as the control has them.
  auto names = [&](bool selected) {
    std::set<wxString> found;
    for (long row = 0; row < list->GetItemCount(); ++row)
      if ((list->GetItemState(row, wxLIST_STATE_SELECTED) != 0) == selected) found.insert(list->GetItemText(row));
    return found;
  };
  ASSERT_EQ(names(false), out);

  Watcher watcher;
  wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
  click.SetEventObject(list);
  click.m_col = 0;
  const Stretches sort = Answering(watcher, [&] { list->GetEventHandler()->ProcessEvent(click); });
  EXPECT_EQ(list->GetItemText(0), S("DP_49999"));   // descending now
  EXPECT_EQ(list->GetSelectedItemCount(), kPoints - 3);
  EXPECT_EQ(names(false), out);
  const Stretches invert = Answering(watcher, [&] { RunInList(ID_EDIT_INVERT_SELECTION); });
  EXPECT_EQ(list->GetSelectedItemCount(), 3);
  EXPECT_EQ(names(true), out);
  const Stretches back = Answering(watcher, [&] { RunInList(ID_EDIT_INVERT_SELECTION); });
  EXPECT_EQ(list->GetSelectedItemCount(), kPoints - 3);
  EXPECT_EQ(names(false), out);
  EXPECT_EQ(frame->GetListView()->Presenter().SelectedObjects().size(), static_cast<std::size_t>(kPoints - 3));
  std::printf("longest stretch without a beat: sort %.3f s, invert to few %.3f s, invert to many %.3f s\n", sort.any,
              invert.any, back.any);
  for (const auto& [what, s] : {std::pair{"sort", sort}, {"invert to few", invert}, {"invert to many", back}})
    EXPECT_LE(s.any, 0.15) << what << ": the window did not answer";
}
