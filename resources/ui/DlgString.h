#pragma once
// Dialog 109 "Text": one text in every project language and its logical id.
void RegisterStringDialog();
