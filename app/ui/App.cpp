#include "app/ui/App.h"

#include <atomic>

#include <wx/frame.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/generic/msgdlgg.h>
#include <wx/thread.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstdio>

#include "framework/MessageWrap.h"
#include "framework/MissingDialog.h"
#include "framework/ui/DialogLayout.h"
#include "app/ui/BusyPointer.h"
#include "app/ui/Dialogs.h"
#include "app/ui/MainFrame.h"
#include "app/ui/WxClipboardStore.h"
#include "app/Startup.h"
#include "platform/Codec.h"
#include "model/ModelServices.h"
#include "platform/Environment.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

namespace {

long StyleFor(UINT style) {
  long s = 0;
  switch (style & 0x0F) {
    case MB_OKCANCEL: s = wxOK | wxCANCEL; break;
    case MB_YESNO: s = wxYES_NO; break;
    case MB_YESNOCANCEL: s = wxYES_NO | wxCANCEL; break;
    case MB_RETRYCANCEL: s = wxOK | wxCANCEL; break;
    default: s = wxOK; break;
  }
  switch (style & 0xF0) {
    case MB_ICONSTOP: s |= wxICON_ERROR; break;
    case MB_ICONQUESTION: s |= wxICON_QUESTION; break;
    case MB_ICONEXCLAMATION: s |= wxICON_WARNING; break;
    case MB_ICONINFORMATION: s |= wxICON_INFORMATION; break;
    default: break;
  }
  if (style & MB_DEFBUTTON2) s |= wxNO_DEFAULT;
  return s;
}

int AnswerFor(int wx) {
  switch (wx) {
    case wxID_YES: case wxYES: return IDYES;
    case wxID_NO: case wxNO: return IDNO;
    case wxID_CANCEL: case wxCANCEL: return IDCANCEL;
    default: return IDOK;
  }
}

// Everything bound, or the names of what is not, on standard error. An unbound one
// stops the start in debug builds and tests.
bool CheckBindings() {
  const std::vector<std::string> missing = MissingBindings();
  for (const std::string& name : missing) std::fprintf(stderr, "halvora: not bound: %s\n", name.c_str());
  return missing.empty() || !StrictBindings();
}

}  // namespace

namespace {
std::atomic<int> g_busyDepth{0};
}  // namespace

int BusyCursorDepth() { return g_busyDepth.load(); }

hv::IEventLoop& WxEventLoop() {
  // Deferred tasks run once the current command or view update has finished.
  class CWxEventLoop : public hv::IEventLoop {
   public:
    void Defer(std::function<void()> task) override { wxTheApp->CallAfter(std::move(task)); }
    bool IsShiftKeyDown() override { return wxGetKeyState(WXK_SHIFT); }
    // The display's key state: no event runs while long work asks. Only an X11
    // display tells the state of keys other than the modifiers.
    bool CancelRequested() override {
      static const bool x11 = wxGetDisplayInfo().type == wxDisplayX11;
      return x11 && wxGetKeyState(WXK_ESCAPE);
    }
    // The depth counts while the cursor is on show: from after it is shown until before
    // it goes, so that a depth above 0 means the display shows it.
    void BeginBusy() override {
      wxBeginBusyCursor();
      if (g_busyDepth.load() == 0) ShowBusyPointerNow();
      g_busyDepth.fetch_add(1);
    }
    void EndBusy() override {
      const int depth = g_busyDepth.load();
      if (depth <= 0) return;
      g_busyDepth.fetch_sub(1);
      // The toolkit's cursors go back in place of the display's.
      if (depth == 1) ReleaseBusyPointer();
      wxEndBusyCursor();
    }
    void ShowProgress(int percent) override {
      wxStatusBar* bar = MainStatusBar();
      if (!bar) return;
      if (percent < 0) {
        if (m_showing) bar->SetStatusText(m_saved, 0);
        m_showing = false;
      } else {
        if (!m_showing) m_saved = bar->GetStatusText(0);
        m_showing = true;
        bar->SetStatusText(wxString::Format(wxS("%d %%"), percent), 0);
      }
      // No events run meanwhile: the bar is painted now.
      bar->Update();
    }
    void ShowStatus(const wxString& text) override {
      wxStatusBar* bar = MainStatusBar();
      if (!bar) return;
      // Progress on show gives way to the line when it ends.
      if (m_showing) m_saved = text;
      else bar->SetStatusText(text, 0);
    }

   private:
    static wxStatusBar* MainStatusBar() {
      auto* frame = dynamic_cast<wxFrame*>(wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
      return frame ? frame->GetStatusBar() : nullptr;
    }
    wxString m_saved;
    bool m_showing = false;
  };
  static CWxEventLoop loop;
  return loop;
}

void ApplyToolkitLanguage(int languageNumber) {
  const bool english = languageNumber == 1;
  // GTK's texts come from gettext, which takes LANGUAGE unless the message locale is
  // plain "C".
  std::setlocale(LC_MESSAGES, "C.UTF-8");
  setenv("LANGUAGE", english ? "en" : "de", 1);
  auto* translations = new wxTranslations;
  translations->SetLanguage(english ? wxLANGUAGE_ENGLISH_US : wxLANGUAGE_GERMAN);
  translations->AddStdCatalog();
  wxTranslations::Set(translations);
}

namespace {

void SayWhy(const wxString& text) {
  std::fprintf(stderr, "halvora: %s\n", hv::ToUtf8(text).c_str());
}

}  // namespace

bool CHalvoraApp::OnInit() {
  // A desktop session's end (or a test) asks us to close like the window's close box.
  // Installed first, so that no window of ours is ever up without it. The request runs
  // as an ordinary event, not inside the signal's own dispatch: a question it opens
  // would otherwise block every later signal.
  SetSignalHandler(SIGTERM, [](int) {
    if (auto* app = dynamic_cast<CHalvoraApp*>(wxTheApp)) app->CallAfter([app] { app->RequestEnd(); });
  });
  ApplyToolkitLanguage(hv::CurrentLanguageNumber());
  hv::InitRegistryStore();
  SetAppName("Halvora");
  BindServices(UiBindings{&WxEventLoop(), [](hv::UiFacade& ui) { BindWindowLayer(ui); }});
  if (!CheckBindings()) return false;
  m_modals = std::make_unique<CModalDialogs>();
  m_modals->Register();
  OrderTabsWhenDialogsOpen();
  m_closeRetry.SetOwner(this);
  Bind(wxEVT_TIMER, [this](wxTimerEvent&) { CloseMainWindow(); }, m_closeRetry.GetId());

  m_app = std::make_unique<CTavProjectApp>();
  StartupHost host;
  host.createMainWindow = [this] {
    // The document (made by start-up with the project list) gets its window and panes,
    // then their first filling.
    m_frame = new CMainFrame(*m_app->m_document, m_app->m_profile);
    m_frame->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& event) {
      if (event.GetEventObject() == m_frame) m_frame = nullptr;
      event.Skip();
    });
    SetTopWindow(m_frame);
    m_frame->InitialUpdate(m_app->m_projectFullPath);
    m_frame->Show();
    return true;
  };
  host.raiseMainWindow = [this] {
    CallAfter([this] {
      if (m_frame && !m_frame->IsBeingDeleted()) m_frame->Raise();
    });
  };
  if (!m_app->InitInstance(std::move(host))) {
    // A second copy ends quietly; other failures have shown their message.
    s_secondInstance = m_app->m_failedStep == StartupStep::SingleInstance;
    s_startFailed = !s_secondInstance;
    if (!m_app->m_failureText.empty()) SayWhy(m_app->m_failureText);
    m_app.reset();
    return false;
  }
  return true;
}

void CHalvoraApp::RequestEnd() {
  if (m_ending) m_forceEnd = true;
  m_ending = true;
  CloseMainWindow();
}

void CHalvoraApp::CloseMainWindow() {
  // A modal dialog lives on its caller's stack and belongs to the window: the window
  // goes only once the dialogs are closed. Each is cancelled, innermost first; one that
  // does not answer to that is waited for.
  if (m_modals && !m_modals->open.empty()) {
    wxDialog* innermost = m_modals->open.back();
    if (innermost->IsModal()) innermost->EndModal(wxID_CANCEL);
    m_closeRetry.StartOnce(200);
    return;
  }
  if (wxWindow* top = GetTopWindow()) {
    // Without force the window may ask (objects cut and not pasted); a No keeps it and
    // ends this request. Nothing on disk depends on the answer.
    if (!top->Close(m_forceEnd) && !m_forceEnd) m_ending = false;
    wxWakeUpIdle();
  } else {
    ExitMainLoop();
  }
}

int CHalvoraApp::OnExit() {
  int code = 0;
  if (m_app) code = m_app->ExitInstance();
  m_app.reset();
  hv::Ui().Reset();
  m_closeRetry.Stop();
  if (m_modals) m_modals->Unregister();
  return code;
}

// The window layer's part of the bindings: message boxes, dialogs, the report of a
// dialog this version does not have, and the desktop's clipboard.
void CHalvoraApp::BindWindowLayer(hv::UiFacade& ui) {
  ui.SetMessageHandler([](UINT, const wxString& text, UINT style) {
    // The toolkit's own message dialog: unlike the desktop's, it can be cancelled when
    // the program is asked to end while it is up.
    const wxString caption = hv::UiFacade::CurrentCaption();
    wxGenericMessageDialog dlg(wxTheApp->GetTopWindow(), WrapMessageText(text),
                               caption.empty() ? wxS("Halvora") : caption,
                               StyleFor(style));
    // Escape on a yes/no question means No, never the affirmative answer.
    if ((style & 0x0F) == MB_YESNO) dlg.SetEscapeId(wxID_NO);
    return AnswerFor(dlg.ShowModal());
  });
  // A dialog this version does not have is reported, not skipped in silence.
  ui.SetMissingHandler([](const char* what) {
    if (wxIsMainThread()) return ReportMissingDialog(what);
    LogMissingDialog(what);
    return hv::kNoRunner;
  });
  InstallWxClipboardStore();
  RegisterAppDialogs();
  RegisterSharedDialogs();
}
