#include "framework/MenuModel.h"

CMenu::Item::Item(const Item& other)
    : kind(other.kind),
      id(other.id),
      text(other.text),
      enabled(other.enabled),
      checked(other.checked),
      popup(other.popup ? std::make_unique<CMenu>(*other.popup) : nullptr) {}

CMenu::Item& CMenu::Item::operator=(const Item& other) {
  if (this != &other) *this = Item(other);
  return *this;
}

CMenu& CMenu::AppendMenu(UINT id, const wxString& text) {
  Item item;
  item.id = id;
  item.text = text;
  m_items.push_back(std::move(item));
  return *this;
}

CMenu& CMenu::AppendCheck(UINT id, const wxString& text) {
  AppendMenu(id, text);
  m_items.back().kind = Kind::Check;
  return *this;
}

CMenu& CMenu::AppendSeparator() {
  Item item;
  item.kind = Kind::Separator;
  m_items.push_back(std::move(item));
  return *this;
}

CMenu& CMenu::AppendPopup(const wxString& text, CMenu popup) {
  Item item;
  item.kind = Kind::Popup;
  item.text = text;
  item.popup = std::make_unique<CMenu>(std::move(popup));
  m_items.push_back(std::move(item));
  return *this;
}

void CMenu::InsertMenu(int pos, UINT id, const wxString& text) {
  Item item;
  item.id = id;
  item.text = text;
  if (pos < 0 || pos > GetMenuItemCount()) pos = GetMenuItemCount();
  m_items.insert(m_items.begin() + pos, std::move(item));
}

bool CMenu::RemoveMenu(int pos) {
  if (pos < 0 || pos >= GetMenuItemCount()) return false;
  m_items.erase(m_items.begin() + pos);
  return true;
}

int CMenu::DeleteMenu(UINT id) {
  int removed = 0;
  for (auto it = m_items.begin(); it != m_items.end();) {
    if (it->popup) removed += it->popup->DeleteMenu(id);
    if (it->kind != Kind::Separator && it->kind != Kind::Popup && it->id == id) {
      it = m_items.erase(it);
      ++removed;
    } else {
      ++it;
    }
  }
  return removed;
}

UINT CMenu::GetMenuItemID(int pos) const {
  if (pos < 0 || pos >= GetMenuItemCount()) return kPopupId;
  const Item& item = m_items[static_cast<size_t>(pos)];
  if (item.kind == Kind::Popup) return kPopupId;
  if (item.kind == Kind::Separator) return 0;
  return item.id;
}

wxString CMenu::GetMenuString(int pos) const {
  if (pos < 0 || pos >= GetMenuItemCount()) return wxString();
  return m_items[static_cast<size_t>(pos)].text;
}

CMenu* CMenu::GetSubMenu(int pos) const {
  if (pos < 0 || pos >= GetMenuItemCount()) return nullptr;
  return m_items[static_cast<size_t>(pos)].popup.get();
}

int CMenu::FindItemPos(UINT id) const {
  for (int i = 0; i < GetMenuItemCount(); ++i) {
    const Item& item = m_items[static_cast<size_t>(i)];
    if ((item.kind == Kind::Command || item.kind == Kind::Check) && item.id == id) return i;
  }
  return -1;
}

int CMenu::FindItemPosByText(const wxString& text) const {
  for (int i = 0; i < GetMenuItemCount(); ++i)
    if (m_items[static_cast<size_t>(i)].text.CmpNoCase(text) == 0) return i;
  return -1;
}

CMenu::Item* CMenu::FindItem(UINT id) {
  return const_cast<Item*>(static_cast<const CMenu*>(this)->FindItem(id));
}

const CMenu::Item* CMenu::FindItem(UINT id) const {
  for (const Item& item : m_items) {
    if ((item.kind == Kind::Command || item.kind == Kind::Check) && item.id == id) return &item;
    if (item.popup)
      if (const Item* found = item.popup->FindItem(id)) return found;
  }
  return nullptr;
}

bool CMenu::EnableMenuItem(UINT id, bool enable) {
  bool found = false;
  for (Item& item : m_items) {
    if ((item.kind == Kind::Command || item.kind == Kind::Check) && item.id == id) {
      item.enabled = enable;
      found = true;
    }
    if (item.popup && item.popup->EnableMenuItem(id, enable)) found = true;
  }
  return found;
}

bool CMenu::CheckMenuItem(UINT id, bool check) {
  bool found = false;
  for (Item& item : m_items) {
    if ((item.kind == Kind::Command || item.kind == Kind::Check) && item.id == id) {
      item.checked = check;
      found = true;
    }
    if (item.popup && item.popup->CheckMenuItem(id, check)) found = true;
  }
  return found;
}

std::vector<UINT> CMenu::CommandIds() const {
  std::vector<UINT> out;
  for (const Item& item : m_items) {
    if (item.kind == Kind::Command || item.kind == Kind::Check) out.push_back(item.id);
    if (item.popup) {
      const std::vector<UINT> sub = item.popup->CommandIds();
      out.insert(out.end(), sub.begin(), sub.end());
    }
  }
  return out;
}

wxString ToToolkitMenuLabel(const wxString& text) {
  const size_t tab = text.find('\t');
  if (tab == wxString::npos) return text;
  wxString accel = text.Mid(tab + 1);
  static const std::pair<const char*, const char*> kNames[] = {
      {"Strg+", "Ctrl+"}, {"Umschalt+", "Shift+"}, {"Entf", "Del"}, {"Einfg", "Ins"}};
  for (const auto& [german, toolkit] : kNames) accel.Replace(german, toolkit);
  return text.Left(tab) + "\t" + accel;
}

wxString PlainMenuText(const wxString& text) {
  wxString plain = text.BeforeFirst('\t');
  wxString out;
  for (size_t i = 0; i < plain.length(); ++i) {
    if (plain[i] == '&') {
      if (i + 1 < plain.length() && plain[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += plain[i];
  }
  return out;
}
