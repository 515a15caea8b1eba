#pragma once
// Runners of the data-point exchange dialogs.
void RegisterExchangeDialogs();
