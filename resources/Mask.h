#pragma once
// One screen ("Maske") of a device: a header record of the device's MSKFLD table and
// its element records. Screens are drawn and edited in the screen designer only; here
// they are listed, made (empty or as a copy of a sibling), given logical ids, deleted
// and opened in the designer, and their elements listed.
#include <cstdint>

#include "model/ProjectObject.h"

enum : UINT {
  ID_MASK_EDIT = 32772,       // "Ändern"
  ID_MASK_DELETE = 32773,     // "Löschen"
  ID_MASK_NEW = 32787,        // "Neues Object", shown as "Neue Maske"
  ID_MASK_NEW_COPY = 32789,   // "Neue Kopie..."
  ID_MASK_LOGID = 32815,      // "Log. ID ändern"
};

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

  // The screen's records and what they refer to; FALSE (nothing written) when a table
  // cannot be opened.
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  // Writes the records into the target folder's device under a free name with that
  // device's numbers. FALSE when declined, refused or not stored; garbled data raise
  // ArchiveException before anything is written.
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL HasClipboardSupport() override { return TRUE; }

  // Name, then screen id, title (wide), auto-open flag, focus flag, logical id.
  void Serialize(CArchive& ar) override;

  BOOL IsUnicodeName() override { return TRUE; }
  TypeCode GetTypeCode() override { return TypeCode::Mask; }
  // The screen's own list shows its elements.
  std::span<ColumnDef> GetColumnDefs() override;
  BOOL HasTreeChildren() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  wxString GetListCaption() override;
  // Refused for the default screens, while a designer runs, while the graph tool uses
  // the screen, and (after asking) for a screen with a logical id; else every record
  // of the screen is deleted.
  BOOL Delete() override;
  // Opens the screen in the designer. FALSE when the graph tool is open on another
  // device or the screen is "!DEFAULT_COMPONENTS".
  BOOL Edit() override;
  // TRUE when the screen has an element that the list shows.
  BOOL HasListChildren() override;
  // Builds the element objects from the screen's records; FALSE (and no elements)
  // when the tables cannot be opened or the screen has no record.
  BOOL LoadChildren() override;
  // TRUE when elements are listed and MSKFLD changed (or vanished) since they were read.
  BOOL IsStale() override;
  // Asks for a name and makes the screen: a header record of its own, or a copy of the
  // template's records under the new name with new record ids and no logical id. Then
  // opens it in the designer.
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  // Column 2 ("Log. ID") changes the logical id, any other opens the screen.
  void OnColumnDblClick(int column) override;

  // Asks for the logical id until it is free or kept, and stores it in the header.
  BOOL ChangeLogicalId();

  HV_DECLARE_COMMAND_MAP()

  void OnEdit() { Edit(); }
  void OnChangeLogicalId() { ChangeLogicalId(); }

 protected:
  void OnUpdateNewObject(CCmdUI* pCmdUI);

 private:
  Header m_header;
  std::int64_t m_loadTime = 0;   // MSKFLD.DBF's last write when the elements were read, ns
};

// The notice shown instead of opening "!DEFAULT_COMPONENTS" in the designer.
void ShowDefaultComponentsNotice();
