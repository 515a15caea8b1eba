// Test child: sleeps for the seconds given as its first argument (default 10).
#include <unistd.h>

#include <cstdlib>

int main(int argc, char** argv) {
  unsigned seconds = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 10;
  while (seconds > 0) seconds = sleep(seconds);
  return 0;
}
