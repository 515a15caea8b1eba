// Pictures, fonts, keypad files and web pages as files of a device: made, copied,
// pasted (clipboard data taken as untrusted), deleted with their refusals.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string_view>

#include "framework/CompressionRequest.h"
#include "framework/NameDialogRequests.h"
#include "framework/NewNameRequest.h"
#include "framework/SettingsFile.h"
#include "framework/StagedCopies.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "resources/Bitmap.h"
#include "resources/Font.h"
#include "resources/Html.h"
#include "resources/HtmlFolder.h"
#include "resources/KeypadBmp.h"
#include "resources/KeypadXML.h"
#include "resources/LogicalIds.h"
#include "resources/ResBitmap.h"
#include "resources/ResFont.h"
#include "resources/ResKeypad.h"
#include "resources/ResourceFiles.h"
#include "resources/ResourceRequests.h"
#include "tests/resources/ResourceFixture.h"

using namespace hvtest;

namespace {

template <class Request>
void Name(ScriptedUi& ui, const char* name, long logId = 0) {
  ui.Answer<Request>([name, logId](Request& r) {
    r.name = wxString::FromUTF8(name);
    if constexpr (std::is_base_of_v<NewNameAndLogIdRequest, Request>) r.logId = logId;
    return static_cast<int>(IDOK);
  });
}

class ResourceObjects : public ResourceFixture {
 protected:
  wxString Dev(const char* relative) { return dir.Sub(wxString::FromUTF8(relative)); }
};

}  // namespace

TEST(ResourceNames, ClipboardNamesAndPanelAddresses) {
  for (const char* good : {"a.bmp", "Logo 2.gif", "ä.fnt"}) EXPECT_TRUE(resfiles::IsSafeFileName(wxString::FromUTF8(good))) << good;
  for (const char* bad : {"", ".", "..", "../x.bmp", "a/b.bmp", "a\\b.bmp", "x..y", "a\tb", "a\nb"})
    EXPECT_FALSE(resfiles::IsSafeFileName(wxString::FromUTF8(bad))) << bad;

  const struct {
    const char* parameters;
    const char* address;
  } rows[] = {{"a;b;1.2.3.4", "1.2.3.4"}, {"a;b;1.2.3.4;z", "1.2.3.4"}, {"1.2.3.4", "1.2.3.4"},
              {"a;b;", ""},              {"a;b;;x", ""},               {"", ""},
              {"a;b; 127.0.0.1 ;c", "127.0.0.1"},
              // The wizard's text holds the device folder where no address is: none.
              {";/home/u/Projekte/Halle/Panel", ""}, {"CE_TCP;x", ""}, {"a;b;$$$DEVICEPATH$$$", ""},
              {"/home/u/Panel", ""}};
  for (const auto& row : rows) EXPECT_EQ(wxString(row.address), resfiles::CeAddress(row.parameters)) << row.parameters;

  // What the address field refuses is no address either: the sender then says where it is set.
  using namespace std::string_view_literals;
  EXPECT_EQ(resfiles::CeAddress("CE_TCP;sym;[fe80::1]:2121;9"), "[fe80::1]:2121");
  for (const std::string_view bad : {"CE_TCP;sym;\0;9"sv, "a;b;1]:2:3"sv, "a;b;[fe80::1"sv, "a;b;x[y:z:w"sv,
                                     "a;b;fe80::1"sv, "10.0.0.1\0"sv})
    EXPECT_EQ(resfiles::CeAddress(hv::FromUtf8(bad)), "") << bad;
}

TEST_F(ResourceObjects, NewPicturesAreOfTheChosenTypeAndCopiesKeepTheirs) {
  ASSERT_TRUE(hv::db::dbank_create(dir.Path()));
  auto& folder = AddFolder<CPOResBitmap>();
  ui.Answer<NewBitmapAndLogIdRequest>([](NewBitmapAndLogIdRequest& r) {
    r.name = wxS("pic.png");
    r.fileType = NewBitmapAndLogIdRequest::kJpg;
    r.logId = 7;
    return static_cast<int>(IDOK);
  });
  CPOBitmap prototype(&folder, dev.Handle());
  ASSERT_TRUE(prototype.CreateNew(&folder, dev.Handle(), nullptr));
  // A ".jpg" holds JPEG bytes, not the BMP template's.
  EXPECT_EQ(std::string("\xFF\xD8"), ReadAll(Dev("bitmaps/pic.jpg")).substr(0, 2));
  CPOBitmap* pic = Child<CPOBitmap>(folder, wxS("pic.jpg"));
  ASSERT_TRUE(pic);
  EXPECT_EQ(wxS("7"), pic->GetColumnText(2));
  EXPECT_NE(wxS(""), pic->GetColumnText(1));   // registered in BITMAP

  ui.Answer<NewBitmapAndLogIdRequest>([](NewBitmapAndLogIdRequest& r) {
    r.name = wxS("anim");
    r.fileType = NewBitmapAndLogIdRequest::kGif;
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(prototype.CreateNew(&folder, dev.Handle(), nullptr));
  EXPECT_EQ(std::string("GIF8"), ReadAll(Dev("bitmaps/anim.gif")).substr(0, 4));

  // The same name again is refused and nothing is added.
  ui.ExpectMessage(11603);
  EXPECT_FALSE(prototype.CreateNew(&folder, dev.Handle(), nullptr));

  // "Neue Kopie" keeps the template's extension; a held logical id asks again.
  int asked = 0;
  ui.Answer<NewNameAndLogIdRequest>([&asked](NewNameAndLogIdRequest& r) {
    // First the template's name, then again what was typed.
    EXPECT_EQ(asked == 0 ? wxS("anim") : wxS("copy.bmp"), r.name);
    r.name = wxS("copy.bmp");
    r.logId = ++asked == 1 ? 7 : 0;
    return static_cast<int>(IDOK);
  });
  ui.ExpectMessage(10015);
  CPOBitmap* anim = Child<CPOBitmap>(folder, wxS("anim.gif"));
  ASSERT_TRUE(anim->CreateNew(&folder, dev.Handle(), anim));
  EXPECT_EQ(2, asked);
  EXPECT_EQ(ReadAll(Dev("bitmaps/anim.gif")), ReadAll(Dev("bitmaps/copy.gif")));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// A template from the gallery keeps its own name: a name typed before is not silently
// dropped, the user hears of it before anything is made and may stop.
TEST_F(ResourceObjects, ATemplateKeepsItsOwnNameAndSaysSoFirst) {
  ui.Answer<GalleryRequest>([](GalleryRequest& r) {
    r.chosen = hv::JoinPath(r.folder, wxS("Keypad_Num.xml"));
    return static_cast<int>(IDOK);
  });
  NewKeypadRequest request;
  request.deviceFolder = dir.Path();
  request.name = wxS("Num");
  ui.ExpectMessage(13946, IDCANCEL);
  EXPECT_FALSE(AddKeypadFromGallery(request));
  EXPECT_FALSE(hv::PathExists(Dev("keypads/Keypad_Num.xml")));
  EXPECT_TRUE(ui.MessageTexts().back().Contains(wxS("'Keypad_Num.xml'"))) << ui.MessageTexts().back();
  EXPECT_TRUE(ui.MessageTexts().back().Contains(wxS("'Num'"))) << ui.MessageTexts().back();
  ui.ExpectMessage(13946, IDOK);
  EXPECT_TRUE(AddKeypadFromGallery(request));
  EXPECT_TRUE(hv::IsFile(Dev("keypads/Keypad_Num.xml")));
  // The template's own name typed: nothing to tell.
  const std::size_t told = ui.MessageIds().size();
  request.name = wxS("keypad_num");
  EXPECT_TRUE(AddKeypadFromGallery(request));
  EXPECT_EQ(told, ui.MessageIds().size());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(ResourceObjects, PicturesInUseStayAndOthersGoWithTheirRow) {
  auto& folder = AddFolder<CPOResBitmap>();
  WriteAll(Dev("bitmaps/used.bmp"), "BM-used");
  WriteAll(Dev("bitmaps/free.bmp"), "BM-free");
  ASSERT_TRUE(hv::db::dbank_create(dir.Path()));
  logid::Register(dir.Path(), logid::Kind::Bitmap, wxS("used.bmp"), 3);
  ASSERT_TRUE(folder.LoadChildren());
  CPOBitmap* used = Child<CPOBitmap>(folder, wxS("used.bmp"));
  ui.ExpectMessage(11605);   // with a logical id: "bzw. extern"
  EXPECT_FALSE(used->Delete());
  EXPECT_TRUE(hv::IsFile(Dev("bitmaps/used.bmp")));
  // The compression column follows the device's default until a choice is made.
  WriteAll(Dev("DEVICE.SET"), "[Config]\nBitmapsCompressed=1\n");
  EXPECT_EQ(wxS("Default (Ja)"), used->GetColumnText(7));
  ui.Answer<CompressionRequest>([](CompressionRequest& r) {
    r.compression = 2;
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(used->EditCompression());
  EXPECT_EQ(wxS("Nein"), used->GetColumnText(7));
  EXPECT_NE(std::string::npos, ReadAll(Dev("Bitmap.set")).find("used.bmp=2"));
  EXPECT_TRUE(Child<CPOBitmap>(folder, wxS("free.bmp"))->Delete());
  EXPECT_FALSE(hv::IsFile(Dev("bitmaps/free.bmp")));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(ResourceObjects, APastedFontIsTheNewFileAndItsHeldIdIsMarked) {
  ASSERT_TRUE(hv::db::dbank_create(dir.Path()));
  auto& folder = AddFolder<CPOResFont>();
  // The source font lies in another device's folder.
  TempDir other;
  WriteAll(other.Sub(wxS("fonts/Big.fnt")), "font-bytes");
  CPOFont source(&folder, dev.Handle());
  source.SetName(wxS("Big.fnt"));
  CPOFont::Listing listing;
  listing.path = other.Sub(wxS("fonts/Big.fnt"));
  listing.logicalId = 5;
  source.SetListing(listing);
  Copied copied = CopyOf(source);

  logid::Register(dir.Path(), logid::Kind::Font, wxS("Other.fnt"), 5);
  auto* pasted = static_cast<CPOFont*>(Paste(copied, folder));
  ASSERT_TRUE(pasted);
  EXPECT_EQ(hv::ResolvePath(Dev("fonts/Big.fnt")), pasted->GetListing().path);
  EXPECT_EQ(wxS("???"), pasted->GetColumnText(2));
  // Deleting the pasted font never touches the source device's file.
  ASSERT_TRUE(hv::db::dbank_create(dir.Path()));
  logid::Records(dir.Path(), logid::Kind::Font).DeleteName(wxS("Big.fnt"));
  EXPECT_TRUE(pasted->Delete());
  EXPECT_FALSE(hv::IsFile(Dev("fonts/Big.fnt")));
  EXPECT_EQ("font-bytes", ReadAll(other.Sub(wxS("fonts/Big.fnt"))));
}

TEST_F(ResourceObjects, HostileClipboardDataAreRefused) {
  auto& folder = AddFolder<CPOResFont>();
  WriteAll(Dev("fonts/A.fnt"), "a");
  CPOFont font(&folder, dev.Handle());
  font.SetName(wxS("A.fnt"));
  CPOFont::Listing listing;
  listing.path = Dev("fonts/A.fnt");
  font.SetListing(listing);
  Copied copied = CopyOf(font);

  // A name that climbs out of the fonts folder.
  Copied climbing = copied;
  {
    CPOFont evil(&folder, dev.Handle());
    evil.SetName(wxS("../../evil.fnt"));
    evil.SetListing(listing);
    hv::Archive record;
    evil.Serialize(record);
    climbing.record = record.Bytes();
  }
  ui.ExpectMessage(10982);
  EXPECT_EQ(nullptr, Paste(climbing, folder));
  EXPECT_FALSE(hv::PathExists(dir.Sub(wxS("evil.fnt"))));

  // A path that is not our own staged copy.
  WriteAll(dir.Sub(wxS("secret.txt")), "secret");
  hv::Archive data;
  staging::WriteStagedPath(data, dir.Sub(wxS("secret.txt")));
  Copied foreign = copied;
  foreign.data = data.Bytes();
  ui.ExpectMessage(10113);
  EXPECT_EQ(nullptr, Paste(foreign, folder));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(ResourceObjects, FontRulesForNewCopiesAndDeviceTypeFonts) {
  ASSERT_TRUE(hv::db::dbank_create(dir.Path()));
  auto& folder = AddFolder<CPOResFont>();
  WriteAll(Dev("fonts/Sans.ttf"), "ttf");
  WriteAll(Dev("Hardware/HvSans.ttf"), "hw");
  ASSERT_TRUE(folder.LoadChildren());

  Name<NewNameAndLogIdRequest>(ui, "X.txt");
  CPOFont prototype(&folder, dev.Handle());
  ASSERT_TRUE(prototype.CreateNew(&folder, dev.Handle(), nullptr));
  EXPECT_TRUE(hv::IsFile(Dev("fonts/X.fnt")));

  // A copy of a TrueType font typed as ".fnt" stays TrueType.
  Name<NewNameAndLogIdRequest>(ui, "Copy.fnt");
  CPOFont* sans = Child<CPOFont>(folder, wxS("Sans.ttf"));
  ASSERT_TRUE(sans);
  ASSERT_TRUE(sans->CreateNew(&folder, dev.Handle(), sans));
  EXPECT_EQ("ttf", ReadAll(Dev("fonts/Copy.ttf")));

  CPOFont* hardware = Child<CPOFont>(folder, wxS("HvSans.ttf"));
  if (hardware) {
    hv::Archive ar;
    EXPECT_TRUE(hardware->IsDeviceTypeFont());
    EXPECT_FALSE(hardware->Delete());
    EXPECT_FALSE(hardware->Cut(ar));
    EXPECT_TRUE(hv::IsFile(Dev("Hardware/HvSans.ttf")));
  }
  EXPECT_FALSE(sans->IsDeviceTypeFont());
}

TEST_F(ResourceObjects, KeypadFilesAreMadeCopiedAndDeviceTypeFilesKept) {
  auto& folder = AddFolder<CPOResKeypad>();
  WriteAll(Dev("Hardware/Keypad_Num.xml"), "<keypad/>");
  Name<NewKeypadRequest>(ui, "Pad.txt");
  CPOKeypadXML prototype(&folder, dev.Handle());
  ASSERT_TRUE(prototype.CreateNew(&folder, dev.Handle(), nullptr));
  EXPECT_TRUE(hv::IsFile(Dev("keypads/Pad.xml")));
  EXPECT_EQ("", ReadAll(Dev("keypads/Pad.xml")));

  CPOKeypadXML* pad = Child<CPOKeypadXML>(folder, wxS("Pad.xml"));
  ASSERT_TRUE(pad);
  WriteAll(Dev("keypads/Pad.xml"), "<keypad name='p'/>");
  ui.Answer<NewKeypadRequest>([](NewKeypadRequest& r) {
    EXPECT_EQ(wxS("Pad"), r.name);   // proposed without ".xml"
    r.name = wxS("Pad2");
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(pad->CreateNew(&folder, dev.Handle(), pad));
  EXPECT_EQ("<keypad name='p'/>", ReadAll(Dev("keypads/Pad2.xml")));

  // A template from the gallery: nothing is made here, the folder reloads.
  Name<NewKeypadRequest>(ui, "$$$VORLAGE$$$");
  EXPECT_TRUE(prototype.CreateNew(&folder, dev.Handle(), nullptr));
  EXPECT_FALSE(hv::IsFile(Dev("keypads/$$$VORLAGE$$$.xml")));
  EXPECT_EQ((std::vector<wxString>{wxS("Pad.xml"), wxS("Pad2.xml"), wxS("Keypad_Num.xml")}), ChildNames(folder));
  pad = Child<CPOKeypadXML>(folder, wxS("Pad.xml"));
  ASSERT_TRUE(pad);

  // Layouts.
  Name<NewKeypadRequest>(ui, "Layout.gif");
  CPOKeypadBmp layoutPrototype(&folder, dev.Handle());
  ASSERT_TRUE(layoutPrototype.CreateNew(&folder, dev.Handle(), nullptr));
  EXPECT_EQ(std::string("BM"), ReadAll(Dev("keypads/Layout.bmp")).substr(0, 2));

  // Copy and paste into the same device under the overwrite question.
  Copied copied = CopyOf(*pad);
  ui.ExpectMessage(10099, IDYES);
  CProjectObject* pasted = Paste(copied, folder);
  ASSERT_TRUE(pasted);
  EXPECT_EQ(hv::ResolvePath(Dev("keypads/Pad.xml")), static_cast<CPOKeypadXML*>(pasted)->GetPath());

  // Device-type files stay, whatever the selection.
  ASSERT_TRUE(folder.LoadChildren());
  CPOKeypadXML* hardware = Child<CPOKeypadXML>(folder, wxS("Keypad_Num.xml"));
  ASSERT_TRUE(hardware);
  hv::Archive ar;
  hardware->SetMultipleSelection(TRUE);
  EXPECT_FALSE(hardware->Delete());
  EXPECT_FALSE(hardware->Cut(ar));
  EXPECT_TRUE(hv::IsFile(Dev("Hardware/Keypad_Num.xml")));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(ResourceObjects, WebPagesAndFoldersCopyCutAndRefusePastesIntoThemselves) {
  dev.cf = TRUE;
  WriteAll(Dev("Web/app.js"), "var a;");
  WriteAll(Dev("Web/img/logo.gif"), "GIF89a");
  WriteAll(Dev("Web/img/deep/x.htm"), "<x/>");
  auto& root = AddFolder<CPOHtmlFolder>();
  ASSERT_TRUE(root.LoadChildren());

  Name<NewNameRequest>(ui, "Start.HTML");
  CPOHtml prototype(&root, dev.Handle());
  ASSERT_TRUE(prototype.CreateNew(&root, dev.Handle(), nullptr));
  EXPECT_TRUE(hv::IsFile(Dev("Web/Start.htm")));

  // A copy of a script stays a script; pictures are neither edited nor copied.
  Name<NewNameRequest>(ui, "app2");
  CPOHtml* js = Child<CPOHtml>(root, wxS("app.js"));
  ASSERT_TRUE(js->IsEditable());
  ASSERT_TRUE(js->CreateNew(&root, dev.Handle(), js));
  EXPECT_EQ("var a;", ReadAll(Dev("Web/app2.js")));

  auto* img = Child<CPOHtmlFolder>(root, wxS("img"));
  ASSERT_TRUE(img && img->LoadChildren());
  EXPECT_FALSE(Child<CPOHtml>(*img, wxS("logo.gif"))->IsEditable());

  // Into its own parent, itself or below itself: refused, nothing copied.
  Copied folderCopy = CopyOf(*img);
  ui.ExpectMessage(10643);
  EXPECT_EQ(nullptr, Paste(folderCopy, root));
  ui.ExpectMessage(10643);
  EXPECT_EQ(nullptr, Paste(folderCopy, *img));
  auto* deep = Child<CPOHtmlFolder>(*img, wxS("deep"));
  ASSERT_TRUE(deep && deep->LoadChildren());
  ui.ExpectMessage(10643);
  EXPECT_EQ(nullptr, Paste(folderCopy, *deep));
  EXPECT_EQ("GIF89a", ReadAll(Dev("Web/img/logo.gif")));

  // Clipboard data naming a folder outside any web folder are not taken.
  WriteAll(home.Sub(wxS("private/key.txt")), "secret");
  Copied foreign = folderCopy;
  hv::Archive line;
  line.WriteString(home.Sub(wxS("private")) + wxS("\n"), false);
  foreign.data = line.Bytes();
  ui.ExpectMessage(10648);
  EXPECT_EQ(nullptr, Paste(foreign, root));
  EXPECT_FALSE(hv::PathExists(Dev("Web/private")));

  // A cut folder waits as a staged copy: gone here, whole again after the paste.
  Copied cut = CopyOf(*img, true);
  EXPECT_FALSE(hv::PathExists(Dev("Web/img")));
  Name<NewNameRequest>(ui, "sub");
  ASSERT_TRUE(root.CreateNew(&root, dev.Handle(), nullptr));
  auto* sub = Child<CPOHtmlFolder>(root, wxS("sub"));
  ASSERT_TRUE(sub);
  ASSERT_TRUE(Paste(cut, *sub));
  EXPECT_EQ("GIF89a", ReadAll(Dev("Web/sub/img/logo.gif")));
  EXPECT_EQ("<x/>", ReadAll(Dev("Web/sub/img/deep/x.htm")));

  // Without a card the web files have no sub-folders: a folder is refused before
  // anything is written, where it would never be listed.
  auto* pasted = Child<CPOHtmlFolder>(*sub, wxS("img"));
  ASSERT_TRUE(pasted);
  Copied again = CopyOf(*pasted);
  dev.cf = FALSE;
  ui.ExpectMessage(13945);
  EXPECT_EQ(nullptr, Paste(again, root));
  EXPECT_FALSE(hv::PathExists(Dev("Web/img")));
  dev.cf = TRUE;

  // A page pasted back over itself asks first.
  Copied page = CopyOf(*js);
  ui.ExpectMessage(10099, IDNO);
  EXPECT_EQ(nullptr, Paste(page, root));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

// Files we write get what a plain create gives under the umask: another user of a
// shared project folder reads them as he reads the rest.
TEST_F(ResourceObjects, WrittenAndPastedFilesTakeTheModeOfAPlainCreate) {
  dev.cf = TRUE;
  ASSERT_TRUE(hv::db::dbank_create(dir.Path()));
  auto& root = AddFolder<CPOHtmlFolder>();
  auto& pictures = AddFolder<CPOResBitmap>();
  auto modeOf = [](const wxString& path) {
    struct stat st {};
    EXPECT_EQ(0, stat(hv::ToFs(hv::ResolvePath(path)).c_str(), &st)) << path;
    return static_cast<unsigned>(st.st_mode & 07777);
  };
  struct Round {
    mode_t mask;
    const char* page;
    const char* picture;
    const char* sub;
  } rounds[] = {{022, "a", "pa", "web/sa/keep"}, {027, "b", "pb", "web/sb/keep"}};
  for (const Round& r : rounds) {
    SCOPED_TRACE(r.mask);
    const mode_t before = umask(r.mask);
    const unsigned want = 0666u & ~static_cast<unsigned>(r.mask);
    Name<NewNameRequest>(ui, r.page);
    CPOHtml prototype(&root, dev.Handle());
    ASSERT_TRUE(prototype.CreateNew(&root, dev.Handle(), nullptr));
    const wxString page = Dev("web/") + wxString::FromUTF8(r.page) + wxS(".htm");
    EXPECT_EQ(want, modeOf(page));

    Name<NewBitmapAndLogIdRequest>(ui, r.picture);
    CPOBitmap picture(&pictures, dev.Handle());
    ASSERT_TRUE(picture.CreateNew(&pictures, dev.Handle(), nullptr));
    EXPECT_EQ(want, modeOf(Dev("bitmaps/") + wxString::FromUTF8(r.picture) + wxS(".bmp")));

    // Pasted from the private staged copy, which only we may read.
    WriteAll(Dev(r.sub), "");
    ASSERT_TRUE(root.LoadChildren());
    auto* sub = Child<CPOHtmlFolder>(root, hv::PathName(hv::PathFolder(Dev(r.sub))));
    ASSERT_TRUE(sub);
    Copied copied = CopyOf(*Child<CPOHtml>(root, hv::PathName(page)));
    ASSERT_TRUE(Paste(copied, *sub));
    EXPECT_EQ(want, modeOf(hv::JoinPath(sub->GetPath(), hv::PathName(page))));

    const wxString settings = Dev("DEVICE.SET");
    std::remove(hv::ToFs(settings).c_str());
    CSettingsFile(settings).WriteString(wxS("Config"), wxS("Name"), wxS("Panel"));
    EXPECT_EQ(want, modeOf(settings));
    umask(before);
  }
}
