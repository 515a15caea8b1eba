#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "archive/ZipWriter.h"
#include "model/BackupController.h"
#include "framework/SettingsFile.h"
#include "model/RestoreController.h"
#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/support/ForkedChild.h"
#include "tests/support/PrivateTrash.h"
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
using Tree = std::map<std::string, std::string>;

namespace {

const wxString kFailed = S("Wiederherstellung fehlgeschlagen.");

// The archive a backup makes of root/P.
wxString MakeArchive(const wxString& root, const wxString& archive) {
  CZipWriter writer;
  EXPECT_TRUE(writer.OpenZip(archive, root));
  writer.CountFiles(hv::JoinPath(root, "P"));
  writer.AddFolderToZip(hv::JoinPath(root, "P"), FALSE);
  EXPECT_TRUE(writer.CloseZip());
  return archive;
}

// A project folder P that a restore must leave alone or replace.
void WriteOldProject(const wxString& folder) {
  WriteAll(hv::JoinPath(folder, "PROJECT.SET"), "[Config]\r\nName=alt\r\n");
  WriteAll(hv::JoinPath(folder, "Geraet1/DEVICE.SET"), "old device");
  WriteAll(hv::JoinPath(folder, "nur-alt.txt"), "only in the old project");
}

struct Steps {
  std::vector<std::pair<wxString, wxString>> registered;
  std::vector<wxString> deleted;
  RestoreTarget Target() {
    RestoreTarget t;
    t.registerProject = [this](const wxString& folder, const wxString& name) {
      registered.emplace_back(folder, name);
      return true;
    };
    t.deleteProject = [this](const wxString& folder) {
      deleted.push_back(folder);
      return RemoveFolderTree(folder);
    };
    return t;
  }
};

struct Fixture {
  TempHome home;
  TempDir dir;
  ScriptedUi ui;
  Steps steps;
  RestoreRequest request;
  wxString target;

  Fixture() {
    WriteSampleProject(dir.Sub("src"));
    request.target = steps.Target();
    target = dir.Sub("ziel");
    hv::MakeFolders(target);
  }
  wxString Archive() { return MakeArchive(dir.Sub("src"), dir.Sub("P_backup.zip")); }
  void AnswerPathExists(int choice, std::vector<wxString> names = {}, RestorePathExistsRequest* seen = nullptr) {
    auto queue = std::make_shared<std::vector<wxString>>(std::move(names));
    ui.Answer<RestorePathExistsRequest>([choice, queue, seen](RestorePathExistsRequest& r) {
      if (seen) *seen = r;
      r.choice = choice;
      if (!queue->empty()) {
        r.chosenFolder = queue->front();
        queue->erase(queue->begin());
      }
      return static_cast<int>(IDOK);
    });
  }
};

}  // namespace

TEST(Restore, BackupRestoredIntoAFreshUserFolderIsIdentical) {
  TempHome home;
  TempDir dir;
  ScriptedUi ui;
  WriteSampleProject(dir.Path());
  BackupRequest backupRequest;
  backupRequest.sourceFolder = dir.Sub("P");
  backupRequest.projectName = "P";
  {
    BackupController backup(backupRequest);
    backup.SetArchiveCoDeSys(false);
    backup.TargetChosen(dir.Sub("P_backup.zip"));
    ASSERT_TRUE(backup.Start());
    ASSERT_TRUE(RunToEnd(backup));
    ASSERT_TRUE(backupRequest.succeeded);
  }

  RestoreRequest request;
  RestoreController restore(request);
  EXPECT_EQ(restore.StatusText(), S("Bitte wählen Sie eine Zip-Datei aus."));
  // The profile's projects folder is the first target, and is remembered.
  EXPECT_EQ(restore.TargetFolder(), home.Sub("Projects"));
  EXPECT_EQ(hv::RegistryStore::Get().GetString(hv::kKeyProduct, "RestoreDir").value_or(""), home.Sub("Projects"));

  ASSERT_TRUE(restore.ChooseArchive(backupRequest.target));
  EXPECT_TRUE(restore.GetButtons().startEnabled);
  EXPECT_EQ(restore.StatusText(), S("Projekt P gefunden. Bitte starten Sie die Wiederherstellung."));

  ASSERT_TRUE(restore.Start(restore.TargetFolder() + "/"));
  EXPECT_FALSE(restore.RequestClose());   // not while it runs
  ASSERT_TRUE(RunToEnd(restore));
  EXPECT_TRUE(ui.MessageIds().empty());
  EXPECT_TRUE(restore.Succeeded());
  EXPECT_EQ(restore.StatusText(), S("Wiederherstellung erfolgreich durchgeführt."));
  EXPECT_EQ(request.restoredPath, home.Sub("Projects/P"));
  EXPECT_TRUE(restore.RequestClose());

  const Tree restored = Snapshot(home.Sub("Projects/P"));
  EXPECT_TRUE(restored == Snapshot(dir.Sub("P"), false));
  EXPECT_TRUE(restored.count(hv::ToFs(S("Geräte/Ω-Liste.txt"))));
  EXPECT_TRUE(restored.count("Tief/a/b/c/leer"));
  EXPECT_EQ(hv::ListFolder(home.Sub("Projects")), std::vector<wxString>{"P"});
}

TEST(Restore, HostileOrDamagedArchivesRestoreNothing) {
  Fixture f;
  hv::MakeFolders(f.dir.Sub("ziel/sub"));
  WriteAll(f.dir.Sub("ziel/anderes.txt"), "stays");

  RawEntry link = Entry("P\\link", "/etc/passwd");
  link.externalAttr = 0120777u << 16;
  link.versionMadeBy = 3u << 8;
  RawEntry stored = Entry("P\\daten.txt", "HEADER-PAYLOAD-0123456789");
  stored.method = 0;
  std::string text;
  for (int i = 0; i < 4000; ++i) text += std::to_string(i * 7) + (i % 13 ? " " : "\n");
  const RawEntry head = Entry("P\\");
  const RawEntry set = Entry("P\\project.set", "[Config]");
  struct Case {
    const char* what;
    std::vector<RawEntry> entries;
    const char* patch;   // "crc": flip a payload byte, "size": data fall short
  };
  const std::vector<Case> cases = {
      {"parent folder", {head, set, Entry("P\\..\\..\\boese.txt", "x")}, ""},
      {"absolute", {head, set, Entry("/tmp/boese.txt", "x")}, ""},
      {"drive", {head, set, Entry("C:\\boese.txt", "x")}, ""},
      {"inner parent", {head, set, Entry("P\\sub\\..\\..\\..\\boese.txt", "x")}, ""},
      {"link", {head, set, link}, ""},
      {"crc", {head, set, stored}, "crc"},
      {"short data", {head, set, Entry("P\\lang.txt", text)}, "size"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const wxString archive = f.dir.Sub("boese.zip");
    WriteRawZip(archive, c.entries);
    std::string bytes = ReadAll(archive);
    if (std::string(c.patch) == "crc") {
      const size_t at = bytes.find("PAYLOAD");
      bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
    } else if (std::string(c.patch) == "size") {
      bytes[bytes.rfind("PK\x03\x04") + 22] += 1;
      bytes[bytes.rfind("PK\x01\x02") + 24] += 1;
    }
    WriteAll(archive, bytes);
    const Tree withArchive = Snapshot(f.dir.Path());

    RestoreController restore(f.request);
    ASSERT_TRUE(restore.ChooseArchive(archive));
    f.ui.ExpectMessage(10765);
    ASSERT_TRUE(restore.Start(f.target));
    ASSERT_TRUE(RunToEnd(restore));
    ASSERT_TRUE(f.ui.AllExpectationsMet());
    EXPECT_TRUE(f.ui.MessageTexts().back().StartsWith("Fehler beim Entpacken, Wiederherstellung fehlgeschlagen."))
        << hv::ToUtf8(f.ui.MessageTexts().back());
    EXPECT_FALSE(restore.Succeeded());
    EXPECT_TRUE(restore.RestoredPath().empty());
    EXPECT_TRUE(Snapshot(f.dir.Path()) == withArchive);
    EXPECT_FALSE(hv::PathExists("/tmp/boese.txt"));
  }
  EXPECT_TRUE(f.steps.registered.empty());

  // Truncated after it was chosen: the restore notices and writes nothing.
  const wxString archive = f.Archive();
  RestoreController restore(f.request);
  ASSERT_TRUE(restore.ChooseArchive(archive));
  const std::string full = ReadAll(archive);
  WriteAll(archive, full.substr(0, full.size() / 2));
  const Tree withArchive = Snapshot(f.dir.Path());
  f.ui.ExpectMessage(10765);
  ASSERT_TRUE(restore.Start(f.target));
  ASSERT_TRUE(RunToEnd(restore));
  EXPECT_FALSE(restore.Succeeded());
  EXPECT_TRUE(Snapshot(f.dir.Path()) == withArchive);
}

TEST(Restore, FailedOverwriteKeepsTheExistingProject) {
  Fixture f;
  WriteOldProject(f.dir.Sub("ziel/P"));
  RawEntry stored = Entry("P\\daten.txt", "HEADER-PAYLOAD-0123456789");
  stored.method = 0;
  const wxString archive = f.dir.Sub("crc.zip");
  WriteRawZip(archive, {Entry("P\\"), Entry("P\\project.set", "[Config]"), stored});
  std::string bytes = ReadAll(archive);
  bytes[bytes.find("PAYLOAD")] ^= 0x55;
  WriteAll(archive, bytes);
  const Tree before = Snapshot(f.target);

  RestoreController restore(f.request);
  ASSERT_TRUE(restore.ChooseArchive(archive));
  f.AnswerPathExists(0);
  f.ui.ExpectMessage(10757, IDYES);   // sure to overwrite?
  f.ui.ExpectMessage(10765);          // extraction failed
  ASSERT_TRUE(restore.Start(f.target));
  ASSERT_TRUE(RunToEnd(restore));
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_EQ(f.ui.MessageTexts()[0], S("Sind Sie sicher, daß Sie dieses Projekt überschreiben wollen?"));
  EXPECT_TRUE(f.ui.MessageTexts()[1].Contains("CRC"));
  EXPECT_FALSE(restore.Succeeded());
  EXPECT_TRUE(f.steps.deleted.empty());
  EXPECT_TRUE(Snapshot(f.target) == before);
}

// A disk that fills amid the extraction: the entry and the reason are named, and the
// project to be replaced stays as it was, without a temporary folder beside it.
TEST(Restore, FullDiskKeepsTheExistingProjectAndNamesTheEntryAndTheReason) {
  Fixture f;
  WriteAll(f.dir.Sub("src/P/Geraet1/gross.bin"), std::string(256 << 10, 'g'));
  const wxString archive = f.Archive();
  WriteOldProject(f.dir.Sub("ziel/P"));
  const Tree before = Snapshot(f.target);
  RestoreController restore(f.request);
  ASSERT_TRUE(restore.ChooseArchive(archive));
  f.AnswerPathExists(0);
  f.ui.ExpectMessage(10757, IDYES);   // sure to overwrite?
  f.ui.ExpectMessage(10765);          // extraction failed
  {
    hvtest::FileSizeLimit limit(64 << 10);
    ASSERT_TRUE(restore.Start(f.target));
    ASSERT_TRUE(RunToEnd(restore));
  }
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_TRUE(f.ui.MessageTexts().back().Contains(wxString("P\\Geraet1\\gross.bin: Schreibfehler: ") +
                                                  std::strerror(EFBIG)))
      << f.ui.MessageTexts().back();
  EXPECT_FALSE(restore.Succeeded());
  EXPECT_TRUE(f.steps.deleted.empty());
  EXPECT_TRUE(f.steps.registered.empty());
  EXPECT_TRUE(Snapshot(f.target) == before);
}

// In English the restore speaks English, down to the reason an entry failed.
TEST(Restore, ItsTextsFollowTheLanguage) {
  Fixture f;
  f.home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" HV_TEST_SOURCE_DIR "/../data\"\n");
  RawEntry stored = Entry("P\\daten.txt", "HEADER-PAYLOAD-0123456789");
  stored.method = 0;
  const wxString archive = f.dir.Sub("kaputt.zip");
  WriteRawZip(archive, {Entry("P\\"), Entry("P\\project.set", "[Config]"), stored});
  std::string bytes = ReadAll(archive);
  bytes[bytes.find("PAYLOAD")] ^= 0x55;
  WriteAll(archive, bytes);

  ASSERT_TRUE(hv::InitMultiLanguage("Project", S("ENG")));
  RestoreController restore(f.request);
  const wxString atOpen = restore.StatusText();
  ASSERT_TRUE(restore.ChooseArchive(archive));
  const wxString found = restore.StatusText();
  f.ui.ExpectMessage(10765);
  ASSERT_TRUE(restore.Start(f.target));
  ASSERT_TRUE(RunToEnd(restore));
  hv::ResetLanguage();
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_EQ(atOpen, "Please select a zip file.");
  EXPECT_EQ(found, "Project P found. Please start the restore.");
  EXPECT_EQ(restore.StatusText(), "Restore failed.");
  EXPECT_EQ(f.ui.MessageTexts().back(), "Error while unpacking, restore failed.\n\n1 error(s):\nP\\daten.txt: CRC error")
      << hv::ToUtf8(f.ui.MessageTexts().back());
}

TEST(Restore, OverwriteReplacesTheProjectOnlyAfterACompleteExtraction) {
  Fixture f;
  WriteOldProject(f.dir.Sub("ziel/p"));   // another case: still the same folder
  RestoreController restore(f.request);
  ASSERT_TRUE(restore.ChooseArchive(f.Archive()));
  RestorePathExistsRequest seen;
  f.AnswerPathExists(0, {}, &seen);
  f.ui.ExpectMessage(10757, IDYES);
  ASSERT_TRUE(restore.Start(f.target));
  ASSERT_TRUE(RunToEnd(restore));
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_EQ(f.ui.MessageTexts(), std::vector<wxString>{S("Sind Sie sicher, daß Sie dieses Projekt überschreiben wollen?")});
  EXPECT_EQ(seen.existingFolder, f.dir.Sub("ziel/p"));
  EXPECT_EQ(seen.proposedFolder, "P_1");
  EXPECT_TRUE(restore.Succeeded());
  // The old project is swapped out of its place first, then disposed of.
  ASSERT_EQ(f.steps.deleted.size(), 1u);
  EXPECT_TRUE(f.steps.deleted[0].StartsWith(f.dir.Sub("ziel/.halvora-restore-"))) << f.steps.deleted[0];
  EXPECT_EQ(hv::ListFolder(f.target), std::vector<wxString>{"P"});
  EXPECT_TRUE(Snapshot(f.dir.Sub("ziel/P")) == Snapshot(f.dir.Sub("src/P"), false));
  EXPECT_EQ(restore.RestoredPath(), f.dir.Sub("ziel/P"));
}

TEST(Restore, OverwriteWithTheDefaultStepsMovesTheOldProjectToTheTrash) {
  const wxString trash = hvtest::UsePrivateTrash();
  Fixture f;
  f.request.target = RestoreTarget{};
  WriteOldProject(f.dir.Sub("ziel/P"));
  RestoreController restore(f.request);
  ASSERT_TRUE(restore.ChooseArchive(f.Archive()));
  f.AnswerPathExists(0);
  f.ui.ExpectMessage(10757, IDYES);
  ASSERT_TRUE(restore.Start(f.target));
  ASSERT_TRUE(RunToEnd(restore));
  EXPECT_TRUE(restore.Succeeded()) << (f.ui.MessageTexts().empty() ? "" : hv::ToUtf8(f.ui.MessageTexts().back()));
  EXPECT_TRUE(Snapshot(f.dir.Sub("ziel/P")) == Snapshot(f.dir.Sub("src/P"), false));
  bool found = false;
  for (const wxString& name : hv::ListFolder(hv::JoinPath(trash, "Trash/files")))
    found = found || ReadAll(hv::JoinPath(trash, "Trash/files/" + name + "/nur-alt.txt")) == "only in the old project";
  EXPECT_TRUE(found);
}

TEST(Restore, OtherNameProposesTheNextFreeOneAndChecksTheTypedName) {
  Fixture f;
  WriteOldProject(f.dir.Sub("ziel/P"));
  hv::MakeFolders(f.dir.Sub("ziel/p_1"));
  const Tree old = Snapshot(f.dir.Sub("ziel/P"));
  RestoreController restore(f.request);
  ASSERT_TRUE(restore.ChooseArchive(f.Archive()));
  RestorePathExistsRequest seen;
  f.AnswerPathExists(1, {"../x", "a/b", "P_1", S("Neu")}, &seen);
  f.ui.ExpectMessage(10300);   // "../x"
  f.ui.ExpectMessage(10300);   // "a/b"
  ASSERT_TRUE(restore.Start(f.target));
  ASSERT_TRUE(RunToEnd(restore));
  EXPECT_EQ(f.ui.MessageIds().size(), 2u);   // exactly the two expected
  // "P_1" exists as "p_1": asked again, with the existing folder named as it is.
  EXPECT_EQ(seen.existingFolder, f.dir.Sub("ziel/p_1"));
  EXPECT_EQ(seen.proposedFolder, "P_2");
  EXPECT_TRUE(restore.Succeeded());
  // The files come back as they were, but the project is named as its new folder.
  Tree renamed = Snapshot(f.dir.Sub("ziel/Neu"));
  Tree source = Snapshot(f.dir.Sub("src/P"), false);
  EXPECT_EQ(CSettingsFile(f.dir.Sub("ziel/Neu/PROJECT.SET")).GetString("Config", "Name", wxString()), "Neu");
  renamed.erase("PROJECT.SET");
  source.erase("PROJECT.SET");
  EXPECT_TRUE(renamed == source);
  EXPECT_TRUE(Snapshot(f.dir.Sub("ziel/P")) == old);
  EXPECT_FALSE(hv::PathExists(f.dir.Sub("x")));
  EXPECT_TRUE(f.steps.deleted.empty());
  ASSERT_EQ(f.steps.registered.size(), 1u);
  EXPECT_EQ(f.steps.registered[0].second, "Neu");
  EXPECT_EQ(CheckRestoreFolderName(S("Müller_2")), 0u);
  for (const char* bad : {"", ".", "..", "a\\b", "C:", "x?", "t\tab", "\xCE\xA9"})
    EXPECT_EQ(CheckRestoreFolderName(S(bad)), 10300u) << bad;
}

TEST(Restore, CancelOrNoLeavesTheTargetUntouched) {
  Fixture f;
  WriteOldProject(f.dir.Sub("ziel/P"));
  const wxString archive = f.Archive();
  const Tree before = Snapshot(f.target);
  {  // No to the overwrite question.
    RestoreController restore(f.request);
    ASSERT_TRUE(restore.ChooseArchive(archive));
    f.AnswerPathExists(0);
    f.ui.ExpectMessage(10757, IDNO);
    EXPECT_FALSE(restore.Start(f.target));
    EXPECT_FALSE(restore.IsRunning());
  }
  {  // Cancel at once, even when the extraction gets to its end first.
    RestoreController restore(f.request);
    ASSERT_TRUE(restore.ChooseArchive(archive));
    f.AnswerPathExists(0);
    f.ui.ExpectMessage(10757, IDYES);
    ASSERT_TRUE(restore.Start(f.target));
    restore.Cancel();
    f.ui.ExpectMessage(10769);
    ASSERT_TRUE(RunToEnd(restore));
    EXPECT_EQ(restore.StatusText(), kFailed);
    EXPECT_FALSE(restore.Succeeded());
  }
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_TRUE(f.steps.deleted.empty());
  EXPECT_TRUE(f.steps.registered.empty());
  EXPECT_TRUE(Snapshot(f.target) == before);
}

TEST(Restore, TargetAndArchiveChecks) {
  Fixture f;
  RestoreController restore(f.request);
  EXPECT_FALSE(restore.Start(f.target));   // no archive yet

  WriteRawZip(f.dir.Sub("kein.zip"), {Entry("A\\"), Entry("A\\x.txt", "x"), Entry("B\\"), Entry("B\\project.set")});
  f.ui.ExpectMessage(10752);
  EXPECT_FALSE(restore.ChooseArchive(f.dir.Sub("kein.zip")));
  EXPECT_EQ(f.ui.MessageTexts().back(), S("Die ausgewählte Sicherung enthält kein Projekt."));
  EXPECT_FALSE(restore.GetButtons().startEnabled);

  ASSERT_TRUE(restore.ChooseArchive(f.Archive()));
  for (const char* bad : {"/", "relativ/pfad", "\\\\server\\freigabe", "", "D:", "/a/../b"}) {
    EXPECT_FALSE(restore.Start(bad)) << bad;
    EXPECT_EQ(restore.StatusText(), S("Kein gültiger Projektpfad.")) << bad;
  }
  EXPECT_TRUE(f.ui.AllExpectationsMet());

  // A target that does not exist yet is made; a folder browser's choice is remembered.
  restore.ChooseTarget(f.dir.Sub("neu/tief"));
  EXPECT_EQ(hv::RegistryStore::Get().GetString(hv::kKeyProduct, "RestoreDir").value_or(""), f.dir.Sub("neu/tief"));
  ASSERT_TRUE(restore.Start(restore.TargetFolder()));
  ASSERT_TRUE(RunToEnd(restore));
  EXPECT_TRUE(restore.Succeeded());
  EXPECT_TRUE(hv::IsFile(f.dir.Sub("neu/tief/P/PROJECT.SET")));
}

TEST(Restore, EntriesBesideTheProjectFolderAreSkippedAndReported) {
  Fixture f;
  WriteRawZip(f.dir.Sub("fremd.zip"), {Entry("P\\"), Entry("P\\project.set", "[Config]"), Entry("Q\\"),
                                       Entry("Q\\boese.txt", "x"), Entry("oben.txt", "x")});
  RestoreController restore(f.request);
  ASSERT_TRUE(restore.ChooseArchive(f.dir.Sub("fremd.zip")));
  f.ui.ExpectMessage(10801);
  ASSERT_TRUE(restore.Start(f.target));
  ASSERT_TRUE(RunToEnd(restore));
  EXPECT_TRUE(f.ui.AllExpectationsMet());
  EXPECT_TRUE(restore.Succeeded());
  EXPECT_TRUE(f.ui.MessageTexts().back().Contains("Q\\boese.txt"));
  EXPECT_EQ(ListAll(f.target), (std::vector<std::string>{"P", "P/project.set"}));
}

// Killed at each step that changes a file, an overwriting restore leaves the old or the
// new project in place, and the next start clears what the killed run left.
TEST(Restore, KilledOverwriteLeavesTheOldOrTheNewProject) {
  Fixture f;
  WriteOldProject(f.dir.Sub("ziel/P"));
  const Tree oldTree = Snapshot(f.dir.Sub("ziel/P"));
  const Tree newTree = Snapshot(f.dir.Sub("src/P"), false);
  const wxString archive = f.Archive();
  bool sawOld = false, sawNew = false;
  int step = 1;
  for (; step < 400; ++step) {
    const int status = hvtest::RunChild([&] {
      setenv("HALVORA_TEST_KILL_AT", std::to_string(step).c_str(), 1);
      f.ui.AllowAnyMessage(IDYES);
      RestoreController restore(f.request);
      if (!restore.ChooseArchive(archive)) return 2;
      f.AnswerPathExists(0);
      if (!restore.Start(f.target) || !RunToEnd(restore)) return 2;
      return restore.Succeeded() ? 0 : 3;
    });
    // What the next start does.
    RecoverRestoreLeftovers(f.target);
    const Tree now = Snapshot(f.dir.Sub("ziel/P"));
    ASSERT_TRUE(now == oldTree || now == newTree) << "killed at step " << step;
    (now == oldTree ? sawOld : sawNew) = true;
    for (const wxString& name : hv::ListFolder(f.target))
      EXPECT_TRUE(name == "P") << name << " left after step " << step;
    if (status == 0) break;
    ASSERT_EQ(status, 128 + SIGKILL) << "step " << step;
    if (now == newTree) {   // done with its part: put the old project back for the next step
      RemoveFolderTree(f.dir.Sub("ziel/P"));
      WriteOldProject(f.dir.Sub("ziel/P"));
    }
  }
  EXPECT_LT(step, 400);
  // Killed inside the extraction too: a step for each entry it unpacks.
  EXPECT_GT(step, static_cast<int>(ReadRawZip(archive).size()));
  EXPECT_TRUE(sawOld);
  EXPECT_TRUE(sawNew);
}

// A project that cannot be moved stays, and so does everything else.
TEST(Restore, OverwriteOfAProjectThatCannotMoveFailsAndKeepsIt) {
  Fixture f;
  WriteOldProject(f.dir.Sub("ziel/P"));
  const Tree before = Snapshot(f.target);
  // A read-only project folder cannot be moved into the restore's temporary folder.
  const std::string project = hv::ToFs(f.dir.Sub("ziel/P"));
  const int status = hvtest::RunChild([&] {
    hvtest::DropFileRights();
    chmod(project.c_str(), 0555);
    RestoreController restore(f.request);
    if (!restore.ChooseArchive(f.Archive())) return 2;
    f.AnswerPathExists(0);
    f.ui.ExpectMessage(10757, IDYES);
    f.ui.ExpectMessage(10163);   // why it failed
    if (!restore.Start(f.target) || !RunToEnd(restore)) return 2;
    return !restore.Succeeded() && f.ui.AllExpectationsMet() && f.steps.deleted.empty() ? 0 : 3;
  });
  chmod(project.c_str(), 0755);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(Snapshot(f.target) == before);
}

// Where the file system cannot swap, the journal lets the next start undo a swap that
// a kill cut between its two moves, or keep one that got through.
TEST(Restore, JournalledSwapIsUndoneOrKeptAtTheNextStart) {
  TempDir dir;
  const wxString target = dir.Sub("P");
  const wxString work = dir.Sub(".halvora-restore-j1");
  auto journal = [&](const wxString& workFolder) {
    WriteAll(hv::JoinPath(workFolder, ".owner"), "");
    WriteAll(hv::JoinPath(workFolder, "journal"), hv::ToUtf8(target) + "\n" + hv::ToUtf8(hv::JoinPath(workFolder, "P")) + "\n");
  };
  // Killed after the old project went aside, before the new one came in.
  WriteOldProject(hv::JoinPath(work, "swapped-out"));
  WriteAll(hv::JoinPath(work, "P/PROJECT.SET"), "[Config]\r\nName=neu\r\n");
  journal(work);
  RecoverRestoreLeftovers(dir.Path());
  EXPECT_EQ(ReadAll(hv::JoinPath(target, "nur-alt.txt")), "only in the old project");
  EXPECT_EQ(hv::ListFolder(dir.Path()), std::vector<wxString>{"P"});

  // Killed after the new one came in: it stays, the old one goes.
  const wxString work2 = dir.Sub(".halvora-restore-j2");
  hv::MakeFolders(work2);
  ASSERT_EQ(rename(hv::ToFs(target).c_str(), hv::ToFs(hv::JoinPath(work2, "swapped-out")).c_str()), 0);
  WriteAll(hv::JoinPath(target, "PROJECT.SET"), "[Config]\r\nName=neu\r\n");
  journal(work2);
  RecoverRestoreLeftovers(dir.Path());
  EXPECT_EQ(ReadAll(hv::JoinPath(target, "PROJECT.SET")), "[Config]\r\nName=neu\r\n");
  EXPECT_EQ(hv::ListFolder(dir.Path()), std::vector<wxString>{"P"});
}
