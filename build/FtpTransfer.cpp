#include "build/FtpTransfer.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iterator>

#include "model/ZipProgress.h"
#include "platform/Localization.h"
#include "platform/Paths.h"

namespace {

using hv::FtpFailure;

// Progress is reported in ten-thousandths of all bytes.
constexpr int kProgressScale = 10000;
// Deeper folder trees are taken for a link loop.
constexpr int kMaxDepth = 64;

FtpTransferResult Failure(FtpFailure failure, UINT id, const wxString& text, const wxString& detail = wxString()) {
  FtpTransferResult result;
  result.failure = failure;
  result.messageId = id;
  result.message = detail.empty() ? text : text + "\n(" + detail + ")";
  return result;
}

FtpTransferResult SourceMissing(const wxString& source) {
  return Failure(FtpFailure::LocalFile, 11910,
                 wxString::Format(hv::LocalString(11910, wxS("Die Quelle %s existiert nicht.")), source));
}

// What a failure's message names.
enum class Subject { Host, Folder, File, LocalPath };

struct FailureText {
  FtpFailure failure;
  UINT id;
  const wchar_t* text;   // one %s: the subject
  Subject subject;
};

const FailureText kFailureTexts[] = {
    {FtpFailure::Connect, 11902, wxS("Keine Verbindung zum Gerät %s."), Subject::Host},
    {FtpFailure::Login, 11903,
     wxS("Das Gerät %s hat die Anmeldung abgelehnt.\nBitte überprüfen Sie Benutzername und Passwort."), Subject::Host},
    {FtpFailure::RemoteFolder, 11904, wxS("Der Ordner %s kann auf dem Gerät nicht angelegt oder geöffnet werden."),
     Subject::Folder},
    {FtpFailure::WriteRefused, 11905, wxS("Das Gerät hat das Schreiben der Datei %s abgelehnt."), Subject::File},
    {FtpFailure::DiskFull, 11906, wxS("Auf dem Gerät ist kein Platz für die Datei %s."), Subject::File},
    {FtpFailure::ConnectionLost, 11907, wxS("Die Verbindung zum Gerät wurde bei der Datei %s unterbrochen."),
     Subject::File},
    {FtpFailure::Timeout, 11908, wxS("Das Gerät %s antwortet nicht (Zeitüberschreitung)."), Subject::Host},
    {FtpFailure::LocalFile, 11909, wxS("Die Datei %s kann nicht gelesen werden."), Subject::LocalPath},
    {FtpFailure::Other, 11912, wxS("Die Übertragung der Datei %s ist fehlgeschlagen."), Subject::File},
};

// The message for a failed upload of one file.
FtpTransferResult UploadFailure(const hv::FtpResult& r, const FtpFileJob& file, const wxString& host) {
  if (r.failure == FtpFailure::Cancelled)
    return Failure(r.failure, 10769, hv::LocalString(10769, wxS("Abbruch durch den Benutzer.")));
  const FailureText* entry = &kFailureTexts[std::size(kFailureTexts) - 1];
  for (const FailureText& t : kFailureTexts)
    if (t.failure == r.failure) entry = &t;
  wxString subject;
  switch (entry->subject) {
    case Subject::Host: subject = host; break;
    case Subject::Folder: subject = hv::PathFolder(file.remotePath); break;
    case Subject::File: subject = file.shownName; break;
    case Subject::LocalPath: subject = file.localPath; break;
  }
  return Failure(entry->failure, entry->id, wxString::Format(hv::LocalString(entry->id, entry->text), subject),
                 r.detail);
}

// The path of `path` below `base` ('/' separated), false when it is not below it.
bool RelativeTo(const wxString& base, const wxString& path, wxString& relative) {
  const wxString prefix = base.EndsWith("/") ? base : base + "/";
  if (!path.StartsWith(prefix, &relative)) return false;
  return !relative.empty();
}

bool Collect(const wxString& folder, int depth, std::vector<wxString>& files) {
  if (depth > kMaxDepth) return false;
  std::vector<wxString> subFolders;
  for (const wxString& name : hv::ListFolder(folder)) {
    const wxString path = hv::JoinPath(folder, name);
    if (hv::IsFolder(path)) subFolders.push_back(path);
    else files.push_back(path);
  }
  for (const wxString& sub : subFolders)
    if (!Collect(sub, depth + 1, files)) return false;
  return true;
}

std::uint64_t FileSize(const wxString& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(hv::ToFs(path), ec);
  return ec ? 0 : static_cast<std::uint64_t>(size);
}

}  // namespace

FtpTransferResult PlanFtpTransfer(const FtpDownloadRequest& request, std::vector<FtpFileJob>& files) {
  files.clear();
  if (request.source.empty()) return SourceMissing(request.source);
  const wxString source = hv::StripOneTrailingSeparator(hv::ResolvePath(hv::NormalizePath(request.source)));
  const bool isFolder = hv::IsFolder(source);
  if (!isFolder && !hv::IsFile(source)) return SourceMissing(request.source);

  if (request.mode & kFtpModeSingleFile) {
    if (isFolder) return SourceMissing(request.source);
    const wxString name = hv::PathName(source);
    files.push_back({source, hv::JoinRemotePath(request.remoteFolder, name), name, FileSize(source)});
    return {};
  }

  const wxString base =
      request.localBase.empty()
          ? (isFolder ? source : hv::PathFolder(source))
          : hv::StripOneTrailingSeparator(hv::ResolvePath(hv::NormalizePath(request.localBase)));
  std::vector<wxString> paths;
  if (!isFolder) {
    paths.push_back(source);
  } else if (!Collect(source, 0, paths)) {
    return UploadFailure({FtpFailure::LocalFile, {}}, FtpFileJob{source, {}, {}, 0}, {});
  }
  for (const wxString& path : paths) {
    wxString relative;
    if (!RelativeTo(base, path, relative)) {
      files.clear();
      return Failure(FtpFailure::LocalFile, 11911,
                     wxString::Format(hv::LocalString(11911, wxS("%s liegt nicht im Ordner %s.")), path, base));
    }
    files.push_back({path, hv::JoinRemotePath(request.remoteFolder, relative), relative, FileSize(path)});
  }
  return {};
}

bool FtpSessionFor(const FtpDownloadRequest& request, hv::FtpSession& session, FtpTransferResult& error) {
  session = hv::FtpSession{};
  int port = 21;
  if (!hv::SplitFtpAddress(request.address, session.host, port)) {
    error = Failure(FtpFailure::Connect, 11913,
                    wxString::Format(hv::LocalString(11913, wxS("Ungültige Geräteadresse: %s")), request.address));
    return false;
  }
  session.port = request.connection.port > 0 ? request.connection.port : port;
  session.passive = request.connection.passive;
  session.user = request.user;
  session.password = request.password;
  return true;
}

FtpTransferResult RunFtpTransfer(const FtpDownloadRequest& request, ZipProgress& progress,
                                 const FtpTransferLimits& limits) {
  hv::FtpSession session;
  FtpTransferResult result;
  if (!FtpSessionFor(request, session, result)) return result;
  session.connectTimeoutMs = limits.connectTimeoutMs;
  session.responseTimeoutMs = limits.responseTimeoutMs;
  session.stallTimeoutSec = limits.stallTimeoutSec;

  std::vector<FtpFileJob> files;
  result = PlanFtpTransfer(request, files);
  if (!result.Ok()) return result;

  std::uint64_t total = 0;
  for (const FtpFileJob& f : files) total += f.size;
  std::uint64_t done = 0;
  // Empty files count as one byte each, so the bar moves for them too.
  const std::uint64_t scaleTotal = total + files.size();
  auto report = [&](const wxString& name, std::uint64_t bytes) {
    const auto part = scaleTotal ? static_cast<int>(bytes * kProgressScale / scaleTotal) : 0;
    progress.Report(name, part, kProgressScale);
  };

  hv::FtpClient client(session);
  for (const FtpFileJob& file : files) {
    if (progress.CancelRequested()) return UploadFailure({FtpFailure::Cancelled, {}}, file, session.host);
    report(file.shownName, done);
    const hv::FtpResult r = client.Upload(file.localPath, file.remotePath, [&](std::uint64_t sent) {
      report(file.shownName, done + std::min(sent, file.size));
      return !progress.CancelRequested();
    });
    if (!r.Ok()) {
      FtpTransferResult failed = UploadFailure(r, file, session.host);
      failed.filesSent = result.filesSent;
      return failed;
    }
    done += file.size + 1;
    progress.AddBytes(file.size);
    ++result.filesSent;
    report(file.shownName, done);
  }
  return result;
}
