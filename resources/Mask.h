#pragma once
// One screen ("Maske") of a device: a header record of the device's MSKFLD table and
// its element records. Screens are drawn and edited in the screen designer only.
#include <cstdint>

#include "model/ProjectObject.h"

class CPOMask : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOMask)

 public:
  CPOMask() = default;
  CPOMask(CProjectObject* parent, CPOPrjDevice* device);

  // The header record's values as the screens folder reads them.
  struct Header {
    std::uint32_t screenId = 0;
    std::uint16_t logicalId = 0;   // 65535: held by another screen after a paste
    std::uint32_t autoOpen = 0;
    std::uint32_t focus = 0;
    wxString title;                 // in the project's default language
  };
  void SetHeader(const Header& header) { m_header = header; }
  const Header& GetHeader() const { return m_header; }

  BOOL IsUnicodeName() override { return TRUE; }
  TypeCode GetTypeCode() override { return TypeCode::Mask; }
  int GetImage() override { return 7; }
  int GetSelectedImage() override { return 7; }
  int GetContextMenuId() override { return 417; }
  // The screen's own list shows its elements.
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL HasTreeChildren() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  wxString GetListCaption() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  Header m_header;
};
