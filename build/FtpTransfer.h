#pragma once
// The FTP transfer to a panel (the transfer dialog's work, without widgets): which
// local files go where on the device, and the upload itself. Run is meant for a worker
// thread: it reports through a progress object and stops when that is cancelled.
#include <cstdint>
#include <ctime>
#include <vector>
#include <wx/string.h>

#include "build/FtpSentRecord.h"
#include "platform/FtpClient.h"
#include "platform/Types.h"

class ZipProgress;

// The text number of a refused login.
constexpr UINT TXT_FTP_LOGIN_REFUSED = 11903;

// Mode flags of a transfer.
constexpr unsigned kFtpModeFolder = 0;       // every file to remote folder + its path below the local base
constexpr unsigned kFtpModeSingleFile = 1;   // the one source file straight into the remote folder

// The two connection values the target dialog hands to the transfer.
struct FtpConnection {
  int port = 0;          // 0: the address's port, else 21
  bool passive = true;
};

// What the caller gives the transfer dialog (`CDlgFtpDownload`) and reads back.
struct FtpDownloadRequest {
  wxString address;        // the device's address; "host:port" gives a port
  wxString user;           // empty: anonymous
  wxString password;
  wxString source;         // one file or one folder
  wxString localBase;      // folder mode: remote sub-paths start below it; empty: the source's folder
  wxString remoteFolder;   // device path, '\' or '/' ("Flashdisk\TavDesign\Fonts", "vfs")
  unsigned mode = kFtpModeFolder;
  // Folder mode: when not empty, only these files of the source folder (paths below it,
  // either separator), in this order, instead of all it holds.
  std::vector<wxString> files;
  FtpConnection connection;
  // Non-empty: the device's record of what was sent (FtpSentRecord), read to leave out
  // what it already holds and updated with what this transfer sent.
  wxString sentRecord;
  // A refused login is not shown: the caller asks for another and runs the transfer again.
  bool askLogin = false;
  // Results.
  bool succeeded = false;  // every file was stored and confirmed by the device
  int filesSent = 0;
  int filesUnchanged = 0;  // the device already held them, so they were not sent
  UINT messageId = 0;      // the failure's text number, 0 on success
  wxString message;        // the failure as shown to the user
};

// One file of a transfer.
struct FtpFileJob {
  wxString localPath;
  wxString remotePath;     // '/' separated, relative to the login folder
  wxString shownName;      // for progress and messages: the path below the local base
  std::uint64_t size = 0;
  std::time_t modified = 0;   // local last-write time (UTC)
};

struct FtpTransferResult {
  hv::FtpFailure failure = hv::FtpFailure::None;
  UINT messageId = 0;
  wxString message;
  int filesSent = 0;
  int filesUnchanged = 0;
  bool Ok() const { return failure == hv::FtpFailure::None; }
};

// Limits of one transfer; the defaults are the program's.
struct FtpTransferLimits {
  long connectTimeoutMs = 15000;
  long responseTimeoutMs = 30000;
  long stallTimeoutSec = 30;
};

// The files of a request with their remote paths, in a stable order (names sorted
// without regard to case, a folder's files before its sub-folders' files; a list of
// files in its own order). A missing source or file, or one outside the local base or
// the source folder, fails with its message.
FtpTransferResult PlanFtpTransfer(const FtpDownloadRequest& request, std::vector<FtpFileJob>& files);

// The planned files the device does not already hold: a file is left out when the
// device's folder lists it with the same size and the same exact modification time, or
// when `record` says it was sent as it is now and the device lists it as it was then.
// Where a listing gives no time, the server's MDTM is asked.
std::vector<FtpFileJob> ChangedFiles(const std::vector<FtpFileJob>& files, hv::FtpFileLister& server,
                                     hv::FtpResult& failure, const FtpSentRecord* record = nullptr);

// Notes the files just sent in `record` as the device now lists them. A file the listing
// does not show whole, or without any time, is left out, so it is sent again next time.
void NoteSentFiles(const std::vector<FtpFileJob>& sent, hv::FtpFileLister& server, FtpSentRecord& record);

// Plans, lists the device's folders and uploads what differs. Each file goes under a
// temporary name and is renamed when complete (where the server renames; else a broken
// file is removed), then gets the local file's time. Stops at the first failure: the
// files before it are on the device, the rest are not sent. With a record, what was
// sent is noted in it as the device lists it afterwards.
FtpTransferResult RunFtpTransfer(const FtpDownloadRequest& request, ZipProgress& progress,
                                 const FtpTransferLimits& limits = {});

// The session a request logs in with; false (and the message) for an unusable address.
bool FtpSessionFor(const FtpDownloadRequest& request, hv::FtpSession& session, FtpTransferResult& error);
