#include "model/ObjectSupport.h"

#include <unordered_map>

#include <sys/stat.h>

#include <wx/datetime.h>

#include "framework/LocalTables.h"
#include "framework/UpdateHints.h"
#include "model/DeviceServices.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

bool StatFile(const wxString& path, FileEntry& entry) {
  struct stat st {};
  if (path.empty() || ::stat(hv::ToFs(path).c_str(), &st) != 0) return false;
  entry.path = path;
  entry.name = hv::PathName(path);
  entry.timeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  entry.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
  entry.isFolder = S_ISDIR(st.st_mode);
  return true;
}

std::vector<FileEntry> ListEntries(const wxString& folder) {
  std::vector<FileEntry> out;
  if (folder.empty() || !hv::IsFolder(folder)) return out;
  const wxString resolved = hv::ResolvePath(folder);
  for (const wxString& name : hv::ListFolder(resolved)) {
    FileEntry entry;
    if (StatFile(hv::JoinPath(resolved, name), entry)) out.push_back(entry);
  }
  return out;
}

std::vector<FileEntry> ListFiles(const wxString& folder, std::initializer_list<const char*> masks) {
  std::vector<FileEntry> out;
  for (FileEntry& entry : ListEntries(folder)) {
    if (entry.isFolder) continue;
    for (const char* mask : masks) {
      if (hv::MatchWildcard(wxString::FromAscii(mask), entry.name)) {
        out.push_back(std::move(entry));
        break;
      }
    }
  }
  return out;
}

wxString DeviceSubFolder(CPOPrjDevice* device, const wxString& name) {
  const wxString folder = devsvc::DeviceFolder(device);
  if (folder.empty()) return wxString();
  return hv::ResolvePath(hv::JoinPath(folder, name));
}

wxString FormatFileTime(std::int64_t seconds) {
  // Times come from project files: the date library takes neither negative ones nor
  // ones past its years.
  constexpr std::int64_t kLast = 253402214400;   // 31.12.9999 00:00 UTC, a day short of the end
  if (seconds < 0 || seconds > kLast) return wxString();
  return wxDateTime(static_cast<time_t>(seconds)).Format(wxS("%d.%m.%Y %H:%M"));
}

wxString FormatSizeKB(std::uint64_t bytes) {
  return wxString::Format(wxS("%llu KB"), static_cast<unsigned long long>(bytes / 1024 + (bytes % 1024 != 0)));
}

wxString FormatLogicalId(std::uint16_t id) {
  if (id == 0) return wxString();
  if (id == 0xFFFF) return wxS("???");
  return wxString::Format(wxS("%u"), static_cast<unsigned>(id));
}

void ShowNotAvailable(TypeCode kind) {
  wxString what;
  if (const PO_CLASSES* row = FindObjectClass(ToUInt(kind))) what = row->name;
  if (what.empty()) what = TypeCodeHex(kind);
  hv::ShowMessageF(10960, wxS("Die Funktion für '%s' ist in dieser Version nicht verfügbar!"),
                   MB_OK | MB_ICONINFORMATION, what);
}

BOOL AddNewObject(CProjectObject* parent, std::unique_ptr<CProjectObject> object) {
  if (!parent || !object) return FALSE;
  CProjectObject* added = parent->AddChild(std::move(object));
  if (!added) return FALSE;
  CProjectObject::UpdateAllViews(HINT_OBJECT_ADDED, added);
  return TRUE;
}

ChildPool::ChildPool(CProjectObject& owner) : m_owner(owner), m_children(owner.TakeChildren()) {
  m_old.reserve(m_children.size());
  for (const auto& child : m_children) m_old.push_back(child.get());
}

void ChildPool::Restore() {
  std::unordered_map<const CProjectObject*, std::size_t> slotOf;
  slotOf.reserve(m_old.size());
  for (std::size_t slot = 0; slot < m_old.size(); ++slot) slotOf.emplace(m_old[slot], slot);
  for (auto& child : m_owner.TakeChildren()) {
    const auto it = slotOf.find(child.get());
    if (it != slotOf.end() && !m_children[it->second]) m_children[it->second] = std::move(child);
    else CProjectObject::Discard(std::move(child));
  }
  for (auto& child : m_children)
    if (child) m_owner.AddChild(std::move(child));
  m_children.clear();
  m_first = 0;
}

ChildPool::~ChildPool() {
  for (auto& child : m_children)
    if (child) CProjectObject::Dispose(std::move(child));
}

std::unique_ptr<CProjectObject> ChildPool::Take(const std::function<bool(CProjectObject&)>& match) {
  // Reloads mostly find the children in their old order: the walk starts after the
  // slots already taken from the front.
  while (m_first < m_children.size() && !m_children[m_first]) ++m_first;
  for (std::size_t i = m_first; i < m_children.size(); ++i)
    if (m_children[i] && match(*m_children[i])) return TakeSlot(i);
  return nullptr;
}

std::unique_ptr<CProjectObject> ChildPool::TakeSlot(std::size_t slot) {
  if (slot >= m_children.size()) return nullptr;
  std::unique_ptr<CProjectObject> child = std::move(m_children[slot]);
  while (m_first < m_children.size() && !m_children[m_first]) ++m_first;
  return child;
}

std::unique_ptr<CProjectObject> ChildPool::TakeType(TypeCode code) {
  return Take([code](CProjectObject& o) { return o.GetTypeCode() == code; });
}

std::unique_ptr<CProjectObject> ChildPool::TakeName(const wxString& name, bool ignoreCase) {
  return Take([&](CProjectObject& o) {
    return ignoreCase ? o.GetName().CmpNoCase(name) == 0 : o.GetName() == name;
  });
}
