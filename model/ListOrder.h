#pragma once
// The order of a list's rows: by name ignoring case (as lower-case texts compare),
// then by the objects' own Compare for the sort column, equal rows keeping their name
// order. The cost stays close to linear for lists that are already in order or in
// reverse order (a column that follows the names, a second click on a column).
#include <vector>

#include "model/LiveObjects.h"

class CProjectObject;

// The rows (live objects) in list order; column -1 leaves them in name order.
std::vector<ObjectRef> SortListRows(const std::vector<CProjectObject*>& rows, int column, bool descending);

// True when `a` comes before `b` in the name order (the lower-case names compared).
bool NameBefore(const CProjectObject& a, const CProjectObject& b);
