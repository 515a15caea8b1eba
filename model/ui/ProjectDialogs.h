#pragma once
// Registers the project dialogs (new project, the project's settings sheet with its
// pages, the language dialogs) and the small shared dialogs with the interaction facade.
void RegisterProjectDialogs();
