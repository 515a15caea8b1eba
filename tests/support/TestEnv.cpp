#include "tests/support/TestEnv.h"

#include <sys/resource.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/FolderCopy.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace hvtest {

namespace fs = std::filesystem;

namespace {
// Tests read and write UTF-8 names whatever the machine's locale.
struct LocaleSetter {
  LocaleSetter() { std::setlocale(LC_CTYPE, "C.UTF-8"); }
} g_locale;

wxString MakeTempFolder(const char* prefix) {
  std::string tmpl = (fs::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
  if (!mkdtemp(tmpl.data())) ADD_FAILURE() << "mkdtemp failed";
  return hv::FromUtf8(tmpl);
}
}  // namespace

TempHome::TempHome() {
  // A test run as a later session of another test works in that test's user folder.
  if (const char* session = std::getenv("HVTEST_SESSION_HOME"); session && *session) {
    m_path = hv::FromUtf8(session);
    m_keep = true;
  } else {
    m_path = MakeTempFolder("hvhome-");
  }
  setenv("HALVORA_HOME", hv::ToUtf8(m_path).c_str(), 1);
  hv::InitRegistryStore();
  hv::ResetLanguage();
}

TempHome::~TempHome() {
  std::error_code ec;
  if (!m_keep) fs::remove_all(hv::ToUtf8(m_path), ec);
  unsetenv("HALVORA_HOME");
  hv::InitRegistryStore();
}

wxString TempHome::Sub(const wxString& relative) const { return hv::JoinPath(m_path, relative); }

void TempHome::WriteSystemRegistry(const std::string& content) {
  WriteAll(hv::SystemRegistryFile(), content);
  hv::RegistryStore::Get().Reload();
}

TempDir::TempDir() { m_path = MakeTempFolder("hvtmp-"); }

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(hv::ToUtf8(m_path), ec);
}

wxString TempDir::Sub(const wxString& relative) const { return hv::JoinPath(m_path, relative); }

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit rl{};
  if (getrlimit(RLIMIT_FSIZE, &rl) != 0) return;
  m_soft = rl.rlim_cur;
  rl.rlim_cur = bytes;
  m_set = setrlimit(RLIMIT_FSIZE, &rl) == 0;
}

FileSizeLimit::~FileSizeLimit() {
  if (!m_set) return;
  rlimit rl{};
  getrlimit(RLIMIT_FSIZE, &rl);
  rl.rlim_cur = m_soft;
  setrlimit(RLIMIT_FSIZE, &rl);
}

std::string ReadAll(const wxString& path) {
  std::ifstream in(hv::ToUtf8(path), std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const wxString& path, const std::string& bytes) {
  hv::MakeFolders(hv::PathFolder(path));
  std::ofstream out(hv::ToUtf8(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) ADD_FAILURE() << "cannot write " << hv::ToUtf8(path);
}

wxString S(const char* utf8) { return wxString::FromUTF8(utf8); }

ScriptedUi::ScriptedUi() {
  hv::Ui().Reset();
  hv::Ui().SetMessageHandler([this](UINT id, const wxString& text, UINT) {
    m_seen.push_back(id);
    m_texts.push_back(text);
    m_captions.push_back(hv::UiFacade::CurrentCaption());
    if (!m_expected.empty() && m_expected.front().first == id) {
      const int answer = m_expected.front().second;
      m_expected.pop_front();
      return answer;
    }
    if (m_allowAny) return m_anyAnswer;
    ADD_FAILURE() << "unexpected message " << id << ": " << hv::ToUtf8(text);
    return static_cast<int>(IDCANCEL);
  });
  // Folder copies show their progress and run to the end unless a test answers otherwise.
  hv::Ui().Register<FolderCopyRequest>([this](FolderCopyRequest& r) {
    m_copyTitles.push_back(r.title);
    return r.operation->RunToEnd() ? static_cast<int>(IDOK) : static_cast<int>(IDCANCEL);
  });
  hv::Ui().SetMissingHandler([](const char* what) {
    ADD_FAILURE() << "unexpected dialog " << what;
    return static_cast<int>(IDCANCEL);
  });
}

ScriptedUi::~ScriptedUi() { hv::Ui().Reset(); }

void ScriptedUi::ExpectMessage(UINT id, int answer) { m_expected.emplace_back(id, answer); }

bool ScriptedUi::Saw(UINT id) const {
  for (UINT s : m_seen)
    if (s == id) return true;
  return false;
}

}  // namespace hvtest
