#pragma once
// The application object: start-up, shut-down and the application-level commands.
// The window toolkit plugs in through StartupHost so that every step runs in tests.
#include <functional>
#include <memory>
#include <vector>
#include <wx/string.h>

#include "framework/SettingsFile.h"
#include "app/TavProjectDoc.h"
#include "framework/ToolsRepository.h"
#include "platform/SingleInstance.h"
#include "platform/Types.h"

// The one modeless window the application keeps (the list of unresolved user-defined
// data points); deleted at shut-down.
class CModelessWindow {
 public:
  virtual ~CModelessWindow() = default;
};

struct SingleInstanceGuard {
  hv::SingleInstance instance;
  wxString className;
};

// Where start-up stopped; for diagnostics and for the second copy's quiet end.
enum class StartupStep {
  Completed,
  UserFolder,         // the user folder is no folder and cannot be made
  SingleInstance,     // another copy runs for this user folder
  DatabaseLibrary,    // the database library is older than the data
  OnlineLibrary,      // the online library did not start
  DocumentAndWindow,  // the project list or the main window could not be made
};

// What start-up needs from outside the core; every member has a working default
// except the window creation.
struct StartupHost {
  // Create the document (default: the project list in the user folder)
  // and the main window; false ends start-up.
  std::function<bool()> createDocument;
  std::function<bool()> createMainWindow;
  // A second start asked the running copy to come forward (listener thread).
  std::function<void()> raiseMainWindow;
  // Libraries; defaults call the real ones.
  std::function<int(int version, const wxString& code)> databaseInit;
  std::function<BOOL()> onlineInit;
  std::function<void()> onlineDeInit;
  // Builds the localised tables and merges the profile's user-defined languages into
  // the language table.
  std::function<void()> buildLocalTables;
  std::function<void(const std::vector<std::pair<WORD, wxString>>&)> mergeLanguages;
  // Loads the external tools.
  std::function<void()> loadTools;
};

class CTavProjectApp {
 public:
  CTavProjectApp();
  ~CTavProjectApp();

  BOOL InitInstance(StartupHost host);
  int ExitInstance();
  BOOL HasLanguageChanged();

  // Application commands.
  void OnAppAbout();
  void OnHelpContents();
  void OnHelpOverview();
  void OnRemoteSupport();
  void OnSelectLanguage();
  void OnVersionControl();
  void OnVersionSwitch();
  void OnWebLink();

  // Fields.
  std::unique_ptr<CModelessWindow> m_modelessDialog;
  CSettingsFile m_profile;
  SingleInstanceGuard m_guard;
  wxString m_languageCode;
  CToolsRepository m_tools;
  // The one document: the project list and its root objects.
  std::unique_ptr<CTavProjectDoc> m_document;
  DWORD m_applicationLook = 0;
  BOOL m_highColorIcons = TRUE;

  // Process-wide values read at start-up.
  WORD m_languageId = 1031;
  wxString m_userFolder;
  wxString m_installFolder;
  wxString m_driver;
  wxString m_device;
  wxString m_projectFullPath;
  wxString m_projectName;
  wxString m_currentSelection;
  wxString m_projectsFolder;
  wxString m_helpFile;

  StartupStep m_failedStep = StartupStep::Completed;
  // Why start-up stopped, when no message box said it already; empty otherwise.
  wxString m_failureText;

  static constexpr int kDataVersion = 2910;
  static const wxString kMainWindowTitle;

 private:
  BOOL CheckSingleInstance(SingleInstanceGuard& guard);
  void ReadSuitePaths();
  void ReadProfile();
  bool CreateDocument();
  void ChooseLanguage();
  void OpenManual(bool overview);
  // Starts the suite's program when it is there; else says what was looked for where.
  void StartSuiteProgram(const wxString& program, const wxString& where, const wxString& commandLine);
  StartupHost m_host;
};

// Initialises the localisation for the language the registry names (the graph tool's
// "Language" string, else its one-byte value) and returns its code; empty when none.
wxString LoadConfiguredLanguage();

// Opens the program's manual (or the suite's overview) in the language the code and the
// graph tool's language say, with the desktop's default application; a missing file
// or reader is reported to the user.
void OpenManualFile(bool overview, const wxString& languageCode);

// The running application; null outside InitInstance .. destruction.
CTavProjectApp* TheApp();

// "Languages" lines of the profile: numbers 32768 to 65534 with a name; the first row
// of a number wins. A line shorter than two characters ends the list.
std::vector<std::pair<WORD, wxString>> ParseLanguagesSection(const std::vector<wxString>& lines);
// Rebuilds the language table from the built-in rows and these user-defined languages.
void MergeLanguages(const std::vector<std::pair<WORD, wxString>>& languages);

// Request for the about box.
struct AboutRequest {
  wxString text;        // product, version, legal notice, rights
  wxString toolVersion; // "Halvora %s" with the graph tool's version, or empty
  wxString webAddress;
};

// The maker's web address (about box and web command).
extern const wxString kMakerWebAddress;
