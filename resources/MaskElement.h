#pragma once
// The elements of a screen as the list view shows them: read-only views of the
// screen's element records in MSKFLD, rebuilt each time the screen's list is filled.
// Their one command opens the element in the screen designer.
#include <cstdint>
#include <memory>

#include "model/ProjectObject.h"

namespace hv::db {
struct MaskField;
class Table;
}  // namespace hv::db

enum : UINT {
  ID_ELEMENT_EDIT = 32772,   // "Ändern"
  ID_ELEMENT_COPY = 57634,   // "Kopieren"
  ID_ELEMENT_CUT = 57635,    // "Ausschneiden"
};

class CPOMaskElement : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOMaskElement)

 public:
  CPOMaskElement() = default;

  DWORD GetElementId() const { return m_elementId; }
  void SetElementId(DWORD id) { m_elementId = id; }
  int GetElementNumber() const { return m_number; }
  void SetElementNumber(int number) { m_number = number; }
  const wxString& GetPosition() const { return m_position; }
  void SetPosition(const wxString& text) { m_position = text; }
  const wxString& GetDimension() const { return m_dimension; }
  void SetDimension(const wxString& text) { m_dimension = text; }
  const wxString& GetDescription() const { return m_description; }
  void SetDescription(const wxString& text) { m_description = text; }

  BOOL IsUnicodeName() override { return TRUE; }
  BOOL HasTreeChildren() override { return FALSE; }
  // 1 by element number, 2 to 4 by text ignoring case, others by name.
  int Compare(const CProjectObject* other, int column) override;
  BOOL WriteToClipboard(CArchive&) override { return TRUE; }
  BOOL Cut(CArchive&) override { return TRUE; }
  BOOL Delete() override { return TRUE; }
  BOOL Edit() override { return FALSE; }
  // 0 the kind, 1 "Nr.", 2 "Position", 3 "Dimension", 4 "Beschreibung".
  wxString GetColumnText(int column) override;
  int GetImage() override { return 0; }
  int GetSelectedImage() override { return GetImage(); }
  int GetContextMenuId() override { return 436; }
  TypeCode GetTypeCode() override { return TypeCode::None; }
  BOOL HasListChildren() override { return FALSE; }
  BOOL CreateNew(CProjectObject*, CPOPrjDevice*, const CProjectObject*) override { return FALSE; }
  void OnColumnDblClick(int column) override;
  BOOL ReadFromClipboard(CArchive&, CProjectObject*) override { return TRUE; }

  // Opens the element's screen in the designer with this element selected.
  void OnEdit();

  HV_DECLARE_COMMAND_MAP()

 protected:
  void OnUpdateCopyCut(CCmdUI* pCmdUI);

 private:
  DWORD m_elementId = 0;
  int m_number = 0;
  wxString m_position;
  wxString m_dimension;
  wxString m_description;
};

// The element kinds differ only in their picture and class.
#define HV_MASK_ELEMENT_KIND(theClass, image)                 \
  class theClass : public CPOMaskElement {                   \
    HV_DECLARE_PROJECT_OBJECT(theClass)                      \
                                                             \
   public:                                                   \
    int GetImage() override { return image; }                \
  };

HV_MASK_ELEMENT_KIND(CPOMaskPicture, 16)
HV_MASK_ELEMENT_KIND(CPOMaskText, 17)
HV_MASK_ELEMENT_KIND(CPOMaskEdit, 18)
HV_MASK_ELEMENT_KIND(CPOMaskBargraph, 20)
HV_MASK_ELEMENT_KIND(CPOMaskButton, 19)
HV_MASK_ELEMENT_KIND(CPOMaskDataLogger, 21)
HV_MASK_ELEMENT_KIND(CPOMaskComboBox, 22)
HV_MASK_ELEMENT_KIND(CPOMaskTouchKey, 30)
HV_MASK_ELEMENT_KIND(CPOMaskList, 33)
HV_MASK_ELEMENT_KIND(CPOMaskRectangle, 36)
HV_MASK_ELEMENT_KIND(CPOMaskLine, 37)
HV_MASK_ELEMENT_KIND(CPOMaskListBox, 39)

#undef HV_MASK_ELEMENT_KIND

// What the descriptions are looked up in: the device folder (data points, bitmaps and
// their files) and the open TEXTW table with the project's default language.
struct MaskElementSources {
  wxString deviceFolder;
  hv::db::Table* texts = nullptr;
  WORD language = 0;
};

// The element object of a record: nullptr for the header (type 0) and type 4, which
// make no element.
std::unique_ptr<CPOMaskElement> MakeMaskElement(const hv::db::MaskField& record, const MaskElementSources& sources);
