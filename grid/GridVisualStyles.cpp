#include "grid/GridVisualStyles.h"

#include <atomic>

namespace gridstyles {
namespace {
std::atomic<bool> g_use{false};
std::atomic<int> g_table{0};
}  // namespace

void SetUseVisualStyles(bool on) { g_use = on; }
bool GetUseVisualStyles() { return g_use; }
void SetAlternativeTable(int selector) { g_table = selector; }
int GetAlternativeTable() { return g_table; }
bool IsThemingAvailable() { return false; }

}  // namespace gridstyles
