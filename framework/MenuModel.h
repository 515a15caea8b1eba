#pragma once
// A menu as data. Menu resources, the menu bar and the context menus are built as
// CMenu in core code; objects adjust a context menu (AdjustContextMenu) before the
// window toolkit turns it into a real menu. Accelerators follow the text after a tab
// ("&Kopieren\tCtrl+C").
#include <memory>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

class CMenu {
 public:
  enum class Kind { Command, Check, Separator, Popup };

  struct Item {
    Kind kind = Kind::Command;
    UINT id = 0;   // 0 for separators and popups
    wxString text;
    bool enabled = true;
    bool checked = false;
    std::unique_ptr<CMenu> popup;

    Item() = default;
    Item(const Item& other);
    Item& operator=(const Item& other);
    Item(Item&&) noexcept = default;
    Item& operator=(Item&&) noexcept = default;
  };

  // Answer of GetMenuItemID for a popup entry.
  static constexpr UINT kPopupId = static_cast<UINT>(-1);

  CMenu() = default;

  // Building; each returns the menu for chaining.
  CMenu& AppendMenu(UINT id, const wxString& text);
  CMenu& AppendCheck(UINT id, const wxString& text);
  CMenu& AppendSeparator();
  CMenu& AppendPopup(const wxString& text, CMenu popup);

  // Inserts a command before `pos` (at the end when pos is past it).
  void InsertMenu(int pos, UINT id, const wxString& text);
  // Removes the entry at a position; false when there is none.
  bool RemoveMenu(int pos);
  // Removes every entry with the id, submenus included; the number removed.
  int DeleteMenu(UINT id);

  int GetMenuItemCount() const { return static_cast<int>(m_items.size()); }
  // 0 for a separator, kPopupId for a popup, (UINT)-1 past the end as well.
  UINT GetMenuItemID(int pos) const;
  wxString GetMenuString(int pos) const;
  CMenu* GetSubMenu(int pos) const;
  const Item& GetItem(int pos) const { return m_items.at(static_cast<size_t>(pos)); }
  Item& GetItem(int pos) { return m_items.at(static_cast<size_t>(pos)); }
  const std::vector<Item>& Items() const { return m_items; }

  // Position of the first entry with the id in this menu (not its submenus); -1 when none.
  int FindItemPos(UINT id) const;
  // Position of the first entry whose text equals `text` ignoring case; -1 when none.
  int FindItemPosByText(const wxString& text) const;
  // The entry with the id here or in a submenu; nullptr when none.
  Item* FindItem(UINT id);
  const Item* FindItem(UINT id) const;

  // State changes by id (submenus included); false when the id is not in the menu.
  bool EnableMenuItem(UINT id, bool enable);
  bool CheckMenuItem(UINT id, bool check);

  // Every command id of the menu and its submenus, in menu order.
  std::vector<UINT> CommandIds() const;

 private:
  std::vector<Item> m_items;
};

// The label the window toolkit understands: German accelerator names after the tab
// ("Strg+", "Umschalt+", "Entf", "Einfg") become "Ctrl+", "Shift+", "Del", "Ins".
wxString ToToolkitMenuLabel(const wxString& text);

// The text without mnemonics and without the accelerator part (tool tips).
wxString PlainMenuText(const wxString& text);
