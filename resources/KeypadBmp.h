#pragma once
// A keypad layout picture of a device's keypads folder: a picture with the bitmap's
// columns and rules, at its own path.
#include "resources/Bitmap.h"

class CPOKeypadBmp : public CPOBitmap {
  HV_DECLARE_PROJECT_OBJECT(CPOKeypadBmp)

 public:
  CPOKeypadBmp() = default;
  CPOKeypadBmp(CProjectObject* parent, CPOPrjDevice* device) : CPOBitmap(parent, device) {}

  void SetPath(const wxString& path) { m_path = path; }
  const wxString& GetPath() const { return m_path; }
  wxString GetFilePath() const override { return m_path; }

  // Name, size and path: a pasted layout starts without a logical id.
  void Serialize(CArchive& ar) override;
  TypeCode GetTypeCode() override { return TypeCode::KeypadBmp; }
  // A new layout from the installation's template or the gallery's keypads, or a copy.
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  // Layouts of the device type are never deleted.
  BOOL Delete() override;
  BOOL Cut(CArchive& ar) override;
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;

  HV_DECLARE_COMMAND_MAP()

  void OnUpdateRemove(CCmdUI* pCmdUI);

 protected:
  BOOL CreateCopy(CProjectObject* parent, CPOPrjDevice* device, const CPOBitmap& source) override;
  wxString PasteFolder() const override;

 private:
  wxString m_path;
};
