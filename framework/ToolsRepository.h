#pragma once
// External tools that the suite's installers register under
// "SOFTWARE\Quintor\Halvora\Tools\<tool>\<version>\<parameter set>": listed in the
// "&Extras" menu and in a device's context menu, and started from there.
#include <memory>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

class CSettingsFile;

// Command ids of the tool entries: the main menu's and a device menu's.
constexpr int kFirstMainToolCommand = 40101;
constexpr int kLastMainToolCommand = 40200;
constexpr int kFirstDeviceToolCommand = 40000;
constexpr int kLastDeviceToolCommand = 40100;
// The pseudo-driver of the parameter sets meant for the main menu.
inline const wxString kMainMenuDriver = wxS("INTOOL");

// One parameter set of a tool version: the command-line parameters for one driver.
class CToolParam {
 public:
  CToolParam(const wxString& name, const wxString& driver, const wxString& parameters)
      : name(name), driver(driver), parameters(parameters) {}
  wxString name;
  wxString driver;
  wxString parameters;
};

// One version of one tool.
class CTool {
 public:
  // The first parameter set for the driver, compared ignoring case; null when none.
  const CToolParam* FindParam(const wxString& driverName) const;

  wxString name;          // the tool's registry key name
  double version = 0;     // the version key's name read as a number
  wxString appName;       // "AppName": the menu text
  wxString executable;    // "AppExe"
  wxString guid;          // "AppGUID"
  DWORD inTools = 0;      // "InTools": shown in the main menu when not 0
  int menuCommandId = -1; // id of its current menu entry; 0 once started
  std::vector<std::unique_ptr<CToolParam>> params;
};

struct CToolMenuEntry {
  int id;
  wxString text;
};

class CToolsRepository {
 public:
  // Replaces the contents with the tools of the registry store, in stored order.
  void Load();
  void RemoveAll() { m_tools.clear(); }
  void Add(std::unique_ptr<CTool> tool) { m_tools.push_back(std::move(tool)); }
  size_t GetSize() const { return m_tools.size(); }
  CTool* GetAt(size_t i) const { return m_tools[i].get(); }

  // Entries of the "&Extras" menu: every tool IsToolInMenu accepts, in order, with ids
  // from 40101; at most 100, since only 40101-40200 are served. Called at every opening
  // of the menu; tools no longer listed lose their old main-menu id.
  std::vector<CToolMenuEntry> ListMainMenuTools();

  // Finds the first tool whose entry has the id and in it the first parameter set for
  // the driver (ignoring case). Then the executable is the profile's [Programs] value
  // named by the tool's application name, or, when that is empty, the registered one;
  // the parameters are the set's; the tool's id becomes 0. TRUE when found; otherwise
  // both outputs stay as they were.
  BOOL GetToolCommand(int id, const wxString& driver, wxString& executable, wxString& parameters,
                      const CSettingsFile& profile);

 private:
  std::vector<std::unique_ptr<CTool>> m_tools;
};

// Fills the repository from the registry store.
void LoadToolsRepository(CToolsRepository& repository);

// TRUE when the tool is meant for the main menu: "InTools" not 0 and a parameter set
// for "INTOOL" (ignoring case).
BOOL IsToolInMenu(const CTool& tool);

// Replaces every "%" and the character after it (or a "%" at the end alone): "%l" by
// "EN" for the language code "ENG" and by "DE" otherwise, every other pair by nothing.
void ExpandToolParameters(wxString& parameters, const wxString& languageCode);

// Starts a tool: the executable in quotes, a blank and the parameters (split by the
// Windows rules, never through a shell) in the working folder (empty: the current one).
// Without an executable the parameters are opened as a document or address. FALSE when
// nothing was started; the launcher has shown its message then.
BOOL StartTool(const wxString& executable, const wxString& parameters, const wxString& workingFolder = wxString());

// A command of the "&Extras" menu: looks the tool up for "INTOOL", expands its
// parameters and starts it without a working folder. Ids outside 40101-40200 do nothing.
BOOL RunMainMenuTool(CToolsRepository& repository, int id, const CSettingsFile& profile,
                     const wxString& languageCode);
