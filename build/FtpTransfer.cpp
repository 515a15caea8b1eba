#include "build/FtpTransfer.h"

#include <algorithm>
#include <map>
#include <filesystem>
#include <functional>
#include <iterator>
#include <optional>

#include <wx/arrstr.h>

#include "archive/ZipProgress.h"
#include "framework/FileList.h"
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
    {FtpFailure::Login, TXT_FTP_LOGIN_REFUSED,
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
FtpTransferResult Described(const hv::FtpResult& r, const FtpFileJob& file, const wxString& host);

// The failure's message, followed by what became of the broken file on the device.
FtpTransferResult UploadFailure(const hv::FtpResult& r, const FtpFileJob& file, const wxString& host) {
  FtpTransferResult result = Described(r, file, host);
  // Named as it is on the device: the temporary name where the file went under one.
  const wxString shownFolder = file.shownName.Contains("/") ? file.shownName.BeforeLast('/') + "/" : wxString();
  const wxString partial = r.partialName.empty() ? file.shownName : shownFolder + r.partialName;
  if (r.partial == hv::FtpPartial::Removed)
    result.message += "\n" + wxString::Format(hv::LocalString(11916, wxS("Die unvollständige Datei %s wurde vom Gerät gelöscht.")),
                                              partial);
  else if (r.partial == hv::FtpPartial::Left)
    result.message +=
        "\n" + wxString::Format(hv::LocalString(11917, wxS("Die unvollständige Datei %s konnte nicht vom Gerät gelöscht werden.")),
                                partial);
  return result;
}

FtpTransferResult Described(const hv::FtpResult& r, const FtpFileJob& file, const wxString& host) {
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

// The listed files of `folder`, each once; false (and the failure) for one that is not
// a file below it.
bool CollectListed(const wxString& folder, const std::vector<wxString>& names, std::vector<wxString>& files,
                   FtpTransferResult& failure) {
  for (const wxString& name : names) {
    const wxString normal = hv::NormalizePath(name);
    bool inside = !normal.empty() && !normal.StartsWith("/") && !normal.Contains(":");
    for (const wxString& part : wxSplit(normal, '/', 0)) inside = inside && part != "." && part != "..";
    const wxString path = hv::ResolvePath(hv::JoinPath(folder, normal));
    if (!inside) {
      failure = Failure(FtpFailure::LocalFile, 11911,
                        wxString::Format(hv::LocalString(11911, wxS("%s liegt nicht im Ordner %s.")), name, folder));
      return false;
    }
    if (!hv::IsFile(path)) {
      failure = SourceMissing(path);
      return false;
    }
    if (std::find(files.begin(), files.end(), path) == files.end()) files.push_back(path);
  }
  return true;
}

FtpFileJob Job(const wxString& path, const wxString& remote, const wxString& shown) {
  FtpFileJob job{path, remote, shown, 0, 0};
  CFileInfoArray local;
  if (local.AddFile(path, kFileSortNone) >= 0) {
    job.size = local[0].size;
    job.modified = local[0].lastWriteTime;
  }
  return job;
}

// Where a file goes while it is on its way.
wxString TempName(const wxString& remotePath) { return remotePath.AfterLast('/') + wxS(".hvtmp"); }

// The device's folders, each listed once.
class RemoteFolders {
 public:
  explicit RemoteFolders(hv::FtpFileLister& server) : m_server(server) {}
  // The entry of a remote file, nullptr when its folder does not list it.
  const hv::FtpRemoteEntry* Find(const wxString& remotePath, hv::FtpResult& failure) {
    failure = {};
    const wxString folder = remotePath.Contains("/") ? remotePath.BeforeLast('/') : wxString();
    auto it = m_folders.find(folder);
    if (it == m_folders.end()) {
      std::vector<hv::FtpRemoteEntry> entries;
      failure = m_server.List(folder, entries);
      if (!failure.Ok()) return nullptr;
      std::map<wxString, hv::FtpRemoteEntry> byName;
      for (hv::FtpRemoteEntry& e : entries) byName.emplace(e.name, std::move(e));
      it = m_folders.emplace(folder, std::move(byName)).first;
    }
    const auto found = it->second.find(remotePath.AfterLast('/'));
    return found == it->second.end() ? nullptr : &found->second;
  }

 private:
  hv::FtpFileLister& m_server;
  std::map<wxString, std::map<wxString, hv::FtpRemoteEntry>> m_folders;
};

// The server's state of a listed file: its exact time, else the listing's own; where the
// listing shows no time at all, the server's MDTM.
FtpServerStamp StampOf(const hv::FtpRemoteEntry& e, hv::FtpFileLister& server, const wxString& remotePath) {
  FtpServerStamp stamp;
  stamp.size = e.size;
  std::time_t exact = e.modified;
  if (!exact && !e.listed && server.MdtmWorks()) {
    hv::FtpRemoteEntry asked;
    bool found = false;
    if (server.Stat(remotePath, asked, found).Ok() && found && asked.size == e.size) exact = asked.modified;
  }
  if (exact) {
    stamp.kind = FtpStampKind::Exact;
    stamp.time = exact;
  } else if (e.listed) {
    stamp.kind = FtpStampKind::Listed;
    stamp.time = e.listed;
  }
  return stamp;
}

// Failures after which the device is still there to be listed.
bool DeviceStillAnswers(FtpFailure failure) {
  switch (failure) {
    case FtpFailure::None:
    case FtpFailure::RemoteFolder:
    case FtpFailure::WriteRefused:
    case FtpFailure::DiskFull:
    case FtpFailure::LocalFile:
    case FtpFailure::Cancelled: return true;
    default: return false;
  }
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
    files.push_back(Job(source, hv::JoinRemotePath(request.remoteFolder, name), name));
    return {};
  }

  const wxString base =
      request.localBase.empty()
          ? (isFolder ? source : hv::PathFolder(source))
          : hv::StripOneTrailingSeparator(hv::ResolvePath(hv::NormalizePath(request.localBase)));
  std::vector<wxString> paths;
  FtpTransferResult refused;
  if (!isFolder) {
    paths.push_back(source);
  } else if (!request.files.empty()) {
    if (!CollectListed(source, request.files, paths, refused)) return refused;
  } else if (!Collect(source, 0, paths)) {
    return UploadFailure({FtpFailure::LocalFile, {}}, FtpFileJob{source, {}, {}, 0, 0}, {});
  }
  for (const wxString& path : paths) {
    wxString relative;
    if (!RelativeTo(base, path, relative)) {
      files.clear();
      return Failure(FtpFailure::LocalFile, 11911,
                     wxString::Format(hv::LocalString(11911, wxS("%s liegt nicht im Ordner %s.")), path, base));
    }
    files.push_back(Job(path, hv::JoinRemotePath(request.remoteFolder, relative), relative));
  }
  return {};
}

bool FtpSessionFor(const FtpDownloadRequest& request, hv::FtpSession& session, FtpTransferResult& error) {
  session = hv::FtpSession{};
  int port = hv::kFtpPort;
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

  std::vector<FtpFileJob> planned;
  result = PlanFtpTransfer(request, planned);
  if (!result.Ok()) return result;

  hv::FtpClient client(session);
  FtpSentRecord record;
  const bool keepRecord = !request.sentRecord.empty();
  if (keepRecord)
    record = FtpSentRecord::Load(request.sentRecord,
                                 wxString::Format("%s:%d %s", session.host, session.port, session.user));
  hv::FtpResult listed;
  const std::vector<FtpFileJob> files = ChangedFiles(planned, client, listed, keepRecord ? &record : nullptr);
  if (!listed.Ok()) {
    const FtpFileJob& first = planned.front();
    return UploadFailure(listed, FtpFileJob{first.localPath, first.remotePath, hv::PathFolder(first.shownName), 0, 0},
                         session.host);
  }
  result.filesUnchanged = static_cast<int>(planned.size() - files.size());

  // What is about to be sent no longer holds as recorded, whatever becomes of it.
  for (const FtpFileJob& f : files) record.Erase(f.remotePath);
  std::vector<FtpFileJob> sent;
  auto finish = [&](FtpTransferResult r) {
    r.filesSent = result.filesSent;
    r.filesUnchanged = result.filesUnchanged;
    if (keepRecord && !sent.empty() && DeviceStillAnswers(r.failure)) {
      NoteSentFiles(sent, client, record);
      // Not kept: the device gets these files once more next time.
      record.Save();
    }
    return r;
  };

  // Only what is sent counts towards the progress.
  std::uint64_t total = 0;
  for (const FtpFileJob& f : files) total += f.size;
  std::uint64_t done = 0;
  // Empty files count as one byte each, so the bar moves for them too.
  const std::uint64_t scaleTotal = total + files.size();
  auto report = [&](const wxString& name, std::uint64_t bytes) {
    const auto part = scaleTotal ? static_cast<int>(bytes * kProgressScale / scaleTotal) : kProgressScale;
    progress.Report(name, part, kProgressScale);
  };

  for (const FtpFileJob& file : files) {
    if (progress.CancelRequested()) return finish(UploadFailure({FtpFailure::Cancelled, {}}, file, session.host));
    report(file.shownName, done);
    hv::FtpUploadOptions options;
    options.tempName = TempName(file.remotePath);
    options.modified = file.modified;
    const hv::FtpResult r = client.Upload(
        file.localPath, file.remotePath,
        [&](std::uint64_t sentBytes) {
          report(file.shownName, done + std::min(sentBytes, file.size));
          return !progress.CancelRequested();
        },
        options);
    if (!r.Ok()) return finish(UploadFailure(r, file, session.host));
    done += file.size + 1;
    progress.AddBytes(file.size);
    ++result.filesSent;
    sent.push_back(file);
    report(file.shownName, done);
  }
  return finish(result);
}

std::vector<FtpFileJob> ChangedFiles(const std::vector<FtpFileJob>& files, hv::FtpFileLister& server,
                                     hv::FtpResult& failure, const FtpSentRecord* record) {
  failure = {};
  RemoteFolders folders(server);
  std::vector<FtpFileJob> changed;
  for (const FtpFileJob& file : files) {
    const hv::FtpRemoteEntry* e = folders.Find(file.remotePath, failure);
    if (!failure.Ok()) return {};
    bool unchanged = false;
    if (e && !e->isFolder && e->size == file.size) {
      // The device keeps exact times and was given the local one (MLSD and MFMT).
      unchanged = e->modified != 0 && e->modified == file.modified;
      // Sent before as it is now, and the device still lists it as it did then.
      const FtpSentEntry* r = record && !unchanged ? record->Find(file.remotePath) : nullptr;
      std::optional<FtpServerStamp> stamp;
      if (r && r->localSize == file.size && r->localTime == file.modified && r->server.size == e->size &&
          r->server.kind != FtpStampKind::None) {
        stamp = StampOf(*e, server, file.remotePath);
        unchanged = *stamp == r->server;
      }
      // A listing without any time (old Unix lines show the year only): the server's
      // MDTM (the stamp's exact time then, asked once) may still match the local time.
      // Lines with a time to the minute are not asked about file by file; the record
      // covers them.
      if (!unchanged && !e->modified && !e->listed && server.MdtmWorks()) {
        if (!stamp) stamp = StampOf(*e, server, file.remotePath);
        unchanged = stamp->kind == FtpStampKind::Exact && stamp->time == file.modified;
      }
    }
    if (!unchanged) changed.push_back(file);
  }
  return changed;
}

void NoteSentFiles(const std::vector<FtpFileJob>& sent, hv::FtpFileLister& server, FtpSentRecord& record) {
  RemoteFolders folders(server);
  for (const FtpFileJob& file : sent) {
    hv::FtpResult failure;
    const hv::FtpRemoteEntry* e = folders.Find(file.remotePath, failure);
    if (!failure.Ok()) return;
    if (!e || e->isFolder || e->size != file.size) continue;
    const FtpServerStamp stamp = StampOf(*e, server, file.remotePath);
    if (stamp.kind != FtpStampKind::None) record.Set(file.remotePath, FtpSentEntry{file.size, file.modified, stamp});
  }
}
