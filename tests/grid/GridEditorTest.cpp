// Typing, pasting and ending keys of the in-cell editors as the core runs them, and the
// find dialog's requests with their message through the dialog facade.
#include <gtest/gtest.h>

#include "RecordingGrid.h"
#include "platform/Localization.h"
#include "tests/support/TestEnv.h"

using Lines = std::vector<std::string>;

TEST(GridEditor, EndingKeysMoveAndContinuePastTheLastColumn) {
  RecordingGrid g(5, 10);
  struct Row {
    int key, modifiers;
    int column, row;  // where editing goes on
  } rows[] = {
      {WXK_TAB, 0, 1, 0},        {WXK_RETURN, 0, 1, 1}, {WXK_UP, 0, 1, 0},
      {WXK_TAB, kMkShift, 0, 0}, {WXK_TAB, kMkShift, 4, 0},  // left of column 0 is the last column
      {WXK_TAB, 0, 0, 0},                                     // right of the last column is column 0
  };
  ASSERT_EQ(g.StartEdit(0, 0), 0);
  for (const Row& r : rows) {
    EXPECT_EQ(g.EditorKeyDown(r.key, r.modifiers, wxS("v"), 1, 1, 1), 2);
    ASSERT_TRUE(g.IsEditing());
    EXPECT_EQ(g.EditColumn(), r.column) << r.key;
    EXPECT_EQ(g.EditRow(), r.row) << r.key;
  }
  EXPECT_EQ(g.GetCellText(4, 0), wxS("v"));
  // Left and Right end only at the text's edges.
  EXPECT_EQ(g.EditorKeyDown(WXK_LEFT, 0, wxS("abc"), 1, 1, 1), 0);
  EXPECT_EQ(g.EditorKeyDown(WXK_ESCAPE, 0, wxS("changed"), 0, 0, 0), 2);
  EXPECT_FALSE(g.IsEditing());
  EXPECT_EQ(g.GetCellText(0, 0), wxS("v"));
}

TEST(GridEditor, RefusedFinishKeepsTheEditorOnTheCell) {
  RecordingGrid g;
  ASSERT_EQ(g.StartEdit(2, 2), 0);
  g.editFinish = 0;
  EXPECT_EQ(g.EditorKeyDown(WXK_TAB, 0, wxS("bad"), 3, 3, 3), 2);
  EXPECT_TRUE(g.IsEditing());
  EXPECT_EQ(g.EditColumn(), 2);
  EXPECT_EQ(g.GetCellText(2, 2), wxString());
}

TEST(GridEditor, MaskedTypingAsksSourceThenHostTwice) {
  RecordingGrid g;
  CGridCell cell;
  cell.SetInputMask(wxS("\\(000\\) 000"));
  g.SetCell(1, 1, cell);
  ASSERT_EQ(g.StartEdit(1, 1), 0);
  EXPECT_EQ(g.ActiveEditor(), &g.MaskedEditor());
  wxString text;
  int caret = 0;
  g.t.lines.clear();
  EXPECT_TRUE(g.EditorTypeChar(text, caret, 0, 0, '1'));
  EXPECT_EQ(g.t.lines, (Lines{"ds.EditVerify", "EditVerify", "EditVerify"}));
  EXPECT_EQ(text, wxS("(1"));
  EXPECT_FALSE(g.EditorTypeChar(text, caret, caret, caret, 'x'));
  // Pasted text is checked like typed text: letters dropped, literals put in.
  EXPECT_EQ(g.EditorPaste(text, caret, wxS("23abc4567890")), wxS("(123) 456"));
  g.FinishEdit(true, text, false, 0, 0);
  ASSERT_EQ(g.StartEdit(0, 0), 0);
  EXPECT_EQ(g.ActiveEditor(), &g.PlainEditor());
  EXPECT_EQ(g.EditorPaste(wxS("ab"), 1, wxS("XY")), wxS("aXYb"));
}

TEST(GridEditor, HostMayDropCharacters) {
  struct NoDigits : RecordingGrid {
    int OnEditVerify(int, int, CGridEditor*, int& key) override { return key < '0' || key > '9'; }
  } g;
  ASSERT_EQ(g.StartEdit(0, 0), 0);
  EXPECT_EQ(g.EditorPaste(wxString(), 0, wxS("a1b2")), wxS("ab"));
  // Delete is checked as character 127.
  EXPECT_EQ(g.EditorKeyDown(WXK_DELETE, 0, wxS("ab"), 0, 0, 0), 0);
}

TEST(GridFindDialog, FlagsAndNotFoundMessage) {
  hvtest::ScriptedUi ui;
  RecordingGrid g(3, 4);
  g.SetCellText(2, 3, wxS("Needle here"));
  g.SearchAllColumns() = true;
  // Down, substring, any case.
  EXPECT_EQ(g.OnFindDialog(CGridCore::kFindNext, wxS("needle"), wxString(), CGridCore::kFindDown), 0);
  EXPECT_EQ(g.Sheet().currentColumn, 2);
  EXPECT_EQ(g.Sheet().currentRow, 3);
  // Nothing found: told in the language in use.
  ui.ExpectMessage(13955, IDOK);
  EXPECT_EQ(g.OnFindDialog(CGridCore::kFindNext, wxS("needle"), wxString(),
                           CGridCore::kFindDown | CGridCore::kFindMatchCase), 1);
  EXPECT_TRUE(ui.AllExpectationsMet());
  ASSERT_EQ(ui.MessageTexts().size(), 1u);
  EXPECT_EQ(ui.MessageTexts()[0], wxS("Suchbegriff nicht gefunden"));
  EXPECT_EQ(ui.MessageCaptions()[0], wxS("Nicht gefunden"));
  {
    hvtest::TempHome home;
    home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" HV_TEST_SOURCE_DIR "/../data\"\n");
    ASSERT_TRUE(hv::InitMultiLanguage("Project", "ENG"));
    ui.ExpectMessage(13955);
    g.OnFindDialog(CGridCore::kFindNext, wxS("nowhere"), wxString(), CGridCore::kFindDown);
    hv::ResetLanguage();
    ASSERT_EQ(ui.MessageTexts().size(), 2u);
    EXPECT_EQ(ui.MessageTexts()[1], wxS("Item not found"));
    EXPECT_EQ(ui.MessageCaptions()[1], wxS("Not Found"));
  }
  EXPECT_EQ(g.OnFindDialog(CGridCore::kFindReplaceAll, wxS("here"), wxS("there"), CGridCore::kFindDown), 0);
  EXPECT_EQ(g.GetCellText(2, 3), wxS("Needle there"));
}

TEST(GridEditor, TheMaskedEditorShowsTheCellsTextAlongItsMask) {
  RecordingGrid g;
  CGridCell cell;
  cell.SetInputMask(wxS("\\(000\\) 000"));
  cell.SetText(wxS("12x3456"));
  g.SetCell(1, 1, cell);
  ASSERT_EQ(g.StartEdit(1, 1), 0);
  EXPECT_EQ(g.view.shownText, wxS("(123) 456"));
  // A paste into the middle leaves the whole text in the mask's shape.
  EXPECT_EQ(g.EditorPaste(wxS("(12"), 1, wxS("9")), wxS("(912"));
}

TEST(GridEditor, ThePlainEditorGrowsOverTheColumnsItsTextRunsInto) {
  RecordingGrid g;
  ASSERT_EQ(g.StartEdit(1, 1), 0);
  GridRect start, second, third;
  g.CellRectangle(1, 1, start);
  start.right -= 1;
  start.bottom -= 1;
  g.CellRectangle(2, 1, second);
  g.CellRectangle(3, 1, third);
  // Text that fits changes nothing; longer text reaches to the edge of the column it runs into.
  EXPECT_EQ(g.EditorGrowth(start, GridPoint{20, 14}), start);
  GridRect grown = g.EditorGrowth(start, GridPoint{start.Width() + 10, 14});
  EXPECT_EQ(grown.right, second.right - 1);
  EXPECT_EQ(grown.left, start.left);
  grown = g.EditorGrowth(grown, GridPoint{start.Width() + second.Width() + 5, 14});
  EXPECT_EQ(grown.right, third.right - 1);
  // Never narrower than at the start, never past the area.
  EXPECT_EQ(g.EditorGrowth(start, GridPoint{1, 1}).right, start.right);
  EXPECT_LT(g.EditorGrowth(start, GridPoint{5000, 14}).right, g.Sheet().cellAreaWidth);
  g.FinishEdit(true, wxString(), false, 0, 0);
  // A right-aligned cell does not run on: its editor keeps its size.
  CGridCell right;
  right.SetAlignment(gridcell::kRight);
  g.SetCell(1, 2, right);
  ASSERT_EQ(g.StartEdit(1, 2), 0);
  GridRect cell;
  g.CellRectangle(1, 2, cell);
  cell.right -= 1;
  cell.bottom -= 1;
  EXPECT_EQ(g.EditorGrowth(cell, GridPoint{500, 14}), cell);
}
