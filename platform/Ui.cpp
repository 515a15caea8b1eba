#include "platform/Ui.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/dbase/Table.h"

namespace hv {

namespace {

std::vector<std::type_index>& RequestTypes() {
  static std::vector<std::type_index> types;
  return types;
}

}  // namespace

bool NoteRequestType(const std::type_info& type) {
  auto& types = RequestTypes();
  const std::type_index index(type);
  for (const auto& t : types)
    if (t == index) return true;
  types.push_back(index);
  return true;
}

std::vector<std::type_index> KnownRequestTypes() { return RequestTypes(); }

std::string RequestTypeName(const std::type_index& type) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                   &std::free);
  return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

UiFacade& Ui() {
  static UiFacade facade;
  return facade;
}

void UiFacade::PauseTables() { db::PauseTableSession(); }

int UiFacade::Message(UINT id, const wxString& text, UINT style) {
  // No table stays locked while the user reads.
  db::PauseTableSession();
  MessageHandler handler;
  {
    std::lock_guard lock(m_mutex);
    handler = m_message;
  }
  if (handler) return handler(id, text, style);
  std::fprintf(stderr, "halvora: [%u] %s\n", id, ToUtf8(text).c_str());
  switch (style & 0x0F) {
    case MB_OKCANCEL: return IDOK;
    case MB_YESNO:
    case MB_YESNOCANCEL: return (style & MB_DEFBUTTON2) ? IDNO : IDYES;
    case MB_RETRYCANCEL: return IDCANCEL;
    default: return IDOK;
  }
}

namespace {
thread_local wxString t_caption;
}

int UiFacade::Message(UINT id, const wxString& text, UINT style, const wxString& caption) {
  const wxString outer = t_caption;
  t_caption = caption;
  const int answer = Message(id, text, style);
  t_caption = outer;
  return answer;
}

wxString UiFacade::CurrentCaption() { return t_caption; }

void UiFacade::SetMessageHandler(MessageHandler handler) {
  std::lock_guard lock(m_mutex);
  m_message = std::move(handler);
}

void UiFacade::SetMissingHandler(MissingHandler handler) {
  std::lock_guard lock(m_mutex);
  m_missing = std::move(handler);
}

void UiFacade::Reset() {
  std::lock_guard lock(m_mutex);
  m_runners.clear();
  m_message = nullptr;
  m_missing = nullptr;
}

int UiFacade::Missing(const char* what) {
  MissingHandler handler;
  {
    std::lock_guard lock(m_mutex);
    handler = m_missing;
  }
  if (handler) return handler(what);
  std::fprintf(stderr, "halvora: no dialog registered for %s\n", what);
  return kNoRunner;
}

int ShowMessage(UINT id, const wxString& germanDefault, UINT style) {
  return Ui().Message(id, LocalString(id, germanDefault), style);
}

}  // namespace hv
