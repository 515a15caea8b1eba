#pragma once
// A project folder: a named group of projects that exists only as a row of the
// project list.
#include <functional>

#include "model/ProjectObject.h"

enum : UINT {
  ID_FOLDER_DELETE = 32773,       // "&Löschen"
  ID_NEW_OBJECT_TEXT = 32787,     // "Neues Object" (its text names what "Neu..." makes)
  ID_FOLDER_IMPORT = 32794,       // "&Importieren..."
  ID_FOLDER_RESTORE = 32900,      // "&Wiederherstellung"
  ID_COPY = 57634,
  ID_CUT = 57635,
};

class CPOPrjFolder : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOPrjFolder)

 public:
  CPOPrjFolder() = default;
  explicit CPOPrjFolder(const wxString& name);

  // The key that rows held by this folder carry.
  wxString OwnKey() const;

  void Serialize(CArchive& ar) override;
  CPOProject* GetProject() override { return nullptr; }
  TypeCode GetTypeCode() override { return TypeCode::PrjFolder; }
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL IsPasteTarget() override { return TRUE; }
  BOOL HasTreeChildren() override { return HasListChildren(); }
  BOOL HasListChildren() override;
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL HasClipboardSupport() override { return TRUE; }

  // Commands, public for tests.
  void OnRename();
  void OnDelete();
  void OnImport();
  void OnRestore();

  HV_DECLARE_COMMAND_MAP()

 private:
  void OnUpdateNewObject(CCmdUI* ui);
  void OnUpdateEdit(CCmdUI* ui);
  void OnUpdateCopyCut(CCmdUI* ui);
  void OnUpdateImportRestore(CCmdUI* ui);
  void ReparentTree(CProjectObject& object, int level, const wxString& parentKey);
};
