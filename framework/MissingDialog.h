#pragma once
// What the user is told when the program asks for a dialog that this version does not
// have (the device sheet, the text dialog, ...): the function is not available.
#include "platform/Types.h"

// Text number of the notice.
constexpr UINT TXT_FUNCTION_NOT_AVAILABLE = 12010;

// Writes the request's type to standard error.
void LogMissingDialog(const char* what);
// Logs, shows the notice and answers hv::kNoRunner, which every caller takes as a cancel.
// Meant as the facade's missing-runner handler of the program.
int ReportMissingDialog(const char* what);
