#include "model/CoDeSysArchiver.h"

#include <sys/stat.h>
#include <unistd.h>

#include "archive/ZipProgress.h"
#include "framework/Launcher.h"
#include "framework/ProcessList.h"
#include "model/UiRelay.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

namespace {

// A real folder or file, never a link.
bool IsRealFolder(const wxString& path) {
  struct stat st;
  return lstat(hv::ToFs(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRealFile(const wxString& path) {
  struct stat st;
  return lstat(hv::ToFs(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

CCoDeSysArchiver::CCoDeSysArchiver(CoDeSysArchiveOptions options, ZipProgress& progress, UiRelay& relay)
    : m_options(std::move(options)),
      m_progress(progress),
      m_relay(relay),
      m_statusPrefix(hv::LocalString(10784, wxS("Backup CoDeSys file archive: "))) {
  if (!m_options.isCoDeSysRunning) m_options.isCoDeSysRunning = [] { return IsProcessRunning("Codesys.exe") != FALSE; };
}

bool CCoDeSysArchiver::IsCoDeSysProjectName(const wxString& name) {
  return name.length() > 4 && !name.StartsWith(".") && name.Right(4).CmpNoCase(".pro") == 0;
}

std::vector<wxString> CCoDeSysArchiver::FindProjects(const wxString& projectFolder) {
  std::vector<wxString> found;
  const wxString root = hv::ResolvePath(hv::NormalizePath(projectFolder));
  for (const wxString& device : hv::ListFolder(root)) {
    if (device.StartsWith(".")) continue;
    const wxString deviceFolder = hv::JoinPath(root, device);
    if (!IsRealFolder(deviceFolder)) continue;
    for (const wxString& sub : hv::ListFolder(deviceFolder)) {
      if (sub.CmpNoCase("CoDeSys") != 0) continue;
      const wxString coDeSys = hv::JoinPath(deviceFolder, sub);
      if (!IsRealFolder(coDeSys)) continue;
      for (const wxString& file : hv::ListFolder(coDeSys)) {
        const wxString path = hv::JoinPath(coDeSys, file);
        if (IsCoDeSysProjectName(file) && IsRealFile(path)) found.push_back(path);
      }
      break;   // one "CoDeSys" folder per device, even if the case differs twice
    }
  }
  return found;
}

wxString CCoDeSysArchiver::ArchivePathFor(const wxString& proPath) {
  return hv::JoinPath(hv::PathFolder(proPath), hv::PathStem(proPath) + "_backup.zip");
}

std::string CCoDeSysArchiver::BatchText(const wxString& proPath, const wxString& archivePath) {
  // Paths as the file system spells them, so that the tool finds the files.
  std::string text;
  text += "file open \"" + hv::ToFs(proPath) + "\"\r\n";
  text += "file archive \"" + hv::ToFs(archivePath) + "\"\r\n";
  text += "file close\r\n";
  text += "file quit\r\n";
  return text;
}

bool CCoDeSysArchiver::Cancelled() const { return m_progress.CancelRequested(); }

void CCoDeSysArchiver::ShowArchiveError(const wxString& archivePath) {
  ++m_errors;
  const wxString text = wxString::Format(
      "%s:\r\n%s", hv::LocalString(10787, wxS("Fehler beim Erstellen der CoDeSys Archivierung")), archivePath);
  m_relay.Ask([text] { return hv::Ui().Message(10787, text, MB_OK | MB_ICONSTOP); }, IDOK);
}

bool CCoDeSysArchiver::WaitUntilCoDeSysEnds() {
  while (!Cancelled() && m_options.isCoDeSysRunning()) {
    const int answer = m_relay.Ask(
        [] { return hv::ShowMessage(10790, wxS("Bitte beenden Sie zuerst CoDeSys."), MB_OKCANCEL | MB_ICONEXCLAMATION); },
        IDCANCEL);
    if (answer != IDOK) return false;
  }
  return !Cancelled();
}

void CCoDeSysArchiver::ArchiveOne(const wxString& proPath) {
  const wxString archive = ArchivePathFor(proPath);
  if (m_options.commandLine.empty()) {
    // Without a configured CoDeSys nothing can make the archive; the old one stays.
    ++m_archived;
    m_progress.Report(m_statusPrefix + hv::PathName(archive), m_archived, m_counted);
    ShowArchiveError(archive);
    return;
  }
  const wxString batch = hv::JoinPath(hv::PathFolder(proPath), "CoArchiv.bat");
  unlink(hv::ToFs(batch).c_str());
  wxString error;
  if (!hv::WriteFileAtomic(batch, BatchText(proPath, archive), &error)) {
    ++m_errors;
    ShowArchiveError(archive);
    return;
  }
  unlink(hv::ToFs(archive).c_str());
  m_progress.Report(m_statusPrefix + hv::PathName(archive), m_archived, m_counted);

  if (!WaitUntilCoDeSysEnds()) {
    ++m_errors;
  } else {
    const std::vector<wxString> args =
        SplitCommandLine(m_options.commandLine + " /batch \"" + batch + "\"");
    const ChildOutcome outcome = RunChildProcess(args, m_options.limits, [this] { return Cancelled(); });
    if (outcome.end == ChildEnd::TimedOut) ++m_errors;
  }
  if (Cancelled()) {
    unlink(hv::ToFs(batch).c_str());
    return;
  }
  ++m_archived;
  m_progress.Report(m_statusPrefix + hv::PathName(archive), m_archived, m_counted);
  if (!IsRealFile(archive)) ShowArchiveError(archive);
  unlink(hv::ToFs(batch).c_str());
}

int CCoDeSysArchiver::Run(const wxString& projectFolder) {
  m_errors = 0;
  m_archived = 0;
  const std::vector<wxString> projects = FindProjects(projectFolder);
  m_counted = static_cast<int>(projects.size());
  for (const wxString& pro : projects) {
    if (Cancelled()) break;
    ArchiveOne(pro);
  }
  return m_errors;
}
