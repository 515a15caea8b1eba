// Two programs on one device table, and writes that fail: nothing stored is lost, a
// failure is shown, and the table stays whole for every reader.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <set>

#include "model/DirectDataPoint.h"
#include "platform/Archive.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DataPointTestSupport.h"
#include "tests/support/ForkedChild.h"

using namespace dptest;

namespace {

wxString DatpktFile(const wxString& folder) { return hv::ResolvePath(hv::JoinPath(folder, wxS("DATPKT.DBF"))); }

std::vector<PickedDataPoint> Picks(int n) {
  std::vector<PickedDataPoint> picked;
  for (int i = 0; i < n; ++i) picked.push_back(Picked(wxString::Format("8|M|W|%d|0|0|1", 100 + i), 8));
  return picked;
}

// The table as another reader sees it: count from the header, and the end mark where
// the count says the records end.
struct TableShape {
  std::uint32_t count = 0;
  bool endMark = false;
};

TableShape Shape(const wxString& file) {
  const std::string b = hvtest::ReadAll(file);
  TableShape s;
  if (b.size() < 32) return s;
  auto u16 = [&](std::size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(b[at])) | static_cast<unsigned>(static_cast<unsigned char>(b[at + 1])) << 8; };
  std::memcpy(&s.count, b.data() + 4, 4);
  const std::size_t end = u16(8) + static_cast<std::size_t>(s.count) * u16(10);
  s.endMark = end < b.size() && b[end] == 0x1A;
  return s;
}

}  // namespace

TEST_F(DataPointFixture, TwoProgramsAddingDataPointsLoseNoRow) {
  ASSERT_NE(folder, nullptr);
  const wxString file = DatpktFile(Folder());
  const std::size_t before = ReadDbf(file).size();
  ui.AllowAnyMessage();
  auto writer = [this] { return Make(Picks(1000), kDpAcceptAll) ? 0 : 2; };
  const pid_t a = hvtest::StartChild(writer);
  const pid_t b = hvtest::StartChild(writer);
  EXPECT_EQ(hvtest::WaitChild(a), 0);
  EXPECT_EQ(hvtest::WaitChild(b), 0);
  const auto rows = ReadDbf(file);
  ASSERT_EQ(rows.size(), before + 2000);
  std::set<std::string> ids;
  for (const auto& r : rows) ids.insert(r.at("ID"));
  EXPECT_EQ(ids.size(), rows.size()) << "a number was given twice";
  EXPECT_TRUE(Shape(file).endMark);
}

TEST_F(DataPointFixture, WriterThatCannotGetTheTableSaysSo) {
  ASSERT_NE(folder, nullptr);
  const wxString file = DatpktFile(Folder());
  const std::size_t before = ReadDbf(file).size();
  // Another program holds the table.
  const int fd = open(hv::ToFs(file).c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  struct flock fl{};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  ASSERT_EQ(fcntl(fd, F_OFD_SETLK, &fl), 0);
  hv::db::SetTableLockWait(200);
  ui.AllowAnyMessage();
  EXPECT_FALSE(Make(Picks(1), kDpAcceptAll));
  // With the table already read, the insert is what waits.
  hv::db::Table reader;
  close(fd);
  ASSERT_TRUE(reader.open(Folder(), hv::db::DatpktSchema()));
  const int again = open(hv::ToFs(file).c_str(), O_RDWR);
  ASSERT_EQ(fcntl(again, F_OFD_SETLK, &fl), 0);
  EXPECT_FALSE(Make(Picks(1), kDpAcceptAll));
  hv::db::SetTableLockWait(10000);
  close(again);
  reader.close();
  ASSERT_EQ(ui.MessageIds(), (std::vector<UINT>{11963, 11960}));
  // Each says which file is held and why.
  for (const wxString& text : ui.MessageTexts()) {
    EXPECT_TRUE(text.Contains("locked by another program")) << text;
    EXPECT_TRUE(text.Contains(file)) << text;
  }
  EXPECT_EQ(ReadDbf(file).size(), before);
  EXPECT_TRUE(Points().empty());
}

TEST_F(DataPointFixture, FullDiskStopsDataPointsWithAMessageAndKeepsTheTableWhole) {
  ASSERT_NE(folder, nullptr);
  const wxString file = DatpktFile(Folder());
  struct stat st;
  ASSERT_EQ(stat(hv::ToFs(file).c_str(), &st), 0);
  const std::size_t before = ReadDbf(file).size();
  ui.ExpectMessage(11960);
  BOOL made = FALSE;
  {
    // Room for a few records, the next one breaks midway.
    hvtest::FileSizeLimit limit(static_cast<unsigned long>(st.st_size) + 3000);
    made = Make(Picks(40), kDpAcceptAll);
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  // The message names the file that found no room and the reason.
  ASSERT_EQ(ui.MessageTexts().size(), 1u);
  EXPECT_TRUE(ui.MessageTexts().front().Contains(file + ": cannot write the record")) << ui.MessageTexts().front();
  const std::size_t shown = Points().size();
  EXPECT_LT(shown, 40u);
  EXPECT_EQ(made, shown > 0 ? TRUE : FALSE);
  // Every point shown is stored, nothing else; the end mark follows the last record.
  EXPECT_EQ(ReadDbf(file).size(), before + shown);
  const TableShape shape = Shape(file);
  EXPECT_EQ(shape.count, before + shown);
  EXPECT_TRUE(shape.endMark);
}

TEST_F(DataPointFixture, WriteIntoARemovedOrReplacedTableIsReported) {
  ASSERT_NE(folder, nullptr);
  const wxString file = DatpktFile(Folder());
  const std::string original = hvtest::ReadAll(file);
  for (int replaced = 0; replaced < 2; ++replaced) {
    SCOPED_TRACE(replaced ? "replaced by a copy" : "removed");
    hv::db::Table t;
    ASSERT_TRUE(t.open(Folder(), hv::db::DatpktSchema()));
    if (replaced) {
      ASSERT_TRUE(hv::WriteFileAtomic(file, original));
    } else {
      ASSERT_EQ(unlink(hv::ToFs(file).c_str()), 0);
      ASSERT_EQ(mkdir(hv::ToFs(file).c_str(), 0755), 0);
    }
    hv::db::DatpktRow row;
    row.name = wxS("Lost");
    row.device = 1;
    EXPECT_FALSE(hv::db::datpkt_insert(t, row));
    EXPECT_TRUE(t.error().Contains("removed or replaced")) << t.error();
    t.close();
    if (!replaced) {
      rmdir(hv::ToFs(file).c_str());
      hvtest::WriteAll(file, original);
    }
    EXPECT_EQ(hvtest::ReadAll(file), original);
  }
}

TEST_F(DataPointFixture, ReadOnlyTableIsReportedAndKeptAsItWas) {
  ASSERT_NE(folder, nullptr);
  const wxString file = DatpktFile(Folder());
  const std::string before = hvtest::ReadAll(file);
  const std::string path = hv::ToFs(file);
  // In a child, where the file's rights hold even for root.
  const int status = hvtest::RunChild([&] {
    hvtest::DropFileRights();
    chmod(path.c_str(), 0444);
    ui.ExpectMessage(11960);
    const BOOL made = Make(Picks(2), kDpAcceptAll);
    return !made && ui.AllExpectationsMet() && Points().empty() ? 0 : 3;
  });
  chmod(path.c_str(), 0644);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(hvtest::ReadAll(file), before);
}

TEST_F(DataPointFixture, FullDiskDuringADeviceSaveChangesNothing) {
  ASSERT_NE(device, nullptr);
  const wxString settings = hv::JoinPath(Folder(), "DEVICE.SET");
  const std::string before = hvtest::ReadAll(settings);
  const std::string rows = hvtest::ReadAll(hv::JoinPath(Folder(), "GERAET.DBF"));
  AnswerSheet([](CPOPrjDevice& d) { d.SetNode("M7"); d.SetSlot("CAN_1"); }, IDOK);
  ui.AllowAnyMessage(IDNO);
  {
    hvtest::FileSizeLimit limit(100);
    device->OnEdit();
  }
  EXPECT_TRUE(ui.Saw(11202)) << "the failed save is shown";
  EXPECT_EQ(hvtest::ReadAll(settings), before);
  EXPECT_EQ(hvtest::ReadAll(hv::JoinPath(Folder(), "GERAET.DBF")), rows);
  for (const wxString& entry : hv::ListFolder(Folder())) EXPECT_FALSE(entry.StartsWith(".")) << entry;
}

// A pasted point that finds no room says so, and the table keeps what it had.
TEST_F(DataPointFixture, PasteOnAFullDiskSaysWhyAndStoresNothing) {
  ASSERT_TRUE(Make(Picks(1), kDpAcceptAll));
  ASSERT_EQ(Points().size(), 1u);
  CProjectObject* source = Points()[0];
  hv::Archive out;
  source->Serialize(out);
  ASSERT_TRUE(source->WriteToClipboard(out));
  const wxString file = DatpktFile(Folder());
  const std::string before = hvtest::ReadAll(file);
  struct stat st;
  ASSERT_EQ(stat(hv::ToFs(file).c_str(), &st), 0);
  hv::Archive in(out.Bytes());
  auto pasted = std::make_unique<CPODirectDataPoint>(folder, device);
  pasted->Serialize(in);
  CProjectObject* added = folder->AddChild(std::move(pasted));
  ASSERT_TRUE(added);
  ui.ExpectMessage(11960);
  {
    hvtest::FileSizeLimit limit(static_cast<unsigned long>(st.st_size));
    EXPECT_FALSE(added->ReadFromClipboard(in, folder));
  }
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(hvtest::ReadAll(file), before);
}
