#pragma once
// The desktop's clipboard behind the core's clipboard store.
//
// Project objects travel under one format of ours, "application/x-halvora-objects",
// whose data begin with the object format name ("POCT..."): the toolkit cannot list a
// clipboard's formats, so the name rides inside. The file manager's formats are
// offered and read as they are. Answers are kept for a moment, since the menus ask on
// every update and each question is a round trip to the display.
#include <chrono>
#include <map>
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
  std::chrono::steady_clock::time_point m_readAt;
  std::vector<wxString> m_formats;
  std::map<wxString, std::string> m_data;
};

// Makes the desktop's clipboard the program's clipboard store.
void InstallWxClipboardStore();
