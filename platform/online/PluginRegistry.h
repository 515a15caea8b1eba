#pragma once
// The one way to driver and device plug-ins. A plug-in is found by its registered title
// (its file name without ".so", in capitals) inside the install tree's "driver" or
// "device" folder, never by a path from a table, a scan file or the clipboard. A file
// that cannot be loaded, carries another interface version or lacks a required call is
// reported once and then skipped until the file changes.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>
#include <wx/string.h>

#include "platform/online/PluginAbi.h"

namespace hv {

enum class PluginKind { Device, Driver };

class PluginLibrary;  // an open shared object, closed with its last user

// Calls of a loaded device plug-in. Optional calls may be null.
struct DevicePlugin {
  std::shared_ptr<PluginLibrary> library;
  wxString title;        // "KOLM_G320"
  wxString displayName;  // Device_GetName, else the title
  bool hidden = false;
  Device_CheckDriverFn checkDriver = nullptr;
  Device_DataPointInfoExFn dataPointInfo = nullptr;
  Device_UpdatePLCConfigFn updatePlcConfig = nullptr;
  Device_GetParameterSchemaFn parameterSchema = nullptr;
  Device_EnumDataPointsFn enumDataPoints = nullptr;

  bool CheckDriver(const wxString& netDriverTitle) const;
};

// Calls of a loaded network driver. Scan and schema may be null.
struct DriverPlugin {
  std::shared_ptr<PluginLibrary> library;
  wxString title;
  wxString displayName;  // Driver_GetName, else the title
  bool hidden = false;
  Driver_GetParameterSchemaFn parameterSchema = nullptr;
  Driver_OpenFn open = nullptr;
  Driver_CloseFn close = nullptr;
  Driver_RegisterFn reg = nullptr;
  Driver_UnregisterFn unreg = nullptr;
  Driver_ReadFn read = nullptr;
  Driver_ScanFn scan = nullptr;
  Driver_DownloadFileFn downloadFile = nullptr;   // optional
};

struct PluginListEntry {
  wxString title;
  wxString displayName;
  bool hidden = false;
};

struct PluginProblem {
  wxString path;
  wxString reason;
};

class PluginRegistry {
 public:
  static PluginRegistry& Get();

  // "<install>/device" or "<install>/driver"; when the program runs from the source
  // tree, the build tree's mirror of the install tree.
  wxString Folder(PluginKind kind) const;

  // Every usable plug-in of the folder, sorted by title; hidden ones only when asked.
  std::vector<PluginListEntry> List(PluginKind kind, bool includeHidden = false);

  // By title, ignoring case; an extension ".so", ".ddl", ".dll" or ".ndl" and a trailing
  // '.' are dropped. Null when no usable plug-in has that title.
  std::shared_ptr<const DevicePlugin> Device(const wxString& title);
  std::shared_ptr<const DriverPlugin> Driver(const wxString& title);

  // Display name of a type or driver; the title itself when the plug-in is missing or
  // gives no name.
  wxString DeviceDisplayName(const wxString& title);
  wxString DriverDisplayName(const wxString& title);

  // Problems found so far, each reported once.
  std::vector<PluginProblem> Problems() const;
  // How many times a shared object was opened (a file is opened once while unchanged).
  unsigned OpenCount() const;
  // Drops every loaded plug-in and cached folder (shut-down, tests).
  void Reset();

  // Title of a plug-in file or reference: without folder, extension and trailing '.',
  // in capitals; empty when it holds '/', '\' or "..".
  static wxString NormalizeTitle(const wxString& name);

 private:
  struct FileStamp {
    std::int64_t mtimeNs = 0;
    std::int64_t size = 0;
    bool operator==(const FileStamp&) const = default;
  };
  struct Entry {
    FileStamp stamp;
    std::shared_ptr<const DevicePlugin> device;
    std::shared_ptr<const DriverPlugin> driver;
    bool failed = false;
  };
  struct FolderCache {
    wxString folder;
    std::int64_t mtimeNs = -1;
    std::map<wxString, wxString> titleToPath;  // title in capitals -> file
  };

  const std::map<wxString, wxString>& Titles(PluginKind kind);
  const Entry* Load(PluginKind kind, const wxString& path);
  const Entry* Find(PluginKind kind, const wxString& title);
  void Report(const wxString& path, const wxString& reason);

  mutable std::recursive_mutex m_mutex;
  FolderCache m_folders[2];
  std::map<wxString, Entry> m_entries;  // by path
  std::vector<PluginProblem> m_problems;
  unsigned m_opens = 0;
};

}  // namespace hv
