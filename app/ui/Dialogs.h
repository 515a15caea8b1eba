#pragma once
// Registers the wx dialogs of the application shell with the interaction facade.
void RegisterAppDialogs();
namespace hv {
struct ShellOpenRequest;
}
// The desktop's "open": the default application of a file's type, the browser for an
// address. IDOK when one was started.
int RunShellOpen(hv::ShellOpenRequest& req);
// The compression choice of bitmaps (app/ui/SharedDialogs.cpp).
void RegisterSharedDialogs();
// The settings sheet and the shell's folder and file choices.
void RegisterSetupDialogs();
