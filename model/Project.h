#pragma once
// A project: one folder on disk with "PROJECT.SET", one sub-folder per device and a
// documentation folder; in the tree the node below a project folder that a row of the
// project list names.
#include <functional>
#include <map>
#include <memory>
#include <wx/string.h>

#include "framework/SettingsFile.h"
#include "model/ProjectObject.h"
#include "model/ProjectSettings.h"

enum : UINT {
  ID_PROJECT_DELETE = 32773,        // "Löschen"
  ID_PROJECT_NEW = 32787,           // "Neues Object": a new project beside this one
  ID_PROJECT_IMPORT = 32794,        // "Importieren..."
  ID_PROJECT_EXPORT_DP = 32870,     // "Datenpunkte exportieren..."
  ID_PROJECT_BACKUP = 32899,        // "Sicherung"
  ID_PROJECT_RESTORE = 32900,       // "Wiederherstellung"
  ID_PROJECT_DOWNLOAD = 32927,      // download of the whole project
  ID_PROJECT_COPY = 57634,          // "Kopieren"
  ID_PROJECT_CUT = 57635,           // "Ausschneiden"
};

// Language number to a text (a font or marking, a name).
using LanguageMap = std::map<WORD, wxString>;

class CPOProject : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOProject)

 public:
  CPOProject();
  // Name and folder trimmed on the right; flags and default language read from the
  // folder's settings file.
  CPOProject(const wxString& name, const wxString& folder);
  // A temporary project that only knows its parent folder (commands of the folder).
  explicit CPOProject(CProjectObject* parentFolder);

  // --- fields ---
  const wxString& GetFolder() const { return m_folder; }
  void SetFolder(const wxString& folder);
  // The settings file, pointed at the folder's "PROJECT.SET".
  CSettingsFile& GetSettings();
  const ProjectFlags& GetFlags() const { return m_flags; }
  void SetFlags(const ProjectFlags& flags) { m_flags = flags; }
  WORD GetDefaultLanguageId() const { return m_defaultLanguage; }
  void SetDefaultLanguageId(WORD language) { m_defaultLanguage = language; }
  // -1 when made; 1 after Copy put it on the clipboard, 0 after Cut.
  int GetCopyFlag() const { return m_copyFlag; }
  void SetCopyFlag(int flag) override { m_copyFlag = flag; }
  // The program's language number: the default of a project's default language.
  static WORD ProgramLanguage();
  // The folder new projects and imports start from: profile "Config", "Projectpath"
  // when set, else the user folder's "Projects".
  static wxString ProjectsRoot();
  // Deletes a project folder to the recycle bin. Refused (false, nothing deleted) for
  // a folder without "PROJECT.SET", the projects root, "/", the home or user folder.
  static bool DeleteProjectFiles(const wxString& folder, const wxString& name);

  // --- operations ---
  void Serialize(CArchive& ar) override;
  CPOProject* GetProject() override { return this; }
  TypeCode GetTypeCode() override { return TypeCode::Project; }
  std::span<ColumnDef> GetColumnDefs() override;
  wxString GetColumnText(int column) override;
  wxString GetListCaption() override;
  CProjectObject* AddChild(std::unique_ptr<CProjectObject> child) override;
  BOOL LoadChildren() override;
  // Devices, or documents in its documentation folder.
  BOOL HasTreeChildren() override;
  // Every project has its documentation node.
  BOOL HasListChildren() override { return TRUE; }
  BOOL IsStale() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL HasClipboardSupport() override { return TRUE; }
  BOOL QueryClipboardFiles() override;
  BOOL PasteClipboardFiles() override;

  // Records this project as the current one (program and registry).
  BOOL MakeCurrent();
  // A value of "PROJECT.SET" by the settings-file rule.
  BOOL GetSetting(wxString& out, const wxString& section, const wxString& key, const wxString& def);
  // One value of section "Pane1" (list layouts).
  BOOL WritePaneSetting(const wxString& key, const wxString& value);
  // The tree path: the holding folders' names and the project's, joined with '\'.
  wxString GetTreePath() const;

  // --- languages ---
  BOOL ReadLanguageFonts(LanguageMap& map);
  BOOL ReadUserLanguages(LanguageMap& map);
  // Rewrites section "DefLanguages" with the map.
  BOOL WriteUserLanguages(const LanguageMap& map);
  // Every project language with its name.
  void GetLanguages(LanguageMap& names);
  void SetDefaultLanguage(WORD language);

  // --- copy, import, restore ---
  // Adds the project in `source` (empty: the user picks it) to the list, below this
  // object's parent folder.
  BOOL ImportProject(const wxString& source);
  BOOL Restore(CProjectObject* parentFolder);
  // Removes the project whose row names this folder: files, row and tree object; a
  // project folder without a row loses its files alone. A folder that cannot be
  // deleted keeps its row (FALSE).
  static BOOL RemoveProjectByPath(const wxString& folder);
  // After a restore over a listed project: its row stays and the tree shows the new
  // contents. FALSE when no row names the folder.
  static BOOL ShowRestoredInPlace(const wxString& folder);

  // --- commands, public for tests ---
  void OnEdit();
  void OnDelete();
  void OnNewProject();
  void OnNewCopy();
  void OnImport();
  void OnRestore();
  void OnBackup();
  void OnExportDataPoints();
  void OnProjectDownload();


  HV_DECLARE_COMMAND_MAP()

 private:
  friend class CProjectCopy;
  void OnUpdateAlways(CCmdUI* ui);
  void OnUpdateNeedsChildren(CCmdUI* ui);
  void OnUpdateNeedsDevice(CCmdUI* ui);
  void OnUpdateBackup(CCmdUI* ui);
  void OnUpdateRestore(CCmdUI* ui);
  // Parent key and level from the parent folder (empty and 0 without one).
  void TakePlaceFrom(CProjectObject* parent);
  // Adds a new project to the parent or the document's roots and announces it.
  static CProjectObject* Place(std::unique_ptr<CPOProject> project, CProjectObject* parent);
  bool IsDeviceFolder(const wxString& folder, const wxString& name) const;
  bool HasDocumentsToShow();

  CSettingsFile m_settings;
  wxString m_folder;
  int m_copyFlag = -1;
  ProjectFlags m_flags;
  WORD m_defaultLanguage;
};
