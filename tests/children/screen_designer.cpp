// Test child standing in for the screen designer. Listens on
// $XDG_RUNTIME_DIR/halvora/<pid>.sock, then writes "<HV_DESIGNER_OUT>/<pid>.args" (its
// working folder, the argument count, one argument a line) and appends every line it
// receives to "<HV_DESIGNER_OUT>/<pid>.lines". Ends on SIGTERM, or after 60 seconds
// without a message.
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

volatile sig_atomic_t g_stop = 0;
void OnTerm(int) { g_stop = 1; }

bool WriteFile(const std::string& path, const std::string& text, const char* mode) {
  FILE* f = std::fopen(path.c_str(), mode);
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

// One connection: its first line, read for at most a second.
std::string ReadLine(int fd) {
  std::string line;
  const std::time_t start = std::time(nullptr);
  while (std::time(nullptr) - start < 2) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char c;
    const ssize_t n = read(fd, &c, 1);
    if (n <= 0 || c == '\n') break;
    line.push_back(c);
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  const char* out = std::getenv("HV_DESIGNER_OUT");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!out || !runtime) return 2;
  struct sigaction sa {};
  sa.sa_handler = OnTerm;
  sigaction(SIGTERM, &sa, nullptr);

  const std::string folder = std::string(runtime) + "/halvora";
  mkdir(folder.c_str(), 0700);
  const std::string pid = std::to_string(getpid());
  const std::string socketPath = folder + "/" + pid + ".sock";
  const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (listener < 0 || socketPath.size() >= sizeof addr.sun_path) return 3;
  std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
  unlink(socketPath.c_str());
  if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener, 8) != 0) return 4;

  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return 5;
  std::string record = std::string(cwd) + "\n" + std::to_string(argc) + "\n";
  for (int i = 0; i < argc; ++i) record += std::string(argv[i]) + "\n";
  const std::string args = std::string(out) + "/" + pid + ".args";
  // Written beside and renamed: a reader that sees the file sees all of it, and the
  // socket is listening by then.
  if (!WriteFile(args + ".part", record, "wb") || std::rename((args + ".part").c_str(), args.c_str()) != 0) return 6;

  const std::string lines = std::string(out) + "/" + pid + ".lines";
  std::time_t last = std::time(nullptr);
  while (!g_stop && std::time(nullptr) - last < 60) {
    pollfd p{listener, POLLIN, 0};
    const int r = poll(&p, 1, 200);
    if (r <= 0) continue;
    const int fd = accept(listener, nullptr, nullptr);
    if (fd < 0) continue;
    WriteFile(lines, ReadLine(fd) + "\n", "ab");
    close(fd);
    last = std::time(nullptr);
  }
  close(listener);
  unlink(socketPath.c_str());
  return 0;
}
