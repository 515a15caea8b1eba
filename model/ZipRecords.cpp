#include "model/ZipRecords.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zipfmt {
namespace {

void Put16(std::string& out, std::uint64_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Put64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint64_t Get(const unsigned char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

std::uint16_t Get16(const unsigned char* p) { return static_cast<std::uint16_t>(Get(p, 2)); }
std::uint32_t Get32(const unsigned char* p) { return static_cast<std::uint32_t>(Get(p, 4)); }
std::uint64_t Get64(const unsigned char* p) { return Get(p, 8); }

std::uint64_t Clamp32(std::uint64_t v) { return std::min(v, kMax32); }

// Reads the central directory through a window of the file, so that a directory of any
// size is never held whole, and each header costs no system call of its own.
class Window {
 public:
  Window(const Source& source, std::uint64_t end) : m_source(source), m_end(end) {}
  // At least n bytes at `at` (never past the end), or null.
  const unsigned char* Get(std::uint64_t at, std::size_t n, std::size_t& avail) {
    if (at > m_end || m_end - at < n) return nullptr;
    if (at < m_start || at + n > m_start + m_data.size()) {
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(m_end - at, kBlock));
      m_data.resize(std::max(want, n));
      if (!m_source.ReadAt(at, m_data.data(), m_data.size())) {
        m_data.clear();
        return nullptr;
      }
      m_start = at;
    }
    avail = static_cast<std::size_t>(m_start + m_data.size() - at);
    return m_data.data() + (at - m_start);
  }

 private:
  static constexpr std::size_t kBlock = 1 << 20;
  const Source& m_source;
  std::uint64_t m_end;
  std::uint64_t m_start = 0;
  std::vector<unsigned char> m_data;
};

bool SignatureAt(const Source& source, std::uint64_t at, std::uint32_t sig) {
  unsigned char b[4];
  return at <= source.Size() && source.Size() - at >= 4 && source.ReadAt(at, b, 4) && Get32(b) == sig;
}

// The Zip64 values of an entry's extra field, for exactly the fixed fields that hold
// all ones. The disk number that may follow them is of no use in a single-disk archive.
bool ApplyZip64Extra(Entry& e, std::string& error) {
  const auto* p = reinterpret_cast<const unsigned char*>(e.extra.data());
  std::size_t at = 0;
  while (at + 4 <= e.extra.size()) {
    const std::uint16_t id = Get16(p + at);
    const std::size_t len = Get16(p + at + 2);
    if (at + 4 + len > e.extra.size()) break;   // a trailing fragment, as some writers leave
    if (id == kZip64ExtraId) {
      const unsigned char* q = p + at + 4;
      std::size_t left = len;
      auto take = [&](std::uint64_t& value, int bytes) {
        if (left < static_cast<std::size_t>(bytes)) return false;
        value = Get(q, bytes);
        q += bytes;
        left -= static_cast<std::size_t>(bytes);
        return true;
      };
      if ((e.uncompressedSize == kMax32 && !take(e.uncompressedSize, 8)) ||
          (e.compressedSize == kMax32 && !take(e.compressedSize, 8)) ||
          (e.localOffset == kMax32 && !take(e.localOffset, 8))) {
        error = "Zip64 field too short";
        return false;
      }
      return true;
    }
    at += 4 + len;
  }
  return true;
}

}  // namespace

bool FileSource::ReadAt(std::uint64_t at, void* out, std::size_t n) const {
  auto* p = static_cast<char*>(out);
  while (n > 0) {
    const ssize_t r = pread(m_fd, p, n, static_cast<off_t>(at));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<std::size_t>(r);
    at += static_cast<std::uint64_t>(r);
  }
  return true;
}

std::uint32_t DosDate(int year, int month, int day, int hour, int minute, int second) {
  const auto y = static_cast<std::uint32_t>(year >= 1980 ? year - 1980 : 0);
  const std::uint32_t date = static_cast<std::uint32_t>(day) + 32u * static_cast<std::uint32_t>(month + 1) + 512u * y;
  const std::uint32_t time = static_cast<std::uint32_t>(second / 2) + 32u * static_cast<std::uint32_t>(minute) +
                             2048u * static_cast<std::uint32_t>(hour);
  return date << 16 | time;
}

bool NeedsZip64Sizes(std::uint64_t size, bool deflated) {
  if (size >= kMax32) return true;
  // Deflate's worst case on incompressible data (zlib's compressBound).
  const std::uint64_t worst = deflated ? size + (size >> 12) + (size >> 14) + (size >> 25) + 13 : size;
  return worst >= kMax32;
}

std::string LocalHeader(const Entry& e, bool zip64) {
  std::string out;
  out.reserve(kLocalHeaderSize + e.name.size() + 20);
  Put32(out, kLocalSig);
  Put16(out, zip64 ? kVersionZip64 : e.versionNeeded);
  Put16(out, e.flag);
  Put16(out, e.method);
  Put32(out, e.dosDate);
  Put32(out, e.crc);
  Put32(out, zip64 ? kMax32 : e.compressedSize);
  Put32(out, zip64 ? kMax32 : e.uncompressedSize);
  Put16(out, e.name.size());
  Put16(out, zip64 ? 20 : 0);
  out += e.name;
  if (zip64) {
    Put16(out, kZip64ExtraId);
    Put16(out, 16);
    Put64(out, e.uncompressedSize);
    Put64(out, e.compressedSize);
  }
  return out;
}

std::string LocalSizesPatch(const Entry& e, bool zip64) {
  std::string out;
  Put32(out, e.crc);
  if (!zip64) {
    Put32(out, e.compressedSize);
    Put32(out, e.uncompressedSize);
  }
  return out;
}

std::size_t LocalZip64SizesAt(const Entry& e) { return kLocalHeaderSize + e.name.size() + 4; }

std::string CentralHeader(const Entry& e) {
  const bool bigU = e.uncompressedSize >= kMax32;
  const bool bigC = e.compressedSize >= kMax32;
  const bool bigO = e.localOffset >= kMax32;
  std::string zip64;
  if (bigU || bigC || bigO) {
    Put16(zip64, kZip64ExtraId);
    Put16(zip64, 8 * ((bigU ? 1 : 0) + (bigC ? 1 : 0) + (bigO ? 1 : 0)));
    if (bigU) Put64(zip64, e.uncompressedSize);
    if (bigC) Put64(zip64, e.compressedSize);
    if (bigO) Put64(zip64, e.localOffset);
  }
  std::string out;
  out.reserve(kCentralHeaderSize + e.name.size() + e.extra.size() + zip64.size() + e.comment.size());
  Put32(out, kCentralSig);
  Put16(out, e.versionMadeBy);
  Put16(out, e.versionNeeded);
  Put16(out, e.flag);
  Put16(out, e.method);
  Put32(out, e.dosDate);
  Put32(out, e.crc);
  Put32(out, Clamp32(e.compressedSize));
  Put32(out, Clamp32(e.uncompressedSize));
  Put16(out, e.name.size());
  Put16(out, zip64.size() + e.extra.size());
  Put16(out, e.comment.size());
  Put16(out, e.diskStart);
  Put16(out, e.internalAttr);
  Put32(out, e.externalAttr);
  Put32(out, Clamp32(e.localOffset));
  out += e.name;
  out += zip64;
  out += e.extra;
  out += e.comment;
  return out;
}

std::string EndRecords(std::uint64_t count, std::uint64_t directorySize, std::uint64_t directoryOffset) {
  std::string out;
  if (count >= kMax16 || directorySize >= kMax32 || directoryOffset >= kMax32) {
    const std::uint64_t at = directoryOffset + directorySize;
    Put32(out, kEnd64Sig);
    Put64(out, kEnd64Size - 12);
    Put16(out, kVersionZip64);
    Put16(out, kVersionZip64);
    Put32(out, 0);
    Put32(out, 0);
    Put64(out, count);
    Put64(out, count);
    Put64(out, directorySize);
    Put64(out, directoryOffset);
    Put32(out, kLocator64Sig);
    Put32(out, 0);
    Put64(out, at);
    Put32(out, 1);
  }
  Put32(out, kEndSig);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, std::min(count, kMax16));
  Put16(out, std::min(count, kMax16));
  Put32(out, Clamp32(directorySize));
  Put32(out, Clamp32(directoryOffset));
  Put16(out, 0);
  return out;
}

std::size_t ParseCentralHeader(const unsigned char* p, std::size_t avail, Entry& e, std::string& error) {
  if (avail < kCentralHeaderSize || Get32(p) != kCentralSig) {
    error = "central header damaged";
    return 0;
  }
  e = Entry{};
  e.versionMadeBy = Get16(p + 4);
  e.versionNeeded = Get16(p + 6);
  e.flag = Get16(p + 8);
  e.method = Get16(p + 10);
  e.dosDate = Get32(p + 12);
  e.crc = Get32(p + 16);
  e.compressedSize = Get32(p + 20);
  e.uncompressedSize = Get32(p + 24);
  const std::size_t nameLen = Get16(p + 28), extraLen = Get16(p + 30), commentLen = Get16(p + 32);
  e.diskStart = Get16(p + 34);
  e.internalAttr = Get16(p + 36);
  e.externalAttr = Get32(p + 38);
  e.localOffset = Get32(p + 42);
  const std::size_t total = kCentralHeaderSize + nameLen + extraLen + commentLen;
  if (avail < total) {
    error = "central header damaged";
    return 0;
  }
  const char* c = reinterpret_cast<const char*>(p) + kCentralHeaderSize;
  e.name.assign(c, nameLen);
  e.extra.assign(c + nameLen, extraLen);
  e.comment.assign(c + nameLen + extraLen, commentLen);
  if (!ApplyZip64Extra(e, error)) return 0;
  return total;
}

bool ReadDirectory(const Source& source, Directory& dir, std::string& error) {
  dir = Directory{};
  const std::uint64_t size = source.Size();
  dir.fileSize = size;
  if (size < kEndSize) {
    error = "no end of central directory";
    return false;
  }
  // The end record is the last one whose comment fits the file.
  const std::size_t tailLen = static_cast<std::size_t>(std::min<std::uint64_t>(size, kEndSize + 0xFFFF));
  std::vector<unsigned char> tail(tailLen);
  if (!source.ReadAt(size - tailLen, tail.data(), tailLen)) {
    error = "read error";
    return false;
  }
  std::size_t found = tailLen;
  for (std::size_t i = tailLen - kEndSize + 1; i-- > 0;) {
    if (Get32(tail.data() + i) == kEndSig && i + kEndSize + Get16(tail.data() + i + 20) <= tailLen) {
      found = i;
      break;
    }
  }
  if (found == tailLen) {
    error = "no end of central directory";
    return false;
  }
  const unsigned char* end = tail.data() + found;
  const std::uint64_t endAt = size - tailLen + found;
  std::uint64_t disk = Get16(end + 4), directoryDisk = Get16(end + 6);
  std::uint64_t count = Get16(end + 10);
  std::uint64_t directorySize = Get32(end + 12), directoryOffset = Get32(end + 16);
  std::uint64_t directoryEnd = endAt;
  bool zip64 = false;

  unsigned char locator[kLocator64Size];
  if (endAt >= kLocator64Size && source.ReadAt(endAt - kLocator64Size, locator, kLocator64Size) &&
      Get32(locator) == kLocator64Sig) {
    // Where the locator says, or right before it (an archive with bytes in front).
    std::uint64_t candidates[2] = {Get64(locator + 8), endAt - kLocator64Size - kEnd64Size};
    if (endAt < kLocator64Size + kEnd64Size) candidates[1] = candidates[0];
    for (std::uint64_t at : candidates) {
      unsigned char rec[kEnd64Size];
      if (at > endAt - kLocator64Size || endAt - kLocator64Size - at < kEnd64Size ||
          !source.ReadAt(at, rec, kEnd64Size) || Get32(rec) != kEnd64Sig)
        continue;
      disk = Get32(rec + 16);
      directoryDisk = Get32(rec + 20);
      count = Get64(rec + 32);
      directorySize = Get64(rec + 40);
      directoryOffset = Get64(rec + 48);
      directoryEnd = at;
      zip64 = true;
      break;
    }
    if (!zip64) {
      error = "Zip64 end of central directory missing";
      return false;
    }
  }
  if (disk != 0 || directoryDisk != 0) {
    error = "archive split over several disks";
    return false;
  }

  // Where size and offset put the directory; else where the offset alone does.
  std::uint64_t start = directoryEnd;
  bool located = false;
  if (directorySize <= directoryEnd && directoryOffset <= directoryEnd - directorySize) {
    start = directoryEnd - directorySize;
    dir.bias = static_cast<std::int64_t>(start - directoryOffset);
    located = (count == 0 && directorySize == 0) || SignatureAt(source, start, kCentralSig);
  }
  if (!located && directoryOffset < directoryEnd && SignatureAt(source, directoryOffset, kCentralSig)) {
    start = directoryOffset;
    dir.bias = 0;
    located = true;
  }
  if (!located) {
    error = "central directory not found";
    return false;
  }

  Window window(source, directoryEnd);
  std::uint64_t at = start;
  for (;;) {
    std::size_t avail = 0;
    const unsigned char* p = window.Get(at, 4, avail);
    if (!p || Get32(p) != kCentralSig) break;
    p = window.Get(at, kCentralHeaderSize, avail);
    if (p && avail >= kCentralHeaderSize) {
      const std::size_t need = kCentralHeaderSize + Get16(p + 28) + Get16(p + 30) + Get16(p + 32);
      p = window.Get(at, need, avail);
    }
    Entry e;
    const std::size_t used = p ? ParseCentralHeader(p, avail, e, error) : 0;
    if (used == 0) {
      if (error.empty()) error = "central header damaged";
      return false;
    }
    dir.entries.push_back(std::move(e));
    at += used;
  }
  // Counts that overflowed a classic field (written by tools without Zip64) still
  // agree in their low 16 bits.
  const std::uint64_t n = dir.entries.size();
  const bool countFits = n == count || (!zip64 && n > count && (n & kMax16) == (count & kMax16)) ||
                         (!zip64 && count == kMax16 && n >= kMax16);
  if (!countFits) {
    error = "entry count does not match the central directory";
    return false;
  }
  return true;
}

bool DataStart(const Source& source, const Directory& dir, const Entry& e, std::uint64_t& start,
               std::string& error) {
  const std::uint64_t size = source.Size();
  const std::int64_t pos = static_cast<std::int64_t>(e.localOffset) + dir.bias;
  unsigned char h[kLocalHeaderSize];
  if (pos < 0 || static_cast<std::uint64_t>(pos) > size || size - static_cast<std::uint64_t>(pos) < kLocalHeaderSize ||
      !source.ReadAt(static_cast<std::uint64_t>(pos), h, kLocalHeaderSize) || Get32(h) != kLocalSig) {
    error = "local header missing";
    return false;
  }
  start = static_cast<std::uint64_t>(pos) + kLocalHeaderSize + Get16(h + 26) + Get16(h + 28);
  if (start > size || size - start < e.compressedSize) {
    error = "entry data beyond the end of the archive";
    return false;
  }
  return true;
}

}  // namespace zipfmt
