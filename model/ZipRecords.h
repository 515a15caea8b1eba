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
#include <minizip/ioapi.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zipfmt {

constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;
constexpr std::uint64_t kMax16 = 0xFFFFu;

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

// The central directory as minizip will see it through a ReadView.
struct Located {
  bool found = false;
  bool zip64 = false;
  std::uint64_t count = 0;         // entries the end record states
  std::uint64_t offset = 0;        // stated directory offset (minizip's positions count from here)
  std::uint64_t size = 0;          // the directory's size as presented
  std::int64_t bias = 0;           // bytes before the archive proper
  std::uint64_t patchAt = 0;       // where the corrected size goes, when it must
  std::string patch;
};

// Finds the end records the way minizip does and, when the stated size does not lead
// to the directory but its stated offset does, the correction of that size.
Located LocateDirectory(const Source& source);

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

  // For the file functions.
  std::uint64_t Read(std::uint64_t at, void* out, std::uint64_t n);
  std::uint64_t Size() const { return m_source.Size(); }

 private:
  bool Fill(std::uint64_t at, void* out, std::size_t n) const;

  const Source& m_source;
  Located m_located;
  zlib_filefunc64_def m_functions{};
  bool m_redirect = false;
  std::uint64_t m_redirectFrom = 0;
  std::int64_t m_redirectBy = 0;
  std::vector<unsigned char> m_cache;
  std::uint64_t m_cacheAt = 0;
  std::size_t m_cacheLen = 0;
};

// Write file functions for zipOpen2_64 over an open file descriptor, buffered, with
// the position minizip is at (the offset of the entry it opens next).
class WriteView {
 public:
  explicit WriteView(int fd);
  ~WriteView() = default;
  WriteView(const WriteView&) = delete;
  WriteView& operator=(const WriteView&) = delete;

  zlib_filefunc64_def* Functions() { return &m_functions; }
  std::uint64_t Position() const { return m_position; }
  bool Failed() const { return m_failed; }
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
};

}  // namespace zipfmt
