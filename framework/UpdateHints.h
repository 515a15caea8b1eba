#pragma once
// Update hints that the document passes to every view with the object concerned.
enum UpdateHint : int {
  HINT_SHOW_OBJECT = 1,       // object selected: the list shows its children
  HINT_OBJECT_ADDED = 2,
  HINT_OBJECT_REMOVED = 3,    // sent while the object still exists
  HINT_REFRESH_CHILDREN = 4,  // the list re-reads its object's children when stale
  HINT_OPEN_OBJECT = 5,       // the tree navigates into the object
  HINT_OBJECT_CHANGED = 6,
  HINT_REBUILD_TREE = 7,      // project list reloaded
};
