#include <gtest/gtest.h>

#include "model/PathMacros.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(PathMacros, CollapseOnlyWholeFolders) {
  const PathMacroFolders f{"/home/u/Projekte/Anlage/Geraet1", "/srv/sym", "/home/u/Projekte/Anlage"};
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"/home/u/Projekte/Anlage/Geraet1", "$$$DEVICEPATH$$$"},
      {"x;/home/u/Projekte/Anlage/Geraet1;y", "x;$$$DEVICEPATH$$$;y"},
      {"/home/u/Projekte/Anlage/Geraet1/CoDeSys/a.sym", "$$$DEVICEPATH$$$/CoDeSys/a.sym"},
      {"\\home\\u\\Projekte\\Anlage\\Geraet1\\a.sym", "$$$DEVICEPATH$$$\\a.sym"},   // separators kept as read
      {"/HOME/U/projekte/anlage/GERAET1/a", "$$$DEVICEPATH$$$/a"},                  // case ignored
      {"/home/u/Projekte/Anlage/Geraet10/a", "$$$PROJECTPATH$$$/Geraet10/a"},      // another device
      {"/mnt/home/u/Projekte/Anlage/Geraet1/a", "/mnt/home/u/Projekte/Anlage/Geraet1/a"},
      {"/home/u/Projekte/Anlage/Geraet1 x", "$$$PROJECTPATH$$$/Geraet1 x"},   // the device folder ends in a blank
      {"/srv/sym/k.sym;/home/u/Projekte/Anlage/Geraet2;127.0.0.5",
       "$$$SYMBOLDATEIPATH$$$/k.sym;$$$PROJECTPATH$$$/Geraet2;127.0.0.5"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CollapsePathMacros(c.text, f), c.expected);
  }
}

TEST(PathMacros, EmptyOrRootFolderChangesNothing) {
  EXPECT_EQ(CollapseFolder("/a/b;/c", "", kMacroDevicePath), "/a/b;/c");
  EXPECT_EQ(CollapseFolder("/a/b;/c", "/", kMacroDevicePath), "/a/b;/c");
  EXPECT_EQ(CollapseFolder("/a/b;/c", "/a/b/", kMacroDevicePath), "$$$DEVICEPATH$$$;/c");
  EXPECT_EQ(ExpandPathMacros("$$$DEVICEPATH$$$/x;$$$SYMBOLDATEIPATH$$$", PathMacroFolders{"/d", "", ""}),
            "/d/x;$$$SYMBOLDATEIPATH$$$");
}

TEST(PathMacros, ExpandTrimsAndRoundTrips) {
  const PathMacroFolders f{S("/home/u/Projekte/Bäckerei/Geraet1"), "/srv/sym", S("/home/u/Projekte/Bäckerei")};
  EXPECT_EQ(ExpandPathMacros("$$$DEVICEPATH$$$/a.sym;$$$SYMBOLDATEIPATH$$$;$$$PROJECTPATH$$$   ", f),
            S("/home/u/Projekte/Bäckerei/Geraet1/a.sym;/srv/sym;/home/u/Projekte/Bäckerei"));
  const wxString stored = "$$$DEVICEPATH$$$/a.sym;$$$SYMBOLDATEIPATH$$$/b.sym;127.0.0.5";
  EXPECT_EQ(CollapsePathMacros(ExpandPathMacros(stored, f), f), stored);
  // A folder that moved: collapsed against the old one, expanded against the new one.
  const PathMacroFolders moved{"/home/u/Projekte/Neu/Geraet1", "/srv/sym", "/home/u/Projekte/Neu"};
  EXPECT_EQ(ExpandPathMacros(CollapsePathMacros(S("/home/u/Projekte/Bäckerei/Geraet1/a.sym"), f), moved),
            "/home/u/Projekte/Neu/Geraet1/a.sym");
}
