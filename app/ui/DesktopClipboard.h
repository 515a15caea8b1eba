#pragma once
// Reading the desktop's clipboard without waiting for the program that holds it: the
// toolkit's own requests, answered later in the event loop. The clipboard belongs to
// another program that may answer slowly or never; a wait for it inside a state check
// would freeze the window (and a dialog opened meanwhile would ask again, re-entering
// the wait). The toolkit's synchronous calls are used for writing only.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace desktopclip {

// Whether the toolkit's clipboard calls are there (the program runs on GTK).
bool Available();

// Whether the display tells when the clipboard changes owner.
bool WatchesOwner();

// Grows each time the clipboard gets a new owner, this program included; starts
// watching at the first call. Without the display's change notices it stays 0.
std::uint64_t OwnerChanges();

// The clipboard's formats, handed to `done` once its owner has told them (empty when it
// could not). `done` may run before this returns, when this program owns the clipboard.
void RequestFormats(std::function<void(std::vector<std::string>)> done);

// The bytes of one format; nullopt when the owner could not give them.
void RequestData(const std::string& format, std::function<void(std::optional<std::string>)> done);

// The bytes of one format for a command that needs them now: waits at most `limitMs`,
// dispatching only the clipboard's own events meanwhile. nullopt when they did not
// come in time, and at once while another such read is waiting.
std::optional<std::string> ReadData(const std::string& format, int limitMs);

}  // namespace desktopclip
