#pragma once
// The documentation node of a project: lists the files of the project's folder
// "Documentation" as documents, and takes files from the file manager's clipboard.
#include <functional>
#include <vector>

#include "model/ProjectObject.h"

class CPODocuments : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPODocuments)

 public:
  CPODocuments();

  // "<project folder>/Documentation" in its existing spelling; empty when the owning
  // project or its folder is unknown.
  wxString GetFolder();
  // Makes the folder when it is missing; reports a failure. Empty on failure.
  wxString EnsureFolder();
  // The documentation folder of a project folder; empty for an unknown or relative one.
  static wxString FolderOf(const wxString& projectFolder);
  // Whether the folder holds a file its node lists.
  static bool HoldsDocuments(const wxString& folder);

  TypeCode GetTypeCode() override { return TypeCode::Documents; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL HasTreeChildren() override { return FALSE; }
  // Its documents are listed: a double click on its row opens it.
  BOOL HasListChildren() override { return TRUE; }
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL LoadChildren() override;
  BOOL IsStale() override;
  BOOL QueryClipboardFiles() override;
  BOOL PasteClipboardFiles() override;
  wxString GetListCaption() override;

  // What the last QueryClipboardFiles found.
  const std::vector<wxString>& GetClipboardFiles() const { return m_clipboardFiles; }
  BOOL IsClipboardMove() const { return m_move; }

  HV_DECLARE_COMMAND_MAP()

 private:
  void OnUpdateCut(CCmdUI* ui);
  // Copies one file of the clipboard's list into the folder; what it does not take is
  // reported with the reason.
  void PasteFile(const wxString& folder, const wxString& source);
  CProjectObject* OwningProject() const;

  wxString m_folder;
  std::vector<wxString> m_clipboardFiles;
  BOOL m_move = FALSE;
};
