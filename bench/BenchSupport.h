#pragma once
// Setup shared by the benchmarks: the fastest-run reporter, a filled data-point table,
// and the tests' FTP server script started as a child.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <wx/string.h>

#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"

extern char** environ;

// Keeps the fastest run of each benchmark in milliseconds of its thread's processor
// time (repetitions included), which other work on the machine does not stretch; a run
// that reported an error is remembered as failed.
class FastestReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration) continue;
      if (r.error_occurred) {
        failed.push_back(r.run_name.str() + ": " + r.error_message);
        continue;
      }
      const std::string name = r.run_name.str();
      const double t = r.GetAdjustedCPUTime();
      auto it = ms.find(name);
      if (it == ms.end() || t < it->second) ms[name] = t;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> ms;
  std::vector<std::string> failed;
};

// The memory bounds count the program's own bytes: huge pages, which some machines hand
// out unasked, would round each large region up to 2 MB. Called first in main.
inline void KeepSmallPages() { prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0); }

// Makes `folder` a device folder whose DATPKT holds `rows` data points of device 1; a
// table that cannot be filled is FAIL and ends the benchmark with a non-zero exit.
inline wxString FilledDatpkt(const wxString& folder, int rows) {
  using namespace hv::db;
  hv::MakeFolders(folder);
  Table t;
  bool ok = dbank_create(folder) && t.open(folder, DatpktSchema());
  t.beginBulk();
  for (int i = 0; i < rows; ++i) {
    DatpktRow r;
    r.name = wxString::Format("DP_%06d", (i * 7919) % rows);
    r.description = wxString::Format("Beschreibung %d", i);
    r.address = wxString::Format("9|M|W|81|%d|0|1", i);
    r.type = 8;
    r.device = 1;
    r.access = 3;
    r.unit = "bar";
    ok = ok && t.insert(r);
  }
  if (!t.endBulk() || !ok) {
    std::printf("FAIL: cannot fill the table in %s\n", folder.utf8_str().data());
    std::exit(1);
  }
  return folder;
}

// Starts python3 with `args` (the FTP server script and its options) and reads the port
// it prints; 0 when it did not start. The caller ends `pid`.
inline int StartFtpServer(std::vector<std::string> args, pid_t& pid) {
  args.insert(args.begin(), "/usr/bin/python3");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int fds[2];
  if (pipe(fds) != 0) return 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  std::string line;
  char c = 0;
  pollfd p{fds[0], POLLIN, 0};
  while (pid > 0 && poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') line += c;
  close(fds[0]);
  return line.rfind("PORT ", 0) == 0 ? std::atoi(line.c_str() + 5) : 0;
}
