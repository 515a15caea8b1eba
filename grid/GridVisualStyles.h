#pragma once
// Themed drawing of the grid. There is no theme engine to ask on this platform, so every
// caller takes its plain drawing path; the process-wide switch and the table selector
// are kept for hosts that set them.
namespace gridstyles {

void SetUseVisualStyles(bool on);
bool GetUseVisualStyles();
void SetAlternativeTable(int selector);
int GetAlternativeTable();
// Always false here: themed drawing needs the Windows theme library.
bool IsThemingAvailable();
// Themed background, edge and text: false means "nothing drawn, draw it yourself".
inline bool ThemeDrawBackground(int state, int part) { return false; }
inline bool ThemeDrawEdge(int state, int part, int borderStyle) { return false; }
inline bool ThemeDrawText(int part, int state) { return false; }

}  // namespace gridstyles
