#pragma once
// The writing half of extracting an entry: its data inflated (or copied) into an open
// file, never more than the entry says, blocks of zeros left as holes, size and crc
// checked at the end. And a small pool that runs such work on several threads while the
// archive is read in order, with a bound on the bytes and tasks in flight.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>
#include <wx/string.h>
#include <zlib.h>

class ZipProgress;

class ZipFileSink {
 public:
  // `size` and `crc` are what the entry states.
  ZipFileSink(int fd, std::uint64_t size, std::uint32_t crc, ZipProgress* progress)
      : m_fd(fd), m_size(size), m_crc(crc), m_progress(progress) {}
  bool Put(const unsigned char* data, std::size_t n, wxString& why);
  // After the last byte: holes closed at the end, size and crc compared.
  bool Finish(wxString& why);

 private:
  int m_fd;
  std::uint64_t m_size;
  std::uint32_t m_crc;
  ZipProgress* m_progress;
  std::uint64_t m_written = 0;
  uLong m_sum = crc32(0L, Z_NULL, 0);
  bool m_holes = false;
};

// A raw inflate stream reused from entry to entry.
class ZipInflateStream {
 public:
  ZipInflateStream() = default;
  ~ZipInflateStream();
  ZipInflateStream(const ZipInflateStream&) = delete;
  ZipInflateStream& operator=(const ZipInflateStream&) = delete;
  bool Begin();
  // Inflates `n` raw bytes into sink; `ended` once the deflate stream ended.
  bool Feed(const unsigned char* raw, std::size_t n, ZipFileSink& sink, bool& ended, wxString& why);

 private:
  z_stream m_z{};
  bool m_ready = false;
  std::vector<unsigned char> m_out = std::vector<unsigned char>(256 * 1024);
};

// Whole entry in memory: stored or deflated data into sink, then its checks.
bool ZipExtractBuffer(const unsigned char* raw, std::size_t n, bool deflated, ZipInflateStream& stream,
                      ZipFileSink& sink, wxString& why);

class ZipTaskPool {
 public:
  ZipTaskPool(unsigned threads, std::size_t maxBytes, std::size_t maxTasks);
  // Waits for every task.
  ~ZipTaskPool();
  ZipTaskPool(const ZipTaskPool&) = delete;
  ZipTaskPool& operator=(const ZipTaskPool&) = delete;

  unsigned Threads() const { return static_cast<unsigned>(m_threads.size()); }
  // Runs task on a pool thread with that thread's inflate stream; waits first while the
  // window is full. A task bigger than the window runs when nothing else is in flight.
  // With a lane (below Threads()) the task runs on that lane's thread, in order with the
  // lane's other tasks; without (-1) on whichever thread is free. Tasks of one lane
  // submitted one after the other are handed over together (Flush), so that a thread
  // is woken once for a folder's small files rather than once for each.
  // Submit, Flush and Wait are called from one thread only.
  void Submit(std::size_t bytes, std::function<void(ZipInflateStream&)> task, int lane = -1);
  // Hands over the tasks still held back.
  void Flush();
  void Wait();

 private:
  struct Task {
    std::size_t bytes;
    std::function<void(ZipInflateStream&)> run;
  };
  void Work(unsigned lane);
  void Stop();

  std::mutex m_mutex;
  std::unique_ptr<std::condition_variable[]> m_ready;   // per pool thread
  std::condition_variable m_space;   // the submitting thread
  std::deque<Task> m_queue;
  std::vector<std::deque<Task>> m_lanes;
  std::size_t m_bytes = 0, m_tasks = 0;   // in flight
  std::size_t m_maxBytes, m_maxTasks;
  bool m_stopping = false;
  // Held back on the submitting thread (no lock).
  std::vector<Task> m_held;
  int m_heldLane = -1;
  std::size_t m_heldBytes = 0;
  std::vector<std::thread> m_threads;
};
