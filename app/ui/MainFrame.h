#pragma once
#include <wx/frame.h>

// The main window. Its splitter with the project tree and list grows here.
class CMainFrame : public wxFrame {
 public:
  CMainFrame();
  // Brings the window forward, restoring it when minimised.
  void Raise();

 private:
  void OnClose(wxCloseEvent& event);
};
