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
  // Fonts of the device type (in its hardware folder) are neither deleted nor cut.
  bool IsDeviceTypeFont() const;
  bool IsBitmapFont() const;

  // Name, then size, time, logical id and path.
  void Serialize(CArchive& ar) override;
  TypeCode GetTypeCode() override { return TypeCode::Font; }
  // TrueType fonts (and names without an extension) have their own picture.
  int GetImage() override;
  int GetSelectedImage() override { return GetImage(); }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  // A new bitmap font from the installation's template, or a copy of the template
  // font under a new name (keeping its extension); asks for name and logical id.
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  // Refused while a mask uses the font (the FONT row says so) and for device-type
  // fonts; else the file goes to the recycle bin and its row is removed.
  BOOL Delete() override;
  BOOL Edit() override;
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  // Places the staged copy in the target device's fonts folder; the font's path then
  // names that new file.
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL HasClipboardSupport() override { return TRUE; }
  void OnColumnDblClick(int column) override;

  BOOL ChangeLogicalId();
  // "Download": the TrueType font to a Windows CE panel.
  BOOL Download();

  HV_DECLARE_COMMAND_MAP()

  void OnEdit() { Edit(); }
  void OnChangeLogicalId() { ChangeLogicalId(); }
  void OnDownload() { Download(); }
  void OnUpdateEdit(CCmdUI* pCmdUI);
  void OnUpdateRemove(CCmdUI* pCmdUI);
  void OnUpdateNew(CCmdUI* pCmdUI);
  void OnUpdateNewCopy(CCmdUI* pCmdUI);
  void OnUpdateDownload(CCmdUI* pCmdUI);

 private:
  Listing m_listing;
};
