#pragma once
// Hands each modal dialog to a test function before it shows; the function's answer
// ends the dialog (wxID_NONE lets it show).
#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <functional>

namespace hvtest {

class OnDialog : public wxModalDialogHook {
 public:
  explicit OnDialog(std::function<int(wxDialog*)> fn) : m_fn(std::move(fn)) { Register(); }
  ~OnDialog() override { Unregister(); }

 protected:
  int Enter(wxDialog* dialog) override { return m_fn(dialog); }
  void Exit(wxDialog*) override {}

 private:
  std::function<int(wxDialog*)> m_fn;
};

}  // namespace hvtest
