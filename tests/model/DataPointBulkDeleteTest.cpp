// The delete of many data points through the list: the device's tables are locked,
// compared with their files and given a header once for the command, not once a row,
// and a question on the way lets them go while it is open.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <shapefil.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandRouting.h"
#include "app/ListPresenter.h"
#include "framework/CommandIds.h"
#include "framework/SettingsFile.h"
#include "framework/UpdateHints.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/model/DataPointTestSupport.h"
#include "tests/support/FakeList.h"

using namespace dptest;

namespace {

struct DataPointBulkDelete : DataPointFixture {
  hvtest::FakeList list;
  CSettingsFile profile;
  std::unique_ptr<CListPresenter> presenter;
  CommandRoute route;

  void MakePoints(int n) {
    std::vector<PickedDataPoint> picked;
    for (int i = 0; i < n; ++i) picked.push_back(Picked(wxString::Format("9|M|W|81|%d|0|1", i), 8));
    int made = 0;
    ASSERT_TRUE(Make(picked, kDpWizardFinish, [&made](DataPointSheetRequest& s) { s.dp.name = wxString::Format("P%03d", made++); }));
    ASSERT_EQ(Points().size(), static_cast<std::size_t>(n));
  }

  // The folder in the list, every row selected.
  void ListAll() {
    profile.SetPath(home.Sub("Delete.INI"));
    presenter = std::make_unique<CListPresenter>(list, doc, profile);
    presenter->OnInitialUpdate();
    presenter->OnUpdate(&view, HINT_SHOW_OBJECT, folder);
    route.Add([this](UINT id, int code, CCmdUI* cmd, CmdHandlerInfo* probe) { return presenter->OnCmdMsg(id, code, cmd, probe); });
    route.Add(doc);
    route.Execute(ID_EDIT_SELECT_ALL);
  }

  std::vector<std::map<std::string, std::string>> Rows() {
    return ReadDbf(hv::JoinPath(Folder(), wxS("DATPKT.DBF")));
  }
};

// Whether another program would find the file locked for writing.
bool LockedForOthers(const wxString& file) {
  const int fd = ::open(hv::ToFs(file).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    ADD_FAILURE() << "cannot open " << file;
    return false;
  }
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  const bool locked = fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
  ::close(fd);
  return locked;
}

}  // namespace

TEST_F(DataPointBulkDelete, ManyRowsCostTheTablesOneLockOneCheckAndOneHeader) {
  ASSERT_NO_FATAL_FAILURE(MakePoints(40));
  ListAll();
  ASSERT_EQ(presenter->GetRowCount(), 40u);
  const auto before = hv::db::TableStore::GetCounts();
  route.Execute(ID_OBJECT_DELETE);
  const auto after = hv::db::TableStore::GetCounts();
  EXPECT_TRUE(Points().empty());
  EXPECT_TRUE(Rows().empty());
  // DATPKT is changed (one lock, one header); the mask and EEPROM tables are only read.
  EXPECT_EQ(after.locks - before.locks, 1u);
  EXPECT_EQ(after.headerWrites - before.headerWrites, 1u);
  EXPECT_LE(after.fileChecks - before.fileChecks, 3u);
  EXPECT_FALSE(LockedForOthers(hv::JoinPath(Folder(), wxS("DATPKT.DBF"))));
  // The header went out with the command: a fresh read finds the table as it is.
  hv::db::DropCachedTables();
  hv::db::Table t;
  ASSERT_TRUE(t.open(Folder(), hv::db::DatpktSchema()));
  EXPECT_EQ(t.size(), 0u);
}

TEST_F(DataPointBulkDelete, AQuestionOnTheWayLetsTheTablesGoAndAnotherProgramsRowIsKept) {
  ASSERT_NO_FATAL_FAILURE(MakePoints(6));
  const std::vector<CPODirectDataPoint*> points = Points();
  // The fourth row has an EEPROM address: its delete asks first.
  // Made within a session, whose lock the probe of other programs must see.
  {
    hv::db::TableSession session;
    hv::db::Table eep;
    ASSERT_TRUE(eep.open(Folder(), hv::db::EepromSchema()));
    hv::db::EepromRow e;
    e.dataPoint = points[3]->GetId();
    ASSERT_TRUE(eep.insert(e));
    EXPECT_TRUE(LockedForOthers(hv::JoinPath(Folder(), wxS("EEPROM.DBF"))));
  }
  ListAll();
  const wxString datpkt = hv::JoinPath(Folder(), wxS("DATPKT.DBF"));
  std::vector<bool> lockedWhileAsked;
  std::size_t rowsSeenWhileAsked = 0;
  hv::Ui().SetMessageHandler([&](UINT id, const wxString&, UINT) {
    lockedWhileAsked.push_back(LockedForOthers(datpkt));
    // The rows deleted so far are in the file for everyone.
    rowsSeenWhileAsked = Rows().size();
    // Another program adds a row meanwhile.
    if (id == 11523) {
      DBFHandle h = DBFOpen(hv::ToFs(datpkt).c_str(), "rb+");
      if (h) {
        const int rec = DBFGetRecordCount(h);
        DBFWriteIntegerAttribute(h, rec, DBFGetFieldIndex(h, "ID"), 900);
        DBFWriteStringAttribute(h, rec, DBFGetFieldIndex(h, "BEZEICH"), "theirs");
        DBFWriteIntegerAttribute(h, rec, DBFGetFieldIndex(h, "GNR"), 99);
        DBFClose(h);
      }
    }
    return static_cast<int>(IDYES);
  });
  route.Execute(ID_OBJECT_DELETE);
  ASSERT_EQ(lockedWhileAsked, std::vector<bool>{false});
  EXPECT_EQ(rowsSeenWhileAsked, 3u);
  EXPECT_TRUE(Points().empty());
  // The rows after the question were deleted in the table as the other program left it.
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].at("BEZEICH"), "theirs");
}
