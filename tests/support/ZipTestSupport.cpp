#include "tests/support/ZipTestSupport.h"

#include <gtest/gtest.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "archive/ZipWriter.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

namespace ziptest {

namespace fs = std::filesystem;
using hvtest::S;
using hvtest::WriteAll;

void WriteSampleProject(const wxString& root) {
  const wxString p = hv::JoinPath(root, "P");
  std::string binary;
  for (int i = 0; i < 300000; ++i) binary.push_back(static_cast<char>((i * 7919) ^ (i >> 5)));
  WriteAll(hv::JoinPath(p, "PROJECT.SET"), "[Config]\r\nCoDeSysDP=0\r\n");
  WriteAll(hv::JoinPath(p, "version.dat"), "2910");
  WriteAll(hv::JoinPath(p, "Geraet1/DEVICE.SET"), "[Config]\r\nName=Geraet1\r\n");
  WriteAll(hv::JoinPath(p, "Geraet1/bitmaps/logo.bmp"), binary);
  WriteAll(hv::JoinPath(p, "Geraet1/resource/resource.res"), std::string(70000, '\0'));
  WriteAll(hv::JoinPath(p, S("Geräte/Übersicht ä.txt")), "\xE4\xF6\xFC binary \x01\x02");
  WriteAll(hv::JoinPath(p, S("Geräte/Ω-Liste.txt")), "omega");
  WriteAll(hv::JoinPath(p, "Geraet1/empty.txt"), "");
  WriteAll(hv::JoinPath(p, "Tief/a/b/c/d.txt"), "deep");
  hv::MakeFolders(hv::JoinPath(p, "Leer"));
  hv::MakeFolders(hv::JoinPath(p, "Tief/a/b/c/leer"));
  WriteAll(hv::JoinPath(p, ".hidden"), "not archived");
  WriteAll(hv::JoinPath(p, ".git/config"), "not archived");
}

std::map<std::string, std::string> Snapshot(const wxString& folder, bool withDotNames) {
  std::map<std::string, std::string> out;
  const fs::path base(hv::ToFs(folder));
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(base, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    const std::string rel = fs::relative(it->path(), base).string();
    if (!withDotNames && it->path().filename().string()[0] == '.') {
      it.disable_recursion_pending();
      continue;
    }
    out[rel] = it->is_symlink()     ? "<link>"
               : it->is_directory() ? "<dir>"
                                    : hvtest::ReadAll(hv::FromFs(it->path().string()));
  }
  return out;
}

std::vector<std::string> ListAll(const wxString& folder) {
  std::vector<std::string> out;
  for (const auto& entry : Snapshot(folder)) out.push_back(entry.first);
  return out;
}

RawEntry Entry(const std::string& name, const std::string& data) {
  RawEntry e;
  e.name = name;
  e.data = data;
  if (name.back() == '\\' || name.back() == '/') {
    e.externalAttr = 0x10;
    e.method = 0;
  }
  return e;
}

void WriteRawZip(const wxString& path, const std::vector<RawEntry>& entries) {
  zipFile zf = zipOpen64(hv::ToFs(path).c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zf, nullptr);
  for (const RawEntry& e : entries) {
    zip_fileinfo zi{};
    zi.tmz_date = tm_zip{uInt(e.second), uInt(e.minute), uInt(e.hour), uInt(e.day), uInt(e.month), uInt(e.year)};
    zi.external_fa = e.externalAttr;
    ASSERT_EQ(zipOpenNewFileInZip4_64(zf, e.name.c_str(), &zi, nullptr, 0, nullptr, 0, nullptr, e.method,
                                      e.method ? Z_DEFAULT_COMPRESSION : 0, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                      Z_DEFAULT_STRATEGY, nullptr, 0, e.versionMadeBy, e.flag, 0),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zf, e.data.data(), unsigned(e.data.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zf), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zf, nullptr), ZIP_OK);
}

std::vector<RawEntry> ReadRawZip(const wxString& path) {
  std::vector<RawEntry> out;
  unzFile uf = unzOpen64(hv::ToFs(path).c_str());
  EXPECT_NE(uf, nullptr) << hv::ToUtf8(path);
  for (int r = uf ? unzGoToFirstFile(uf) : UNZ_BADZIPFILE; r == UNZ_OK; r = unzGoToNextFile(uf)) {
    unz_file_info64 fi{};
    char name[4096];
    unzGetCurrentFileInfo64(uf, &fi, name, sizeof name, nullptr, 0, nullptr, 0);
    RawEntry e{std::string(name, fi.size_filename), "", fi.external_fa, fi.version, fi.flag,
               int(fi.compression_method), fi.uncompressed_size, int(fi.tmu_date.tm_year),
               int(fi.tmu_date.tm_mon), int(fi.tmu_date.tm_mday), int(fi.tmu_date.tm_hour),
               int(fi.tmu_date.tm_min), int(fi.tmu_date.tm_sec)};
    e.compressedSize = fi.compressed_size;
    out.push_back(e);
  }
  if (uf) unzClose(uf);
  return out;
}

bool ZipProject(const wxString& root, const wxString& archive) {
  CZipWriter writer;
  if (!writer.OpenZip(archive, root)) return false;
  writer.CountFiles(hv::JoinPath(root, "P"));
  writer.AddFolderToZip(hv::JoinPath(root, "P"), FALSE);
  return writer.CloseZip() != FALSE;
}

int RunCommand(const std::string& command, std::string* output) {
  FILE* f = popen((command + " 2>&1").c_str(), "r");
  if (!f) return -1;
  char buf[4096];
  std::string text;
  for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
  const int status = pclose(f);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const char* name) { return RunCommand(std::string("command -v ") + name) == 0; }

std::string Quote(const wxString& path) {
  std::string q = "'";
  for (char c : hv::ToFs(path)) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace ziptest
