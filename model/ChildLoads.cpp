#include "model/ChildLoads.h"

#include <algorithm>
#include <vector>

#include "model/ProjectObject.h"

namespace childloads {

namespace {

struct Loads {
  std::uint64_t action = 0;
  std::vector<ObjectSerial> loaded;   // in that action
  ObjectSerial listed = 0;
};

Loads& State() {
  static Loads loads;
  return loads;
}

}  // namespace

BOOL Load(CProjectObject& object) {
  const ObjectSerial serial = object.GetSerial();
  const BOOL ok = object.LoadChildren();
  Loads& s = State();
  const std::uint64_t action = DispatchScope::CurrentAction();
  if (action == 0) return ok;
  if (s.action != action) {
    s.action = action;
    s.loaded.clear();
  }
  if (std::find(s.loaded.begin(), s.loaded.end(), serial) == s.loaded.end()) s.loaded.push_back(serial);
  return ok;
}

bool Fresh(CProjectObject& object, bool listedCounts) {
  if (object.HasNoChildren()) return false;
  const Loads& s = State();
  const ObjectSerial serial = object.GetSerial();
  const std::uint64_t action = DispatchScope::CurrentAction();
  if (action != 0 && s.action == action && std::find(s.loaded.begin(), s.loaded.end(), serial) != s.loaded.end())
    return true;
  return listedCounts && serial == s.listed && !object.IsStale();
}

void NoteListed(const CProjectObject* object) { State().listed = object ? object->GetSerial() : 0; }

std::vector<ObjectSerial> LoadedInThisAction() {
  const std::uint64_t action = DispatchScope::CurrentAction();
  const Loads& s = State();
  return action != 0 && s.action == action ? s.loaded : std::vector<ObjectSerial>{};
}

}  // namespace childloads
