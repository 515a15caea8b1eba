#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>

#include "model/ClipboardBlock.h"
#include "framework/ClipboardFiles.h"
#include "framework/ClipboardStore.h"
#include "app/ClipboardTransfer.h"
#include "app/CommandRouting.h"
#include "app/TavProjectDoc.h"
#include "framework/UpdateHints.h"
#include "model/Doc.h"
#include "model/Documents.h"
#include "model/DeviceServices.h"
#include "framework/Services.h"
#include "platform/Codec.h"
#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/ShellOpen.h"
#include "tests/support/PrivateTrash.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hvtest::FakeObject;
using hvtest::ReadAll;
using hvtest::ChildNames;
using hvtest::S;
using hvtest::WriteAll;

namespace {

CPODoc* Child(CProjectObject& docs, const wxString& name) {
  for (CProjectObject* c : docs.GetChildren())
    if (c->GetName() == name) return dynamic_cast<CPODoc*>(c);
  return nullptr;
}

void SetTime(const wxString& path, std::time_t t) {
  const timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(0, utimensat(AT_FDCWD, hv::ToFs(path).c_str(), times, 0));
}

bool InTrash(const wxString& name) {
  const wxString trash = hv::JoinPath(hvtest::UsePrivateTrash(), "Trash/files");
  for (const wxString& entry : hv::ListFolder(trash))
    if (entry.StartsWith(hv::PathStem(name))) return true;
  return false;
}

class DocumentsTest : public testing::Test {
 protected:
  DocumentsTest() {
    hvtest::UsePrivateTrash();
    doc.AddView(&view);
    SetClipboardCopyFlag(TRUE);
    docs = AddProject(S("Anlage"));
    other = AddProject(S("Zweite Anlage"));
  }

  // The projects here are stand-ins: their folders come from the test.
  struct Folders : CProjectServices {
    explicit Folders(std::function<wxString(CProjectObject&)> f) : of(std::move(f)) {}
    wxString GetProjectFolder(CProjectObject& p) override { return of(p); }
    std::function<wxString(CProjectObject&)> of;
  };
  Folders projectFolders{[this](CProjectObject& p) {
    auto it = folders.find(p.GetName());
    return it == folders.end() ? wxString() : it->second;
  }};
  hv::ServiceOverride<CProjectServices> boundFolders{&projectFolders};

  CPODocuments* AddProject(const wxString& name) {
    FakeObject* project = root.Add(TypeCode::Project, name, "CPOProject");
    folders[name] = projects.Sub(name);
    return static_cast<CPODocuments*>(project->AddChild(std::make_unique<CPODocuments>()));
  }
  wxString DocPath(CPODocuments* node, const char* name) { return hv::JoinPath(node->GetFolder(), S(name)); }

  hvtest::TempHome home;
  hvtest::TempDir projects;
  hvtest::TempDir outside;
  hvtest::ScriptedUi ui;
  MemoryClipboardStore store;
  ScopedClipboardStore useStore{store};
  CTavProjectDoc doc;
  hvtest::RecordingView view;
  std::map<wxString, wxString> folders;
  FakeObject root{TypeCode::PrjFolder, "CPOPrjFolder", S("Projekte")};
  CPODocuments* docs = nullptr;
  CPODocuments* other = nullptr;
};

}  // namespace

TEST(DocumentColumns, SizesRoundUpToWholeKilobytes) {
  for (auto [bytes, text] : {std::pair{0ull, "0 KB"}, {1ull, "1 KB"}, {1024ull, "1 KB"}, {1025ull, "2 KB"},
                             {4294967296ull, "4194304 KB"}})   // the last past 4 GiB
    EXPECT_EQ(S(text), CPODoc::FormatSize(bytes)) << bytes;
  std::tm when{};
  when.tm_year = 2024 - 1900;
  when.tm_mon = 2;
  when.tm_mday = 5;
  when.tm_hour = 14;
  when.tm_min = 7;
  when.tm_sec = 59;
  when.tm_isdst = -1;
  const std::int64_t ns = static_cast<std::int64_t>(std::mktime(&when)) * 1000000000 + 999999999;
  EXPECT_EQ(S("05.03.2024 14:07"), CPODoc::FormatTime(ns));
}

// The record other copies of the program read: name, the size in 32 bits, the name
// again and the two image positions.
TEST(DocumentRecord, TheSizeIsWrittenIn32Bits) {
  for (std::uint64_t size : {std::uint64_t{5000}, std::uint64_t{6} << 30}) {
    CPODoc doc;
    CArchive in;
    in.WriteString(wxS("Plan.pdf"), false);
    in.WriteU32(static_cast<std::uint32_t>(size));
    in.WriteString(wxS("Plan.pdf"), false);
    in.WriteI32(1);
    in.WriteI32(2);
    CArchive load(in.Bytes());
    doc.Serialize(load);
    EXPECT_EQ(0u, load.Remaining());
    EXPECT_EQ(static_cast<std::uint32_t>(size), doc.GetSize());
    CArchive out;
    doc.Serialize(out);
    EXPECT_EQ(in.Bytes().size(), out.Bytes().size());
  }
}

TEST_F(DocumentsTest, ListsTheFilesOfTheDocumentationFolder) {
  EXPECT_EQ(S("Dokumentation"), docs->GetName());
  EXPECT_EQ(S("Dokumente des Projekts 'Anlage'"), docs->GetListCaption());
  // The folder is made on first load, in the spelling that exists.
  WriteAll(projects.Sub("Anlage/documentation/Leer.txt"), "");
  WriteAll(projects.Sub("Anlage/documentation/Plan.pdf"), std::string(1025, 'x'));
  WriteAll(projects.Sub("Anlage/documentation/Unterordner/versteckt.txt"), "x");
  EXPECT_TRUE(docs->IsStale());
  ASSERT_TRUE(docs->LoadChildren());
  EXPECT_EQ(projects.Sub("Anlage/documentation"), docs->GetFolder());
  EXPECT_EQ((std::vector<wxString>{S("Leer.txt"), S("Plan.pdf")}), ChildNames(*docs));
  CPODoc* plan = Child(*docs, S("Plan.pdf"));
  ASSERT_NE(nullptr, plan);
  EXPECT_EQ(S("2 KB"), plan->GetColumnText(3));
  EXPECT_EQ(S("0 KB"), Child(*docs, S("Leer.txt"))->GetColumnText(3));
  SetTime(DocPath(docs, "Plan.pdf"), 1700000000);
  SetTime(DocPath(docs, "Leer.txt"), 1600000000);
  EXPECT_TRUE(docs->IsStale());   // a changed date
  ASSERT_TRUE(docs->LoadChildren());
  EXPECT_EQ(plan, Child(*docs, S("Plan.pdf")));   // kept, not made anew
  EXPECT_EQ(CPODoc::FormatTime(1700000000ll * 1000000000), plan->GetColumnText(4));
  EXPECT_FALSE(docs->IsStale());

  CPODoc* empty = Child(*docs, S("Leer.txt"));
  EXPECT_LT(empty->Compare(plan, 0), 0);
  EXPECT_EQ(-1, empty->Compare(plan, 3));
  EXPECT_EQ(1, plan->Compare(empty, 3));
  EXPECT_EQ(-1, empty->Compare(plan, 4));
  EXPECT_EQ(0, plan->Compare(plan, 4));

  // A new file and a vanished one; a new sub-folder changes nothing.
  WriteAll(projects.Sub("Anlage/documentation/Neu.txt"), "n");
  EXPECT_TRUE(docs->IsStale());
  docs->LoadChildren();
  ASSERT_EQ(0, unlink(hv::ToFs(DocPath(docs, "Leer.txt")).c_str()));
  EXPECT_TRUE(docs->IsStale());
  view.entries.clear();
  docs->LoadChildren();
  EXPECT_EQ((std::vector<wxString>{S("Neu.txt"), S("Plan.pdf")}), ChildNames(*docs));
  EXPECT_EQ((std::vector<int>{HINT_OBJECT_REMOVED}), view.Hints());
  ASSERT_TRUE(hv::MakeFolders(projects.Sub("Anlage/documentation/Weiterer")));
  EXPECT_FALSE(docs->IsStale());
}

TEST_F(DocumentsTest, WithoutItsProjectFolderTheNodeRefusesWork) {
  projectFolders.of = [](CProjectObject&) { return wxString(); };
  ui.ExpectMessage(10125);
  EXPECT_FALSE(docs->LoadChildren());
  projectFolders.of = [](CProjectObject&) { return S("relativ/Anlage"); };
  ui.ExpectMessage(10125);
  EXPECT_FALSE(docs->LoadChildren());
  EXPECT_FALSE(hv::PathExists(S("relativ")));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(DocumentsTest, OpenAndDeleteToTheRecycleBin) {
  WriteAll(projects.Sub("Anlage/Documentation/Plan.pdf"), "p");
  docs->LoadChildren();
  CPODoc* plan = Child(*docs, S("Plan.pdf"));
  wxString opened;
  ui.Answer<hv::ShellOpenRequest>([&opened](hv::ShellOpenRequest& r) {
    opened = r.target;
    return static_cast<int>(IDOK);
  });
  RouteToObject(ObjectRef(plan), ID_OBJECT_EDIT, CN_COMMAND, nullptr, nullptr);
  EXPECT_EQ(DocPath(docs, "Plan.pdf"), opened);
  opened.clear();
  plan->OnColumnDblClick(4);
  EXPECT_FALSE(opened.empty());

  // "Kopieren" stays enabled for a document; "Ausschneiden" is off on the node.
  CRecordingCmdUI copy(ID_EDIT_COPY);
  EXPECT_TRUE(RouteToObject(ObjectRef(plan), ID_EDIT_COPY, CN_UPDATE_COMMAND_UI, &copy, nullptr));
  EXPECT_TRUE(copy.enabled);
  CRecordingCmdUI cut(ID_EDIT_CUT);
  EXPECT_TRUE(RouteToObject(ObjectRef(docs), ID_EDIT_CUT, CN_UPDATE_COMMAND_UI, &cut, nullptr));
  EXPECT_FALSE(cut.enabled);

  view.onUpdate = [this](int hint, CProjectObject* object) {
    // The list reads its folder again when told to.
    if (hint == HINT_REFRESH_CHILDREN && object == docs && docs->IsStale()) docs->LoadChildren();
  };
  RouteToObject(ObjectRef(plan), ID_DOCUMENT_DELETE, CN_COMMAND, nullptr, nullptr);
  EXPECT_FALSE(hv::PathExists(DocPath(docs, "Plan.pdf")));
  EXPECT_TRUE(InTrash(S("Plan.pdf")));
  EXPECT_TRUE(docs->HasNoChildren());
  EXPECT_EQ((std::vector<int>{HINT_REFRESH_CHILDREN, HINT_OBJECT_REMOVED}), view.Hints());
}

TEST_F(DocumentsTest, CopyAndPasteThroughAStagedCopy) {
  WriteAll(projects.Sub("Anlage/Documentation/Plan.pdf"), "Plan v1");
  docs->LoadChildren();
  other->LoadChildren();
  CPODoc* plan = Child(*docs, S("Plan.pdf"));

  ListCopy(std::vector<ObjectRef>{ObjectRef(plan)});
  std::vector<wxString> staged;
  for (const wxString& name : hv::ListFolder(hv::TempFolder())) staged.push_back(name);
  ASSERT_EQ(1u, staged.size());
  EXPECT_TRUE(hv::MatchWildcard("TAV*.TMP", staged[0]));
  EXPECT_TRUE(TreeCanPaste(ObjectRef(other->GetParent()), false));   // through the documentation node

  // The source changes after the copy: the clipboard keeps what was copied.
  WriteAll(DocPath(docs, "Plan.pdf"), "Plan v2");
  TreePaste(ObjectRef(other), false);
  EXPECT_EQ("Plan v1", ReadAll(DocPath(other, "Plan.pdf")));
  CPODoc* pasted = Child(*other, S("Plan.pdf"));
  ASSERT_NE(nullptr, pasted);
  EXPECT_EQ(DocPath(other, "Plan.pdf"), pasted->GetPath());
  EXPECT_EQ(S("1 KB"), pasted->GetColumnText(3));

  // Pasting again over the file asks; No leaves everything as it was.
  WriteAll(DocPath(other, "Plan.pdf"), "eigene Fassung");
  ui.ExpectMessage(10099, IDNO);
  TreePaste(ObjectRef(other), false);
  EXPECT_EQ("eigene Fassung", ReadAll(DocPath(other, "Plan.pdf")));
  EXPECT_EQ(1u, other->GetChildCount());
  // Yes replaces it; the old one goes to the recycle bin and its row with it.
  ui.ExpectMessage(10099, IDYES);
  ListPaste(ObjectRef(other), ObjectRef());
  EXPECT_EQ("Plan v1", ReadAll(DocPath(other, "Plan.pdf")));
  EXPECT_EQ(1u, other->GetChildCount());
  EXPECT_FALSE(CProjectObject::IsValidObject(pasted));
  EXPECT_TRUE(InTrash(S("Plan.pdf")));
  EXPECT_EQ((std::vector<wxString>{S("Plan.pdf")}), hv::ListFolder(other->GetFolder()));
  // The list's paste emptied the clipboard, and the staged copy went with it.
  EXPECT_TRUE(store.Entries().empty());
  EXPECT_TRUE(hv::ListFolder(hv::TempFolder()).empty());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(DocumentsTest, CutMovesADocument) {
  WriteAll(projects.Sub("Anlage/Documentation/Plan.pdf"), "Plan");
  docs->LoadChildren();
  other->LoadChildren();
  ListCut(std::vector<ObjectRef>{ObjectRef(Child(*docs, S("Plan.pdf")))});
  EXPECT_TRUE(docs->HasNoChildren());
  EXPECT_FALSE(hv::PathExists(DocPath(docs, "Plan.pdf")));
  ListPaste(ObjectRef(other), ObjectRef());
  EXPECT_EQ("Plan", ReadAll(DocPath(other, "Plan.pdf")));
  EXPECT_EQ((std::vector<wxString>{S("Plan.pdf")}), ChildNames(*other));
}

TEST_F(DocumentsTest, ClipboardDataThatPointElsewhereAreRefused) {
  WriteAll(projects.Sub("Anlage/Documentation/Plan.pdf"), "Plan");
  docs->LoadChildren();
  other->LoadChildren();
  CPODoc* plan = Child(*docs, S("Plan.pdf"));

  // A block as a foreign program could write it: any path, any name.
  auto block = [plan](const wxString& path, const wxString& name) {
    const wxString keep = plan->GetName();
    plan->SetName(name);
    ClipboardBlockWriter writer(false);
    hv::Archive& ar = writer.BeginObject(*plan);
    ar.WriteString(path + "\n", true);
    writer.EndObject();
    plan->SetName(keep);
    return writer.Finish();
  };
  WriteAll(outside.Sub("geheim.txt"), "geheim");
  WriteAll(outside.Sub("TAVECHT.TMP"), "fremd");
  hvtest::WriteAll(home.Sub("tmp/TAVECHT.TMP"), "echt");
  const std::string cases[] = {
      block(outside.Sub("geheim.txt"), S("Plan.pdf")),
      block(home.Sub("tmp/TAVFEHLT.TMP"), S("Plan.pdf")),
      block(outside.Sub("TAVECHT.TMP"), S("Plan.pdf")),   // a staged name, not in our folder
  };
  ui.AllowAnyMessage();
  for (const std::string& bytes : cases) {
    store.Put(S("POCT21410000"), bytes);
    SetClipboardCopyFlag(TRUE);
    TreePaste(ObjectRef(other), false);
    EXPECT_EQ(10113u, ui.MessageIds().back());
    EXPECT_TRUE(other->HasNoChildren());
    EXPECT_TRUE(hv::ListFolder(other->GetFolder()).empty());
  }
  // A real staged copy under a name that would leave the folder.
  for (const char* name : {"../Ausbruch.txt", "..", "a/b.txt", "a\\b.txt", ""}) {
    store.Put(S("POCT21410000"), block(home.Sub("tmp/TAVECHT.TMP"), S(name)));
    TreePaste(ObjectRef(other), false);
    EXPECT_TRUE(other->HasNoChildren()) << name;
    EXPECT_TRUE(hv::ListFolder(other->GetFolder()).empty()) << name;
    EXPECT_FALSE(hv::PathExists(projects.Sub("Zweite Anlage/Ausbruch.txt")));
  }
  // The staged copy of a document pasted in the same folder again is asked about.
  ListCopy(std::vector<ObjectRef>{ObjectRef(plan)});
  ui.ExpectMessage(10099, IDNO);
  TreePaste(ObjectRef(docs), false);
  EXPECT_EQ("Plan", ReadAll(DocPath(docs, "Plan.pdf")));
}

TEST_F(DocumentsTest, FilesFromTheFileManager) {
  WriteAll(outside.Sub("Handbuch.pdf"), "Handbuch");
  WriteAll(outside.Sub("Schaltplan.dxf"), "Plan");
  ASSERT_TRUE(hv::MakeFolders(outside.Sub("Ordner")));
  docs->LoadChildren();

  // Copied: the sources stay; folders are no documents.
  PutClipboardFiles(store, {outside.Sub("Handbuch.pdf"), outside.Sub("Ordner"), outside.Sub("Schaltplan.dxf")}, false);
  wxString format = S("nicht leer");
  EXPECT_TRUE(TreeCanPaste(ObjectRef(docs), false, &format));
  EXPECT_TRUE(format.empty());
  EXPECT_FALSE(docs->IsClipboardMove());
  ui.ExpectMessage(13965);
  view.onUpdate = [this](int hint, CProjectObject* object) {
    if (hint == HINT_REFRESH_CHILDREN && object == docs && docs->IsStale()) docs->LoadChildren();
  };
  TreePaste(ObjectRef(docs), false);
  EXPECT_EQ("Handbuch", ReadAll(DocPath(docs, "Handbuch.pdf")));
  EXPECT_EQ("Plan", ReadAll(DocPath(docs, "Schaltplan.dxf")));
  EXPECT_TRUE(hv::PathExists(outside.Sub("Handbuch.pdf")));
  EXPECT_EQ((std::vector<wxString>{S("Handbuch.pdf"), S("Schaltplan.dxf")}), ChildNames(*docs));
  EXPECT_FALSE(store.Entries().empty());   // the file manager's list stays

  // Cut: moved, but only what was copied. An existing file is asked about; a
  // refused overwrite and a failed copy keep the source; a file no longer there is
  // reported as gone.
  WriteAll(outside.Sub("Handbuch.pdf"), "Handbuch 2");
  PutClipboardFiles(store, {outside.Sub("Handbuch.pdf"), outside.Sub("fehlt.txt"), outside.Sub("Schaltplan.dxf")},
                    true);
  ui.ExpectMessage(10099, IDNO);
  ui.ExpectMessage(13966);
  ui.ExpectMessage(10099, IDYES);
  ListPaste(ObjectRef(docs), ObjectRef());
  EXPECT_EQ("Handbuch", ReadAll(DocPath(docs, "Handbuch.pdf")));
  EXPECT_TRUE(hv::PathExists(outside.Sub("Handbuch.pdf")));
  EXPECT_EQ("Plan", ReadAll(DocPath(docs, "Schaltplan.dxf")));
  EXPECT_FALSE(hv::PathExists(outside.Sub("Schaltplan.dxf")));
  EXPECT_TRUE(InTrash(S("Schaltplan.dxf")));
  EXPECT_TRUE(ui.AllExpectationsMet());

  // A file cut from the documentation folder itself and pasted there stays.
  PutClipboardFiles(store, {DocPath(docs, "Handbuch.pdf")}, true);
  TreePaste(ObjectRef(docs), false);
  EXPECT_EQ("Handbuch", ReadAll(DocPath(docs, "Handbuch.pdf")));
}

// What the file manager offers and the documentation does not take is reported with the
// reason, and a cut source stays where it was; a link stands for the file it names.
TEST_F(DocumentsTest, FilesNotTakenFromTheFileManagerSayWhy) {
  WriteAll(outside.Sub("Plan.pdf"), "Plan");
  // A name with a backslash, which a path would take for a separator.
  const wxString backslashed = outside.Path() + S("/a\\b.txt");
  const int fd = open(hv::ToFs(backslashed).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  close(fd);
  WriteAll(outside.Sub("Belegt.txt"), "b");
  ASSERT_TRUE(hv::MakeFolders(outside.Sub("Ordner")));
  ASSERT_EQ(0, symlink(hv::ToFs(outside.Sub("Plan.pdf")).c_str(), hv::ToFs(outside.Sub("Verweis.pdf")).c_str()));
  ASSERT_EQ(0, symlink("/nirgends/Plan.pdf", hv::ToFs(outside.Sub("Kaputt.pdf")).c_str()));
  ASSERT_EQ(0, mkfifo(hv::ToFs(outside.Sub("Rohr")).c_str(), 0600));
  docs->LoadChildren();
  // Where the file would go, a folder is in the way.
  ASSERT_TRUE(hv::MakeFolders(DocPath(docs, "Belegt.txt")));

  const struct {
    const char* source;
    UINT message;
    const char* named;
  } cases[] = {
      {"Ordner", 13965, "Ordner"},       {"Ordner/", 13965, "Ordner"},       {"fehlt.txt", 13966, "fehlt.txt"},
      {"Kaputt.pdf", 13966, "Kaputt.pdf"}, {"Rohr", 13967, "Rohr"},         {"", 13968, "a\\b.txt"},
      {"Belegt.txt", 10982, "Belegt.txt"},
  };
  for (const auto& c : cases) {
    const wxString source = c.message == 13968 ? backslashed : outside.Sub(c.source);
    PutClipboardFiles(store, {source}, true);
    ui.ExpectMessage(c.message);
    TreePaste(ObjectRef(docs), false);
    EXPECT_TRUE(ui.AllExpectationsMet()) << c.source;
    ASSERT_FALSE(ui.MessageTexts().empty());
    EXPECT_TRUE(ui.MessageTexts().back().Contains(S(c.named))) << ui.MessageTexts().back();
  }
  EXPECT_TRUE(ui.MessageTexts().back().Contains(hv::FromUtf8(std::strerror(EISDIR)))) << ui.MessageTexts().back();
  for (const wxString& kept : {outside.Sub("Ordner"), outside.Sub("Rohr"), backslashed, outside.Sub("Belegt.txt")}) {
    struct stat st;
    EXPECT_EQ(0, lstat(hv::ToFs(kept).c_str(), &st)) << kept;
  }
  EXPECT_TRUE(docs->HasNoChildren());

  // The link cut: its file's contents arrive under the link's name, the link goes to
  // the recycle bin and the file it named stays.
  PutClipboardFiles(store, {outside.Sub("Verweis.pdf")}, true);
  TreePaste(ObjectRef(docs), false);
  EXPECT_EQ("Plan", ReadAll(DocPath(docs, "Verweis.pdf")));
  docs->LoadChildren();
  struct stat st;
  EXPECT_NE(0, lstat(hv::ToFs(outside.Sub("Verweis.pdf")).c_str(), &st));
  EXPECT_EQ("Plan", ReadAll(outside.Sub("Plan.pdf")));
  EXPECT_EQ((std::vector<wxString>{S("Verweis.pdf")}), ChildNames(*docs));
}
