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

  TypeCode GetTypeCode() override { return TypeCode::KeypadBmp; }

 private:
  wxString m_path;
};
