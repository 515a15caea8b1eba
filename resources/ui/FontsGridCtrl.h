#pragma once
// The grid of the device's fonts page: one row per font of the device, one column per
// project language, each cell a drop list of the device's fonts and "<kein>".
#include <vector>

#include "grid/ui/GridCtrl.h"
#include "resources/FontLangModel.h"

class CFontsGridCtrl : public CGridCtrl {
 public:
  CFontsGridCtrl() = default;

  // Where the fonts and "DEVICE.SET" are and which languages the project has.
  void SetSource(const wxString& deviceFolder, const std::vector<LANGUAGE>& languages, WORD defaultLanguage);
  // (Re)fills the grid from the files; unsaved choices are dropped.
  void LoadFonts();
  // Takes a cell's new text into the assignments; false (with a message) for a cell
  // outside the languages and fonts.
  virtual BOOL CheckLanguageFont(int column, int row, const wxString& text);
  BOOL FindFontRow(const wxString& title, int& row) const;
  const CFontLangModel& Model() const { return m_model; }
  const wxString& DeviceFolder() const { return m_folder; }

  void OnSetup() override;
  void OnKeyDown(int& key, int processed) override;
  void OnSetCell(int column, int row, CGridCell& cell) override;

 private:
  // The font a cell is drawn with (headings included).
  int FontAt(int column, int row);
  // The widest of the column's heading and the texts its cells can show, + 5.
  int ColumnWidthFor(int column);
  CFontLangModel m_model;
  wxString m_folder;
  std::vector<LANGUAGE> m_languages;
  WORD m_defaultLanguage = 0;
  bool m_loaded = false;
  int m_sideWidth = 50;
};
