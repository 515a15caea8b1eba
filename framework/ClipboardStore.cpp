#include "framework/ClipboardStore.h"

#include "platform/HeapTrim.h"

namespace {

IClipboardStore* g_store = nullptr;

MemoryClipboardStore& BuiltInStore() {
  static MemoryClipboardStore store;
  return store;
}

}  // namespace

bool IClipboardStore::Put(const wxString& format, std::string bytes) {
  std::vector<ClipboardEntry> entries(1);
  entries.front().format = format;
  entries.front().bytes = std::move(bytes);
  return Set(std::move(entries));
}

bool IClipboardStore::Has(const wxString& format) {
  for (const wxString& f : Formats())
    if (f == format) return true;
  return false;
}

bool MemoryClipboardStore::Set(std::vector<ClipboardEntry> entries) {
  if (refuseOpen) return false;
  m_entries = std::move(entries);
  return true;
}

std::vector<wxString> MemoryClipboardStore::Formats() {
  std::vector<wxString> out;
  if (refuseOpen) return out;
  for (const ClipboardEntry& e : m_entries) out.push_back(e.format);
  return out;
}

std::optional<std::string> MemoryClipboardStore::Get(const wxString& format) {
  if (refuseOpen) return std::nullopt;
  for (const ClipboardEntry& e : m_entries)
    if (e.format == format) return e.bytes;
  return std::nullopt;
}

bool MemoryClipboardStore::Clear() {
  if (refuseOpen) return false;
  std::size_t released = 0;
  for (const ClipboardEntry& e : m_entries) released += e.bytes.size();
  m_entries.clear();
  m_entries.shrink_to_fit();
  hv::ReturnFreedMemory(released);
  return true;
}

IClipboardStore& ClipboardStore() { return g_store ? *g_store : BuiltInStore(); }

void SetClipboardStore(IClipboardStore* store) { g_store = store; }

ScopedClipboardStore::ScopedClipboardStore(IClipboardStore& store) : m_previous(g_store) { g_store = &store; }

ScopedClipboardStore::~ScopedClipboardStore() { g_store = m_previous; }
