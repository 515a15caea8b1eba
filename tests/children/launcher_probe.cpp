// Test child: writes its working folder and its arguments to the file named by
// HV_PROBE_OUT, one per line after the argument count, then exits with status 7.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* out = std::getenv("HV_PROBE_OUT");
  if (!out) return 2;
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return 3;
  std::string text = std::string(cwd) + "\n" + std::to_string(argc) + "\n";
  for (int i = 0; i < argc; ++i) text += std::string(argv[i]) + "\n";
  // Written beside and renamed, so a reader never sees half of it.
  const std::string tmp = std::string(out) + ".part";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return 4;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return std::rename(tmp.c_str(), out) == 0 ? 7 : 5;
}
