// Zip64 records as we write and read them, and archives written by other tools: Zip64
// archives of python3's zipfile and Info-ZIP (forced, and streamed with Zip64 data
// descriptors), and archives whose end record states a wrong directory size.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <initializer_list>
#include <tuple>
#include <zlib.h>

#include "archive/ZipReader.h"
#include "archive/ZipRecords.h"
#include "model/RestoreController.h"
#include "platform/Paths.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ZipTestSupport.h"

using namespace ziptest;
using hvtest::ReadAll;
using hvtest::TempDir;
using hvtest::TempHome;
using hvtest::WriteAll;

namespace {

// A file image in memory, zeros wherever nothing was put (a sparse archive).
class SparseSource : public zipfmt::Source {
 public:
  void Put(std::uint64_t at, const std::string& bytes) {
    m_parts[at] = bytes;
    m_size = std::max<std::uint64_t>(m_size, at + bytes.size());
  }
  std::uint64_t Size() const override { return m_size; }
  bool ReadAt(std::uint64_t at, void* out, std::size_t n) const override {
    if (at > m_size || m_size - at < n) return false;
    std::memset(out, 0, n);
    for (const auto& [from, bytes] : m_parts) {
      const std::uint64_t lo = std::max(from, at), hi = std::min(from + bytes.size(), at + n);
      if (lo < hi) std::memcpy(static_cast<char*>(out) + (lo - at), bytes.data() + (lo - from), hi - lo);
    }
    return true;
  }
  void WriteTo(const wxString& path) const {
    const int fd = open(hv::ToFs(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(m_size)), 0);
    for (const auto& [at, bytes] : m_parts)
      ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at)), static_cast<ssize_t>(bytes.size()));
    close(fd);
  }

 private:
  std::map<std::uint64_t, std::string> m_parts;
  std::uint64_t m_size = 0;
};

void Put(std::string& out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Little-endian fields, each a value and its width in bytes.
std::string Fields(std::initializer_list<std::pair<std::uint64_t, int>> fields) {
  std::string out;
  for (const auto& [value, bytes] : fields) Put(out, value, bytes);
  return out;
}

// A project archive of stored entries whose local headers lie where `offsets` say
// (holes between them), written record by record; the directory follows the last one,
// with Zip64 offsets and end records where the classic fields overflow.
SparseSource ArchiveAt(const std::vector<std::pair<std::string, std::string>>& files,
                       const std::vector<std::uint64_t>& offsets) {
  constexpr std::uint64_t kDate = 0x51210000;
  SparseSource out;
  std::string central;
  std::uint64_t end = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto& [name, data] = files[i];
    const std::uint64_t at = offsets[i];
    const bool big = at >= zipfmt::kMax32;
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    const std::string local = Fields({{0x04034b50, 4}, {20, 2}, {0, 4}, {kDate, 4}, {crc, 4}, {data.size(), 4},
                                      {data.size(), 4}, {name.size(), 2}, {0, 2}}) +
                              name + data;
    out.Put(at, local);
    end = at + local.size();
    central += Fields({{0x02014b50, 4}, {big ? 45u : 20u, 2}, {big ? 45u : 20u, 2}, {0, 4}, {kDate, 4}, {crc, 4},
                       {data.size(), 4}, {data.size(), 4}, {name.size(), 2}, {big ? 12u : 0u, 2}, {0, 6},
                       {name.back() == '\\' ? 0x10u : 0x20u, 4}, {big ? zipfmt::kMax32 : at, 4}}) +
               name;
    if (big) central += Fields({{1, 2}, {8, 2}, {at, 8}});
  }
  std::string tail;
  if (end >= zipfmt::kMax32)
    tail = Fields({{0x06064b50, 4}, {44, 8}, {45, 2}, {45, 2}, {0, 8}, {files.size(), 8}, {files.size(), 8},
                   {central.size(), 8}, {end, 8}, {0x07064b50, 4}, {0, 4}, {end + central.size(), 8}, {1, 4}});
  tail += Fields({{0x06054b50, 4}, {0, 4}, {files.size(), 2}, {files.size(), 2}, {central.size(), 4},
                  {std::min(end, zipfmt::kMax32), 4}, {0, 2}});
  out.Put(end, central + tail);
  return out;
}

bool HavePython() { return HaveProgram("/usr/bin/python3"); }

// Every entry of an archive, extracted without the project rules.
std::map<std::string, std::string> ExtractAll(const wxString& archive, const wxString& into,
                                              std::vector<wxString>* errors = nullptr) {
  CZipReader reader;
  if (reader.OpenZip(archive) && reader.SetOutputFolder(into))
    for (BOOL more = reader.GotoFirstFile(); more; more = reader.GotoNextFile()) reader.UnzipFile();
  if (errors) *errors = reader.GetErrors();
  return Snapshot(into);
}

// root/P as other tools would archive it: folders, a settings file, binary data.
void WriteSmallProject(const wxString& root) {
  WriteAll(root + "/P/PROJECT.SET", "[Config]\r\nName=P\r\n");
  std::string data;
  for (int i = 0; i < 200000; ++i) data += static_cast<char>((i * 2654435761u) >> 24);
  WriteAll(root + "/P/Geraet1/daten.bin", data);
  WriteAll(root + "/P/Geraet1/leer.txt", "");
}

}  // namespace

TEST(ZipRecords, Zip64ValuesExactlyWhereTheClassicOnesOverflow) {
  // Local headers reserve Zip64 sizes when deflate's worst case could reach 4 GiB.
  EXPECT_FALSE(zipfmt::MayReachZip64(4000000000ull, true));
  EXPECT_TRUE(zipfmt::MayReachZip64(4293918720ull, true));
  EXPECT_FALSE(zipfmt::MayReachZip64(4293918720ull, false));
  EXPECT_TRUE(zipfmt::MayReachZip64(zipfmt::kMax32, false));
  // The extra field holds exactly the values whose fixed fields are all ones, in order.
  const std::string extra = Fields({{0x5455, 2}, {1, 2}, {'x', 1}, {1, 2}, {16, 2}, {5ull << 30, 8}, {7ull << 30, 8}});
  std::uint64_t size = zipfmt::kMax32, compressed = 100, offset = zipfmt::kMax32;
  EXPECT_TRUE(zipfmt::ApplyZip64Extra(extra, size, compressed, offset));
  EXPECT_EQ(std::make_tuple(size, compressed, offset), std::make_tuple(5ull << 30, 100ull, 7ull << 30));
  size = compressed = offset = zipfmt::kMax32;
  EXPECT_FALSE(zipfmt::ApplyZip64Extra(extra, size, compressed, offset));   // three wanted, two there
}

TEST(ZipRecords, DamagedDirectoriesAreErrorsNeverShortLists) {
  TempDir dir;
  const SparseSource good = ArchiveAt({{"P\\", ""}, {"P\\project.set", "x"}}, {0, 100});
  std::string image(good.Size(), '\0');
  ASSERT_TRUE(good.ReadAt(0, image.data(), image.size()));
  auto list = [&](const std::string& bytes, std::vector<wxString>& errors) {
    WriteAll(dir.Sub("a.zip"), bytes);
    CZipReader reader;
    int n = 0;
    if (reader.OpenZip(dir.Sub("a.zip")))
      for (BOOL more = reader.GotoFirstFile(); more; more = reader.GotoNextFile()) ++n;
    errors = reader.GetErrors();
    return n;
  };
  std::vector<wxString> errors;
  ASSERT_EQ(list(image, errors), 2);
  EXPECT_TRUE(errors.empty());
  const std::size_t end = image.rfind("PK\x05\x06");
  const std::size_t central = image.find("PK\x01\x02");
  struct Case {
    const char* what;
    std::size_t at;
    std::string bytes;
  } cases[] = {
      {"count too high", end + 8, std::string("\x03\x00\x03\x00", 4)},
      {"count too low", end + 8, std::string("\x01\x00\x01\x00", 4)},
      {"second header gone", central + 46 + 2, "XXXX"},
      {"offset past the end", end + 16, std::string("\xF0\xFF\xFF\x0F", 4)},
      {"split archive", end + 4, std::string("\x01\x00", 2)},
      {"name longer than the directory", central + 28, std::string("\xF0\xFF", 2)},
  };
  for (const Case& c : cases) {
    std::string patched = image;
    patched.replace(c.at, c.bytes.size(), c.bytes);
    const int n = list(patched, errors);
    EXPECT_FALSE(errors.empty()) << c.what << " listed " << n;
  }
}

TEST(ZipForeign, EntriesBeyondFourGibInASparseArchive) {
  // Local headers past 4 GiB need Zip64 offsets in the directory and a Zip64 end record.
  TempDir dir;
  const SparseSource image = ArchiveAt({{"P\\", ""}, {"P\\project.set", "[Config]\r\n"}, {"P\\fern.txt", "far away"}},
                                       {0, 64, (5ull << 30) + 7});
  const wxString archive = dir.Sub("fern.zip");
  image.WriteTo(archive);

  const auto files = ExtractAll(archive, dir.Sub("out"));
  EXPECT_EQ(files.at("P/fern.txt"), "far away");
  EXPECT_EQ(files.at("P/project.set"), "[Config]\r\n");
  if (!HavePython()) GTEST_SKIP() << "python3 missing";
  std::string out;
  EXPECT_EQ(RunCommand("/usr/bin/python3 -c 'import sys, zipfile\n"
                       "z = zipfile.ZipFile(sys.argv[1])\n"
                       "print(z.read(\"P\\\\fern.txt\").decode(), z.getinfo(\"P\\\\fern.txt\").header_offset)' " +
                           Quote(archive),
                       &out),
            0)
      << out;
  EXPECT_EQ(out, "far away " + std::to_string((5ull << 30) + 7) + "\n");
}

TEST(ZipForeign, OrdinaryProjectsGiveClassicArchives) {
  if (!HavePython()) GTEST_SKIP() << "python3 missing";
  TempDir dir;
  WriteSampleProject(dir.Path());
  ASSERT_TRUE(ZipProject(dir.Path(), dir.Sub("P.zip")));
  // Version 2.0 everywhere, no extra fields and no Zip64 end records.
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c 'import sys, zipfile\n"
                       "z = zipfile.ZipFile(sys.argv[1])\n"
                       "d = open(sys.argv[1], \"rb\").read()\n"
                       "print(set((i.extract_version, i.create_version, i.extra) for i in z.infolist()),\n"
                       "      b\"PK\\x06\\x06\" in d, b\"PK\\x06\\x07\" in d)' " +
                           Quote(dir.Sub("P.zip")),
                       &out),
            0)
      << out;
  EXPECT_EQ(out, "{(20, 20, b'')} False False\n");
}

TEST(ZipForeign, Zip64ArchivesOfPythonAndInfoZipRestore) {
  if (!HavePython() || !HaveProgram("zip")) GTEST_SKIP() << "python3 or Info-ZIP zip missing";
  TempDir dir;
  WriteSmallProject(dir.Path());
  const std::string root = Quote(dir.Path());
  const std::map<std::string, std::string> original = Snapshot(dir.Sub("P"));
  WriteAll(dir.Sub("strom.txt"), "strom");
  struct Case {
    const char* name;
    std::string command;
  } cases[] = {
      {"python3 zipfile, forced Zip64",
       "cd " + root + " && /usr/bin/python3 -c 'import os, zipfile\n"
       "with zipfile.ZipFile(\"py.zip\", \"w\", zipfile.ZIP_DEFLATED) as z:\n"
       "    for d, dirs, files in os.walk(\"P\"):\n"
       "        dirs.sort()\n"
       "        z.write(d)\n"
       "        for f in sorted(files):\n"
       "            with open(os.path.join(d, f), \"rb\") as src, z.open(os.path.join(d, f), \"w\", force_zip64=True) as dst:\n"
       "                dst.write(src.read())'"},
      {"Info-ZIP zip -fz", "cd " + root + " && zip -qr -fz py.zip P"},
      // Written to a pipe: every file's sizes follow its data in a descriptor, and the
      // entry read from standard input gets Zip64 ones.
      {"Info-ZIP streamed", "cd " + root + " && zip -q - P P/PROJECT.SET P/Geraet1 P/Geraet1/daten.bin "
                            "P/Geraet1/leer.txt - < strom.txt | cat > py.zip"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    unlink(hv::ToFs(dir.Sub("py.zip")).c_str());
    std::string out;
    ASSERT_EQ(RunCommand(c.command, &out), 0) << out;
    TempHome home;
    std::vector<wxString> messages;
    const wxString restored = backuptest::RestoreThrough(dir.Sub("py.zip"), &messages);
    ASSERT_FALSE(restored.empty());
    EXPECT_TRUE(Snapshot(restored) == original);
    // Only the streamed entry, outside the project folder, is left out and named.
    EXPECT_EQ(messages.size(), c.name == std::string("Info-ZIP streamed") ? 1u : 0u);
  }
  // The streamed entry itself (outside the project folder, so the restore left it).
  TempDir all;
  std::vector<wxString> errors;
  const auto files = ExtractAll(dir.Sub("py.zip"), all.Path(), &errors);
  EXPECT_TRUE(errors.empty()) << hv::ToUtf8(errors.front());
  EXPECT_EQ(files.at("-"), "strom");
}

TEST(ZipForeign, WrongDirectorySizeFoundByTheDirectorysSignatures) {
  TempDir dir;
  WriteSmallProject(dir.Path());
  ASSERT_TRUE(ZipProject(dir.Path(), dir.Sub("P.zip")));
  const std::string good = ReadAll(dir.Sub("P.zip"));
  const std::map<std::string, std::string> original = Snapshot(dir.Sub("P"));
  for (int delta : {-10, 10, 1000}) {
    SCOPED_TRACE(delta);
    std::string bad = good;
    const std::size_t end = bad.rfind("PK\x05\x06");
    std::uint32_t size;
    std::memcpy(&size, bad.data() + end + 12, 4);
    size += static_cast<std::uint32_t>(delta);
    std::memcpy(bad.data() + end + 12, &size, 4);
    const wxString archive = dir.Sub("bad.zip");
    WriteAll(archive, bad);
    TempHome home;
    const wxString restored = backuptest::RestoreThrough(archive);
    ASSERT_FALSE(restored.empty());
    EXPECT_TRUE(Snapshot(restored) == original);
    // Info-ZIP compensates as well (a size stated too short passes its test).
    if (delta < 0 && HaveProgram("unzip")) {
      std::string out;
      EXPECT_LE(RunCommand("unzip -tq " + Quote(archive), &out), 2) << out;
      EXPECT_NE(out.find("No errors detected"), std::string::npos) << out;
    }
  }
}
