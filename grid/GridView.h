#pragma once
// What the window-free grid asks of its windows. Null until the windows exist; every
// method has a do-nothing default so a view implements only what it shows.
#include <vector>
#include <wx/string.h>

#include "grid/GridTypes.h"

class CGridEditor;
struct CGridCalendarSettings;

class CGridView {
 public:
  virtual ~CGridView() = default;
  // Cells of the cell area (inclusive range) need repainting.
  virtual void InvalidateCells(int left, int top, int right, int bottom) {}
  virtual void InvalidateSection(int section) {}
  virtual void InvalidateAll() {}
  virtual void UpdateScrollBars() {}
  virtual void ApplyLayout(const GridRect (&rects)[7]) {}
  virtual void ShowEditor(CGridEditor* editor, const GridRect& rect, const wxString& text, int font) {}
  virtual void HideEditor(CGridEditor* editor) {}
  // The first key of an edit, typed into the editor through its own checks.
  virtual void InjectFirstChar(CGridEditor* editor, int ch) {}
  // Shows the popup menu; false when it cannot be shown. `command` is 0 without a choice.
  virtual bool RunPopupMenu(GridPoint point, int& command) { return false; }
  // A one-shot wait of `milliseconds` after which the core's KeyDelayElapsed runs, with
  // the window's events flowing meanwhile; false when the view cannot wait (the held key
  // then moves at once).
  virtual bool StartKeyDelay(int milliseconds) { return false; }
  virtual void StopKeyDelay() {}
  virtual void FocusCellArea() {}
  virtual bool CellAreaHasFocus() const { return true; }
  // Width and height of a one-line text in a registered font (-1: the default font).
  virtual GridPoint MeasureText(const wxString& text, int font) {
    return GridPoint{static_cast<int>(text.length()) * 7, 14};
  }
  // The open find dialog's rectangle in cell area coordinates; false when none is open.
  virtual bool FindDialogRect(GridRect& rect) { return false; }
  virtual void MoveFindDialog(const GridRect& rect) {}
  virtual void OpenDropList(const GridRect& rect, const std::vector<wxString>& choices, int font) {}
  virtual void CloseDropList() {}
  // Shows the calendar below the cell; the choice comes back through the picker type's
  // AcceptDate, a dismissal changes nothing.
  virtual void OpenCalendar(int column, int row, const GridRect& cellRect, const CGridCalendarSettings& settings,
                            double date, bool dateValid) {}
};

// An in-cell editor as the core knows it; the windows map it to a text control.
class CGridEditor {
 public:
  enum Kind { kPlain = 0, kMasked = 1 };
  explicit CGridEditor(Kind kind) : m_kind(kind) {}
  virtual ~CGridEditor() = default;
  Kind GetKind() const { return m_kind; }

 private:
  Kind m_kind;
};
