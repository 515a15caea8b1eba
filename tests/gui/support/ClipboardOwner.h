#pragma once
// Another program holding the clipboard (tests/gui/owner/clipboard_owner.cpp): files as
// a file manager offers them after "Copy", optionally project objects, answered at once,
// slowly or never as `mode` says. It holds the clipboard until it ends with this object.
#include <string>
#include <vector>

#include "tests/gui/support/ProgramRunner.h"

namespace hvtest {

class TempHome;

class ClipboardOwner {
 public:
  ClipboardOwner(const TempHome& home, const std::string& mode, const std::vector<std::string>& rest);
  // Waits until it holds the clipboard; false when it could not take it.
  bool Owning();

 private:
  ProgramRunner m_run;
};

}  // namespace hvtest
