#pragma once
// Registers the dialogs of networks, field-bus devices and the bus scan, and the
// online library's driver and device parameter dialogs.
void RegisterFieldBusDialogs();
