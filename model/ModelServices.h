#pragma once
// The services the object classes reach through the services door (framework/
// Services.h). Start-up binds each (app/Startup.cpp); every method of the base classes
// gives the answer of "nothing there", which is what a service left unbound would say.
#include <functional>
#include <memory>
#include <wx/string.h>

#include "model/NewObjectKinds.h"
#include "model/ProjectObject.h"
#include "platform/Types.h"

class CPOProject;
class CPOPrjFolder;
class CToolsRepository;
class CSettingsFile;

namespace hv {

// What the application holds for the whole program: its language, profile, tools and
// the current selection. Bound by the shell.
class IApplicationState {
 public:
  static constexpr const char* kServiceName = "application state";
  virtual ~IApplicationState() = default;
  virtual wxString LanguageCode() { return wxString(); }
  virtual WORD LanguageId() { return 1031; }
  // The user's profile ("Project.INI") and its path; nullptr / empty before start-up.
  virtual CSettingsFile* Profile() { return nullptr; }
  virtual wxString ProfilePath() { return wxString(); }
  // The projects folder read at start-up; empty before it.
  virtual wxString ProjectsFolder() { return wxString(); }
  virtual CToolsRepository* Tools() { return nullptr; }
  // "<project>/<device>" of the current device, as the program keeps it.
  virtual wxString CurrentSelection() { return wxString(); }
  virtual void SetCurrentSelection(const wxString&) {}
  virtual void SetProjectFullPath(const wxString&) {}
};

// The window layer's event loop and keyboard. Bound by the program's window layer;
// display-free start-ups bind their own.
class IEventLoop {
 public:
  static constexpr const char* kServiceName = "event loop";
  virtual ~IEventLoop() = default;
  // Runs the task once the current command or view update has finished.
  virtual void Defer(std::function<void()> task) { task(); }
  virtual bool IsShiftKeyDown() { return false; }
  // The wait cursor while long work runs on this thread; calls nest and pair up.
  virtual void BeginBusy() {}
  virtual void EndBusy() {}
  // How far long work on this thread has come (0 to 100), shown at once without
  // running events; -1 takes the display away.
  virtual void ShowProgress(int /*percent*/) {}
  // Whether the user asks to stop long work on this thread now (the Escape key held
  // while the wait cursor shows), asked without running events.
  virtual bool CancelRequested() { return false; }
  // A line the user should still find once its dialog has closed (how a transfer
  // ended), in the main window's status bar until something else takes its place.
  virtual void ShowStatus(const wxString& /*text*/) {}
};

// Whether a process of a program (file name, ".exe" optional) runs.
class IProcessCheck {
 public:
  static constexpr const char* kServiceName = "process check";
  virtual ~IProcessCheck() = default;
  virtual BOOL IsRunning(const wxString&) { return FALSE; }
};

// Project commands whose work lives in other parts of the program, and the parts a
// project is made of.
class IProjectOperations {
 public:
  static constexpr const char* kServiceName = "project operations";
  virtual ~IProjectOperations() = default;
  virtual void Backup(CPOProject&) {}
  // Runs the restore dialog; the restored folder, or empty when nothing was restored.
  virtual wxString RunRestore(CPOProject&) { return wxString(); }
  // "&Importieren..." and "&Wiederherstellen..." on a project folder.
  virtual void ImportInto(CPOPrjFolder&) {}
  virtual void RestoreInto(CPOPrjFolder&) {}
  virtual void ExportDataPoints(CPOProject&) {}
  virtual void Download(CPOProject&) {}
  // The documentation node of a project that has none yet; nullptr: no node.
  virtual std::unique_ptr<CProjectObject> MakeDocuments(CPOProject&) { return nullptr; }
  // The device object of a device folder that passed the checks; nullptr: none.
  virtual std::unique_ptr<CProjectObject> LoadDevice(CPOProject&, const wxString&) { return nullptr; }
};

// What the device an object lies in allows (the kinds "&Neu..." offers).
class IDeviceCapabilities {
 public:
  static constexpr const char* kServiceName = "device capabilities";
  virtual ~IDeviceCapabilities() = default;
  virtual DeviceCapabilities Of(CProjectObject&) { return DeviceCapabilities(); }
};

// Makes the other data-point kind of an object just read from the clipboard: a direct
// data point pasted on a field-bus device becomes a device data point of the target's
// device, a device data point pasted on a data-point folder a direct one. The new
// object takes over every field of the read one; nullptr when it cannot.
class IDataPointConversion {
 public:
  static constexpr const char* kServiceName = "data-point conversion";
  virtual ~IDataPointConversion() = default;
  virtual std::unique_ptr<CProjectObject> Convert(CProjectObject&, CProjectObject&) { return nullptr; }
};

}  // namespace hv
