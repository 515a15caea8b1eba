#pragma once
// Helpers for the archive tests: sample project trees, tree snapshots, raw archives
// written and read with minizip directly, and external commands.
#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include <wx/string.h>

namespace ziptest {

// Writes root/P: PROJECT.SET, binary files, umlaut and non-Windows-1252 names, empty and
// nested folders, and names beginning with '.' that a backup leaves out.
void WriteSampleProject(const wxString& root);

// Relative path ('/' separated) -> contents, or "<dir>" for folders. Links are listed as
// "<link>" and never followed.
std::map<std::string, std::string> Snapshot(const wxString& folder, bool withDotNames = true);

// Every path below folder, for "nothing was written here" checks.
std::vector<std::string> ListAll(const wxString& folder);

struct RawEntry {
  std::string name;                // stored bytes
  std::string data;
  unsigned long externalAttr = 0;
  unsigned long versionMadeBy = 0;
  unsigned long flag = 0;          // as read back
  unsigned long flagBase = 0;      // extra flag bits to write
  int method = 8;                  // 0 stored, 8 deflated
  unsigned long crc = 0;
  std::uint64_t size = 0;
  int year = 2020, month = 0, day = 1, hour = 0, minute = 0, second = 0;
};

// Writes an archive with minizip, names and attributes exactly as given.
void WriteRawZip(const wxString& path, const std::vector<RawEntry>& entries);
// Reads every entry's header as stored (data not read).
std::vector<RawEntry> ReadRawZip(const wxString& path);

// Runs a shell command; output collected; returns the exit status (-1 when it cannot run).
int RunCommand(const std::string& command, std::string* output = nullptr);
bool HaveProgram(const char* name);
std::string Quote(const wxString& path);

}  // namespace ziptest
