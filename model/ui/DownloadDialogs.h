#pragma once
// Runners of the project download's program choice and failure report.
void RegisterDownloadDialogs();
