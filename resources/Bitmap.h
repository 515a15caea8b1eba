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
  int GetCompression() const { return m_compression; }

  // The picture's file: "<device>/bitmaps/<name>".
  virtual wxString GetFilePath() const;
  // Reads size, time, dimension and colours from the file.
  void ReadFileListing(const wxString& path);

  // Name, size, colours, dimension, time, logical id, compression.
  void Serialize(CArchive& ar) override;
  TypeCode GetTypeCode() override { return TypeCode::Bitmap; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  // A new picture of the chosen type from the installation's template, one from the
  // gallery, or (with a picture as template) a copy under a new name.
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  // Refused while a mask or another program uses the picture (its BITMAP row says so);
  // else the file goes to the recycle bin and its row is removed.
  BOOL Delete() override;
  BOOL Edit() override;
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL HasClipboardSupport() override { return TRUE; }
  void OnColumnDblClick(int column) override;

  BOOL ChangeLogicalId();
  // The compression dialog; the choice is written to the device's "Bitmap.set".
  BOOL EditCompression();

  HV_DECLARE_COMMAND_MAP()

  void OnEdit() { Edit(); }
  void OnChangeLogicalId() { ChangeLogicalId(); }

 protected:
  virtual BOOL CreateCopy(CProjectObject* parent, CPOPrjDevice* device, const CPOBitmap& source);
  // The folder pasted pictures go to.
  virtual wxString PasteFolder() const;
  // Column 7: "Ja", "Nein" or the device's default ("BitmapsCompressed").
  wxString CompressionText();
  // Logical ids belong to pictures of the bitmaps folder and keypad layouts alike.
  BOOL RefuseUsed();

  Listing m_listing;
  int m_compression = 0;   // 0 the device's default, 1 compressed, 2 not compressed
};
