#pragma once
// The scan result file "SCAN<n>.OUT" that a field-bus scan writes into the project
// device's folder, read the same way by the scan's add dialog and the device selection.
// Lines end with CR LF (LF alone is accepted); each is cut at its first CR and trimmed.
//   "[" node "]"            opens a device block (node up to the first ']' or the end)
//   first non-empty line    the device's type name
//   up to five lines        detail lines, empty ones keep their place
//   anything else           ignored until the next "["
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <wx/string.h>

namespace hv {

constexpr size_t kScanDetailLines = 5;

struct ScanEntry {
  wxString node;
  wxString type;
  std::vector<wxString> details;  // at most five, as read (empty lines included)

  // The non-empty detail lines joined with '\n'.
  wxString DetailText() const;
  // The detail line "IP=<address>"; empty without one.
  wxString Ip() const;
  // The detail line "FW-Version : <version>"; empty without one.
  wxString Firmware() const;
  // Detail line 1 to 3 (hardware line, line 2, line 3); empty when missing.
  wxString DetailLine(size_t index) const;
  // A device that answered the scan without saying what it is.
  bool IsUnknown() const;
};

// Device selection renames old type names ("kolm_P303" in any case -> "zorva_P303");
// the scan's add dialog reads the names as written.
enum class ScanTypeNames { AsWritten, Renamed };

std::vector<ScanEntry> ParseScanText(std::string_view bytes, ScanTypeNames names = ScanTypeNames::AsWritten);

enum class ScanFileStatus { Ok, Missing, Unreadable };
ScanFileStatus ReadScanFile(const wxString& path, std::vector<ScanEntry>& entries,
                            ScanTypeNames names = ScanTypeNames::AsWritten);

// "<device folder>/SCAN<network number>.OUT".
wxString ScanFilePath(const wxString& deviceFolder, unsigned networkNumber);

// The lines of one block as the online library writes them, CR LF ended. Each text
// becomes one line that reads back as one: control characters turn into blanks, a "["
// that would open another block into "(", a "]" in the node into ")", and an empty type
// into the unknown one.
std::string FormatScanBlock(const wxString& node, const wxString& type, const std::vector<wxString>& details);
// The block of one device a driver reported; texts that are not UTF-8 (a device's own
// bytes) are read as Windows-1252 rather than lost.
std::string FormatScanDevice(const char* node, const char* type, const char* const* details, std::uint32_t count);

}  // namespace hv
