#pragma once
// The zip records themselves: local and central headers, the end records, and reading
// a central directory back. Zip64 fields are written only where the classic 16- and
// 32-bit fields cannot hold a value; an archive that needs none of them comes out as the
// classic records alone.
//
// Reading treats the archive as untrusted: every size is checked against the file, a
// damaged directory is an error with a reason, never a short list.
#include <cstdint>
#include <string>
#include <vector>

namespace zipfmt {

constexpr std::uint32_t kLocalSig = 0x04034b50;
constexpr std::uint32_t kCentralSig = 0x02014b50;
constexpr std::uint32_t kEndSig = 0x06054b50;
constexpr std::uint32_t kEnd64Sig = 0x06064b50;
constexpr std::uint32_t kLocator64Sig = 0x07064b50;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;
constexpr std::uint64_t kMax16 = 0xFFFFu;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kEnd64Size = 56;
constexpr std::size_t kLocator64Size = 20;
// "Version needed" of classic entries and of those with Zip64 fields.
constexpr std::uint16_t kVersionClassic = 20;
constexpr std::uint16_t kVersionZip64 = 45;

struct Entry {
  std::uint16_t versionMadeBy = kVersionClassic;
  std::uint16_t versionNeeded = kVersionClassic;
  std::uint16_t flag = 0;
  std::uint16_t method = 0;
  std::uint32_t dosDate = 0;
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t uncompressedSize = 0;
  std::uint64_t localOffset = 0;   // as stored; add the directory's bias to find it
  std::uint32_t diskStart = 0;
  std::uint16_t internalAttr = 0;
  std::uint32_t externalAttr = 0;
  std::string name;
  std::string extra;
  std::string comment;
};

// Writing. A local header with `zip64` reserves the Zip64 sizes (all-ones in the fixed
// fields); crc and sizes are patched in after the data by LocalSizesPatch.
std::string LocalHeader(const Entry& e, bool zip64);
// Offset of the crc inside a local header and the bytes to write there.
constexpr std::size_t kLocalCrcAt = 14;
std::string LocalSizesPatch(const Entry& e, bool zip64);
// Offset of the Zip64 sizes in a local header written with `zip64`.
std::size_t LocalZip64SizesAt(const Entry& e);
// Whether a local header must reserve Zip64 sizes for a file of `size` bytes that is
// deflated (worst-case growth counted) or stored.
bool NeedsZip64Sizes(std::uint64_t size, bool deflated);
// The central header; a Zip64 extra field holds exactly the values that overflow.
std::string CentralHeader(const Entry& e);
// Zip64 end record and locator when count, size or offset overflow, then the end record.
std::string EndRecords(std::uint64_t count, std::uint64_t directorySize, std::uint64_t directoryOffset);

// Reading.
struct Directory {
  std::vector<Entry> entries;
  // Bytes before the archive proper (a self-extractor stub, an archive appended to
  // something): added to every stored offset.
  std::int64_t bias = 0;
  std::uint64_t fileSize = 0;
};

// Something the directory reader can read from: pread semantics, false on failure.
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

// Finds the end records (Zip64 ones too) and reads every central header. When the
// directory is not where its size and offset say, it is looked for where its offset
// alone says (writers that state a wrong directory size), as Info-ZIP does.
bool ReadDirectory(const Source& source, Directory& dir, std::string& error);

// Parses one central header from `avail` bytes at p; the Zip64 extra field replaces the
// overflowing values. Returns the header's length, 0 when damaged.
std::size_t ParseCentralHeader(const unsigned char* p, std::size_t avail, Entry& e, std::string& error);

// Where an entry's data begins (after its local header), checked against the file.
bool DataStart(const Source& source, const Directory& dir, const Entry& e, std::uint64_t& start,
               std::string& error);

// MS-DOS date and time of local broken-down time fields (full year, month 0-11).
std::uint32_t DosDate(int year, int month, int day, int hour, int minute, int second);

}  // namespace zipfmt
