#pragma once
// The list on paper: a page header with the product, the project and the list's
// caption, the column headings, the rows of the page and a footer with the page number
// and the date. One screen pixel is scaled to the printer's resolution.
#include <wx/print.h>

#include "framework/ListLayout.h"

class CProjectListView;

class CListPrintout : public wxPrintout {
 public:
  explicit CListPrintout(CProjectListView& view);

  void OnPreparePrinting() override;
  void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
  bool HasPage(int page) override;
  bool OnPrintPage(int page) override;

  const ListPagination& Pagination() const { return m_pages; }

 private:
  CProjectListView& m_view;
  int m_rowHeight = 16;
  int m_charWidth = 8;
  double m_scaleX = 1;
  double m_scaleY = 1;
  ListPagination m_pages;
};
