#pragma once
// One load of an object's children per user action. The list and the tree both load
// the children they show; what one of them loaded in the same action, or what the list
// shows and is not stale, the tree's expansion takes as it is. Commands that make or
// paste objects into grouping folders load the holder here first, so that the folders
// they make, still empty, are taken as they are too.
#include <vector>

#include "model/LiveObjects.h"
#include "platform/Types.h"

class CProjectObject;

namespace childloads {

// Loads the object's children and notes it for the running action.
BOOL Load(CProjectObject& object);
// Whether the object's loaded children can be taken as they are: loaded in this action,
// or (`listedCounts`) those of the object the list shows and not stale.
bool Fresh(CProjectObject& object, bool listedCounts);
// The object the list now shows (nullptr: none).
void NoteListed(const CProjectObject* object);
// The objects whose children the running action loaded, in order.
std::vector<ObjectSerial> LoadedInThisAction();

}  // namespace childloads
