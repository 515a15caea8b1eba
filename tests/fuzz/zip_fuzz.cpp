// Feeds untrusted bytes (a backup archive from anywhere) to the restore's zip reader as
// the restore drives it: open, count, find the project folder, check every entry, then
// extract everything, the check's verdict notwithstanding (extraction must be safe by
// itself). Whatever the archive, nothing is written outside the output folder, no link
// or special file is made, and no more files appear than the directory lists.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "archive/ZipReader.h"

namespace fs = std::filesystem;

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// One folder per process: the archive, the output folder and nothing else.
struct Work {
  fs::path root = fs::temp_directory_path() / ("hv_zip_fuzz_" + std::to_string(getpid()));
  Work() { fs::create_directories(root); }
  ~Work() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

const Work& Folder() {
  static const Work work;
  return work;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path& root = Folder().root;
  const fs::path archive = root / "archive.zip";
  const fs::path out = root / "out";
  std::error_code ec;
  fs::remove_all(out, ec);
  if (FILE* f = std::fopen(archive.c_str(), "wb")) {
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    std::fclose(f);
    if (!written) return 0;
  } else {
    return 0;
  }

  std::size_t entries = 0;
  {
    CZipReader reader;
    if (!reader.OpenZip(wxString::FromUTF8(archive.c_str()))) {
      Check(reader.GetErrorCount() > 0, "an archive refused without a reason");
      return 0;
    }
    Check(reader.SetOutputFolder(wxString::FromUTF8(out.c_str())) == TRUE, "no output folder");
    ZipEntryInfo info;
    for (BOOL ok = reader.GotoFirstFile(); ok && entries < 100000; ok = reader.GotoNextFile())
      if (reader.GetFileInfo(info)) ++entries;
    reader.CountFiles();
    Check(reader.GetTotalFiles() >= 0 && static_cast<std::size_t>(reader.GetTotalFiles()) <= entries,
          "more files counted than listed");
    wxString project;
    if (reader.FindProjectFolder(&project)) Check(project.EndsWith("\\"), "a project folder without its separator");
    const int before = reader.GetErrorCount();
    if (!reader.ValidateEntries()) Check(reader.GetErrorCount() > before, "entries refused without a reason");
    reader.UnzipAll(2);
    reader.CloseZip();
  }

  // Only the archive and the output folder beside each other; below the output folder
  // plain folders and files, no more files than entries.
  for (const fs::directory_entry& e : fs::directory_iterator(root))
    Check(e.path() == archive || e.path() == out, "something written beside the output folder");
  std::size_t files = 0;
  if (fs::exists(out)) {
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(out)) {
      struct stat st {};
      Check(lstat(e.path().c_str(), &st) == 0, "an entry vanished");
      Check(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode), "a link or special file was made");
      files += S_ISREG(st.st_mode) ? 1 : 0;
    }
  }
  Check(files <= entries, "more files than the directory lists");
  return 0;
}
