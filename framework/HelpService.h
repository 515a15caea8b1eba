#pragma once
// The application's help as windows outside the shell ask for it: the grid's F1 and
// context help. Start-up binds the program's manuals (app/Startup.cpp).
namespace hv {

class IApplicationHelp {
 public:
  static constexpr const char* kServiceName = "application help";
  virtual ~IApplicationHelp() = default;
  // Shows the help for a window's context id (never 0: 0 means no help).
  virtual void ShowHelpContext(unsigned long contextId) {}
};

}  // namespace hv
