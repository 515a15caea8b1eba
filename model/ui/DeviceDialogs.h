#pragma once
// Registers the device's dialogs with the interaction facade: the open-file dialog of
// the CoDeSys project import, the device sheet and the online library's parameter forms.
void RegisterDeviceDialogs();
// The project device's property sheet and the choice among scanned devices.
void RegisterPrjDeviceSheet();
// The online library's driver and device parameter dialogs.
void RegisterParameterDialogs();
