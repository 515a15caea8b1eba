#pragma once
// Deflates the files of an archive on several threads while one thread hands the
// entries to the archive in the order they were added. The adding thread reads each
// file in chunks of 1 MiB; a chunk is deflated on its own, primed with the 32 KiB
// before it, and ends on a byte boundary (a sync flush) unless it is the file's last,
// so the chunks joined are one deflate stream. A file of one chunk comes out exactly as
// one deflate call would make it. At most a window of chunks is in memory at a time.
#include <sys/stat.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>
#include <wx/string.h>

class ZipDeflater {
 public:
  // Called on the writing thread, entry by entry in the order they were added.
  class Sink {
   public:
    virtual ~Sink() = default;
    virtual bool OpenEntry(const wxString& name, bool folder, const struct stat& st) = 0;
    virtual bool WriteData(const unsigned char* data, std::size_t n) = 0;
    virtual bool CloseEntry(std::uint32_t crc, std::uint64_t compressed, std::uint64_t size) = 0;
    // A file's entry is complete (`path` is its source); `ok` when it was written whole.
    virtual void FileDone(const wxString& path, bool ok) = 0;
  };

  // `threads` deflating threads besides the writing one (at least one).
  ZipDeflater(Sink& sink, unsigned threads);
  // Waits for everything added.
  ~ZipDeflater();
  ZipDeflater(const ZipDeflater&) = delete;
  ZipDeflater& operator=(const ZipDeflater&) = delete;

  // Threads worth starting on this machine.
  static unsigned DefaultThreads();

  void AddFolder(const wxString& name, const struct stat& st);
  // Reads fd to its end and queues its chunks. False when a read failed or `stop` said
  // so; the entry is closed in any case. `bytes` receives each chunk's size as it is read.
  bool AddFile(const wxString& name, const wxString& path, int fd, const struct stat& st,
               const std::function<bool()>& stop, const std::function<void(std::uint64_t)>& bytes);
  // Waits until everything added is written; false when a write failed.
  bool Finish();

 private:
  struct Item;
  // Items are held on the adding thread and handed over in batches: a small file would
  // otherwise wake a deflating thread, and the writer, for itself alone.
  void Queue(std::shared_ptr<Item> item);
  void Hand();
  void Work();
  void Write();

  Sink& m_sink;
  std::vector<unsigned char> m_read;   // the adding thread's read buffer
  std::mutex m_mutex;
  std::condition_variable m_workReady;    // deflating threads
  std::condition_variable m_writerWake;   // the writing thread
  std::condition_variable m_space;        // the adding thread, for room in the window
  std::deque<std::shared_ptr<Item>> m_order;   // for the writing thread, in archive order
  std::deque<std::shared_ptr<Item>> m_work;    // chunks waiting for a deflating thread
  std::size_t m_inFlight = 0;                  // chunks queued and not yet written
  std::size_t m_window = 0;
  std::size_t m_threads = 1;   // deflating threads
  bool m_closing = false;
  bool m_writeFailed = false;
  std::vector<std::thread> m_workers;
  std::thread m_writer;
  std::vector<std::shared_ptr<Item>> m_held;   // the adding thread's, not yet handed over
  std::size_t m_heldChunks = 0, m_heldBytes = 0;
};
