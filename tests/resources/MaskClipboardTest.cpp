#include <gtest/gtest.h>

#include <filesystem>

#include "framework/FolderUtils.h"
#include "framework/StagedCopies.h"
#include "platform/Paths.h"
#include "resources/MaskClipboard.h"
#include "resources/MaskRecords.h"
#include "tests/platform/dbase/DbTestSupport.h"
#include "tests/resources/ScreenFixture.h"

using namespace hvtest;
using namespace hv::db;

namespace {

const std::string kBitmapBytes = std::string("BM\x3a\0\0\0", 6) + std::string(52, '\x11');
const std::string kFontBytes = std::string("\0\x01\0\0", 4) + std::string(300, '\x22');

void WriteFile(const wxString& path, const std::string& bytes) {
  ASSERT_TRUE(CreateDirectoryPath(hv::PathFolder(path)));
  ASSERT_TRUE(hv::WriteFileAtomic(path, bytes));
}

std::string FileBytes(const wxString& path) {
  std::string bytes;
  EXPECT_TRUE(hv::ReadFileBytes(path, bytes)) << path;
  return bytes;
}

std::uint32_t AddDataPoint(const wxString& folder, const wxString& name) {
  Table t;
  EXPECT_TRUE(t.open(folder, DatpktSchema()));
  DatpktRow row;
  row.name = name;
  EXPECT_TRUE(datpkt_insert(t, row));
  return row.id;
}

// One text in the given languages; returns its number.
std::uint32_t AddText(const wxString& folder, std::vector<std::pair<WORD, wxString>> texts, std::uint16_t logId = 0) {
  Table t;
  EXPECT_TRUE(t.open(folder, TextwSchema()));
  std::uint32_t number = 0;
  for (const auto& [language, wording] : texts) {
    TextwRow row;
    row.number = number;
    row.language = language;
    row.text = wording;
    row.logId = logId;
    EXPECT_TRUE(wtext_insert(t, row));
    number = row.number;
  }
  return number;
}

void AddRecord(const wxString& folder, const wxString& screen, int number, std::uint32_t type,
               const std::function<void(MaskField&)>& fill) {
  Table t;
  ASSERT_TRUE(t.open(folder, MskfldSchema()));
  MaskField r;
  r.name = screen;
  r.setNumber(static_cast<std::int16_t>(number));
  r.setType(type);
  fill(r);
  ASSERT_TRUE(msk_fld_insert_quick(t, r));
}

// A device of its own project with a screens folder, living for one step of a test.
struct Side {
  explicit Side(const wxString& path) : dev(path) {
    dev.languages = {{1031, wxS("Deutsch")}, {1033, wxS("Englisch")}};
    EXPECT_TRUE(dbank_create(path));
    folder = std::make_unique<CPOResMask>(&dev.DeviceNode(), dev.Handle());
  }
  ~Side() { CProjectObject::Discard(std::move(folder)); }
  CPOMask* Screen(const wxString& name) {
    EXPECT_TRUE(folder->LoadChildren());
    for (CProjectObject* c : folder->GetChildren())
      if (c->GetName() == name) return static_cast<CPOMask*>(c);
    return nullptr;
  }
  // A new screen object in the folder that takes the clipboard's data.
  CPOMask* Pasted(const CPOMask::Header& header, const wxString& name) {
    auto screen = std::make_unique<CPOMask>(folder.get(), dev.Handle());
    screen->SetName(name);
    screen->SetHeader(header);
    return static_cast<CPOMask*>(folder->AddChild(std::move(screen)));
  }
  ProjectDevice dev;
  std::unique_ptr<CPOResMask> folder;
};

class ScreenTransfer : public testing::Test {
 protected:
  // Copies a screen of a side and gives its clipboard data and its header.
  std::string Copy(Side& side, const wxString& screen, CPOMask::Header* header = nullptr) {
    CPOMask* mask = side.Screen(screen);
    EXPECT_TRUE(mask);
    if (!mask) return {};
    if (header) *header = mask->GetHeader();
    hv::Archive ar;
    EXPECT_TRUE(mask->WriteToClipboard(ar));
    return ar.Bytes();
  }
  BOOL Paste(Side& side, const std::string& bytes, const CPOMask::Header& header, const wxString& name) {
    CPOMask* screen = side.Pasted(header, name);
    hv::Archive ar(bytes);
    const BOOL ok = screen->ReadFromClipboard(ar, side.folder.get());
    EXPECT_EQ(0u, ar.Remaining());
    return ok;
  }

  TempHome home;
  TempDir a, b;
  ScriptedUi ui;
};

}  // namespace

// A screen with a bitmap, a TrueType font, a data point and a two-language text goes
// from one project's device into another's: files copied, names registered, the data
// point found by name, the text inserted under a new number in both languages.
TEST_F(ScreenTransfer, ScreenWithItsResourcesMovesToAnotherProject) {
  std::string bytes;
  CPOMask::Header header;
  {
    Side src(a.Path());
    WriteFile(a.Path() + wxS("/bitmaps/Logo.bmp"), kBitmapBytes);
    WriteFile(a.Path() + wxS("/fonts/Arial.ttf"), kFontBytes);
    const std::uint32_t bitmap = bitmap_add(a.Path(), wxS("Logo.bmp"));
    const std::uint32_t font = font_add(a.Path(), wxS("Arial.ttf"));
    const std::uint32_t point = AddDataPoint(a.Path(), wxS("Temp1"));
    const std::uint32_t text = AddText(a.Path(), {{1033, wxS("Pump")}, {1031, wxS("Pumpe")}}, 7);
    AddRecord(a.Path(), wxS("Start"), 0, 0, [&](MaskField& r) {
      r.setU32(88, text);   // title
      r.setI16(98, 1);
    });
    AddRecord(a.Path(), wxS("Start"), 1, 9, [&](MaskField& r) {
      r.setX(10);
      r.setY(20);
      r.setU32(104, bitmap);
      r.setU32(144, font);
      r.setU32(72, point);
      r.setU32(112, text);
      r.setU32(116, 999);   // a number the source does not know
    });
    bytes = Copy(src, wxS("Start"), &header);
    EXPECT_EQ(wxS("Pumpe"), header.title);
  }
  ASSERT_FALSE(bytes.empty());

  Side dst(b.Path());
  dst.dev.keypads = TRUE;
  AddDataPoint(b.Path(), wxS("Vorher"));
  const std::uint32_t point = AddDataPoint(b.Path(), wxS("TEMP1"));
  AddText(b.Path(), {{1031, wxS("Anderes")}});
  ASSERT_TRUE(Paste(dst, bytes, header, wxS("Start")));

  // The files, byte for byte.
  EXPECT_EQ(kBitmapBytes, FileBytes(hv::ResolvePath(b.Path() + wxS("/bitmaps/LOGO.BMP"))));
  EXPECT_EQ(kFontBytes, FileBytes(hv::ResolvePath(b.Path() + wxS("/fonts/ARIAL.TTF"))));

  using dbtest::ShapeReader;
  ShapeReader bitmaps(hv::ResolvePath(b.Path() + wxS("/BITMAP.DBF")));
  ASSERT_TRUE(bitmaps.ok());
  ASSERT_EQ(1, bitmaps.count());
  EXPECT_EQ("LOGO.BMP", bitmaps.str(0, "NAME"));
  const std::uint32_t bitmapId = static_cast<std::uint32_t>(std::stoul(bitmaps.str(0, "ID")));
  ShapeReader fonts(hv::ResolvePath(b.Path() + wxS("/FONT.DBF")));
  ASSERT_TRUE(fonts.ok());
  ASSERT_EQ(1, fonts.count());
  EXPECT_EQ("ARIAL.TTF", fonts.str(0, "NAME"));
  const std::uint32_t fontId = static_cast<std::uint32_t>(std::stoul(fonts.str(0, "ID")));

  ShapeReader texts(hv::ResolvePath(b.Path() + wxS("/TEXTW.DBF")));
  ASSERT_TRUE(texts.ok());
  ASSERT_EQ(3, texts.count());
  std::uint32_t textId = 0;
  std::map<std::string, std::string> byLanguage;
  for (int i = 1; i < 3; ++i) {
    textId = static_cast<std::uint32_t>(std::stoul(texts.str(i, "IDTEXT")));
    std::string raw = texts.lastFieldRaw(i);
    raw.erase(raw.find_last_not_of(' ') + 1);
    byLanguage[texts.str(i, "SPRACHE")] = raw;
    EXPECT_EQ("7", texts.str(i, "LOG_ID"));   // one id for the whole text
  }
  EXPECT_EQ(texts.str(1, "IDTEXT"), texts.str(2, "IDTEXT"));
  EXPECT_NE(texts.str(0, "IDTEXT"), texts.str(1, "IDTEXT"));
  EXPECT_EQ((std::map<std::string, std::string>{{"1031", "Pumpe"}, {"1033", "Pump"}}), byLanguage);

  ShapeReader records(hv::ResolvePath(b.Path() + wxS("/MSKFLD.DBF")));
  ASSERT_TRUE(records.ok());
  ASSERT_EQ(2, records.count());
  EXPECT_EQ("Start", records.str(0, "NAME"));
  EXPECT_EQ("0", records.str(0, "TYP"));
  EXPECT_EQ(textId, MaskField::DataU32(records.lastFieldRaw(0), 88));
  EXPECT_EQ("9", records.str(1, "TYP"));
  EXPECT_EQ("10", records.str(1, "X"));
  EXPECT_EQ("20", records.str(1, "Y"));
  const std::string data = records.lastFieldRaw(1);   // DATA, wider than 255
  EXPECT_EQ(bitmapId, MaskField::DataU32(data, 104));
  EXPECT_EQ(fontId, MaskField::DataU32(data, 144));
  EXPECT_EQ(point, MaskField::DataU32(data, 72));
  EXPECT_EQ(textId, MaskField::DataU32(data, 112));
  EXPECT_EQ(0u, MaskField::DataU32(data, 116));   // unknown in the source: nothing
  CPOMask* pasted = dst.Screen(wxS("Start"));
  ASSERT_TRUE(pasted);
  EXPECT_EQ(wxS("Pumpe"), pasted->GetHeader().title);
  EXPECT_EQ(1u, pasted->GetHeader().autoOpen);
}

// Pasting twice into a device: names Start_1, Start_2; wording, bitmaps and files
// are shared, not duplicated; a TrueType font in a device without FTP gives one
// message and no font; a 30-character name keeps 28 characters and "_1".
TEST_F(ScreenTransfer, RepeatedPasteSharesWhatMatches) {
  std::string bytes;
  CPOMask::Header header;
  const wxString longName = wxS("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
  std::string longBytes;
  CPOMask::Header longHeader;
  {
    Side src(a.Path());
    WriteFile(a.Path() + wxS("/fonts/Arial.ttf"), kFontBytes);
    const std::uint32_t font = font_add(a.Path(), wxS("Arial.ttf"));
    const std::uint32_t text = AddText(a.Path(), {{1031, wxS("Pumpe")}, {1033, wxS("Pump")}, {2057, wxS("Pump UK")}});
    AddRecord(a.Path(), wxS("Start"), 0, 0, [](MaskField&) {});
    for (int i = 1; i <= 2; ++i) {
      AddRecord(a.Path(), wxS("Start"), i, 8, [&](MaskField& r) {
        r.setU32(68, text);
        r.setU32(96, font);
      });
    }
    AddRecord(a.Path(), longName, 0, 0, [](MaskField&) {});
    bytes = Copy(src, wxS("Start"), &header);
    longBytes = Copy(src, longName, &longHeader);
  }
  Side dst(b.Path());
  AddRecord(b.Path(), wxS("Start"), 0, 0, [](MaskField&) {});
  AddRecord(b.Path(), longName, 0, 0, [](MaskField&) {});
  ui.ExpectMessage(10731);   // once for both elements
  ASSERT_TRUE(Paste(dst, bytes, header, wxS("Start")));
  ui.ExpectMessage(10731);
  ASSERT_TRUE(Paste(dst, bytes, header, wxS("Start")));
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_TRUE(Paste(dst, longBytes, longHeader, longName));

  Table t;
  ASSERT_TRUE(t.open(b.Path(), MskfldSchema()));
  const auto first = maskrec::ScreenRecords(t, wxS("Start_1"));
  const auto second = maskrec::ScreenRecords(t, wxS("Start_2"));
  ASSERT_EQ(3u, first.size());
  ASSERT_EQ(3u, second.size());
  EXPECT_TRUE(maskrec::FindHeader(t, wxS("ABCDEFGHIJKLMNOPQRSTUVWXYZ01_1")));
  const std::uint32_t text = first[1].u32(68);
  EXPECT_NE(0u, text);
  for (const auto* records : {&first, &second}) {
    EXPECT_EQ(text, (*records)[1].u32(68));
    EXPECT_EQ(text, (*records)[2].u32(68));
    EXPECT_EQ(0u, (*records)[1].u32(96));
  }
  // Two project languages: the third is dropped, and nothing is doubled.
  Table texts;
  ASSERT_TRUE(texts.open(b.Path(), TextwSchema()));
  EXPECT_EQ(2u, texts.size());
  EXPECT_FALSE(hv::PathExists(b.Path() + wxS("/fonts/ARIAL.TTF")));
}

// The text reference starts from nothing: a text whose languages the target project
// does not have leaves 0, not the source's number; an existing text in another
// language with the same wording is not taken.
TEST_F(ScreenTransfer, TextNumbersNeverLeakFromTheSource) {
  std::string bytes;
  CPOMask::Header header;
  {
    Side src(a.Path());
    for (int i = 0; i < 5; ++i) AddText(a.Path(), {{1031, wxString::Format(wxS("x%d"), i)}});
    const std::uint32_t french = AddText(a.Path(), {{1036, wxS("Pompe")}});
    const std::uint32_t start = AddText(a.Path(), {{1033, wxS("Start")}, {1031, wxS("Los")}}, 5);
    AddRecord(a.Path(), wxS("S"), 0, 0, [&](MaskField& r) { r.setU32(88, french); });
    AddRecord(a.Path(), wxS("S"), 1, 8, [&](MaskField& r) { r.setU32(68, start); });
    bytes = Copy(src, wxS("S"), &header);
  }
  Side dst(b.Path());
  AddText(b.Path(), {{1031, wxS("Start")}}, 5);   // same wording, other language; holds id 5
  ASSERT_TRUE(Paste(dst, bytes, header, wxS("S")));
  Table t;
  ASSERT_TRUE(t.open(b.Path(), MskfldSchema()));
  const auto records = maskrec::ScreenRecords(t, wxS("S"));
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ(0u, records[0].u32(88));
  const std::uint32_t text = records[1].u32(68);
  EXPECT_NE(1u, text);
  wxString wording;
  EXPECT_TRUE(wtext_get_text(b.Path(), text, 1033, wording));
  EXPECT_EQ(wxS("Start"), wording);
  EXPECT_TRUE(wtext_get_text(b.Path(), text, 1031, wording));
  EXPECT_EQ(wxS("Los"), wording);
  Table texts;
  ASSERT_TRUE(texts.open(b.Path(), TextwSchema()));
  TextwRow row;
  ASSERT_TRUE(wtext_select(texts, row, kSeek, "IDTEXT", {text, 1033}));
  EXPECT_EQ(65535, row.logId);   // decided once: both languages alike
  ASSERT_TRUE(wtext_select(texts, row, kSeek, "IDTEXT", {text, 1031}));
  EXPECT_EQ(65535, row.logId);
}

// "!DEFAULT" screens: No leaves everything as it was and the data read to the end;
// Yes replaces the records and the folder's old object.
TEST_F(ScreenTransfer, DefaultScreenIsReplacedOnlyWhenConfirmed) {
  std::string bytes;
  CPOMask::Header header;
  {
    Side src(a.Path());
    AddRecord(a.Path(), wxS("!DEFAULT_X"), 0, 0, [](MaskField& r) { r.setX(1); });
    AddRecord(a.Path(), wxS("!DEFAULT_X"), 1, 4, [](MaskField&) {});
    bytes = Copy(src, wxS("!DEFAULT_X"), &header);
  }
  Side dst(b.Path());
  AddRecord(b.Path(), wxS("!DEFAULT_X"), 0, 0, [](MaskField& r) { r.setX(2); });
  ASSERT_TRUE(dst.Screen(wxS("!DEFAULT_X")));
  ui.ExpectMessage(10034, IDNO);
  EXPECT_FALSE(Paste(dst, bytes, header, wxS("!DEFAULT_X")));
  Table t;
  ASSERT_TRUE(t.open(b.Path(), MskfldSchema()));
  ASSERT_EQ(1u, maskrec::ScreenRecords(t, wxS("!DEFAULT_X")).size());
  t.close();

  ui.ExpectMessage(10034, IDYES);
  const std::size_t before = dst.folder->GetChildCount();
  EXPECT_TRUE(Paste(dst, bytes, header, wxS("!DEFAULT_X")));
  EXPECT_EQ(before, dst.folder->GetChildCount());   // the new one in place of the old
  ASSERT_TRUE(t.open(b.Path(), MskfldSchema()));
  const auto records = maskrec::ScreenRecords(t, wxS("!DEFAULT_X"));
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ(1, records[0].x());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// Clipboard data come from anywhere: names that would leave their folder, paths that
// are not our staged copies, oversized texts and counts are refused whole.
TEST_F(ScreenTransfer, HostileDataIsRefusedBeforeAnythingIsWritten) {
  auto stream = [](const wxString& name, const wxString& path) {
    hv::Archive ar;
    ar.WriteU32(1);
    for (int i = 0; i < 4; ++i) ar.WriteU32(1);
    ar.WriteU16(0);
    ar.WriteU32(0);
    ar.WriteU16(0);
    ar.WriteU16(0);
    ar.WriteU8(0);
    std::string part(84, '\0');
    part[80 - 68] = 1;   // a bitmap at 80
    ar.WriteBytes(part);
    ar.WriteString(name, false);
    ar.WriteU16(0);
    ar.WriteString(path, false);
    return ar.Bytes();
  };
  WriteFile(a.Path() + wxS("/evil.bmp"), kBitmapBytes);
  const wxString staged = staging::StageCopy(a.Path() + wxS("/evil.bmp"));
  ASSERT_FALSE(staged.empty());
  for (const wchar_t* name : {wxS("../evil.bmp"), wxS("a/b.bmp"), wxS("a\\b.bmp"), wxS(".."), wxS("x\ty.bmp")}) {
    hv::Archive ar(stream(name, staged));
    EXPECT_THROW(maskclip::Parse(ar), hv::ArchiveException) << wxString(name);
  }
  {
    hv::Archive ar(stream(wxS("ok.bmp"), a.Path() + wxS("/evil.bmp")));
    EXPECT_THROW(maskclip::Parse(ar), hv::ArchiveException);
  }
  {
    hv::Archive ar(stream(wxS("ok.bmp"), staged));
    EXPECT_EQ(1u, maskclip::Parse(ar).entries.size());
  }
  {
    hv::Archive huge;
    huge.WriteU32(0xFFFFFFFFu);
    for (int i = 0; i < 4; ++i) huge.WriteU32(1);
    hv::Archive ar(huge.Bytes());
    EXPECT_THROW(maskclip::Parse(ar), hv::ArchiveException);
  }

  Side dst(b.Path());
  CPOMask* screen = dst.Pasted({}, wxS("Evil"));
  hv::Archive ar(stream(wxS("../../evil.bmp"), staged));
  EXPECT_THROW(screen->ReadFromClipboard(ar, dst.folder.get()), hv::ArchiveException);
  Table t;
  ASSERT_TRUE(t.open(b.Path(), MskfldSchema()));
  EXPECT_EQ(0u, t.size());
  EXPECT_FALSE(hv::PathExists(b.Path() + wxS("/bitmaps")));
}

// The copy stream of a small screen, byte for byte.
TEST_F(ScreenTransfer, GoldenStream) {
  Side src(a.Path());
  const std::uint32_t point = AddDataPoint(a.Path(), wxS("Temp1"));
  const std::uint32_t text = AddText(a.Path(), {{1033, wxS("Pump")}, {1031, wxS("Pumpe")}}, 3);
  ASSERT_EQ(1u, point);
  ASSERT_EQ(1u, text);
  AddRecord(a.Path(), wxS("Small"), 0, 0, [](MaskField& r) { r.setU32(88, 1); });
  AddRecord(a.Path(), wxS("Small"), 1, 7, [](MaskField& r) {
    r.setX(10);
    r.setY(-2);
    r.setFlag(3);
    r.setU32(68, 1);
  });
  const std::string bytes = Copy(src, wxS("Small"));
  auto hex = [](std::string_view h) {
    std::string out;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2) out += static_cast<char>(std::stoi(std::string(h.substr(i, 2)), nullptr, 16));
    return out;
  };
  std::string expected = hex("02000000" "01000000" "01000000" "01000000" "01000000");
  expected += hex("0000" "00000000" "0000" "0000" "00");
  std::string header(84, '\0');
  header[88 - 68] = 1;
  expected += header;
  // The text: two entries, the default language first; wide texts as 0xFF 0xFFFE 0xFF
  // and a length in UTF-16 units.
  expected += hex("02000000" "0300" "0704" "fffeff05") + hex("500075006d0070006500");
  expected += hex("0300" "0904" "fffeff04") + hex("500075006d007000");
  expected += hex("0100" "07000000" "0a00" "feff" "03");
  std::string element(140, '\0');
  element[0] = 1;
  expected += element;
  expected += hex("05") + "Temp1";
  EXPECT_EQ(expected, bytes);
}

// Which reference fields travel, in which order: type 1's data points hang on their
// switches, type 16 sends its bitmaps after its texts, types above 16 send nothing.
TEST(ScreenReferenceFields, OrderAndConditionsPerType) {
  auto kinds = [](const MaskField& r) {
    std::string out;
    for (const maskclip::RefField& f : maskclip::RefFields(r)) out += "BFDT"[f.kind];
    return out;
  };
  MaskField r;
  r.setType(1);
  EXPECT_EQ("BBBBBBBBBBB", kinds(r));
  r.setI16(72, 1);
  r.setI16(212, 1);
  const auto one = maskclip::RefFields(r);
  ASSERT_EQ(13u, one.size());
  EXPECT_EQ(76u, one[11].offset);
  EXPECT_EQ(220u, one[12].offset);
  r.setType(16);
  const auto sixteen = maskclip::RefFields(r);
  EXPECT_EQ("FD" + std::string(30, 'T') + std::string(30, 'B'), kinds(r));
  EXPECT_EQ(400u, sixteen.back().offset);
  r.setType(17);
  EXPECT_TRUE(maskclip::RefFields(r).empty());
  EXPECT_EQ(0u, maskclip::TypeBytes(17));
  // Every field lies inside its type's bytes.
  for (std::uint32_t type = 0; type <= 16; ++type) {
    MaskField t;
    t.setType(type);
    t.setI16(72, 1);
    t.setI16(210, 1);
    t.setI16(212, 1);
    for (const maskclip::RefField& f : maskclip::RefFields(t))
      EXPECT_LE(f.offset + 4, MaskField::kDataOffset + maskclip::TypeBytes(type)) << type;
  }
}
