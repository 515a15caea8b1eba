// The command line is anything a user or a desktop entry passes: reading it never
// crashes, and a refused one always says what was wrong.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args;
  std::string arg;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(arg);
      arg.clear();
    } else {
      arg += static_cast<char>(data[i]);
    }
  }
  args.push_back(arg);
  const CommandLine line = ParseCommandLine(args);
  if (line.action == CommandLine::Action::Error && line.error.empty()) std::abort();
  (void)UsageText(wxString::FromUTF8(args[0]));
  (void)VersionText();
  return 0;
}
