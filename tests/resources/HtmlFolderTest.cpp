#include <gtest/gtest.h>

#include "app/TavProjectDoc.h"
#include "framework/NewNameRequest.h"
#include "platform/Paths.h"
#include "resources/Html.h"
#include "resources/HtmlFolder.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using namespace hvtest;

namespace {

class HtmlFolders : public testing::Test {
 protected:
  HtmlFolders() : dev(dir.Path()) { doc.AddView(&view); }
  void Write(const char* relative) {
    const wxString path = dir.Sub(wxString::FromUTF8(relative));
    hv::MakeFolders(hv::PathFolder(path));
    WriteAll(path, "<html/>");
  }
  TempDir dir;
  FakeDevice dev;
  CTavProjectDoc doc;
  RecordingView view;
};

}  // namespace

TEST_F(HtmlFolders, RootListsFilesAndWithACardAlsoFolders) {
  Write("Web/index.htm");
  Write("Web/app.js");
  Write("Web/img/logo.gif");
  CPOHtmlFolder root(&dev.Node(), dev.Handle());
  EXPECT_EQ(wxS("Web-Dateien"), root.GetName());
  EXPECT_TRUE(root.IsRoot());
  EXPECT_FALSE(root.KeepWhenEmpty());
  EXPECT_EQ(dir.Sub(wxS("Web")), root.GetPath());
  EXPECT_TRUE(root.HasListChildren());
  EXPECT_EQ(wxS("Web-Dateien des Geräts 'Panel'"), root.GetListCaption());

  // Without a card only the root level is shown, and no expander promises more.
  EXPECT_FALSE(root.HasTreeChildren());
  EXPECT_FALSE(root.IsPasteTarget());
  ASSERT_TRUE(root.LoadChildren());
  EXPECT_EQ((std::vector<wxString>{wxS("app.js"), wxS("index.htm")}), ChildNames(root));

  dev.cf = TRUE;
  EXPECT_TRUE(root.HasTreeChildren());
  EXPECT_TRUE(root.IsPasteTarget());
  ASSERT_TRUE(root.LoadChildren());
  ASSERT_EQ((std::vector<wxString>{wxS("app.js"), wxS("img"), wxS("index.htm")}), ChildNames(root));
  auto* img = static_cast<CPOHtmlFolder*>(root.GetChildren()[1]);
  EXPECT_STREQ("CPOHtmlFolder", img->ClassName());
  EXPECT_FALSE(img->IsRoot());
  EXPECT_TRUE(img->KeepWhenEmpty());
  ASSERT_TRUE(img->LoadChildren());
  ASSERT_EQ(1u, img->GetChildCount());
  EXPECT_EQ(dir.Sub(wxS("Web/img/logo.gif")), static_cast<CPOHtml*>(img->GetChildren()[0])->GetPath());

  // Folders sort before files, by name and by time alike.
  CProjectObject* file = root.GetChildren()[0];
  EXPECT_EQ(-1, img->Compare(file, 0));
  EXPECT_EQ(1, file->Compare(img, 1));
  EXPECT_EQ(0, file->Compare(img, 2));
}

TEST_F(HtmlFolders, ASubFolderNamedLikeTheRootKeepsItsPlaceInPaths) {
  Write("Web/Web-Dateien/a/page.htm");
  dev.cf = TRUE;
  CPOHtmlFolder root(&dev.Node(), dev.Handle());
  ASSERT_TRUE(root.LoadChildren());
  auto* named = static_cast<CPOHtmlFolder*>(root.GetChildren()[0]);
  ASSERT_TRUE(named->LoadChildren());
  auto* a = static_cast<CPOHtmlFolder*>(named->GetChildren()[0]);
  ASSERT_TRUE(a->LoadChildren());
  EXPECT_EQ(dir.Sub(wxS("Web/Web-Dateien")), named->GetPath());
  EXPECT_EQ(dir.Sub(wxS("Web/Web-Dateien/a/page.htm")), static_cast<CPOHtml*>(a->GetChildren()[0])->GetPath());
}

TEST_F(HtmlFolders, NamesDifferingInCaseStayTwoObjectsAcrossReloads) {
  Write("web/x.htm");
  Write("web/X.htm");
  CPOHtmlFolder root(&dev.Node(), dev.Handle());
  ASSERT_TRUE(root.LoadChildren());
  ASSERT_EQ(2u, root.GetChildCount());
  const ObjectSerial a = root.GetChildren()[0]->GetSerial();
  const ObjectSerial b = root.GetChildren()[1]->GetSerial();
  ASSERT_TRUE(root.LoadChildren());
  ASSERT_EQ(2u, root.GetChildCount());
  EXPECT_EQ(a, root.GetChildren()[0]->GetSerial());
  EXPECT_EQ(b, root.GetChildren()[1]->GetSerial());
  EXPECT_NE(root.GetChildren()[0]->GetName(), root.GetChildren()[1]->GetName());
  EXPECT_TRUE(view.entries.empty());
}

TEST_F(HtmlFolders, WithoutADeviceFolderNothingIsListed) {
  Write("Web/index.htm");
  dev.folder.clear();
  CPOHtmlFolder root(&dev.Node(), dev.Handle());
  EXPECT_EQ(wxString(), root.GetPath());
  EXPECT_FALSE(root.HasListChildren());
  EXPECT_FALSE(root.LoadChildren());
  EXPECT_TRUE(root.HasNoChildren());
}

TEST_F(HtmlFolders, NewRootMakesTheWebFolderAndAnnouncesTheNode) {
  ScriptedUi ui;
  auto prototype = CProjectObject::CreateObjectOfType(TypeCode::HtmlFolder);
  ASSERT_TRUE(prototype->CreateNew(&dev.Node(), dev.Handle(), nullptr));
  EXPECT_TRUE(hv::IsFolder(dir.Sub(wxS("web"))));
  ASSERT_EQ(1u, dev.Node().GetChildCount());
  CProjectObject* root = dev.Node().GetChildren()[0];
  EXPECT_EQ(wxS("Web-Dateien"), root->GetName());
  EXPECT_EQ((std::vector<int>{2}), view.Hints());

  // A device has one root.
  ui.ExpectMessage(10631);
  EXPECT_FALSE(prototype->CreateNew(&dev.Node(), dev.Handle(), nullptr));
  EXPECT_EQ(1u, dev.Node().GetChildCount());

  // A sub-folder is asked for; cancelled, nothing is made.
  ui.Answer<NewNameRequest>([](NewNameRequest&) { return static_cast<int>(IDCANCEL); });
  EXPECT_FALSE(prototype->CreateNew(root, dev.Handle(), nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(root->HasNoChildren());
}
