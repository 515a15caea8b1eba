#pragma once
// Which project objects are alive. Every object gets a 64-bit serial at construction
// that is never reused; views keep serials (ObjectRef) and resolve them on use, so a
// new object at the address of a removed one is never taken for it.
//
// Removed objects are not freed at once: they leave the registry immediately and their
// memory waits in a queue until the outermost DispatchScope ends. The program wraps
// every command, update hint and event handler in a DispatchScope, so a handler whose
// object is removed under it (or a routing loop that still holds it) never touches
// freed memory.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class CProjectObject;

using ObjectSerial = std::uint64_t;

namespace live {

ObjectSerial Register(CProjectObject* object);
// Takes the object out of the registry; nothing happens when it is not in it.
void Unregister(const CProjectObject* object);
bool IsRegistered(const CProjectObject* object);
// 0 when the object is not registered.
ObjectSerial SerialOf(const CProjectObject* object);
// nullptr when no live object has the serial.
CProjectObject* Find(ObjectSerial serial);
// The registry's place of the serial's object: small, dense over the live objects and
// taken again by a later object (whose serial differs). An index by slot needs no hashing.
inline std::uint32_t SlotOf(ObjectSerial serial) { return static_cast<std::uint32_t>(serial & 0xFFFFFFFFu); }
// Frees the object when the outermost dispatch scope ends (at once outside any).
void QueueForDeletion(std::unique_ptr<CProjectObject> object);

std::size_t LiveCount();
std::size_t PendingDeletions();

// Runs the task when the outermost dispatch scope ends, before removed objects are
// freed (at once outside any scope): work a burst of hints leaves, done in one pass.
void AtScopeEnd(std::function<void()> task);

}  // namespace live

// Holds back the freeing of removed objects while it exists; scopes nest.
class DispatchScope {
 public:
  DispatchScope();
  ~DispatchScope();
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;

  static bool IsActive();
  // The number of the handler being run (the outermost scope); 0 outside any. What
  // one user action loaded need not be loaded again within it.
  static std::uint64_t CurrentAction();
};

// A non-owning reference to a project object that knows when the object is gone.
class ObjectRef {
 public:
  ObjectRef() = default;
  ObjectRef(const CProjectObject* object);  // NOLINT: implicit by design
  explicit ObjectRef(ObjectSerial serial) : m_serial(serial) {}

  // The object while it is alive, else nullptr.
  CProjectObject* Get() const { return m_serial ? live::Find(m_serial) : nullptr; }
  bool IsValid() const { return Get() != nullptr; }
  ObjectSerial Serial() const { return m_serial; }
  bool operator==(const ObjectRef& other) const { return m_serial == other.m_serial; }

 private:
  ObjectSerial m_serial = 0;
};
