#pragma once
// Temporary files and folders of work in progress (a table being rewritten, a backup
// archive being written, a restore being unpacked) are claimed by the program doing
// the work: an advisory lock on the file, or on ".owner" inside the folder, held while
// it works. A start that finds such leftovers removes only those no running program
// claims, so a killed program's debris goes and a running one's work stays.
#include <wx/string.h>

namespace hv {

class WorkClaim {
 public:
  WorkClaim() = default;
  ~WorkClaim() { Release(); }
  WorkClaim(const WorkClaim&) = delete;
  WorkClaim& operator=(const WorkClaim&) = delete;
  WorkClaim(WorkClaim&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
  WorkClaim& operator=(WorkClaim&& other) noexcept;

  // Claims a temporary folder (creating its ".owner" file) or a file.
  bool ClaimFolder(const wxString& folder);
  bool ClaimFile(const wxString& file);
  // Claims through a descriptor of the file that is being written.
  bool ClaimDescriptor(int fd);
  void Release();
  bool Held() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
  bool m_own = false;   // the descriptor is ours to close
};

// The name of the owner file inside a claimed folder.
inline const char* WorkOwnerFile() { return ".owner"; }

// Whether a running program claims the leftover: a locked file, a file some process
// has open, a folder whose owner file is locked, or a folder too young to have its
// owner file yet.
bool IsClaimed(const wxString& path);

// Removes the leftover (file, or folder tree without following links) unless claimed.
// True when it is gone.
bool RemoveUnclaimed(const wxString& path);

}  // namespace hv
