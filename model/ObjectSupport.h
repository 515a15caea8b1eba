#pragma once
// Small pieces the object classes below a device share: the files of a device
// sub-folder, the list texts of times, sizes and logical ids, the creation of grouping
// nodes, reuse of children across a reload, and the refusal of what this version
// cannot do.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>
#include <wx/string.h>

#include "model/ProjectObject.h"

// One entry of a folder listing.
struct FileEntry {
  wxString name;               // as on disk
  wxString path;               // folder + name
  std::int64_t timeNs = 0;     // last write, nanoseconds since the epoch
  std::uint64_t size = 0;
  bool isFolder = false;

  std::int64_t TimeSeconds() const { return timeNs / 1000000000; }
};

// Last-write time and size of a file or folder; false when it does not exist.
bool StatFile(const wxString& path, FileEntry& entry);

// The files of a folder whose names match one of the wildcard masks (case ignored),
// sorted by name ignoring case. Nothing for a missing folder.
std::vector<FileEntry> ListFiles(const wxString& folder, std::initializer_list<const char*> masks);
// Files and sub-folders of a folder, sorted by name ignoring case.
std::vector<FileEntry> ListEntries(const wxString& folder);

// A folder of the device folder in its existing spelling (or as given when missing);
// empty when the device has no folder.
wxString DeviceSubFolder(CPOPrjDevice* device, const wxString& name);

// List texts: "%d.%m.%Y %H:%M" in local time; "%ld KB" rounded up to whole kilobytes;
// a logical id: empty for 0, "???" for 65535 (held elsewhere after a paste), else "%u".
// A time read from a file outside 1970 to 9999 is unknown: empty.
wxString FormatFileTime(std::int64_t seconds);
wxString FormatSizeKB(std::uint64_t bytes);
wxString FormatLogicalId(std::uint16_t id);

// 1 when a is greater, -1 when smaller, 0 when equal.
template <class T>
int CompareValues(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Refuses a request this version cannot carry out, naming the kind of object.
void ShowNotAvailable(TypeCode kind);

// Adds a new object to the parent and tells the views (hint 2). FALSE (the object
// released) without a parent or when the parent refuses it.
BOOL AddNewObject(CProjectObject* parent, std::unique_ptr<CProjectObject> object);

// A grouping node of class T under the parent: made and announced, no files involved.
template <class T>
BOOL CreateGroupingNode(CProjectObject* parent, CPOPrjDevice* device) {
  if (!parent) return FALSE;
  return AddNewObject(parent, std::make_unique<T>(parent, device));
}

// The children of an object taken aside for a reload: children that are found again
// go back (keeping their tree items), the rest are released when the pool ends.
class ChildPool {
 public:
  explicit ChildPool(CProjectObject& owner);
  ~ChildPool();
  ChildPool(const ChildPool&) = delete;
  ChildPool& operator=(const ChildPool&) = delete;

  // Takes out the first child for which `match` holds; each child comes out once.
  std::unique_ptr<CProjectObject> Take(const std::function<bool(CProjectObject&)>& match);
  std::unique_ptr<CProjectObject> TakeType(TypeCode code);
  std::unique_ptr<CProjectObject> TakeName(const wxString& name, bool ignoreCase = true);

  // Slot access for the keyed index below.
  std::size_t SlotCount() const { return m_children.size(); }
  CProjectObject* Peek(std::size_t slot) const { return m_children[slot].get(); }
  std::unique_ptr<CProjectObject> TakeSlot(std::size_t slot);

  // A reload stopped halfway: the owner gets its old children back, in their old
  // order; the new ones it got meanwhile (which no view has seen) are dropped.
  void Restore();

 private:
  CProjectObject& m_owner;
  std::vector<std::unique_ptr<CProjectObject>> m_children;
  std::vector<CProjectObject*> m_old;   // by slot, for Restore
  std::size_t m_first = 0;   // every slot before it has been taken
};

// The children of a pool by a key, for reloads of many rows: each Take is a look-up,
// so a reload stays linear. `keyOf` gives a child's key, or nothing for children not
// taken this way. Children with equal keys come out in their old order, each once.
template <class Key, class KeyOf>
class ChildIndex {
 public:
  ChildIndex(ChildPool& pool, KeyOf keyOf) : m_pool(pool), m_keyOf(std::move(keyOf)) {
    // Hashes and slots only: the index of 100,000 rows stays small.
    m_entries.reserve(pool.SlotCount());
    for (std::size_t slot = 0; slot < pool.SlotCount(); ++slot)
      if (CProjectObject* child = pool.Peek(slot))
        if (std::optional<Key> key = m_keyOf(*child)) m_entries.push_back({std::hash<Key>{}(*key), slot});
    std::sort(m_entries.begin(), m_entries.end());
  }

  std::unique_ptr<CProjectObject> Take(const Key& key) {
    const std::size_t hash = std::hash<Key>{}(key);
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), Entry{hash, 0});
    for (; it != m_entries.end() && it->hash == hash; ++it) {
      CProjectObject* child = it->slot == kTaken ? nullptr : m_pool.Peek(it->slot);
      if (!child) continue;
      if (std::optional<Key> own = m_keyOf(*child); !own || !(*own == key)) continue;
      const std::size_t slot = it->slot;
      it->slot = kTaken;
      return m_pool.TakeSlot(slot);
    }
    return nullptr;
  }

 private:
  struct Entry {
    std::size_t hash;
    std::size_t slot;
    bool operator<(const Entry& o) const { return hash != o.hash ? hash < o.hash : slot < o.slot; }
  };
  static constexpr std::size_t kTaken = static_cast<std::size_t>(-1);
  ChildPool& m_pool;
  KeyOf m_keyOf;
  std::vector<Entry> m_entries;
};

template <class Key, class KeyOf>
ChildIndex<Key, KeyOf> IndexChildren(ChildPool& pool, KeyOf keyOf) {
  return ChildIndex<Key, KeyOf>(pool, std::move(keyOf));
}

// Places a new object below its parent and device before it is added anywhere (the
// project follows the parent), so that a node made only to be asked something knows
// its device.
inline void PlaceBelow(CProjectObject& object, CProjectObject* parent, CPOPrjDevice* device) {
  object.SetDevice(device);
  object.SetProject(parent ? parent->GetProject() : nullptr);
}
