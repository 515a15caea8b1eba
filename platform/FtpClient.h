#pragma once
// Uploads files to an FTP server (the panels' file transfer) over libcurl. One client
// keeps one connection and login for all its uploads. Remote paths use '/'; missing
// remote folders are created on the way. Every failure comes back as a kind plus the
// library's or server's own words; nothing counts as sent unless the server confirmed it.
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>
#include <wx/string.h>

namespace hv {

struct FtpUploadState;

// The port of an address that names none.
constexpr int kFtpPort = 21;

struct FtpSession {
  wxString host;          // name or address; an IPv6 address without brackets
  int port = kFtpPort;
  wxString user;          // empty: anonymous
  wxString password;
  bool passive = true;    // false: active mode (the server connects back)
  long connectTimeoutMs = 15000;
  long responseTimeoutMs = 30000;   // waiting for one server answer
  long stallTimeoutSec = 30;        // no data moving for this long ends the upload
};

enum class FtpFailure {
  None,
  Connect,          // server not reached
  Login,            // user or password refused
  RemoteFolder,     // a remote folder could not be made or entered
  WriteRefused,     // the server refused to store the file
  DiskFull,         // the server has no room
  ConnectionLost,   // the connection broke during the upload
  Timeout,          // no answer within the limits
  LocalFile,        // the local file could not be read
  Cancelled,
  Other,
};

// What became of the part of a file a broken upload left on the device.
enum class FtpPartial { None, Removed, Left };

struct FtpResult {
  FtpFailure failure = FtpFailure::None;
  wxString detail;   // the library's text for the failure (English), may be empty
  FtpPartial partial = FtpPartial::None;
  wxString partialName = wxString();   // the broken file's name on the device (the final or the temporary one)
  bool Ok() const { return failure == FtpFailure::None; }
};

// One entry of a remote folder listing.
struct FtpRemoteEntry {
  wxString name;
  bool isFolder = false;
  std::uint64_t size = 0;
  std::time_t modified = 0;   // UTC; 0 when the listing gave no exact time
  // LIST's own time: to the minute, the server's clock read as UTC (the year guessed for
  // recent Unix lines); 0 when the line gives no time of day. Only ever compared with
  // what the same server listed before.
  std::time_t listed = 0;
};

// How an upload reaches its final name.
struct FtpUploadOptions {
  // Non-empty: the file is sent under this name (same folder) and renamed to its final
  // name only once complete, so the device never holds a half file under that name.
  wxString tempName;
  // Non-zero: the device's copy gets this modification time (MFMT) afterwards.
  std::time_t modified = 0;
};

// A parsed MLSD line ("type=file;size=5;modify=20260101120000; name"); false for other lines.
bool ParseMlsdLine(const wxString& line, FtpRemoteEntry& entry);
// A parsed LIST line (Unix or DOS form), taken apart by fields. Its time is never exact,
// so `modified` stays 0; `listed` holds what the line shows. `now` (0: the clock) places
// Unix lines without a year.
bool ParseListLine(const wxString& line, FtpRemoteEntry& entry, std::time_t now = 0);

// What telling the files a device already holds asks of its server: folder listings and
// single files' times.
class FtpFileLister {
 public:
  virtual ~FtpFileLister() = default;
  // The entries of a remote folder; one that does not exist is listed as empty.
  virtual FtpResult List(const wxString& remoteFolder, std::vector<FtpRemoteEntry>& entries) = 0;
  // The size and exact time of one remote file; `found` false when there is none.
  virtual FtpResult Stat(const wxString& remotePath, FtpRemoteEntry& entry, bool& found) = 0;
  // False where the server has no MDTM: Stat then tells sizes only.
  virtual bool MdtmWorks() const = 0;
};

class FtpClient : public FtpFileLister {
 public:
  // Bytes of the current file sent so far; answering false cancels the upload.
  using Progress = std::function<bool(std::uint64_t sent)>;

  explicit FtpClient(FtpSession session);
  ~FtpClient() override;
  FtpClient(const FtpClient&) = delete;
  FtpClient& operator=(const FtpClient&) = delete;

  // Stores a local file (empty files too) at `remotePath` ('/' separated, relative to
  // the login folder), creating its missing folders.
  FtpResult Upload(const wxString& localPath, const wxString& remotePath, const Progress& progress = {},
                   const FtpUploadOptions& options = {});
  // The entries of a remote folder (MLSD, else LIST). A folder that does not exist is
  // listed as empty.
  FtpResult List(const wxString& remoteFolder, std::vector<FtpRemoteEntry>& entries) override;
  // The size and exact time of one remote file (SIZE and MDTM); `found` false when the
  // server has no such file. `entry.modified` stays 0 where the server has no MDTM.
  FtpResult Stat(const wxString& remotePath, FtpRemoteEntry& entry, bool& found) override;
  // False once the server showed it has no MDTM: Stat then tells sizes only.
  bool MdtmWorks() const override { return m_mdtmWorks; }
  // Removes a remote file; used to clear what an interrupted upload left.
  FtpResult Delete(const wxString& remotePath);
  // False once the server refused a rename: uploads then go straight to the final name.
  bool RenameWorks() const { return m_renameWorks; }

 private:
  int Perform(FtpUploadState& state);
  FtpResult SendFile(const wxString& localPath, const wxString& remote, const Progress& progress,
                     const FtpUploadOptions& options, std::uint64_t& sentBytes, bool& renameRefused);
  FtpResult Fetch(const wxString& remoteFolder, const char* request, std::string& text, long& reply);
  FtpResult CheckReady(const wxString& remote) const;
  // Resets the handle and sets what every request shares.
  void Prepare(const std::string& url, char* error);
  std::string m_user;
  std::string m_password;
  bool m_renameWorks = true;
  bool m_mlsdWorks = true;
  bool m_mdtmWorks = true;

  FtpSession m_session;
  void* m_curl = nullptr;
  void* m_multi = nullptr;
};

// A path on the device as the project writes it ("\Flashdisk\TavDesign", "vfs") as a
// remote path: '\' turned into '/', leading, trailing and doubled separators dropped.
wxString RemotePath(const wxString& devicePath);
// Remote folder and a relative path joined with one '/'.
wxString JoinRemotePath(const wxString& folder, const wxString& relative);
// "host", "host:port" or "[v6-address]:port"; `port` keeps its value when none is given.
// False for whatever the device's address field refuses (IsDeviceAddress), blanks
// around the address aside.
bool SplitFtpAddress(const wxString& address, wxString& host, int& port);
// A host and port as an address SplitFtpAddress reads back: an IPv6 host in brackets.
wxString JoinFtpAddress(const wxString& host, int port);

}  // namespace hv
