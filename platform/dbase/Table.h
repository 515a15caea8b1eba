#pragma once
// A handle on one table: opened for an operation, closed when it goes out of scope.
// Handles on the same file share its contents and indexes, each with its own
// position.
//
//   Table t;
//   if (!t.open(deviceFolder, DatpktSchema())) return FALSE;
//   DatpktRow row;
//   for (bool ok = t.select("GNR", kSeek, {device}); ok; ok = t.select("GNR", kNext))
//     if (t.current(row) && row.device == device) ...
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <wx/string.h>

#include "platform/dbase/Key.h"
#include "platform/dbase/Record.h"
#include "platform/dbase/Schema.h"
#include "platform/dbase/TableStore.h"

namespace hv::db {

// Select modes.
enum : int {
  kNext = 0,       // the next record in the tag's order, whatever the key
  kSeek = 2,       // the first record whose given key components are equal
  kFirst = 3,      // the first record in the tag's order
  kSoftSeek = 5,   // the first record whose key is not below the given one
};

class Table {
 public:
  Table() = default;
  ~Table() { close(); }
  Table(Table&& other) noexcept;
  Table& operator=(Table&& other) noexcept;
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // Opens "<folder>/<NAME>.DBF" (any case of the existing names).
  bool open(const wxString& folder, const Schema& schema);
  bool openFile(const wxString& file, const Schema& schema);
  void close();
  bool isOpen() const { return m_store != nullptr; }
  const Schema* schema() const { return m_schema; }
  // Why the last operation failed (for logs; callers report their own messages). An open
  // or a change that the file refused names the file.
  const wxString& error() const { return m_error; }
  // Records that are not deleted.
  std::uint32_t size() const;
  // All records, deleted ones included: the bound of selectRecord.
  std::uint32_t recordCount() const { return m_store ? m_store->count() : 0; }
  // Has the processor fetch a record that is read shortly (a walk over many records
  // waits on memory otherwise); nothing happens for one out of range.
  void prefetchRecord(std::uint32_t recno) const {
    const char* bytes = m_store ? m_store->recordBytes(recno) : nullptr;
    if (!bytes) return;
    const std::size_t length = m_store->layout().recordLength;
    for (std::size_t line = 0; line < length; line += 64) __builtin_prefetch(bytes + line);
  }

  // Positions on a record; an empty tag means the records' own order (modes 0 and 3
  // only). False when nothing is found; the handle then has no current record.
  bool select(std::string_view tag, int mode, const Key& key = {});
  bool hasCurrent() const;
  // Positions on the record with this number in the records' own order; false for one
  // that is deleted or beyond the end. Readers that found the numbers in one pass use it.
  bool selectRecord(std::uint32_t recno);
  // The current record's number; meaningful after a select that found one.
  std::uint32_t currentRecord() const { return m_recno; }
  // A number field of the current record, without reading the whole row; 0 without one.
  std::int64_t currentNumber(int field) const;

  template <class Row>
  bool current(Row& row) const {
    const char* bytes = currentBytes();
    if (!bytes || !fits(Row::kRowKind)) return false;
    row.read(Record(bytes, layout()));
    return true;
  }

  // Appends a row; the table's numbers and the stored texts are written back into it
  // and the new record becomes current. Nothing is written when a value cannot be
  // stored (a narrow text outside Windows-1252, a number wider than its field).
  template <class Row>
  bool insert(Row& row) {
    std::string bytes;
    if (!prepare(Row::kRowKind, bytes, false)) return false;
    Record rec(bytes.data(), layout());
    row.write(rec);
    if (!checked(rec)) return false;
    if (!insertBytes(bytes)) return false;
    row.read(Record(currentBytes(), layout()));
    return true;
  }

  // Rewrites the current record; fields the file has beyond the schema are kept and
  // the record's own number never changes.
  template <class Row>
  bool update(const Row& row) {
    std::string bytes;
    if (!prepare(Row::kRowKind, bytes, true)) return false;
    Record rec(bytes.data(), layout());
    row.write(rec);
    if (!checked(rec)) return false;
    return updateBytes(bytes);
  }

  bool eraseCurrent();
  // Removes deleted records from the file (through a temporary file); positions of
  // every handle on the table are lost.
  bool pack();
  // Between these the header is written once, at the end (also on close).
  void beginBulk();
  bool endBulk();

 private:
  const Layout& layout() const;
  bool fits(RowKind kind) const;
  const char* currentBytes() const;
  bool prepare(RowKind kind, std::string& bytes, bool fromCurrent);
  bool checked(const Record& rec);
  bool insertBytes(std::string& bytes);
  bool updateBytes(std::string& bytes);
  bool fail(const wxString& why);
  // The file's refusal: the store's reason after the file's name.
  bool refused(const wxString& file);
  bool positionedHere() const;
  void moveFrom(Table& other);

  std::shared_ptr<TableStore> m_store;
  const Schema* m_schema = nullptr;
  wxString m_error;
  bool m_positioned = false;
  int m_tag = -1;               // -1: the records' own order
  std::string m_key;            // key of the position under m_tag
  std::uint32_t m_recno = 0;
  std::uint64_t m_generation = 0;
  // Where the position is in its tag's index, while that index is unchanged: the next
  // record of a scan is then one step, not a search.
  TableStore::Index::const_iterator m_at;
  std::uint64_t m_atEpoch = 0;
  int m_bulk = 0;
};

// One command's work on tables (many rows deleted or changed): a table it changes is
// locked from the first change to the end of the session and its header written once
// then; opening the table again within it checks only that the file is still the
// same. Records are written as they change, so a failure midway leaves each record
// whole. Sessions nest; asking the user something pauses them (see PauseTableSession).
class TableSession {
 public:
  TableSession() { TableStore::BeginSession(); }
  ~TableSession() { TableStore::EndSession(); }
  TableSession(const TableSession&) = delete;
  TableSession& operator=(const TableSession&) = delete;
};

// Writes the session's headers and lets its locks go: no other program waits on a
// table while a question is open.
inline void PauseTableSession() { TableStore::PauseSession(); }

// Forgets cached tables that no handle uses, so the next open reads the file again.
void DropCachedTables();

// How long a change waits while another program holds the table (10 s unless set).
void SetTableLockWait(int milliseconds);

// Writes a new table file (through a temporary file) with `rows` records, each filled
// by `fill`. An existing file of that name is replaced; callers check first.
bool CreateTable(const wxString& file, const Schema& schema, std::size_t rows = 0,
                 const std::function<void(std::size_t, Record&)>& fill = nullptr, wxString* error = nullptr);

}  // namespace hv::db
