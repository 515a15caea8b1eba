#pragma once
// Helpers shared by the table tests: fresh tables in a temporary folder, file times,
// and an independent reader (shapelib) for checking what we write.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <wx/string.h>

#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "tests/support/TestEnv.h"

#include <shapefil.h>

namespace dbtest {

using namespace hv::db;
using hvtest::S;

inline wxString TableFile(const wxString& folder, const Schema& schema) {
  return hv::JoinPath(folder, wxString::FromUTF8(schema.FileName().c_str()));
}

// A new empty table in the folder, opened.
inline void Fresh(const wxString& folder, const Schema& schema, Table& t) {
  ASSERT_TRUE(CreateTable(TableFile(folder, schema), schema));
  ASSERT_TRUE(t.open(folder, schema)) << t.error();
}

inline std::int64_t FileTimeNs(const wxString& path) {
  struct stat st;
  if (stat(hv::ToFs(path).c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// Little-endian 16-bit header fields of a table image.
inline void PutU16(std::string& b, std::size_t at, unsigned v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}
inline unsigned U16(const std::string& b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

inline std::string Cp(const char* utf8) { return hv::ToCp1252Lossy(S(utf8)); }

// Field by name through shapelib; `raw` bytes as stored (shapelib trims blanks).
class ShapeReader {
 public:
  explicit ShapeReader(const wxString& file) : m_h(DBFOpen(hv::ToFs(file).c_str(), "rb")) {}
  ~ShapeReader() {
    if (m_h) DBFClose(m_h);
  }
  bool ok() const { return m_h != nullptr; }
  int count() const { return DBFGetRecordCount(m_h); }
  bool deleted(int rec) const { return DBFIsRecordDeleted(m_h, rec) != 0; }
  int width(const char* field) const {
    int w = 0, d = 0;
    char name[12];
    DBFGetFieldInfo(m_h, DBFGetFieldIndex(m_h, field), name, &w, &d);
    return w;
  }
  std::string str(int rec, const char* field) const {
    const int i = DBFGetFieldIndex(m_h, field);
    EXPECT_GE(i, 0) << field;
    const char* s = i < 0 ? nullptr : DBFReadStringAttribute(m_h, rec, i);
    return s ? std::string(s) : std::string();
  }
  // The last field's bytes from the raw record: shapelib takes a character field's
  // width from its low byte only, so wider fields (kept last) are read this way.
  std::string lastFieldRaw(int rec) const {
    const int n = DBFGetFieldCount(m_h);
    int offset = 1;
    for (int i = 0; i + 1 < n; ++i) {
      int w = 0, d = 0;
      char name[12];
      DBFGetFieldInfo(m_h, i, name, &w, &d);
      offset += w;
    }
    const char* tuple = DBFReadTuple(m_h, rec);
    if (!tuple) return std::string();
    std::string s(tuple + offset, static_cast<std::size_t>(m_h->nRecordLength - offset));
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }
  long long num(int rec, const char* field) const { return std::atoll(str(rec, field).c_str()); }

 private:
  DBFHandle m_h;
};

}  // namespace dbtest
