#pragma once
// Points the desktop trash of this test process at a private folder, so that tests that
// delete to the recycle bin never fill the user's own. Call before the first deletion.
#include <wx/string.h>

namespace hvtest {

// The private data folder; its "Trash" holds what the tests threw away.
const wxString& UsePrivateTrash();

}  // namespace hvtest
