#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <functional>
#include <map>

#include "platform/Paths.h"
#include "resources/MaskElement.h"
#include "tests/resources/PictureBytes.h"
#include "tests/resources/ScreenFixture.h"

using namespace hvtest;
using namespace hv::db;

namespace {

// Numbers of the data points, bitmaps and texts the records refer to.
struct Refs {
  std::uint32_t pressure = 0, temperature = 0, logo = 0, gone = 0;
};

class Elements : public ScreenFixture {
 protected:
  Elements() {
    Table dp;
    EXPECT_TRUE(dp.open(dir.Path(), DatpktSchema()));
    DatpktRow row;
    row.name = wxS("Druck");
    EXPECT_TRUE(datpkt_insert(dp, row));
    pressure = row.id;
    row = DatpktRow();
    row.name = wxS("Temp");
    EXPECT_TRUE(datpkt_insert(dp, row));
    temperature = row.id;

    EXPECT_TRUE(hv::MakeFolders(dir.Sub(wxS("Bitmaps"))));
    WriteAll(dir.Sub(wxS("Bitmaps/logo.bmp")), BmpBytes(40, 30, 8));
    logo = bitmap_add(dir.Path(), wxS("logo.bmp"));
    gone = bitmap_add(dir.Path(), wxS("gone.bmp"));

    Table texts;
    EXPECT_TRUE(texts.open(dir.Path(), TextwSchema()));
    TextwRow text;
    text.number = 5;
    text.language = 1031;
    text.text = wxS("Hallo");
    EXPECT_TRUE(wtext_insert(texts, text));
    text.language = 1033;
    text.text = wxS("Hello");
    EXPECT_TRUE(wtext_insert(texts, text));
  }

  // The elements of a screen by element number.
  std::map<int, CPOMaskElement*> Load(CPOMask& screen) {
    EXPECT_TRUE(screen.LoadChildren());
    std::map<int, CPOMaskElement*> out;
    for (CProjectObject* c : screen.GetChildren()) {
      auto* e = dynamic_cast<CPOMaskElement*>(c);
      EXPECT_NE(nullptr, e);
      if (e) out[e->GetElementNumber()] = e;
    }
    return out;
  }

  Refs refs;
  std::uint32_t& pressure = refs.pressure;
  std::uint32_t& temperature = refs.temperature;
  std::uint32_t& logo = refs.logo;
  std::uint32_t& gone = refs.gone;
};

struct Case {
  std::uint32_t type;
  std::function<void(MaskField&, const Refs&)> fill;
  const char* className;
  int image;
  const char* kind;
  const char* dimension;
  const char* description;
};

// Helpers for the cases.
void Zoom(MaskField& r, std::uint32_t bitmap, int zoom) {
  r.setU32(68, bitmap);
  r.buf[224] = static_cast<std::uint8_t>(static_cast<std::int8_t>(zoom));
}

}  // namespace

TEST_F(Elements, EachKindShowsItsSizeAndWhatItShows) {
  const Case cases[] = {
      {1, [](MaskField& r, const Refs& e) { Zoom(r, e.logo, 2); }, "CPOMaskPicture", 16, "Bild", "80 x 60", "LOGO.BMP"},
      {1, [](MaskField& r, const Refs& e) { Zoom(r, e.logo, 0); }, "CPOMaskPicture", 16, "Bild", "20 x 15", "LOGO.BMP"},
      {1,
       [](MaskField& r, const Refs& e) {
         Zoom(r, e.logo, -1);
         r.setI16(226, 33);
         r.setI16(228, 44);
       },
       "CPOMaskPicture", 16, "Bild", "33 x 44", "LOGO.BMP"},
      {1, [](MaskField& r, const Refs& e) { Zoom(r, e.gone, 1); }, "CPOMaskPicture", 16, "Bild", "", "GONE.BMP"},
      {1, [](MaskField& r, const Refs&) { Zoom(r, 777, 1); }, "CPOMaskPicture", 16, "Bild", "", ""},
      {2,
       [](MaskField& r, const Refs& e) {
         r.setU32(84, e.pressure);
         r.setI16(76, 100);
         r.setI16(206, 20);
       },
       "CPOMaskText", 17, "Anzeigefeld", "100 x 20", "Wertfeld DP: Druck"},
      {2, [](MaskField& r, const Refs& e) { r.setU32(68, 2); r.setU32(84, e.pressure); },
       "CPOMaskText", 17, "Anzeigefeld", "0 x 0", "Wertabhängiger Text DP: Druck"},
      {2, [](MaskField& r, const Refs&) { r.setU32(68, 4); r.setU32(88, 5); }, "CPOMaskText", 17, "Anzeigefeld",
       "0 x 0", "Text: Hallo"},
      {2, [](MaskField& r, const Refs& e) { r.setU32(68, 5); r.setU32(84, e.temperature); }, "CPOMaskText", 17,
       "Anzeigefeld", "0 x 0", "Text über log. ID DP: Temp"},
      {2, [](MaskField& r, const Refs&) { r.setU32(68, 9); }, "CPOMaskText", 17, "Anzeigefeld", "0 x 0", ""},
      {3,
       [](MaskField& r, const Refs& e) {
         r.buf[68] = 1;
         r.setU32(72, e.temperature);
         r.setI16(76, 8);
       },
       "CPOMaskEdit", 18, "Eingabefeld", "8", "Unsichtbar DP: Temp"},
      {3, [](MaskField& r, const Refs& e) { r.setU32(72, e.temperature); }, "CPOMaskEdit", 18, "Eingabefeld", "0",
       "DP: Temp"},
      {5,
       [](MaskField& r, const Refs& e) {
         r.buf[68] = 0xFE;
         r.setU32(72, e.pressure);
         r.setI16(80, 10);
         r.setI16(82, 90);
       },
       "CPOMaskBargraph", 20, "Bargraph", "10 x 90", "Typ -2 DP: Druck"},
      {9,
       [](MaskField& r, const Refs& e) {
         r.setU32(68, 1);
         r.setU32(72, e.pressure);
         r.setI16(76, 50);
         r.setI16(78, 25);
       },
       "CPOMaskButton", 19, "Taster", "50 x 25", "Text DP: Druck"},
      {9, [](MaskField& r, const Refs& e) { r.setU32(68, 4); r.setU32(72, e.pressure); }, "CPOMaskButton", 19,
       "Taster", "0 x 0", "Bitmap DP: Druck"},
      {10, [](MaskField& r, const Refs& e) { r.setU32(68, e.pressure); r.setI16(72, 200); r.setI16(74, 100); },
       "CPOMaskDataLogger", 21, "Datenlogger", "200 x 100", "DP: Druck"},
      {10, [](MaskField& r, const Refs&) { r.setU32(68, 999); }, "CPOMaskDataLogger", 21, "Datenlogger", "0 x 0",
       "DP: "},
      {11, [](MaskField& r, const Refs& e) { r.setU32(68, e.temperature); r.setI16(74, 120); }, "CPOMaskComboBox",
       22, "ComboBox", "120", "DP: Temp"},
      {12, [](MaskField& r, const Refs& e) { r.setU32(88, e.logo); r.setI16(72, 32); r.setI16(74, 32); },
       "CPOMaskTouchKey", 30, "Funktionstaste", "32 x 32", "Bitmap: LOGO.BMP"},
      {12, [](MaskField& r, const Refs&) { r.setU32(68, 1); r.setU32(96, 5); }, "CPOMaskTouchKey", 30,
       "Funktionstaste", "0 x 0", "Text: Hallo"},
      {12, [](MaskField& r, const Refs&) { r.setU32(68, 3); }, "CPOMaskTouchKey", 30, "Funktionstaste", "0 x 0",
       "Bereich"},
      {13, [](MaskField& r, const Refs&) { r.setU32(68, 1); }, "CPOMaskList", 33, "Liste", "0 x 0", "Ereignisliste"},
      {13, [](MaskField&, const Refs&) {}, "CPOMaskList", 33, "Liste", "0 x 0", "Alarmliste"},
      {14, [](MaskField& r, const Refs&) { r.setI16(68, 60); r.setI16(70, 40); }, "CPOMaskRectangle", 36,
       "Rechteck", "60 x 40", ""},
      {15, [](MaskField& r, const Refs&) { r.setI16(68, 5); r.setI16(70, -6); }, "CPOMaskLine", 37, "Linie",
       "(5, -6)", ""},
      {16, [](MaskField& r, const Refs& e) { r.setU32(68, e.pressure); r.setI16(74, 3); r.setI16(76, 4); },
       "CPOMaskListBox", 39, "Listbox", "3, 4", "DP: Druck"},
      {7, [](MaskField& r, const Refs& e) { r.setU32(68, e.pressure); }, "CPOMaskElement", 0, "", "", ""},
      {17, [](MaskField&, const Refs&) {}, "CPOMaskElement", 0, "", "", ""},
  };
  AddScreen(wxS("S"));
  AddRecord(wxS("S"), 900, 4);   // no element
  std::map<int, std::uint32_t> ids;
  int number = 1;
  for (const Case& c : cases) {
    MaskField r = AddRecord(wxS("S"), number, c.type, [&](MaskField& f) {
      f.setX(static_cast<std::int16_t>(number));
      f.setY(-2);
      c.fill(f, refs);
    });
    ids[number++] = r.id();
  }
  CPOMask* screen = Screen(wxS("S"));
  ASSERT_NE(nullptr, screen);
  std::map<int, CPOMaskElement*> elements = Load(*screen);
  ASSERT_EQ(std::size(cases), elements.size());
  number = 1;
  for (const Case& c : cases) {
    CPOMaskElement* e = elements[number];
    ASSERT_NE(nullptr, e);
    const std::string where = "case " + std::to_string(number) + ", type " + std::to_string(c.type);
    EXPECT_STREQ(c.className, e->ClassName()) << where;
    EXPECT_EQ(c.image, e->GetImage()) << where;
    EXPECT_EQ(c.image, e->GetSelectedImage()) << where;
    EXPECT_EQ(S(c.kind), e->GetColumnText(0)) << where;
    EXPECT_EQ(S(c.dimension), e->GetColumnText(3)) << where;
    EXPECT_EQ(S(c.description), e->GetColumnText(4)) << where;
    EXPECT_EQ(wxString::Format(wxS("%d, -2"), number), e->GetColumnText(2)) << where;
    EXPECT_EQ(ids[number], e->GetElementId()) << where;
    EXPECT_EQ(TypeCode::None, e->GetTypeCode());
    ++number;
  }

  // Texts come in the project's default language.
  dev.defaultLanguage = 1033;
  elements = Load(*screen);
  EXPECT_EQ(wxS("Text: Hello"), elements[8]->GetColumnText(4));
}

TEST_F(Elements, NumbersAreSignedAndSortAsNumbersTextsIgnoringCase) {
  AddScreen(wxS("S"));
  AddRecord(wxS("S"), -1, 14);
  AddRecord(wxS("S"), 2, 14);
  AddRecord(wxS("S"), 10, 14);
  AddRecord(wxS("S"), 3, 13);
  AddRecord(wxS("S"), 4, 13, [](MaskField& r) { r.setU32(68, 1); });
  std::map<int, CPOMaskElement*> e = Load(*Screen(wxS("S")));
  ASSERT_EQ(5u, e.size());
  EXPECT_EQ(wxS("-1"), e[-1]->GetColumnText(1));
  EXPECT_EQ(-1, e[-1]->Compare(e[2], 1));
  EXPECT_EQ(1, e[10]->Compare(e[2], 1));
  EXPECT_EQ(0, e[2]->Compare(e[2], 1));
  EXPECT_EQ(0, e[2]->Compare(nullptr, 1));
  EXPECT_LT(e[3]->Compare(e[4], 4), 0);   // "Alarmliste" before "Ereignisliste"
  e[3]->SetDescription(wxS("ereignisliste"));
  EXPECT_EQ(0, e[3]->Compare(e[4], 4));

  // Elements are never copied or cut.
  for (UINT id : {ID_ELEMENT_COPY, ID_ELEMENT_CUT}) {
    CRecordingCmdUI cmd(id);
    EXPECT_TRUE(e[2]->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &cmd, nullptr));
    EXPECT_FALSE(cmd.enabled);
  }
}

TEST_F(Elements, TheListIsRebuiltWhenTheTableChanged) {
  AddScreen(wxS("S"), 0, 2);
  CPOMask* screen = Screen(wxS("S"));
  EXPECT_FALSE(screen->IsStale());   // nothing listed yet
  ASSERT_EQ(2u, Load(*screen).size());
  EXPECT_FALSE(screen->IsStale());

  // The designer saved the screen: a later time, a new element.
  AddRecord(wxS("S"), 3, 14);
  const wxString table = hv::ResolvePath(dir.Sub(wxS("MSKFLD.DBF")));
  struct stat st {};
  ASSERT_EQ(0, ::stat(hv::ToFs(table).c_str(), &st));
  struct utimbuf later {st.st_atime, st.st_mtime + 10};
  ASSERT_EQ(0, ::utime(hv::ToFs(table).c_str(), &later));
  EXPECT_TRUE(screen->IsStale());
  EXPECT_EQ(3u, Load(*screen).size());
  EXPECT_FALSE(screen->IsStale());

  // A screen without records lists nothing and stays without a load time.
  CPOMask none(folder.get(), dev.Handle());
  none.SetName(wxS("Keine"));
  EXPECT_FALSE(none.LoadChildren());
  EXPECT_TRUE(none.HasNoChildren());
  EXPECT_FALSE(none.IsStale());

  // Without the table the listed elements go and the list is stale.
  ASSERT_EQ(0, std::remove(hv::ToFs(table).c_str()));
  EXPECT_TRUE(screen->IsStale());
  EXPECT_FALSE(screen->LoadChildren());
  EXPECT_TRUE(screen->HasNoChildren());
}
