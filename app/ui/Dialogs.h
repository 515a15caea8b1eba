#pragma once
// Registers the wx dialogs of the application shell with the interaction facade.
void RegisterAppDialogs();
// The compression choice of bitmaps (app/ui/SharedDialogs.cpp).
void RegisterSharedDialogs();
// The settings sheet and the shell's folder and file choices.
void RegisterSetupDialogs();
