// Table reader under arbitrary file contents: the bytes become a table file, which is
// opened as every known table; an open table is walked through every tag and the
// records' own order, searched, and changed once.
#include <stdlib.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"

using namespace hv::db;

namespace {

wxString g_file;

// Reads the current record as the schema's row type.
void ReadCurrent(Table& t) {
  switch (t.schema()->rowKind) {
    case RowKind::Projekt: { ProjektRow r; t.current(r); break; }
    case RowKind::Geraet: { GeraetRow r; t.current(r); break; }
    case RowKind::Netzwerk: { NetzwerkRow r; t.current(r); break; }
    case RowKind::Datpkt: { DatpktRow r; t.current(r); break; }
    case RowKind::Einheit: { EinheitRow r; t.current(r); break; }
    case RowKind::Eeprom: { EepromRow r; t.current(r); break; }
    case RowKind::MaskField: { MaskField r; t.current(r); break; }
    case RowKind::Textw: { TextwRow r; t.current(r); break; }
    case RowKind::Bitmap: { BitmapRow r; t.current(r); break; }
  }
}

void Walk(Table& t, std::string_view tag) {
  // More steps than records would mean the walk never ends.
  std::uint32_t steps = 0;
  for (bool ok = t.select(tag, kFirst); ok; ok = t.select(tag, kNext)) {
    ReadCurrent(t);
    if (++steps > t.size()) abort();
  }
}

template <class Row>
void ChangeOnce(Table& t) {
  Row row;
  if (t.select("", kFirst) && t.current(row)) {
    t.update(row);
    t.eraseCurrent();
  }
  Row fresh;
  t.insert(fresh);
  t.pack();
}

void Exercise(const Schema& schema) {
  Table t;
  if (!t.openFile(g_file, schema)) return;
  Walk(t, "");
  for (const TagDef& tag : schema.tags) {
    Walk(t, tag.name);
    for (const Key& key : {Key{}, Key{0}, Key{1}, Key{"A"}, Key{wxS("Ä"), 2}}) {
      if (t.select(tag.name, kSeek, key)) ReadCurrent(t);
      if (t.select(tag.name, kSoftSeek, key)) ReadCurrent(t);
    }
  }
  if (&schema == &GeraetSchema()) ChangeOnce<GeraetRow>(t);
  if (&schema == &MskfldSchema()) ChangeOnce<MaskField>(t);
  if (&schema == &TextwSchema()) ChangeOnce<TextwRow>(t);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  std::string tmpl = (std::filesystem::temp_directory_path() / "hvfuzz-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) abort();
  g_file = hv::JoinPath(hv::FromFs(tmpl), "TABLE.DBF");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<const Schema*>& device = DeviceSchemas();
  std::vector<const Schema*> all(device.begin(), device.end());
  all.push_back(&ProjektSchema());
  for (const Schema* schema : all) {
    if (FILE* f = std::fopen(hv::ToFs(g_file).c_str(), "wb")) {
      std::fwrite(data, 1, size, f);
      std::fclose(f);
    }
    DropCachedTables();
    Exercise(*schema);
  }
  return 0;
}
