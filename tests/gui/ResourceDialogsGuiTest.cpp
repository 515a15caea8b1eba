// The new-picture and new-keypad dialogs open for real: a name, a logical id and a file
// type come back on OK; their gallery buttons open the gallery, and the file picked
// there lands in the device's folder and ends the dialog.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

#include "platform/Paths.h"
#include "platform/Ui.h"
#include "resources/ResourceRequests.h"
#include "resources/ui/NewResourceDialogs.h"
#include "tests/gui/support/DialogHook.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"

namespace {

void Press(wxDialog* dialog, int id) {
  wxWindow* button = dialog->FindWindow(id);
  ASSERT_TRUE(button);
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(event);
}

// Fills and confirms the new-picture dialog; picks the first gallery entry.
class Answering {
 public:
  explicit Answering(bool useGallery)
      : m_hook([this, useGallery](wxDialog* dialog) {
          dialog->CallAfter([this, dialog, useGallery] { Act(dialog, useGallery); });
          return wxID_NONE;
        }) {}
  int galleries = 0;

 private:
  void Act(wxDialog* dialog, bool useGallery) {
    if (auto* list = dynamic_cast<wxListBox*>(dialog->FindWindow(1143))) {
      ++galleries;
      list->SetSelection(0);
      Press(dialog, wxID_OK);
      return;
    }
    if (useGallery) {
      Press(dialog, dialog->FindWindow(1141) ? 1141 : 1142);
      return;
    }
    static_cast<wxTextCtrl*>(dialog->FindWindow(1025))->ChangeValue(wxS("Bild"));
    static_cast<wxTextCtrl*>(dialog->FindWindow(1129))->ChangeValue(wxS("12"));
    static_cast<wxChoice*>(dialog->FindWindow(1140))->SetSelection(NewBitmapAndLogIdRequest::kGif);
    Press(dialog, wxID_OK);
  }
  hvtest::ModalDialogsAllowed m_allowed;
  hvtest::OnDialog m_hook;
};

class ResourceDialogsGui : public testing::Test {
 protected:
  ResourceDialogsGui() { RegisterResourceDialogs(); }
  hvtest::TempHome home;
  hvtest::TempDir device;
};

}  // namespace

TEST_F(ResourceDialogsGui, NewPictureGivesNameIdAndType) {
  Answering answering(false);
  NewBitmapAndLogIdRequest request;
  request.title = wxS("Neues Bild");
  request.deviceFolder = device.Path();
  ASSERT_EQ(IDOK, hv::Ui().Run(request));
  EXPECT_EQ(wxS("Bild"), request.name);
  EXPECT_EQ(12, request.logId);
  EXPECT_EQ(NewBitmapAndLogIdRequest::kGif, request.fileType);
  EXPECT_FALSE(request.fromGallery);
}

TEST_F(ResourceDialogsGui, GalleryPicksLandInTheDeviceFolders) {
  Answering answering(true);
  NewBitmapAndLogIdRequest picture;
  picture.deviceFolder = device.Path();
  ASSERT_EQ(IDOK, hv::Ui().Run(picture));
  EXPECT_TRUE(picture.fromGallery);
  EXPECT_TRUE(hv::IsFile(hv::JoinPath(device.Sub(wxS("bitmaps")), picture.name))) << picture.name;

  NewKeypadRequest keypad;
  keypad.deviceFolder = device.Path();
  ASSERT_EQ(IDOK, hv::Ui().Run(keypad));
  EXPECT_EQ(kTemplateChosen, keypad.name);
  EXPECT_TRUE(hv::IsFile(device.Sub(wxS("keypads/Keypad_Num.xml"))));
  EXPECT_EQ(2, answering.galleries);
}
