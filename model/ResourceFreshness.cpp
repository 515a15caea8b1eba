#include "model/ResourceFreshness.h"

#include <sys/stat.h>

#include <ctime>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace {

const char* const kSourceFiles[] = {"MSKFLD.DBF",  "TEXT.DBF", "TEXTW.DBF", "SPRACHE.DBF",
                                    "BITMAP.DBF",  "FONT.DBF", "DEVICE.SET"};
const char* const kSourceFolders[] = {"Bitmaps", "Fonts", "Keypads", "Menus"};
// Deeper trees are taken for a link loop.
constexpr int kMaxDepth = 16;

bool ModTime(const wxString& path, timespec& time) {
  struct stat st {};
  if (stat(hv::ToFs(path).c_str(), &st) != 0) return false;
  time = st.st_mtim;
  return true;
}

bool Newer(const timespec& a, const timespec& b) {
  return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// True when the path, or anything below it, changed after `made`. A folder's own time
// counts too: it moves when a file in it is removed or renamed.
bool ChangedSince(const wxString& path, const timespec& made, int depth) {
  timespec t{};
  if (!ModTime(path, t)) return false;
  if (Newer(t, made)) return true;
  if (depth > kMaxDepth || !hv::IsFolder(path)) return false;
  for (const wxString& name : hv::ListFolder(path))
    if (ChangedSince(hv::JoinPath(path, name), made, depth + 1)) return true;
  return false;
}

}  // namespace

int ResourceFreshness(const wxString& deviceFolder) {
  const wxString folder = hv::ResolvePath(deviceFolder);
  const wxString file = hv::ResolvePath(hv::JoinPath(folder, wxS("resource/resource.res")));
  timespec made{};
  if (!hv::IsFile(file) || !ModTime(file, made)) return -1;
  for (const char* name : kSourceFiles)
    if (ChangedSince(hv::ResolvePath(hv::JoinPath(folder, name)), made, kMaxDepth)) return 0;
  for (const char* name : kSourceFolders)
    if (ChangedSince(hv::ResolvePath(hv::JoinPath(folder, name)), made, 0)) return 0;
  return 1;
}
