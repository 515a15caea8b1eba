#pragma once
// Projects entering the list other than as new ones: a copy of another project, a move
// to another project folder through the clipboard, and the import of a folder from
// disk, with the conversion of projects of older program versions.
#include <functional>
#include <string>
#include <wx/string.h>

#include "model/Project.h"

namespace hv {
// The conversion library of older projects, through the services door. It does not
// exist here: the program binds this base, which converts nothing, so an older project
// is refused as not convertible before anything is asked or written.
class IProjectConverter {
 public:
  static constexpr const char* kServiceName = "project converter";
  virtual ~IProjectConverter() = default;
  virtual bool CanImport() { return false; }
  virtual bool CanUpdate() { return false; }
  // Copies and converts the project in `source` into the new folder `target`.
  virtual BOOL ImportProject(const wxString&, const wxString&) { return FALSE; }
  // Converts the project in its folder.
  virtual BOOL UpdateProject(const wxString&) { return FALSE; }
};
}  // namespace hv

// The least data version each device's "device.set" must carry for a current project.
constexpr int kProjectDataVersion = 2910;
// "version.dat" versions below this mark no valid project.
constexpr int kOldestProjectVersion = 2600;

// The first line of a "version.dat": its leading number (0 when there is none) and
// the text after the first '|' (the whole line without one).
void ParseVersionFile(const std::string& bytes, long& version, wxString& name);
// "%s_%d" of a name and n, shortened to 30 characters before its last "_" with a "-".
wxString ProjectCopyName(const wxString& name, int n);
// Whether two paths name the same folder (compared on disk where they exist).
bool ProjectFoldersEqual(const wxString& a, const wxString& b);

class CProjectCopy {
 public:
  // A copy of `templ` below `parent`, proposed to the user first.
  static BOOL Copy(CProjectObject* parent, const CPOProject& templ);
  // The one way a new project comes about: the dialog proposes the first name
  // `proposal(n)` free in the list and in `base`; the project is made with the chosen
  // name, folder and flags, registered (its files copied from `copyFrom` when given)
  // and placed below `parent`.
  static BOOL Create(CProjectObject* parent, const std::function<wxString(int n)>& proposal, const wxString& base,
                     const ProjectFlags& flags, WORD language, const wxString& copyFrom);
  // Creates the new project's folder (filled from `copyFrom` when given), writes its
  // settings and inserts its row, in that order. Any failure undoes the steps before
  // it and tells the user; nothing of a half project stays.
  static bool Register(CPOProject& project, bool isCopy, const wxString& copyFrom = wxString());
  // The pasted project: a copy (flag 1) or a move of its row into `target`.
  static BOOL Paste(CPOProject& pasted, CProjectObject* target);
  // The import on `on` (a project or a temporary one below a project folder).
  static BOOL Import(CPOProject& on, const wxString& source);
};
