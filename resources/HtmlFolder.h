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
  wxString GetListCaption() override;
  wxString GetColumnText(int column) override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  std::int64_t m_time = 0;
};
