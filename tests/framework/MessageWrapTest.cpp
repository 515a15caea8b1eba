#include <gtest/gtest.h>

#include <wx/arrstr.h>

#include "framework/MessageWrap.h"

// Real texts that made boxes as wide as the screen: a search list, a long path, a
// sentence; one row a case.
TEST(MessageWrap, LongLinesBreakAtBlanksThenAtSeparators) {
  struct Row {
    const char* text;
    std::size_t width;
    const char* wrapped;
  } rows[] = {
      {"short", 20, "short"},
      {"eins zwei drei vier", 9, "eins zwei\ndrei vier"},
      {"a\n\nb", 5, "a\n\nb"},
      {"PATH=/usr/local/bin:/usr/bin:/bin:/usr/games", 20, "PATH=/usr/local/bin:\n/usr/bin:/bin:/usr/\ngames"},
      {"Datei '/home/u/Projekte/Anlage/Panel/bitmaps/x.bmp' fehlt", 24,
       "Datei\n'/home/u/Projekte/\nAnlage/Panel/bitmaps/\nx.bmp' fehlt"},
      {"0123456789abcdefghij", 8, "01234567\n89abcdef\nghij"},
  };
  for (const Row& r : rows) {
    const wxString out = WrapMessageText(wxString::FromUTF8(r.text), r.width);
    EXPECT_EQ(out, wxString::FromUTF8(r.wrapped)) << r.text;
    for (const wxString& line : wxSplit(out, '\n', 0)) EXPECT_LE(line.length(), r.width) << r.text;
  }
}
