#include <gtest/gtest.h>

#include "platform/online/PluginAbi.h"
#include "platform/online/ScanFile.h"
#include "tests/support/TestEnv.h"

namespace {

using hv::ParseScanText;
using hv::ScanEntry;

struct Case {
  const char* name;
  const char* text;
  std::vector<std::vector<std::string>> expected;  // node, type, details...
};

std::vector<std::string> Flat(const ScanEntry& e) {
  std::vector<std::string> v{e.node.utf8_string(), e.type.utf8_string()};
  for (const auto& d : e.details) v.push_back(d.utf8_string());
  return v;
}

TEST(ScanFile, ParsesTheGrammarLineByLine) {
  const Case cases[] = {
      {"no block", "KOLM_G320\r\nIP=1.2.3.4\r\n", {}},
      {"one block", "[3]\r\nKOLM_G320\r\nKOLM_G320\r\nFW-Version : 1.52\r\nIP=127.0.0.3\r\n",
       {{"3", "KOLM_G320", "KOLM_G320", "FW-Version : 1.52", "IP=127.0.0.3"}}},
      {"LF only and blanks", "  [5]  \n  CE_PANEL7  \n hw \n", {{"5", "CE_PANEL7", "hw"}}},
      {"empty line before the type", "[1]\r\n\r\n\r\nTYPE\r\nhw\r\n", {{"1", "TYPE", "hw"}}},
      {"empty detail keeps its place", "[1]\r\nTYPE\r\n\r\nline2\r\n", {{"1", "TYPE", "", "line2"}}},
      {"sixth detail ignored", "[1]\nT\n1\n2\n3\n4\n5\n6\n7\n[2]\nU\n", {{"1", "T", "1", "2", "3", "4", "5"}, {"2", "U"}}},
      {"node without ]", "[127.168.100.200\nT\n", {{"127.168.100.200", "T"}}},
      {"text after ] ignored", "[7] extra\nT\n", {{"7", "T"}}},
      {"cut at CR inside a line", "[1]\nTYPE\rjunk\nd1\r\n", {{"1", "TYPE", "d1"}}},
      {"block without type dropped", "[1]\n\n[2]\nT\n", {{"2", "T"}}},
      {"lines before the first block ignored", "hello\n\n[4]\nT\n", {{"4", "T"}}},
  };
  for (const Case& c : cases) {
    const auto entries = ParseScanText(c.text);
    std::vector<std::vector<std::string>> got;
    for (const auto& e : entries) got.push_back(Flat(e));
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(ScanFile, DetailValuesAndRenamedTypes) {
  const char* text = "[12]\r\nkolm_p303\r\nKOLM_P303\r\nFW-Version : 2.05\r\nIP=127.168.0.12\r\n";
  const auto plain = ParseScanText(text);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].type, "kolm_p303");
  EXPECT_EQ(plain[0].Ip(), "127.168.0.12");
  EXPECT_EQ(plain[0].Firmware(), "2.05");
  EXPECT_EQ(plain[0].DetailText(), "KOLM_P303\nFW-Version : 2.05\nIP=127.168.0.12");
  EXPECT_EQ(plain[0].DetailLine(0), "KOLM_P303");
  EXPECT_EQ(plain[0].DetailLine(4), "");

  const auto renamed = ParseScanText(text, hv::ScanTypeNames::Renamed);
  EXPECT_EQ(renamed[0].type, "zorva_P303");
  EXPECT_EQ(renamed[0].DetailLine(0), "zorva_P303");
}

// What a driver reports comes from the devices: whatever their texts hold, each device
// reads back as one entry with its own lines.
TEST(ScanFile, DeviceTextsCannotForgeEntries) {
  std::vector<std::vector<std::string>> got;
  for (const auto& e : ParseScanText(hv::FormatScanBlock("1", "A\r\n[99]\r\nB", {"IP=1.2.3.4", "[7]"}) +
                                     hv::FormatScanBlock("2", " \t", {"[8]"}) + hv::FormatScanBlock("3]4", "[T]", {})))
    got.push_back(Flat(e));
  const std::vector<std::vector<std::string>> written{
      {"1", "A  [99]  B", "IP=1.2.3.4", "(7]"}, {"2", HV_SCAN_UNKNOWN_TYPE, "(8]"}, {"3)4", "(T]"}};
  EXPECT_EQ(got, written);

  // A device's own bytes in another encoding are kept, not turned into an empty type.
  const char* details[] = {"Ger\xe4t/B", "IP=10.0.0.2"};
  const auto entries = ParseScanText(hv::FormatScanDevice("5", "Ger\xe4t", details, 2) +
                                     hv::FormatScanDevice("6", "T\xc3\xa4", nullptr, 0));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(Flat(entries[0]), (std::vector<std::string>{"5", "Ger\xc3\xa4t", "Ger\xc3\xa4t/B", "IP=10.0.0.2"}));
  EXPECT_EQ(Flat(entries[1]), (std::vector<std::string>{"6", "T\xc3\xa4"}));
}

TEST(ScanFile, ReadsFilesAndKeepsLongNodesWhole) {
  hvtest::TempDir dir;
  std::vector<ScanEntry> entries;
  EXPECT_EQ(hv::ReadScanFile(hv::ScanFilePath(dir.Path(), 2), entries), hv::ScanFileStatus::Missing);
  EXPECT_EQ(hv::ScanFilePath(dir.Path(), 2), dir.Sub("SCAN2.OUT"));

  std::string bytes = hv::FormatScanBlock("127.168.100.1", "CE_PANEL7", {"CE_PANEL7", "IP=127.168.100.1"}) +
                      hv::FormatScanBlock("127.168.100.2", "CE_PANEL7", {"CE_PANEL7", "IP=127.168.100.2"});
  hvtest::WriteAll(dir.Sub("scan2.out"), bytes);  // another spelling of the name
  ASSERT_EQ(hv::ReadScanFile(hv::ScanFilePath(dir.Path(), 2), entries), hv::ScanFileStatus::Ok);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].node, "127.168.100.1");
  EXPECT_EQ(entries[1].node, "127.168.100.2");
  EXPECT_EQ(entries[1].type, "CE_PANEL7");
}

}  // namespace
