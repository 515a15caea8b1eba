#include "archive/ZipDeflater.h"

#include <sched.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kDictionary = 32 * 1024;
constexpr int kMemLevel = 8;
// Held chunks are handed over at this many, or at this many bytes read.
constexpr std::size_t kBatchChunks = 16;
constexpr std::size_t kBatchBytes = 256 * 1024;
// A deflating thread takes this many small chunks at a time.
constexpr std::size_t kTakeSmall = 4;
constexpr std::size_t kSmallChunk = 64 * 1024;

// Fills buf from fd up to its size; the count read, -1 on an error.
long ReadFull(int fd, std::vector<unsigned char>& buf) {
  std::size_t got = 0;
  while (got < buf.size()) {
    const ssize_t n = read(fd, buf.data() + got, buf.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return static_cast<long>(got);
}

}  // namespace

struct ZipDeflater::Item {
  enum Kind { Open, Chunk, Close } kind = Open;
  // Open and Close.
  wxString name;
  wxString path;
  bool folder = false;
  struct stat st {};
  bool readFailed = false;
  // Chunk.
  std::vector<unsigned char> in;
  std::vector<unsigned char> dictionary;
  std::vector<unsigned char> out;
  std::size_t size = 0;
  uLong crc = 0;
  bool last = false;
  bool done = false;     // deflated (guarded by the mutex)
  bool failed = false;
};

unsigned ZipDeflater::DefaultThreads() {
  // The cores this process may run on (taskset, a container's share), not the machine's:
  // more threads than cores only take turns.
  unsigned cores = std::thread::hardware_concurrency();
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) cores = static_cast<unsigned>(CPU_COUNT(&set));
  return std::clamp(cores, 1u, 8u);
}

ZipDeflater::ZipDeflater(Sink& sink, unsigned threads) : m_sink(sink) {
  threads = std::max(threads, 1u);
  m_threads = threads;
  m_window = 4 * threads;
  try {
    for (unsigned i = 0; i < threads; ++i) m_workers.emplace_back(&ZipDeflater::Work, this);
    m_writer = std::thread(&ZipDeflater::Write, this);
  } catch (...) {
    Finish();
    throw;
  }
}

ZipDeflater::~ZipDeflater() { Finish(); }

void ZipDeflater::Queue(std::shared_ptr<Item> item) {
  if (item->kind == Item::Chunk) {
    ++m_heldChunks;
    m_heldBytes += item->in.size();
  }
  m_held.push_back(std::move(item));
  if (m_heldChunks >= std::min(kBatchChunks, m_window) || m_heldBytes >= kBatchBytes) Hand();
}

void ZipDeflater::Hand() {
  if (m_held.empty()) return;
  std::unique_lock lock(m_mutex);
  m_space.wait(lock, [&] { return m_inFlight == 0 || m_inFlight + m_heldChunks <= m_window; });
  m_inFlight += m_heldChunks;
  // The writer waits only for the item at the front.
  if (m_order.empty()) m_writerWake.notify_one();
  for (std::shared_ptr<Item>& item : m_held) {
    if (item->kind == Item::Chunk) m_work.push_back(item);
    m_order.push_back(std::move(item));
  }
  // As many threads as the batch keeps busy, not all of them.
  const std::size_t wake = std::min(m_threads, (m_heldChunks + kTakeSmall - 1) / kTakeSmall);
  for (std::size_t i = 0; i < wake; ++i) m_workReady.notify_one();
  m_held.clear();
  m_heldChunks = m_heldBytes = 0;
}

void ZipDeflater::AddFolder(const wxString& name, const struct stat& st) {
  auto open = std::make_shared<Item>();
  open->name = name;
  open->folder = true;
  open->st = st;
  Queue(open);
  auto close = std::make_shared<Item>();
  close->kind = Item::Close;
  close->folder = true;
  Queue(close);
}

bool ZipDeflater::AddFile(const wxString& name, const wxString& path, int fd, const struct stat& st,
                          const std::function<bool()>& stop, const std::function<void(std::uint64_t)>& bytes) {
  auto open = std::make_shared<Item>();
  open->name = name;
  open->path = path;
  open->st = st;
  Queue(open);
  bool failed = false;
  // A chunk is queued once the next one was read: only then is it known to be the last.
  // Reads go to one buffer kept for all files; a chunk takes only the bytes read.
  m_read.resize(kChunk);
  auto readChunk = [&](Item& chunk) {
    const long n = ReadFull(fd, m_read);
    if (n > 0) chunk.in.assign(m_read.begin(), m_read.begin() + n);
    return n;
  };
  auto pending = std::make_shared<Item>();
  pending->kind = Item::Chunk;
  long n = readChunk(*pending);
  for (;;) {
    if (n < 0 || stop()) {
      failed = true;
      n = 0;
    }
    pending->in.resize(static_cast<std::size_t>(n));
    pending->size = pending->in.size();
    if (bytes && n > 0) bytes(static_cast<std::uint64_t>(n));
    if (n == 0) {
      pending->last = true;
      Queue(pending);
      break;
    }
    auto next = std::make_shared<Item>();
    next->kind = Item::Chunk;
    const long m = readChunk(*next);
    if (m == 0) {
      pending->last = true;
      Queue(pending);
      break;
    }
    const std::size_t keep = std::min(kDictionary, pending->in.size());
    next->dictionary.assign(pending->in.end() - static_cast<long>(keep), pending->in.end());
    Queue(pending);
    pending = std::move(next);
    n = m;
  }
  auto close = std::make_shared<Item>();
  close->kind = Item::Close;
  close->path = path;
  close->readFailed = failed;
  Queue(close);
  return !failed;
}

void ZipDeflater::Work() {
  z_stream z{};
  bool ready = deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, kMemLevel, Z_DEFAULT_STRATEGY) == Z_OK;
  auto deflateChunk = [&z, ready](Item& c) {
    bool ok = ready && deflateReset(&z) == Z_OK;
    if (ok && !c.dictionary.empty())
      ok = deflateSetDictionary(&z, c.dictionary.data(), static_cast<uInt>(c.dictionary.size())) == Z_OK;
    c.crc = crc32(0L, c.in.data(), static_cast<uInt>(c.in.size()));
    c.out.resize(deflateBound(&z, static_cast<uLong>(c.in.size())) + 64);
    z.next_in = c.in.data();
    z.avail_in = static_cast<uInt>(c.in.size());
    std::size_t produced = 0;
    while (ok) {
      z.next_out = c.out.data() + produced;
      z.avail_out = static_cast<uInt>(c.out.size() - produced);
      const int r = deflate(&z, c.last ? Z_FINISH : Z_SYNC_FLUSH);
      produced = c.out.size() - z.avail_out;
      if (r == Z_STREAM_ERROR) ok = false;
      else if (c.last ? r == Z_STREAM_END : (z.avail_out > 0 && z.avail_in == 0)) break;
      else c.out.resize(c.out.size() * 2);
    }
    c.out.resize(produced);
    std::vector<unsigned char>().swap(c.in);
    std::vector<unsigned char>().swap(c.dictionary);
    c.failed = !ok;   // read by the writer once `done` is set under the lock
  };
  std::vector<std::shared_ptr<Item>> taken;
  for (;;) {
    {
      std::unique_lock lock(m_mutex);
      m_workReady.wait(lock, [&] { return !m_work.empty() || m_closing; });
      if (m_work.empty()) break;
      // Small chunks a few at a time, so that a batch of small files needs fewer turns
      // at the lock; leave the others some when there are few.
      const std::size_t share = std::max<std::size_t>(1, m_work.size() / m_threads);
      do {
        taken.push_back(std::move(m_work.front()));
        m_work.pop_front();
      } while (!m_work.empty() && taken.size() < std::min(kTakeSmall, share) &&
               taken.back()->in.size() <= kSmallChunk && m_work.front()->in.size() <= kSmallChunk);
    }
    for (std::shared_ptr<Item>& item : taken) deflateChunk(*item);
    std::lock_guard lock(m_mutex);
    bool front = false;
    for (std::shared_ptr<Item>& item : taken) {
      item->done = true;
      front = front || (!m_order.empty() && m_order.front() == item);
    }
    if (front) m_writerWake.notify_one();
    taken.clear();
  }
  if (ready) deflateEnd(&z);
}

void ZipDeflater::Write() {
  bool open = false, openFailed = false, dataFailed = false;
  uLong crc = 0;
  std::uint64_t compressed = 0, size = 0;
  for (;;) {
    std::shared_ptr<Item> item;
    {
      std::unique_lock lock(m_mutex);
      m_writerWake.wait(lock, [&] {
        return (!m_order.empty() && (m_order.front()->kind != Item::Chunk || m_order.front()->done)) ||
               (m_closing && m_order.empty());
      });
      if (m_order.empty()) break;
      item = std::move(m_order.front());
      m_order.pop_front();
    }
    Item& it = *item;
    bool failed = false;
    if (it.kind == Item::Open) {
      open = m_sink.OpenEntry(it.name, it.folder, it.st);
      openFailed = !open;
      dataFailed = false;
      crc = crc32(0L, Z_NULL, 0);
      compressed = size = 0;
      failed = openFailed;
    } else if (it.kind == Item::Chunk) {
      if (it.failed || (open && !it.out.empty() && !m_sink.WriteData(it.out.data(), it.out.size()))) dataFailed = true;
      crc = crc32_combine(crc, it.crc, static_cast<z_off_t>(it.size));
      compressed += it.out.size();
      size += it.size;
      std::lock_guard lock(m_mutex);
      --m_inFlight;
      m_space.notify_one();
    } else {
      // The entry is closed whatever happened, so that the archive stays consistent; a
      // failed backup discards it anyway.
      const bool closed = !open || (it.folder ? m_sink.CloseEntry(0, 0, 0)
                                              : m_sink.CloseEntry(static_cast<std::uint32_t>(crc), compressed, size));
      failed = openFailed || dataFailed || !closed;
      if (!it.folder) m_sink.FileDone(it.path, !failed && !it.readFailed);
      open = false;
    }
    if (failed) {
      std::lock_guard lock(m_mutex);
      m_writeFailed = true;
    }
  }
}

bool ZipDeflater::Finish() {
  Hand();
  {
    std::lock_guard lock(m_mutex);
    if (m_closing && !m_writer.joinable()) return !m_writeFailed;
    m_closing = true;
    m_workReady.notify_all();
    m_writerWake.notify_all();
  }
  if (m_writer.joinable()) m_writer.join();
  for (std::thread& t : m_workers)
    if (t.joinable()) t.join();
  std::lock_guard lock(m_mutex);
  return !m_writeFailed;
}
