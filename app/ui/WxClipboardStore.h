#pragma once
// The desktop's clipboard behind the core's clipboard store.
//
// Project objects travel under one format of ours, "application/x-halvora-objects",
// whose data begin with the object format name ("POCT..."); the name rides alone in a
// small format beside it too. The file manager's formats are offered and read as they
// are.
//
// The clipboard belongs to whichever program copied last, and that program may answer
// slowly or never; the paste command's state is asked on every update. So a state
// check never waits: what the clipboard holds is asked in the background whenever it
// gets a new owner (where the display tells no owner changes: when the program is
// activated, and after our own copies), and what has come is kept until then. The
// objects' name and the small file lists come with it; the objects themselves are
// fetched only for a paste, waiting a bounded time, and not kept.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/ClipboardStore.h"

struct ClipboardKnowledge;

class WxClipboardStore : public IClipboardStore {
 public:
  static constexpr const char* kObjectsFormat = "application/x-halvora-objects";
  // How long a paste waits for objects that another program holds.
  static constexpr int kReadLimitMs = 5000;

  WxClipboardStore();

  bool CanOpen() override;
  bool Set(std::vector<ClipboardEntry> entries) override;
  std::vector<wxString> Formats() override;
  std::optional<std::string> Get(const wxString& format) override;
  bool Clear() override;

  // Forgets what it knows of the clipboard's contents; they are asked anew.
  void Invalidate();

 private:
  void Refresh();

  std::shared_ptr<ClipboardKnowledge> m_known;
};

// Makes the desktop's clipboard the program's clipboard store.
void InstallWxClipboardStore();
