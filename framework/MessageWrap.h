#pragma once
// Message texts broken into lines a message box can show: the toolkit's box grows as
// wide as its longest line, and a path or a search list has no blank to break at.
#include <cstddef>
#include <wx/string.h>

// Each line longer than `width` characters is broken at its last blank within the width;
// a word longer than the width is broken after a '/', '\', ':', ';' or ',' within it,
// else at the width. Existing line ends stay.
wxString WrapMessageText(const wxString& text, std::size_t width = 80);
