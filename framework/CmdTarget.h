#pragma once
// Command maps: each command target class has one static table of entries (a command
// id or id range with a handler and/or an update handler). A class's own entries come
// before those of its base class, so a derived class overrides a base entry by listing
// the same id. Requests are commands (run the handler) or update-interface requests
// (ask the update handler whether the command is enabled, checked, how it is called).
//
// Declaring a map:
//   class CPOFoo : public CProjectObject {
//     ...
//     HV_DECLARE_COMMAND_MAP()
//    protected:
//     void OnRename();
//     void OnUpdateRename(CCmdUI* pCmdUI);
//   };
//   BEGIN_COMMAND_MAP(CPOFoo, CProjectObject)
//     ON_COMMAND(32772, OnRename)
//     ON_UPDATE_COMMAND_UI(32772, OnUpdateRename)
//   END_COMMAND_MAP()
#include <type_traits>
#include <wx/string.h>

#include "platform/Types.h"

// Request codes of OnCmdMsg.
enum : int {
  CN_COMMAND = 0,
  CN_UPDATE_COMMAND_UI = -1,
};

// The user-interface state of one command (a menu item, a toolbar button) while its
// update request travels along the route. Enable, SetCheck and SetText record what the
// handler decided; ContinueRouting lets the request go on to the next target.
class CCmdUI {
 public:
  explicit CCmdUI(UINT id = 0) : m_nID(id) {}
  virtual ~CCmdUI() = default;

  void Enable(BOOL on = TRUE) {
    m_bEnableChanged = TRUE;
    DoEnable(on);
  }
  void SetCheck(int check = 1) { DoSetCheck(check); }
  void SetText(const wxString& text) { DoSetText(text); }
  void ContinueRouting() { m_bContinueRouting = TRUE; }

  UINT m_nID;
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;

 protected:
  virtual void DoEnable(BOOL on) = 0;
  virtual void DoSetCheck(int check) = 0;
  virtual void DoSetText(const wxString& text) = 0;
};

// A CCmdUI that only remembers what it was told: for checks before running a command
// and for tests.
class CRecordingCmdUI : public CCmdUI {
 public:
  explicit CRecordingCmdUI(UINT id) : CCmdUI(id) {}
  bool enabled = true;
  bool enableSet = false;
  int check = 0;
  bool checkSet = false;
  wxString text;
  bool textSet = false;

 protected:
  void DoEnable(BOOL on) override {
    enabled = on != FALSE;
    enableSet = true;
  }
  void DoSetCheck(int c) override {
    check = c;
    checkSet = true;
  }
  void DoSetText(const wxString& t) override {
    text = t;
    textSet = true;
  }
};

class CCmdTarget;

// Given to OnCmdMsg instead of running a command: the request only asks whether the
// target has a handler. `target` is valid only while that target lives.
struct CmdHandlerInfo {
  const CCmdTarget* target = nullptr;
};

// Runs a command handler; FALSE means "not handled after all" (routing goes on).
using CmdHandlerFn = BOOL (*)(CCmdTarget& target, UINT id);
using CmdUpdateFn = void (*)(CCmdTarget& target, CCmdUI& ui);

struct CmdMapEntry {
  UINT first = 0;
  UINT last = 0;
  CmdHandlerFn handler = nullptr;
  CmdUpdateFn update = nullptr;

  bool IsEnd() const { return handler == nullptr && update == nullptr; }
  bool Covers(UINT id) const { return first <= id && id <= last; }
};

struct CmdMap {
  const CmdMap* base;          // nullptr for CCmdTarget's own map
  const CmdMapEntry* entries;  // ends with an entry that has neither handler
};

class CCmdTarget {
 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = default;
  CCmdTarget& operator=(const CCmdTarget&) = default;
  virtual ~CCmdTarget() = default;

  // Offers a request to this target's command map. Commands: runs the first handler
  // for the id (or, with `probe`, only says that there is one). Update requests: runs
  // the first update handler for the id; TRUE unless it called ContinueRouting.
  virtual BOOL OnCmdMsg(UINT id, int code, CCmdUI* ui, CmdHandlerInfo* probe);

  // Whether this target's map has a command handler for the id; runs nothing.
  BOOL HasCommandHandler(UINT id);

  static const CmdMap& ClassCommandMap();

 protected:
  virtual const CmdMap* GetCommandMap() const { return &ClassCommandMap(); }
};

namespace cmdmap {

template <class F>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
  using type = C;
};
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...) const> {
  using type = C;
};

template <auto F>
BOOL CallCommand(CCmdTarget& target, UINT id) {
  using C = typename MemberOf<decltype(F)>::type;
  C& object = static_cast<C&>(target);
  if constexpr (std::is_invocable_v<decltype(F), C&>) {
    (object.*F)();
    return TRUE;
  } else if constexpr (std::is_void_v<std::invoke_result_t<decltype(F), C&, UINT>>) {
    (object.*F)(id);
    return TRUE;
  } else {
    return (object.*F)(id) ? TRUE : FALSE;
  }
}

template <auto F>
void CallUpdate(CCmdTarget& target, CCmdUI& ui) {
  using C = typename MemberOf<decltype(F)>::type;
  C& object = static_cast<C&>(target);
  if constexpr (std::is_invocable_v<decltype(F), C&, CCmdUI*>)
    (object.*F)(&ui);
  else
    (object.*F)(ui);
}

// Handlers may be void(), void(UINT id) or BOOL(UINT id) (FALSE: not handled).
template <auto F>
constexpr CmdMapEntry Command(UINT first, UINT last) {
  return CmdMapEntry{first, last, &CallCommand<F>, nullptr};
}
// Update handlers take CCmdUI* or CCmdUI&.
template <auto F>
constexpr CmdMapEntry Update(UINT first, UINT last) {
  return CmdMapEntry{first, last, nullptr, &CallUpdate<F>};
}

}  // namespace cmdmap

// In the class body; leaves the access at public.
#define HV_DECLARE_COMMAND_MAP()                                              \
 public:                                                                     \
  static const CmdMap& ClassCommandMap();                                    \
                                                                             \
 protected:                                                                  \
  const CmdMap* GetCommandMap() const override { return &ClassCommandMap(); } \
                                                                             \
 public:

#define BEGIN_COMMAND_MAP(theClass, baseClass) \
  const CmdMap& theClass::ClassCommandMap() {  \
    using ThisClass = theClass;                \
    using TheBaseClass = baseClass;            \
    static const CmdMapEntry kEntries[] = {

#define END_COMMAND_MAP()                                                \
      CmdMapEntry{}};                                                    \
    static const CmdMap kMap{&TheBaseClass::ClassCommandMap(), kEntries}; \
    return kMap;                                                         \
  }

#define ON_COMMAND(id, fn) ::cmdmap::Command<&ThisClass::fn>((id), (id)),
#define ON_COMMAND_RANGE(first, last, fn) ::cmdmap::Command<&ThisClass::fn>((first), (last)),
#define ON_UPDATE_COMMAND_UI(id, fn) ::cmdmap::Update<&ThisClass::fn>((id), (id)),
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, fn) ::cmdmap::Update<&ThisClass::fn>((first), (last)),
