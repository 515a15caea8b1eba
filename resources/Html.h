#pragma once
// One file of a device's web pages.
#include <cstdint>

#include "model/ProjectObject.h"

class CPOHtml : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOHtml)

 public:
  CPOHtml() = default;
  CPOHtml(CProjectObject* parent, CPOPrjDevice* device);

  // The enclosing web folder's path and the name; empty without a device.
  wxString GetPath() const;
  std::int64_t GetTime() const { return m_time; }
  void SetTime(std::int64_t seconds) { m_time = seconds; }
  // Pages and scripts (".htm", ".html", ".js") are edited and copied; pictures are not.
  bool IsEditable() const;

  TypeCode GetTypeCode() override { return TypeCode::Html; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  // Folders list before files.
  int Compare(const CProjectObject* other, int column) override;
  // Asks for a name and makes an empty page, or a copy of the template page (keeping
  // its extension), then opens it in the editor.
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  // Deletes the file for good; FALSE when it does not exist.
  BOOL Delete() override;
  BOOL Edit() override;
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL HasClipboardSupport() override { return TRUE; }
  void OnColumnDblClick(int column) override;

  HV_DECLARE_COMMAND_MAP()

  void OnEdit() { Edit(); }
  void OnDeleteAsked();
  void OnSend();
  void OnNewFolder();
  void OnUpdateEditable(CCmdUI* pCmdUI);
  void OnUpdateNewObject(CCmdUI* pCmdUI);
  void OnUpdateSend(CCmdUI* pCmdUI);
  void OnUpdateNewFolder(CCmdUI* pCmdUI);
  void OnToggleCard();
  void OnUpdateToggleCard(CCmdUI* pCmdUI);

 private:
  std::int64_t m_time = 0;
};

// The update of "Download auf CompactFlash", shared by pages and folders.
void UpdateCardChoice(CPOPrjDevice* device, CCmdUI* pCmdUI);
