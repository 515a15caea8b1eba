// Feeds untrusted bytes (a backup archive from anywhere) to the zip directory reader.
// Whatever it accepts must lie inside the input, and every entry it reads must come
// back unchanged through the header writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/ZipRecords.h"

namespace {

class MemorySource : public zipfmt::Source {
 public:
  MemorySource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  std::uint64_t Size() const override { return m_size; }
  bool ReadAt(std::uint64_t at, void* out, std::size_t n) const override {
    if (at > m_size || m_size - at < n) return false;
    std::memcpy(out, m_data + at, n);
    return true;
  }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const MemorySource source(data, size);
  zipfmt::Directory dir;
  std::string error;
  if (!zipfmt::ReadDirectory(source, dir, error)) {
    Check(!error.empty());
    return 0;
  }
  Check(dir.entries.size() <= size / zipfmt::kCentralHeaderSize);
  for (const zipfmt::Entry& e : dir.entries) {
    std::uint64_t start = 0;
    if (zipfmt::DataStart(source, dir, e, start, error)) Check(start <= size && size - start >= e.compressedSize);
    const std::string bytes = zipfmt::CentralHeader(e);
    if (bytes.size() - zipfmt::kCentralHeaderSize - e.name.size() - e.comment.size() > 0xFFFF) continue;
    zipfmt::Entry back;
    Check(zipfmt::ParseCentralHeader(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), back,
                                     error) == bytes.size());
    Check(back.name == e.name && back.comment == e.comment && back.crc == e.crc &&
          back.compressedSize == e.compressedSize && back.uncompressedSize == e.uncompressedSize &&
          back.localOffset == e.localOffset);
  }
  return 0;
}
