#pragma once
// Themed drawing of the grid. The process-wide switch is off at start; when a host sets
// it, the parts the part table knows are drawn by the toolkit's native renderer (this
// platform's visual style) and everything else takes its plain drawing path.
#include "grid/GridTypes.h"

class CGridPainter;

namespace gridstyles {

// Drawing parts as cells and cell types name them.
enum Part : int {
  kPartCell = 16,
  kPartTopHeadingRow = 32,
  kPartSideHeadingColumn = 64,
  kPartHeadingDefault = 128,
  kPartDropButton = 256,
  kPartCheckUnchecked = 512,
  kPartCheckChecked = 1024,
  kPartCheckMixed = 2048,
  kPartRadioUnchecked = 4096,
  kPartRadioChecked = 8192,
  kPartRadioChecked2 = 16384,
  kPartPushButton = 32768,
  kPartSpinUp = 65536,
  kPartSpinDown = 131072,
  kPartProgressChunk = 262144,
  kPartProgressBar = 524288,
};
// States: 1 normal, 2 hot or current, 4 pressed or selected, 6 both, 8 disabled,
// 16 pressed (push button and spin).

void SetUseVisualStyles(bool on);
bool GetUseVisualStyles();
void SetAlternativeTable(int selector);
int GetAlternativeTable();
// True while the switch is on: the native renderer is always there.
bool IsThemingAvailable();
// Whether the current part table has an entry for part | state.
bool PartInTable(int part, int state);
// Themed background, edge and text: false means "nothing drawn, draw it yourself".
bool ThemeDrawBackground(CGridPainter& dc, int state, int part, const GridRect& rect);
// The renderer draws no cell edges: always the plain edge.
bool ThemeDrawEdge(CGridPainter& dc, int state, int part, int borderStyle, const GridRect& rect);
bool ThemeDrawText(CGridPainter& dc, int part, int state);

}  // namespace gridstyles
