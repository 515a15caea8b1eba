// Every language the chooser offers has a complete catalogue: each text the program
// shows by number (messages, columns, class names, menus, prompts, dialog labels) has a
// translation there, with the same placeholders as the German text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "app/MenuResources.h"
#include "framework/DialogTexts.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Localization.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The string literal(s) starting at `pos` (a quote), adjacent ones joined, escapes kept
// as written (the catalogues write them the same way).
std::string LiteralsAt(const std::string& s, size_t pos) {
  std::string out;
  while (pos < s.size() && s[pos] == '"') {
    for (++pos; pos < s.size() && s[pos] != '"'; ++pos) {
      if (s[pos] == '\\' && pos + 1 < s.size()) out += s[pos++];
      out += s[pos];
    }
    ++pos;
    pos = s.find_first_not_of(" \t\r\n)", pos);
    if (pos != std::string::npos && s.compare(pos, 5, "wxS(\"") == 0) pos += 4;
  }
  return out;
}

// Numbered texts written in the sources: "LocalString(n, ...)", "Message(n, ...)", table
// rows "{n, ...}". Smaller numbers after a comma are window ids, not texts.
std::map<unsigned, std::set<std::string>> NumberedTextsInSources() {
  static const std::regex number(R"((LocalString\(|[({,])\s*(\d{3,5})[uU]?\s*,\s*(wxS\(\s*)?")");
  std::map<unsigned, std::set<std::string>> out;
  const fs::path root = fs::path(HV_TEST_SOURCE_DIR).parent_path();
  for (const char* folder : {"platform", "framework", "app", "model", "resources", "processdata", "build", "grid"}) {
    if (!fs::exists(root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      const std::string source = ReadText(entry.path());
      for (auto it = std::sregex_iterator(source.begin(), source.end(), number); it != std::sregex_iterator(); ++it) {
        const unsigned n = static_cast<unsigned>(std::stoul((*it)[2].str()));
        if (n < 10000 && (*it)[1].str() != "LocalString(") continue;
        out[n].insert(LiteralsAt(source, static_cast<size_t>(it->position(0) + it->length(0) - 1)));
      }
    }
  }
  return out;
}

// The placeholders of a format text, in order ("%%" is none).
std::vector<std::string> Placeholders(const std::string& text) {
  static const std::regex conversion(R"(%%|%[-+ #0]*\d*(\.\d+)?(l|ll|h)?[sdiuxXfgc])");
  std::vector<std::string> out;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), conversion); it != std::sregex_iterator(); ++it)
    if (it->str() != "%%") out.push_back(it->str());
  return out;
}

std::string Escaped(const wxString& text) {
  std::string out;
  for (char c : hv::ToUtf8(text)) {
    if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out;
}

}  // namespace

TEST(Catalogues, EveryOfferedLanguageTranslatesEveryTextWithItsPlaceholders) {
  std::map<unsigned, std::set<std::string>> texts = NumberedTextsInSources();
  ASSERT_GT(texts.size(), 300u) << "the sources' texts were not found";
  for (const auto& [n, german] : MenuAndPromptTexts()) texts[n].insert(Escaped(german));
  for (const auto& [n, german] : DialogTexts()) texts[n].insert(Escaped(german));

  for (const wxString& code : hv::KnownLanguageCodes()) {
    if (code == "DEU") continue;   // the texts in the code are German
    const fs::path file = fs::path(hv::ToUtf8(hv::DefaultDataFolder())) / "lang" / (hv::ToUtf8(code) + ".txt");
    ASSERT_TRUE(fs::exists(file)) << file;
    const std::map<UINT, wxString> catalogue = hv::ParseCatalogue(ReadText(file));
    std::vector<unsigned> missing;
    for (const auto& [n, germanTexts] : texts) {
      auto it = catalogue.find(n);
      if (it == catalogue.end() || (it->second.empty() && !germanTexts.begin()->empty())) {
        missing.push_back(n);
        continue;
      }
      // A number with two texts is a fault of its own (one number, one text).
      if (germanTexts.size() != 1) continue;
      for (const std::string& german : germanTexts)
        EXPECT_EQ(Placeholders(hv::ToUtf8(it->second)), Placeholders(german))
            << code << " " << n << ": " << german << " / " << it->second;
    }
    std::string list;
    for (unsigned n : missing) list += " " + std::to_string(n);
    EXPECT_TRUE(missing.empty()) << code << " lacks" << list;
  }
}
