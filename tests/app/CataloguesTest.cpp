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
#include <string>

#include "app/MenuResources.h"
#include "framework/DialogTexts.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The text list of the sources (tools/list-texts.py): number -> German texts, empty for a
// number whose text is made elsewhere; `errors` gets the forms the list cannot read.
std::map<unsigned, std::set<std::string>> NumberedTextsIn(const fs::path& root, std::string& errors) {
  const fs::path tool = fs::path(HV_TEST_SOURCE_DIR).parent_path() / "tools" / "list-texts.py";
  std::string output;
  const int status = ziptest::RunCommand("python3 " + ziptest::Quote(hv::FromFs(tool.string())) + " --root " +
                                             ziptest::Quote(hv::FromFs(root.string())),
                                         &output);
  std::map<unsigned, std::set<std::string>> out;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    const size_t tab = line.find('\t');
    const std::string number = line.substr(0, tab);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
      errors += line + "\n";
      continue;
    }
    std::set<std::string>& texts = out[static_cast<unsigned>(std::stoul(number))];
    if (tab != std::string::npos) texts.insert(line.substr(tab + 1));
  }
  if (status != 0 && errors.empty()) errors = "status " + std::to_string(status);
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
  std::string errors;
  std::map<unsigned, std::set<std::string>> texts = NumberedTextsIn(fs::path(HV_TEST_SOURCE_DIR).parent_path(), errors);
  EXPECT_EQ(errors, "") << "forms of text numbers the list cannot read";
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
      if (it == catalogue.end() || (it->second.empty() && (germanTexts.empty() || !germanTexts.begin()->empty()))) {
        missing.push_back(n);
        continue;
      }
      // A number with two texts is a fault of its own (one number, one text); one whose
      // text is made elsewhere has none to compare.
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

// The list sees each form a text number takes in the sources; a number it could not see
// would be shown untranslated without the check above failing.
TEST(Catalogues, TheTextListSeesEveryFormOfATextNumber) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub("model/DeviceTexts.h"),
                   "enum : UINT {\n"
                   "  TXT_DEVICE_EXISTS = 11206,   // \"Das Gerät ist bereits vorhanden!\"\n"
                   "  TXT_ONLY_RETURNED = 11212u,\n"
                   "};\n"
                   "namespace dp { constexpr UINT TXT_QUALIFIED = 11503; }\n");
  hvtest::WriteAll(dir.Sub("resources/Sample.cpp"),
                   "wxString a = hv::LocalString(10123, wxS(\"Datei\"));\n"
                   "Check b = Refuse(11504, L\"Es muß ein \"\n    L\"Name sein!\", kIdName);\n"
                   "const NumberedText kRows[] = {{10604, wxS(\"HTML-Datei\")}, {10605, \"Neue HTML-Datei\"}};\n"
                   "void Show() { hv::Ui().Message(11820, m_request.message, MB_OK); }\n"
                   "int Ask() { return hv::ShowMessage(TXT_DEVICE_EXISTS, wxS(\"Das Gerät ist bereits vorhanden!\")); }\n"
                   "UINT Complaint() { return TXT_ONLY_RETURNED; }\n"
                   "const Row kQ[] = {{dp::TXT_QUALIFIED, wxS(\"Zwei Unterstriche\")}};\n"
                   "auto* ok = new wxButton(this, 1005, wxS(\"OK\"));\n"
                   "wxString s = LocalString(424, wxS(\"Standard\"));\n"
                   "// LocalString(10999, wxS(\"alt\"))\n"
                   "/* {10998, wxS(\"auch alt\")} */\n"
                   "void Raw() { hv::Ui().Message(0, wxString(std::strerror(e)), MB_OK); }\n"
                   "void Cell() { hv::Ui().Message(0, cell.GetExtraText() + \"\\n\" + wxS(\"%s: %d\"), MB_OK); }\n");
  std::string errors;
  const auto texts = NumberedTextsIn(fs::path(hv::ToFs(dir.Path())), errors);
  EXPECT_EQ(errors, "");
  const std::map<unsigned, std::set<std::string>> expected = {
      {424, {"Standard"}},
      {10123, {"Datei"}},
      {10604, {"HTML-Datei"}},
      {10605, {"Neue HTML-Datei"}},
      {11206, {"Das Gerät ist bereits vorhanden!"}},
      {11212, {}},   // only returned: the number counts, its text is written elsewhere
      {11503, {"Zwei Unterstriche"}},
      {11504, {"Es muß ein Name sein!"}},
      {11820, {}},
  };
  EXPECT_EQ(texts, expected);

  // A named number of another form would hide its text from the list.
  hvtest::WriteAll(dir.Sub("build/Hidden.cpp"),
                   "constexpr UINT kLoginRefused = 11903;\n"
                   "void A() { hv::ShowMessage(kLoginRefused, wxS(\"Abgelehnt\")); }\n"
                   "#define TXT_MACRO 11000\n"
                   "enum { TXT_HEX = 0x2AF8 };\n");
  errors.clear();
  NumberedTextsIn(fs::path(hv::ToFs(dir.Path())), errors);
  for (const char* name : {"kLoginRefused", "TXT_MACRO", "TXT_HEX"})
    EXPECT_NE(errors.find(name), std::string::npos) << name << " in:\n" << errors;

  // A text of words with the number 0 is shown as written, in every language.
  hvtest::WriteAll(dir.Sub("build/Hidden.cpp"),
                   "void A() { hv::Ui().Message(0, wxS(\"Item not found\"), MB_OK, wxS(\"Not Found\")); }\n"
                   "void B() {\n  hv::Ui().Message(\n      0, wxString::Format(wxS(\"The folder %s can not be created.\"),\n"
                   "                          typed), MB_OK);\n}\n");
  errors.clear();
  NumberedTextsIn(fs::path(hv::ToFs(dir.Path())), errors);
  for (const char* place : {"Hidden.cpp:1:", "Hidden.cpp:3:"})
    EXPECT_NE(errors.find(place), std::string::npos) << place << " in:\n" << errors;
}
