#pragma once
// A device edit changes its folder's name, its own row in "GERAET" and "DEVICE.SET":
// three steps that a kill may separate. Before the first of them, what the device is
// to become is written to one file in its folder (in one atomic write); the edit
// removes it when all are done. A load that finds it completes the change when the
// folder already carries the new name, and drops it when it does not (then nothing
// else was changed yet).
#include <optional>
#include <wx/string.h>

#include "model/DeviceSettings.h"
#include "platform/dbase/Rows.h"

namespace devicesave {

// The journal's file name inside the device folder.
const wxString& JournalName();

// Writes the journal: the own row (its number picks it) and, when given, the
// settings. False when it could not be written (then nothing may change).
bool Begin(const wxString& deviceFolder, const hv::db::GeraetRow& own, const DeviceSetValues* settings);
// The change is complete.
void End(const wxString& deviceFolder);
// At load: completes or drops a change found in the folder named `name`.
void Recover(const wxString& deviceFolder, const wxString& name);

}  // namespace devicesave
