// The fonts page of a device's "Eigenschaften", reached as the user reaches it (the
// tree's command, then the sheet's pages), in German and in English: every heading and
// every text a cell can show fits its column, each measured in the font it is drawn
// with; the "Default" row stands before the first title that sorts after it.
#include <gtest/gtest.h>

#include <wx/dcmemory.h>

#include "app/ui/Dialogs.h"
#include "framework/CommandIds.h"
#include "framework/LocalTables.h"
#include "framework/SettingsFile.h"
#include "grid/GridCellTypes.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "resources/ui/FontsGridCtrl.h"
#include "resources/ui/PPFonts.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/UserInput.h"
#include "tests/gui/support/WindowFixture.h"

namespace {

using namespace std::chrono_literals;
using hvtest::S;

CPPFonts* FindFontsPage(wxWindow* w) {
  if (auto* page = dynamic_cast<CPPFonts*>(w)) return page;
  for (wxWindow* child : w->GetChildren())
    if (CPPFonts* page = FindFontsPage(child)) return page;
  return nullptr;
}

// What a text needs in the font a cell is drawn with, measured here, not by the grid.
int Extent(CFontsGridCtrl& g, int column, int row, const wxString& text) {
  CGridCell cell;
  g.GetMergedCell(column, row, cell);
  wxBitmap bmp(1, 1);
  wxMemoryDC dc(bmp);
  dc.SetFont(g.FontOf(cell.IsSet(gridcell::kFont) ? cell.GetFont() : g.Sheet().defaultFont));
  return dc.GetTextExtent(text).x;
}

struct Shown {
  std::vector<wxString> rows;
  std::vector<std::string> cut;
};

// Every heading (centred inside its raised frame) and every choice (left of the list's
// button, after the text margin, before the grid line) must fit.
Shown Check(CFontsGridCtrl& g) {
  Shown out;
  const int margin = g.Sheet().textMargin, button = g.ButtonWidth();
  const std::vector<wxString> choices = CGridDropListType::ParseChoices(g.Model().ChoiceList());
  for (int c = 0; c < g.GetColumnCount(); ++c) {
    const int width = g.GetColumnWidth(c);
    const wxString heading = g.GetCellText(c, -1);
    if (Extent(g, c, -1, heading) > width - 2)
      out.cut.push_back("heading " + heading.ToStdString() + " in " + std::to_string(width));
    for (const wxString& choice : choices)
      if (Extent(g, c, 0, choice) > width - 1 - button - 1 - margin)
        out.cut.push_back("cell " + choice.ToStdString() + " in " + heading.ToStdString());
  }
  const int side = g.Sheet().sideHeadingColumnWidths.empty() ? 0 : g.Sheet().sideHeadingColumnWidths.back();
  for (int r = 0; r < g.GetRowCount(); ++r) {
    out.rows.push_back(g.GetCellText(-1, r));
    if (Extent(g, -1, r, out.rows.back()) > side - 2) out.cut.push_back("row " + out.rows.back().ToStdString());
  }
  return out;
}

class FontsPageLayout : public hvtest::ProjectWindowFixture {
 protected:
  void TearDown() override {
    hv::ResetLanguage();
    BuildLocalizedTables();
  }
  // A device with bitmap fonts, a hardware Default.FNT and a TrueType font, in a project
  // with German (default) and English; its sheet opened and turned to the fonts page.
  Shown OpenFontsPage() {
    CPOProject* project = AddProject(AddFolder(S("Anlagen")), S("Halle"));
    CSettingsFile set(hv::JoinPath(project->GetFolder(), "PROJECT.SET"));
    set.WriteString("Languages/Fonts", "1031", "1");
    set.WriteString("Languages/Fonts", "1033", "1");
    set.WriteString("Config", "DefaultLanguage", "1031");
    Open();
    CPOPrjDevice* device = MakeDevice(project, S("Panel"));
    EXPECT_TRUE(device);
    if (!device) return {};
    device->SetSlot(S("1"));   // the connection page asks for its settings otherwise
    const wxString folder = device->GetDeviceFolder();
    for (const char* f : {"fonts/Standard.fnt", "fonts/Gross.fnt", "fonts/Breitschrift.fnt", "hardware/Default.FNT",
                          "hardware/HvSans.ttf"}) {
      const wxString file = wxString::FromUTF8(f);
      const wxString sub = hv::JoinPath(folder, file.BeforeFirst('/'));
      hv::MakeFolders(sub);
      hvtest::WriteAll(hv::JoinPath(hv::ResolvePath(sub), file.AfterFirst('/')), "x");
    }
    RegisterAppDialogs();
    Shown shown;
    hvtest::DialogScripts user;
    user.Then([&](wxDialog* dlg) {
      CPPFonts* page = nullptr;
      for (int i = 0; i < 6 && !(page && page->IsShownOnScreen()); ++i) {
        hvtest::PressKey(WXK_PAGEDOWN, wxMOD_CONTROL);
        hvtest::PumpUntil([&] { return (page = FindFontsPage(dlg)) && page->IsShownOnScreen(); }, 1s);
      }
      ASSERT_TRUE(page && page->IsShownOnScreen());
      hvtest::PumpUntil([&] { return page->Grid().GetRowCount() > 0; }, 3s);
      hvtest::SaveScreenshot(dlg, wxString::Format("fonts-page-%d", hv::CurrentLanguageNumber()));
      shown = Check(page->Grid());
      hvtest::ClickOn(dlg->FindWindow(wxID_CANCEL));
    });
    EXPECT_TRUE(SelectInTree(device));
    EXPECT_TRUE(RunInTree(ID_DEVICE_EDIT));
    EXPECT_TRUE(hvtest::PumpUntil([&] { return user.AllRun() && !wxDynamicCast(wxGetActiveWindow(), wxDialog); }, 30s));
    EXPECT_EQ(user.unexpected, 0);
    return shown;
  }
};

TEST_F(FontsPageLayout, GermanTextsFitTheirColumns) {
  const Shown shown = OpenFontsPage();
  EXPECT_TRUE(shown.cut.empty()) << shown.cut.front();
  EXPECT_EQ(shown.rows, (std::vector<wxString>{S("Breitschrift"), S("Default"), S("Gross"), S("Standard"),
                                               S("HvSans")}));
}

TEST_F(FontsPageLayout, EnglishTextsFitTheirColumns) {
  ASSERT_TRUE(hv::InitMultiLanguage("Project", S("ENG")));
  BuildLocalizedTables();
  const Shown shown = OpenFontsPage();
  EXPECT_TRUE(shown.cut.empty()) << shown.cut.front();
  EXPECT_EQ(shown.rows.size(), 5u);
}

}  // namespace
