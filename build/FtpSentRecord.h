#pragma once
// What the program last sent to one device by FTP: per remote file the local size and
// time it sent, and the size and time the device's listing gave right after. A device
// whose server keeps no exact times (no MLSD, no MFMT) then still gets only what changed
// on either side. Kept as a small text file in the device's folder, ending with a sum of
// its lines; a record that cannot be read or whose sum does not match is taken as empty,
// so everything is sent again.
#include <cstdint>
#include <ctime>
#include <map>
#include <wx/string.h>

// How a server's time of a file was learnt; times of different kinds never compare.
enum class FtpStampKind : char { None = 0, Exact = 'e', Listed = 'l' };

struct FtpServerStamp {
  std::uint64_t size = 0;
  FtpStampKind kind = FtpStampKind::None;
  std::time_t time = 0;
  bool operator==(const FtpServerStamp&) const = default;
};

struct FtpSentEntry {
  std::uint64_t localSize = 0;
  std::time_t localTime = 0;
  FtpServerStamp server;
};

class FtpSentRecord {
 public:
  // The record file of a device folder.
  static wxString FileIn(const wxString& deviceFolder);
  // The record at `path` made for `identity` (server, port and user); missing, unreadable,
  // damaged or made for another identity: empty.
  static FtpSentRecord Load(const wxString& path, const wxString& identity);

  FtpSentRecord() = default;
  FtpSentRecord(wxString path, wxString identity) : m_path(std::move(path)), m_identity(std::move(identity)) {}

  const FtpSentEntry* Find(const wxString& remotePath) const;
  void Set(const wxString& remotePath, const FtpSentEntry& entry) { m_entries[remotePath] = entry; }
  void Erase(const wxString& remotePath) { m_entries.erase(remotePath); }
  size_t Size() const { return m_entries.size(); }
  // Written through a temporary file and a rename.
  bool Save(wxString* error = nullptr) const;

 private:
  wxString m_path;
  wxString m_identity;
  std::map<wxString, FtpSentEntry> m_entries;
};
