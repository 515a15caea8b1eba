#pragma once
// The configuration file of a hardware type folder: "hardware.set" (INI style) or
// "hardware.xml" (<hardware><section name="..."><entry key="..." value="..."/>...),
// both read into the same ordered list of sections. Sections named "Name@1.50" are
// firmware overlays: from that firmware version on their keys replace those of "Name".
#include <string_view>
#include <utility>
#include <vector>
#include <wx/string.h>

namespace hv {

struct ConfigSection {
  wxString name;
  std::vector<std::pair<wxString, wxString>> entries;   // in file order, keys unique (case ignored)

  // The value of a key (case ignored), or null.
  const wxString* Find(const wxString& key) const;
  // Sets a key, replacing an existing one in place or appending it.
  void Set(const wxString& key, const wxString& value);
};

using ConfigSections = std::vector<ConfigSection>;

// The section of that name (case ignored), or null.
const ConfigSection* FindSection(const ConfigSections& sections, const wxString& name);

// Names of the configuration files, looked up regardless of case; "hardware.set" wins.
inline const wxString kHardwareSetFile = wxS("hardware.set");
inline const wxString kHardwareXmlFile = wxS("hardware.xml");

// The path of the folder's configuration file, or empty when it has none.
wxString FindHardwareConfigFile(const wxString& folder);

// Reads the configuration file of a folder. False when there is none, it cannot be
// read, or it holds no section (a garbled file is no configuration).
bool ReadHardwareConfigFile(const wxString& folder, ConfigSections& out);

// Parsers of the two forms. The INI form follows the suite's rules: names ignore case,
// the first section of a name and the first key in it win, ';' starts a comment line
// (never an inline comment: values hold ';'), one pair of enclosing quotes is stripped.
// Bytes are Windows-1252 unless they start with a UTF-8 or UTF-16LE byte-order mark.
// The XML form is UTF-8 unless its declaration names a Latin encoding; a document that
// is not well formed is refused (false).
bool ParseHardwareIni(std::string_view bytes, ConfigSections& out);
bool ParseHardwareXml(std::string_view bytes, ConfigSections& out);

// Merges the overlays "Name@v" with v <= firmware (hundredths) into their base sections,
// lowest version first, and removes every overlay section. Firmware 0 or less applies
// none. Overlays whose version text is not a version are dropped.
void ApplyFirmwareOverlays(ConfigSections& sections, int firmwareHundredths);

// A version text ("1.5", "2.00", " 1.52 ") in hundredths, independent of the locale.
// False for anything else, for negative values and for more than 327.67.
bool ParseVersionHundredths(const wxString& text, int& hundredths);

// Leading integer of a value as the suite reads numbers ("12abc" is 12, junk is 0),
// clamped to the int range.
long long ParseConfigInteger(const wxString& text);

}  // namespace hv
