#pragma once
// The logical ids of pictures and fonts, kept in the device's BITMAP and FONT tables:
// the row of a file name, ids held by other rows, registering an id, the paste rule
// and the change dialog.
#include <cstdint>
#include <wx/string.h>

#include "framework/NameDialogRequests.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"

namespace logid {

enum class Kind { Bitmap, Font };

// The marker of an id that, after a paste, belongs to another file.
constexpr std::uint16_t kHeldElsewhere = 65535;

class Records {
 public:
  Records(const wxString& deviceFolder, Kind kind);
  bool IsOpen() const { return m_open; }
  // Whether a row other than `own` (a record number) holds the id.
  bool Taken(std::uint16_t id, std::uint32_t own);
  // The row of a file name (upper case, Windows-1252).
  bool FindName(const wxString& name, hv::db::BitmapRow& row);
  bool DeleteName(const wxString& name);
  bool SetLogId(std::uint32_t record, std::uint16_t id);

 private:
  hv::db::Table m_table;
  bool m_open = false;
};

void ShowTaken();

// Whether the file's row marks it as used by a screen (or, with a logical id, by other
// programs); the kind's message is then shown, with OK and Cancel inside a multiple
// selection, where Cancel clears `several` so the remaining files are not asked.
bool ReportUse(Records& records, Kind kind, const wxString& fileName, const wxString& shown, BOOL& several);

// Makes (or finds) the row of the file name and gives it the id; the record number, 0
// when it could not be stored.
std::uint32_t Register(const wxString& deviceFolder, Kind kind, const wxString& name, std::uint16_t id);

// A pasted file keeps its id unless a row of another name holds it: then 65535. The id
// (when not 0) is registered; the record number is returned through `record`.
std::uint16_t RegisterPasted(const wxString& deviceFolder, Kind kind, const wxString& name, std::uint16_t id,
                             std::uint32_t& record);

// Runs a name-and-id dialog until the typed id is free (0 always is). IDOK or IDCANCEL.
template <class Request>
int AskNameAndId(Request& request, const wxString& deviceFolder, Kind kind) {
  for (;;) {
    const int answer = hv::Ui().Run(request);
    if (answer != IDOK || request.logId == 0) return answer;
    Records records(deviceFolder, kind);
    if (!records.IsOpen() || !records.Taken(static_cast<std::uint16_t>(request.logId), 0)) return answer;
    ShowTaken();
  }
}

// "Log. ID ändern": asks until the id is free or the user cancels. Updates the id and
// record number; true when the id changed.
bool Change(const wxString& deviceFolder, Kind kind, const wxString& name, std::uint32_t& record,
            std::uint16_t& id);

}  // namespace logid
