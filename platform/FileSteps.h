#pragma once
// Every step that changes a file or folder calls FileStep() just before it. With the
// environment variable HALVORA_TEST_KILL_AT=N the process kills itself (SIGKILL) at
// step N, so tests can stop an operation at each of its steps and check what the next
// start finds. Without the variable it does nothing.
namespace hv {

void FileStep();

}  // namespace hv
