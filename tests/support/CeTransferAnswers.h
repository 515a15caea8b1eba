#pragma once
// Answers the CE target dialog as proposed and runs the FTP transfer dialog's (or the
// online download dialog's) controller to its end, as the dialogs would without a user.
#include "build/CeDownload.h"
#include "build/FtpDownloadController.h"
#include "build/OnlineDownload.h"
#include "tests/support/TestEnv.h"

namespace hvtest {

inline void AnswerCeTransferHeadless(ScriptedUi& ui) {
  ui.Answer<DownloadWebCERequest>([](DownloadWebCERequest&) { return IDOK; });
  ui.Answer<FtpDownloadRequest>([](FtpDownloadRequest& r) {
    FtpDownloadController controller(r);
    return static_cast<int>(controller.RunToEnd() ? IDOK : IDCANCEL);
  });
}

// Runs the online download dialog's controller to its end.
inline void AnswerOnlineDownloadHeadless(ScriptedUi& ui) {
  ui.Answer<OnlineDownloadRequest>([](OnlineDownloadRequest& r) {
    OnlineDownloadController controller(r);
    return static_cast<int>(controller.RunToEnd() ? IDOK : IDCANCEL);
  });
}

}  // namespace hvtest
