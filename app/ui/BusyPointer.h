#pragma once
// The wait cursor on the display at once, wherever the pointer is over the program's
// windows.
//
// GTK shows a window's cursor only where it believes the pointer to be, and it learns
// that from the display's events. A command chosen in a menu runs before the events of
// the menu's closing are read: the wait cursor that wxBeginBusyCursor sets would wait
// for them, and no events run while the work does. So the program's top-level windows
// also get it on the display directly (X11; elsewhere this does nothing), and lose it
// again before the toolkit puts its own cursors back.

// Both pair up; they do not nest.
void ShowBusyPointerNow();
void ReleaseBusyPointer();
