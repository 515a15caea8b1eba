#pragma once
// Registers the transfer dialogs (CDlgFtpDownload, CDlgDownloadWebCE, CDlgDownload) with the
// interaction facade. Called once at start-up.
void RegisterTransferDialogs();
