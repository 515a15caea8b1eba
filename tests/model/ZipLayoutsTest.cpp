// Archives of other writers in the layouts the format allows: Zip64 values in the local
// header, the directory or both, bytes before the first entry with Zip64 end records,
// comments up to the longest, and the end record's count of 65,535 taken as stated.
#include <gtest/gtest.h>
#include <zlib.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "archive/ZipReader.h"
#include "model/RestoreController.h"
#include "platform/Paths.h"
#include "tests/model/BackupTestSupport.h"
#include "tests/support/TestEnv.h"
#include "tests/support/ZipTestSupport.h"

using namespace ziptest;
using hvtest::ReadAll;
using hvtest::TempDir;
using hvtest::TempHome;
using hvtest::WriteAll;
using Tree = std::map<std::string, std::string>;

namespace {

std::string Le(std::initializer_list<std::pair<std::uint64_t, int>> fields) {
  std::string out;
  for (const auto& [value, bytes] : fields)
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// root/P: a settings file, a larger binary file, an empty one and a short last one.
void WriteProject(const wxString& root) {
  WriteAll(root + "/P/PROJECT.SET", "[Config]\r\nName=P\r\n");
  std::string data;
  for (int i = 0; i < 150000; ++i) data += static_cast<char>((i * 2654435761u) >> 24 ^ (i % 7 == 0 ? i : 0));
  WriteAll(root + "/P/Geraet1/daten.bin", data);
  WriteAll(root + "/P/Geraet1/leer.txt", "");
  WriteAll(root + "/P/Geraet1/zuletzt.txt", "das letzte Stueck, nahe am Ende des Archivs");
}

// python3's zipfile archives root/P into `archive`: "forced" puts Zip64 sizes into every
// local header only; "both" puts every size and offset into Zip64 fields of both headers
// and adds Zip64 end records. `prefix` bytes go before the archive (as a self-extractor's
// stub, offsets unchanged), `comment` bytes after it; `fifo` adds a FIFO entry P/fifo.
int PythonZip(const wxString& root, const wxString& archive, const char* mode, int prefix, int comment,
              bool fifo = false) {
  const wxString script = root + "/mkzip.py";
  WriteAll(script,
           "import io, os, sys, zipfile\n"
           "out, mode, prefix, comment, fifo = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5] == '1'\n"
           "if mode == 'both':\n"
           "    zipfile.ZIP64_LIMIT = 0\n"
           "buf = io.BytesIO()\n"
           "with zipfile.ZipFile(buf, 'w', zipfile.ZIP_DEFLATED) as z:\n"
           "    for d, dirs, files in os.walk('P'):\n"
           "        dirs.sort()\n"
           "        z.write(d)\n"
           "        for f in sorted(files):\n"
           "            with open(os.path.join(d, f), 'rb') as src, z.open(os.path.join(d, f), 'w', force_zip64=True) as dst:\n"
           "                dst.write(src.read())\n"
           "    if fifo:\n"
           "        i = zipfile.ZipInfo('P/fifo')\n"
           "        i.external_attr = 0o010644 << 16\n"
           "        z.writestr(i, b'')\n"
           "    z.comment = bytes((i * 7) % 251 for i in range(comment))\n"
           "stub = (b'#!/bin/sh\\nexit 0\\n' + bytes(range(256)) * 300)[:prefix]\n"
           "open(out, 'wb').write(stub + buf.getvalue())\n");
  return RunCommand("cd " + Quote(root) + " && /usr/bin/python3 mkzip.py " + Quote(archive) + " " + mode + " " +
                    std::to_string(prefix) + " " + std::to_string(comment) + (fifo ? " 1" : " 0"));
}

// Every entry of an archive, extracted one by one without the project rules.
Tree ExtractAll(const wxString& archive, const wxString& into, std::vector<wxString>& errors) {
  CZipReader reader;
  if (reader.OpenZip(archive) && reader.SetOutputFolder(into))
    for (BOOL more = reader.GotoFirstFile(); more; more = reader.GotoNextFile()) reader.UnzipFile();
  errors = reader.GetErrors();
  return Snapshot(into);
}

// Entries of a stored (method 0) archive as Go's archive/zip lays out small Zip64
// entries: real sizes in the local header, without extra field; all ones in the directory
// with the sizes in its Zip64 field. `skew` is added to the Zip64 compressed size.
std::string CentralOnlyZip64(const std::vector<std::pair<std::string, std::string>>& files, std::uint64_t skew = 0) {
  std::string local, central;
  for (const auto& [name, data] : files) {
    const bool folder = name.back() == '\\';
    const auto crc =
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    const std::uint64_t at = local.size();
    local += Le({{0x04034b50, 4}, {45, 2}, {0, 2}, {0, 2}, {0x51210000, 4}, {crc, 4}, {data.size(), 4},
                 {data.size(), 4}, {name.size(), 2}, {0, 2}}) +
             name + data;
    const std::string extra = folder ? std::string() : Le({{1, 2}, {16, 2}, {data.size(), 8}, {data.size() + skew, 8}});
    const std::uint64_t size = folder ? 0 : 0xFFFFFFFFu;
    central += Le({{0x02014b50, 4}, {45, 2}, {45, 2}, {0, 2}, {0, 2}, {0x51210000, 4}, {crc, 4}, {size, 4},
                   {size, 4}, {name.size(), 2}, {extra.size(), 2}, {0, 6}, {folder ? 0x10u : 0x20u, 4}, {at, 4}}) +
               name + extra;
  }
  return local + central +
         Le({{0x06054b50, 4}, {0, 4}, {files.size(), 2}, {files.size(), 2}, {central.size(), 4}, {local.size(), 4},
             {0, 2}});
}

bool HavePython() { return HaveProgram("/usr/bin/python3"); }

}  // namespace

TEST(ZipLayouts, PythonZip64LayoutsWithPrefixesAndCommentsRestoreByteIdentical) {
  if (!HavePython()) GTEST_SKIP() << "python3 missing";
  TempDir dir;
  WriteProject(dir.Path());
  const Tree original = Snapshot(dir.Sub("P"));
  struct Case {
    const char* mode;
    int prefix;
    int comment;
  } cases[] = {
      {"both", 0, 0},            // the last entries lie within the last 16 KiB
      {"both", 0, 20},
      {"both", 1000, 0},         // Zip64 end records behind a prefix
      {"both", 4096, 65535},
      {"forced", 0, 65535},      // the longest comment hides the end record from minizip
      {"forced", 17, 100},
      {"both", 33, 30000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mode) + " prefix " + std::to_string(c.prefix) + " comment " + std::to_string(c.comment));
    const wxString archive = dir.Sub("py.zip");
    ASSERT_EQ(PythonZip(dir.Path(), archive, c.mode, c.prefix, c.comment), 0);
    TempHome home;
    const wxString restored = backuptest::RestoreThrough(archive);
    ASSERT_FALSE(restored.empty());
    EXPECT_TRUE(Snapshot(restored) == original);
    // Entry by entry as well (the restore reads small entries in one piece).
    TempDir out;
    std::vector<wxString> errors;
    const Tree all = ExtractAll(archive, out.Path(), errors);
    EXPECT_TRUE(errors.empty()) << hv::ToUtf8(errors.front());
    EXPECT_EQ(all.at("P/Geraet1/zuletzt.txt"), original.at("Geraet1/zuletzt.txt"));
    EXPECT_EQ(all.at("P/Geraet1/daten.bin"), original.at("Geraet1/daten.bin"));
  }
}

TEST(ZipLayouts, SizesOnlyInTheDirectorysZip64FieldAgreeWithTheLocalHeader) {
  TempDir dir;
  std::string data;
  for (int i = 0; i < 70000; ++i) data += static_cast<char>(i * 31 + (i >> 9));
  const std::vector<std::pair<std::string, std::string>> files = {
      {"P\\", ""}, {"P\\project.set", "[Config]\r\nName=P\r\n"}, {"P\\daten.bin", data}, {"P\\leer.txt", ""}};
  const wxString archive = dir.Sub("go.zip");
  WriteAll(archive, CentralOnlyZip64(files));
  if (HavePython()) {   // the layout is one other readers take
    std::string out;
    EXPECT_EQ(RunCommand("/usr/bin/python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                         "print(z.testzip(), len(z.read(\"P\\\\daten.bin\")))' " + Quote(archive), &out),
              0);
    EXPECT_EQ(out, "None 70000\n");
  }
  {
    TempHome home;
    const wxString restored = backuptest::RestoreThrough(archive);
    ASSERT_FALSE(restored.empty());
    EXPECT_EQ(ReadAll(hv::JoinPath(restored, "daten.bin")), data);
    EXPECT_EQ(ReadAll(hv::JoinPath(restored, "project.set")), "[Config]\r\nName=P\r\n");
    EXPECT_TRUE(hv::PathExists(hv::JoinPath(restored, "leer.txt")));
  }
  TempDir out;
  std::vector<wxString> errors;
  EXPECT_EQ(ExtractAll(archive, out.Path(), errors).at("P/daten.bin"), data);
  EXPECT_TRUE(errors.empty()) << hv::ToUtf8(errors.front());

  // A Zip64 size the local header contradicts is damage, whichever of them is right.
  WriteAll(archive, CentralOnlyZip64(files, 1));
  TempDir bad;
  const Tree written = ExtractAll(archive, bad.Path(), errors);
  EXPECT_EQ(errors.size(), 3u);
  for (const wxString& e : errors) EXPECT_TRUE(e.Contains("lokaler Kopf")) << hv::ToUtf8(e);
  EXPECT_TRUE(written == (Tree{{"P", "<dir>"}}));
}

TEST(ZipLayouts, AStatedCountOf65535IsTakenAsStated) {
  TempDir dir;
  auto list = [&](const std::string& bytes, std::vector<wxString>& errors) {
    WriteAll(dir.Sub("n.zip"), bytes);
    CZipReader reader;
    std::size_t n = 0;
    if (reader.OpenZip(dir.Sub("n.zip")))
      for (BOOL more = reader.GotoFirstFile(); more; more = reader.GotoNextFile()) ++n;
    errors = reader.GetErrors();
    return n;
  };
  std::vector<wxString> errors;
  // Exactly 65,535 entries.
  std::vector<std::pair<std::string, std::string>> many;
  for (int i = 0; i < 65535; ++i) many.emplace_back("P\\" + std::to_string(i), "");
  EXPECT_EQ(list(CentralOnlyZip64(many), errors), 65535u);
  EXPECT_TRUE(errors.empty());
  // Three entries stated as 65,535 (no Zip64 record): damaged, whatever minizip reads on.
  std::string three = CentralOnlyZip64({{"P\\", ""}, {"P\\project.set", "x"}, {"P\\a.txt", "a"}});
  three.replace(three.size() - 22 + 8, 4, "\xFF\xFF\xFF\xFF");
  list(three, errors);
  ASSERT_FALSE(errors.empty());
  EXPECT_EQ(errors[0], wxS("Archiv beschädigt"));
}

TEST(ZipLayouts, AFalseCountIsRefusedAndTheOldProjectStays) {
  TempHome home;
  TempDir dir;
  WriteProject(dir.Sub("src"));
  ASSERT_TRUE(ZipProject(dir.Sub("src"), dir.Sub("P.zip")));
  std::string bytes = ReadAll(dir.Sub("P.zip"));
  const std::size_t end = bytes.rfind("PK\x05\x06");
  bytes.replace(end + 8, 4, "\xFF\xFF\xFF\xFF");
  const wxString archive = dir.Sub("falsch.zip");
  WriteAll(archive, bytes);

  const wxString target = dir.Sub("ziel");
  WriteAll(target + "/P/PROJECT.SET", "[Config]\r\nName=alt\r\n");
  WriteAll(target + "/P/nur-alt.txt", "only in the old project");
  const Tree before = Snapshot(dir.Path());
  hvtest::ScriptedUi ui;
  RestoreRequest request;
  bool deleted = false;
  request.target.deleteProject = [&deleted](const wxString&) { return deleted = true; };
  RestoreController restore(request);
  ASSERT_TRUE(restore.ChooseArchive(archive));
  ui.Answer<RestorePathExistsRequest>([](RestorePathExistsRequest& r) {
    r.choice = 0;   // overwrite
    return static_cast<int>(IDOK);
  });
  ui.ExpectMessage(10757, IDYES);   // sure to overwrite?
  ui.ExpectMessage(10765);          // extraction failed
  ASSERT_TRUE(restore.Start(target));
  ASSERT_TRUE(backuptest::RunToEnd(restore));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_FALSE(restore.Succeeded());
  EXPECT_TRUE(ui.MessageTexts().back().Contains(wxS("Archiv beschädigt"))) << hv::ToUtf8(ui.MessageTexts().back());
  EXPECT_FALSE(deleted);
  EXPECT_TRUE(Snapshot(dir.Path()) == before);
}

TEST(ZipLayouts, AFifoBehindAPrefixIsReportedAndRefused) {
  if (!HavePython()) GTEST_SKIP() << "python3 missing";
  TempDir dir;
  WriteProject(dir.Path());
  const wxString archive = dir.Sub("fifo.zip");
  ASSERT_EQ(PythonZip(dir.Path(), archive, "both", 2000, 10, true), 0);
  {
    CZipReader reader;
    ASSERT_TRUE(reader.OpenZip(archive));
    EXPECT_FALSE(reader.ValidateEntries());
    ASSERT_EQ(reader.GetErrors().size(), 1u);
    EXPECT_EQ(reader.GetErrors()[0], wxS("P\\fifo: symbolische Verknüpfung oder Spezialdatei"));
  }
  TempHome home;
  std::vector<wxString> messages;
  EXPECT_TRUE(backuptest::RestoreThrough(archive, &messages).empty());
  ASSERT_FALSE(messages.empty());
  EXPECT_TRUE(messages.back().Contains("P\\fifo")) << hv::ToUtf8(messages.back());
  for (const auto& [path, content] : Snapshot(home.Path()))   // no project folder made
    EXPECT_TRUE(("/" + path + "/").find("/P/") == std::string::npos) << path;
}
