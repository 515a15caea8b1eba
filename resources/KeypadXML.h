#pragma once
// A keypad XML configuration file of a device: in its keypads folder, or supplied by
// its hardware type in its hardware folder (shown there, never removed).
#include <cstdint>

#include "model/ProjectObject.h"

class CPOKeypadXML : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOKeypadXML)

 public:
  CPOKeypadXML() = default;
  CPOKeypadXML(CProjectObject* parent, CPOPrjDevice* device);

  void SetFile(const wxString& path, std::int64_t time, std::uint32_t size);
  const wxString& GetPath() const { return m_path; }
  std::int64_t GetFileTime() const { return m_fileTime; }
  std::uint32_t GetFileSize() const { return m_fileSize; }

  TypeCode GetTypeCode() override { return TypeCode::KeypadXML; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  std::int64_t m_fileTime = 0;   // seconds
  std::uint32_t m_fileSize = 0;
  wxString m_path;
};
