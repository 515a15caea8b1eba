#pragma once
// The pages of the program's settings sheet: the general options, the programs that edit
// each kind of object and the simulator's editor and compilers.
#include <array>
#include <vector>
#include <wx/string.h>

#include "framework/ProfileEdits.h"
#include "framework/PropertySheetModel.h"

class CPPOptionGeneral : public CSheetPage {
 public:
  enum { IDC_PROJECTPATH = 1134, IDC_BROWSE = 1135, IDC_PREFIX = 1153 };
  explicit CPPOptionGeneral(ProfileEdits& edits) : m_edits(edits) {}

  int prefixMode = 0;   // 0 device name, 1 module number, 2 none
  wxString projectsPath;

  void OnInit() override;
  PageCheck OnKillActive() override;
  void OnOK() override;
  // The folder browser, starting at the path shown; true when one was chosen.
  bool Browse();
  // The path as stored: one trailing separator removed, unless it is the root itself.
  static wxString StoredPath(const wxString& typed);

 private:
  ProfileEdits& m_edits;
};

class CPPPrograms : public CSheetPage {
 public:
  enum { IDC_TYPES = 1042, IDC_PROGRAM = 1043, IDC_BROWSE = 1044 };
  explicit CPPPrograms(ProfileEdits& edits) : m_edits(edits) {}

  void OnInit() override;
  void OnOK() override;
  std::size_t RowCount() const { return m_current.size(); }
  wxString RowName(std::size_t row) const;
  int Row() const { return m_row; }
  // The row shown switches; the program typed for the row left is kept.
  void SelectRow(int row, const wxString& typed);
  wxString Program() const { return m_row >= 0 ? m_current[static_cast<std::size_t>(m_row)] : wxString(); }
  void SetProgram(const wxString& typed);
  // The file chooser for the row's program; true when one was chosen.
  bool Browse(const wxString& typed);

 private:
  ProfileEdits& m_edits;
  std::vector<wxString> m_current;
  int m_row = -1;
};

struct CompilerRow {
  const wxChar* target;     // key in [Compiler]
  const wxChar* section;
  const wxChar* offered;    // versions separated by '|'
  const wxChar* compiler;   // file in the chosen folder
  wxString path;
  wxString version;
};

class CPPTavSim : public CSheetPage {
 public:
  enum { IDC_EDITOR = 1053, IDC_EDITOR_BROWSE = 1054, IDC_TARGET = 1061, IDC_PATH = 1050,
         IDC_PATH_BROWSE = 1058, IDC_VERSION = 1062 };
  explicit CPPTavSim(ProfileEdits& edits);

  wxString editor;

  void OnInit() override;
  void OnOK() override;
  std::size_t RowCount() const { return m_rows.size(); }
  wxString RowText(std::size_t row) const;
  int Row() const { return m_row; }
  const CompilerRow& Current() const { return m_rows[static_cast<std::size_t>(m_row < 0 ? 0 : m_row)]; }
  // Stores path and version typed for the row shown, then shows another row.
  void SelectRow(int row, const wxString& typedPath, const wxString& typedVersion);
  std::vector<wxString> OfferedVersions() const;
  void SetPathAndVersion(const wxString& path, const wxString& version);
  // The compiler folder browser with its checks; true when path or version changed.
  bool BrowseCompiler();
  bool BrowseEditor();

 private:
  ProfileEdits& m_edits;
  std::array<CompilerRow, 4> m_rows;
  int m_row = -1;
};
