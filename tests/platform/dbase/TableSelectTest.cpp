// Positioning: modes, partial composite keys, typed order, case, filters, deletes.
#include <vector>

#include "tests/platform/dbase/DbTestSupport.h"

using namespace dbtest;

namespace {

GeraetRow Device(const char* name, std::uint16_t network, const char* node) {
  GeraetRow g;
  g.name = S(name);
  g.network = network;
  g.node = node;
  return g;
}

std::vector<wxString> Walk(Table& t, std::string_view tag) {
  std::vector<wxString> names;
  GeraetRow g;
  for (bool ok = geraet_select(t, g, kFirst, tag); ok; ok = geraet_select(t, g, kNext, tag)) names.push_back(g.name);
  return names;
}

}  // namespace

TEST(DbSelect, PartialCompositeKeysSeekFirstOfGroupAndStepInOrder) {
  hvtest::TempDir dir;
  Table t;
  Fresh(dir.Path(), GeraetSchema(), t);
  for (auto [name, net, node] : {std::tuple{"d1", 1, "B"}, {"d2", 2, "A"}, {"d3", 1, "A"}, {"d4", 1, "C"}}) {
    GeraetRow g = Device(name, static_cast<std::uint16_t>(net), node);
    ASSERT_TRUE(geraet_insert(t, g)) << t.error();
  }
  GeraetRow g;
  // Network only: the group's first record, then the rest in key order.
  ASSERT_TRUE(geraet_select(t, g, kSeek, "NETZWERK", {1}));
  EXPECT_EQ(g.name, "d3");
  ASSERT_TRUE(geraet_select(t, g, kNext, "NETZWERK"));
  EXPECT_EQ(g.name, "d1");
  ASSERT_TRUE(geraet_select(t, g, kNext, "NETZWERK"));
  EXPECT_EQ(g.name, "d4");
  ASSERT_TRUE(geraet_select(t, g, kNext, "NETZWERK"));   // mode 0 ignores the key: on into network 2
  EXPECT_EQ(g.name, "d2");
  EXPECT_FALSE(geraet_select(t, g, kNext, "NETZWERK"));
  EXPECT_FALSE(t.hasCurrent());

  ASSERT_TRUE(geraet_select(t, g, kSeek, "NETZWERK", {1, "C"}));
  EXPECT_EQ(g.name, "d4");
  EXPECT_FALSE(geraet_select(t, g, kSeek, "NETZWERK", {3}));
  EXPECT_FALSE(geraet_select(t, g, kSeek, "NETZWERK", {1, "AB"}));

  // Soft seek: the first key not below the given one, partial keys included.
  ASSERT_TRUE(geraet_select(t, g, kSoftSeek, "NETZWERK", {1, "BB"}));
  EXPECT_EQ(g.name, "d4");
  ASSERT_TRUE(geraet_select(t, g, kSoftSeek, "NETZWERK", {2}));
  EXPECT_EQ(g.name, "d2");
  EXPECT_FALSE(geraet_select(t, g, kSoftSeek, "NETZWERK", {3}));

  // A key of the wrong type or an unknown tag finds nothing; the library never throws.
  EXPECT_FALSE(geraet_select(t, g, kSeek, "NETZWERK", {"1"}));
  EXPECT_FALSE(geraet_select(t, g, kSeek, "NOSUCHTAG", {1}));
  EXPECT_FALSE(geraet_select(t, g, 7, "NETZWERK", {1}));

  // Stepping under another tag than the one positioned in.
  ASSERT_TRUE(geraet_select(t, g, kSeek, "-GNR", {1}));
  ASSERT_TRUE(geraet_select(t, g, kNext, "NETZWERK"));
  EXPECT_EQ(g.name, "d4");
}

TEST(DbSelect, WholeValuesMatchNeverPrefixesAndNumbersSortAsNumbers) {
  hvtest::TempDir dir;
  Table texts, masks;
  Fresh(dir.Path(), TextwSchema(), texts);
  Fresh(dir.Path(), MskfldSchema(), masks);
  TextwRow w;
  w.text = "Start motor";
  ASSERT_TRUE(wtext_insert(texts, w));
  TextwRow found;
  EXPECT_FALSE(wtext_selectw(texts, found, kSeek, "TEXT__", "Start"));
  EXPECT_FALSE(wtext_selectw(texts, found, kSeek, "TEXT__", "start motor"));   // case counts
  EXPECT_TRUE(wtext_selectw(texts, found, kSeek, "TEXT__", "Start motor   "));  // blanks do not

  // A key longer than its field is cut as the stored value was.
  w.text = wxString('w', 300);
  ASSERT_TRUE(wtext_insert(texts, w));
  ASSERT_TRUE(wtext_selectw(texts, found, kSeek, "TEXT__", wxString('w', 280)));
  EXPECT_EQ(found.text, wxString('w', 256));

  // Element numbers sort numerically, negative ones included; "Anlage" is not "Anlage2".
  for (int nr : {1000, -1, 5, 0}) {
    MaskField m;
    m.name = "Anlage2";
    m.setNumber(static_cast<std::int16_t>(nr));
    m.setType(nr == 0 ? 0 : 4);
    ASSERT_TRUE(msk_fld_insert_quick(masks, m));
  }
  MaskField m;
  EXPECT_FALSE(msk_fld_select(masks, m, kSeek, "MSK_HEAD", {"Anlage"}));
  ASSERT_TRUE(msk_fld_select(masks, m, kSeek, "MSK_HEAD", {"Anlage2"}));
  EXPECT_EQ(m.number(), 0);
  std::vector<int> order;
  for (bool ok = msk_fld_select(masks, m, kSeek, "MSK_FLD", {"Anlage2"}); ok;
       ok = msk_fld_select(masks, m, kNext, "MSK_FLD"))
    order.push_back(m.number());
  EXPECT_EQ(order, (std::vector<int>{-1, 0, 5, 1000}));
}

TEST(DbSelect, CaseIgnoredOnlyOnCiTags) {
  hvtest::TempDir dir;
  Table dp, net;
  Fresh(dir.Path(), DatpktSchema(), dp);
  Fresh(dir.Path(), NetzwerkSchema(), net);
  DatpktRow d;
  d.name = S("Ölpumpe_Ä");
  ASSERT_TRUE(datpkt_insert(dp, d));
  DatpktRow f;
  ASSERT_TRUE(datpkt_select(dp, f, kSeek, "-DATPKT", {S("ÖLPUMPE_ä")}));
  EXPECT_EQ(f.name, S("Ölpumpe_Ä"));   // stored as written

  NetzwerkRow n;
  n.name = "Bus";
  ASSERT_TRUE(netzwerk_insert(net, n));
  NetzwerkRow g;
  EXPECT_FALSE(netzwerk_select(net, g, kSeek, "-NETZWERK", {"BUS"}));
  EXPECT_TRUE(netzwerk_select(net, g, kSeek, "-NETZWERK", {"Bus"}));
}

TEST(DbSelect, FilteredTagsHoldOnlyTheirRecords) {
  hvtest::TempDir dir;
  Table dp, masks;
  Fresh(dir.Path(), DatpktSchema(), dp);
  Fresh(dir.Path(), MskfldSchema(), masks);
  for (std::uint16_t log : {0, 7, 0}) {
    DatpktRow d;
    d.name = wxString::Format("p%u", log);
    d.logId = log;
    ASSERT_TRUE(datpkt_insert(dp, d));
  }
  DatpktRow d;
  ASSERT_TRUE(datpkt_select(dp, d, kFirst, "LOG_ID"));
  EXPECT_EQ(d.logId, 7);
  EXPECT_FALSE(datpkt_select(dp, d, kNext, "LOG_ID"));
  EXPECT_FALSE(datpkt_select(dp, d, kSeek, "LOG_ID", {0}));

  // Screens: only headers under MSK_HEAD; main data-point references by element type.
  auto add = [&](const char* name, std::int16_t nr, std::uint32_t type, std::uint32_t dpAt72) {
    MaskField m;
    m.name = name;
    m.setNumber(nr);
    m.setType(type);
    m.setU32(72, dpAt72);
    ASSERT_TRUE(msk_fld_insert_quick(masks, m));
  };
  add("Main", 0, 0, 0);
  add("Main", 1, 3, 42);
  add("Main", 2, 1, 42);    // type 1 keeps its references elsewhere
  add("Other", 0, 0, 0);
  std::vector<wxString> heads;
  MaskField m;
  for (bool ok = msk_fld_select(masks, m, kFirst, "MSK_HEAD"); ok; ok = msk_fld_select(masks, m, kNext, "MSK_HEAD"))
    heads.push_back(m.name);
  EXPECT_EQ(heads, (std::vector<wxString>{"Main", "Other"}));
  ASSERT_TRUE(msk_fld_select(masks, m, kSeek, "MSK_DATPKT", {42}));
  EXPECT_EQ(m.number(), 1);
  EXPECT_FALSE(msk_fld_select(masks, m, kNext, "MSK_DATPKT"));
  // The type walk of a data-point delete: soft seek to type 1, then on.
  ASSERT_TRUE(msk_fld_select(masks, m, kSoftSeek, "MSK_TYP", {1}));
  EXPECT_EQ(m.type(), 1u);
}

TEST(DbSelect, DeletedRecordsAreInvisibleAndKeyChangesMoveRecords) {
  hvtest::TempDir dir;
  Table t;
  Fresh(dir.Path(), GeraetSchema(), t);
  for (const char* n : {"a", "b", "c"}) {
    GeraetRow g = Device(n, 1, n);
    ASSERT_TRUE(geraet_insert(t, g));
  }
  GeraetRow g;
  ASSERT_TRUE(geraet_select(t, g, kSeek, "BEZEICH", {"b"}));
  g.name = "z";
  ASSERT_TRUE(geraet_update(t, g));
  EXPECT_FALSE(geraet_select(t, g, kSeek, "BEZEICH", {"b"}));
  EXPECT_EQ(Walk(t, "BEZEICH"), (std::vector<wxString>{"a", "c", "z"}));

  // Erase keeps the position, so the delete loops of callers step on.
  ASSERT_TRUE(geraet_select(t, g, kSeek, "BEZEICH", {"a"}));
  ASSERT_TRUE(geraet_delete(t));
  EXPECT_FALSE(t.hasCurrent());
  EXPECT_FALSE(geraet_delete(t));
  ASSERT_TRUE(geraet_select(t, g, kNext, "BEZEICH"));
  EXPECT_EQ(g.name, "c");
  EXPECT_FALSE(geraet_select(t, g, kSeek, "BEZEICH", {"a"}));
  EXPECT_EQ(Walk(t, "BEZEICH"), (std::vector<wxString>{"c", "z"}));
  EXPECT_EQ(Walk(t, ""), (std::vector<wxString>{"z", "c"}));   // record order
  EXPECT_EQ(t.size(), 2u);

  // The same handle opened on another table starts without a position.
  ASSERT_TRUE(geraet_select(t, g, kSeek, "NETZWERK", {1, "c"}));
  Fresh(dir.Path(), ProjektSchema(), t);
  ProjektRow p;
  p.name = "P";
  ASSERT_TRUE(projekt_insert(t, p));
  EXPECT_FALSE(projekt_select(t, p, kNext, "BEZEICH"));
}

TEST(DbSelect, IndexesBuiltFromTheFileKeepTheOrderOfLiveInserts) {
  hvtest::TempDir dir;
  std::vector<wxString> live;
  std::vector<wxString> network;
  {
    Table t;
    Fresh(dir.Path(), GeraetSchema(), t);
    // Names agree in their first eight bytes and beyond, differ in case, repeat, and
    // are prefixes of each other; nodes repeat within a network.
    const char* names[] = {"Pumpstation Nord 2", "PUMPSTATION NORD",   "pumpstation nord 10", "Pumpstation",
                           "Pumpstation Nord 2", "pumpstation nord 1", "Pumpstation S\xC3\xBC" "d", "Pumpe",
                           "PUMPSTATION NORD 2", "Pumpstation Nord"};
    int i = 0;
    for (const char* name : names) {
      GeraetRow g = Device(name, static_cast<std::uint16_t>(3 - i % 3), i % 2 ? "Knoten B" : "Knoten A");
      ASSERT_TRUE(geraet_insert(t, g)) << t.error();
      ++i;
    }
    live = Walk(t, "BEZEICH");
    network = Walk(t, "NETZWERK");
  }
  ASSERT_EQ(live.size(), 10u);
  DropCachedTables();
  Table again;
  ASSERT_TRUE(again.open(dir.Path(), GeraetSchema())) << again.error();
  EXPECT_EQ(Walk(again, "BEZEICH"), live);
  EXPECT_EQ(Walk(again, "NETZWERK"), network);
  // Case is ignored and equal names keep the order they were added in.
  EXPECT_EQ(live[0], "Pumpe");
  EXPECT_EQ(live[1], "Pumpstation");
  EXPECT_EQ(live[2], "PUMPSTATION NORD");
  EXPECT_EQ(live[3], "Pumpstation Nord");
  EXPECT_EQ(live[4], "pumpstation nord 1");
  EXPECT_EQ(live[5], "pumpstation nord 10");
  EXPECT_EQ(live[6], "Pumpstation Nord 2");
  EXPECT_EQ(live[7], "Pumpstation Nord 2");
  EXPECT_EQ(live[8], "PUMPSTATION NORD 2");

  // A scan that changes the record it stands on moves with it and goes on from there.
  GeraetRow g;
  ASSERT_TRUE(geraet_select(again, g, kSeek, "BEZEICH", {S("pumpstation nord 1")}));
  g.name = "Aaa";
  ASSERT_TRUE(geraet_update(again, g)) << again.error();
  ASSERT_TRUE(geraet_select(again, g, kNext, "BEZEICH"));
  EXPECT_EQ(g.name, "Pumpe");
}

TEST(DbSelect, TagFirstUsedAfterChangesSeesThem) {
  hvtest::TempDir dir;
  {
    Table t;
    Fresh(dir.Path(), GeraetSchema(), t);
    for (const char* n : {"d", "b", "a"}) {
      GeraetRow g = Device(n, 2, n);
      ASSERT_TRUE(geraet_insert(t, g));
    }
  }
  DropCachedTables();
  Table t;
  ASSERT_TRUE(t.open(dir.Path(), GeraetSchema())) << t.error();
  // Only the network tag is used before the changes; the name tag is made after them.
  EXPECT_EQ(Walk(t, "NETZWERK"), (std::vector<wxString>{"a", "b", "d"}));
  GeraetRow g = Device("c", 1, "c");
  ASSERT_TRUE(geraet_insert(t, g));
  ASSERT_TRUE(geraet_select(t, g, kSeek, "NETZWERK", {2, "b"}));
  g.name = "e";
  g.node = "e";
  ASSERT_TRUE(geraet_update(t, g));
  ASSERT_TRUE(geraet_select(t, g, kSeek, "NETZWERK", {2, "a"}));
  ASSERT_TRUE(geraet_delete(t));
  EXPECT_EQ(Walk(t, "BEZEICH"), (std::vector<wxString>{"c", "d", "e"}));
  EXPECT_EQ(Walk(t, "NETZWERK"), (std::vector<wxString>{"c", "d", "e"}));
  // A second handle on the same table sees the same order through the index made now.
  Table other;
  ASSERT_TRUE(other.open(dir.Path(), GeraetSchema()));
  EXPECT_EQ(Walk(other, "BEZEICH"), (std::vector<wxString>{"c", "d", "e"}));
  EXPECT_EQ(t.size(), 3u);
  // The number of a record comes without reading its row.
  ASSERT_TRUE(geraet_select(t, g, kSeek, "BEZEICH", {"c"}));
  EXPECT_EQ(t.currentNumber(geraet::NNR), 1);
}
