#pragma once
// Registers the device's dialogs with the interaction facade: the open-file dialog of
// the CoDeSys project import, the device sheet.
void RegisterDeviceDialogs();
// The project device's property sheet and the choice among scanned devices.
void RegisterPrjDeviceSheet();
