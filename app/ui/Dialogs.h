#pragma once
// Registers the wx dialogs of the application shell with the interaction facade.
void RegisterAppDialogs();
