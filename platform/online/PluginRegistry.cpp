#include "platform/online/PluginRegistry.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>

#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"

namespace hv {

class PluginLibrary {
 public:
  explicit PluginLibrary(void* handle) : m_handle(handle) {}
  ~PluginLibrary() { dlclose(m_handle); }
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  template <class Fn>
  Fn Symbol(const char* name) const {
    return reinterpret_cast<Fn>(dlsym(m_handle, name));
  }

 private:
  void* m_handle;
};

bool DevicePlugin::CheckDriver(const wxString& netDriverTitle) const {
  return checkDriver && checkDriver(ToUtf8(netDriverTitle).c_str()) != 0;
}

namespace {

bool Stat(const wxString& path, struct stat& st) { return stat(ToFs(path).c_str(), &st) == 0; }

std::int64_t MtimeNs(const struct stat& st) {
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool SameFolder(const wxString& a, const wxString& b) {
  struct stat sa {}, sb {};
  return Stat(a, sa) && Stat(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

const char* FolderName(PluginKind kind) { return kind == PluginKind::Device ? "device" : "driver"; }

wxString NameOrTitle(const char* name, const wxString& title) {
  if (!name || !*name) return title;
  wxString text = FromUtf8(name);
  text.Trim(true);
  return text.empty() ? title : text;
}

}  // namespace

PluginRegistry& PluginRegistry::Get() {
  static PluginRegistry registry;
  return registry;
}

wxString PluginRegistry::Folder(PluginKind kind) const {
  const wxString data = DefaultDataFolder();
  const wxString folder = ResolvePath(JoinPath(data, FolderName(kind)));
#ifdef HALVORA_BUILD_DATA
  if (!IsFolder(folder) && SameFolder(data, FromUtf8(HALVORA_SOURCE_DATA)))
    return JoinPath(FromUtf8(HALVORA_BUILD_DATA), FolderName(kind));
#endif
  return folder;
}

wxString PluginRegistry::NormalizeTitle(const wxString& name) {
  wxString title = name;
  title.Trim(true).Trim(false);
  while (title.EndsWith(".")) title.RemoveLast();
  if (title.Contains("/") || title.Contains("\\") || title.Contains("..")) return {};
  const wxString lower = title.Lower();
  for (const char* ext : {".so", ".ddl", ".dll", ".ndl"})
    if (lower.EndsWith(ext)) {
      title.RemoveLast(std::char_traits<char>::length(ext));
      break;
    }
  if (title.Contains(".")) return {};
  return title.Upper();
}

const std::map<wxString, wxString>& PluginRegistry::Titles(PluginKind kind) {
  FolderCache& cache = m_folders[kind == PluginKind::Device ? 0 : 1];
  const wxString folder = Folder(kind);
  struct stat st {};
  const std::int64_t mtime = Stat(folder, st) ? MtimeNs(st) : -2;
  if (cache.folder == folder && cache.mtimeNs == mtime) return cache.titleToPath;
  cache = FolderCache{folder, mtime, {}};
  for (const wxString& name : ListFolder(folder)) {
    if (!name.Lower().EndsWith(".so")) continue;  // Windows plug-ins and other files
    const wxString title = NormalizeTitle(name);
    const wxString path = JoinPath(folder, name);
    if (title.empty() || !IsFile(path)) continue;
    // Two spellings of one title: the first in sorted order wins.
    cache.titleToPath.emplace(title, path);
  }
  return cache.titleToPath;
}

void PluginRegistry::Report(const wxString& path, const wxString& reason) {
  m_problems.push_back({path, reason});
  std::fprintf(stderr, "halvora: plug-in %s skipped: %s\n", ToUtf8(path).c_str(), ToUtf8(reason).c_str());
}

const PluginRegistry::Entry* PluginRegistry::Load(PluginKind kind, const wxString& path) {
  struct stat st {};
  if (!Stat(path, st)) return nullptr;
  const FileStamp stamp{MtimeNs(st), static_cast<std::int64_t>(st.st_size)};
  auto it = m_entries.find(path);
  if (it != m_entries.end() && it->second.stamp == stamp) return it->second.failed ? nullptr : &it->second;

  Entry entry;
  entry.stamp = stamp;
  entry.failed = true;
  ++m_opens;
  void* handle = dlopen(ToFs(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* err = dlerror();
    Report(path, err ? FromUtf8(err) : wxString("cannot be loaded"));
    m_entries[path] = entry;
    return nullptr;
  }
  auto lib = std::make_shared<PluginLibrary>(handle);
  const wxString title = NormalizeTitle(PathName(path));
  auto missing = [&](const char* call) {
    Report(path, wxString::Format("no %s", call));
    m_entries[path] = entry;
    return nullptr;
  };
  auto info = lib->Symbol<Plugin_GetInfoFn>("Plugin_GetInfo");
  if (!info) return missing("Plugin_GetInfo");
  const HvPluginInfo* pi = info();
  if (!pi || pi->abi != HV_PLUGIN_ABI) {
    Report(path, wxString::Format("interface version %u, expected %u", pi ? pi->abi : 0u, HV_PLUGIN_ABI));
    m_entries[path] = entry;
    return nullptr;
  }
  const bool hidden = (pi->flags & HV_PLUGIN_HIDDEN) != 0;

  if (kind == PluginKind::Device) {
    auto p = std::make_shared<DevicePlugin>();
    p->library = lib;
    p->title = title;
    p->hidden = hidden;
    p->checkDriver = lib->Symbol<Device_CheckDriverFn>("Device_CheckDriver");
    if (!p->checkDriver) return missing("Device_CheckDriver");
    auto getName = lib->Symbol<Device_GetNameFn>("Device_GetName");
    p->displayName = NameOrTitle(getName ? getName() : nullptr, title);
    p->dataPointInfo = lib->Symbol<Device_DataPointInfoExFn>("Device_DataPointInfoEx");
    p->updatePlcConfig = lib->Symbol<Device_UpdatePLCConfigFn>("Device_UpdatePLCConfig");
    p->parameterSchema = lib->Symbol<Device_GetParameterSchemaFn>("Device_GetParameterSchema");
    p->enumDataPoints = lib->Symbol<Device_EnumDataPointsFn>("Device_EnumDataPoints");
    entry.device = p;
  } else {
    auto p = std::make_shared<DriverPlugin>();
    p->library = lib;
    p->title = title;
    p->hidden = hidden;
    p->open = lib->Symbol<Driver_OpenFn>("Driver_Open");
    p->close = lib->Symbol<Driver_CloseFn>("Driver_Close");
    p->reg = lib->Symbol<Driver_RegisterFn>("Driver_Register");
    p->unreg = lib->Symbol<Driver_UnregisterFn>("Driver_Unregister");
    p->read = lib->Symbol<Driver_ReadFn>("Driver_Read");
    for (auto [fn, name] : {std::pair<const void*, const char*>{reinterpret_cast<const void*>(p->open), "Driver_Open"},
                            {reinterpret_cast<const void*>(p->close), "Driver_Close"},
                            {reinterpret_cast<const void*>(p->reg), "Driver_Register"},
                            {reinterpret_cast<const void*>(p->unreg), "Driver_Unregister"},
                            {reinterpret_cast<const void*>(p->read), "Driver_Read"}})
      if (!fn) return missing(name);
    auto getName = lib->Symbol<Driver_GetNameFn>("Driver_GetName");
    p->displayName = NameOrTitle(getName ? getName() : nullptr, title);
    p->parameterSchema = lib->Symbol<Driver_GetParameterSchemaFn>("Driver_GetParameterSchema");
    p->scan = lib->Symbol<Driver_ScanFn>("Driver_Scan");
    p->downloadFile = lib->Symbol<Driver_DownloadFileFn>("Driver_DownloadFile");
    entry.driver = p;
  }
  entry.failed = false;
  auto& stored = m_entries[path];
  stored = entry;
  return &stored;
}

std::vector<PluginListEntry> PluginRegistry::List(PluginKind kind, bool includeHidden) {
  std::lock_guard lock(m_mutex);
  std::vector<PluginListEntry> list;
  const auto titles = Titles(kind);  // copy: loading must not invalidate the walk
  for (const auto& [title, path] : titles) {
    const Entry* e = Load(kind, path);
    if (!e) continue;
    const bool hidden = e->device ? e->device->hidden : e->driver->hidden;
    if (hidden && !includeHidden) continue;
    list.push_back({title, e->device ? e->device->displayName : e->driver->displayName, hidden});
  }
  return list;
}

const PluginRegistry::Entry* PluginRegistry::Find(PluginKind kind, const wxString& title) {
  const wxString key = NormalizeTitle(title);
  if (key.empty()) return nullptr;
  const auto& titles = Titles(kind);
  auto it = titles.find(key);
  return it == titles.end() ? nullptr : Load(kind, wxString(it->second));
}

std::shared_ptr<const DevicePlugin> PluginRegistry::Device(const wxString& title) {
  std::lock_guard lock(m_mutex);
  const Entry* e = Find(PluginKind::Device, title);
  return e ? e->device : nullptr;
}

std::shared_ptr<const DriverPlugin> PluginRegistry::Driver(const wxString& title) {
  std::lock_guard lock(m_mutex);
  const Entry* e = Find(PluginKind::Driver, title);
  return e ? e->driver : nullptr;
}

wxString PluginRegistry::DeviceDisplayName(const wxString& title) {
  auto p = Device(title);
  return p ? p->displayName : title;
}

wxString PluginRegistry::DriverDisplayName(const wxString& title) {
  auto p = Driver(title);
  return p ? p->displayName : title;
}

std::vector<PluginProblem> PluginRegistry::Problems() const {
  std::lock_guard lock(m_mutex);
  return m_problems;
}

unsigned PluginRegistry::OpenCount() const {
  std::lock_guard lock(m_mutex);
  return m_opens;
}

void PluginRegistry::Reset() {
  std::lock_guard lock(m_mutex);
  m_entries.clear();
  m_folders[0] = m_folders[1] = FolderCache{};
  m_problems.clear();
}

}  // namespace hv
