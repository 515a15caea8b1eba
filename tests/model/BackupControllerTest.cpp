#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <set>
#include <thread>

#include "model/BackupController.h"
#include "model/CoDeSysArchiver.h"
#include "platform/Codec.h"
#include "platform/DocumentsFolder.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ZipTestSupport.h"

using namespace backuptest;
using namespace ziptest;
using hvtest::ReadAll;
using hvtest::S;
using hvtest::ScriptedUi;
using hvtest::TempDir;
using hvtest::TempHome;
using hvtest::WriteAll;

namespace {

const wxString kRunning = S("Sicherung läuft, bitte warten");

// The sample project with one CoDeSys project in a device's "CoDeSys" folder, and
// look-alikes that are no CoDeSys projects or lie elsewhere.
void WriteProjectWithCoDeSys(const wxString& root) {
  WriteSampleProject(root);
  WriteAll(hv::JoinPath(root, "P/Geraet1/CoDeSys/Prog.pro"), "pro data");
  WriteAll(hv::JoinPath(root, "P/Geraet1/CoDeSys/Prog.pro.bak"), "backup copy");
  WriteAll(hv::JoinPath(root, "P/Geraet1/CoDeSys/b.properties"), "x");
  WriteAll(hv::JoinPath(root, "P/Geraet1/Lose.pro"), "outside a CoDeSys folder");
  hv::MakeFolders(hv::JoinPath(root, "P/Geraet2/codesys"));
}

std::set<std::string> EntryNames(const wxString& archive) {
  std::set<std::string> names;
  for (const RawEntry& e : ReadRawZip(archive)) names.insert(e.name);
  return names;
}

// Everything in the folder; a temporary archive left behind would show here.
std::vector<wxString> Files(const wxString& folder) { return hv::ListFolder(folder); }

struct Fixture {
  TempHome home;
  TempDir dir;
  ScriptedUi ui;
  BackupRequest request;
  wxString target;

  Fixture() {
    WriteProjectWithCoDeSys(dir.Path());
    hv::MakeFolders(dir.Sub("out"));
    request.sourceFolder = dir.Sub("P");
    request.projectName = "P";
    request.profilePath = dir.Sub("Project.INI");
    WriteAll(request.profilePath, "[Config]\r\n");
    target = dir.Sub("out/P_backup.zip");
  }
};

}  // namespace

TEST(Backup, ClearedBoxZipsAtOnceWithEntriesBelowTheProjectsParent) {
  Fixture f;
  BackupController backup(f.request);
  EXPECT_FALSE(backup.GetButtons().startEnabled);
  EXPECT_TRUE(backup.ArchiveCoDeSys());

  backup.TargetChosen(f.target);
  EXPECT_TRUE(backup.GetButtons().startEnabled);
  EXPECT_EQ(hv::RegistryStore::Get().GetString(hv::kKeyProduct, "BackupDir").value_or(""), f.dir.Sub("out"));
  EXPECT_EQ(backup.DefaultTarget(), f.target);

  // No CoDeSys is configured, but with the box cleared nothing asks for one.
  backup.SetArchiveCoDeSys(false);
  ASSERT_TRUE(backup.Start());
  ASSERT_TRUE(RunToEnd(backup));
  EXPECT_TRUE(f.ui.MessageIds().empty());
  EXPECT_TRUE(f.request.succeeded);
  EXPECT_EQ(backup.StatusText(), "Sicherung erfolgreich");
  EXPECT_EQ(backup.Percent(), 100);
  EXPECT_TRUE(backup.GetButtons().closeEnabled);
  EXPECT_EQ(Files(f.dir.Sub("out")), std::vector<wxString>{"P_backup.zip"});

  // The layout is the writer's (checked there with unzip); with the box cleared the
  // CoDeSys projects are plain files of the project.
  const std::vector<RawEntry> entries = ReadRawZip(f.target);
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.front().name, "P\\");
  const std::set<std::string> names = EntryNames(f.target);
  for (const char* name : {"P\\Geraet1\\CoDeSys\\Prog.pro", "P\\Geraet1\\Lose.pro", "P\\Geraet2\\codesys\\"})
    EXPECT_TRUE(names.count(name)) << name;
  EXPECT_FALSE(names.count("P\\.hidden"));
}

TEST(Backup, CheckedBoxWithoutConfiguredCoDeSysFailsAndKeepsTheOldArchive) {
  Fixture f;
  WriteAll(f.target, "older archive");
  BackupController backup(f.request);
  backup.SetTarget(f.target);
  f.ui.ExpectMessage(10767, IDYES);   // overwrite?
  f.ui.ExpectMessage(10787);          // one per CoDeSys project
  ASSERT_TRUE(backup.Start());
  ASSERT_TRUE(RunToEnd(backup));
  EXPECT_EQ(f.ui.MessageIds().size(), 2u);   // exactly the two expected
  EXPECT_TRUE(f.ui.MessageTexts()[1].Contains(f.dir.Sub("P/Geraet1/CoDeSys/Prog_backup.zip")));
  EXPECT_FALSE(backup.Succeeded());
  EXPECT_EQ(backup.StatusText(), "Sicherung fehlgeschlagen");
  EXPECT_EQ(ReadAll(f.target), "older archive");
  EXPECT_EQ(Files(f.dir.Sub("out")), std::vector<wxString>{"P_backup.zip"});
  EXPECT_FALSE(hv::PathExists(f.dir.Sub("P/Geraet1/CoDeSys/CoArchiv.bat")));
}

TEST(Backup, OverwriteNoLeavesTheTargetAndTheDialogReady) {
  Fixture f;
  WriteAll(f.target, "older archive");
  BackupController backup(f.request);
  backup.SetTarget(f.target);
  f.ui.ExpectMessage(10767, IDNO);
  EXPECT_FALSE(backup.Start());
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_FALSE(backup.IsBusy());
  EXPECT_TRUE(backup.GetButtons().startShown && backup.GetButtons().startEnabled);
  EXPECT_FALSE(backup.GetButtons().cancelShown);
  EXPECT_TRUE(backup.RequestClose());
  EXPECT_EQ(ReadAll(f.target), "older archive");
}

TEST(Backup, FakeCoDeSysArchivesThroughTheBatchFile) {
  Fixture f;
  const wxString log = f.dir.Sub("batch.log");
  const wxString script = WriteFakeCoDeSys(f.dir.Sub("codesys.sh"), log, "printf 'archived' > \"$archive\"");
  WriteProfile(f.request.profilePath, script);
  BackupOptions options;
  options.isCoDeSysRunning = [] { return false; };
  BackupController backup(f.request, options);
  backup.SetTarget(f.target);
  ASSERT_TRUE(backup.Start());
  ASSERT_TRUE(RunToEnd(backup));
  EXPECT_TRUE(f.ui.MessageIds().empty());
  EXPECT_TRUE(backup.Succeeded());

  const wxString pro = f.dir.Sub("P/Geraet1/CoDeSys/Prog.pro");
  const wxString made = f.dir.Sub("P/Geraet1/CoDeSys/Prog_backup.zip");
  EXPECT_EQ(ReadAll(log), "file open \"" + hv::ToFs(pro) + "\"\r\nfile archive \"" + hv::ToFs(made) +
                              "\"\r\nfile close\r\nfile quit\r\n");
  EXPECT_EQ(ReadAll(made), "archived");
  EXPECT_FALSE(hv::PathExists(f.dir.Sub("P/Geraet1/CoDeSys/CoArchiv.bat")));
  const std::set<std::string> names = EntryNames(f.target);
  EXPECT_TRUE(names.count("P\\Geraet1\\CoDeSys\\Prog_backup.zip"));
  EXPECT_FALSE(names.count("P\\Geraet1\\CoDeSys\\CoArchiv.bat"));
  // Only the ".pro" file in the CoDeSys folder went to CoDeSys.
  EXPECT_FALSE(hv::PathExists(f.dir.Sub("P/Geraet1/Lose_backup.zip")));
  EXPECT_FALSE(hv::PathExists(f.dir.Sub("P/Geraet1/CoDeSys/Prog.pro_backup.zip")));
}

TEST(Backup, CoDeSysCommandFromTheProfileOrTheBrandRegistry) {
  TempHome home;
  TempDir dir;
  const wxString profile = dir.Sub("Project.INI");
  WriteAll(profile, "[Config]\r\n");
  EXPECT_EQ(ReadCoDeSysCommand(profile), "");
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"CODESYS\"=\"/opt/codesys/run --quiet\"\n");
  EXPECT_EQ(ReadCoDeSysCommand(profile), "/opt/codesys/run --quiet");
  // The value found in the registry is written into the profile.
  EXPECT_NE(ReadAll(profile).find("CODESYS=/opt/codesys/run --quiet"), std::string::npos);
  WriteProfile(profile, "/usr/bin/codesys");
  EXPECT_EQ(ReadCoDeSysCommand(profile), "/usr/bin/codesys");
}

TEST(Backup, CoDeSysOverstayingItsTimeIsKilled) {
  Fixture f;
  const wxString log = f.dir.Sub("batch.log");
  WriteProfile(f.request.profilePath, WriteFakeCoDeSys(f.dir.Sub("codesys.sh"), log, "exec sleep 30"));
  BackupOptions options;
  options.isCoDeSysRunning = [] { return false; };
  options.coDeSysLimits.timeoutMs = 1000;
  BackupController backup(f.request, options);
  backup.SetTarget(f.target);
  f.ui.ExpectMessage(10787);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(backup.Start());
  ASSERT_TRUE(RunToEnd(backup));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_FALSE(backup.Succeeded());
  EXPECT_FALSE(hv::PathExists(f.target));
  const int pid = std::atoi(ReadAll(log + ".pid").c_str());
  ASSERT_GT(pid, 0);
  EXPECT_EQ(kill(pid, 0), -1);
  EXPECT_EQ(errno, ESRCH);
}

TEST(Backup, RunningCoDeSysIsAskedAboutAndCancelFailsTheBackup) {
  Fixture f;
  const wxString script = WriteFakeCoDeSys(f.dir.Sub("codesys.sh"), f.dir.Sub("batch.log"), "printf x > \"$archive\"");
  WriteProfile(f.request.profilePath, script);
  {  // Cancel: the run is skipped, the archive is missing, no zip.
    BackupOptions options;
    options.isCoDeSysRunning = [] { return true; };
    BackupController backup(f.request, options);
    backup.SetTarget(f.target);
    f.ui.ExpectMessage(10790, IDCANCEL);
    f.ui.ExpectMessage(10787);
    ASSERT_TRUE(backup.Start());
    ASSERT_TRUE(RunToEnd(backup));
    EXPECT_TRUE(f.ui.AllExpectationsMet());
    EXPECT_FALSE(backup.Succeeded());
    EXPECT_FALSE(hv::PathExists(f.target));
  }
  {  // OK after CoDeSys was closed: the run goes ahead.
    int asked = 0;
    BackupOptions options;
    options.isCoDeSysRunning = [&asked] { return asked++ == 0; };
    BackupController backup(f.request, options);
    backup.SetTarget(f.target);
    f.ui.ExpectMessage(10790, IDOK);
    ASSERT_TRUE(backup.Start());
    ASSERT_TRUE(RunToEnd(backup));
    EXPECT_TRUE(f.ui.AllExpectationsMet());
    EXPECT_TRUE(backup.Succeeded());
  }
}

TEST(Backup, CancelDuringTheZipLeavesNoArchiveAndKeepsTheOldOne) {
  Fixture f;
  // Enough incompressible data that the zip is still running when the cancel comes; it is
  // the first file the zip reaches, so the status stays at the start text until it is done.
  std::mt19937 rng(7);
  std::string big(48 << 20, '\0');
  for (char& c : big) c = static_cast<char>(rng());
  WriteAll(f.dir.Sub("P/Geraet1/big.bin"), big);
  WriteAll(f.target, "older archive");
  BackupController backup(f.request);
  backup.SetTarget(f.target);
  backup.SetArchiveCoDeSys(false);
  f.ui.ExpectMessage(10767, IDYES);
  ASSERT_TRUE(backup.Start());
  ASSERT_TRUE(PollUntil(backup, [&] { return backup.StatusText() == kRunning; }));
  EXPECT_FALSE(backup.RequestClose());
  EXPECT_EQ(backup.StatusText(), "Sicherung ist noch aktiv, bitte warten.");
  backup.Cancel();
  EXPECT_EQ(backup.StatusText(), "Sicherung fehlgeschlagen.");
  f.ui.ExpectMessage(10769);
  ASSERT_TRUE(RunToEnd(backup));
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_FALSE(backup.Succeeded());
  EXPECT_EQ(backup.Percent(), 0);
  EXPECT_EQ(ReadAll(f.target), "older archive");
  EXPECT_EQ(Files(f.dir.Sub("out")), std::vector<wxString>{"P_backup.zip"});
  // After a cancel the backup may be started again.
  EXPECT_TRUE(backup.GetButtons().startShown && backup.GetButtons().startEnabled);
  EXPECT_TRUE(backup.RequestClose());
}

// The disk fills at the first entry, amid the files, and at the archive's directory: the
// archive and the reason are said once, the old archive stays and no partial file is left.
TEST(Backup, FullDiskAtAnyPointNamesTheArchiveAndTheReasonAndKeepsTheOldOne) {
  Fixture f;
  std::mt19937 rng(11);
  std::string noise(96 << 10, '\0');
  for (int i = 0; i < 4; ++i) {
    for (char& c : noise) c = static_cast<char>(rng());
    WriteAll(f.dir.Sub(wxString::Format("P/Geraet1/rauschen%d.bin", i)), noise);
  }
  const wxString complete = f.dir.Sub("voll/P_backup.zip");
  hv::MakeFolders(hv::PathFolder(complete));
  {
    BackupController backup(f.request);
    backup.SetTarget(complete);
    backup.SetArchiveCoDeSys(false);
    ASSERT_TRUE(backup.Start());
    ASSERT_TRUE(RunToEnd(backup));
    ASSERT_TRUE(backup.Succeeded());
  }
  const unsigned long size = static_cast<unsigned long>(ReadAll(complete).size());
  const wxString expected = "Fehler beim Schreiben des Archivs: " + f.target + " (" + std::strerror(EFBIG) + ")";
  for (const unsigned long room : {0ul, 150000ul, size - 40}) {
    SCOPED_TRACE(room);
    WriteAll(f.target, "older archive");
    BackupController backup(f.request);
    backup.SetTarget(f.target);
    backup.SetArchiveCoDeSys(false);
    f.ui.ExpectMessage(10767, IDYES);
    f.ui.ExpectMessage(10778);
    {
      hvtest::FileSizeLimit limit(room);
      ASSERT_TRUE(backup.Start());
      ASSERT_TRUE(RunToEnd(backup));
    }
    EXPECT_TRUE(f.ui.AllExpectationsMet());
    EXPECT_FALSE(backup.Succeeded());
    EXPECT_EQ(backup.StatusText(), "Sicherung fehlgeschlagen");
    EXPECT_EQ(hv::ToUtf8(f.ui.MessageTexts().back()), hv::ToUtf8(expected));
    EXPECT_EQ(ReadAll(f.target), "older archive");
    EXPECT_EQ(Files(f.dir.Sub("out")), std::vector<wxString>{"P_backup.zip"});
  }
}

TEST(Backup, CancelDuringCoDeSysStopsItAndMakesNoArchive) {
  Fixture f;
  const wxString log = f.dir.Sub("batch.log");
  WriteProfile(f.request.profilePath, WriteFakeCoDeSys(f.dir.Sub("codesys.sh"), log, "exec sleep 30"));
  BackupOptions options;
  options.isCoDeSysRunning = [] { return false; };
  BackupController backup(f.request, options);
  backup.SetTarget(f.target);
  ASSERT_TRUE(backup.Start());
  ASSERT_TRUE(PollUntil(backup, [&] { return !ReadAll(log + ".pid").empty(); }));
  backup.Poll();   // takes over the status reported before CoDeSys started
  EXPECT_TRUE(backup.StatusText().StartsWith("Backup CoDeSys file archive: Prog_backup.zip"));
  backup.Cancel();
  f.ui.ExpectMessage(10769);
  const auto cancelled = std::chrono::steady_clock::now();
  ASSERT_TRUE(RunToEnd(backup));
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::seconds(5));
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_FALSE(hv::PathExists(f.target));
  EXPECT_EQ(Files(f.dir.Sub("out")), std::vector<wxString>{});
  EXPECT_EQ(kill(std::atoi(ReadAll(log + ".pid").c_str()), 0), -1);
}

TEST(Backup, BackupFolderDefaultsToTheDocumentsFolder) {
  TempHome home;
  EXPECT_EQ(ReadBackupFolder(), hv::DocumentsFolder());
  EXPECT_EQ(hv::RegistryStore::Get().GetString(hv::kKeyProduct, "BACKUPDIR").value_or(""), hv::DocumentsFolder());
  ASSERT_TRUE(StoreBackupFolder("/srv/sicherung\\"));
  EXPECT_EQ(ReadBackupFolder(), "/srv/sicherung");
}

TEST(CoDeSysArchiver, OnlyProFilesInCoDeSysFoldersCount) {
  for (const char* name : {"a.pro", "B.PRO", "x.y.Pro"}) EXPECT_TRUE(CCoDeSysArchiver::IsCoDeSysProjectName(name)) << name;
  for (const char* name : {".pro", ".a.pro", "a.pro.bak", "b.properties", "pro", "apro"})
    EXPECT_FALSE(CCoDeSysArchiver::IsCoDeSysProjectName(name)) << name;

  TempDir dir;
  WriteProjectWithCoDeSys(dir.Path());
  WriteAll(dir.Sub("P/.Versteckt/CoDeSys/h.pro"), "hidden device");
  WriteAll(dir.Sub("P/Geraet3/CODESYS/Zwei.PRO"), "second");
  hv::MakeFolders(dir.Sub("P/Geraet3/CODESYS/Ordner.pro"));
  EXPECT_EQ(CCoDeSysArchiver::FindProjects(dir.Sub("P")),
            (std::vector<wxString>{dir.Sub("P/Geraet1/CoDeSys/Prog.pro"), dir.Sub("P/Geraet3/CODESYS/Zwei.PRO")}));
  EXPECT_EQ(CCoDeSysArchiver::ArchivePathFor("/p/Geraet3/CODESYS/Zwei.PRO"), "/p/Geraet3/CODESYS/Zwei_backup.zip");
  // No CoDeSys project at all: nothing counted, nothing divided by zero.
  EXPECT_TRUE(CCoDeSysArchiver::FindProjects(dir.Sub("P/Leer")).empty());
}

TEST(Backup, DialogGoneWhileTheWorkerWaitsForAnAnswer) {
  Fixture f;
  WriteProfile(f.request.profilePath, WriteFakeCoDeSys(f.dir.Sub("codesys.sh"), f.dir.Sub("log"), "exit 0"));
  const auto started = std::chrono::steady_clock::now();
  {
    BackupOptions options;
    options.isCoDeSysRunning = [] { return true; };
    BackupController backup(f.request, options);
    backup.SetTarget(f.target);
    ASSERT_TRUE(backup.Start());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    // Never polled: the question is still waiting when the controller goes.
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_TRUE(f.ui.MessageIds().empty());
  EXPECT_FALSE(hv::PathExists(f.target));
  EXPECT_EQ(Files(f.dir.Sub("out")), std::vector<wxString>{});
}

namespace {

// What the backup said in one language: its status at the end, its messages and their
// captions.
struct Said {
  wxString status;
  std::vector<UINT> ids;
  std::vector<wxString> texts, captions;
};

// A backup to a folder that is gone (0), onto a folder (1), and of a project with more
// links than a message lists (2).
Said BackUp(int which, bool english, wxString& place) {
  Fixture f;
  f.home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" HV_TEST_SOURCE_DIR "/../data\"\n");
  f.ui.AllowAnyMessage(IDYES);
  wxString target = f.target;
  if (which == 0) {
    place = f.dir.Sub("weg");
    target = hv::JoinPath(place, "P_backup.zip");
  } else if (which == 1) {
    place = target;
    hv::MakeFolders(target);
  } else {
    for (int i = 0; i < 17; ++i)
      EXPECT_EQ(symlink("/nirgends", hv::ToFs(f.dir.Sub(wxString::Format("P/link%02d", i))).c_str()), 0);
  }
  if (english) {
    EXPECT_TRUE(hv::InitMultiLanguage("Project", S("ENG")));
  }
  BackupController backup(f.request);
  backup.SetArchiveCoDeSys(false);
  backup.SetTarget(target);
  if (backup.Start()) {
    EXPECT_TRUE(RunToEnd(backup));
  }
  hv::ResetLanguage();
  return {backup.StatusText(), f.ui.MessageIds(), f.ui.MessageTexts(), f.ui.MessageCaptions()};
}

}  // namespace

// The backup's messages follow the language in use, and the German ones stay as they were.
TEST(Backup, ItsMessagesFollowTheLanguage) {
  wxString place;
  Said de = BackUp(0, false, place);
  EXPECT_EQ(de.status, "Sicherung fehlgeschlagen");
  EXPECT_EQ(de.ids, std::vector<UINT>{10778});
  EXPECT_EQ(de.texts, std::vector<wxString>{"Zielverzeichnis nicht gefunden: " + place});
  EXPECT_EQ(de.captions, std::vector<wxString>{S("Datensicherung")});
  Said en = BackUp(0, true, place);
  EXPECT_EQ(en.status, "Backup failed");
  EXPECT_EQ(en.texts, std::vector<wxString>{"Target folder not found: " + place});
  EXPECT_EQ(en.captions, std::vector<wxString>{S("Data backup")});

  de = BackUp(1, false, place);
  EXPECT_EQ(de.ids, (std::vector<UINT>{10767, 10778}));
  EXPECT_EQ(de.texts, (std::vector<wxString>{"Die Datei " + place + S(" ist bereits vorhanden!\nÜberschreiben?"),
                                             "Ziel ist keine Datei: " + place}));
  en = BackUp(1, true, place);
  EXPECT_EQ(en.texts, (std::vector<wxString>{"The file " + place + " already exists!\nOverwrite?",
                                             "The target is not a file: " + place}));

  de = BackUp(2, false, place);
  EXPECT_EQ(de.status, S("Sicherung unvollständig"));
  ASSERT_EQ(de.ids, std::vector<UINT>{11966});
  EXPECT_TRUE(de.texts[0].StartsWith(S("Diese Dateien wurden nicht gesichert"))) << hv::ToUtf8(de.texts[0]);
  EXPECT_TRUE(de.texts[0].EndsWith("\nP/link14\n... (2 weitere)")) << hv::ToUtf8(de.texts[0]);
  en = BackUp(2, true, place);
  EXPECT_EQ(en.status, "Backup incomplete");
  ASSERT_EQ(en.texts.size(), 1u);
  EXPECT_TRUE(en.texts[0].StartsWith("These files were not backed up")) << hv::ToUtf8(en.texts[0]);
  EXPECT_TRUE(en.texts[0].EndsWith("\nP/link14\n... (2 more)")) << hv::ToUtf8(en.texts[0]);
}
