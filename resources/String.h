#pragma once
// One text of a device's TEXTW table in every language: the default language's text is
// the object's name, the other languages' texts are kept by language number.
#include <cstdint>
#include <map>

#include "model/ProjectObject.h"

class CPOString;

// CDlgString::Edit: the text in every project language and its logical id. The dialog
// works on the object itself and puts the texts back on anything but IDOK.
struct StringEditRequest {
  CPOString* text = nullptr;
  WORD language = 0;   // the language shown first
};

enum : UINT {
  ID_STRING_EDIT = 32772,       // "Ändern"
  ID_STRING_NEW = 32787,        // "Neues Object"
  ID_STRING_NEW_COPY = 32789,   // "Neue Kopie..."
};

class CPOString : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOString)

 public:
  CPOString() = default;
  CPOString(CProjectObject* parent, CPOPrjDevice* device);

  std::uint32_t GetTextNumber() const { return m_number; }
  void SetTextNumber(std::uint32_t number) { m_number = number; }
  WORD GetLanguage() const { return m_language; }
  void SetLanguage(WORD language) { m_language = language; }
  std::uint16_t GetLogicalId() const { return m_logicalId; }
  void SetLogicalId(std::uint16_t id) { m_logicalId = id; }
  // The texts of the languages other than the project's default one.
  std::map<WORD, wxString>& Texts() { return m_texts; }

  // The name for the project's default language, else the language's text; empty when
  // there is none.
  wxString GetText(WORD language);

  BOOL IsUnicodeName() override { return TRUE; }
  TypeCode GetTypeCode() override { return TypeCode::String; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  // Column 1 the text number, 2 the logical id, from 3 on the language of the texts
  // folder's column.
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  // Runs the text dialog and stores every language into the device's TEXTW table.
  BOOL Edit() override;
  // A new text, or a copy of the template's texts without its logical id; the dialog
  // edits it and the text gets a new number when it is stored.
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

  // Writes the texts and the logical id into TEXTW: every language's row is updated or
  // added; a text without a number gets a new one. FALSE (and a message) when the
  // table cannot be written.
  BOOL Store();

  HV_DECLARE_COMMAND_MAP()

 protected:
  void OnEdit();

 private:
  std::uint32_t m_number = 0;
  WORD m_language = 0;
  std::uint16_t m_logicalId = 0;
  std::map<WORD, wxString> m_texts;
};
