// Project backup and restore of a generated project (200 MB in 5,000 files by default)
// beside "zip -r" and "unzip" of the same folder, in the same run; prints the ratios.
// HV_BENCH_MB and HV_BENCH_FILES change the project's size.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>

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

int EnvInt(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && std::atoi(v) > 0 ? std::atoi(v) : fallback;
}

// Half the files text-like (compress well), half random (do not); ten devices with
// folders of 100 files each.
void Generate() {
  Setup& s = Bench();
  std::string tmpl = (fs::temp_directory_path() / "hvbench-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) std::abort();
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
  fs::create_directories(s.project);
  std::ofstream(s.project / "PROJECT.SET") << "[Config]\r\nName=P\r\n";
  for (int i = 0; i < s.files; ++i) {
    const fs::path folder = s.project / ("Geraet" + std::to_string(i % 10)) / ("Ordner" + std::to_string(i / 100));
    fs::create_directories(folder);
    const bool noisy = i % 2 == 1;
    if (noisy)
      for (char& c : random) c = static_cast<char>(rng());
    std::ofstream out(folder / ("datei" + std::to_string(i) + (noisy ? ".bin" : ".txt")), std::ios::binary);
    const std::string& data = noisy ? random : text;
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    s.bytes += static_cast<long long>(data.size());
  }
  fs::create_directories(s.root / "home");
  setenv("HALVORA_HOME", (s.root / "home").c_str(), 1);
  hv::InitRegistryStore();
}

template <class Controller>
bool RunToEnd(Controller& c) {
  while (!c.Poll()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return true;
}

int Shell(const std::string& command) { return std::system(command.c_str()); }

std::string Q(const fs::path& p) {
  std::string quoted = "'";
  quoted += p.string();
  return quoted += "'";
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
  Setup& s = Bench();
  fs::create_directories(s.root / "out");
  for (auto _ : state) {
    fs::remove(OurArchive());
    BackupRequest request;
    request.sourceFolder = hv::FromFs(s.project.string());
    request.projectName = "P";
    BackupController backup(request);
    backup.SetArchiveCoDeSys(false);
    backup.SetTarget(hv::FromFs(OurArchive().string()));
    if (!backup.Start() || !RunToEnd(backup) || !request.succeeded) state.SkipWithError("backup failed");
  }
  state.SetBytesProcessed(state.iterations() * s.bytes);
}

void BM_ZipR(benchmark::State& state) {
  Setup& s = Bench();
  fs::create_directories(s.root / "out");
  for (auto _ : state) {
    fs::remove(InfoZipArchive());
    if (Shell("cd " + Q(s.project.parent_path()) + " && zip -rq " + Q(InfoZipArchive()) + " P") != 0)
      state.SkipWithError("zip failed");
  }
  state.SetBytesProcessed(state.iterations() * s.bytes);
}

void BM_Restore(benchmark::State& state) {
  Setup& s = Bench();
  const fs::path target = s.root / "restored";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(target);
    fs::create_directories(target);
    state.ResumeTiming();
    RestoreRequest request;
    RestoreController restore(request);
    if (!restore.ChooseArchive(hv::FromFs(OurArchive().string())) || !restore.Start(hv::FromFs(target.string())) ||
        !RunToEnd(restore) || !restore.Succeeded())
      state.SkipWithError("restore failed");
  }
  state.SetBytesProcessed(state.iterations() * s.bytes);
}

void BM_Unzip(benchmark::State& state) {
  Setup& s = Bench();
  const fs::path target = s.root / "unzipped";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(target);
    state.ResumeTiming();
    if (Shell("unzip -q " + Q(InfoZipArchive()) + " -d " + Q(target)) != 0) state.SkipWithError("unzip failed");
  }
  state.SetBytesProcessed(state.iterations() * s.bytes);
}

// Keeps each run's real time per iteration so that main can print the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.iterations > 0 && !r.error_occurred)
        seconds[r.benchmark_name()] = r.real_accumulated_time / static_cast<double>(r.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_ZipR)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_Unzip)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // Messages of a failed run go to standard error instead of a dialog.
  hv::Ui().SetMessageHandler([](UINT, const wxString& text, UINT) {
    std::fprintf(stderr, "%s\n", hv::ToUtf8(text).c_str());
    return static_cast<int>(IDOK);
  });
  Generate();
  std::printf("Project: %d files, %lld MB\n", Bench().files, Bench().bytes >> 20);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const char* label, const std::string& ours, const std::string& theirs) {
    const std::string suffix = "/iterations:2/real_time";
    const auto a = reporter.seconds.find(ours + suffix), b = reporter.seconds.find(theirs + suffix);
    if (a == reporter.seconds.end() || b == reporter.seconds.end() || b->second <= 0) return;
    std::printf("%s = %.2f\n", label, a->second / b->second);
  };
  ratio("backup / zip -r ", "BM_Backup", "BM_ZipR");
  ratio("restore / unzip ", "BM_Restore", "BM_Unzip");
  std::error_code ec;
  fs::remove_all(Bench().root, ec);
  benchmark::Shutdown();
  return 0;
}
