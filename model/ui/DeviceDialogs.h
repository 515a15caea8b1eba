#pragma once
// Registers the device's dialogs that this version has with the interaction facade:
// the open-file dialog of the CoDeSys project import. The device sheet is not one of
// them; asking for it tells the user that the function is not available.
void RegisterDeviceDialogs();
