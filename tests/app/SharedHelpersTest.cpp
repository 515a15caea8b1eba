#include <gtest/gtest.h>

#include "app/MenuResources.h"
#include "framework/CommandIds.h"
#include "framework/ComboKeys.h"
#include "framework/NameDialogRequests.h"
#include "framework/Tokenizer.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(Tokenizer, CutsAtEveryDelimiterAndTrimsTheRest) {
  struct Row {
    const wchar_t* text;
    const wchar_t* delims;
    std::vector<const wchar_t*> tokens;
  };
  const Row rows[] = {
      {L"a;;b; ", L";", {L"a", L"", L"b"}},
      {L"abc", L";", {L"abc"}},
      {L"a,b;c", L",;", {L"a", L"b", L"c"}},
      {L";", L";", {L""}},
      {L"x;  y  ", L";", {L"x", L"  y"}},
  };
  for (const Row& r : rows) {
    CTokenizer t;
    EXPECT_TRUE(t.Tokenize(r.text, r.delims)) << r.text;
    ASSERT_EQ(t.GetSize(), r.tokens.size()) << r.text;
    for (size_t i = 0; i < r.tokens.size(); ++i) EXPECT_EQ(t.GetToken(i), wxString(r.tokens[i]));
    EXPECT_EQ(t.GetToken(r.tokens.size()), wxString());
  }
  CTokenizer t;
  ASSERT_TRUE(t.Tokenize(L"a;b", L";"));
  EXPECT_FALSE(t.Tokenize(nullptr, L";"));
  EXPECT_FALSE(t.Tokenize(L"x", nullptr));
  EXPECT_EQ(t.GetSize(), 2u);   // unchanged by a null argument
  EXPECT_FALSE(t.Tokenize(L"", L";"));
  EXPECT_EQ(t.GetSize(), 0u);
}

TEST(Tokenizer, SortIgnoresCaseAndKeepsTheOrderOfEquals) {
  std::vector<wxString> list = {S("beta"), S("Älter"), S("alpha"), S("Beta"), S("älter"), S("Zulu")};
  SortStringArrayNoCase(list);
  EXPECT_EQ(list, (std::vector<wxString>{S("alpha"), S("beta"), S("Beta"), S("Zulu"), S("Älter"), S("älter")}));
  std::vector<wxString> one = {S("x")};
  SortStringArrayNoCase(one);
  EXPECT_EQ(one.size(), 1u);
}

TEST(Tokenizer, StringMapRoundTripsAndRefusesHostileCounts) {
  CMapWordToString map;
  map.map[S("1031")] = S("Deutsch");
  map.map[S("x")] = S("Ελληνικά");
  map.text = S("nicht archiviert");
  CArchive out;
  map.Serialize(out);
  CArchive in(out.Bytes());
  CMapWordToString back;
  back.Serialize(in);
  EXPECT_EQ(back.map, map.map);
  EXPECT_TRUE(back.text.empty());

  // A count far past the data.
  CArchive hostile(std::string("\xff\xff\xff\xff\xff\x7f", 6));
  CMapWordToString victim;
  victim.map[S("k")] = S("v");
  EXPECT_THROW(victim.Serialize(hostile), hv::ArchiveException);
  EXPECT_EQ(victim.map.size(), 1u);
}

TEST(ComboKeys, SelectionByKey) {
  CComboKeys keys;
  keys.Add(S("ABC"));
  keys.Add(S("def"));
  EXPECT_EQ(keys.FindNoCase(S("abc")), 0);
  // The exchange with a dialog compares exactly.
  EXPECT_EQ(LoadKeySelection(keys, S("abc")), -1);
  EXPECT_EQ(LoadKeySelection(keys, S("def")), 1);
  // Nothing selected saves an empty key, also over a key the box does not offer.
  wxString key = S("GONE");
  SaveKeySelection(keys, -1, key);
  EXPECT_EQ(key, wxString());
  SaveKeySelection(keys, 1, key);
  EXPECT_EQ(key, S("def"));
}

TEST(ShellTexts, TextExportDialogAndProjectDownloadPrompt) {
  EXPECT_EQ(StringExportTitle(true), "Texte importieren");
  EXPECT_EQ(StringExportTitle(false), "Texte exportieren");
  EXPECT_EQ(StringExportPath("/tmp/texte", false), "/tmp/texte.txt");   // the default extension
  EXPECT_EQ(StringExportPath("/tmp/texte.csv", false), "/tmp/texte.csv");
  EXPECT_EQ(StringExportPath("/tmp.d/texte", false), "/tmp.d/texte.txt");
  EXPECT_EQ(StringExportPath("/tmp/texte", true), "/tmp/texte");
  EXPECT_EQ(CommandPrompt(ID_DOWNLOAD_PROJECT),
            hvtest::S("Lädt alle CoDeSys-Programme und Ressourcen auf die Steuerungen des Projekts"));
}
