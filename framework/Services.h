#pragma once
// The one door through which core code reaches what lives elsewhere: the shell (the
// application's state, the event loop), other subsystems' operations and providers of
// capabilities. Each service is an interface with a name (`kServiceName`) whose base
// methods give the "nothing there" answers. Start-up binds every service in one place
// (BindServices, app/Startup.h) and checks that none is left out; tests bind fakes
// through the same door (ServiceOverride).
//
// Using a service that nobody bound is a programming error: it is reported by name on
// standard error; debug builds and tests stop there, release builds go on with the
// base class's answers after telling the user the function is not available.
#include <map>
#include <string>
#include <typeindex>
#include <vector>

namespace hv {

class ServiceRegistry {
 public:
  template <class I>
  I* Bind(I* service) {
    Slot& slot = m_slots[std::type_index(typeid(I))];
    slot.name = I::kServiceName;
    I* previous = static_cast<I*>(slot.service);
    slot.service = service;
    return previous;
  }
  template <class I>
  I* Find() const {
    auto it = m_slots.find(std::type_index(typeid(I)));
    return it == m_slots.end() ? nullptr : static_cast<I*>(it->second.service);
  }
  template <class I>
  I& Get() {
    if (I* service = Find<I>()) return *service;
    Unbound(I::kServiceName);
    static I nothing;
    return nothing;
  }
  // Names of the given services that are not bound.
  struct Required {
    std::type_index type;
    const char* name;
  };
  template <class I>
  static Required Need() {
    return {std::type_index(typeid(I)), I::kServiceName};
  }
  std::vector<std::string> Missing(const std::vector<Required>& required) const;
  // Forgets every binding (a test's clean start).
  void Clear() { m_slots.clear(); }

 private:
  struct Slot {
    const char* name = "";
    void* service = nullptr;
  };
  static void Unbound(const char* name);
  std::map<std::type_index, Slot> m_slots;
};

ServiceRegistry& Services();

template <class I>
I& Service() {
  return Services().Get<I>();
}

// Binds a stand-in for the life of the object and puts the previous binding back.
template <class I>
class ServiceOverride {
 public:
  explicit ServiceOverride(I* service) : m_previous(Services().Bind<I>(service)) {}
  ~ServiceOverride() { Services().Bind<I>(m_previous); }
  ServiceOverride(const ServiceOverride&) = delete;
  ServiceOverride& operator=(const ServiceOverride&) = delete;

 private:
  I* m_previous;
};

}  // namespace hv
