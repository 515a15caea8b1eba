// The online library's file download: one file to one device through its network
// driver, on a connection of its own so that a worker thread may run it.
#include "platform/online/OnlineInternal.h"

namespace hv {

namespace {

struct ProgressTarget {
  std::atomic<std::uint64_t>* done;
  std::atomic<std::uint64_t>* total;
  const std::atomic<bool>* cancel;
};

int OnProgress(void* user, uint64_t done, uint64_t total) {
  auto* t = static_cast<ProgressTarget*>(user);
  if (t->done) *t->done = done;
  if (t->total) *t->total = total;
  return t->cancel && t->cancel->load() ? 0 : 1;
}

}  // namespace

bool OnlineLibrary::DownloadFile(const wxString& driver, const wxString& slot, const wxString& param,
                                 const HvFileDownload& file, std::atomic<std::uint64_t>* done,
                                 std::atomic<std::uint64_t>* total, const std::atomic<bool>* cancel) {
  auto plugin = PluginRegistry::Get().Driver(driver);
  if (!plugin) {
    SetLastError(HV_ERR_NO_DRIVER);
    return false;
  }
  if (!plugin->downloadFile) {
    SetLastError(HV_ERR_UNSUPPORTED);
    return false;
  }
  std::unique_ptr<Connection> c = OpenConnection(plugin, slot, param);
  if (!c) return false;   // its error is set
  ProgressTarget target{done, total, cancel};
  HvFileDownload request = file;
  request.size = sizeof(HvFileDownload);
  request.progress = &OnProgress;
  request.user = &target;
  uint32_t err = 0;
  int ok = 0;
  {
    std::lock_guard lock(c->call);
    ok = plugin->downloadFile(c->ctx, &request, &err);
  }
  if (!ok) {
    SetLastError(err ? err : HV_ERR_IO);
    return false;
  }
  SetLastError(HV_ERR_NONE);
  return true;
}

}  // namespace hv
