// Every text number the program shows stands for one text: a number with two German
// defaults would show the wrong one in every catalogue that translates it.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Use {
  std::string text;
  std::string where;
};

bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }

void SkipSpace(const std::string& s, size_t& i) {
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
}

// One or more adjacent string literals at `i` ("..." "...", L"...", wxS("...")); their
// contents joined. False when there is no literal.
bool ReadLiteral(const std::string& s, size_t& i, std::string& out) {
  size_t p = i;
  bool wrapped = false;
  if (s.compare(p, 4, "wxS(") == 0) {
    wrapped = true;
    p += 4;
    SkipSpace(s, p);
  }
  bool any = false;
  for (;;) {
    size_t q = p;
    if (q < s.size() && s[q] == 'L') ++q;
    if (q >= s.size() || s[q] != '"') break;
    for (++q; q < s.size() && s[q] != '"'; ++q) {
      if (s[q] == '\\' && q + 1 < s.size()) out += s[q++];
      out += s[q];
    }
    if (q >= s.size()) return false;
    any = true;
    p = q + 1;
    SkipSpace(s, p);
  }
  if (!any) return false;
  if (wrapped && (p >= s.size() || s[p] != ')')) return false;
  i = p;
  return true;
}

// Every "<text number>, <literal>" in a source: message calls, LocalString and the
// tables of columns, menus and classes all give a number and its German default so.
void Scan(const std::string& source, const std::string& where, std::map<long, std::vector<Use>>& uses) {
  for (size_t i = 0; i + 5 <= source.size(); ++i) {
    if (source[i] != '1' || (i > 0 && IsIdentChar(source[i - 1]))) continue;
    size_t p = i;
    while (p < source.size() && std::isdigit(static_cast<unsigned char>(source[p]))) ++p;
    if (p - i != 5) {
      i = p;
      continue;
    }
    const long number = std::stol(source.substr(i, 5));
    if (p < source.size() && source[p] == 'u') ++p;
    SkipSpace(source, p);
    if (p >= source.size() || source[p] != ',') continue;
    ++p;
    SkipSpace(source, p);
    std::string text;
    if (ReadLiteral(source, p, text)) uses[number].push_back({text, where});
  }
}

std::map<long, std::vector<Use>> ScanProgram() {
  std::map<long, std::vector<Use>> uses;
  const fs::path root = fs::path(HV_TEST_SOURCE_DIR).parent_path();
  for (const char* folder : {"platform", "framework", "app", "model", "grid", "resources", "processdata", "build"}) {
    if (!fs::is_directory(root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      Scan(text.str(), fs::relative(entry.path(), root).string(), uses);
    }
  }
  return uses;
}

}  // namespace

TEST(TextNumbers, TheScannerFindsEveryFormOfUse) {
  std::map<long, std::vector<Use>> uses;
  Scan("hv::LocalString(10110, wxS(\"Projekt %d\"));\n"
       "hv::ShowMessage(10227,\n   wxS(\"Der gew\\u00e4hlte Ordner\\n\"\n       \"Soll es?\"), MB_YESNO);\n"
       "{10413, wxS(\"Name\"), 0, 120},\n{9, 10260, L\"Taster\", &Make},\n"
       "int x = 110110, y = 12345; f(a10123, \"no\"); g(10124u, \"mit u\");\n",
       "sample", uses);
  ASSERT_EQ(uses.size(), 5u);
  EXPECT_EQ(uses[10110][0].text, "Projekt %d");
  EXPECT_EQ(uses[10227][0].text, "Der gew\\u00e4hlte Ordner\\nSoll es?");
  EXPECT_EQ(uses[10413][0].text, "Name");
  EXPECT_EQ(uses[10260][0].text, "Taster");
  EXPECT_EQ(uses[10124][0].text, "mit u");
}

TEST(TextNumbers, EachNumberTheProgramShowsHasOneGermanText) {
  const auto uses = ScanProgram();
  // The scan must see the program's texts, or it proves nothing.
  EXPECT_GT(uses.size(), 200u);
  for (const auto& [number, list] : uses) {
    std::set<std::string> texts;
    for (const Use& use : list) texts.insert(use.text);
    if (texts.size() < 2) continue;
    std::string detail;
    for (const Use& use : list) detail += "\n  " + use.where + ": \"" + use.text + "\"";
    ADD_FAILURE() << "text number " << number << " has " << texts.size() << " texts:" << detail;
  }
}
