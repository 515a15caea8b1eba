#pragma once
// The online library's driver and device parameter dialogs: a form of the plug-in's
// fields, or slot (node) and parameter text when the plug-in describes none.
void RegisterParameterDialogs();
