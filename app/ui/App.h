#pragma once
#include <functional>
#include <memory>
#include <wx/app.h>

#include "app/TavProjectApp.h"
#include "app/TavProjectDoc.h"

class CMainFrame;

// The toolkit's application object; the program's own start-up lives in CTavProjectApp.
class CHalvoraApp : public wxApp {
 public:
  bool OnInit() override;
  int OnExit() override;
  // True when this start found another copy running and asked it to come forward.
  static bool SecondInstance() { return s_secondInstance; }

 private:
  void RegisterDialogs();
  std::unique_ptr<CTavProjectApp> m_app;
  CMainFrame* m_frame = nullptr;
  static inline bool s_secondInstance = false;
};
