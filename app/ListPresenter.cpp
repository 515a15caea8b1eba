#include "app/ListPresenter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_set>

#include "model/ChildLoads.h"
#include "app/ClipboardTransfer.h"
#include "framework/CommandIds.h"
#include "app/CommandRouting.h"
#include "framework/ListLayout.h"
#include "app/MenuResources.h"
#include "framework/SettingsFile.h"
#include "app/TavProjectApp.h"
#include "framework/UpdateHints.h"
#include "app/ViewHooks.h"
#include "model/ListOrder.h"
#include "model/LongWork.h"
#include "platform/dbase/Table.h"
#include "model/Project.h"
#include "model/ProjectObject.h"

namespace {

int StyleOfCommand(UINT id) {
  switch (id) {
    case ID_VIEW_LARGEICON: return LIST_STYLE_ICON;
    case ID_VIEW_SMALLICON: return LIST_STYLE_SMALLICON;
    case ID_VIEW_LIST: return LIST_STYLE_LIST;
    default: return LIST_STYLE_DETAILS;
  }
}

wxString LayoutKey(CProjectObject& object) {
  return wxString::Format("%lX", static_cast<unsigned long>(ToUInt(object.GetTypeCode())));
}

}  // namespace

BEGIN_COMMAND_MAP(CListPresenter, CCmdTarget)
  ON_COMMAND(ID_VIEW_LARGEICON, OnViewStyle)
  ON_COMMAND(ID_VIEW_SMALLICON, OnViewStyle)
  ON_COMMAND(ID_VIEW_LIST, OnViewStyle)
  ON_COMMAND(ID_VIEW_DETAILS, OnViewStyle)
  ON_UPDATE_COMMAND_UI(ID_VIEW_LARGEICON, OnUpdateViewStyle)
  ON_UPDATE_COMMAND_UI(ID_VIEW_SMALLICON, OnUpdateViewStyle)
  ON_UPDATE_COMMAND_UI(ID_VIEW_LIST, OnUpdateViewStyle)
  ON_UPDATE_COMMAND_UI(ID_VIEW_DETAILS, OnUpdateViewStyle)
  ON_COMMAND(ID_EDIT_SELECT_ALL, OnSelectAll)
  ON_COMMAND(ID_EDIT_INVERT_SELECTION, OnInvertSelection)
  ON_COMMAND(ID_FILE_PRINT, OnPrint)
  ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnPrintPreview)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
  ON_COMMAND(ID_EDIT_CUT, OnEditCut)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateEditCopy)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
END_COMMAND_MAP()

CListPresenter::CListPresenter(IListWidget& widget, CTavProjectDoc& doc, CSettingsFile& profile)
    : m_widget(widget), m_doc(doc), m_profile(profile) {
  m_doc.AddView(this);
  SetClipboardCopyFlag(TRUE);
}

CListPresenter::~CListPresenter() { m_doc.RemoveView(this); }

void CListPresenter::OnInitialUpdate() {
  m_style = m_profile.GetInt("Pane1", "Type", LIST_STYLE_DETAILS) & 3;
  m_widget.SetViewStyle(m_style);
  SetColumns(GetColumnDefsOf(ColumnTableId::Default));
}

void CListPresenter::OnDestroy() {
  m_profile.WriteInt("Pane1", "Type", m_style);
  SaveLayout(m_listed.Get());
}

// --- rows ---

CProjectObject* CListPresenter::RowObject(std::size_t row) const {
  return row < m_rows.size() ? m_rows[row].Get() : nullptr;
}

wxString CListPresenter::RowText(std::size_t row, int displayColumn) {
  CProjectObject* object = RowObject(row);
  if (!object || displayColumn < 0 || displayColumn >= static_cast<int>(m_display.size())) return wxString();
  const int tableRow = m_display[static_cast<size_t>(displayColumn)];
  if (tableRow == 0) return object->GetName();
  return object->GetColumnText(m_table[static_cast<size_t>(tableRow)].subItem);
}

int CListPresenter::RowImage(std::size_t row) {
  CProjectObject* object = RowObject(row);
  if (!object) return -1;
  const int image = object->GetImage();
  if (image != -1) return image;
  auto it = m_ownImages.find(object->GetSerial());
  if (it != m_ownImages.end()) return it->second;
  object->AddImageToList(m_large, IMAGELIST_LARGE);
  const int small = object->AddImageToList(m_small, IMAGELIST_SMALL);
  m_ownImages[object->GetSerial()] = small;
  return small;
}

long CListPresenter::FindRow(const CProjectObject* object) {
  if (!CProjectObject::IsValidObject(object)) return -1;
  const ObjectSerial serial = object->GetSerial();
  // Removals come in bursts in row order: the row after the last one is looked at first.
  for (std::size_t i = m_lastRemovedRow; i < std::min(m_lastRemovedRow + 2, m_rows.size()); ++i)
    if (m_rows[i].Serial() == serial) return static_cast<long>(i);
  if (!m_rowIndexValid) {
    m_rowOf.clear();
    m_rowOf.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
      if (m_rows[i].Serial()) m_rowOf.emplace(m_rows[i].Serial(), i);
    m_rowIndexValid = true;
  }
  auto it = m_rowOf.find(serial);
  return it == m_rowOf.end() ? -1 : static_cast<long>(it->second);
}

void CListPresenter::RowsMoved() {
  m_rowIndexValid = false;
  m_rowOf.clear();
}

const std::vector<ObjectRef>& CListPresenter::SelectedObjects() {
  const std::uint64_t version = m_widget.SelectionVersion();
  if (version == 0 || version != m_selectionVersion) SelectionChanged();
  // A command run anywhere may have changed what the objects answer.
  if (m_commandsSeen != CommandRoute::ExecutedCount()) {
    m_answers.clear();
    m_commandsSeen = CommandRoute::ExecutedCount();
  }
  if (!m_selectionKnown) {
    m_selection.clear();
    for (std::size_t row : m_widget.GetSelectedRows())
      if (row < m_rows.size()) m_selection.push_back(m_rows[row]);
    m_selectionKnown = true;
    m_selectionVersion = version;
  }
  return m_selection;
}

void CListPresenter::SelectionChanged() {
  m_selectionKnown = false;
  m_answers.clear();
  m_canCopy = -1;
}

void CListPresenter::FillList(CProjectObject* object, bool force) {
  SelectionChanged();
  RowsMoved();
  m_goneRows = 0;
  m_rows.clear();
  m_ownImages.clear();
  m_widget.SetRowCount(0);
  if (!object) return;
  const ObjectRef ref(object);
  hv::LongWork work(object->GetChildCount());
  // What this action loaded it has kept up to date itself (a paste making a folder,
  // still empty, for what it pastes): it is not read again here.
  if (object->HasNoChildren() || force || (object->IsStale() && !childloads::Fresh(*object, false)))
    childloads::Load(*object);
  if (!ref.IsValid()) return;
  work.SetExpected(object->GetChildCount());
  childloads::NoteListed(object);
  std::vector<CProjectObject*> children;
  children.reserve(object->GetChildCount());
  POSITION pos = 0;
  for (CProjectObject* child = object->GetFirstChild(pos); child; child = object->GetNextChild(pos))
    if (CProjectObject::IsValidObject(child)) children.push_back(child);
  SortRows(children);
  m_lastRemovedRow = 0;
  m_widget.SetRowCount(m_rows.size());
}

void CListPresenter::SortRows(std::vector<CProjectObject*>& objects) {
  const int column = m_sortColumn >= 0 && m_sortColumn < static_cast<int>(m_table.size())
                         ? m_table[static_cast<size_t>(m_sortColumn)].subItem
                         : -1;
  m_rows.clear();
  m_rows.shrink_to_fit();
  m_rows = SortListRows(objects, column, m_sortDirection == 1);
  RowsMoved();
  m_goneRows = 0;
}

void CListPresenter::SortRows() {
  std::vector<CProjectObject*> objects;
  objects.reserve(m_rows.size());
  for (const ObjectRef& ref : m_rows)
    if (CProjectObject* object = ref.Get()) objects.push_back(object);
  SortRows(objects);
}

// --- columns ---

bool CListPresenter::IsTextsFolder(CProjectObject& object) { return object.GetTypeCode() == TypeCode::ResString; }

int CListPresenter::DisplayIndexOf(int tableRow) const {
  for (size_t i = 0; i < m_display.size(); ++i)
    if (m_display[i] == tableRow) return static_cast<int>(i);
  return -1;
}

void CListPresenter::SetColumns(std::span<ColumnDef> table) {
  m_table = table;
  m_display = DisplayOrderOf(table);
  if (m_sortColumn < 0 || m_sortColumn >= static_cast<int>(table.size())) {
    // A sort column the new set does not have would compare nothing.
    m_sortColumn = 0;
    m_sortDirection = 0;
  }
  std::vector<ListColumn> columns;
  for (int row : m_display) {
    const ColumnDef& c = table[static_cast<size_t>(row)];
    columns.push_back({c.title, c.format, c.width, row, !m_storedLayout});
  }
  m_widget.SetColumns(columns);
  m_widget.ShowSortIndicator(DisplayIndexOf(m_sortColumn), m_sortDirection == 0);
}

void CListPresenter::ChangeColumnSet(CProjectObject* object) {
  if (!object) return;
  if (CTavProjectApp* app = TheApp()) app->m_modelessDialog.reset();
  if (CProjectObject* previous = m_listed.Get()) SaveLayout(previous);
  std::span<ColumnDef> table = object->GetColumnDefs();
  wxString value;
  const wxString key = LayoutKey(*object);
  if (IsTextsFolder(*object)) {
    if (auto* project = dynamic_cast<CPOProject*>(FindProjectObject(object)))
      project->GetSetting(value, projectset::kPane, key, wxString());
  } else {
    value = m_profile.GetString("Pane1", key, wxString());
  }
  m_storedLayout = !value.empty();
  if (!value.empty()) {
    const int sort = ApplyListLayout(value, table, IsTextsFolder(*object));
    if (sort != 0) {
      m_sortColumn = std::abs(sort) - 1;
      m_sortDirection = sort < 0 ? 1 : 0;
    }
  }
  SetColumns(table);
}

void CListPresenter::SaveLayout(CProjectObject* object) {
  if (!CProjectObject::IsValidObject(object) || object != m_listed.Get()) return;
  for (size_t i = 0; i < m_display.size(); ++i) {
    ColumnDef& c = m_table[static_cast<size_t>(m_display[i])];
    c.width = m_widget.GetColumnWidth(static_cast<int>(i));
    c.order = static_cast<int>(i);
  }
  const bool texts = IsTextsFolder(*object);
  const wxString value = FormatListLayout(m_table, m_sortColumn, m_sortDirection, texts);
  const wxString key = LayoutKey(*object);
  if (texts) {
    if (auto* project = dynamic_cast<CPOProject*>(FindProjectObject(object)))
      project->WritePaneSetting(key, value);
  } else {
    m_profile.WriteString("Pane1", key, value);
  }
}

void CListPresenter::SetDisplayOrder(const std::vector<int>& tableRows) {
  if (tableRows.size() != m_table.size()) return;
  std::vector<bool> seen(m_table.size(), false);
  for (int row : tableRows) {
    if (row < 0 || row >= static_cast<int>(m_table.size()) || seen[static_cast<size_t>(row)]) return;
    seen[static_cast<size_t>(row)] = true;
  }
  for (size_t i = 0; i < m_display.size(); ++i)
    m_table[static_cast<size_t>(m_display[i])].width = m_widget.GetColumnWidth(static_cast<int>(i));
  for (size_t i = 0; i < tableRows.size(); ++i) m_table[static_cast<size_t>(tableRows[i])].order = static_cast<int>(i);
  SetColumns(m_table);
  m_widget.RefreshAll();
}

void CListPresenter::OnColumnClick(int displayIndex) {
  if (displayIndex < 0 || displayIndex >= static_cast<int>(m_display.size())) return;
  DispatchScope scope;
  const int row = m_display[static_cast<size_t>(displayIndex)];
  if (row == m_sortColumn) {
    m_sortDirection = m_sortDirection ? 0 : 1;
  } else {
    m_sortColumn = row;
    m_sortDirection = 0;
  }
  std::unordered_set<ObjectSerial> selected;
  for (const ObjectRef& ref : SelectedObjects()) selected.insert(ref.Serial());
  SortRows();
  m_widget.SetRowCount(m_rows.size());
  // Most rows selected: all, less the few that were not. The control keeps the rows
  // that differ from "all selected"; chosen one by one, a large list took seconds.
  const bool most = selected.size() * 2 > m_rows.size();
  if (most) m_widget.SelectAll();
  if (!selected.empty())
    for (std::size_t i = 0; i < m_rows.size(); ++i)
      if ((selected.count(m_rows[i].Serial()) != 0) != most) m_widget.SelectRow(i, !most);
  SelectionChanged();
  m_widget.ShowSortIndicator(displayIndex, m_sortDirection == 0);
}

void CListPresenter::ResetToBase() {
  SaveLayout(m_listed.Get());
  m_listed = ObjectRef();
  childloads::NoteListed(nullptr);
  SetColumns(GetColumnDefsOf(ColumnTableId::Default));
  RowsMoved();
  m_goneRows = 0;
  m_rows.clear();
  m_ownImages.clear();
  m_widget.SetRowCount(0);
}

// --- hints ---

void CListPresenter::OnUpdate(IProjectView* sender, int hint, CProjectObject* object) {
  DispatchScope scope;
  // Rows and objects may change: the selection's answers are asked anew.
  SelectionChanged();
  switch (hint) {
    case HINT_SHOW_OBJECT:
      if (!object) ResetToBase();
      // Only the views of the window choose what the list shows.
      if (!sender) return;
      if (object && !CProjectObject::IsValidObject(object)) return;
      if (object != m_listed.Get()) {
        ChangeColumnSet(object);
        m_listed = ObjectRef(object);
      }
      FillList(object, false);
      m_widget.RefreshAll();
      break;
    case HINT_OBJECT_ADDED: ObjectAdded(object); break;
    case HINT_OBJECT_REMOVED: ObjectRemoved(object); break;
    case HINT_REFRESH_CHILDREN:
      if (CProjectObject* listed = m_listed.Get(); listed && listed->IsStale()) FillList(listed, true);
      break;
    case HINT_OBJECT_CHANGED:
      if (long row = FindRow(object); row >= 0) m_widget.RefreshRow(static_cast<std::size_t>(row));
      break;
    case HINT_REBUILD_TREE:
      // "Aktualisieren": the listed node reads its folder or table again when it changed.
      if (CProjectObject* listed = m_listed.Get(); listed && listed->IsStale()) FillList(listed, true);
      m_widget.RefreshAll();
      break;
    default: m_widget.RefreshAll(); break;
  }
  SelectionChanged();
}

void CListPresenter::ObjectAdded(CProjectObject* object) {
  if (!CProjectObject::IsValidObject(object) || !object->GetParent()) return;
  // Rows of new objects join the list once the hints of this action are over: a paste
  // of many objects then merges them in one pass. Whether their parent is listed is
  // seen then: the action may still show it (a new object's folder).
  if (!m_addedSet.insert(object->GetSerial()).second) return;
  m_added.push_back(ObjectRef(object));
  SettleLater();
}

void CListPresenter::SettleLater() {
  if (m_settleDue) return;
  m_settleDue = true;
  live::AtScopeEnd([this, alive = std::weak_ptr<bool>(m_alive)] {
    if (!alive.lock()) return;
    m_settleDue = false;
    CloseUpRows();
    AddPendingRows();
  });
}

void CListPresenter::AddPendingRows() {
  std::vector<ObjectRef> added;
  added.swap(m_added);
  m_addedSet.clear();
  CProjectObject* listed = m_listed.Get();
  std::vector<CProjectObject*> fresh;
  ObjectRef announced;   // the last one, listed already or not
  for (const ObjectRef& ref : added) {
    CProjectObject* object = ref.Get();
    if (!object || !listed || object->GetParent() != listed) continue;
    announced = ref;
    if (FindRow(object) < 0) fresh.push_back(object);
  }
  if (fresh.empty()) {
    // Listed meanwhile (the list was filled anew): it is still the one to select.
    const long row = FindRow(announced.Get());
    if (row < 0) return;
    SelectionChanged();
    m_widget.ClearSelection();
    m_widget.SelectRow(static_cast<std::size_t>(row), true);
    m_widget.FocusRow(static_cast<std::size_t>(row));
    return;
  }
  const int column = m_sortColumn >= 0 && m_sortColumn < static_cast<int>(m_table.size())
                         ? m_table[static_cast<size_t>(m_sortColumn)].subItem
                         : 0;
  // The rows are in this order already: a new one goes after its equals.
  const bool descending = m_sortDirection == 1;
  auto before = [&](CProjectObject* object, const ObjectRef& row) {
    CProjectObject* other = row.Get();
    if (!other) return false;
    int r = object->Compare(other, column);
    if (descending) r = -r;
    return r < 0 || (r == 0 && NameBefore(*object, *other));
  };
  // The last one added is selected, as if each had come on its own.
  const ObjectRef last(fresh.back());
  std::size_t index = 0;
  if (fresh.size() == 1) {
    const auto at = std::partition_point(m_rows.begin(), m_rows.end(),
                                         [&](const ObjectRef& row) { return !before(fresh.front(), row); });
    index = static_cast<std::size_t>(at - m_rows.begin());
    m_rows.insert(at, last);
    RowsMoved();
    m_widget.InsertRow(index);
  } else {
    std::stable_sort(fresh.begin(), fresh.end(),
                     [&](CProjectObject* a, CProjectObject* b) { return before(a, ObjectRef(b)); });
    std::vector<ObjectRef> merged;
    merged.reserve(m_rows.size() + fresh.size());
    std::size_t next = 0;
    for (const ObjectRef& row : m_rows) {
      while (next < fresh.size() && before(fresh[next], row)) merged.push_back(ObjectRef(fresh[next++]));
      merged.push_back(row);
    }
    while (next < fresh.size()) merged.push_back(ObjectRef(fresh[next++]));
    m_rows.swap(merged);
    RowsMoved();
    m_widget.SetRowCount(m_rows.size());
    index = static_cast<std::size_t>(std::max(0L, FindRow(last.Get())));
  }
  SelectionChanged();
  m_widget.ClearSelection();
  m_widget.SelectRow(index, true);
  m_widget.FocusRow(index);
}

void CListPresenter::ObjectRemoved(CProjectObject* object) {
  if (!CProjectObject::IsValidObject(object)) return;
  if (object == m_listed.Get()) {
    // The listed object goes: nothing is left to list.
    ResetToBase();
    return;
  }
  m_addedSet.erase(object->GetSerial());
  const long found = FindRow(object);
  if (found < 0) return;
  const std::size_t row = static_cast<std::size_t>(found);
  // The row stays, empty, until the hints of this action are over: a delete of many rows
  // then closes the list up once instead of once per row.
  if (m_rowIndexValid) m_rowOf.erase(m_rows[row].Serial());
  m_rows[row] = ObjectRef();
  m_ownImages.erase(object->GetSerial());
  ++m_goneRows;
  m_lastRemovedRow = row + 1;
  SettleLater();
}

void CListPresenter::CloseUpRows() {
  if (m_goneRows == 0) return;
  std::vector<std::size_t> gone;
  gone.reserve(m_goneRows);
  std::size_t to = 0;
  for (std::size_t from = 0; from < m_rows.size(); ++from) {
    if (!m_rows[from].Serial()) {
      gone.push_back(from);
      continue;
    }
    if (to != from) m_rows[to] = m_rows[from];
    ++to;
  }
  m_rows.resize(to);
  m_goneRows = 0;
  RowsMoved();
  SelectionChanged();
  m_widget.DeleteRows(gone);
  m_lastRemovedRow = 0;
  if (m_rows.empty() || gone.empty() || m_widget.HasSelection()) return;
  // The row after the first removed one takes the selection.
  const std::size_t first = gone.front();
  const std::size_t target = first < m_rows.size() ? first : m_rows.size() - 1;
  m_widget.SelectRow(target, true);
  m_widget.FocusRow(target);
}

// --- routing and commands ---

BOOL CListPresenter::OnCmdMsg(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe) {
  if (code != CN_COMMAND && code != CN_UPDATE_COMMAND_UI) return CCmdTarget::OnCmdMsg(id, code, ui, probe);
  DispatchScope scope;
  // A command on many rows works on each table in one session, not once per row.
  std::optional<hv::db::TableSession> tables;
  if (code == CN_COMMAND && !probe) tables.emplace();
  const std::vector<ObjectRef>& selection = SelectedObjects();
  if (selection.size() > 1) {
    if (code == CN_COMMAND && !probe) {
      // A command runs on its own copy: handlers may change the selection.
      const std::vector<ObjectRef> rows = selection;
      const BOOL handled = RouteListRequest(rows, m_listed, id, code, ui, probe);
      SelectionChanged();
      if (handled) return TRUE;
      return CCmdTarget::OnCmdMsg(id, code, ui, probe);
    }
    if (RouteToSelectionOnce(selection, id, code, ui, probe)) return TRUE;
    return CCmdTarget::OnCmdMsg(id, code, ui, probe);
  }
  if (RouteListRequest(std::vector<ObjectRef>(selection), m_listed, id, code, ui, probe)) return TRUE;
  return CCmdTarget::OnCmdMsg(id, code, ui, probe);
}

namespace {

// Passes an update request's answers on and keeps them.
class KeepingCmdUI : public CCmdUI {
 public:
  KeepingCmdUI(CCmdUI* real, UINT id, bool& enableSet, BOOL& enabled, bool& checkSet, int& check, bool& textSet,
               wxString& text)
      : CCmdUI(id), m_real(real), m_enableSet(enableSet), m_enabled(enabled), m_checkSet(checkSet), m_check(check),
        m_textSet(textSet), m_text(text) {}

 protected:
  void DoEnable(BOOL on) override {
    m_enableSet = true;
    m_enabled = on;
    if (m_real) m_real->Enable(on);
  }
  void DoSetCheck(int check) override {
    m_checkSet = true;
    m_check = check;
    if (m_real) m_real->SetCheck(check);
  }
  void DoSetText(const wxString& text) override {
    m_textSet = true;
    m_text = text;
    if (m_real) m_real->SetText(text);
  }

 private:
  CCmdUI* m_real;
  bool& m_enableSet;
  BOOL& m_enabled;
  bool& m_checkSet;
  int& m_check;
  bool& m_textSet;
  wxString& m_text;
};

}  // namespace

BOOL CListPresenter::RouteToSelectionOnce(const std::vector<ObjectRef>& selection, UINT id, int code, CCmdUI* ui,
                                          CmdHandlerInfo* probe) {
  const std::uint64_t key = (static_cast<std::uint64_t>(id) << 2) | (code == CN_COMMAND ? 1u : 0u) | (probe ? 2u : 0u);
  if (auto it = m_answers.find(key); it != m_answers.end()) {
    const RoutedAnswer& a = it->second;
    if (ui) {
      if (a.enableSet) ui->Enable(a.enabled);
      if (a.checkSet) ui->SetCheck(a.check);
      if (a.textSet) ui->SetText(a.text);
      ui->m_bContinueRouting = a.continueRouting;
    }
    return a.handled;
  }
  RoutedAnswer a;
  const std::vector<ObjectRef> rows = selection;
  hv::LongWork work(rows.size());
  if (ui) {
    KeepingCmdUI keep(ui, ui->m_nID, a.enableSet, a.enabled, a.checkSet, a.check, a.textSet, a.text);
    a.handled = RouteListRequest(rows, m_listed, id, code, &keep, probe);
    a.continueRouting = keep.m_bContinueRouting;
    ui->m_bContinueRouting = keep.m_bContinueRouting;
  } else {
    a.handled = RouteListRequest(rows, m_listed, id, code, nullptr, probe);
  }
  m_answers[key] = std::move(a);
  return m_answers[key].handled;
}

void CListPresenter::SetViewStyle(int style) {
  m_style = style & 3;
  m_widget.SetViewStyle(m_style);
}

void CListPresenter::OnViewStyle(UINT id) {
  const int style = StyleOfCommand(id);
  if (style != m_style) SetViewStyle(style);
}

void CListPresenter::OnUpdateViewStyle(CCmdUI* ui) {
  ui->Enable(TRUE);
  ui->SetCheck(StyleOfCommand(ui->m_nID) == m_style ? 1 : 0);
}

void CListPresenter::OnSelectAll() {
  m_widget.SelectAll();
  SelectionChanged();
}

void CListPresenter::OnInvertSelection() {
  const std::vector<std::size_t> selected = m_widget.GetSelectedRows();
  // Only the rows that differ from "all" or "none" are chosen one by one (as for a sort).
  const bool most = selected.size() * 2 < m_rows.size();
  if (most) m_widget.SelectAll();
  else m_widget.ClearSelection();
  std::size_t next = 0;
  for (std::size_t row = 0; row < m_rows.size(); ++row) {
    const bool was = next < selected.size() && selected[next] == row;
    if (was) ++next;
    if (was == most) m_widget.SelectRow(row, !was);
  }
  SelectionChanged();
}

void CListPresenter::OnEditCopy() {
  const std::vector<ObjectRef> rows = SelectedObjects();
  ListCopy(rows);
}

void CListPresenter::OnUpdateEditCopy(CCmdUI* ui) {
  const std::vector<ObjectRef>& rows = SelectedObjects();
  // Asked of every row once per selection, not on every refresh.
  if (m_canCopy < 0) m_canCopy = ListCanCopy(rows) ? 1 : 0;
  ui->Enable(m_canCopy == 1 ? TRUE : FALSE);
}

void CListPresenter::OnEditCut() {
  const std::vector<ObjectRef> rows = SelectedObjects();
  ListCut(rows);
}

void CListPresenter::OnEditPaste() {
  const std::vector<ObjectRef> rows = SelectedObjects();
  ListPaste(m_listed, rows.empty() ? ObjectRef() : rows.front());
}

void CListPresenter::OnUpdateEditPaste(CCmdUI* ui) {
  if (!ListCanPaste(m_listed)) ui->Enable(FALSE);
}

void CListPresenter::OnPrint() {
  if (onPrint) onPrint();
}

void CListPresenter::OnPrintPreview() {
  if (onPrintPreview) onPrintPreview();
}

// --- actions ---

void CListPresenter::OnDoubleClick(int displayColumn) {
  DispatchScope scope;
  const std::vector<std::size_t> rows = m_widget.GetSelectedRows();
  if (rows.empty()) return;
  CProjectObject* object = RowObject(rows.front());
  if (!object) return;
  if (object->HasTreeChildren()) {
    m_doc.UpdateAllViews(this, HINT_OPEN_OBJECT, object);
  } else if (object->HasListChildren()) {
    m_doc.UpdateAllViews(this, HINT_SHOW_OBJECT, object);
  } else {
    int column = 0;
    if (displayColumn >= 0 && displayColumn < static_cast<int>(m_display.size()))
      column = m_table[static_cast<size_t>(m_display[static_cast<size_t>(displayColumn)])].subItem;
    object->OnColumnDblClick(column);
  }
}

CListPresenter::MenuChoice CListPresenter::PrepareContextMenu() {
  DispatchScope scope;
  MenuChoice choice;
  const std::vector<std::size_t> rows = m_widget.GetSelectedRows();
  if (!rows.empty()) {
    CProjectObject* object = RowObject(rows.front());
    if (!object) return choice;
    const ObjectRef ref(object);
    if (object->GetTypeCode() == TypeCode::Project) object->LoadChildren();
    if (!ref.IsValid()) return choice;
    std::optional<CMenu> menu = LoadContextMenu(static_cast<UINT>(object->GetContextMenuId()));
    if (!menu) return choice;
    object->AdjustContextMenu(*menu);
    if (ref.IsValid()) choice.menu = std::move(menu);
    return choice;
  }
  CProjectObject* listed = m_listed.Get();
  if (!listed) return choice;
  const char* cls = listed->ClassName();
  if (std::strcmp(cls, "CPOPrjDevice") == 0 || std::strcmp(cls, "CPOResource") == 0) return choice;
  UINT id = IDR_MENU_NEW_PASTE;
  if (std::strcmp(cls, "CPOResPal") == 0) id = IDR_MENU_PASTE_PAL;
  else if (std::strcmp(cls, "CPODocuments") == 0) id = IDR_MENU_PASTE_DOCS;
  choice.menu = LoadContextMenu(id);
  return choice;
}
