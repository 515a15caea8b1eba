#pragma once
// What a device's rename changes in the tables of its project: rows that stand for the
// device in any device's "GERAET" table take the new name.
#include <vector>
#include <wx/string.h>

// The symbol file of a parameter text: its second ';'-separated field; empty without one.
wxString SymbolFileOf(const wxString& parameters);

// Replaces the old name by the new one where it stands as a whole path component or
// field (between '\', '/', ';' and the ends), case ignored; "A" in "Anlagen\A\x" changes
// only the second component.
wxString ReplaceNameComponent(const wxString& text, const wxString& oldName, const wxString& newName);

// In the "GERAET" table of each device folder (in the given order), the first row, by
// device number, whose name is the old name or whose symbol file (macros of the project
// and device folder replaced by the project folder) is the old symbol file, gets the new
// name and its parameter text the new name in place of the old. An empty old symbol
// file matches nothing. Tables without such a row stay as they are.
void UpdateDeviceReferences(const std::vector<wxString>& deviceFolders, const wxString& projectFolder,
                            const wxString& oldName, const wxString& newName, const wxString& oldSymbolFile);
// The device folders of a project folder: its sub-folders that hold "DEVICE.SET".
std::vector<wxString> DeviceFoldersOf(const wxString& projectFolder);
