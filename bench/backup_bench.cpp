// Project backup and restore of a generated project (200 MB in 5,000 files by default)
// beside "zip -r -6 -q" and "unzip -q" of the same folder, in the same run; prints the
// time and size ratios against the targets, whether "unzip -t" accepts our archive and
// whether the restored project equals the original byte for byte. A second project of
// many small files (HV_BENCH_SMALL files of 1-4 KB, 24,000 by default) is restored beside
// "unzip -q" as well, the two taking turns. Each benchmark is repeated and its fastest run
// counts, since the machine may be shared. HV_BENCH_MB and HV_BENCH_FILES change the first project's size.
//
// Every failure (a full disk while the projects are made, a failed backup, restore, zip
// or unzip) is a FAIL line with its reason and a non-zero exit; the folder is removed.
//
// Run: cmake --build out --target backup_bench && out/bench/backup_bench
// (and "taskset -c 0,1 out/bench/backup_bench" for two cores).
// Restore <= 0.35x unzip. Backup, by the threads the program uses on the cores it may run
// on: <= 0.25x zip with 8, 0.5x with 4 to 7, never slower than zip below.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "archive/ZipDeflater.h"
#include "model/BackupController.h"
#include "model/RestoreController.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

namespace fs = std::filesystem;

namespace {

struct Setup {
  fs::path root;      // holds home/, src/P, out/
  fs::path project;
  int files = 0;
  long long bytes = 0;
};

Setup& Bench() {
  static Setup s;
  return s;
}

// The project of many small files, and its two archives.
Setup& Small() {
  static Setup s;
  return s;
}

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && std::atoi(v) > 0 ? std::atoi(v) : fallback;
}

// The last message the program showed: the reason a backup or restore failed.
std::string& LastMessage() {
  static std::string text;
  return text;
}

// A message or a tool's output on one line: its first lines, joined.
std::string OneLine(const std::string& text) {
  std::string line;
  int lines = 0;
  std::size_t at = 0;
  while (at < text.size() && lines < 4) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string part = text.substr(at, end - at);
    while (!part.empty() && (part.back() == '\r' || part.back() == ' ')) part.pop_back();
    if (!part.empty()) {
      line += (line.empty() ? "" : " | ") + part;
      ++lines;
    }
    at = end + 1;
  }
  return line.empty() ? "no reason given" : line;
}

// The first failure of each benchmark (by function name), for the FAIL lines at the end.
std::map<std::string, std::string>& Failures() {
  static std::map<std::string, std::string> failures;
  return failures;
}

// Marks this repetition failed with its reason. google-benchmark 1.7 computes the
// statistics of repetitions from the first one's and reads garbage (a crash) when the
// first failed and a later one did not: once a benchmark has failed, Skip fails the
// rest of its repetitions too.
void Fail(benchmark::State& state, const char* name, const std::string& reason) {
  Failures().emplace(name, reason);
  state.SkipWithError(reason.c_str());
}

// Called first inside the loop, so that a skipped repetition counts its one iteration
// like a failed one.
bool Skip(benchmark::State& state, const char* name) {
  const auto it = Failures().find(name);
  if (it == Failures().end()) return false;
  state.SkipWithError(("not run after an earlier failure: " + it->second).c_str());
  return true;
}

// Nothing of a failed run is left: the folder goes, the reason is printed, the exit is non-zero.
[[noreturn]] void Abandon(const std::string& reason) {
  std::printf("FAIL: %s\n", reason.c_str());
  std::error_code ec;
  if (!Bench().root.empty()) fs::remove_all(Bench().root, ec);
  std::exit(1);
}

void MakeFolder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) Abandon("cannot make the test project: " + folder.string() + ": " + ec.message());
}

// Writes a file of the generated projects; a full disk ends the benchmark.
void WriteFile(const fs::path& path, const char* data, std::size_t size) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  int error = fd < 0 ? errno : 0;
  for (std::size_t done = 0; error == 0 && done < size;) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    else done += static_cast<std::size_t>(n);
  }
  if (fd >= 0 && close(fd) != 0 && error == 0) error = errno;
  if (error != 0) Abandon("cannot make the test project: " + path.string() + ": " + std::strerror(error));
}

void WriteFile(const fs::path& path, const std::string& data) { WriteFile(path, data.data(), data.size()); }

// Half the files text-like (compress well), half random (do not); ten devices with
// folders of 100 files each.
void Generate() {
  Setup& s = Bench();
  std::string tmpl = (fs::temp_directory_path() / "hvbench-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) Abandon("cannot make a folder in " + tmpl + ": " + std::strerror(errno));
  s.root = tmpl;
  s.project = s.root / "src" / "P";
  s.files = EnvInt("HV_BENCH_FILES", 5000);
  const long long total = static_cast<long long>(EnvInt("HV_BENCH_MB", 200)) << 20;
  const size_t size = static_cast<size_t>(total / s.files);
  std::mt19937 rng(42);
  std::string text;
  while (text.size() < size) text += "Datenpunkt " + std::to_string(text.size()) + " = 0x1F; Wert 12.5 Grad\r\n";
  text.resize(size);
  std::string random(size, '\0');
  MakeFolder(s.project);
  WriteFile(s.project / "PROJECT.SET", "[Config]\r\nName=P\r\n");
  for (int i = 0; i < s.files; ++i) {
    const fs::path folder = s.project / ("Geraet" + std::to_string(i % 10)) / ("Ordner" + std::to_string(i / 100));
    MakeFolder(folder);
    const bool noisy = i % 2 == 1;
    if (noisy)
      for (char& c : random) c = static_cast<char>(rng());
    const std::string& data = noisy ? random : text;
    WriteFile(folder / ("datei" + std::to_string(i) + (noisy ? ".bin" : ".txt")), data);
    s.bytes += static_cast<long long>(data.size());
  }
  MakeFolder(s.root / "home");
  setenv("HALVORA_HOME", (s.root / "home").c_str(), 1);
  hv::InitRegistryStore();
}

template <class Controller>
bool RunToEnd(Controller& c) {
  while (!c.Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return true;
}

// Runs a command through the shell; its output (standard error included) goes to `out`.
// Standard input is empty, so that a tool asking how to go on after a full disk ends.
int Shell(const std::string& command, std::string* out = nullptr) {
  std::FILE* pipe = popen(("(" + command + ") </dev/null 2>&1").c_str(), "r");
  if (!pipe) {
    if (out) *out = std::string("cannot start the shell: ") + std::strerror(errno);
    return -1;
  }
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  const int status = pclose(pipe);
  if (out) *out = text;
  else std::fputs(text.c_str(), stderr);
  return status;
}

// The reason a tool failed: its exit status and its last lines of output (unzip goes
// on after a file it could not write, and says so before its summary).
std::string ToolFailure(const std::string& tool, int status, const std::string& output) {
  std::string reason = tool + " failed";
  if (status == -1) reason += " to start";
  else if (WIFEXITED(status)) reason += " (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
  else if (WIFSIGNALED(status)) reason += " (signal " + std::to_string(WTERMSIG(status)) + ")";
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < output.size()) {
    std::size_t end = output.find('\n', at);
    if (end == std::string::npos) end = output.size();
    if (output.find_first_not_of("\r ", at) < end) lines.push_back(output.substr(at, end - at));
    at = end + 1;
  }
  std::string last;
  for (std::size_t k = lines.size() > 3 ? lines.size() - 3 : 0; k < lines.size(); ++k) last += lines[k] + "\n";
  return reason + ": " + OneLine(last);
}

std::string Q(const fs::path& p) {
  std::string quoted = "'";
  quoted += p.string();
  return quoted += "'";
}

// Backs the project up into `archive`; empty on success, else why not.
std::string Backup(const fs::path& project, const fs::path& archive) {
  BackupRequest request;
  request.sourceFolder = hv::FromFs(project.string());
  request.projectName = hv::FromFs(project.filename().string());
  LastMessage().clear();
  BackupController backup(request);
  backup.SetArchiveCoDeSys(false);
  backup.SetTarget(hv::FromFs(archive.string()));
  if (backup.Start() && RunToEnd(backup) && request.succeeded) return std::string();
  return "backup of " + project.string() + " failed: " +
         OneLine(LastMessage().empty() ? hv::ToUtf8(backup.StatusText()) : LastMessage());
}

// Restores `archive` into `target`; empty on success, else why not.
std::string Restore(const fs::path& archive, const fs::path& target) {
  std::error_code ec;
  fs::create_directories(target, ec);
  if (ec) return "cannot make " + target.string() + ": " + ec.message();
  LastMessage().clear();
  RestoreRequest request;
  RestoreController restore(request);
  if (restore.ChooseArchive(hv::FromFs(archive.string())) && restore.Start(hv::FromFs(target.string())) &&
      RunToEnd(restore) && restore.Succeeded())
    return std::string();
  return "restore of " + archive.string() + " failed: " +
         OneLine(LastMessage().empty() ? hv::ToUtf8(restore.StatusText()) : LastMessage());
}

// Why the small-file project's archives could not be made; empty when they were.
std::string& SmallFailure() {
  static std::string reason;
  return reason;
}

// Folders of 200 files, text of 1-4 KB each; archived by the program and by zip.
void GenerateSmall() {
  Setup& s = Small();
  s.root = Bench().root / "small";
  s.project = s.root / "src" / "S";
  s.files = EnvInt("HV_BENCH_SMALL", 24000);
  MakeFolder(s.project);
  WriteFile(s.project / "PROJECT.SET", "[Config]\r\nName=S\r\n");
  std::string text;
  while (text.size() < 4096) text += "Maske " + std::to_string(text.size()) + "; Feld 3 = DP_17\r\n";
  for (int i = 0; i < s.files; ++i) {
    const fs::path folder = s.project / ("Geraet" + std::to_string(i % 12)) / ("Ordner" + std::to_string(i / 200));
    if (i % 200 < 12) MakeFolder(folder);
    const std::size_t size = 1024 + static_cast<std::size_t>(i * 37 % 3072);
    WriteFile(folder / ("m" + std::to_string(i) + ".txt"), text.data(), size);
    s.bytes += static_cast<long long>(size);
  }
  MakeFolder(s.root / "out");
  const auto t0 = std::chrono::steady_clock::now();
  const std::string ours = Backup(s.project, s.root / "out" / "S_backup.zip");
  const auto t1 = std::chrono::steady_clock::now();
  std::string output;
  const int status =
      Shell("cd " + Q(s.project.parent_path()) + " && zip -r -6 -q " + Q(s.root / "out" / "iz.zip") + " S", &output);
  const auto t2 = std::chrono::steady_clock::now();
  if (!ours.empty()) SmallFailure() = ours;
  else if (status != 0) SmallFailure() = ToolFailure("zip -r -6 -q", status, output);
  else std::printf("small files: backup %.3f s, zip -r -6 -q %.3f s (one run each, no bound)\n",
                   std::chrono::duration<double>(t1 - t0).count(), std::chrono::duration<double>(t2 - t1).count());
}

const fs::path& OurArchive() {
  static const fs::path p = Bench().root / "out" / "P_backup.zip";
  return p;
}
const fs::path& InfoZipArchive() {
  static const fs::path p = Bench().root / "out" / "iz.zip";
  return p;
}

void BM_Backup(benchmark::State& state) {
  std::error_code ec;
  for (auto _ : state) {
    if (Skip(state, "BM_Backup")) break;
    fs::create_directories(Bench().root / "out", ec);
    fs::remove(OurArchive(), ec);
    const std::string failure = Backup(Bench().project, OurArchive());
    if (!failure.empty()) Fail(state, "BM_Backup", failure);
  }
  state.SetBytesProcessed(state.iterations() * Bench().bytes);
}

void BM_ZipR(benchmark::State& state) {
  std::error_code ec;
  for (auto _ : state) {
    if (Skip(state, "BM_ZipR")) break;
    fs::create_directories(Bench().root / "out", ec);
    fs::remove(InfoZipArchive(), ec);
    std::string output;
    const int status =
        Shell("cd " + Q(Bench().project.parent_path()) + " && zip -r -6 -q " + Q(InfoZipArchive()) + " P", &output);
    if (status != 0) Fail(state, "BM_ZipR", ToolFailure("zip -r -6 -q", status, output));
  }
  state.SetBytesProcessed(state.iterations() * Bench().bytes);
}

// Each run extracts into a folder of its own, all removed at the end: deleting thousands
// of files just before creating thousands makes ext4 skip the freshly freed inodes one by
// one, which would charge whichever tool runs next.
fs::path FreshFolder(const char* stem) {
  static int counter = 0;
  return Bench().root / (stem + std::to_string(++counter));
}

fs::path& LastRestored() {
  static fs::path p;
  return p;
}

void BM_Restore(benchmark::State& state) {
  for (auto _ : state) {
    if (Skip(state, "BM_Restore")) break;
    // Without an archive of its own there is nothing to restore.
    if (const auto backup = Failures().find("BM_Backup"); backup != Failures().end()) {
      Fail(state, "BM_Restore", "no archive to restore: " + backup->second);
      break;
    }
    state.PauseTiming();
    const fs::path target = FreshFolder("restored");
    LastRestored().clear();
    state.ResumeTiming();
    const std::string failure = Restore(OurArchive(), target);
    if (!failure.empty()) Fail(state, "BM_Restore", failure);
    else LastRestored() = target / "P";
  }
  state.SetBytesProcessed(state.iterations() * Bench().bytes);
}

void BM_Unzip(benchmark::State& state) {
  for (auto _ : state) {
    if (Skip(state, "BM_Unzip")) break;
    if (const auto zip = Failures().find("BM_ZipR"); zip != Failures().end()) {
      Fail(state, "BM_Unzip", "no archive to unzip: " + zip->second);
      break;
    }
    state.PauseTiming();
    const fs::path target = FreshFolder("unzipped");
    state.ResumeTiming();
    std::string output;
    const int status = Shell("unzip -q " + Q(InfoZipArchive()) + " -d " + Q(target), &output);
    if (status != 0) Fail(state, "BM_Unzip", ToolFailure("unzip -q", status, output));
  }
  state.SetBytesProcessed(state.iterations() * Bench().bytes);
}

// Creating thousands of files costs what the file system's state makes it: on ext4
// without a journal, inodes freed in the last minute are skipped one by one, by whichever
// tool runs then. The two tools take turns, so that both meet the same states, and each
// one's fastest round counts. Empty on success, else why not.
std::string SmallRounds(double& ours, double& theirs, fs::path& restored) {
  const int rounds = EnvInt("HV_BENCH_SMALL_ROUNDS", 4);
  ours = theirs = 1e9;
  for (int i = 0; i < rounds; ++i) {
    const fs::path a = FreshFolder("restoredSmall"), b = FreshFolder("unzippedSmall");
    auto t0 = std::chrono::steady_clock::now();
    const std::string failure = Restore(Small().root / "out" / "S_backup.zip", a);
    if (!failure.empty()) return failure;
    auto t1 = std::chrono::steady_clock::now();
    std::string output;
    const int status = Shell("unzip -q " + Q(Small().root / "out" / "iz.zip") + " -d " + Q(b), &output);
    if (status != 0) return ToolFailure("unzip -q", status, output);
    auto t2 = std::chrono::steady_clock::now();
    const double x = std::chrono::duration<double>(t1 - t0).count(), y = std::chrono::duration<double>(t2 - t1).count();
    std::printf("small files, round %d: restore %.3f s, unzip -q %.3f s\n", i + 1, x, y);
    ours = std::min(ours, x);
    theirs = std::min(theirs, y);
    restored = a / "S";
  }
  return rounds > 0 ? std::string() : "no rounds (HV_BENCH_SMALL_ROUNDS)";
}

// Keeps the fastest repetition's real time per iteration of each benchmark for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.iterations <= 0 || r.error_occurred || r.run_type != Run::RT_Iteration) continue;
      const double t = r.real_accumulated_time / static_cast<double>(r.iterations);
      auto [it, added] = seconds.emplace(r.run_name.function_name, t);
      if (!added && t < it->second) it->second = t;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

// Same relative paths, and the same bytes in every file.
bool SameTree(const fs::path& a, const fs::path& b) {
  std::map<std::string, std::string> left, right;
  for (auto* side : {&left, &right}) {
    const fs::path& root = side == &left ? a : b;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      std::string content = "<dir>";
      if (it->is_regular_file(ec)) {
        std::ifstream in(it->path(), std::ios::binary);
        content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) return false;
      }
      if (ec) return false;
      (*side)[fs::relative(it->path(), root, ec).string()] = std::move(content);
      if (ec) return false;
    }
    if (ec) return false;
  }
  return !left.empty() && left == right;
}

bool Check(const char* label, double ratio, double limit) {
  const bool pass = ratio <= limit;
  std::printf("%-30s %.3f (target <= %.2f) %s\n", label, ratio, limit, pass ? "PASS" : "FAIL");
  return pass;
}

void Failed(const char* label, const std::string& reason) { std::printf("%-30s FAIL: %s\n", label, reason.c_str()); }

// The reason the first of these benchmarks failed; empty when none did.
std::string FailureOf(std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (const auto it = Failures().find(name); it != Failures().end()) return it->second;
  return std::string();
}

}  // namespace

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_ZipR)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();
BENCHMARK(BM_Unzip)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // Messages of a failed run go to standard error instead of a dialog; the last one is
  // the reason in the FAIL line.
  hv::Ui().SetMessageHandler([](UINT, const wxString& text, UINT) {
    LastMessage() = hv::ToUtf8(text);
    std::fprintf(stderr, "%s\n", LastMessage().c_str());
    return static_cast<int>(IDOK);
  });
  Generate();
  GenerateSmall();
  std::printf("Project: %d files, %lld MB; small-file project: %d files, %lld MB\n", Bench().files,
              Bench().bytes >> 20, Small().files, Small().bytes >> 20);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& t = reporter.seconds;
  int failed = 0, missing = 0;
  auto time = [&](const char* label, const char* ours, const char* theirs, double limit) {
    if (const std::string why = FailureOf({ours, theirs}); !why.empty()) {
      Failed(label, why);
      ++failed;
      return;
    }
    const auto a = t.find(ours), b = t.find(theirs);
    if (a == t.end() || b == t.end() || b->second <= 0) {
      std::printf("%-30s not measured\n", label);
      ++missing;
      return;
    }
    if (!Check(label, a->second / b->second, limit)) ++failed;
  };
  const unsigned threads = ZipDeflater::DefaultThreads();
  std::printf("Cores: %u, threads used: %u (the machine may be shared with other work)\n",
              std::thread::hardware_concurrency(), threads);
  time("backup time / zip -r -6 -q", "BM_Backup", "BM_ZipR", threads >= 8 ? 0.25 : threads >= 4 ? 0.5 : 1.0);
  time("restore time / unzip -q", "BM_Restore", "BM_Unzip", 0.35);
  double restoreTime = 0, unzipTime = 0;
  fs::path smallRestored;
  const std::string small =
      SmallFailure().empty() ? SmallRounds(restoreTime, unzipTime, smallRestored) : SmallFailure();
  if (!small.empty()) {
    Failed("small files: restore / unzip", small);
    ++failed;
  } else if (unzipTime <= 0) {
    std::printf("%-30s not measured\n", "small files: restore / unzip");
    ++missing;
  } else {
    if (!Check("small files: restore / unzip", restoreTime / unzipTime, 0.35)) ++failed;
    const bool same = SameTree(Small().project, smallRestored);
    std::printf("%-30s %s\n", "small files byte-identical", same ? "PASS" : "FAIL");
    if (!same) ++failed;
  }
  std::error_code se, ze;
  const auto ours = fs::file_size(OurArchive(), se), theirs = fs::file_size(InfoZipArchive(), ze);
  if (const std::string why = FailureOf({"BM_Backup", "BM_ZipR"}); !why.empty()) {
    Failed("archive size / zip", why);
    ++failed;
  } else if (se || ze || theirs == 0) {
    std::printf("%-30s not measured\n", "archive size / zip");
    ++missing;
  } else {
    std::printf("archive sizes: ours %ju bytes, zip %ju bytes\n", static_cast<std::uintmax_t>(ours),
                static_cast<std::uintmax_t>(theirs));
    if (!Check("archive size / zip", static_cast<double>(ours) / static_cast<double>(theirs), 1.01)) ++failed;
  }
  std::string tested = FailureOf({"BM_Backup"});
  if (tested.empty()) {
    std::string output;
    const int status = Shell("unzip -tqq " + Q(OurArchive()), &output);
    if (status != 0) tested = ToolFailure("unzip -tqq", status, output);
  }
  if (tested.empty()) std::printf("%-30s PASS\n", "unzip -t of our archive");
  else Failed("unzip -t of our archive", tested);
  std::string same = FailureOf({"BM_Restore"});
  if (same.empty() && (LastRestored().empty() || !SameTree(Bench().project, LastRestored())))
    same = "the restored project differs from the original";
  if (same.empty()) std::printf("%-30s PASS\n", "round trip byte-identical");
  else Failed("round trip byte-identical", same);
  failed += (tested.empty() ? 0 : 1) + (same.empty() ? 0 : 1);
  std::error_code ec;
  fs::remove_all(Bench().root, ec);
  benchmark::Shutdown();
  return failed + missing > 0 ? 1 : 0;
}
