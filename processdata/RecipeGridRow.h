#pragma once
// One row of the recipe editor as the value grid receives it: copied by value.
#include <cstdint>
#include <wx/string.h>

struct RecipeGridRow {
  std::uint32_t words[4] = {0, 0, 0, 0};
  float values[2] = {0.0f, 0.0f};
  wxString texts[2];
  std::uint32_t last = 0;
};
