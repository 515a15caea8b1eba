#include "tests/gui/support/ClipboardOwner.h"

#include "platform/Codec.h"
#include "tests/support/TestEnv.h"

namespace hvtest {

namespace {

std::vector<std::string> Args(const std::string& mode, std::vector<std::string> rest) {
  rest.insert(rest.begin(), mode);
  return rest;
}

}  // namespace

ClipboardOwner::ClipboardOwner(const TempHome& home, const std::string& mode, const std::vector<std::string>& rest)
    : m_run(HV_TEST_BINARY_DIR "/children/clipboard_owner", hv::ToUtf8(home.Path()), Args(mode, rest)) {}

bool ClipboardOwner::Owning() {
  const bool settled = WaitFor(
      [this] { return m_run.Output().find("owning") != std::string::npos || !m_run.Running(); },
      std::chrono::seconds(10));
  return settled && m_run.Running();
}

}  // namespace hvtest
