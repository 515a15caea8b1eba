// Feeds untrusted bytes (a backup archive from anywhere) to minizip through the file
// functions the zip reader gives it, with the corrections of the end records, the Zip64
// values, the local header check and the direct reads of entries whose sizes are only in
// Zip64 fields, as the reader does. Whatever is read must lie inside the input.
#include <minizip/unzip.h>

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
  const zipfmt::Located located = zipfmt::LocateDirectory(source);
  for (const zipfmt::Patch& p : located.patches) Check(p.at + p.bytes.size() <= size);
  zipfmt::ReadView view(source, located);
  unzFile unz = unzOpen2_64("memory", view.Functions());
  if (!unz) return 0;
  std::size_t entries = 0;
  for (int r = unzGoToFirstFile(unz); r == UNZ_OK && entries < 4096; r = unzGoToNextFile(unz), ++entries) {
    unz_file_info64 fi{};
    char name[512];
    char extra[1024];
    if (unzGetCurrentFileInfo64(unz, &fi, name, sizeof name, extra, sizeof extra, nullptr, 0) != UNZ_OK) break;
    std::uint64_t uncompressed = fi.uncompressed_size, compressed = fi.compressed_size, offset = zipfmt::kMax32;
    const std::string extraBytes(extra, std::min<std::size_t>(fi.size_file_extra, sizeof extra));
    if (!zipfmt::ApplyZip64Extra(extraBytes, uncompressed, compressed, offset)) continue;
    const bool zip64Sizes = fi.compressed_size == zipfmt::kMax32 || fi.uncompressed_size == zipfmt::kMax32;
    const std::uint64_t localAt = offset + static_cast<std::uint64_t>(located.bias);
    zipfmt::LocalHeader local;
    if (!zipfmt::ReadLocalHeader(source, localAt, view.Size(), local) ||
        !zipfmt::LocalAgrees(local, static_cast<std::uint32_t>(fi.crc), compressed, uncompressed))
      continue;
    Check(local.dataAt <= view.Size());
    if (zip64Sizes) view.PatchEntry(localAt + 18, std::string(8, '\xFF'));
    view.Redirect(offset);
    int method = 0, level = 0;
    if (unzOpenCurrentFile2(unz, &method, &level, 1) == UNZ_OK) {
      unsigned char buffer[4096];
      std::uint64_t read = 0;
      if (zip64Sizes) {
        std::uint64_t at = unzGetCurrentFileZStreamPos64(unz);
        for (std::uint64_t n; read < std::min<std::uint64_t>(compressed, 1u << 16) &&
                              (n = view.Read(at, buffer, sizeof buffer)) > 0;
             at += n)
          read += n;
      } else {
        for (int n; read < (1u << 16) && (n = unzReadCurrentFile(unz, buffer, sizeof buffer)) > 0;)
          read += static_cast<std::uint64_t>(n);
      }
      Check(read <= size);
      unzCloseCurrentFile(unz);
    }
    view.ClearRedirect();
    view.ClearEntryPatch();
  }
  Check(entries <= size / 46 + 1);
  unzClose(unz);
  return 0;
}
