#include "archive/ZipInflater.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "archive/ZipProgress.h"
#include "platform/Codec.h"
#include "platform/Localization.h"

namespace {

constexpr std::size_t kHoleMin = 64 * 1024;

wxString ErrnoText() { return hv::FromUtf8(std::strerror(errno)); }

// A text with the system's reason for the last failure in it; the reason is read
// first, as finding the text may change it.
wxString WithErrno(UINT id, const wxString& germanFormat) {
  const wxString why = ErrnoText();
  return wxString::Format(hv::LocalString(id, germanFormat), why);
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool ZipFileSink::Put(const unsigned char* data, std::size_t n, wxString& why) {
  if (n > m_size - m_written) {
    why = hv::LocalString(10860, wxS("Daten im Archiv beschädigt"));
    return false;
  }
  m_sum = crc32(m_sum, data, static_cast<uInt>(n));
  m_written += n;
  // Blocks of zeros become holes, so a sparse file comes back sparse.
  if (n >= kHoleMin && data[0] == 0 && std::memcmp(data, data + 1, n - 1) == 0 &&
      lseek(m_fd, static_cast<off_t>(n), SEEK_CUR) >= 0) {
    m_holes = true;
  } else if (!WriteAll(m_fd, data, n)) {
    why = WithErrno(10861, wxS("Schreibfehler: %s"));
    return false;
  }
  if (m_progress) m_progress->AddBytes(n);
  return true;
}

bool ZipFileSink::Finish(wxString& why) {
  if (m_holes && ftruncate(m_fd, static_cast<off_t>(m_written)) != 0) {
    why = WithErrno(10861, wxS("Schreibfehler: %s"));
    return false;
  }
  if (m_written != m_size) {
    why = hv::LocalString(10862, wxS("Daten im Archiv unvollständig"));
    return false;
  }
  if (static_cast<std::uint32_t>(m_sum) != m_crc) {
    why = hv::LocalString(10863, wxS("CRC-Fehler"));
    return false;
  }
  return true;
}

ZipInflateStream::~ZipInflateStream() {
  if (m_ready) inflateEnd(&m_z);
}

bool ZipInflateStream::Begin() {
  if (m_ready) return inflateReset(&m_z) == Z_OK;
  m_ready = inflateInit2(&m_z, -MAX_WBITS) == Z_OK;
  return m_ready;
}

bool ZipInflateStream::Feed(const unsigned char* raw, std::size_t n, ZipFileSink& sink, bool& ended, wxString& why) {
  m_z.next_in = const_cast<unsigned char*>(raw);
  m_z.avail_in = static_cast<uInt>(n);
  do {
    m_z.next_out = m_out.data();
    m_z.avail_out = static_cast<uInt>(m_out.size());
    const int r = inflate(&m_z, Z_NO_FLUSH);
    if (r != Z_OK && r != Z_STREAM_END && !(r == Z_BUF_ERROR && m_z.avail_in == 0)) {
      why = hv::LocalString(10860, wxS("Daten im Archiv beschädigt"));
      return false;
    }
    if (!sink.Put(m_out.data(), m_out.size() - m_z.avail_out, why)) return false;
    ended = r == Z_STREAM_END;
  } while (!ended && (m_z.avail_out == 0 || m_z.avail_in > 0));
  return true;
}

bool ZipExtractBuffer(const unsigned char* raw, std::size_t n, bool deflated, ZipInflateStream& stream,
                      ZipFileSink& sink, wxString& why) {
  if (!deflated) return sink.Put(raw, n, why) && sink.Finish(why);
  if (!stream.Begin()) {
    why = hv::LocalString(10864, wxS("Speicher reicht nicht"));
    return false;
  }
  bool ended = false;
  if (!stream.Feed(raw, n, sink, ended, why)) return false;
  if (!ended) {
    why = hv::LocalString(10862, wxS("Daten im Archiv unvollständig"));
    return false;
  }
  return sink.Finish(why);
}

ZipTaskPool::ZipTaskPool(unsigned threads, std::size_t maxBytes, std::size_t maxTasks)
    : m_ready(std::make_unique<std::condition_variable[]>(std::max(threads, 1u))),
      m_lanes(std::max(threads, 1u)),
      m_maxBytes(maxBytes),
      m_maxTasks(maxTasks) {
  try {
    for (unsigned i = 0; i < std::max(threads, 1u); ++i) m_threads.emplace_back(&ZipTaskPool::Work, this, i);
  } catch (...) {
    Stop();
    throw;
  }
}

namespace {
// A batch is handed over at this many tasks or bytes even within one folder.
constexpr std::size_t kBatchTasks = 64;
constexpr std::size_t kBatchBytes = 1 << 20;
}  // namespace

void ZipTaskPool::Stop() {
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
    for (std::size_t i = 0; i < m_lanes.size(); ++i) m_ready[i].notify_one();
  }
  for (std::thread& t : m_threads)
    if (t.joinable()) t.join();
}

ZipTaskPool::~ZipTaskPool() {
  Flush();
  Stop();
}

void ZipTaskPool::Submit(std::size_t bytes, std::function<void(ZipInflateStream&)> task, int lane) {
  if (lane >= 0 && static_cast<std::size_t>(lane) < m_lanes.size()) {
    if (lane != m_heldLane) Flush();
    m_heldLane = lane;
    m_held.push_back(Task{bytes, std::move(task)});
    m_heldBytes += bytes;
    if (m_held.size() >= kBatchTasks || m_heldBytes >= kBatchBytes) Flush();
    return;
  }
  Flush();
  std::unique_lock lock(m_mutex);
  m_space.wait(lock, [&] { return m_tasks == 0 || (m_tasks < m_maxTasks && m_bytes + bytes <= m_maxBytes); });
  m_bytes += bytes;
  ++m_tasks;
  m_queue.push_back(Task{bytes, std::move(task)});
  for (std::size_t i = 0; i < m_lanes.size(); ++i) m_ready[i].notify_one();
}

void ZipTaskPool::Flush() {
  if (m_held.empty()) return;
  const std::size_t count = m_held.size(), bytes = m_heldBytes;
  const auto lane = static_cast<std::size_t>(m_heldLane);
  {
    std::unique_lock lock(m_mutex);
    m_space.wait(lock, [&] { return m_tasks == 0 || (m_tasks + count <= m_maxTasks && m_bytes + bytes <= m_maxBytes); });
    m_bytes += bytes;
    m_tasks += count;
    const bool idle = m_lanes[lane].empty();
    for (Task& t : m_held) m_lanes[lane].push_back(std::move(t));
    // A thread with tasks of its own left is awake and takes these with them.
    if (idle) m_ready[lane].notify_one();
  }
  m_held.clear();
  m_heldBytes = 0;
  m_heldLane = -1;
}

void ZipTaskPool::Wait() {
  Flush();
  std::unique_lock lock(m_mutex);
  m_space.wait(lock, [&] { return m_tasks == 0; });
}

void ZipTaskPool::Work(unsigned lane) {
  ZipInflateStream stream;
  std::deque<Task> batch;
  for (;;) {
    {
      std::unique_lock lock(m_mutex);
      std::deque<Task>* own = lane < m_lanes.size() ? &m_lanes[lane] : nullptr;
      m_ready[lane].wait(lock, [&] { return (own && !own->empty()) || !m_queue.empty() || m_stopping; });
      if (own && !own->empty()) {
        batch.swap(*own);
      } else if (!m_queue.empty()) {
        batch.push_back(std::move(m_queue.front()));
        m_queue.pop_front();
      } else {
        return;
      }
    }
    std::size_t bytes = 0;
    const std::size_t count = batch.size();
    for (Task& task : batch) {
      task.run(stream);
      bytes += task.bytes;
    }
    batch.clear();
    std::lock_guard lock(m_mutex);
    m_bytes -= bytes;
    m_tasks -= count;
    m_space.notify_one();   // only the submitting thread waits for room
  }
}
