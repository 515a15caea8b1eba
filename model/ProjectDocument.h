#pragma once
// What object operations need of the document (the shell's CTavProjectDoc): the root
// objects and the update hints to the views. The active document registers itself with
// CProjectObject::SetActiveDocument.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Types.h"

class CProjectObject;

namespace hv {

class IProjectDocument {
 public:
  virtual ~IProjectDocument() = default;
  // Tells every view (sender none) what changed.
  virtual void BroadcastHint(int hint, CProjectObject* object) = 0;
  virtual std::vector<CProjectObject*> GetRoots() const = 0;
  virtual bool IsRoot(const CProjectObject* object) const = 0;
  // Appends a root; returns it.
  virtual CProjectObject* AddRoot(std::unique_ptr<CProjectObject> object) = 0;
  // Removes a root: hint 3, then released. FALSE (nothing changes) for a non-root.
  virtual BOOL RemoveObject(CProjectObject* object) = 0;
  // Last-write time of the list file at the last good load.
  virtual void SetListTime(std::int64_t time) = 0;
};

// Where the root objects come from: the project list table. The document calls it;
// the project-list code implements it.
class IProjectListSource {
 public:
  virtual ~IProjectListSource() = default;
  // Opens the database and the project list, creating and seeding it when it is new
  // or empty. FALSE ends the creation of the document (and the start of the program).
  virtual BOOL Open(IProjectDocument& doc) = 0;
  // Brings the document's roots in line with the list (AddRoot, RemoveObject).
  // TRUE when the list holds at least one row; a list that cannot be read leaves the
  // roots as they were and answers FALSE.
  virtual BOOL LoadRoots(IProjectDocument& doc) = 0;
  // Closes the database at the document's end.
  virtual void Close() = 0;
};

}  // namespace hv

using hv::IProjectListSource;
