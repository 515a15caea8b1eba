// The project languages page and the add-language dialog on a real "PROJECT.SET".
#include <gtest/gtest.h>

#include "framework/NameDialogRequests.h"
#include "model/LanguagePage.h"
#include "model/ProjectSheet.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "tests/model/ProjectTestSupport.h"

using hvtest::S;

namespace {

struct LanguagePageFixture : projtest::ProjectFixture {
  CPOProject* project = nullptr;
  wxString set;

  LanguagePageFixture() {
    const wxString path = hv::JoinPath(ProjectsRoot(), "Linie");
    project = AddProject(AddFolder("Anlagen"), "Linie", path);
    set = hv::JoinPath(path, "PROJECT.SET");
  }
  void Write(const std::string& text) {
    hvtest::WriteAll(set, text);
    hv::IniFlushCache();
  }
  wxString Value(const char* section, const char* key) {
    return hv::IniGetString(set, section, key, "<missing>");
  }
};

}  // namespace

TEST_F(LanguagePageFixture, MarkingsShowAndStore) {
  Write("[Config]\r\nName=Linie\r\nDefaultLanguage=1031\r\n"
        "[Languages/Fonts]\r\n1031=0\r\n1033=\r\n1036=0\r\n1040=1\r\n");
  LanguagePageModel page(*project);
  page.Init();
  ASSERT_EQ(page.Items().size(), 4u);
  auto checked = [&page](WORD id) { return page.Items()[static_cast<size_t>(page.Find(id))].checked; };
  EXPECT_TRUE(checked(1031));    // "0", but the default
  EXPECT_TRUE(checked(1033));    // empty counts as marked
  EXPECT_FALSE(checked(1036));
  EXPECT_TRUE(checked(1040));
  EXPECT_EQ(page.Items()[0].Text(), page.Items()[0].name + "\t1031");

  // The default can neither be unmarked nor removed.
  const int def = page.Find(1031);
  EXPECT_FALSE(page.ButtonState(def).remove);
  EXPECT_FALSE(page.ButtonState(def).setDefault);
  EXPECT_FALSE(page.ButtonState(def).modify);
  ui.ExpectMessage(10326);
  EXPECT_FALSE(page.SetChecked(def, false));
  EXPECT_TRUE(checked(1031));
  EXPECT_FALSE(page.Remove(def));
  EXPECT_TRUE(ui.AllExpectationsMet());

  EXPECT_TRUE(page.SetChecked(page.Find(1040), false));
  EXPECT_TRUE(page.Remove(page.Find(1036)));
  ASSERT_TRUE(page.Store());
  hv::IniFlushCache();
  EXPECT_EQ(Value("Languages/Fonts", "1033"), "1");
  EXPECT_EQ(Value("Languages/Fonts", "1040"), "0");
  EXPECT_EQ(Value("Languages/Fonts", "1036"), "<missing>");
}

TEST_F(LanguagePageFixture, AddedLanguagesComeUnmarkedAndSetDefaultActsAtOnce) {
  Write("[Config]\r\nName=Linie\r\nDefaultLanguage=1031\r\n[Languages/Fonts]\r\n1031=1\r\n"
        "[DefLanguages]\r\n32768=Kunde\r\n");
  LanguagePageModel page(*project);
  page.Init();
  ui.Answer<AddLanguageRequest>([](AddLanguageRequest& r) {
    r.controller->Fill();
    std::vector<int> picked;
    for (size_t i = 0; i < r.controller->Items().size(); ++i) {
      const WORD id = r.controller->Items()[i].id;
      if (id == 1033 || id == 32768 || id == 1031) picked.push_back(static_cast<int>(i));
    }
    r.chosen = r.controller->Chosen(picked);
    return static_cast<int>(IDOK);
  });
  page.Add();
  ASSERT_EQ(page.Items().size(), 3u);
  EXPECT_FALSE(page.Items()[static_cast<size_t>(page.Find(1033))].checked);
  EXPECT_EQ(page.Items()[static_cast<size_t>(page.Find(32768))].name, "Kunde");
  EXPECT_EQ(page.Values().at(32768), "0");
  EXPECT_TRUE(page.ButtonState(page.Find(32768)).modify);

  ui.ExpectMessage(10687);
  EXPECT_TRUE(page.SetDefault(page.Find(1033)));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(Value("Config", "DefaultLanguage"), "1033");
  EXPECT_TRUE(page.Items()[static_cast<size_t>(page.Find(1033))].checked);
  EXPECT_FALSE(page.ButtonState(page.Find(1033)).remove);
}

TEST_F(LanguagePageFixture, ModifyRenamesAUserLanguageInPlace) {
  Write("[Config]\r\nName=Linie\r\n[Languages/Fonts]\r\n1031=1\r\n32768=0\r\n32769=1\r\n"
        "[DefLanguages]\r\n32768=Kunde\r\n32769=Werk\r\n");
  LanguagePageModel page(*project);
  page.Init();
  const int i = page.Find(32768);
  ui.Answer<ModifyLanguageRequest>([](ModifyLanguageRequest& r) {
    EXPECT_EQ(r.idText, "32768");
    EXPECT_EQ(r.name, "Kunde");
    r.name = S("Kunde Süd   ");
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(page.Modify(i));
  EXPECT_EQ(page.Find(32768), i);
  EXPECT_EQ(page.Items()[static_cast<size_t>(i)].name, S("Kunde Süd"));
  EXPECT_FALSE(page.Items()[static_cast<size_t>(i)].checked);
  hv::IniFlushCache();
  EXPECT_EQ(Value("DefLanguages", "32768"), S("Kunde Süd"));
  EXPECT_EQ(Value("DefLanguages", "32769"), "Werk");
  EXPECT_FALSE(page.Modify(page.Find(1031)));   // built-in languages keep their names
}

TEST_F(LanguagePageFixture, UserLanguagesGetTheLowestFreeNumberAndOnlyUnusedOnesAreDeleted) {
  Write("[Config]\r\nName=Linie\r\n[Languages/Fonts]\r\n1031=1\r\n32770=1\r\n"
        "[DefLanguages]\r\n32768=Eins\r\n32770=Drei\r\n32771=Vier\r\n");
  LanguageMap projectValues{{1031, "1"}, {32770, "1"}};
  AddLanguageController dlg(*project, projectValues);
  dlg.Fill();
  ui.Answer<NewLanguageRequest>([](NewLanguageRequest& r) {
    r.name = "  Zwei ";
    return static_cast<int>(IDOK);
  });
  ASSERT_TRUE(dlg.NewUserLanguage());
  EXPECT_EQ(dlg.Items().back().id, 32769);
  EXPECT_EQ(dlg.Items().back().name, "Zwei");

  auto index = [&dlg](WORD id) {
    for (size_t i = 0; i < dlg.Items().size(); ++i)
      if (dlg.Items()[i].id == id) return static_cast<int>(i);
    return -1;
  };
  // A project language or a built-in one cannot be deleted.
  EXPECT_FALSE(dlg.CanDelete({index(32768), index(32770)}));
  EXPECT_FALSE(dlg.CanDelete({index(1031)}));
  ui.ExpectMessage(10688);
  EXPECT_FALSE(dlg.DeleteUserLanguages({index(32770)}));

  // Several at once: exactly the selected ones go.
  ui.ExpectMessage(10689, IDYES);
  ASSERT_TRUE(dlg.DeleteUserLanguages({index(32768), index(32771)}));
  EXPECT_TRUE(ui.AllExpectationsMet());
  LanguageMap users;
  project->ReadUserLanguages(users);
  EXPECT_EQ(users, (LanguageMap{{32769, "Zwei"}, {32770, "Drei"}}));
  EXPECT_EQ(index(32768), -1);
  EXPECT_NE(index(32769), -1);

  // A blank name adds nothing.
  ui.Answer<NewLanguageRequest>([](NewLanguageRequest& r) {
    r.name = "   ";
    return static_cast<int>(IDOK);
  });
  EXPECT_FALSE(dlg.NewUserLanguage());
}

TEST_F(LanguagePageFixture, NoFreeUserNumberAddsNothing) {
  std::string text = "[Config]\r\nName=Linie\r\n[DefLanguages]\r\n";
  for (unsigned id = 32768; id <= 65534; ++id) text += std::to_string(id) + "=L\r\n";
  Write(text);
  LanguageMap none;
  AddLanguageController dlg(*project, none);
  ui.Answer<NewLanguageRequest>([](NewLanguageRequest& r) {
    r.name = "Noch eine";
    return static_cast<int>(IDOK);
  });
  EXPECT_FALSE(dlg.NewUserLanguage());
  LanguageMap users;
  project->ReadUserLanguages(users);
  EXPECT_EQ(users.size(), 32767u);
}

TEST_F(LanguagePageFixture, SheetInitialisesPagesWhenShownAndStoresOnlyThose) {
  Write("[Config]\r\nName=Linie\r\n[Languages/Fonts]\r\n1031=\r\n");
  {
    ProjectSheetController sheet(*project);
    ASSERT_TRUE(sheet.SetActivePage(0));
    EXPECT_FALSE(sheet.languages.IsInitialised());
    ASSERT_TRUE(sheet.OK());
  }
  hv::IniFlushCache();
  EXPECT_EQ(Value("Languages/Fonts", "1031"), "");   // the page was never shown
  {
    ProjectSheetController sheet(*project);
    ASSERT_TRUE(sheet.SetActivePage(1));
    ASSERT_TRUE(sheet.OK());
  }
  hv::IniFlushCache();
  EXPECT_EQ(Value("Languages/Fonts", "1031"), "1");
}
