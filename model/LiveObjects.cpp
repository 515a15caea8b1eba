#include "model/LiveObjects.h"

#include "platform/dbase/TableStore.h"

#include <cstdint>
#include <vector>

#include "model/ProjectObject.h"

namespace {

// A serial is a registration count in its upper half and the object's slot in its
// lower half: finding an object by serial is one look at its slot, and a slot that
// was reused carries a different count. Objects are found by address through an
// open-addressing table of slot numbers. Both stay flat, so a project with many
// thousands of objects costs a few bytes each and no allocation per object.
constexpr unsigned kSlotBits = 32;
constexpr std::uint32_t kChunk = 4096;

struct Slot {
  CProjectObject* object = nullptr;
  ObjectSerial serial = 0;
};

struct Registry {
  std::uint64_t registrations = 0;
  std::vector<std::unique_ptr<Slot[]>> chunks;
  std::uint32_t slotsUsed = 0;           // slots ever handed out
  std::vector<std::uint32_t> freeSlots;
  std::size_t live = 0;
  // Slot number + 1 per entry, 0 for empty; linear probing, at most half full.
  std::vector<std::uint32_t> byAddress;
  std::vector<std::unique_ptr<CProjectObject>> pending;
  std::vector<std::function<void()>> atEnd;
  int depth = 0;
  std::uint64_t actions = 0;   // outermost scopes begun

  Slot& At(std::uint32_t slot) { return chunks[slot / kChunk][slot % kChunk]; }

  std::size_t Home(const CProjectObject* object) const {
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(object));
    const int shift = 64 - __builtin_ctzll(byAddress.size());
    return static_cast<std::size_t>(((bits >> 4) * 0x9E3779B97F4A7C15ull) >> shift);
  }

  // The table position of a registered object, or the empty position where it would go.
  std::size_t Probe(const CProjectObject* object) {
    std::size_t i = Home(object);
    while (byAddress[i] != 0 && At(byAddress[i] - 1).object != object) i = (i + 1) & (byAddress.size() - 1);
    return i;
  }

  void Grow() {
    std::vector<std::uint32_t> old(byAddress.empty() ? 64 : byAddress.size() * 2, 0);
    old.swap(byAddress);
    for (std::uint32_t entry : old)
      if (entry != 0) byAddress[Probe(At(entry - 1).object)] = entry;
  }

  void EraseAt(std::size_t i) {
    // Backward shift keeps every probe chain unbroken without tombstones.
    const std::size_t mask = byAddress.size() - 1;
    std::size_t hole = i;
    for (std::size_t j = (i + 1) & mask; byAddress[j] != 0; j = (j + 1) & mask) {
      const std::size_t home = Home(At(byAddress[j] - 1).object);
      if (((j - home) & mask) >= ((j - hole) & mask)) {
        byAddress[hole] = byAddress[j];
        hole = j;
      }
    }
    byAddress[hole] = 0;
  }
};

// Objects live on the user-interface thread only. Never destroyed, so objects that
// outlive static destruction can still unregister.
Registry& Reg() {
  static Registry* registry = new Registry;
  return *registry;
}

void Drain() {
  Registry& r = Reg();
  // Destructors may remove further objects; they join the same drain.
  ++r.depth;
  while (!r.pending.empty()) {
    std::vector<std::unique_ptr<CProjectObject>> batch;
    batch.swap(r.pending);
    batch.clear();
  }
  --r.depth;
}

}  // namespace

namespace live {

ObjectSerial Register(CProjectObject* object) {
  Registry& r = Reg();
  if ((r.live + 1) * 2 > r.byAddress.size()) r.Grow();
  std::uint32_t slot;
  if (!r.freeSlots.empty()) {
    slot = r.freeSlots.back();
    r.freeSlots.pop_back();
  } else {
    slot = r.slotsUsed++;
    if (slot % kChunk == 0) r.chunks.push_back(std::make_unique<Slot[]>(kChunk));
  }
  const ObjectSerial serial = (++r.registrations << kSlotBits) | slot;
  r.At(slot) = Slot{object, serial};
  r.byAddress[r.Probe(object)] = slot + 1;
  ++r.live;
  return serial;
}

void Unregister(const CProjectObject* object) {
  Registry& r = Reg();
  if (!object || r.byAddress.empty()) return;
  const std::size_t i = r.Probe(object);
  if (r.byAddress[i] == 0) return;
  const std::uint32_t slot = r.byAddress[i] - 1;
  r.At(slot) = Slot{};
  r.freeSlots.push_back(slot);
  r.EraseAt(i);
  --r.live;
}

bool IsRegistered(const CProjectObject* object) { return SerialOf(object) != 0; }

ObjectSerial SerialOf(const CProjectObject* object) {
  Registry& r = Reg();
  if (!object || r.byAddress.empty()) return 0;
  const std::uint32_t entry = r.byAddress[r.Probe(object)];
  return entry == 0 ? 0 : r.At(entry - 1).serial;
}

CProjectObject* Find(ObjectSerial serial) {
  Registry& r = Reg();
  const std::uint32_t slot = SlotOf(serial);
  if (serial == 0 || slot >= r.slotsUsed) return nullptr;
  const Slot& s = r.At(slot);
  return s.serial == serial ? s.object : nullptr;
}

void QueueForDeletion(std::unique_ptr<CProjectObject> object) {
  if (!object) return;
  Reg().pending.push_back(std::move(object));
  if (Reg().depth == 0) Drain();
}

void AtScopeEnd(std::function<void()> task) {
  if (!task) return;
  if (Reg().depth == 0) {
    task();
    return;
  }
  Reg().atEnd.push_back(std::move(task));
}

std::size_t LiveCount() { return Reg().live; }
std::size_t PendingDeletions() { return Reg().pending.size(); }

}  // namespace live

DispatchScope::DispatchScope() {
  if (Reg().depth++ == 0) ++Reg().actions;
}

DispatchScope::~DispatchScope() {
  if (Reg().depth == 1 && !Reg().atEnd.empty()) {
    // Still inside the scope: the tasks may remove objects and send hints themselves.
    while (!Reg().atEnd.empty()) {
      std::vector<std::function<void()>> tasks;
      tasks.swap(Reg().atEnd);
      for (auto& task : tasks) task();
    }
  }
  if (--Reg().depth > 0) return;
  Drain();
  // Large tables no handle has used for two seconds leave memory.
  hv::db::TableStore::ReleaseIdle(1u << 20, 2000000000);
}

bool DispatchScope::IsActive() { return Reg().depth > 0; }

std::uint64_t DispatchScope::CurrentAction() { return Reg().depth > 0 ? Reg().actions : 0; }

ObjectRef::ObjectRef(const CProjectObject* object) : m_serial(live::SerialOf(object)) {}
