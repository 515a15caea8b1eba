#pragma once
// Files on the clipboard as desktop file managers exchange them: a list of file URIs
// ("text/uri-list"), and the cut marker that turns a paste into a move (GNOME's
// "x-special/gnome-copied-files" begins with "cut" or "copy"; KDE sets
// "application/x-kde-cutselection" to "1").
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <wx/string.h>

class IClipboardStore;

struct ClipboardFileList {
  bool present = false;          // the clipboard offered a file list
  bool move = false;             // the files were cut: move them
  std::vector<wxString> paths;   // local absolute paths, in the list's order
};

// The file list on the clipboard. Entries that are no local file (other hosts, other
// schemes, garbled escapes, relative paths) are left out.
ClipboardFileList ReadClipboardFiles(IClipboardStore& store);
// Offers local files to the file managers, as copied or cut.
bool PutClipboardFiles(IClipboardStore& store, const std::vector<wxString>& paths, bool cut);

// "file:///a%20b" -> "/a b"; nullopt for anything but a local absolute file path.
std::optional<wxString> FileUriToPath(std::string_view uri);
std::string PathToFileUri(const wxString& path);
// The URIs of a uri-list or GNOME list (CR LF or LF lines, '#' comments skipped); with
// `gnome` the first line is the operation and `move` tells whether it was "cut".
std::vector<std::string> SplitUriList(std::string_view text, bool gnome, bool* move = nullptr);
