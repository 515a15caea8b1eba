#include "platform/dbase/TableStore.h"

#include "platform/HeapTrim.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <utility>

#include "platform/Codec.h"
#include "platform/FileSteps.h"
#include "platform/Paths.h"
#include "platform/dbase/Key.h"

namespace hv::db {
namespace {

// Stores no handle uses are kept for reuse, up to this many.
constexpr std::size_t kKeptUnused = 32;
std::atomic<int> g_lockWaitMs{10000};

std::int64_t Now() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Cache {
  std::mutex mutex;
  std::map<std::pair<dev_t, ino_t>, std::shared_ptr<TableStore>> stores;
  std::uint64_t clock = 0;
};

// The command session of this thread and the stores it holds locked.
struct Session {
  int depth = 0;
  std::uint64_t serial = 0;   // unique over all threads' sessions
  std::vector<std::shared_ptr<TableStore>> locked;
  // The file of each table opened in the session by folder, as found then.
  struct Where {
    wxString folder;
    const Schema* schema;
    bool operator==(const Where& o) const { return schema == o.schema && folder == o.folder; }
  };
  struct WhereHash {
    std::size_t operator()(const Where& w) const {
      return std::hash<std::wstring_view>()(std::wstring_view(w.folder.wx_str(), w.folder.length())) ^
             std::hash<const void*>()(w.schema);
    }
  };
  struct Found {
    wxString path;
    std::string fsPath;
    std::shared_ptr<TableStore> store;
  };
  std::unordered_map<Where, Found, WhereHash> files;
};
thread_local Session t_session;

std::atomic<std::uint64_t> g_fileChecks{0}, g_locks{0}, g_headerWrites{0}, g_sessions{0};

Cache& TheCache() {
  static Cache* cache = new Cache;   // never destroyed: stores may be released at exit
  return *cache;
}

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.dev = st.st_dev;
  id.ino = st.st_ino;
  id.size = st.st_size;
  id.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

wxString SysError(const char* what) {
  return wxString::Format("%s: %s", what, FromUtf8(std::strerror(errno)));
}

bool WriteAt(int fd, const char* data, std::size_t n, off_t at) {
  FileStep();
  while (n > 0) {
    const ssize_t w = pwrite(fd, data, n, at);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += w;
    n -= static_cast<std::size_t>(w);
    at += w;
  }
  return true;
}

bool ReadAll(int fd, std::string& out, std::size_t size) {
  out.resize(size);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t r = pread(fd, out.data() + done, size - done, static_cast<off_t>(done));
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) break;
    done += static_cast<std::size_t>(r);
  }
  out.resize(done);
  return true;
}

// An advisory lock on the whole file, held by the open file description (closing
// another descriptor of the same file does not drop it). Waits a bounded time.
bool LockFile(int fd, short type) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(g_lockWaitMs.load());
  int pauseMs = 1;
  for (;;) {
    if (fcntl(fd, F_OFD_SETLK, &fl) == 0) return true;
    if (errno != EAGAIN && errno != EACCES && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) {
      errno = EWOULDBLOCK;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    pauseMs = std::min(pauseMs * 2, 20);
  }
}

void UnlockFile(int fd) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = F_UNLCK;
  fl.l_whence = SEEK_SET;
  fcntl(fd, F_OFD_SETLK, &fl);
}

wxString LockError() {
  if (errno == EWOULDBLOCK) return "the table is locked by another program";
  return SysError("cannot lock the table");
}

// Opens for writing where allowed, else for reading.
int OpenFd(const wxString& path, bool& writable) {
  const std::string fs = ToFs(path);
  int fd = ::open(fs.c_str(), O_RDWR | O_CLOEXEC);
  writable = fd >= 0;
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == ETXTBSY)) fd = ::open(fs.c_str(), O_RDONLY | O_CLOEXEC);
  return fd;
}

// Finds the file as spelled, else ignoring case.
bool StatTable(wxString& path, struct stat& st) {
  if (stat(ToFs(path).c_str(), &st) == 0) return true;
  if (errno != ENOENT && errno != ENOTDIR) return false;
  const wxString resolved = ResolvePath(path);
  if (resolved == path) return false;
  path = resolved;
  return stat(ToFs(path).c_str(), &st) == 0;
}

// A tag's key while the indexes are built: its first eight bytes, where the rest is.
struct Pending {
  std::uint64_t head;
  std::uint32_t recno;
  std::uint32_t at;
  std::uint32_t length;
};

// Stable least-significant-byte-first radix sort on the heads; bytes that every
// entry shares cost no pass.
void SortByHead(std::vector<Pending>& v) {
  std::vector<std::array<std::uint32_t, 256>> counts(8);
  for (auto& c : counts) c.fill(0);
  for (const Pending& p : v)
    for (int b = 0; b < 8; ++b) ++counts[static_cast<std::size_t>(b)][(p.head >> (8 * b)) & 0xFF];
  std::vector<Pending> out(v.size());
  for (int b = 0; b < 8; ++b) {
    std::array<std::uint32_t, 256>& c = counts[static_cast<std::size_t>(b)];
    if (std::find(c.begin(), c.end(), static_cast<std::uint32_t>(v.size())) != c.end()) continue;
    std::uint32_t at = 0;
    for (std::uint32_t& n : c) at += std::exchange(n, at);
    for (const Pending& p : v) out[c[(p.head >> (8 * b)) & 0xFF]++] = p;
    v.swap(out);
  }
}

}  // namespace

TableStore::~TableStore() {
  if (m_fd >= 0) ::close(m_fd);
}

std::shared_ptr<TableStore> TableStore::Open(const wxString& file, const Schema& schema, wxString& error) {
  wxString path = NormalizePath(file);
  struct stat st;
  if (!StatTable(path, st)) {
    error = SysError("cannot open the table");
    return nullptr;
  }
  return Open(path, st, schema, error);
}

std::shared_ptr<TableStore> TableStore::OpenIn(const wxString& folder, const Schema& schema, wxString& error) {
  Session& session = t_session;
  struct stat st;
  if (session.depth > 0) {
    // Opened before in this session: the name is not worked out again, and while the
    // file still has its name (a file removed or renamed over has no link left) its
    // descriptor tells what the name would.
    const auto known = session.files.find({folder, &schema});
    if (known != session.files.end()) {
      Session::Found& f = known->second;
      const bool linked = f.store && f.store->m_fd >= 0 && fstat(f.store->m_fd, &st) == 0 && st.st_nlink == 1;
      if (linked || stat(f.fsPath.c_str(), &st) == 0) {
        auto store = Open(f.path, st, schema, error);
        f.store = store;
        return store;
      }
    }
  }
  wxString path = NormalizePath(JoinPath(folder, wxString::FromUTF8(schema.FileName().c_str())));
  if (!StatTable(path, st)) {
    error = SysError("cannot open the table");
    return nullptr;
  }
  auto store = Open(path, st, schema, error);
  if (session.depth > 0) session.files[{folder, &schema}] = {path, ToFs(path), store};
  return store;
}

std::shared_ptr<TableStore> TableStore::Open(const wxString& path, const struct stat& st, const Schema& schema,
                                             wxString& error) {
  if (!S_ISREG(st.st_mode)) {
    error = "not a table file";
    return nullptr;
  }
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  // The store kept for a file, when it can serve this schema.
  auto usable = [&](const FileIdentity& id, std::shared_ptr<TableStore>& store) {
    store.reset();
    const auto it = cache.stores.find({id.dev, id.ino});
    if (it == cache.stores.end()) return true;
    if (it->second->m_schema != &schema && it->second->m_handles > 0) {
      error = "the table is open as another table";
      return false;
    }
    if (it->second->m_schema != &schema || it->second->m_broken) {
      // A store going must not keep the file locked against its successor.
      it->second->endSessionLock();
      cache.stores.erase(it);
    } else {
      store = it->second;
    }
    return true;
  };

  FileIdentity id = IdentityOf(st);
  std::shared_ptr<TableStore> store;
  if (!usable(id, store)) return nullptr;
  // An unchanged file whose store is at hand costs the stat above and a look at its
  // header (another program's change in the same clock tick leaves size and time).
  // A store this thread's session holds locked is the file's contents: no other
  // program has written since, and the stat found the same file under the name.
  const bool locked = store && store->m_sessionLocked && store->m_fd >= 0;
  // One whose header the session has compared already is taken while name, size and
  // time stay as they were.
  const std::uint64_t session = t_session.depth > 0 ? t_session.serial : 0;
  const bool checked = store && session != 0 && store->m_checkedIn == session && store->m_id == id && store->m_fd >= 0;
  if (!locked && !checked && (!store || store->m_id != id || store->m_fd < 0 || !store->headerMatches())) {
    bool writable = false;
    const int fd = OpenFd(path, writable);
    struct stat fst;
    if (fd < 0 || fstat(fd, &fst) != 0 || !S_ISREG(fst.st_mode)) {
      error = fd < 0 ? SysError("cannot open the table") : wxString("not a table file");
      if (fd >= 0) ::close(fd);
      return nullptr;
    }
    // What the descriptor sees decides (the name may have been replaced meanwhile).
    id = IdentityOf(fst);
    if (!usable(id, store)) {
      ::close(fd);
      return nullptr;
    }
    if (store && store->m_id == id && store->m_fd >= 0 && store->headerMatches()) {
      ::close(fd);
    } else if (store) {
      // Changed by someone else: read it again. Handles positioned in the old
      // contents see the new generation and lose their position.
      if (store->m_fd >= 0) ::close(store->m_fd);
      store->m_fd = fd;
      store->m_writable = writable;
      if (!store->load(fd, error)) {
        store->m_broken = true;
        cache.stores.erase({id.dev, id.ino});
        return nullptr;
      }
    } else {
      store.reset(new TableStore);
      store->m_schema = &schema;
      store->m_fd = fd;
      store->m_writable = writable;
      if (!store->load(fd, error)) return nullptr;
      cache.stores[{id.dev, id.ino}] = store;
    }
  }
  if (store->m_path != path) store->m_path = path;
  store->m_checkedIn = session;
  ++store->m_handles;
  store->m_lastUse = ++cache.clock;
  return store;
}

void TableStore::Release() {
  if (m_handles == 1 && m_bulk > 0) {
    m_bulk = 1;
    wxString ignored;
    endBulk(ignored);
  }
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  if (--m_handles > 0) return;
  m_lastUse = ++cache.clock;
  m_releasedAt = Now();
  // Keep the most recently used stores (and their descriptors).
  if (cache.stores.size() <= kKeptUnused) return;
  std::vector<std::pair<std::uint64_t, std::pair<dev_t, ino_t>>> unused;
  for (const auto& [key, store] : cache.stores)
    if (store->m_handles == 0 && !store->m_sessionLocked) unused.push_back({store->m_lastUse, key});
  if (unused.size() <= kKeptUnused) return;
  std::sort(unused.begin(), unused.end());
  for (std::size_t i = 0; i + kKeptUnused < unused.size(); ++i) cache.stores.erase(unused[i].second);
}

void TableStore::DropUnused() {
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  for (auto it = cache.stores.begin(); it != cache.stores.end();)
    it = it->second->m_handles == 0 && !it->second->m_sessionLocked ? cache.stores.erase(it) : std::next(it);
}

void TableStore::ReleaseIdle(std::size_t minBytes, std::int64_t idleNs) {
  std::size_t released = 0;
  const std::int64_t now = Now();
  {
    Cache& cache = TheCache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    for (auto it = cache.stores.begin(); it != cache.stores.end();) {
      const TableStore& store = *it->second;
      const bool idle = store.m_handles == 0 && !store.m_sessionLocked && now - store.m_releasedAt >= idleNs;
      if (idle && store.m_image.size() >= minBytes) {
        released += store.m_image.size();
        it = cache.stores.erase(it);
      } else {
        ++it;
      }
    }
  }
  // The indexes were many small blocks: without a trim they would stay resident.
  ReturnFreedMemory(released);
}

bool TableStore::buildLayout(const DbfHeader& header, Layout& layout, wxString& error) const {
  layout.slots.assign(m_schema->fields.size(), FieldSlot());
  layout.recordLength = header.recordLength;
  for (std::size_t i = 0; i < m_schema->fields.size(); ++i) {
    const FieldDef& def = m_schema->fields[i];
    const DbfField* found = nullptr;
    for (const DbfField& f : header.fields)
      if (strcasecmp(f.name.c_str(), def.name) == 0) {
        found = &f;
        break;
      }
    const bool fits = found && (def.kind == FieldKind::Number ? (found->type == 'N' || found->type == 'F')
                                                              : found->type == 'C');
    if (fits) {
      layout.slots[i].offset = static_cast<std::int32_t>(found->offset);
      layout.slots[i].width = found->width;
      layout.slots[i].kind = def.kind;
    } else if (m_schema->IsRequired(static_cast<int>(i))) {
      error = wxString::Format("field %s missing", def.name);
      return false;
    }
  }
  return true;
}

void TableStore::SetLockWait(int milliseconds) { g_lockWaitMs = std::max(0, milliseconds); }

bool TableStore::load(int fd, wxString& error, bool keepPositions) {
  // A writer in another program changes header and records under its lock.
  const bool shared = m_lockDepth == 0;
  if (shared && !LockFile(fd, F_RDLCK)) {
    error = LockError();
    return false;
  }
  struct stat st;
  std::string bytes;
  const bool read = fstat(fd, &st) == 0 && ReadAll(fd, bytes, static_cast<std::size_t>(st.st_size));
  const int readErrno = errno;
  if (shared) UnlockFile(fd);
  if (!read) {
    errno = readErrno;
    error = SysError("cannot read the table");
    return false;
  }
  const FileIdentity id = IdentityOf(st);
  DbfHeader header;
  if (!ParseDbfHeader(bytes, header, error)) return false;
  Layout layout;
  if (!buildLayout(header, layout, error)) return false;
  bytes.resize(static_cast<std::size_t>(header.DataEnd()));
  // A number the engine cannot hold exactly must not read as some other value.
  for (std::size_t i = 0; i < layout.slots.size(); ++i) {
    const FieldSlot& slot = layout.slots[i];
    if (slot.offset < 0 || slot.kind != FieldKind::Number || slot.width < 19) continue;
    for (std::uint32_t r = 0; r < header.count; ++r) {
      const Record rec(bytes.data() + header.headerLength + static_cast<std::size_t>(r) * header.recordLength, layout);
      if (!NumberFits(rec.raw(static_cast<int>(i)))) {
        error = wxString::Format("record %u: the number in field %s is too large", r + 1, m_schema->fields[i].name);
        return false;
      }
    }
  }

  // Records another program only added to keep every handle's position.
  const std::size_t oldData = m_header.count * static_cast<std::size_t>(m_header.recordLength);
  const bool same = keepPositions && m_generation != 0 && header.headerLength == m_header.headerLength &&
                    header.recordLength == m_header.recordLength && header.count >= m_header.count &&
                    bytes.compare(m_header.headerLength, oldData, m_image, m_header.headerLength, oldData) == 0;
  m_header = std::move(header);
  m_layout = std::move(layout);
  m_image = std::move(bytes);
  m_id = id;
  m_broken = false;
  if (!same) ++m_generation;
  buildIndexes();
  return true;
}

void TableStore::buildIndexes() {
  ++m_indexEpoch;
  const Schema& s = *m_schema;
  // Indexes are made on first use: a listing that walks one tag does not pay for the others.
  m_indexes.assign(s.tags.size(), Index());
  m_indexBuilt.assign(s.tags.size(), false);
  m_live = 0;
  // Bytes 16-19 are reserved in plain dBASE III; a value no number of this table can
  // reach was not written by us.
  std::uint32_t counter = s.autoField >= 0 && m_header.counter <= s.autoMax ? m_header.counter : 0;
  for (std::uint32_t r = 0; r < m_header.count; ++r) {
    const Record rec(recordBytes(r), m_layout);
    // Numbers of deleted records are never given again.
    if (s.autoField >= 0) {
      const std::int64_t n = rec.number(s.autoField);
      if (n > 0 && n <= 0xFFFFFFFF) counter = std::max(counter, static_cast<std::uint32_t>(n));
    }
    if (!rec.deleted()) ++m_live;
  }
  m_header.counter = counter;
}

const TableStore::Index& TableStore::index(int tag) {
  const auto t = static_cast<std::size_t>(tag);
  if (!m_indexBuilt[t]) buildIndex(t);
  return m_indexes[t];
}

void TableStore::buildIndex(std::size_t t) {
  const Schema& s = *m_schema;
  // The tag's keys side by side; the sort then moves small entries and mostly decides
  // on their first eight bytes.
  std::vector<Pending> v;
  v.reserve(m_live);
  std::string keys, key;
  for (std::uint32_t r = 0; r < m_header.count; ++r) {
    const Record rec(recordBytes(r), m_layout);
    if (rec.deleted() || !RecordKey(s, s.tags[t], rec, key)) continue;
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < 8; ++i) head = head << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    v.push_back({head, r, static_cast<std::uint32_t>(keys.size()), static_cast<std::uint32_t>(key.size())});
    keys += key;
  }
  const char* base = keys.data();
  // The order of EntryLess: key bytes, then record number.
  auto less = [base](const Pending& a, const Pending& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.length > 8 || b.length > 8) {
      const int c = std::string_view(base + a.at, a.length).compare(std::string_view(base + b.at, b.length));
      if (c != 0) return c < 0;
    } else if (a.length != b.length) {
      return a.length < b.length;   // the same bytes, one key longer by zero bytes
    }
    return a.recno < b.recno;
  };
  // Entries are in record order: a stable radix sort on the first eight bytes keeps
  // that order among equal beginnings, and only groups whose keys go on further
  // still need comparing.
  SortByHead(v);
  for (std::size_t i = 0; i < v.size();) {
    std::size_t j = i + 1;
    while (j < v.size() && v[j].head == v[i].head) ++j;
    const auto first = v.begin() + static_cast<std::ptrdiff_t>(i), last = v.begin() + static_cast<std::ptrdiff_t>(j);
    if (j - i > 1 && !std::is_sorted(first, last, less)) std::sort(first, last, less);
    i = j;
  }
  Index& index = m_indexes[t];
  index.clear();
  for (const Pending& p : v) index.emplace_hint(index.end(), Entry{std::string(base + p.at, p.length), p.recno});
  m_indexBuilt[t] = true;
}

void TableStore::indexRecord(std::uint32_t recno, bool add) {
  ++m_indexEpoch;
  const Schema& s = *m_schema;
  const Record rec(recordBytes(recno), m_layout);
  std::string key;
  for (std::size_t t = 0; t < s.tags.size(); ++t) {
    if (!m_indexBuilt[t] || !RecordKey(s, s.tags[t], rec, key)) continue;
    if (add)
      m_indexes[t].insert(Entry{key, recno});
    else
      m_indexes[t].erase(Entry{key, recno});
  }
}

void TableStore::refreshIdentity() {
  struct stat st;
  if (fstat(m_fd, &st) == 0) m_id = IdentityOf(st);
}

bool TableStore::headerMatches() {
  if (m_fd < 0 || m_image.size() < kMainHeaderSize) return false;
  ++g_fileChecks;
  char head[kMainHeaderSize];
  return pread(m_fd, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) &&
         std::memcmp(head, m_image.data(), sizeof head) == 0;
}

bool TableStore::lockForChange(wxString& error) {
  if (m_broken || m_fd < 0) {
    error = "the table is not usable";
    return false;
  }
  if (!m_writable) {
    error = "the table is read-only";
    return false;
  }
  if (m_lockDepth > 0) {
    ++m_lockDepth;
    return true;
  }
  ++g_locks;
  if (!LockFile(m_fd, F_WRLCK)) {
    error = LockError();
    return false;
  }
  m_lockDepth = 1;
  if (!syncLocked(error)) {
    unlockChange();
    return false;
  }
  // In a session the lock stays until its end.
  if (t_session.depth > 0 && !m_sessionLocked) {
    m_sessionLocked = true;
    ++m_lockDepth;
    t_session.locked.push_back(shared_from_this());
  }
  // A bulk insert keeps the lock until its header is written.
  if (m_bulk > 0 && !m_bulkLocked) {
    m_bulkLocked = true;
    ++m_lockDepth;
  }
  return true;
}

void TableStore::unlockChange() {
  if (m_lockDepth > 0 && --m_lockDepth == 0) UnlockFile(m_fd);
}

bool TableStore::syncLocked(wxString& error) {
  struct stat fst, pst;
  if (fstat(m_fd, &fst) != 0) {
    error = SysError("cannot check the table");
    return false;
  }
  // A file deleted or replaced under us: writing would go into nothing.
  if (fst.st_nlink == 0 || stat(ToFs(m_path).c_str(), &pst) != 0 || pst.st_dev != fst.st_dev ||
      pst.st_ino != fst.st_ino) {
    error = "the table file was removed or replaced";
    m_broken = true;
    return false;
  }
  if (IdentityOf(fst) == m_id && headerMatches()) return true;
  // Changed by another program since we read it: work on what is there now.
  if (!load(m_fd, error, true)) {
    m_broken = true;
    return false;
  }
  return true;
}

void TableStore::restoreEnd() {
  const off_t end = static_cast<off_t>(m_header.DataEnd());
  const char mark = kEndOfFile;
  if (pwrite(m_fd, &mark, 1, end) == 1) {
    if (ftruncate(m_fd, end + 1) != 0) { /* the count still ends the table */ }
  }
}

bool TableStore::writeHeader(const DbfHeader& header, wxString& error) {
  ++g_headerWrites;
  char main[kMainHeaderSize];
  std::memcpy(main, m_image.data(), kMainHeaderSize);
  PutMainHeader(header, main);
  if (!WriteAt(m_fd, main, kMainHeaderSize, 0)) {
    error = SysError("cannot write the table header");
    return false;
  }
  std::memcpy(m_image.data(), main, kMainHeaderSize);
  return true;
}

bool TableStore::insert(std::string& bytes, std::uint32_t& recno, wxString& error) {
  if (!lockForChange(error)) return false;
  struct Unlock {
    TableStore* s;
    ~Unlock() { s->unlockChange(); }
  } unlock{this};
  if (bytes.size() != m_header.recordLength) {
    error = "record of the wrong length";
    return false;
  }
  bytes[0] = kLiveFlag;
  DbfHeader h = m_header;
  const Schema& s = *m_schema;
  if (s.autoField >= 0 && s.autoMode != AutoNumber::None) {
    Record rec(bytes.data(), m_layout);
    const std::int64_t given = rec.number(s.autoField);
    if (s.autoMode == AutoNumber::Always || given == 0) {
      if (h.counter >= s.autoMax) {
        error = "no numbers left in the table";
        return false;
      }
      ++h.counter;
      rec.setNumber(s.autoField, h.counter);
      if (!rec.ok()) {
        error = "the number does not fit its field";
        return false;
      }
    } else if (given > 0 && given <= 0xFFFFFFFF) {
      h.counter = std::max(h.counter, static_cast<std::uint32_t>(given));
    }
  }
  if (h.count == 0xFFFFFFFFu || h.DataEnd() + h.recordLength > 0x7FFFFFFF) {
    error = "the table is full";
    return false;
  }
  // Record and end mark first: until the header counts the record it is not there.
  const off_t at = static_cast<off_t>(h.DataEnd());
  bytes.push_back(kEndOfFile);
  const bool written = WriteAt(m_fd, bytes.data(), bytes.size(), at);
  bytes.pop_back();
  if (!written) {
    error = SysError("cannot write the record");
    restoreEnd();
    return false;
  }
  ++h.count;
  ++h.serial;
  TodayDate(h.date);
  // The count makes the record part of the table: outside a bulk it is written at once,
  // so that a failure is this insert's and is not lost at a session's end.
  if (m_bulk == 0 && !writeHeader(h, error)) {
    restoreEnd();
    return false;
  }
  m_header = h;
  PutMainHeader(m_header, m_image.data());
  m_headerPending = m_bulk > 0;
  m_image.append(bytes);
  recno = m_header.count - 1;
  ++m_live;
  indexRecord(recno, true);
  if (!m_sessionLocked) refreshIdentity();
  return true;
}

bool TableStore::endBulk(wxString& error) {
  if (m_bulk == 0) return true;
  if (--m_bulk > 0) return true;
  if (m_sessionLocked) {
    // The bulk's records count once the header is written: its failure is the bulk's,
    // not lost at the session's end. The session keeps the lock.
    const bool ok = !m_headerPending || writeHeader(m_header, error);
    if (ok) m_headerPending = false;
    if (m_bulkLocked) {
      m_bulkLocked = false;
      unlockChange();
    }
    return ok;
  }
  if (!m_bulkLocked) return true;
  m_bulkLocked = false;
  const bool ok = writeHeader(m_header, error);
  if (ok) {
    m_headerPending = false;
    refreshIdentity();
  }
  unlockChange();
  return ok;
}

bool TableStore::putHeader(const DbfHeader& header, wxString& error) {
  if (m_bulk > 0 || m_sessionLocked) {
    // Records are written already; the header follows once at the end.
    m_header = header;
    PutMainHeader(m_header, m_image.data());
    m_headerPending = true;
    return true;
  }
  if (!writeHeader(header, error)) return false;
  m_header = header;
  return true;
}

void TableStore::endSessionLock() {
  if (!m_sessionLocked) return;
  m_sessionLocked = false;
  if (m_headerPending && m_bulk == 0 && m_fd >= 0) {
    TodayDate(m_header.date);
    wxString ignored;
    if (writeHeader(m_header, ignored)) m_headerPending = false;
  }
  refreshIdentity();
  unlockChange();
}

void TableStore::BeginSession() {
  if (t_session.depth++ == 0) t_session.serial = ++g_sessions;
}

void TableStore::PauseSession() {
  std::vector<std::shared_ptr<TableStore>> locked;
  locked.swap(t_session.locked);
  for (const std::shared_ptr<TableStore>& store : locked) store->endSessionLock();
}

void TableStore::EndSession() {
  if (t_session.depth == 0) return;
  if (--t_session.depth > 0) return;
  PauseSession();
  t_session.files.clear();
}

TableStore::Counts TableStore::GetCounts() {
  return Counts{g_fileChecks.load(), g_locks.load(), g_headerWrites.load()};
}

bool TableStore::update(std::uint64_t generation, std::uint32_t recno, std::string& bytes, wxString& error) {
  if (!lockForChange(error)) return false;
  struct Unlock {
    TableStore* s;
    ~Unlock() { s->unlockChange(); }
  } unlock{this};
  const char* old = recordBytes(recno);
  if (generation != m_generation || !old || old[0] == kDeletedFlag) {
    error = "the record is no longer there";
    return false;
  }
  if (bytes.size() != m_header.recordLength) {
    error = "record of the wrong length";
    return false;
  }
  bytes[0] = kLiveFlag;
  const Schema& s = *m_schema;
  DbfHeader h = m_header;
  if (s.autoField >= 0 && s.autoMode == AutoNumber::Always) {
    // A given number stays with its record.
    const FieldSlot& slot = m_layout.slots[static_cast<std::size_t>(s.autoField)];
    std::memcpy(bytes.data() + slot.offset, old + slot.offset, slot.width);
  } else if (s.autoField >= 0 && s.autoMode == AutoNumber::WhenZero) {
    const std::int64_t n = Record(bytes.data(), m_layout).number(s.autoField);
    if (n > 0 && n <= 0xFFFFFFFF) h.counter = std::max(h.counter, static_cast<std::uint32_t>(n));
  }
  const off_t at = static_cast<off_t>(m_header.headerLength + static_cast<std::uint64_t>(recno) * m_header.recordLength);
  if (!WriteAt(m_fd, bytes.data(), bytes.size(), at)) {
    error = SysError("cannot write the record");
    return false;
  }
  ++h.serial;
  TodayDate(h.date);
  // The record is stored; a header that cannot be written only hides the change from
  // other programs' caches.
  wxString ignored;
  putHeader(h, ignored);
  indexRecord(recno, false);
  std::memcpy(m_image.data() + at, bytes.data(), bytes.size());
  indexRecord(recno, true);
  if (!m_sessionLocked) refreshIdentity();
  return true;
}

bool TableStore::erase(std::uint64_t generation, std::uint32_t recno, wxString& error) {
  if (!lockForChange(error)) return false;
  struct Unlock {
    TableStore* s;
    ~Unlock() { s->unlockChange(); }
  } unlock{this};
  const char* old = recordBytes(recno);
  if (generation != m_generation || !old || old[0] == kDeletedFlag) {
    error = "the record is no longer there";
    return false;
  }
  const off_t at = static_cast<off_t>(m_header.headerLength + static_cast<std::uint64_t>(recno) * m_header.recordLength);
  const char flag = kDeletedFlag;
  if (!WriteAt(m_fd, &flag, 1, at)) {
    error = SysError("cannot delete the record");
    return false;
  }
  if (m_bulk > 0 || m_sessionLocked) {
    // The header follows at the end, its date with it.
    ++m_header.serial;
    m_headerPending = true;
  } else {
    DbfHeader h = m_header;
    ++h.serial;
    TodayDate(h.date);
    wxString ignored;
    if (writeHeader(h, ignored)) m_header = h;
  }
  indexRecord(recno, false);
  m_image[static_cast<std::size_t>(at)] = kDeletedFlag;
  --m_live;
  if (!m_sessionLocked) refreshIdentity();
  return true;
}

bool TableStore::pack(wxString& error) {
  if (!lockForChange(error)) return false;
  struct Unlock {
    TableStore* s;
    ~Unlock() { s->unlockChange(); }
  } unlock{this};
  if (m_live == m_header.count) return true;
  DbfHeader h = m_header;
  h.count = m_live;
  ++h.serial;
  TodayDate(h.date);
  std::string out;
  out.reserve(static_cast<std::size_t>(h.DataEnd()) + 1);
  out.append(m_image, 0, m_header.headerLength);
  PutMainHeader(h, out.data());
  for (std::uint32_t r = 0; r < m_header.count; ++r) {
    const char* rec = recordBytes(r);
    if (rec[0] != kDeletedFlag) out.append(rec, m_header.recordLength);
  }
  out.push_back(kEndOfFile);
  if (!WriteFileAtomic(m_path, out, &error)) return false;

  // The packed file is a new inode: reopen it and file the store under it. The old
  // descriptor's lock goes with it; programs waiting on it find the file replaced.
  bool writable = false;
  const int fd = OpenFd(ResolvePath(m_path), writable);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) {
    error = SysError("cannot open the packed table");
    if (fd >= 0) ::close(fd);
    m_broken = true;
    return false;
  }
  Cache& cache = TheCache();
  std::lock_guard<std::mutex> lock(cache.mutex);
  auto self = cache.stores.find({m_id.dev, m_id.ino});
  std::shared_ptr<TableStore> keep;
  if (self != cache.stores.end() && self->second.get() == this) {
    keep = self->second;
    cache.stores.erase(self);
  }
  ::close(m_fd);
  m_fd = fd;
  m_lockDepth = 1;   // the closed descriptor held it; the guard's unlock is harmless
  m_sessionLocked = false;   // the new file is not locked; the session lets it be
  m_headerPending = false;
  m_writable = writable;
  out.pop_back();
  m_header = h;
  m_image = std::move(out);
  m_id = IdentityOf(st);
  ++m_generation;
  buildIndexes();
  if (keep) cache.stores[{m_id.dev, m_id.ino}] = keep;
  return true;
}

}  // namespace hv::db
