// A picture of the main window on a small project: folders, projects and a device
// with its children, the tree opened and the device's children in the list. Saved as
// <build>/artifacts/main-window.png for the documentation and for looking at by hand.
#include <gtest/gtest.h>

#include <set>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/imagpng.h>

#include "framework/CommandIds.h"
#include "app/ui/MainFrame.h"
#include "app/ui/ProjectListView.h"
#include "app/ui/ProjectTreeView.h"
#include "platform/Paths.h"
#include "tests/gui/support/ProjectWindow.h"
#include "tests/gui/support/WindowFixture.h"

using hvtest::ChildNamed;
using hvtest::S;

namespace {

class Screenshot : public hvtest::ProjectWindowFixture {};

// The frame as it is on the display. Without a window manager the frame has no
// decorations and its screen rectangle is exactly what it drew.
wxBitmap Capture(wxWindow& window) {
  const wxRect rect = window.GetScreenRect();
  wxBitmap bitmap(rect.GetSize(), 24);
  wxScreenDC screen;
  wxMemoryDC memory(bitmap);
  memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
  memory.SelectObject(wxNullBitmap);
  return bitmap;
}

std::size_t ColourCount(const wxImage& image) {
  std::set<unsigned long> colours;
  const unsigned char* p = image.GetData();
  const long pixels = static_cast<long>(image.GetWidth()) * image.GetHeight();
  for (long i = 0; i < pixels && colours.size() < 64; ++i, p += 3)
    colours.insert((static_cast<unsigned long>(p[0]) << 16) | (static_cast<unsigned long>(p[1]) << 8) | p[2]);
  return colours.size();
}

}  // namespace

TEST_F(Screenshot, TheMainWindowOnASmallProjectIsSavedAsPng) {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  CPOPrjFolder* plants = AddFolder(S("Anlagen"));
  AddFolder(S("Archiv"));
  CPOProject* hall = AddProject(plants, S("Halle 1"));
  AddProject(plants, S("Halle 2"));
  AddProject(plants, S("Lager"));
  Open();
  frame->SetSize(0, 0, 960, 640);
  ASSERT_TRUE(hvtest::PumpUntil([&] { return frame->GetSize() == wxSize(960, 640); }));

  ASSERT_TRUE(SelectInTree(hall));
  AnswerNewDevice({S("Panel")});
  ASSERT_TRUE(RunInTree(ID_OBJECT_NEW));
  hvtest::PumpUntilIdle();   // the device's late questions
  CProjectObject* device = ChildNamed(hall, S("Panel"));
  ASSERT_TRUE(device);
  // The tree open down to the device's resources; the device's children in the list.
  ASSERT_TRUE(SelectInTree(device));
  TreeChildren(device);
  if (CProjectObject* resources = ChildNamed(device, S("Ressourcen"))) TreeChildren(resources);
  ASSERT_GT(frame->GetListView()->Control()->GetItemCount(), 0);
  frame->Raise();
  frame->Refresh();
  frame->Update();
  hvtest::PumpUntilIdle();

  const wxString folder = hv::JoinPath(wxS(HV_TEST_BINARY_DIR), "../artifacts");
  const wxString file = hv::JoinPath(folder, "main-window.png");
  hv::MakeFolders(folder);
  if (hv::IsFile(file)) wxRemoveFile(file);
  const wxBitmap shot = Capture(*frame);
  ASSERT_TRUE(shot.IsOk());
  ASSERT_TRUE(shot.ConvertToImage().SaveFile(file, wxBITMAP_TYPE_PNG));

  ASSERT_TRUE(hv::IsFile(file));
  wxImage loaded;
  ASSERT_TRUE(loaded.LoadFile(file, wxBITMAP_TYPE_PNG));
  EXPECT_EQ(loaded.GetSize(), frame->GetSize());
  // A window that drew nothing comes out in one colour; menus, tree, list and icons
  // give many.
  EXPECT_GT(ColourCount(loaded), 16u);
  EXPECT_TRUE(ui.AllExpectationsMet());
}
