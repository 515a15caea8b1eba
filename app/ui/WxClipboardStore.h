#pragma once
// The desktop's clipboard behind the core's clipboard store.
//
// Project objects travel under one format of ours, "application/x-halvora-objects",
// whose data begin with the object format name ("POCT..."): the toolkit cannot list a
// clipboard's formats, so the name rides inside, and alone in a small format beside
// it. The file manager's formats are offered and read as they are. The formats are kept
// until the clipboard may have changed (our own copy, the program activated, a menu
// opened): the menus ask on every update and each question is a round trip to the
// display. Data are fetched only when they are read, and not kept.
#include <optional>
#include <string>
#include <vector>

#include "framework/ClipboardStore.h"

class WxClipboardStore : public IClipboardStore {
 public:
  static constexpr const char* kObjectsFormat = "application/x-halvora-objects";

  bool CanOpen() override;
  bool Set(std::vector<ClipboardEntry> entries) override;
  std::vector<wxString> Formats() override;
  std::optional<std::string> Get(const wxString& format) override;
  bool Clear() override;

  // Forgets what it knows of the clipboard's contents.
  void Invalidate() { m_valid = false; }

 private:
  void Refresh();

  bool m_valid = false;
  std::vector<wxString> m_formats;
};

// Makes the desktop's clipboard the program's clipboard store.
void InstallWxClipboardStore();
