#include "platform/FtpClient.h"

#include <curl/curl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include <wx/arrstr.h>

#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/online/DeviceAddress.h"

namespace hv {

namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

// What the read and progress callbacks share with Upload.
struct FtpUploadState {
  std::FILE* file = nullptr;
  bool readFailed = false;
  bool cancelled = false;
  std::uint64_t sent = 0;
  const FtpClient::Progress* progress = nullptr;

  // False once the caller wants to stop.
  bool Continue(std::uint64_t now) {
    sent = now;
    if (progress && *progress && !(*progress)(now)) cancelled = true;
    return !cancelled;
  }
};

// How long the transfer loop waits for the network before it asks about cancel again.
constexpr int kCancelPollMs = 100;

namespace {

size_t ReadChunk(char* buffer, size_t size, size_t count, void* user) {
  auto* state = static_cast<FtpUploadState*>(user);
  const size_t n = std::fread(buffer, 1, size * count, state->file);
  if (n == 0 && std::ferror(state->file)) {
    state->readFailed = true;
    return CURL_READFUNC_ABORT;
  }
  return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t sent) {
  return static_cast<FtpUploadState*>(user)->Continue(static_cast<std::uint64_t>(sent)) ? 0 : 1;
}

// 451 ("local error in processing") is what small devices answer when a write fails for
// lack of room; it is read as that, like 452 and 552.
bool IsDiskFullReply(long code) { return code == 451 || code == 452 || code == 552; }

FtpFailure Classify(CURLcode code, long reply, const FtpUploadState& state) {
  switch (code) {
    case CURLE_OK: return FtpFailure::None;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT: return FtpFailure::Connect;
    case CURLE_LOGIN_DENIED: return FtpFailure::Login;
    case CURLE_REMOTE_ACCESS_DENIED: return FtpFailure::RemoteFolder;
    case CURLE_REMOTE_DISK_FULL: return FtpFailure::DiskFull;
    case CURLE_UPLOAD_FAILED:
      return IsDiskFullReply(reply) ? FtpFailure::DiskFull : FtpFailure::WriteRefused;
    case CURLE_PARTIAL_FILE:
      // The server answered the finished upload with an error, or not at all.
      if (IsDiskFullReply(reply)) return FtpFailure::DiskFull;
      return reply >= 400 ? FtpFailure::WriteRefused : FtpFailure::ConnectionLost;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_FTP_ACCEPT_TIMEOUT: return FtpFailure::Timeout;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_FTP_WEIRD_SERVER_REPLY: return FtpFailure::ConnectionLost;
    case CURLE_READ_ERROR: return FtpFailure::LocalFile;
    case CURLE_ABORTED_BY_CALLBACK:
      if (state.readFailed) return FtpFailure::LocalFile;
      return state.cancelled ? FtpFailure::Cancelled : FtpFailure::Other;
    default: return FtpFailure::Other;
  }
}

// A host goes into the URL as it is: refuse what would change the URL's meaning.
bool IsPlainHost(const wxString& host) {
  if (host.empty()) return false;
  for (wxUniChar c : host) {
    if (c <= ' ' || c == '/' || c == '\\' || c == '@' || c == '?' || c == '#' || c == '[' || c == ']') return false;
  }
  return true;
}

std::string BuildUrl(CURL* curl, const FtpSession& session, const wxString& remotePath) {
  std::string url = "ftp://";
  const std::string host = ToUtf8(session.host);
  url += host.find(':') != std::string::npos ? "[" + host + "]" : host;
  url += ":" + std::to_string(session.port);
  // Each folder is its own URL segment, so curl enters them one by one and can make
  // the missing ones; the segments are escaped ('#', '%', blanks).
  wxString rest = RemotePath(remotePath);
  while (!rest.empty()) {
    const wxString segment = rest.BeforeFirst('/');
    rest = rest.Contains("/") ? rest.AfterFirst('/') : wxString();
    const std::string raw = ToUtf8(segment);
    char* escaped = curl_easy_escape(curl, raw.data(), static_cast<int>(raw.size()));
    if (!escaped) return std::string();
    url += "/";
    url += escaped;
    curl_free(escaped);
  }
  return url;
}

}  // namespace

FtpClient::FtpClient(FtpSession session) : m_session(std::move(session)) {
  GlobalInit();
  m_user = ToUtf8(m_session.user);
  m_password = ToUtf8(m_session.password);
  m_curl = curl_easy_init();
  m_multi = curl_multi_init();
}

FtpClient::~FtpClient() {
  if (m_curl) curl_easy_cleanup(static_cast<CURL*>(m_curl));
  if (m_multi) curl_multi_cleanup(static_cast<CURLM*>(m_multi));
}

int FtpClient::Perform(FtpUploadState& state) {
  // curl's own loop asks about progress only about once a second while the network is
  // quiet; this one asks every tenth of a second, so Cancel acts at once.
  auto* curl = static_cast<CURL*>(m_curl);
  auto* multi = static_cast<CURLM*>(m_multi);
  if (curl_multi_add_handle(multi, curl) != CURLM_OK) return CURLE_FAILED_INIT;
  CURLcode code = CURLE_OK;
  bool ended = false;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      code = CURLE_SEND_ERROR;
      break;
    }
    if (running == 0) {
      ended = true;
      break;
    }
    if (!state.Continue(state.sent)) {
      code = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    curl_multi_poll(multi, nullptr, 0, kCancelPollMs, nullptr);
  }
  if (ended) {
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &queued))
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == curl) code = msg->data.result;
  }
  curl_multi_remove_handle(multi, curl);
  return code;
}

namespace {

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

size_t AppendText(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

struct SlistDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

std::unique_ptr<curl_slist, SlistDeleter> MakeList(const std::vector<std::string>& lines) {
  curl_slist* list = nullptr;
  for (const std::string& line : lines) {
    curl_slist* next = curl_slist_append(list, line.c_str());
    if (!next) {
      curl_slist_free_all(list);
      return nullptr;
    }
    list = next;
  }
  return std::unique_ptr<curl_slist, SlistDeleter>(list);
}

// Names in FTP commands cannot hold line breaks.
bool IsCommandSafe(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

std::string MfmtTime(std::time_t t) {
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &tm);
  return text;
}

}  // namespace

void FtpClient::Prepare(const std::string& url, char* error) {
  auto* curl = static_cast<CURL*>(m_curl);
  curl_easy_reset(curl);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  if (!m_user.empty()) {
    curl_easy_setopt(curl, CURLOPT_USERNAME, m_user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, m_password.c_str());
  }
  // One CWD per folder: the only method under which curl creates missing folders.
  curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
  curl_easy_setopt(curl, CURLOPT_FTPPORT, m_session.passive ? nullptr : "-");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, m_session.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, std::max(1L, (m_session.responseTimeoutMs + 999) / 1000));
  curl_easy_setopt(curl, CURLOPT_ACCEPTTIMEOUT_MS, m_session.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, m_session.stallTimeoutSec);
  curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
}

FtpResult FtpClient::CheckReady(const wxString& remote) const {
  if (!m_curl || !m_multi) return {FtpFailure::Other, wxS("curl_easy_init failed")};
  if (!IsPlainHost(m_session.host) || m_session.port < 1 || m_session.port > 65535)
    return {FtpFailure::Connect, wxS("invalid address")};
  if (!IsCommandSafe(ToUtf8(remote))) return {FtpFailure::Other, wxS("invalid remote name")};
  return {};
}

FtpResult FtpClient::Upload(const wxString& localPath, const wxString& remotePath, const Progress& progress,
                            const FtpUploadOptions& options) {
  const wxString remote = RemotePath(remotePath);
  if (remote.empty() || remote.EndsWith("/")) return {FtpFailure::Other, wxS("no remote file name")};
  if (FtpResult ready = CheckReady(remote + "/" + options.tempName); !ready.Ok()) return ready;
  const wxString folder = remote.Contains("/") ? remote.BeforeLast('/') : wxString();
  std::uint64_t sent = 0;
  if (!options.tempName.empty() && m_renameWorks) {
    bool renameRefused = false;
    FtpResult r = SendFile(localPath, remote, progress, options, sent, renameRefused);
    const wxString temp = folder.empty() ? options.tempName : folder + "/" + options.tempName;
    if (!renameRefused) {
      if (!r.Ok() && r.failure != FtpFailure::LocalFile) {
        const bool removed = Delete(temp).Ok();
        // Bytes arrived (a disk that filled up midway): the user hears what became of
        // them. After a cancel the device is as it was, unless they stayed.
        if ((sent > 0 && r.failure != FtpFailure::Cancelled) || (r.failure == FtpFailure::Cancelled && !removed)) {
          r.partial = removed ? FtpPartial::Removed : FtpPartial::Left;
          r.partialName = options.tempName;
        }
      }
      return r;
    }
    // The server keeps names: send straight to the final name from now on.
    m_renameWorks = false;
    Delete(temp);
  }
  FtpUploadOptions direct = options;
  direct.tempName.clear();
  bool unused = false;
  FtpResult r = SendFile(localPath, remote, progress, direct, sent, unused);
  // Without a rename a broken upload leaves a half file under the final name: remove it
  // and say so, rather than leave the device a file that looks whole.
  if (!r.Ok() && !options.tempName.empty() && (sent > 0 || r.failure == FtpFailure::Cancelled)) {
    r.partial = Delete(remote).Ok() ? FtpPartial::Removed : FtpPartial::Left;
    r.partialName = remote.AfterLast('/');
  }
  return r;
}

FtpResult FtpClient::SendFile(const wxString& localPath, const wxString& remote, const Progress& progress,
                              const FtpUploadOptions& options, std::uint64_t& sentBytes, bool& renameRefused) {
  auto* curl = static_cast<CURL*>(m_curl);
  renameRefused = false;
  sentBytes = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(ToFs(ResolvePath(localPath)).c_str(), "rb"));
  struct stat info {};
  if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode))
    return {FtpFailure::LocalFile, FromUtf8(std::strerror(file ? EISDIR : errno))};

  const wxString folder = remote.Contains("/") ? remote.BeforeLast('/') : wxString();
  const wxString finalName = remote.AfterLast('/');
  const bool viaTemp = !options.tempName.empty();
  const std::string url =
      BuildUrl(curl, m_session, viaTemp ? (folder.empty() ? options.tempName : folder + "/" + options.tempName) : remote);
  if (url.empty()) return {FtpFailure::Other, wxS("out of memory")};
  std::vector<std::string> after;
  if (viaTemp) {
    after.push_back("RNFR " + ToUtf8(options.tempName));
    after.push_back("RNTO " + ToUtf8(finalName));
  }
  // A device that cannot set file times still takes the file.
  if (options.modified) after.push_back("*MFMT " + MfmtTime(options.modified) + " " + ToUtf8(finalName));
  auto postQuote = MakeList(after);
  if (!after.empty() && !postQuote) return {FtpFailure::Other, wxS("out of memory")};

  FtpUploadState state;
  state.file = file.get();
  state.progress = &progress;
  char error[CURL_ERROR_SIZE] = {};
  Prepare(url, error);
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, &ReadChunk);
  curl_easy_setopt(curl, CURLOPT_READDATA, &state);
  curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(info.st_size));
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state);
  curl_easy_setopt(curl, CURLOPT_FTP_CREATE_MISSING_DIRS, static_cast<long>(CURLFTP_CREATE_DIR_RETRY));
  if (postQuote) curl_easy_setopt(curl, CURLOPT_POSTQUOTE, postQuote.get());

  const auto code = static_cast<CURLcode>(Perform(state));
  long reply = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
  curl_off_t sent = 0;
  curl_easy_getinfo(curl, CURLINFO_SIZE_UPLOAD_T, &sent);
  sentBytes = static_cast<std::uint64_t>(std::max<curl_off_t>(sent, 0));
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_setopt(curl, CURLOPT_POSTQUOTE, nullptr);
  if (code == CURLE_QUOTE_ERROR && viaTemp && sent == static_cast<curl_off_t>(info.st_size)) {
    renameRefused = true;
    return {FtpFailure::WriteRefused, FromUtf8(error[0] ? error : curl_easy_strerror(code))};
  }
  FtpResult result;
  result.failure = Classify(code, reply, state);
  if (!result.Ok()) {
    result.detail = FromUtf8(error[0] ? error : curl_easy_strerror(code));
    return result;
  }
  // A server that closed the data connection early would leave a short file behind.
  if (sent != static_cast<curl_off_t>(info.st_size)) {
    result.failure = FtpFailure::ConnectionLost;
    result.detail = wxString::Format("%lld of %lld bytes sent", static_cast<long long>(sent),
                                     static_cast<long long>(info.st_size));
  }
  return result;
}

FtpResult FtpClient::Fetch(const wxString& remoteFolder, const char* request, std::string& text, long& reply) {
  auto* curl = static_cast<CURL*>(m_curl);
  const wxString folder = RemotePath(remoteFolder);
  std::string url = BuildUrl(curl, m_session, folder);
  if (url.empty()) return {FtpFailure::Other, wxS("out of memory")};
  url += "/";
  char error[CURL_ERROR_SIZE] = {};
  Prepare(url, error);
  if (request) curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendText);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &text);
  FtpUploadState state;
  const auto code = static_cast<CURLcode>(Perform(state));
  reply = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  if (code == CURLE_OK) return {};
  FtpResult result;
  result.failure = code == CURLE_REMOTE_ACCESS_DENIED ? FtpFailure::RemoteFolder : Classify(code, reply, state);
  if (result.Ok()) result.failure = FtpFailure::Other;
  result.detail = FromUtf8(error[0] ? error : curl_easy_strerror(code));
  return result;
}

FtpResult FtpClient::List(const wxString& remoteFolder, std::vector<FtpRemoteEntry>& entries) {
  entries.clear();
  if (FtpResult ready = CheckReady(remoteFolder); !ready.Ok()) return ready;
  std::string text;
  long reply = 0;
  FtpResult r{FtpFailure::Other, {}};
  if (m_mlsdWorks) {
    r = Fetch(remoteFolder, "MLSD", text, reply);
    // A folder that is not there yet holds nothing; the upload makes it.
    if (r.failure == FtpFailure::RemoteFolder) return {};
  }
  const bool mlsd = r.Ok();
  if (!mlsd) {
    if (r.failure == FtpFailure::Connect || r.failure == FtpFailure::Login || r.failure == FtpFailure::Timeout)
      return r;
    // "Not understood" or "not implemented": not asked again on this connection.
    if (reply == 500 || reply == 502) m_mlsdWorks = false;
    text.clear();
    r = Fetch(remoteFolder, nullptr, text, reply);
    if (r.failure == FtpFailure::RemoteFolder) return {};
    if (!r.Ok()) return r;
  }
  wxString all = FromUtf8(text);
  for (wxString line : wxSplit(all, '\n', 0)) {
    line.Trim(true);
    FtpRemoteEntry entry;
    if (mlsd ? ParseMlsdLine(line, entry) : ParseListLine(line, entry)) entries.push_back(entry);
  }
  return {};
}

FtpResult FtpClient::Stat(const wxString& remotePath, FtpRemoteEntry& entry, bool& found) {
  entry = FtpRemoteEntry{};
  found = false;
  const wxString remote = RemotePath(remotePath);
  if (remote.empty()) return {FtpFailure::Other, wxS("no remote file name")};
  if (FtpResult ready = CheckReady(remote); !ready.Ok()) return ready;
  auto* curl = static_cast<CURL*>(m_curl);
  const std::string url = BuildUrl(curl, m_session, remote);
  if (url.empty()) return {FtpFailure::Other, wxS("out of memory")};
  char error[CURL_ERROR_SIZE] = {};
  Prepare(url, error);
  // No body: curl asks SIZE (and MDTM for the file time) and fetches nothing; the
  // header lines it makes of the answers are dropped.
  curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Discard);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Discard);
  curl_easy_setopt(curl, CURLOPT_FILETIME, m_mdtmWorks ? 1L : 0L);
  FtpUploadState state;
  const auto code = static_cast<CURLcode>(Perform(state));
  long reply = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  if (code == CURLE_REMOTE_FILE_NOT_FOUND) return {};
  if (code != CURLE_OK) {
    FtpResult result;
    result.failure = Classify(code, reply, state);
    if (result.Ok()) result.failure = FtpFailure::Other;
    result.detail = FromUtf8(error[0] ? error : curl_easy_strerror(code));
    return result;
  }
  curl_off_t size = -1;
  curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
  curl_off_t time = -1;
  if (m_mdtmWorks) {
    curl_easy_getinfo(curl, CURLINFO_FILETIME_T, &time);
    if (time < 0) m_mdtmWorks = false;
  }
  // Without SIZE the file's presence is not known.
  if (size < 0) return {FtpFailure::Other, wxS("no SIZE")};
  found = true;
  entry.name = remote.AfterLast('/');
  entry.size = static_cast<std::uint64_t>(size);
  entry.modified = time > 0 ? static_cast<std::time_t>(time) : 0;
  return {};
}

FtpResult FtpClient::Delete(const wxString& remotePath) {
  const wxString remote = RemotePath(remotePath);
  if (remote.empty()) return {FtpFailure::Other, wxS("no remote file name")};
  if (FtpResult ready = CheckReady(remote); !ready.Ok()) return ready;
  auto* curl = static_cast<CURL*>(m_curl);
  const wxString folder = remote.Contains("/") ? remote.BeforeLast('/') : wxString();
  std::string url = BuildUrl(curl, m_session, folder);
  if (url.empty()) return {FtpFailure::Other, wxS("out of memory")};
  url += "/";
  auto commands = MakeList({"DELE " + ToUtf8(remote.AfterLast('/'))});
  if (!commands) return {FtpFailure::Other, wxS("out of memory")};
  char error[CURL_ERROR_SIZE] = {};
  Prepare(url, error);
  curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(curl, CURLOPT_POSTQUOTE, commands.get());
  FtpUploadState state;
  const auto code = static_cast<CURLcode>(Perform(state));
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_setopt(curl, CURLOPT_POSTQUOTE, nullptr);
  if (code == CURLE_OK) return {};
  return {code == CURLE_QUOTE_ERROR ? FtpFailure::WriteRefused : FtpFailure::Other,
          FromUtf8(error[0] ? error : curl_easy_strerror(code))};
}

wxString RemotePath(const wxString& devicePath) {
  wxString path = devicePath;
  path.Replace("\\", "/");
  while (path.Replace("//", "/")) {
  }
  while (path.StartsWith("/")) path.Remove(0, 1);
  while (path.EndsWith("/")) path.RemoveLast();
  return path;
}

wxString JoinRemotePath(const wxString& folder, const wxString& relative) {
  const wxString a = RemotePath(folder);
  const wxString b = RemotePath(relative);
  if (a.empty()) return b;
  if (b.empty()) return a;
  return a + "/" + b;
}

bool SplitFtpAddress(const wxString& address, wxString& host, int& port) {
  wxString text = address;
  text.Trim(true).Trim(false);
  // Only what the device's address field takes: an address from a damaged or foreign
  // project file would otherwise be shown and joined with a port into something else.
  if (!IsDeviceAddress(text)) return false;
  wxString portText;
  if (text.StartsWith("[")) {
    const size_t close = static_cast<size_t>(text.Find(']'));
    host = text.Mid(1, close - 1);
    portText = text.Mid(close + 1).Mid(1);
  } else {
    host = text.BeforeFirst(':');
    portText = text.Contains(":") ? text.AfterFirst(':') : wxString();
  }
  unsigned long value = 0;
  if (!portText.empty() && portText.ToCULong(&value)) port = static_cast<int>(value);
  return true;
}

wxString JoinFtpAddress(const wxString& host, int port) {
  return wxString::Format(host.Contains(":") ? "[%s]:%d" : "%s:%d", host, port);
}

}  // namespace hv
