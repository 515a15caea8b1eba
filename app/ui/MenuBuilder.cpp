#include "app/ui/MenuBuilder.h"

#include <unordered_map>

#include "app/MenuResources.h"

namespace {

struct IdMap {
  std::unordered_map<UINT, int> toToolkit;
  std::unordered_map<int, UINT> toCommand;
  int next = 10000;
};

IdMap& Ids() {
  static IdMap ids;
  return ids;
}

// Small ids outside the toolkit's own range stay as they are.
bool KeepsItsId(UINT command) { return command < 10000 && (command < wxID_LOWEST || command > wxID_HIGHEST); }

}  // namespace

int ToolkitId(UINT command) {
  if (KeepsItsId(command)) return static_cast<int>(command);
  IdMap& ids = Ids();
  auto it = ids.toToolkit.find(command);
  if (it != ids.toToolkit.end()) return it->second;
  const int id = ids.next++;
  ids.toToolkit[command] = id;
  ids.toCommand[id] = command;
  return id;
}

UINT CommandOfToolkitId(int id) {
  auto it = Ids().toCommand.find(id);
  return it != Ids().toCommand.end() ? it->second : static_cast<UINT>(id);
}

void AddWxMenuItem(wxMenu& target, const CMenu::Item& item, int pos) {
  const size_t at = pos < 0 ? target.GetMenuItemCount() : static_cast<size_t>(pos);
  switch (item.kind) {
    case CMenu::Kind::Separator:
      target.InsertSeparator(at);
      return;
    case CMenu::Kind::Popup:
      target.Insert(at, wxID_ANY, ToToolkitMenuLabel(LocalMenuText(item.text)), BuildWxMenu(*item.popup));
      return;
    case CMenu::Kind::Check: {
      wxMenuItem* added = target.InsertCheckItem(at, ToolkitId(item.id), ToToolkitMenuLabel(LocalMenuText(item.text)),
                                                 CommandPrompt(item.id));
      added->Check(item.checked);
      added->Enable(item.enabled);
      return;
    }
    case CMenu::Kind::Command: {
      wxMenuItem* added =
          target.Insert(at, ToolkitId(item.id), ToToolkitMenuLabel(LocalMenuText(item.text)), CommandPrompt(item.id));
      added->Enable(item.enabled);
      return;
    }
  }
}

wxMenu* BuildWxMenu(const CMenu& menu) {
  auto* out = new wxMenu;
  for (const CMenu::Item& item : menu.Items()) AddWxMenuItem(*out, item);
  return out;
}

wxMenuBar* BuildWxMenuBar(const CMenu& bar) {
  auto* out = new wxMenuBar;
  for (const CMenu::Item& item : bar.Items())
    if (item.popup) out->Append(BuildWxMenu(*item.popup), ToToolkitMenuLabel(LocalMenuText(item.text)));
  return out;
}

std::vector<wxAcceleratorEntry> AcceleratorsOf(const CMenu& menu) {
  std::vector<wxAcceleratorEntry> out;
  for (const CMenu::Item& item : menu.Items()) {
    if (item.popup) {
      const auto sub = AcceleratorsOf(*item.popup);
      out.insert(out.end(), sub.begin(), sub.end());
      continue;
    }
    const wxString label = ToToolkitMenuLabel(item.text);
    if (label.Find('\t') == wxNOT_FOUND) continue;
    wxAcceleratorEntry entry;
    if (entry.FromString(label)) {
      entry.Set(entry.GetFlags(), entry.GetKeyCode(), ToolkitId(item.id));
      out.push_back(entry);
    }
  }
  return out;
}
