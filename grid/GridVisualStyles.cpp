#include "grid/GridVisualStyles.h"

#include <atomic>
#include <initializer_list>
#include <utility>

#include "grid/GridPainter.h"

namespace gridstyles {
namespace {

std::atomic<bool> g_use{false};
std::atomic<int> g_table{0};

struct Entry {
  int part;
  std::initializer_list<int> states;
};

// The states each part knows, in the default and the alternative table.
const Entry kDefault[] = {
    {kPartCell, {1, 2, 4, 8, 6}},          {kPartTopHeadingRow, {1, 2}},  {kPartSideHeadingColumn, {1, 2}},
    {kPartHeadingDefault, {1}},           {kPartDropButton, {1, 2, 4, 6}}, {kPartCheckUnchecked, {1, 2, 4, 8}},
    {kPartCheckChecked, {1, 2, 4, 8}},    {kPartCheckMixed, {1, 2, 4, 8}}, {kPartRadioUnchecked, {1, 2, 4}},
    {kPartRadioChecked, {1, 2, 4}},       {kPartRadioChecked2, {1, 2, 4}}, {kPartPushButton, {1, 2, 4, 16}},
    {kPartSpinUp, {1, 2, 4, 16}},         {kPartSpinDown, {1, 2, 4, 16}}, {kPartProgressChunk, {1, 2, 4, 6}},
    {kPartProgressBar, {1, 2, 4, 6}},
};
const Entry kAlternative[] = {
    {kPartCell, {1, 2, 4, 8, 6}},          {kPartTopHeadingRow, {1, 2}},  {kPartSideHeadingColumn, {1, 2}},
    {kPartHeadingDefault, {1}},           {kPartDropButton, {1, 2, 4, 6}}, {kPartCheckUnchecked, {1, 2, 4, 8}},
    {kPartCheckChecked, {1, 2, 4, 8}},    {kPartCheckMixed, {1, 2, 4, 8}}, {kPartRadioUnchecked, {1, 2, 4}},
    {kPartRadioChecked, {1, 2, 4}},       {kPartRadioChecked2, {1, 2, 4}}, {kPartPushButton, {1, 2, 4, 16}},
    {kPartSpinUp, {1, 2, 4, 16}},         {kPartSpinDown, {1, 2, 4, 16}}, {kPartProgressChunk, {1}},
    {kPartProgressBar, {1}},
};

}  // namespace

void SetUseVisualStyles(bool on) { g_use = on; }
bool GetUseVisualStyles() { return g_use; }
void SetAlternativeTable(int selector) { g_table = selector; }
int GetAlternativeTable() { return g_table; }
bool IsThemingAvailable() { return g_use; }

bool PartInTable(int part, int state) {
  const auto look = [&](const auto& table) {
    for (const Entry& e : table) {
      if (e.part != part) continue;
      for (int s : e.states)
        if (s == state) return true;
      return false;
    }
    return false;
  };
  return g_table == 1 ? look(kAlternative) : look(kDefault);
}

bool ThemeDrawBackground(CGridPainter& dc, int state, int part, const GridRect& rect) {
  if (!IsThemingAvailable() || !PartInTable(part, state)) return false;
  return dc.NativePart(part, state, rect);
}

bool ThemeDrawEdge(CGridPainter&, int, int, int, const GridRect&) { return false; }

bool ThemeDrawText(CGridPainter&, int, int) { return false; }

}  // namespace gridstyles
