#include "platform/dbase/Table.h"

#include "platform/Paths.h"
#include "platform/dbase/DbfFormat.h"
#include "platform/dbase/TableStore.h"

namespace hv::db {

void DropCachedTables() { TableStore::DropUnused(); }

void SetTableLockWait(int milliseconds) { TableStore::SetLockWait(milliseconds); }

bool CreateTable(const wxString& file, const Schema& schema, std::size_t rows,
                 const std::function<void(std::size_t, Record&)>& fill, wxString* error) {
  DbfHeader header;
  Layout layout;
  for (const FieldDef& f : schema.fields) {
    DbfField d;
    d.name = f.name;
    d.type = f.kind == FieldKind::Number ? 'N' : 'C';
    d.width = f.width;
    header.fields.push_back(d);
  }
  TodayDate(header.date);
  header.count = static_cast<std::uint32_t>(rows);
  std::string bytes = BuildDbfHeader(header);
  for (std::size_t i = 0; i < schema.fields.size(); ++i)
    layout.slots.push_back({static_cast<std::int32_t>(header.fields[i].offset), header.fields[i].width,
                            schema.fields[i].kind});
  layout.recordLength = header.recordLength;
  for (std::size_t r = 0; r < rows; ++r) {
    std::string rec(header.recordLength, ' ');
    Record view(rec.data(), layout);
    if (fill) fill(r, view);
    if (!view.ok()) {
      if (error) *error = "a value cannot be stored";
      return false;
    }
    bytes += rec;
  }
  bytes.push_back(kEndOfFile);
  return WriteFileAtomic(file, bytes, error);
}

Table::Table(Table&& other) noexcept { moveFrom(other); }

Table& Table::operator=(Table&& other) noexcept {
  if (this != &other) {
    close();
    moveFrom(other);
  }
  return *this;
}

void Table::moveFrom(Table& other) {
  m_store = std::move(other.m_store);
  m_schema = other.m_schema;
  m_error = std::move(other.m_error);
  m_positioned = other.m_positioned;
  m_tag = other.m_tag;
  m_key = std::move(other.m_key);
  m_recno = other.m_recno;
  m_generation = other.m_generation;
  m_at = other.m_at;
  m_atEpoch = other.m_atEpoch;
  m_bulk = other.m_bulk;
  other.m_store.reset();
  other.m_schema = nullptr;
  other.m_positioned = false;
  other.m_bulk = 0;
}

bool Table::open(const wxString& folder, const Schema& schema) {
  close();
  m_error.clear();
  m_store = TableStore::OpenIn(folder, schema, m_error);
  if (!m_store) return refused(JoinPath(folder, wxString::FromUTF8(schema.FileName().c_str())));
  m_schema = &schema;
  return true;
}

bool Table::openFile(const wxString& file, const Schema& schema) {
  close();
  m_error.clear();
  m_store = TableStore::Open(file, schema, m_error);
  if (!m_store) return refused(file);
  m_schema = &schema;
  return true;
}

void Table::close() {
  if (!m_store) return;
  while (m_bulk > 0) endBulk();
  m_store->Release();
  m_store.reset();
  m_schema = nullptr;
  // A handle may be opened again on another table: nothing of this one may stay.
  m_positioned = false;
  m_tag = -1;
  m_key.clear();
  m_recno = 0;
  m_generation = 0;
  m_atEpoch = 0;
}

std::uint32_t Table::size() const { return m_store ? m_store->liveCount() : 0; }

const Layout& Table::layout() const { return m_store->layout(); }

bool Table::fits(RowKind kind) const { return m_schema && m_schema->rowKind == kind; }

bool Table::fail(const wxString& why) {
  m_error = why;
  return false;
}

bool Table::refused(const wxString& file) {
  m_error = wxString::Format("%s: %s", file, m_error);
  return false;
}

bool Table::positionedHere() const {
  return m_store && m_positioned && m_generation == m_store->generation();
}

const char* Table::currentBytes() const {
  if (!positionedHere()) return nullptr;
  const char* bytes = m_store->recordBytes(m_recno);
  return bytes && bytes[0] != '*' ? bytes : nullptr;
}

bool Table::hasCurrent() const { return currentBytes() != nullptr; }

bool Table::selectRecord(std::uint32_t recno) {
  if (!m_store) return fail("table not open");
  m_positioned = false;
  if (recno >= m_store->count() || m_store->recordBytes(recno)[0] == '*') return false;
  m_tag = -1;
  m_recno = recno;
  m_positioned = true;
  m_generation = m_store->generation();
  return true;
}

std::int64_t Table::currentNumber(int field) const {
  const char* bytes = currentBytes();
  return bytes ? Record(bytes, layout()).number(field) : 0;
}

bool Table::select(std::string_view tag, int mode, const Key& key) {
  if (!m_store) return fail("table not open");
  const Schema& s = *m_schema;
  int t = -1;
  if (!tag.empty()) {
    t = s.FindTag(tag);
    if (t < 0) return fail(wxString::Format("unknown tag %s", wxString::FromUTF8(tag.data(), tag.size())));
  }
  const bool wasHere = positionedHere();
  m_positioned = false;

  if (t < 0) {
    // The records' own order.
    std::uint32_t r;
    if (mode == kFirst) r = 0;
    else if (mode == kNext && wasHere) r = m_recno + 1;
    else return mode == kNext ? false : fail("the records' own order has no key");
    for (; r < m_store->count(); ++r)
      if (m_store->recordBytes(r)[0] != '*') {
        m_tag = -1;
        m_recno = r;
        m_positioned = true;
        m_generation = m_store->generation();
        return true;
      }
    return false;
  }

  const TableStore::Index& index = m_store->index(t);
  TableStore::Index::const_iterator it;
  switch (mode) {
    case kFirst:
      it = index.begin();
      break;
    case kNext: {
      if (!wasHere) return false;
      if (m_tag == t && m_atEpoch != 0 && m_atEpoch == m_store->indexEpoch()) {
        it = std::next(m_at);
        break;
      }
      std::string from = m_key;
      if (m_tag != t) RecordKey(s, s.tags[static_cast<std::size_t>(t)],
                                Record(m_store->recordBytes(m_recno), layout()), from, false);
      it = index.upper_bound(TableStore::Entry{std::move(from), m_recno});
      break;
    }
    case kSeek:
    case kSoftSeek: {
      std::string wanted;
      if (!EncodeKey(s, layout(), s.tags[static_cast<std::size_t>(t)], key, wanted)) return fail("key does not fit the tag");
      it = index.lower_bound(TableStore::Entry{wanted, 0});
      if (mode == kSeek && it != index.end() && it->key.compare(0, wanted.size(), wanted) != 0) it = index.end();
      break;
    }
    default:
      return fail(wxString::Format("unknown select mode %d", mode));
  }
  if (it == index.end()) return false;
  m_tag = t;
  m_at = it;
  m_atEpoch = m_store->indexEpoch();
  m_key = it->key;
  m_recno = it->recno;
  m_positioned = true;
  m_generation = m_store->generation();
  return true;
}

bool Table::prepare(RowKind kind, std::string& bytes, bool fromCurrent) {
  if (!m_store) return fail("table not open");
  if (!fits(kind)) return fail("the row does not belong to this table");
  if (!fromCurrent) {
    bytes = m_store->blankRecord();
    return true;
  }
  const char* cur = currentBytes();
  if (!cur) return fail("no current record");
  bytes.assign(cur, layout().recordLength);
  return true;
}

bool Table::checked(const Record& rec) {
  if (rec.ok()) return true;
  const FieldDef& f = m_schema->fields[static_cast<std::size_t>(rec.failedField())];
  return fail(wxString::Format("value of field %s cannot be stored", f.name));
}

bool Table::insertBytes(std::string& bytes) {
  std::uint32_t recno = 0;
  if (!m_store->insert(bytes, recno, m_error)) return refused(m_store->path());
  m_recno = recno;
  m_positioned = true;
  m_generation = m_store->generation();
  if (m_tag >= 0) {
    const Record rec(m_store->recordBytes(recno), layout());
    RecordKey(*m_schema, m_schema->tags[static_cast<std::size_t>(m_tag)], rec, m_key, false);
  }
  return true;
}

bool Table::updateBytes(std::string& bytes) {
  if (!m_store->update(m_generation, m_recno, bytes, m_error)) return refused(m_store->path());
  // The record moves in the index; the position moves with it.
  if (m_tag >= 0) {
    const Record rec(m_store->recordBytes(m_recno), layout());
    RecordKey(*m_schema, m_schema->tags[static_cast<std::size_t>(m_tag)], rec, m_key, false);
  }
  return true;
}

bool Table::eraseCurrent() {
  if (!m_store) return fail("table not open");
  if (!currentBytes()) return fail("no current record");
  // The position stays, so kNext goes on with the record after the erased one.
  return m_store->erase(m_generation, m_recno, m_error) || refused(m_store->path());
}

bool Table::pack() {
  if (!m_store) return fail("table not open");
  m_positioned = false;
  return m_store->pack(m_error) || refused(m_store->path());
}

void Table::beginBulk() {
  if (!m_store) return;
  ++m_bulk;
  m_store->beginBulk();
}

bool Table::endBulk() {
  if (!m_store || m_bulk == 0) return true;
  --m_bulk;
  return m_store->endBulk(m_error) || refused(m_store->path());
}

}  // namespace hv::db
