#pragma once
// The one way core code reaches the user: message boxes, questions and modal dialogs.
// Core code fills a plain request struct and calls Run; the program registers a runner
// per struct type that shows the real dialog, tests register scripted answers.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

namespace hv {

// Answer of Run when no runner is registered for the request type.
constexpr int kNoRunner = -1;

// Every request type some linked code can run: recorded before main by the Run that
// names it, so that start-up can check each has a runner.
bool NoteRequestType(const std::type_info& type);
std::vector<std::type_index> KnownRequestTypes();
template <class T>
struct RequestType {
  static inline const bool noted = NoteRequestType(typeid(T));
};
// The readable name of a request type ("NewNameRequest", "hv::SelectLanguageRequest").
std::string RequestTypeName(const std::type_index& type);

class UiFacade {
 public:
  using MessageHandler = std::function<int(UINT id, const wxString& text, UINT style)>;
  using MissingHandler = std::function<int(const char* what)>;

  // Shows a message box with a final (localised, formatted) text. Without a handler
  // the text goes to standard error and the answer is the box's default button.
  int Message(UINT id, const wxString& text, UINT style = MB_OK);
  // The same under a caption of its own (the program's name otherwise).
  int Message(UINT id, const wxString& text, UINT style, const wxString& caption);
  // For message handlers: the caption of the message being shown; empty for the
  // program's name.
  static wxString CurrentCaption();

  template <class T>
  void Register(std::function<int(T&)> runner) {
    std::lock_guard lock(m_mutex);
    m_runners[std::type_index(typeid(T))] = [runner](void* p) { return runner(*static_cast<T*>(p)); };
  }
  template <class T>
  void Unregister() {
    std::lock_guard lock(m_mutex);
    m_runners.erase(std::type_index(typeid(T)));
  }
  template <class T>
  bool HasRunner() const {
    return HasRunner(std::type_index(typeid(T)));
  }
  bool HasRunner(const std::type_index& type) const {
    std::lock_guard lock(m_mutex);
    return m_runners.count(type) != 0;
  }
  // Runs the dialog for the request; the runner fills the request in.
  template <class T>
  int Run(T& request) {
    (void)RequestType<T>::noted;
    std::function<int(void*)> fn;
    {
      std::lock_guard lock(m_mutex);
      auto it = m_runners.find(std::type_index(typeid(T)));
      if (it != m_runners.end()) fn = it->second;
    }
    if (!fn) return Missing(typeid(T).name());
    PauseTables();
    return fn(&request);
  }

  void SetMessageHandler(MessageHandler handler);
  void SetMissingHandler(MissingHandler handler);
  // Drops every runner and handler (tests start from a clean facade).
  void Reset();

 private:
  int Missing(const char* what);
  // Lets the tables of a running command go while a dialog is open.
  static void PauseTables();

  mutable std::recursive_mutex m_mutex;
  std::map<std::type_index, std::function<int(void*)>> m_runners;
  MessageHandler m_message;
  MissingHandler m_missing;
};

UiFacade& Ui();

// Localised message by text number: the catalogue's text or the German default,
// formatted with the arguments (never with user text as the format).
int ShowMessage(UINT id, const wxString& germanDefault, UINT style = MB_OK);

template <class... Args>
int ShowMessageF(UINT id, const wxString& germanFormat, UINT style, Args&&... args);

}  // namespace hv

#include "platform/Localization.h"

namespace hv {
template <class... Args>
int ShowMessageF(UINT id, const wxString& germanFormat, UINT style, Args&&... args) {
  return Ui().Message(id, wxString::Format(LocalString(id, germanFormat), std::forward<Args>(args)...), style);
}
}  // namespace hv
