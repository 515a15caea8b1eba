#include "platform/RecycleBin.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace hv {

TrashResult MoveToTrash(const wxString& path, wxString* error) {
  const std::string fs = ToFs(path);
  struct stat st;
  if (path.empty() || lstat(fs.c_str(), &st) != 0) return TrashResult::NotFound;
  // The local file system directly: no session bus or volume daemon is needed.
  GFile* file = g_vfs_get_file_for_path(g_vfs_get_local(), fs.c_str());
  GError* err = nullptr;
  const gboolean ok = g_file_trash(file, nullptr, &err);
  g_object_unref(file);
  TrashResult result = TrashResult::Trashed;
  if (!ok) {
    if (error && err) *error = FromUtf8(err->message);
    if (err && err->domain == G_IO_ERROR && err->code == G_IO_ERROR_NOT_SUPPORTED) result = TrashResult::NotSupported;
    else if (err && err->domain == G_IO_ERROR && err->code == G_IO_ERROR_NOT_FOUND) result = TrashResult::NotFound;
    else result = TrashResult::Failed;
  }
  if (err) g_error_free(err);
  // Trust the file system, not the answer.
  if (result == TrashResult::Trashed && lstat(fs.c_str(), &st) == 0) result = TrashResult::Failed;
  return result;
}

}  // namespace hv
