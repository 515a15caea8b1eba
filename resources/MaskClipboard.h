#pragma once
// A screen's own clipboard data: its MSKFLD records and, for every bitmap, font, data
// point and text a record refers to by number, what lets another device find or
// re-create it. Numbers mean nothing in another device; paste writes new ones.
#include <cstdint>
#include <vector>
#include <wx/string.h>

#include "platform/Archive.h"
#include "platform/dbase/DbLib.h"

namespace maskclip {

enum Kind : int { kBitmap = 0, kFont = 1, kDataPoint = 2, kText = 3 };

// Bytes of a record's type-specific part (from offset 68 on); 0 above type 16.
std::size_t TypeBytes(std::uint32_t type);

// The reference fields of a record in the order their entries travel.
struct RefField {
  Kind kind;
  std::size_t offset;
};
std::vector<RefField> RefFields(const hv::db::MaskField& record);

struct TextEntry {
  std::uint16_t logId = 0;
  std::uint16_t language = 0;
  wxString text;
};

struct Ref {
  Kind kind = kBitmap;
  std::size_t offset = 0;
  wxString name;                   // bitmap, font, data point
  std::uint16_t extra = 0;         // bitmap and font: not used by paste
  wxString path;                   // bitmap and font: staged copy, may be empty
  std::vector<TextEntry> texts;    // text
};

struct Entry {
  hv::db::MaskField record;        // header fields and type-specific part
  std::vector<Ref> refs;           // only for non-zero numbers of included kinds
};

struct ScreenData {
  std::uint32_t include[4] = {1, 1, 1, 1};
  std::vector<Entry> entries;
};

// The data of a screen of the device folder's MSKFLD; false (nothing written) when a
// table cannot be opened.
bool Write(hv::Archive& ar, const wxString& deviceFolder, const wxString& screenName, std::uint16_t defaultLanguage);

// Reads and checks the whole data before anything is used. Raises ArchiveException
// for short or garbled data, and for names that would leave their folder, staged
// paths that are not ours and texts longer than the text field.
ScreenData Parse(hv::Archive& ar);

// Whether a bitmap's or font's name from the clipboard may become a file name.
bool IsSafeFileName(const wxString& name);

}  // namespace maskclip
