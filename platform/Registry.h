#pragma once
// The registry store: a read-only system layer written at installation and a writable
// user layer. Key paths ("SOFTWARE\Quintor\Halvora") and value names ignore case.
// Values are strings, 32-bit numbers or one-byte binaries; reading a value as another
// type than it was stored answers "missing".
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>
#include <wx/string.h>

namespace hv {

class RegistryStore {
 public:
  // Raw: a line that could not be read, kept so that a write never drops it.
  enum class Kind { String, Dword, Byte, Raw };
  struct Value {
    Kind kind = Kind::String;
    wxString text;
    std::uint32_t number = 0;
    std::string raw;
  };

  // The store of the running program; its files are set by InitFiles.
  static RegistryStore& Get();

  // Points the layers at two files and loads them. An unreadable or malformed file
  // loads what it can. The user file is created on the first write.
  void InitFiles(const wxString& systemFile, const wxString& userFile);
  void Reload();
  const wxString& UserFile() const { return m_userFile; }
  const wxString& SystemFile() const { return m_systemFile; }

  std::optional<wxString> GetString(const wxString& key, const wxString& name) const;
  std::optional<std::uint32_t> GetDword(const wxString& key, const wxString& name) const;
  std::optional<std::uint8_t> GetByte(const wxString& key, const wxString& name) const;
  std::optional<Value> GetValue(const wxString& key, const wxString& name) const;

  // Writes go to the user layer and to its file at once; false when the file could
  // not be written (the value is then not changed in memory either).
  bool SetString(const wxString& key, const wxString& name, const wxString& value);
  bool SetDword(const wxString& key, const wxString& name, std::uint32_t value);
  bool SetByte(const wxString& key, const wxString& name, std::uint8_t value);
  bool DeleteValue(const wxString& key, const wxString& name);

  // Direct sub-keys of a key, in stored order (system layer first), and value names.
  std::vector<wxString> SubKeys(const wxString& key) const;
  std::vector<wxString> ValueNames(const wxString& key) const;
  bool KeyExists(const wxString& key) const;

  // Parsing and writing of the layer files, exposed for tests.
  struct Layer {
    // key path as first written -> values in written order; lines before the first
    // key are kept under an empty key path.
    std::vector<std::pair<wxString, std::vector<std::pair<wxString, Value>>>> keys;
  };
  static Layer Parse(const std::string& utf8);
  static std::string Format(const Layer& layer);

 private:
  bool Store(const wxString& key, const wxString& name, const std::optional<Value>& value);
  static const Value* Find(const Layer& layer, const wxString& key, const wxString& name);

  mutable std::recursive_mutex m_mutex;
  wxString m_systemFile;
  wxString m_userFile;
  Layer m_system;
  Layer m_user;
};

// Fixed key paths of the suite.
inline const wxString kKeyBrand = wxS("SOFTWARE\\Quintor");
inline const wxString kKeyProduct = wxS("SOFTWARE\\Quintor\\Halvora");
inline const wxString kKeyGraphTool = wxS("SOFTWARE\\Quintor\\TavGraph");
inline const wxString kKeyFrameworkProfile = wxS("Software\\Quintor\\Halvora\\User Settings");

}  // namespace hv
