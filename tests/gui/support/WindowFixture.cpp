#include "tests/gui/support/WindowFixture.h"

#include <thread>
#include <wx/app.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ViewHooks.h"
#include "app/ui/ProjectTreeView.h"
#include "model/ObjectFactory.h"

namespace hvtest {

void Pump(std::chrono::milliseconds atLeast) {
  const auto end = std::chrono::steady_clock::now() + atLeast;
  do {
    wxYield();
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  } while (std::chrono::steady_clock::now() < end);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Pump(std::chrono::milliseconds(10));
  }
  return true;
}

void PumpUntilIdle() {
  for (int round = 0; round < 200; ++round) {
    wxYield();
    if (!wxTheApp->HasPendingEvents() && !wxTheApp->Pending()) return;
    wxTheApp->ProcessPendingEvents();
  }
}

PopupDriver::PopupDriver(wxWindow& invoker, std::vector<int> keys, std::function<void()> whileOpen)
    : m_invoker(invoker), m_keys(std::move(keys)), m_whileOpen(std::move(whileOpen)) {
  m_invoker.Bind(wxEVT_MENU_OPEN, &PopupDriver::OnOpen, this);
  m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
    if (!m_shown || m_opened) return;
    m_opened = true;
    if (m_whileOpen) m_whileOpen();
    wxUIActionSimulator sim;
    for (int key : m_keys) sim.Char(key);
  });
  m_timer.Start(20);
}

PopupDriver::~PopupDriver() {
  m_timer.Stop();
  m_invoker.Unbind(wxEVT_MENU_OPEN, &PopupDriver::OnOpen, this);
}

void PopupDriver::OnOpen(wxMenuEvent& event) {
  m_shown = true;
  event.Skip();
}

std::vector<wxString> ContextMenuLabels(wxWindow& window, const wxPoint& at) {
  std::vector<wxString> labels;
  auto record = [&labels](wxMenuEvent& event) {
    if (wxMenu* menu = event.GetMenu(); menu && labels.empty()) {
      menu->UpdateUI();
      for (wxMenuItem* entry : menu->GetMenuItems())
        if (!entry->IsSeparator()) labels.push_back(entry->GetItemLabelText() + (entry->IsEnabled() ? "" : " (-)"));
    }
    event.Skip();
  };
  window.Bind(wxEVT_MENU_OPEN, record);
  {
    PopupDriver closer(window, {WXK_ESCAPE});
    wxContextMenuEvent event(wxEVT_CONTEXT_MENU, window.GetId(), at);
    event.SetEventObject(&window);
    window.GetEventHandler()->ProcessEvent(event);
  }
  window.Unbind(wxEVT_MENU_OPEN, record);
  return labels;
}

WindowFixture::WindowFixture() {
  CObjectFactory::IsRegistered("CPOPrjFolder");
  profile.SetPath(home.Sub("Project.INI"));
  folder = static_cast<ViewNode*>(doc.AddRoot(std::make_unique<ViewNode>(TypeCode::PrjFolder, S("Projekte"), "CPOPrjFolder")));
  project = folder->AddNode(TypeCode::Project, S("Anlage"), "CPOProject");
  device = project->AddNode(TypeCode::PrjDevice, S("Panel"), "CPOPrjDevice");
  device->PlaceInDevice(device);
  resources = device->AddNode(TypeCode::Resource, S("Ressourcen"));
  masks = resources->AddNode(TypeCode::ResMask, S("Masken"), "CPOResMask");
}

WindowFixture::~WindowFixture() {
  Close();
}

void WindowFixture::Open(const wxString& startPath) {
  frame = new CMainFrame(doc, profile);
  frame->InitialUpdate(startPath);
  frame->Show();
  Pump(std::chrono::milliseconds(100));
}

void WindowFixture::Close() {
  if (!frame) return;
  frame->Destroy();
  frame = nullptr;
  Pump(std::chrono::milliseconds(20));
}

CProjectTreeView& WindowFixture::Tree() { return *frame->GetTreeView(); }
CProjectListView& WindowFixture::List() { return *frame->GetListView(); }

}  // namespace hvtest
