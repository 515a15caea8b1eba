#pragma once
// One text of a device's TEXTW table in every language: the default language's text is
// the object's name, the other languages' texts are kept by language number.
#include <cstdint>
#include <map>

#include "model/ProjectObject.h"

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
  int GetImage() override { return 10; }
  int GetSelectedImage() override { return 10; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  // Column 1 the text number, 2 the logical id, from 3 on the language of the texts
  // folder's column.
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

 private:
  std::uint32_t m_number = 0;
  WORD m_language = 0;
  std::uint16_t m_logicalId = 0;
  std::map<WORD, wxString> m_texts;
};
