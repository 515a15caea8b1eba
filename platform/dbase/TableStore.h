#pragma once
// One table file as the process holds it: the file's bytes, the field layout for the
// schema and an ordered index per tag. Every handle on the same file shares one store,
// so a change through one handle is seen by the others and no write is lost. The store
// outlives its handles while the file's device, inode, size and modification time stay
// as they were, so the next open does not read and index the file again.
//
// Stores are used from one thread at a time; only opening and releasing are locked.
// Between programs, every change is made under an advisory lock on the file (fcntl,
// held by the open file description), after the header has been read again: two
// programs adding to one table never write over each other's records.
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>
#include <wx/string.h>

#include "platform/dbase/DbfFormat.h"
#include "platform/dbase/Record.h"
#include "platform/dbase/Schema.h"

namespace hv::db {

struct FileIdentity {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  std::int64_t mtimeNs = 0;
  bool operator==(const FileIdentity&) const = default;
};

class TableStore : public std::enable_shared_from_this<TableStore> {
 public:
  struct Entry {
    std::string key;
    std::uint32_t recno = 0;
  };
  struct EntryLess {
    bool operator()(const Entry& a, const Entry& b) const {
      const int c = a.key.compare(b.key);
      return c < 0 || (c == 0 && a.recno < b.recno);
    }
  };
  using Index = std::set<Entry, EntryLess>;

  // The store of a table file (found ignoring case), read and indexed unless an
  // unchanged copy is at hand. Every successful Open is paired with a Release.
  static std::shared_ptr<TableStore> Open(const wxString& file, const Schema& schema, wxString& error);
  // The same for the schema's file in a folder.
  static std::shared_ptr<TableStore> OpenIn(const wxString& folder, const Schema& schema, wxString& error);
  void Release();
  // Forgets every store that no handle uses (the next open reads the file again).
  static void DropUnused();
  // Forgets the stores of at least `minBytes` that no handle has used for `idleNs`:
  // a large table read for a user action does not stay in memory long after it.
  static void ReleaseIdle(std::size_t minBytes, std::int64_t idleNs);

  const Schema& schema() const { return *m_schema; }
  // The file as it was opened.
  const wxString& path() const { return m_path; }
  const Layout& layout() const { return m_layout; }
  std::uint64_t generation() const { return m_generation; }
  // Changes whenever an index changes: positions in an index stay good until then.
  std::uint64_t indexEpoch() const { return m_indexEpoch; }
  std::uint32_t count() const { return m_header.count; }
  std::uint32_t liveCount() const { return m_live; }
  const char* recordBytes(std::uint32_t recno) const {
    if (recno >= m_header.count) return nullptr;
    return m_image.data() + m_header.headerLength + static_cast<std::size_t>(recno) * m_header.recordLength;
  }
  // Made on first use; positions in it stay good until indexEpoch changes.
  const Index& index(int tag);
  std::string blankRecord() const { return std::string(m_header.recordLength, ' '); }

  // Appends a record (the auto number is set in `bytes`). Record and end mark are
  // written before the header's count, so an interrupted append leaves the old table.
  bool insert(std::string& bytes, std::uint32_t& recno, wxString& error);
  // Rewrites a live record in place; `generation` is the one the caller positioned in.
  bool update(std::uint64_t generation, std::uint32_t recno, std::string& bytes, wxString& error);
  bool erase(std::uint64_t generation, std::uint32_t recno, wxString& error);
  // Drops deleted records through a temporary file and a rename.
  bool pack(wxString& error);
  // Inside a bulk insert the header is written once, at the end; the file stays
  // locked from the first change until then.
  void beginBulk() { ++m_bulk; }
  bool endBulk(wxString& error);

  // How long a change waits for another program's lock before it fails.
  static void SetLockWait(int milliseconds);

  // A session of one command on this thread (sessions nest): a table it changes stays
  // locked from the first change to the end, its header is written once then, and a
  // further open of it checks only that the file is still the same one.
  static void BeginSession();
  static void EndSession();
  // Writes what the session holds back and lets the locks go (before the user is
  // asked something); the next change locks and checks the file again.
  static void PauseSession();
  // Work that scales with the number of changes, counted for tests.
  struct Counts {
    std::uint64_t fileChecks = 0;     // header reads that compare the file with the store
    std::uint64_t locks = 0;          // write locks taken
    std::uint64_t headerWrites = 0;
  };
  static Counts GetCounts();

 private:
  TableStore() = default;
 public:
  ~TableStore();
  TableStore(const TableStore&) = delete;
  TableStore& operator=(const TableStore&) = delete;

 private:
  // Reads the file (under a shared lock unless this store holds the write lock).
  // With keepPositions, records that are unchanged keep the handles' positions.
  static std::shared_ptr<TableStore> Open(const wxString& path, const struct stat& st, const Schema& schema,
                                          wxString& error);
  bool load(int fd, wxString& error, bool keepPositions = false);
  bool buildLayout(const DbfHeader& header, Layout& layout, wxString& error) const;
  void buildIndexes();
  void buildIndex(std::size_t tag);
  // Takes the write lock and brings the store up to what the file holds now.
  bool lockForChange(wxString& error);
  void unlockChange();
  bool syncLocked(wxString& error);
  bool headerMatches();
  // After a failed append: the old end mark and length again.
  void restoreEnd();
  bool writeHeader(const DbfHeader& header, wxString& error);
  void refreshIdentity();
  void indexRecord(std::uint32_t recno, bool add);
  // The header of a change: written now, or kept for the end of a bulk or session.
  bool putHeader(const DbfHeader& header, wxString& error);
  void endSessionLock();

  const Schema* m_schema = nullptr;
  wxString m_path;
  int m_fd = -1;
  bool m_writable = false;
  bool m_broken = false;
  int m_handles = 0;
  std::uint64_t m_lastUse = 0;
  std::int64_t m_releasedAt = 0;   // when the last handle went
  FileIdentity m_id;
  DbfHeader m_header;
  Layout m_layout;
  std::string m_image;   // header and records, without the end mark
  std::vector<Index> m_indexes;
  std::vector<bool> m_indexBuilt;
  std::uint32_t m_live = 0;
  std::uint64_t m_generation = 0;
  std::uint64_t m_indexEpoch = 0;
  int m_bulk = 0;
  int m_lockDepth = 0;
  bool m_bulkLocked = false;
  bool m_sessionLocked = false;   // the lock is held until the session ends
  bool m_headerPending = false;   // m_header is ahead of the file's
  std::uint64_t m_checkedIn = 0;  // the session that compared it with the file last
};

}  // namespace hv::db
