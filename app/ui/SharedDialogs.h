#pragma once
// Registers the shared small dialogs (compression choice, text import/export file)
// with the interaction facade.
void RegisterSharedDialogs();
