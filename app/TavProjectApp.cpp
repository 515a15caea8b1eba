#include "app/TavProjectApp.h"

#include <algorithm>

#include <charconv>
#include <cstdlib>

#include <wx/filefn.h>

#include "framework/StagedCopies.h"
#include "framework/Launcher.h"
#include "framework/VersionInfo.h"
#include "framework/ProjectsFolder.h"
#include "framework/LocalTables.h"
#include "model/KilledWork.h"
#include "model/ProjectList.h"
#include "platform/dbase/DbLib.h"
#include "platform/ShellOpen.h"

#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/IniFile.h"
#include "platform/Localization.h"
#include "platform/Online.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/SuiteHelper.h"
#include "platform/Ui.h"

const wxString CTavProjectApp::kMainWindowTitle = wxS("Halvora");
const wxString kMakerWebAddress = wxS("https://www.quintor.example/halvora");

namespace {

CTavProjectApp* g_app = nullptr;

WORD LanguageIdFor(const wxString& code) { return code == "ENG" ? 1033 : 1031; }

// The framework profile's "Pane0" key in the registry store.
wxString Pane0Key() { return hv::kKeyFrameworkProfile + "\\Pane0"; }

}  // namespace

CTavProjectApp* TheApp() { return g_app; }

CTavProjectApp::CTavProjectApp() { g_app = this; }

CTavProjectApp::~CTavProjectApp() {
  if (g_app == this) g_app = nullptr;
}

std::vector<std::pair<WORD, wxString>> ParseLanguagesSection(const std::vector<wxString>& lines) {
  std::vector<std::pair<WORD, wxString>> out;
  for (const wxString& raw : lines) {
    if (raw.length() < 2) break;
    wxString line = raw;
    line.Trim(false);
    if (line.empty() || line[0] == ';') continue;
    const size_t eq = line.find('=');
    if (eq == wxString::npos) continue;
    // The whole number must be in range; a value that merely wraps into it is refused.
    const std::string digits = hv::ToUtf8(line.Left(eq).Trim());
    unsigned long number = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) continue;
    if (number < 32768 || number >= 65535) continue;
    const wxString name = line.Mid(eq + 1);
    if (name.empty()) continue;
    bool seen = false;
    for (const auto& [n, _] : out) seen = seen || n == number;
    if (!seen) out.emplace_back(static_cast<WORD>(number), name);
  }
  return out;
}

wxString LoadConfiguredLanguage() {
  wxString code;
  BYTE number = 0;
  if (hv::GetRegistryTavGraphIIString("Language", code)) {
    code = code.Left(4);
    hv::InitMultiLanguage("Project", code);
  } else if (hv::GetRegistryTavGraphIIBin("Language", number)) {
    hv::InitMultiLanguage("Project", static_cast<int>(number));
    code = hv::GetLanguageCode(number);
  }
  return code;
}

void CTavProjectApp::ChooseLanguage() {
  const wxString code = LoadConfiguredLanguage();
  if (!code.empty()) m_languageCode = code;
  m_languageId = LanguageIdFor(m_languageCode);
}

BOOL CTavProjectApp::CheckSingleInstance(SingleInstanceGuard& guard) {
  guard.className = kMainWindowTitle + " Class";
  guard.instance.SetRaiseHandler([this] {
    if (m_host.raiseMainWindow) m_host.raiseMainWindow();
  });
  return guard.instance.Acquire(guard.className, hv::UserFolder()) ? TRUE : FALSE;
}

// The suite's install folder, drivers and the graph tool's current project and device.
void CTavProjectApp::ReadSuitePaths() {
  wxString value;
  // Without the installer's value the install tree is the program's own data folder.
  if (hv::GetRegistryQuintorString("PATH", value) && !value.empty())
    m_installFolder = hv::StripOneTrailingSeparator(hv::NormalizePath(value));
  else
    m_installFolder = hv::DefaultDataFolder();
  hv::GetRegistryQuintorString("DRIVER", m_driver);
  hv::GetRegistryQuintorString("DEVICE", m_device);
  hv::GetRegistryTavGraphIIString("PROJECTFULLPATH", m_projectFullPath);
  hv::GetRegistryTavGraphIIString("PROJECTNAME", m_projectName);
  wxString deviceName;
  hv::GetRegistryTavGraphIIString("DEVICENAME", deviceName);
  m_currentSelection = m_projectName + "/" + deviceName;
}

// The profile, the help file named in it and the projects folder (made when missing).
void CTavProjectApp::ReadProfile() {
  const wxString profilePath = hv::JoinPath(m_userFolder, "Project.INI");
  m_helpFile = wxString::Format("%s/%s/%s_%s%s", m_installFolder, "Help", "halvora",
                                m_languageCode == "DEU" ? "1031" : "1033", ".chm");
  CSettingsFile::SetDefaultBase(m_helpFile);
  m_profile.SetPath(profilePath);
  m_projectsFolder = ConfiguredProjectsFolder(m_profile);
  if (!hv::IsFolder(m_projectsFolder)) hv::MakeFolders(m_projectsFolder);
}

BOOL CTavProjectApp::InitInstance(StartupHost host) {
  m_host = std::move(host);
  if (!m_host.databaseInit)
    m_host.databaseInit = [](int v, const wxString& code) { return hv::db::rodozir_init(v, code); };
  if (!m_host.createDocument) m_host.createDocument = [this] { return CreateDocument(); };
  if (!m_host.onlineInit) m_host.onlineInit = [] { return hv::Vostrel_Init(); };
  if (!m_host.onlineDeInit) m_host.onlineDeInit = [] { hv::Vostrel_DeInit(); };
  if (!m_host.loadTools) m_host.loadTools = [this] { LoadToolsRepository(m_tools); };
  if (!m_host.buildLocalTables) m_host.buildLocalTables = [] { BuildLocalizedTables(); };
  if (!m_host.mergeLanguages) m_host.mergeLanguages = MergeLanguages;
  auto fail = [this](StartupStep step) {
    m_failedStep = step;
    return FALSE;
  };

  // A user folder named by bytes that are no text cannot be used, nor replaced silently.
  if (hv::UserFolderNameUnreadable()) {
    m_failureText = hv::LocalString(13508, wxS("HALVORA_HOME nennt einen Ordner, dessen Name kein UTF-8 ist."));
    return fail(StartupStep::UserFolder);
  }
  // The user folder must be a folder (or become one) before anything is kept in it.
  const wxString userFolder = hv::UserFolder();
  if (!hv::IsFolder(userFolder) && (hv::PathExists(userFolder) || !hv::MakeFolders(userFolder))) {
    m_failureText = wxString::Format(
        hv::LocalString(13505, wxS("Der Benutzerordner '%s' ist kein Ordner und kann nicht angelegt werden.")), userFolder);
    return fail(StartupStep::UserFolder);
  }
  m_host.loadTools();
  if (!CheckSingleInstance(m_guard)) return fail(StartupStep::SingleInstance);
  ChooseLanguage();
  hv::GetLocalUserFolder(m_userFolder);
  m_host.buildLocalTables();
  ReadSuitePaths();
  ReadProfile();
  m_host.mergeLanguages(ParseLanguagesSection(hv::IniReadSectionLines(m_profile.GetPath(), "Languages")));
  // The selection the program had when it last ended.
  if (auto sel = hv::RegistryStore::Get().GetString(Pane0Key(), "Selection"); sel && !sel->empty())
    m_currentSelection = *sel;
  if (m_host.databaseInit(kDataVersion, m_languageCode) < kDataVersion) return fail(StartupStep::DatabaseLibrary);
  if (!m_host.onlineInit()) {
    hv::ShowMessage(10357, wxS("Konnte Vostrel nicht initialisieren!"), MB_OK | MB_ICONEXCLAMATION);
    return fail(StartupStep::OnlineLibrary);
  }
  // What killed runs of this or another program left, before anything is listed; the
  // clipboard copies of a killed run of ours went with its clipboard.
  CleanUpKilledWork(m_projectsFolder);
  staging::RemoveAllStaged();
  if (!m_host.createDocument()) {
    m_failureText = hv::LocalString(13506, wxS("Halvora wird beendet: es gibt keinen Projektordner (die Liste der Projekte wurde nicht geöffnet)."));
    return fail(StartupStep::DocumentAndWindow);
  }
  if (!m_host.createMainWindow || !m_host.createMainWindow()) return fail(StartupStep::DocumentAndWindow);
  m_failedStep = StartupStep::Completed;
  return TRUE;
}

void MergeLanguages(const std::vector<std::pair<WORD, wxString>>& languages) {
  // The built-in rows first, then the user's own; a number the table has keeps its row.
  ResetLanguageTable();
  for (const auto& [number, name] : languages) AddLanguage(number, name);
}

bool CTavProjectApp::CreateDocument() {
  m_document = std::make_unique<CTavProjectDoc>();
  auto source = std::make_unique<CProjectListSource>();
  source->projectName = m_projectName;
  m_document->SetProjectListSource(std::move(source));
  return m_document->OnNewDocument() != FALSE;
}

int CTavProjectApp::ExitInstance() {
  if (m_host.onlineDeInit) m_host.onlineDeInit();
  m_modelessDialog.reset();
  // Temporary copies live only in our private folder, so other programs' files are safe.
  staging::RemoveAllStaged();
  hv::RegistryStore::Get().SetString(Pane0Key(), "Selection", m_currentSelection);
  m_guard.instance.Release();
  m_document.reset();
  return 0;
}

BOOL CTavProjectApp::HasLanguageChanged() {
  wxString code;
  BYTE number = 0;
  if (hv::GetRegistryTavGraphIIString("Language", code)) {
    m_languageCode = code.Left(4);
    if (m_languageCode == "ENG") hv::InitMultiLanguage("Project", m_languageCode);
  } else if (hv::GetRegistryTavGraphIIBin("Language", number)) {
    m_languageCode = hv::GetLanguageCode(number);
    if (m_languageCode == "ENG") hv::InitMultiLanguage("Project", static_cast<int>(number));
  }
  return LanguageIdFor(m_languageCode) != m_languageId ? TRUE : FALSE;
}

void CTavProjectApp::OnSelectLanguage() {
  BYTE current = 0;
  hv::SelectLanguageRequest req;
  if (hv::GetRegistryTavGraphIIBin("Language", current)) {
    req.number = current;
  } else {
    // No number stored (the code alone chose the language): offer the language in use.
    req.number = std::max(hv::GetLanguageNumber(m_languageCode.empty() ? wxString(wxS("DEU")) : m_languageCode), 0);
  }
  req.codes = hv::KnownLanguageCodes();
  for (const wxString& code : req.codes) {
    const wxString name = FindLanguageName(LanguageIdFor(code));
    req.names.push_back(name.empty() ? code : name);
  }
  if (hv::Ui().Run(req) != IDOK) return;
  const BYTE chosen = static_cast<BYTE>(req.number);
  m_languageCode = hv::GetLanguageCode(chosen);
  hv::SetRegistryTavGraphIIString("LANGUAGE", m_languageCode);
  for (const wxString key : {wxS("SOFTWARE\\Quintor\\Halvora"), wxS("SOFTWARE\\QUINTOR\\VOSTREL"),
                             wxS("SOFTWARE\\Quintor\\Halvora\\LORBIX"), wxS("SOFTWARE\\QUINTOR\\Pennark")})
    hv::set_registry_binvalue(key, "Language", chosen);
  wxString help;
  wxString helpFile;
  if (hv::GetRegistryQuintorString("HELPFILE", help)) {
    const size_t slash = help.find_last_of('\\');
    helpFile = slash == wxString::npos ? help : help.Left(slash + 1);
  }
  helpFile += "dorn2.hlp";
  if (hv::GetHelpFile(helpFile, chosen)) hv::set_registry_strvalue(hv::kKeyBrand, "HELPFILE", helpFile);
  hv::ShowMessage(10156, wxS("Eine Änderung der Sprache wird erst nach einem Neustart des Programms wirksam!"),
                  MB_OK | MB_ICONINFORMATION);
}

void CTavProjectApp::OpenManual(bool overview) { OpenManualFile(overview, m_languageCode); }

void OpenManualFile(bool overview, const wxString& languageCode) {
  wxString install;
  if (!hv::GetRegistryQuintorString("Path", install) || install.empty()) install = hv::DefaultDataFolder();
  install = hv::StripOneTrailingSeparator(hv::NormalizePath(install));
  BYTE number = 0;
  // The language selection stores the code as a string where the graph tool keeps its
  // number; without the number the code decides, so English users get the English file.
  if (!hv::GetRegistryTavGraphIIBin("Language", number) && languageCode == "ENG") number = 1;
  const wxString en = overview ? wxS("%s\\HELP\\EN\\Index\\Seiten\\Produkte\\Software\\Index_EN.pdf")
                               : wxS("%s\\HELP\\EN\\Index\\Seiten\\Produkte\\Software\\Halvora\\Manual\\Manual_Halvora_EN.pdf");
  const wxString de = overview ? wxS("%s\\HELP\\DE\\Index\\Seiten\\Produkte\\Software\\Index_DE.pdf")
                               : wxS("%s\\HELP\\DE\\Index\\Seiten\\Produkte\\Software\\Halvora\\Handbuch\\Handbuch_Halvora_DE.pdf");
  wxString file;
  if (number != 0) {
    file = hv::ResolvePath(hv::NormalizePath(wxString::Format(en, install)));
    if (!hv::IsFile(file)) file.clear();
  }
  if (file.empty()) file = hv::ResolvePath(hv::NormalizePath(wxString::Format(de, install)));
  // The file name as handed to the shell.
  const wxString text =
      wxString::Format(hv::LocalString(10551, wxS("Die Hilfe '%s' oder der Acrobat-Reader konnte nicht gefunden werden!")),
                       "\"" + file + "\"");
  if (!hv::IsFile(file)) hv::Ui().Message(10551, text, MB_OK | MB_ICONEXCLAMATION);
  else hv::ShellOpen(file, 10551, text);
}

void CTavProjectApp::OnHelpContents() { OpenManual(false); }
void CTavProjectApp::OnHelpOverview() { OpenManual(true); }

void CTavProjectApp::OnAppAbout() {
  AboutRequest req;
  CVersionInfo version;
  if (version.Load())
    req.text = wxString::Format(hv::LocalString(10691, wxS("%s\nVersion %s\n%s\n%s")),
                                hv::LocalString(13910, wxS("Halvora - Projektverwaltung")),
                                version.GetProductVersion(), version.GetLegalCopyright(),
                                hv::LocalString(13911, wxS("Alle Rechte vorbehalten.")));
  wxString toolVersion;
  if (hv::GetRegistryTavGraphIIString("VERSION", toolVersion))
    req.toolVersion = wxString::Format(hv::LocalString(10692, wxS("Halvora %s")), toolVersion.Left(100));
  req.webAddress = kMakerWebAddress;
  hv::Ui().Run(req);
}

void CTavProjectApp::OnWebLink() { hv::ShellOpen(kMakerWebAddress); }

void CTavProjectApp::StartSuiteProgram(const wxString& program, const wxString& where, const wxString& commandLine) {
  const std::vector<wxString> words = SplitCommandLine(commandLine);
  if (!words.empty() && !FindProgram(words[0]).empty()) {
    LaunchProcess(nullptr, commandLine);
    return;
  }
  // Without this the user would see only an error number, or nothing at all.
  hv::ShowMessageF(13901,
                   wxS("Das Programm '%s' wurde nicht gefunden (gesucht in: %s).\nEs ist nicht Teil dieser "
                       "Installation."),
                   MB_OK | MB_ICONINFORMATION, program, where);
}

void CTavProjectApp::OnRemoteSupport() {
  const wxString program = m_languageCode == "DEU" ? wxS("TeamViewerQS_de.exe") : wxS("TeamViewerQS_en.exe");
  const wxString folder = hv::JoinPath(m_installFolder, "Halvora");
  wxString found = hv::ResolvePath(hv::JoinPath(folder, program));
  if (!hv::IsFile(found)) found = hv::ResolvePath(hv::JoinPath(folder, hv::PathStem(program)));
  StartSuiteProgram(program, folder, "\"" + found + "\"");
}

void CTavProjectApp::OnVersionControl() {
  StartSuiteProgram(wxS("gantrel.exe"), m_installFolder, "\"" + hv::JoinPath(m_installFolder, "gantrel.exe") + "\"");
}

void CTavProjectApp::OnVersionSwitch() {
  // Found by the search path, as the system would.
  const char* path = std::getenv("PATH");
  StartSuiteProgram(wxS("Wendlix.exe"), "PATH=" + wxString::FromUTF8(path ? path : ""), "Wendlix.exe");
}
