#pragma once
// What minizip does not do for us, and the file functions through which it reads and
// writes archives.
//
// - Its reader trusts the end record's directory size and shifts every offset by the
//   difference when that size is wrong; Info-ZIP and python's zipfile find such a
//   directory at its stated offset by its signature. LocateDirectory finds it the same
//   way, and ReadView presents the end record with the size the directory really has.
// - Debian's minizip 1.1 never applies a Zip64 extra field on a 64-bit system (it
//   compares the 32-bit field with (unsigned long)-1), so sizes and offsets past 4 GiB
//   are taken from the extra field here, and ReadView redirects minizip's reads of an
//   entry whose local header lies past 4 GiB.
// - For the same reason it compares a local header's real sizes with the all ones of a
//   directory entry whose sizes are only in its Zip64 field (as Go writes small entries),
//   and counts its reads of such an entry's data against all ones, past the data and,
//   near the end of the file, past the end. The local header is checked here against
//   the values of whichever record holds them (ReadLocalHeader, LocalAgrees); minizip is
//   shown all ones in its size fields, and the reader takes the data itself.
// - It looks for the end record only within the last 65,535 bytes and so misses one
//   behind a comment of more than 65,513 bytes; it is shown the file as ending right
//   after the end record, whose comment length then reads 0.
// - It looks for the Zip64 end record only where the locator says, which bytes before
//   the archive (a self-extractor) shift; Info-ZIP then looks right before the locator,
//   as LocateDirectory does, and minizip is shown a locator pointing there.
// - It reads on past a stated count of 65,535 entries until a header fails; the reader
//   takes the count as stated (see CZipReader::GotoNextFile).
#include <minizip/ioapi.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zipfmt {

constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;
constexpr std::uint64_t kMax16 = 0xFFFFu;
constexpr std::uint32_t kCentralSig = 0x02014b50;

// A little-endian number of `bytes` bytes, as zip records hold them.
std::uint64_t Get(const unsigned char* p, int bytes);

// Something an archive can be read from: pread semantics, false on failure.
class Source {
 public:
  virtual ~Source() = default;
  virtual std::uint64_t Size() const = 0;
  virtual bool ReadAt(std::uint64_t at, void* out, std::size_t n) const = 0;
};

// A file opened for reading, read with pread.
class FileSource : public Source {
 public:
  FileSource(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
  std::uint64_t Size() const override { return m_size; }
  bool ReadAt(std::uint64_t at, void* out, std::size_t n) const override;

 private:
  int m_fd;
  std::uint64_t m_size;
};

// Bytes minizip is shown in place of the file's.
struct Patch {
  std::uint64_t at = 0;
  std::string bytes;
};

// The central directory as minizip will see it through a ReadView.
struct Located {
  bool found = false;
  bool zip64 = false;
  bool disagree = false;           // the end record and the Zip64 one state different values
  std::uint64_t count = 0;         // entries the end records state
  std::uint64_t offset = 0;        // stated directory offset (minizip's positions count from here)
  std::uint64_t size = 0;          // the directory's size as presented
  std::int64_t bias = 0;           // bytes before the archive proper
  std::uint64_t end = 0;           // where minizip sees the file end
  std::vector<Patch> patches;      // corrections minizip needs (see above)
};

// Finds the end records by their signatures and the locator, with any bytes before the
// archive accounted for, and the corrections minizip needs to read them the same way.
// When the stated size does not lead to the directory but its stated offset does, the
// size is corrected.
Located LocateDirectory(const Source& source);

// An entry's local header, with the Zip64 values of its extra field applied where the
// fixed fields hold all ones.
struct LocalHeader {
  std::uint32_t flag = 0;
  std::uint32_t method = 0;
  std::size_t nameLength = 0;
  std::uint32_t crc = 0;
  std::uint64_t compressed = 0;
  std::uint64_t uncompressed = 0;
  bool compressedKnown = false;     // false: all ones with no Zip64 value for it
  bool uncompressedKnown = false;
  std::uint64_t dataAt = 0;
};

// Reads the local header at `at`; false when there is none, or it reaches past `end`.
bool ReadLocalHeader(const Source& source, std::uint64_t at, std::uint64_t end, LocalHeader& out);

// Whether the local header states the directory's crc and sizes wherever it states them
// (with flag bit 3 they follow the data and may read 0 here).
bool LocalAgrees(const LocalHeader& local, std::uint32_t crc, std::uint64_t compressed, std::uint64_t uncompressed);

// The values of a Zip64 extra field for exactly the fixed fields that hold all ones.
// False when the field is too short for them.
bool ApplyZip64Extra(const std::string& extra, std::uint64_t& uncompressed, std::uint64_t& compressed,
                     std::uint64_t& localOffset);

// Debian's minizip 1.1 writes a Zip64 end record only for a directory past 4 GiB, not
// for more than 65,535 entries, and Info-ZIP then refuses the archive. Given the end
// record minizip wrote (without comment) at `endAt`, the records that replace it: Zip64
// end record, locator and end record. Empty when none are needed.
std::string CompleteEndRecords(const unsigned char* end, std::size_t n, std::uint64_t endAt, std::uint64_t entries);

// Worst-case deflated size (zlib's compressBound): whether an entry of `size` bytes
// can reach 4 GiB and so needs Zip64 sizes in its local header.
bool MayReachZip64(std::uint64_t size, bool deflated);

// Read-only file functions for unzOpen2_64 over a Source, buffered (minizip reads its
// headers a byte at a time) and with the correction of LocateDirectory laid over the
// bytes. Outlives the unzFile opened through it.
class ReadView {
 public:
  ReadView(const Source& source, Located located);
  ReadView(const ReadView&) = delete;
  ReadView& operator=(const ReadView&) = delete;

  zlib_filefunc64_def* Functions() { return &m_functions; }
  const Located& Directory() const { return m_located; }
  // While set, minizip's reads at and beyond its idea of an entry's local header (the
  // all-ones offset of an entry past 4 GiB) go to the real one.
  void Redirect(std::uint64_t realOffset);
  void ClearRedirect() { m_redirect = false; }
  // While set, minizip sees `bytes` at `at` (an entry's local header sizes).
  void PatchEntry(std::uint64_t at, std::string bytes);
  void ClearEntryPatch();

  // For the file functions.
  std::uint64_t Read(std::uint64_t at, void* out, std::uint64_t n);
  std::uint64_t Size() const { return m_located.end; }
  // The file's own bytes (no corrections) through the same buffers.
  const Source& Raw() const { return m_raw; }

 private:
  // The directory and the entries' data lie apart: a buffer for each keeps minizip's
  // alternating reads from filling one buffer again and again.
  struct Block {
    std::vector<unsigned char> bytes;
    std::uint64_t at = 0;
    std::size_t length = 0;
    std::uint64_t used = 0;
  };
  class RawSource : public Source {
   public:
    explicit RawSource(const ReadView& view) : m_view(view) {}
    std::uint64_t Size() const override { return m_view.m_source.Size(); }
    bool ReadAt(std::uint64_t at, void* out, std::size_t n) const override { return m_view.ReadCached(at, out, n); }

   private:
    const ReadView& m_view;
  };
  bool ReadCached(std::uint64_t at, void* out, std::size_t n) const;
  void Lay(const Patch& p, std::uint64_t at, void* out, std::size_t n) const;

  const Source& m_source;
  Located m_located;
  zlib_filefunc64_def m_functions{};
  bool m_redirect = false;
  std::uint64_t m_redirectFrom = 0;
  std::int64_t m_redirectBy = 0;
  Patch m_entryPatch;
  mutable Block m_blocks[4];
  mutable std::uint64_t m_clock = 0;
  RawSource m_raw{*this};
};

// Write file functions for zipOpen2_64 over an open file descriptor, buffered, with
// the position minizip is at (the offset of the entry it opens next). A failed write
// shows in Failed() (and at the close), not in minizip's results.
class WriteView {
 public:
  explicit WriteView(int fd);
  ~WriteView() = default;
  WriteView(const WriteView&) = delete;
  WriteView& operator=(const WriteView&) = delete;

  zlib_filefunc64_def* Functions() { return &m_functions; }
  std::uint64_t Position() const { return m_position; }
  bool Failed() const { return m_failed; }
  // The system's error number of the first failed write (0: none, or none was given).
  int Error() const { return m_error; }
  // Writes what is buffered; false when anything failed.
  bool Flush();

  // For the file functions.
  std::uint64_t Write(const void* data, std::uint64_t n);
  bool Seek(std::uint64_t to);
  std::uint64_t End() const { return m_end; }

 private:
  int m_fd;
  zlib_filefunc64_def m_functions{};
  std::string m_buffer;        // bytes from m_bufferAt on, not yet written
  std::uint64_t m_bufferAt = 0;
  std::uint64_t m_position = 0;
  std::uint64_t m_end = 0;
  bool m_failed = false;
  int m_error = 0;
  std::uint64_t m_writtenBack = 0;   // bytes before this are on their way to the disk
};

}  // namespace zipfmt
