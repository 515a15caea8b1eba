#pragma once
// Helpers for the archive tests: a sample project tree, tree snapshots, raw archives
// written and read with minizip directly, and external commands.
#include <map>
#include <string>
#include <vector>
#include <wx/string.h>

namespace ziptest {

// root/P with PROJECT.SET, binary files, umlaut and non-Windows-1252 names, empty and
// nested folders, and names beginning with '.' that a backup leaves out (9 files).
void WriteSampleProject(const wxString& root);

// Relative path -> contents, "<dir>" or "<link>" (links are never followed).
std::map<std::string, std::string> Snapshot(const wxString& folder, bool withDotNames = true);
std::vector<std::string> ListAll(const wxString& folder);

struct RawEntry {
  std::string name;   // stored bytes
  std::string data;
  unsigned long externalAttr = 0x20;
  unsigned long versionMadeBy = 0;
  unsigned long flag = 0;   // written: extra flag bits; read: the whole flag
  int method = 8;
  unsigned long long size = 0;
  int year = 2020, month = 0, day = 1, hour = 0, minute = 0, second = 0;
  unsigned long long compressedSize = 0;   // read only
};
// A file entry, or a folder entry (bit 0x10, stored) when the name ends with a separator.
RawEntry Entry(const std::string& name, const std::string& data = std::string());

// Archives root/P with our writer as the backup does; false when it failed.
bool ZipProject(const wxString& root, const wxString& archive);

void WriteRawZip(const wxString& path, const std::vector<RawEntry>& entries);
std::vector<RawEntry> ReadRawZip(const wxString& path);

// Runs a shell command and returns its exit status (-1 when it cannot run).
int RunCommand(const std::string& command, std::string* output = nullptr);
bool HaveProgram(const char* name);
std::string Quote(const wxString& path);

}  // namespace ziptest
