#pragma once
// A keypad XML configuration file of a device: in its keypads folder, or supplied by
// its hardware type in its hardware folder (shown there, never removed).
#include <cstdint>
#include <vector>

#include "model/ProjectObject.h"

class CPOKeypadXML : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOKeypadXML)

 public:
  CPOKeypadXML() = default;
  CPOKeypadXML(CProjectObject* parent, CPOPrjDevice* device);

  void SetFile(const wxString& path, std::int64_t time, std::uint32_t size);
  const wxString& GetPath() const { return m_path; }
  std::int64_t GetFileTime() const { return m_fileTime; }
  std::uint32_t GetFileSize() const { return m_fileSize; }
  bool IsDeviceTypeFile() const;

  // Name, size, time and path.
  void Serialize(CArchive& ar) override;
  TypeCode GetTypeCode() override { return TypeCode::KeypadXML; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  // An empty file, a copy of the template file, or files from the gallery's keypads
  // (the folder then reloads).
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  BOOL Delete() override;
  BOOL Edit() override;
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL Cut(CArchive& ar) override;
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL HasClipboardSupport() override { return TRUE; }
  void OnColumnDblClick(int) override { Edit(); }

  // "Download": the keypad files to a Windows CE panel.
  BOOL Download();

  HV_DECLARE_COMMAND_MAP()

  void OnEdit() { Edit(); }
  void OnDownload() { Download(); }
  void OnUpdateRemove(CCmdUI* pCmdUI);

 private:
  std::int64_t m_fileTime = 0;   // seconds
  std::uint32_t m_fileSize = 0;
  wxString m_path;
};

// The files a keypad sends, as paths below its folder: the XML file, then the pictures
// it names (attribute values and texts ending in a picture's extension), each once.
std::vector<wxString> KeypadFiles(const wxString& xmlPath);

// The keypad dialog's name: "$$$VORLAGE$$$" reloads the folder (templates were placed
// there) and makes nothing. Otherwise the typed name without folder and extension.
// Shared by XML files and layouts.
bool KeypadTemplateChosen(const wxString& name, CProjectObject* parent);
