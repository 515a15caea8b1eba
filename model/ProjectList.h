#pragma once
// The project list: the table "PROJEKT" in the user folder. Its rows are the project
// folders (no path) and the projects (with their folder on disk); a row belongs to the
// folder whose key "$$$<level>$$$<name>" equals the row's parent key, ignoring case.
#include <functional>
#include <memory>
#include <optional>
#include <vector>
#include <wx/string.h>

#include "model/ProjectDocument.h"
#include "platform/Types.h"

class CProjectObject;

namespace projectlist {

struct Row {
  wxString name;
  wxString path;
  int level = 0;
  wxString parentKey;
};

// "$$$<level>$$$<name>": the key that rows held by this folder carry.
wxString FolderKey(int level, const wxString& name);

// The list file's base path ("<user folder>/PROJEKT") and the file itself.
wxString TableBase();
wxString TableFile();

// Every row in name order; nothing when the table cannot be opened.
std::optional<std::vector<Row>> ReadAll();
// The row of a name (ignoring case), if any.
std::optional<Row> Find(const wxString& name);
bool NameExists(const wxString& name);
// Appends a row. Fails for a name that exists (ignoring case) or a text that does
// not fit its field or Windows-1252.
bool Insert(const Row& row);
// Deletes the row of a name.
bool Delete(const wxString& name);
// Rewrites the row of a name (found ignoring case) with new contents.
bool Update(const wxString& name, const Row& row);
// Gives every row whose parent key equals `oldKey` (ignoring case) the parent key
// `newKey`. False when a row could not be written.
bool Reparent(const wxString& oldKey, const wxString& newKey);
// True when some row's parent key equals the key (ignoring case).
bool HasRowsUnder(const wxString& key);

// First proposal "<format with n>" that no row has, n = 1, 2, ...
wxString FreeName(const wxString& format);
// "<base>_<n>" that no row has, shortened before its last "_" to fit 30 characters.
wxString FreeCopyName(const wxString& base);

// The project object of a project row.
std::unique_ptr<CProjectObject> MakeProject(const Row& row);

constexpr int kMaxName = 30;
constexpr int kMaxPath = 255;

}  // namespace projectlist

// The document's source of root objects: opens, creates and seeds the list.
class CProjectListSource : public IProjectListSource {
 public:
  BOOL Open(hv::IProjectDocument& doc) override;
  BOOL LoadRoots(hv::IProjectDocument& doc) override;
  void Close() override;

  // The graph tool's current project, read at start-up.
  wxString projectName;
};
