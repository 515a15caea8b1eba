#pragma once
// Registers the backup and restore dialogs (CBackup, CRestore, CDlgRestorePathExists)
// with the interaction facade. Called once at start-up.
void RegisterBackupDialogs();
