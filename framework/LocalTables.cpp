#include "framework/LocalTables.h"

void BuildColumnTables();
void BuildLanguageTable();
void BuildObjectClassTable();

void BuildLocalizedTables() {
  // The flag goes up first: the builders read each other's tables.
  static bool built = false;
  if (built) return;
  built = true;
  BuildColumnTables();
  BuildLanguageTable();
  BuildObjectClassTable();
}
