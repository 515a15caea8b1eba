#pragma once
// One font file of a device: a bitmap font (".fnt") or TrueType font (".ttf") of its
// fonts folder, or a TrueType font its hardware supplies.
#include <cstdint>

#include "model/ProjectObject.h"

class CPOFont : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOFont)

 public:
  CPOFont() = default;
  CPOFont(CProjectObject* parent, CPOPrjDevice* device);

  struct Listing {
    std::uint32_t recordNumber = 0;   // FONT row, 0 = none
    std::uint16_t logicalId = 0;
    std::int64_t fileTime = 0;         // seconds
    std::uint32_t fileSize = 0;
    wxString path;
  };
  void SetListing(const Listing& listing) { m_listing = listing; }
  const Listing& GetListing() const { return m_listing; }

  TypeCode GetTypeCode() override { return TypeCode::Font; }
  // TrueType fonts (and names without an extension) have their own picture.
  int GetImage() override;
  int GetSelectedImage() override { return GetImage(); }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  Listing m_listing;
};
