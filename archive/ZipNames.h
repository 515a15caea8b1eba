#pragma once
// Names of entries in backup archives: relative, '\' between components, stored in
// Windows-1252 when every character fits and as UTF-8 with flag bit 11 otherwise.
// Both the writer and the reader check names with the same rules, so that whatever we
// write we can read back, and no name read can leave the folder it is extracted into.
#include <string>
#include <string_view>
#include <vector>
#include <wx/string.h>

// General-purpose flag bit 11: the name is UTF-8.
constexpr unsigned long kZipFlagUtf8 = 0x800;
// General-purpose flag bit 0: the entry is encrypted.
constexpr unsigned long kZipFlagEncrypted = 0x001;
// DOS attribute bits in the low byte of the external attributes.
constexpr unsigned long kZipAttrReadOnly = 0x01;
constexpr unsigned long kZipAttrFolder = 0x10;
constexpr unsigned long kZipAttrArchive = 0x20;

enum class ZipNameProblem {
  None,
  Empty,          // nothing but separators and "."
  Absolute,       // begins with a separator
  Drive,          // begins with a drive letter ("C:")
  ParentFolder,   // holds a ".." component
  BadCharacter,   // control character, or a separator inside one component
  TooLong,        // more than a zip header can hold
  BadEncoding,    // stored bytes flagged as UTF-8 that are not
};

// German description for error lists.
wxString DescribeZipNameProblem(ZipNameProblem problem);

// Splits a name at '\' and '/', drops empty and "." components and checks the rest.
// A trailing separator (a folder entry) leaves no empty last component.
ZipNameProblem SplitZipEntryName(const wxString& name, std::vector<wxString>& parts);

// Checks one component of a name (a file or folder name as it is on disk).
ZipNameProblem CheckZipNameComponent(const wxString& part);

// The bytes to store for a name, and whether they are UTF-8 (flag bit 11).
ZipNameProblem EncodeZipEntryName(const wxString& name, std::string& bytes, bool& utf8);

// Stored bytes to text: UTF-8 when flagged or when the bytes are valid multi-byte UTF-8
// (other tools write such names unflagged), else Windows-1252.
ZipNameProblem DecodeZipEntryName(std::string_view bytes, bool utf8Flag, wxString& name);

// Strict UTF-8 check (no overlong forms, no surrogates), the same as every other decoder.
bool IsValidUtf8(std::string_view bytes);

// Key under which names are compared without regard to case.
wxString ZipNameKey(const wxString& name);

// A local path made absolute against the current folder, '/'-separated.
wxString AbsoluteLocalPath(const wxString& path);
