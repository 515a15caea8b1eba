#pragma once
// A device edit changes its folder's name, the references in the project's tables, its
// own row in "GERAET" and "DEVICE.SET": steps that a kill or a full disk may separate.
// Before the first of them, what the device is to become and what its row was are
// written to one file in its folder (in one atomic write); the edit removes it when all
// are done. A load that finds it completes the change when the folder carries the new
// name, and drops it when it does not (then nothing else was changed yet).
//
// A save that fails is undone at once and reported; its journal is first renamed to the
// undo journal, so that it is never completed later: a load that finds the undo journal
// puts the old row back. A change a load cannot complete is reported once and undone.
#include <optional>
#include <wx/string.h>

#include "model/DeviceSettings.h"
#include "platform/dbase/Rows.h"

namespace devicesave {

struct Change {
  hv::db::GeraetRow row;      // the own row as it is to become (its number picks it)
  hv::db::GeraetRow oldRow;   // the own row a failed change returns to
  std::optional<DeviceSetValues> settings;   // "DEVICE.SET" as it is to become
  // A rename: the rows in the project's tables that stand for the device follow it.
  wxString oldName;
  wxString oldSymbolFile;
};

// The journal's and the undo journal's file names inside the device folder.
const wxString& JournalName();
const wxString& UndoJournalName();

// Writes the journal. False when it could not be written (then nothing may change).
bool Begin(const wxString& deviceFolder, const Change& change);
// The change is complete.
void End(const wxString& deviceFolder);
// The change failed and is reported so: it is never completed. The own row goes back
// to the old one; false when that could not be written (a load tries again).
bool Undo(const wxString& deviceFolder, const Change& change);
// At load: completes, undoes or drops a change found in the folder named `name`.
void Recover(const wxString& deviceFolder, const wxString& name);
// Says that the failed change of the device `name` stays as it is.
void ReportNotUndone(const wxString& name);

// Reads the own row of that number; false when the table or the row is missing.
bool ReadOwnRow(const wxString& deviceFolder, std::uint16_t number, hv::db::GeraetRow& row);
// Writes the row's name, driver, node and parameters over the row of its number.
bool WriteOwnRow(const wxString& deviceFolder, const hv::db::GeraetRow& row);

}  // namespace devicesave
