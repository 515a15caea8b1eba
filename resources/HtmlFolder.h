#pragma once
// The web pages of a device: the root "Web-Dateien" stands for the device folder's web
// folder, each sub-folder below it for a folder there. Sub-folders are shown only for
// devices that can hold a CompactFlash card.
#include <cstdint>

#include "model/ProjectObject.h"

class CPOHtmlFolder : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOHtmlFolder)

 public:
  CPOHtmlFolder();
  // Below anything but another web folder this is the root and takes the root's name.
  CPOHtmlFolder(CProjectObject* parent, CPOPrjDevice* device);

  // The root is the folder whose parent is no web folder, whatever it is called.
  bool IsRoot() const;
  // The folder's path: the device folder's web folder, then the names of the enclosing
  // sub-folders and this one; empty without a device.
  wxString GetPath() const;
  std::int64_t GetTime() const { return m_time; }
  void SetTime(std::int64_t seconds) { m_time = seconds; }

  TypeCode GetTypeCode() override { return TypeCode::HtmlFolder; }
  std::span<ColumnDef> GetColumnDefs() override;
  int Compare(const CProjectObject* other, int column) override;
  BOOL HasTreeChildren() override;
  BOOL HasListChildren() override;
  BOOL KeepWhenEmpty() override { return IsRoot() ? FALSE : TRUE; }
  BOOL IsPasteTarget() override;
  BOOL LoadChildren() override;
  BOOL IsStale() override;
  wxString GetListCaption() override;
  wxString GetColumnText(int column) override;
  // Below a web folder: a new sub-folder (asked for its name); below the device: the
  // root, making the device's web folder when missing.
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  // Moves the folder with its contents to the recycle bin.
  BOOL Delete() override;
  // The folder's path travels; a cut first stages a copy of the folder, so the paste
  // still finds it after the folder is gone.
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  // Copies the folder named by the clipboard, with its sub-folders, into the folder
  // pasted into. Refused when that is the folder itself, its own parent or inside it.
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL RetryBelowDevice() override { return m_retryBelow ? TRUE : FALSE; }
  BOOL HasClipboardSupport() override { return TRUE; }

  HV_DECLARE_COMMAND_MAP()

  void OnDeleteAsked();
  void OnNewPage();
  void OnNewFolder();
  void OnSend();
  void OnToggleCard();
  void OnUpdateNewPage(CCmdUI* pCmdUI);
  void OnUpdateNewFolder(CCmdUI* pCmdUI);
  void OnUpdateSend(CCmdUI* pCmdUI);
  void OnUpdateToggleCard(CCmdUI* pCmdUI);

 private:
  BOOL CreateSubFolder(CProjectObject* parent, CPOPrjDevice* device);

  std::int64_t m_time = 0;
  std::uint64_t m_stamp = 0;   // of the folder the children were loaded from
  bool m_stamped = false;
  bool m_retryBelow = false;   // the last paste onto a device belongs below its web folder
};
