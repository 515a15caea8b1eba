#pragma once
// The "&Starten", "&Abbrechen" and "&Schließen" buttons of an operation dialog (backup,
// restore) as its controller sets them.
struct OperationButtons {
  bool startShown = true, startEnabled = false;
  bool cancelShown = false, cancelEnabled = false;
  bool closeEnabled = true;
};
