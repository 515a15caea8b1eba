#pragma once
// The grid window: the grid core with its child windows (cell area, headings, corner
// button, scroll bars, sheet tabs, hint, editors, drop list and calendar). Hosts derive
// from it and override the core's hooks; they never touch the children.
#include <memory>
#include <vector>
#include <wx/bitmap.h>
#include <wx/font.h>
#include <wx/window.h>

#include "grid/GridCore.h"

class wxDC;
class wxMenu;
class wxFindReplaceData;
class wxFindReplaceDialog;
class wxHelpEvent;
class CGridCellArea;
class CGridHeading;
class CGridCornerButton;
class CGridScrollBar;
class CGridTab;
class CGridHint;
class CGridEdit;
class CGridListBox;
class CGridCalendarPopup;

// One sheet tab as the strip shows it.
struct CGridTabInfo {
  wxString label;
  int id = 0;
  GridColour text = SysColour(kColWindowText), back = SysColour(kColBtnFace);
  GridColour currentText = SysColour(kColWindowText), currentBack = SysColour(kColWindow);
  int width = 60;
};

class CGridCtrl : public wxWindow, public CGridCore, private CGridView {
 public:
  CGridCtrl();
  ~CGridCtrl() override;

  // Creates the window in place of the dialog's child `itemId` (same id and rectangle,
  // same place in its sizer) and attaches: fonts, children, OnSetup, OnSheetSetup(0),
  // painting on, layout. Returns 1, 0 when there is no such child.
  int AttachToDialogControl(int itemId, wxWindow* dialog);
  // Creates the window as a child of its own and attaches.
  bool CreateAndAttach(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);
  void LayoutComponents();
  int ToggleRightToLeftLayout();
  // Mode 1 paints the cells into an off-screen bitmap first; 0 on success, 1 (and
  // buffering off) when the bitmap cannot be made.
  int SetDoubleBuffer(int mode);
  int GetDoubleBuffer() const { return m_doubleBuffer; }
  // Registers a font and makes it the font of the grid's default cell and of painting.
  int SetDefaultCellFont(const wxString& face, int height, int weight);

  // Children, for the windows of the grid and for tests.
  CGridCellArea* CellArea() const { return m_cellArea; }
  CGridHeading* TopHeading() const { return m_top; }
  CGridHeading* SideHeading() const { return m_side; }
  CGridCornerButton* Corner() const { return m_corner; }
  CGridScrollBar* HScroll() const { return m_hScroll; }
  CGridScrollBar* VScroll() const { return m_vScroll; }
  // The vertical bar for wxVERTICAL, the horizontal one otherwise.
  CGridScrollBar* GetScrollBarCtrl(int bar) const { return bar == wxVERTICAL ? m_vScroll : m_hScroll; }
  CGridTab* Tabs() const { return m_tabs; }
  CGridHint* Hint() const { return m_hint; }
  CGridEdit* Editor() const { return m_edit; }
  CGridListBox* DropList() const { return m_list; }
  CGridCalendarPopup* Calendar() const { return m_calendar; }

  // Sheet tabs (the strip shows them once its area has a width).
  std::vector<CGridTabInfo>& TabList() { return m_tabList; }
  int& CurrentTab() { return m_currentTab; }

  // Drawing helpers shared by the children; colours and metrics are read now.
  static wxColour Colour(GridColour c);
  wxFont FontOf(int index);
  static wxFont FontFromRecord(const GridFontRecord& record);
  // Width of the drop and spin buttons: a vertical scroll bar's.
  int ButtonWidth() const;
  // A cell image as a bitmap of the size asked for; kept while the image lives.
  wxBitmap ImageBitmap(const std::shared_ptr<const GridImage>& image, int width, int height);
  // Paints the cells that meet `clip` (cell area coordinates) into `dc`; with a buffer
  // the cells go there first and are copied to `dc`, the focus frame goes to `dc`.
  void PaintCells(wxDC& dc, const wxRect& clip, bool focus, wxDC* buffer = nullptr);
  // Paints one heading band (section 2 or 3) or the corner (4).
  void PaintHeading(wxDC& dc, int section, const wxSize& size);
  void DrawCell(wxDC& dc, const GridRect& rect, int column, int row, const CGridCell& cell, int selected, bool current);

  // Width and height of a one-line text in a registered font (-1: the default font).
  GridPoint TextExtent(const wxString& text, int font) { return MeasureText(text, font); }
  // Where the caret of the open editor stands (0 without an editor).
  int EditorSelectionStart() const;
  // Ends an open edit as a focus loss would (a click elsewhere in the grid).
  void EndEditFromOutside();

  // The small modeless find (or find and replace) window over the grid; it keeps off the
  // current cell. Its requests run through OnFindDialog.
  void OpenFindDialog(bool replace);
  wxFindReplaceDialog* FindDialog() const { return m_findDialog; }

  // Hosts add items with PopupMenuItems(); the menu is built when shown.
  bool SetFocusToCellArea();
  void SetFocus() override;
  bool AcceptsFocus() const override { return false; }
  // Tab comes to the grid and goes on to its cell area (wxEVT_SET_FOCUS).
  bool AcceptsFocusFromKeyboard() const override { return true; }

 protected:
  // The column-move indicator and the sizing line live in the cell area (drawn last).
  friend class CGridCellArea;
  friend class CGridHeading;

 private:
  // CGridView
  void InvalidateCells(int left, int top, int right, int bottom) override;
  void InvalidateSection(int section) override;
  void InvalidateAll() override;
  void UpdateScrollBars() override;
  void ApplyLayout(const GridRect (&rects)[7]) override;
  void ShowEditor(CGridEditor* editor, const GridRect& rect, const wxString& text, int font) override;
  void HideEditor(CGridEditor* editor) override;
  void InjectFirstChar(CGridEditor* editor, int ch) override;
  bool RunPopupMenu(GridPoint point, int& command) override;
  bool StartKeyDelay(int milliseconds) override;
  void StopKeyDelay() override;
  void FocusCellArea() override;
  bool CellAreaHasFocus() const override;
  GridPoint MeasureText(const wxString& text, int font) override;
  bool FindDialogRect(GridRect& rect) override;
  void MoveFindDialog(const GridRect& rect) override;
  void OpenDropList(const GridRect& rect, const std::vector<wxString>& choices, int font) override;
  void CloseDropList() override;
  void OpenCalendar(int column, int row, const GridRect& cellRect, const CGridCalendarSettings& settings,
                    double date, bool dateValid) override;

  void CreateChildWindows();
  int Attach(wxWindow* dialog);
  void OnSize(wxSizeEvent& e);
  void OnPaint(wxPaintEvent& e);
  void OnSysColour(wxSysColourChangedEvent& e);
  // F1 in a part of the grid, or context help pointing at it.
  void OnHelp(wxHelpEvent& e);

  CGridCellArea* m_cellArea = nullptr;
  CGridHeading* m_top = nullptr;
  CGridHeading* m_side = nullptr;
  CGridCornerButton* m_corner = nullptr;
  CGridScrollBar* m_hScroll = nullptr;
  CGridScrollBar* m_vScroll = nullptr;
  CGridTab* m_tabs = nullptr;
  CGridHint* m_hint = nullptr;
  CGridEdit* m_edit = nullptr;  // the editor of the present edit, or the single-line one
  CGridEdit* m_lineEdit = nullptr;
  CGridEdit* m_multiEdit = nullptr;
  CGridListBox* m_list = nullptr;
  CGridCalendarPopup* m_calendar = nullptr;
  std::vector<wxFont> m_fonts;  // made on first use from the core's records
  struct CachedImage {
    std::weak_ptr<const GridImage> image;
    int width = 0, height = 0;
    wxBitmap bitmap;
  };
  std::vector<CachedImage> m_images;
  std::vector<CGridTabInfo> m_tabList;
  std::unique_ptr<wxFindReplaceData> m_findData;
  wxFindReplaceDialog* m_findDialog = nullptr;
  int m_currentTab = 0;
  int m_doubleBuffer = 0;
  bool m_laidOut = false;
};
