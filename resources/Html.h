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

  TypeCode GetTypeCode() override { return TypeCode::Html; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  // Folders list before files.
  int Compare(const CProjectObject* other, int column) override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  std::int64_t m_time = 0;
};
