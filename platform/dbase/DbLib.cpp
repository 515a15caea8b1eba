#include "platform/dbase/DbLib.h"

#include <unistd.h>

#include <vector>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace hv::db {
namespace {

// Windows-1252 upper case of a name; false when the name has no Windows-1252 form.
bool UpperName(const wxString& name, wxString& upper) {
  std::string bytes;
  if (!ToCp1252(name, bytes)) return false;
  UpperCp1252(bytes);
  upper = FromCp1252(bytes);
  return true;
}

std::uint32_t AddByName(const wxString& folder, const Schema& schema, const wxString& fileName) {
  wxString upper;
  // A longer name would be cut when stored and then never be found again.
  if (fileName.empty() || !UpperName(fileName, upper) ||
      upper.length() > schema.fields[bitmap::NAME].width)
    return 0;
  Table t;
  if (!t.open(folder, schema)) return 0;
  BitmapRow row;
  if (bitmap_select(t, row, kSeek, "NAME", {upper})) return row.id;
  row = BitmapRow();
  row.name = upper;
  return t.insert(row) ? row.id : 0;
}

bool CreateKnownTable(const wxString& file, const Schema& schema) {
  if (&schema != &EinheitSchema()) return CreateTable(file, schema);
  const std::vector<wxString>& units = DefaultUnits();
  return CreateTable(file, schema, units.size(), [&units](std::size_t i, Record& r) {
    r.setText(einheit::EINHEIT, units[i]);
  });
}

}  // namespace

int rodozir_init(int requiredVersion, const wxString& languageCode) {
  sprache = languageCode.CmpNoCase("ENG") == 0 ? 1033 : 1031;
  return kLibraryVersion;
}

BOOL dbank_open() { return TRUE; }

void dbank_close() { DropCachedTables(); }

BOOL db_open(const wxString& basePath, Table& table) {
  const Schema* schema = FindSchema(ToUtf8(PathName(basePath)));
  if (!schema) return FALSE;
  return table.openFile(basePath + ".DBF", *schema);
}

void db_close(Table& table) { table.close(); }

BOOL datpkt_open(const wxString& folder, Table& table) { return table.open(folder, DatpktSchema()); }

BOOL db_create_dbf(const wxString& file) {
  const Schema* schema = FindSchema(ToUtf8(PathStem(file)));
  if (!schema) return FALSE;
  if (IsFile(file)) return TRUE;
  return CreateKnownTable(file, *schema);
}

BOOL dbank_create(const wxString& folder) {
  if (!IsFolder(folder)) return FALSE;
  std::vector<wxString> made;
  for (const Schema* schema : DeviceSchemas()) {
    const wxString file = JoinPath(folder, wxString::FromUTF8(schema->FileName().c_str()));
    // A table an older folder already has stays as it is.
    if (IsFile(file)) continue;
    if (!CreateKnownTable(file, *schema)) {
      for (const wxString& m : made) unlink(ToFs(m).c_str());
      return FALSE;
    }
    made.push_back(ResolvePath(file));
  }
  return TRUE;
}

std::uint32_t bitmap_add(const wxString& folder, const wxString& fileName) {
  return AddByName(folder, BitmapSchema(), fileName);
}

std::uint32_t font_add(const wxString& folder, const wxString& fileName) {
  return AddByName(folder, FontSchema(), fileName);
}

BOOL bitmap_get_name(const wxString& folder, std::uint32_t number, wxString& name) {
  name.clear();
  Table t;
  BitmapRow row;
  if (!t.open(folder, BitmapSchema()) || !bitmap_select(t, row, kSeek, "-ID", {number})) return FALSE;
  name = row.name;
  return TRUE;
}

BOOL datpkt_get_name(const wxString& folder, std::uint32_t number, wxString& name) {
  name.clear();
  Table t;
  DatpktRow row;
  if (!t.open(folder, DatpktSchema()) || !datpkt_select(t, row, kSeek, "ID", {number})) return FALSE;
  name = row.name;
  return TRUE;
}

BOOL wtext_get_text(const wxString& folder, std::uint32_t number, std::uint16_t language, wxString& text) {
  text.clear();
  Table t;
  TextwRow row;
  if (!t.open(folder, TextwSchema()) || !wtext_select(t, row, kSeek, "IDTEXT", {number, language})) return FALSE;
  text = row.text;
  return TRUE;
}

BOOL datpkt_get_new_name(Table& datpkt, wxString& name) {
  if (!datpkt.isOpen() || datpkt.schema() != &DatpktSchema()) return FALSE;
  constexpr std::size_t kWidth = 30;
  name = name.Left(kWidth);
  name.Trim(true);
  if (!datpkt.select("-DATPKT", kSeek, {name})) return TRUE;
  // One more candidate than there are rows is always free.
  for (std::uint32_t n = 1; n <= datpkt.size() + 1; ++n) {
    const wxString suffix = wxString::Format("_%u", n);
    wxString base = name.Left(kWidth - suffix.length());
    base.Trim(true);
    const wxString candidate = base + suffix;
    if (!datpkt.select("-DATPKT", kSeek, {candidate})) {
      name = candidate;
      return TRUE;
    }
  }
  return FALSE;
}

}  // namespace hv::db
