#include "app/SetupPages.h"

#include "framework/ChooseRequests.h"
#include "framework/ProgramDefaults.h"
#include "framework/ProjectsFolder.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

namespace {

const wxString kProgramFilter() {
  return hv::LocalString(10224, wxS("Programme|*.EXE;*.COM;*.LNK|Alle Dateien (*.*)|*.*|"));
}

}  // namespace

// ---- general ---------------------------------------------------------------------------

wxString CPPOptionGeneral::StoredPath(const wxString& typed) {
  if (typed.length() > 1 && (typed.EndsWith("/") || typed.EndsWith("\\"))) return typed.Left(typed.length() - 1);
  return typed;
}

void CPPOptionGeneral::OnInit() {
  const CSettingsFile& profile = m_edits.Profile();
  prefixMode = profile.GetInt("Config", "Prefix", 0);
  projectsPath = profile.PeekString("Config", "Projectpath", DefaultProjectsFolder());
}

PageCheck CPPOptionGeneral::OnKillActive() {
  const wxString path = StoredPath(projectsPath.Strip(wxString::both));
  if (path.empty() || !hv::IsFolder(path)) {
    hv::ShowMessage(10253, wxS("Der eingegebene Projektpfad ist ungültig!"), MB_ICONINFORMATION);
    return {10253, IDC_PROJECTPATH};
  }
  return {};
}

void CPPOptionGeneral::OnOK() {
  m_edits.Set("Config", "ProjectPath", StoredPath(projectsPath.Strip(wxString::both)));
  m_edits.Set("Config", "Prefix", wxString::Format("%d", prefixMode));
}

bool CPPOptionGeneral::Browse() {
  ChooseFolderRequest req{projectsPath, {}};
  if (hv::Ui().Run(req) != IDOK || req.chosen.empty()) return false;
  projectsPath = req.chosen;
  return true;
}

// ---- programs --------------------------------------------------------------------------

void CPPPrograms::OnInit() {
  m_current.clear();
  for (const ProgramRow& row : ProgramRows())
    m_current.push_back(m_edits.Profile().PeekString("Programs", row.key, row.defaultProgram));
  m_row = 0;
}

wxString CPPPrograms::RowName(std::size_t row) const {
  if (row >= ProgramRows().size()) return wxString();
  return ProgramRowTitle(ProgramRows()[row]);
}

void CPPPrograms::SetProgram(const wxString& typed) {
  if (m_row >= 0) m_current[static_cast<std::size_t>(m_row)] = typed.Left(kProgramPathMax);
}

void CPPPrograms::SelectRow(int row, const wxString& typed) {
  if (row < 0 || row >= static_cast<int>(m_current.size())) return;
  SetProgram(typed);
  m_row = row;
}

bool CPPPrograms::Browse(const wxString& typed) {
  ChooseFileRequest req{typed, kProgramFilter(), {}};
  if (hv::Ui().Run(req) != IDOK || req.chosen.empty()) return false;
  SetProgram(req.chosen);
  return true;
}

void CPPPrograms::OnOK() {
  for (std::size_t i = 0; i < m_current.size(); ++i)
    m_edits.Set("Programs", ProgramRows()[i].key, m_current[i]);
}

// ---- simulator -------------------------------------------------------------------------

CPPTavSim::CPPTavSim(ProfileEdits& edits)
    : m_edits(edits),
      m_rows{{{wxS("Simulation"), wxS("MSDev"), wxS("Vx.xx"), wxS("bin/cl.exe"), {}, wxS("V5.xx")},
              {wxS("80515"), wxS("Keil"), wxS("V3.20|V4.01"), wxS("bin/c51.exe"), {}, wxS("V4.01")},
              {wxS("80167"), wxS("GNU"), wxS("V2.5x"), wxS("gnu166/BIN/gcc166.exe"), {}, wxS("V2.5x")},
              {wxS("80960"), wxS("Microtec"), wxS("V2.00"), wxS("MCC960/mcc960.exe"), {}, wxS("V2.00")}}} {}

void CPPTavSim::OnInit() {
  const CSettingsFile& profile = m_edits.Profile();
  editor = profile.PeekString("Programs", "Editor", wxS("NotePad.exe"));
  for (CompilerRow& row : m_rows) {
    row.path = profile.PeekString(row.section, "Path", wxString());
    row.version = profile.PeekString(row.section, "Version", row.version);
  }
  m_row = 0;
}

wxString CPPTavSim::RowText(std::size_t row) const {
  return row < m_rows.size() ? wxString(m_rows[row].target) + " (" + m_rows[row].section + ")" : wxString();
}

std::vector<wxString> CPPTavSim::OfferedVersions() const {
  std::vector<wxString> out;
  const wxString offered = Current().offered;
  size_t start = 0;
  while (start <= offered.length()) {
    const size_t bar = offered.find('|', start);
    const wxString piece = offered.Mid(start, bar == wxString::npos ? wxString::npos : bar - start);
    if (bar == wxString::npos) {
      if (!piece.empty()) out.push_back(piece);
      break;
    }
    out.push_back(piece);
    start = bar + 1;
  }
  return out;
}

void CPPTavSim::SetPathAndVersion(const wxString& path, const wxString& version) {
  if (m_row < 0) return;
  m_rows[static_cast<std::size_t>(m_row)].path = path;
  m_rows[static_cast<std::size_t>(m_row)].version = version;
}

void CPPTavSim::SelectRow(int row, const wxString& typedPath, const wxString& typedVersion) {
  if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
  SetPathAndVersion(typedPath, typedVersion);
  m_row = row;
}

bool CPPTavSim::BrowseCompiler() {
  if (m_row < 0) return false;
  CompilerRow& row = m_rows[static_cast<std::size_t>(m_row)];
  ChooseFolderRequest req{row.path, {}};
  if (hv::Ui().Run(req) != IDOK || req.chosen.empty()) return false;
  const wxString folder = CPPOptionGeneral::StoredPath(req.chosen);
  const bool found = hv::IsFile(folder + "/" + row.compiler);
  if (!found &&
      hv::ShowMessage(10139,
                      wxS("Unter dem eingegeben Pfad konnte der Compiler nicht gefunden werden.\nPfad dennoch einstellen?"),
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  row.path = folder;
  if (m_row != 1 || !found) return true;
  wxString right, wrong;
  if (hv::IsFile(folder + "/bin/ohs51.exe")) {
    right = wxS("V3.20");
    wrong = wxS("V4.01");
  } else if (hv::IsFile(folder + "/bin/oh51.exe")) {
    right = wxS("V4.01");
    wrong = wxS("V3.20");
  } else {
    return true;
  }
  if (row.version == wrong &&
      hv::ShowMessageF(10153,
                       wxS("Die richtige Versionsnummer für diesen Compiler wäre %s.\nVersionsnummer übernehmen?"),
                       MB_YESNO | MB_ICONQUESTION, right) == IDYES)
    row.version = right;
  return true;
}

bool CPPTavSim::BrowseEditor() {
  ChooseFileRequest req{editor, kProgramFilter(), {}};
  if (hv::Ui().Run(req) != IDOK || req.chosen.empty()) return false;
  editor = req.chosen.Left(kProgramPathMax);
  return true;
}

void CPPTavSim::OnOK() {
  m_edits.Set("Programs", "Editor", editor);
  for (const CompilerRow& row : m_rows) {
    m_edits.Set("Compiler", row.target, row.section);
    m_edits.Set(row.section, "Path", row.path);
    m_edits.Set(row.section, "Version", row.version);
  }
}
