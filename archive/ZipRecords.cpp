#include "archive/ZipRecords.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zipfmt {

std::uint64_t Get(const unsigned char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

namespace {

constexpr std::uint32_t kLocalSig = 0x04034b50;
constexpr std::uint32_t kEndSig = 0x06054b50;
constexpr std::uint32_t kEnd64Sig = 0x06064b50;
constexpr std::uint32_t kLocator64Sig = 0x07064b50;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kEnd64Size = 56;
constexpr std::size_t kLocatorSize = 20;
// How far from the end the end record may begin: behind it a comment of up to 65,535 bytes.
constexpr std::uint64_t kSearchBack = kEndSize + 0xFFFF;
constexpr std::size_t kLocalSize = 30;
constexpr std::size_t kReadCache = 64 * 1024;
constexpr std::size_t kWriteFlushAt = 1 << 20;
// Written bytes are handed to the disk in steps of this size while the archive grows,
// so that the closing fsync waits only for the last of them.
constexpr std::uint64_t kWritebackStep = 8 << 20;

std::string Put(std::uint64_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  return out;
}

bool SignatureAt(const Source& source, std::uint64_t at, std::uint32_t sig) {
  unsigned char b[4];
  return at <= source.Size() && source.Size() - at >= 4 && source.ReadAt(at, b, 4) && Get(b, 4) == sig;
}

// The last occurrence of sig that leaves room for `room` bytes, within kSearchBack of the end.
bool FindLast(const Source& source, std::uint32_t sig, std::size_t room, std::uint64_t& at) {
  const std::uint64_t size = source.Size();
  if (size < room) return false;
  const std::uint64_t from = size > kSearchBack ? size - kSearchBack : 0;
  std::vector<unsigned char> tail(static_cast<std::size_t>(size - from));
  if (!source.ReadAt(from, tail.data(), tail.size())) return false;
  for (std::size_t i = tail.size() - room + 1; i-- > 0;) {
    if (Get(tail.data() + i, 4) == sig) {
      at = from + i;
      return true;
    }
  }
  return false;
}

// The Zip64 end record of a single-disk archive, through the locator right before the
// end record: where the locator says, else, with bytes before the archive, right before
// the locator (as Info-ZIP looks for it), and minizip is then shown the locator pointing there.
bool FindEnd64(const Source& source, std::uint64_t endAt, std::vector<Patch>& patches, std::uint64_t& at) {
  unsigned char l[kLocatorSize];
  if (endAt < kLocatorSize) return false;
  const std::uint64_t locator = endAt - kLocatorSize;
  if (!source.ReadAt(locator, l, kLocatorSize) || Get(l, 4) != kLocator64Sig || Get(l + 4, 4) != 0 ||
      Get(l + 16, 4) != 1)
    return false;
  const std::uint64_t stated = Get(l + 8, 8);
  if (stated <= locator && locator - stated >= kEnd64Size && SignatureAt(source, stated, kEnd64Sig)) {
    at = stated;
    return true;
  }
  if (locator < kEnd64Size || !SignatureAt(source, locator - kEnd64Size, kEnd64Sig)) return false;
  at = locator - kEnd64Size;
  patches.push_back({locator + 8, Put(at, 8)});
  return true;
}

// A classic end record field agrees with the Zip64 value when it holds all ones or the
// value's low bits (as some writers truncate it).
bool Agrees(std::uint64_t classic, std::uint64_t value, std::uint64_t allOnes) {
  return classic == allOnes || classic == (value & allOnes);
}

// The file functions hand minizip these streams.
struct ReadStream {
  ReadView* view;
  std::uint64_t position = 0;
};

voidpf ZCALLBACK ReadOpen(voidpf opaque, const void*, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  return new ReadStream{static_cast<ReadView*>(opaque)};
}

uLong ZCALLBACK ReadRead(voidpf, voidpf stream, void* buf, uLong size) {
  auto* s = static_cast<ReadStream*>(stream);
  const std::uint64_t n = s->view->Read(s->position, buf, size);
  s->position += n;
  return static_cast<uLong>(n);
}

uLong ZCALLBACK ReadWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK ReadTell(voidpf, voidpf stream) { return static_cast<ReadStream*>(stream)->position; }

long ZCALLBACK ReadSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* s = static_cast<ReadStream*>(stream);
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: s->position = offset; return 0;
    case ZLIB_FILEFUNC_SEEK_CUR: s->position += offset; return 0;
    case ZLIB_FILEFUNC_SEEK_END: s->position = s->view->Size() + offset; return 0;
    default: return -1;
  }
}

int ZCALLBACK ReadClose(voidpf, voidpf stream) {
  delete static_cast<ReadStream*>(stream);
  return 0;
}

int ZCALLBACK NoError(voidpf, voidpf) { return 0; }

voidpf ZCALLBACK WriteOpen(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK WriteRead(voidpf, voidpf, void*, uLong) { return 0; }

uLong ZCALLBACK WriteWrite(voidpf, voidpf stream, const void* buf, uLong size) {
  return static_cast<uLong>(static_cast<WriteView*>(stream)->Write(buf, size));
}

ZPOS64_T ZCALLBACK WriteTell(voidpf, voidpf stream) { return static_cast<WriteView*>(stream)->Position(); }

long ZCALLBACK WriteSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* w = static_cast<WriteView*>(stream);
  std::uint64_t to = offset;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) to += w->Position();
  else if (origin == ZLIB_FILEFUNC_SEEK_END) to += w->End();
  return w->Seek(to) ? 0 : -1;
}

int ZCALLBACK WriteClose(voidpf, voidpf stream) { return static_cast<WriteView*>(stream)->Flush() ? 0 : -1; }

int ZCALLBACK WriteError(voidpf, voidpf stream) { return static_cast<WriteView*>(stream)->Failed() ? 1 : 0; }

bool WriteAllAt(int fd, const char* data, std::size_t n, std::uint64_t at) {
  while (n > 0) {
    const ssize_t w = pwrite(fd, data, n, static_cast<off_t>(at));
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += w;
    n -= static_cast<std::size_t>(w);
    at += static_cast<std::uint64_t>(w);
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

Located LocateDirectory(const Source& source) {
  Located out;
  out.end = source.Size();
  std::uint64_t endAt = 0;
  unsigned char e[kEndSize];
  if (!FindLast(source, kEndSig, kEndSize, endAt) || !source.ReadAt(endAt, e, kEndSize)) return out;
  // minizip would miss the end record behind a long comment: the comment is hidden from it.
  out.end = endAt + kEndSize;
  if (Get(e + 20, 2) != 0) out.patches.push_back({endAt + 20, Put(0, 2)});
  std::uint64_t directoryEnd = endAt;   // what minizip measures the directory back from
  std::uint64_t sizeAt = endAt + 12;
  int sizeBytes = 4;
  out.count = Get(e + 10, 2);
  out.size = Get(e + 12, 4);
  out.offset = Get(e + 16, 4);
  std::uint64_t end64 = 0;
  unsigned char r[kEnd64Size];
  if (FindEnd64(source, endAt, out.patches, end64) && source.ReadAt(end64, r, kEnd64Size)) {
    out.zip64 = true;
    directoryEnd = end64;
    sizeAt = end64 + 40;
    sizeBytes = 8;
    const std::uint64_t count = Get(r + 32, 8), size = Get(r + 40, 8), offset = Get(r + 48, 8);
    out.disagree = !Agrees(out.count, count, kMax16) || !Agrees(out.size, size, kMax32) ||
                   !Agrees(out.offset, offset, kMax32) || Get(r + 24, 8) != count;
    out.count = count;
    out.size = size;
    out.offset = offset;
  }
  out.found = true;
  // Where size and offset put the directory (with bytes in front of the archive)...
  if (out.size <= directoryEnd && out.offset <= directoryEnd - out.size) {
    const std::uint64_t start = directoryEnd - out.size;
    if ((out.count == 0 && out.size == 0) || SignatureAt(source, start, kCentralSig)) {
      out.bias = static_cast<std::int64_t>(start - out.offset);
      return out;
    }
  }
  // ...else where the offset alone does, as Info-ZIP looks for it.
  const std::uint64_t corrected = directoryEnd - std::min(out.offset, directoryEnd);
  if (out.offset < directoryEnd && SignatureAt(source, out.offset, kCentralSig) &&
      (sizeBytes == 8 || corrected < kMax32)) {
    out.size = corrected;
    out.bias = 0;
    out.patches.push_back({sizeAt, Put(corrected, sizeBytes)});
  }
  return out;
}

bool ReadLocalHeader(const Source& source, std::uint64_t at, std::uint64_t end, LocalHeader& out) {
  unsigned char h[kLocalSize];
  if (at > end || end - at < kLocalSize || !source.ReadAt(at, h, kLocalSize) || Get(h, 4) != kLocalSig)
    return false;
  const std::size_t nameLength = Get(h + 26, 2), extraLength = Get(h + 28, 2);
  if (end - at - kLocalSize < nameLength + extraLength) return false;
  std::string extra(extraLength, '\0');
  if (!source.ReadAt(at + kLocalSize + nameLength, extra.data(), extra.size())) return false;
  out.flag = static_cast<std::uint32_t>(Get(h + 6, 2));
  out.method = static_cast<std::uint32_t>(Get(h + 8, 2));
  out.nameLength = nameLength;
  out.crc = static_cast<std::uint32_t>(Get(h + 14, 4));
  out.compressed = Get(h + 18, 4);
  out.uncompressed = Get(h + 22, 4);
  // All ones with no Zip64 value for it leaves a size unstated here (minizip skips it too).
  std::uint64_t noOffset = 0;
  ApplyZip64Extra(extra, out.uncompressed, out.compressed, noOffset);
  out.compressedKnown = out.compressed != kMax32;
  out.uncompressedKnown = out.uncompressed != kMax32;
  out.dataAt = at + kLocalSize + nameLength + extraLength;
  return true;
}

bool LocalAgrees(const LocalHeader& local, std::uint32_t crc, std::uint64_t compressed, std::uint64_t uncompressed) {
  const bool later = (local.flag & 8) != 0;
  auto same = [later](std::uint64_t stated, std::uint64_t wanted) { return stated == wanted || (later && stated == 0); };
  return same(local.crc, crc) && (!local.compressedKnown || same(local.compressed, compressed)) &&
         (!local.uncompressedKnown || same(local.uncompressed, uncompressed));
}

bool ApplyZip64Extra(const std::string& extra, std::uint64_t& uncompressed, std::uint64_t& compressed,
                     std::uint64_t& localOffset) {
  const auto* p = reinterpret_cast<const unsigned char*>(extra.data());
  for (std::size_t at = 0; at + 4 <= extra.size();) {
    const std::size_t len = Get(p + at + 2, 2);
    if (at + 4 + len > extra.size()) break;   // a trailing fragment, as some writers leave
    if (Get(p + at, 2) == kZip64ExtraId) {
      const unsigned char* q = p + at + 4;
      std::size_t left = len;
      auto take = [&](std::uint64_t& value) {
        if (value != kMax32) return true;
        if (left < 8) return false;
        value = Get(q, 8);
        q += 8;
        left -= 8;
        return true;
      };
      return take(uncompressed) && take(compressed) && take(localOffset);
    }
    at += 4 + len;
  }
  return true;
}

std::string CompleteEndRecords(const unsigned char* end, std::size_t n, std::uint64_t endAt, std::uint64_t entries) {
  if (n != kEndSize || Get(end, 4) != kEndSig || entries <= kMax16 || Get(end + 16, 4) == kMax32) return {};
  const std::uint64_t size = Get(end + 12, 4), offset = Get(end + 16, 4);
  std::string out;
  out += Put(kEnd64Sig, 4) + Put(kEnd64Size - 12, 8) + Put(45, 2) + Put(45, 2) + Put(0, 8);
  out += Put(entries, 8) + Put(entries, 8) + Put(size, 8) + Put(offset, 8);
  out += Put(kLocator64Sig, 4) + Put(0, 4) + Put(endAt, 8) + Put(1, 4);
  out += std::string(reinterpret_cast<const char*>(end), n);
  return out;
}

bool MayReachZip64(std::uint64_t size, bool deflated) {
  if (size >= kMax32) return true;
  const std::uint64_t worst = deflated ? size + (size >> 12) + (size >> 14) + (size >> 25) + 13 : size;
  return worst >= kMax32;
}

ReadView::ReadView(const Source& source, Located located) : m_source(source), m_located(std::move(located)) {
  m_functions.zopen64_file = ReadOpen;
  m_functions.zread_file = ReadRead;
  m_functions.zwrite_file = ReadWrite;
  m_functions.ztell64_file = ReadTell;
  m_functions.zseek64_file = ReadSeek;
  m_functions.zclose_file = ReadClose;
  m_functions.zerror_file = NoError;
  m_functions.opaque = this;
}

void ReadView::Redirect(std::uint64_t realOffset) {
  const auto bias = static_cast<std::uint64_t>(m_located.bias);
  m_redirect = true;
  m_redirectFrom = kMax32 + bias;
  m_redirectBy = static_cast<std::int64_t>(realOffset - kMax32);
}

void ReadView::PatchEntry(std::uint64_t at, std::string bytes) { m_entryPatch = {at, std::move(bytes)}; }

void ReadView::ClearEntryPatch() { m_entryPatch = {}; }

bool ReadView::ReadCached(std::uint64_t at, void* out, std::size_t n) const {
  if (n == 0) return true;
  const std::uint64_t size = m_source.Size();
  if (at >= size || n > size - at) return false;
  Block* oldest = &m_blocks[0];
  for (Block& b : m_blocks) {
    if (b.length != 0 && at >= b.at && at + n <= b.at + b.length) {
      std::memcpy(out, b.bytes.data() + (at - b.at), n);
      b.used = ++m_clock;
      return true;
    }
    if (b.used < oldest->used) oldest = &b;
  }
  if (n >= kReadCache) return m_source.ReadAt(at, out, n);
  Block& b = *oldest;
  b.bytes.resize(kReadCache);
  b.at = at;
  b.length = static_cast<std::size_t>(std::min<std::uint64_t>(kReadCache, size - at));
  if (!m_source.ReadAt(at, b.bytes.data(), b.length)) {
    b.length = 0;
    b.used = 0;
    return false;
  }
  b.used = ++m_clock;
  std::memcpy(out, b.bytes.data(), n);
  return true;
}

void ReadView::Lay(const Patch& p, std::uint64_t at, void* out, std::size_t n) const {
  if (p.bytes.empty() || p.at >= at + n || p.at + p.bytes.size() <= at) return;
  for (std::size_t i = 0; i < p.bytes.size(); ++i) {
    const std::uint64_t pos = p.at + i;
    if (pos >= at && pos < at + n) static_cast<char*>(out)[pos - at] = p.bytes[i];
  }
}

std::uint64_t ReadView::Read(std::uint64_t at, void* out, std::uint64_t n) {
  if (m_redirect && at >= m_redirectFrom) at = static_cast<std::uint64_t>(static_cast<std::int64_t>(at) + m_redirectBy);
  const std::uint64_t size = Size();
  if (at >= size || n == 0) return 0;
  n = std::min(n, size - at);
  if (!ReadCached(at, out, static_cast<std::size_t>(n))) return 0;
  for (const Patch& p : m_located.patches) Lay(p, at, out, static_cast<std::size_t>(n));
  Lay(m_entryPatch, at, out, static_cast<std::size_t>(n));
  return n;
}

WriteView::WriteView(int fd) : m_fd(fd) {
  m_functions.zopen64_file = WriteOpen;
  m_functions.zread_file = WriteRead;
  m_functions.zwrite_file = WriteWrite;
  m_functions.ztell64_file = WriteTell;
  m_functions.zseek64_file = WriteSeek;
  m_functions.zclose_file = WriteClose;
  m_functions.zerror_file = WriteError;
  m_functions.opaque = this;
}

bool WriteView::Flush() {
  if (!m_buffer.empty() && !m_failed && !WriteAllAt(m_fd, m_buffer.data(), m_buffer.size(), m_bufferAt)) {
    m_failed = true;
    m_error = errno;
  }
  m_bufferAt += m_buffer.size();
  m_buffer.clear();
  if (!m_failed && m_bufferAt >= m_writtenBack + kWritebackStep) {
    // Only starts the writing; a failure shows at the fsync.
    sync_file_range(m_fd, static_cast<off_t>(m_writtenBack), static_cast<off_t>(m_bufferAt - m_writtenBack),
                    SYNC_FILE_RANGE_WRITE);
    m_writtenBack = m_bufferAt;
  }
  return !m_failed;
}

bool WriteView::Seek(std::uint64_t to) {
  // Inside or right after the buffer the bytes are simply patched or appended.
  if (to < m_bufferAt || to > m_bufferAt + m_buffer.size()) {
    if (!Flush()) return false;
    m_bufferAt = to;
  }
  m_position = to;
  return true;
}

std::uint64_t WriteView::Write(const void* data, std::uint64_t n) {
  // After a failure the bytes are dropped as if written: minizip loses memory on its own
  // failure paths (an entry's header), and the writer asks Failed() after every step.
  if (m_failed) return n;
  const auto* p = static_cast<const char*>(data);
  const std::size_t at = static_cast<std::size_t>(m_position - m_bufferAt);
  const std::size_t over = std::min<std::size_t>(m_buffer.size() - at, static_cast<std::size_t>(n));
  m_buffer.replace(at, over, p, over);
  m_buffer.append(p + over, static_cast<std::size_t>(n) - over);
  m_position += n;
  m_end = std::max(m_end, m_position);
  if (m_buffer.size() >= kWriteFlushAt && m_position == m_bufferAt + m_buffer.size()) Flush();
  return n;
}

}  // namespace zipfmt
