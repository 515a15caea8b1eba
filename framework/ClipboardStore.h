#pragma once
// The system clipboard as the core sees it: named formats holding bytes. The program
// installs the store of the real clipboard (app/ui); without one, and in tests, an
// in-memory store serves, so the transfer code runs without a display.
//
// Everything read from a store is untrusted: another program may have put it there.
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <wx/string.h>

// The file manager's formats.
inline const char* const kUriListFormat = "text/uri-list";
inline const char* const kGnomeCopiedFilesFormat = "x-special/gnome-copied-files";
inline const char* const kKdeCutSelectionFormat = "application/x-kde-cutselection";

struct ClipboardEntry {
  wxString format;
  std::string bytes;
};

class IClipboardStore {
 public:
  virtual ~IClipboardStore() = default;

  // Whether the clipboard can be written now. Asked before an operation that destroys
  // data (a cut), so that the data always reach the clipboard.
  virtual bool CanOpen() { return true; }
  // Replaces the whole contents; false (contents unchanged) when it cannot be opened.
  virtual bool Set(std::vector<ClipboardEntry> entries) = 0;
  // The formats present, in the clipboard's order. Never waits for the program that
  // holds the clipboard: update handlers ask it.
  virtual std::vector<wxString> Formats() = 0;
  // The bytes of one format; nullopt when the format is not there. File lists are at
  // hand without waiting; objects may be waited for a bounded time (a paste only).
  virtual std::optional<std::string> Get(const wxString& format) = 0;
  // Empties the clipboard; false when it cannot be opened.
  virtual bool Clear() = 0;

  // The bytes move into the store (a list built in place would copy them).
  bool Put(const wxString& format, std::string bytes);
  bool Has(const wxString& format);
};

// Holds the contents in memory: the store of a program without a display, and the
// fake of the tests (which can make it refuse to open).
class MemoryClipboardStore : public IClipboardStore {
 public:
  bool CanOpen() override { return !refuseOpen; }
  bool Set(std::vector<ClipboardEntry> entries) override;
  std::vector<wxString> Formats() override;
  std::optional<std::string> Get(const wxString& format) override;
  bool Clear() override;

  const std::vector<ClipboardEntry>& Entries() const { return m_entries; }
  bool refuseOpen = false;

 private:
  std::vector<ClipboardEntry> m_entries;
};

// The store in use. The store set must outlive its use; nullptr returns to the
// built-in memory store.
IClipboardStore& ClipboardStore();
void SetClipboardStore(IClipboardStore* store);

// Installs a store for the lifetime of this object (tests).
class ScopedClipboardStore {
 public:
  explicit ScopedClipboardStore(IClipboardStore& store);
  ~ScopedClipboardStore();
  ScopedClipboardStore(const ScopedClipboardStore&) = delete;
  ScopedClipboardStore& operator=(const ScopedClipboardStore&) = delete;

 private:
  IClipboardStore* m_previous;
};
