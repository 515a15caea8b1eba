#pragma once
// One picture file of a device's bitmaps folder, listed by the "Bitmaps" folder.
#include <cstdint>

#include "model/ProjectObject.h"

class CPOBitmap : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOBitmap)

 public:
  CPOBitmap() = default;
  CPOBitmap(CProjectObject* parent, CPOPrjDevice* device);

  // What the folder's listing fills in.
  struct Listing {
    std::uint32_t recordNumber = 0;   // BITMAP row, 0 = none
    std::uint16_t logicalId = 0;
    std::int64_t fileTime = 0;         // seconds
    std::uint32_t fileSize = 0;
    wxString dimension;
    wxString colours;
  };
  void SetListing(const Listing& listing) { m_listing = listing; }
  const Listing& GetListing() const { return m_listing; }

  TypeCode GetTypeCode() override { return TypeCode::Bitmap; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 protected:
  Listing m_listing;
};
