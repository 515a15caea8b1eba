#pragma once
// What the text dialog does while it is open: the shown language's text in and out of
// its stored form, the checks on OK and putting the object back when the user cancels.
#include <cstdint>
#include <map>
#include <vector>

#include "model/DeviceServices.h"
#include "resources/String.h"

namespace strtext {

// The stored form's field holds this many UTF-16 units.
constexpr std::size_t kMaxUnits = 256;

// Stored form to the edit's text: backslash-n is a line break ('\n'), backslash,
// backslash, n a typed backslash-n.
wxString Unescape(const wxString& stored);
// The edit's text to the stored form; "\r\n" and '\n' both are line breaks.
wxString Escape(const wxString& edited);
// The length of a text in UTF-16 units.
std::size_t Utf16Units(const wxString& text);
// The text cut to `units` UTF-16 units, never inside a surrogate pair.
wxString CutToUnits(const wxString& text, std::size_t units);

}  // namespace strtext

class StringDialogController {
 public:
  explicit StringDialogController(StringEditRequest& request);

  std::vector<LANGUAGE> Languages() const;
  WORD Language() const { return m_language; }
  std::uint16_t LogicalId() const { return m_logicalId; }
  // The shown language's text as the edit shows it.
  wxString EditText() const;
  // Stores the edited text under the shown language; false (after a message) when its
  // stored form does not fit, and then nothing is stored.
  bool Save(const wxString& edited, unsigned long logicalId);
  // Stores the shown text, then shows `language`; false when the text was refused and
  // the language stays.
  bool SwitchTo(const wxString& edited, WORD language);
  // The checks of OK: true when the dialog may end with IDOK. A logical id held by
  // another text, or a text table that cannot be read, keeps the dialog open.
  bool Ok(const wxString& edited, unsigned long logicalId);

 private:
  StringEditRequest& m_request;
  WORD m_language = 0;
  std::uint16_t m_logicalId = 0;
};

// Runs the text dialog on the object; on anything but IDOK the texts it had before are
// put back. Gives the dialog's result.
int RunStringDialog(CPOString& text, WORD language);
