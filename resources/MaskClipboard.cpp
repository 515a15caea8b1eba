#include "resources/MaskClipboard.h"

#include "framework/StagedCopies.h"
#include "platform/Paths.h"
#include "resources/MaskRecords.h"
#include "resources/StringDialog.h"

using namespace hv::db;

namespace maskclip {

namespace {

constexpr std::size_t kTypeBytes[] = {84, 180, 164, 132, 92, 200, 220, 140, 40, 120, 296, 208, 156, 168, 88, 68, 392};
constexpr std::size_t kMaxFileName = 240;

void AddRun(std::vector<RefField>& out, Kind kind, std::size_t first, int count) {
  for (int i = 0; i < count; ++i) out.push_back({kind, first + 4 * static_cast<std::size_t>(i)});
}

wxString Trimmed(wxString s) {
  s.Trim(true);
  return s;
}

// A font name that is no bitmap font is a TrueType font.
bool IsBitmapFont(const wxString& name) { return name.Lower().EndsWith(wxS(".fnt")); }

wxString Stage(const wxString& file) {
  return hv::IsFile(file) ? staging::StageCopy(file) : wxString();
}

void WriteFileRef(hv::Archive& ar, const wxString& name, std::uint16_t extra, const wxString& path) {
  ar.WriteString(name, false);
  ar.WriteU16(extra);
  ar.WriteString(path, false);
}

struct SourceTables {
  Table mskfld, bitmap, font, datpkt, textw;
  bool Open(const wxString& folder) {
    return mskfld.open(folder, MskfldSchema()) && bitmap.open(folder, BitmapSchema()) &&
           font.open(folder, FontSchema()) && datpkt.open(folder, DatpktSchema()) && textw.open(folder, TextwSchema());
  }
};

void WriteRef(hv::Archive& ar, SourceTables& t, const wxString& folder, Kind kind, std::uint32_t number,
              std::uint16_t defaultLanguage) {
  switch (kind) {
    case kBitmap:
    case kFont: {
      // An unknown number still writes a complete entry, with nothing in it.
      BitmapRow row;
      const bool found = bitmap_select(kind == kBitmap ? t.bitmap : t.font, row, kSeek, "-ID", {number});
      const wxString name = found ? Trimmed(row.name) : wxString();
      if (name.empty()) {
        WriteFileRef(ar, wxString(), 0, wxString());
        return;
      }
      wxString file = hv::ResolvePath(folder + (kind == kBitmap ? wxS("/bitmaps/") : wxS("/fonts/")) + name);
      if (kind == kFont && !IsBitmapFont(name) && !hv::IsFile(file)) {
        const wxString hardware = hv::ResolvePath(folder + wxS("/hardware/") + name);
        if (hv::IsFile(hardware)) file = hardware;
      }
      WriteFileRef(ar, name, row.logId, Stage(file));
      return;
    }
    case kDataPoint: {
      DatpktRow row;
      ar.WriteString(datpkt_select(t.datpkt, row, kSeek, "ID", {number}) ? Trimmed(row.name) : wxString(), false);
      return;
    }
    case kText: {
      // The default language first, then the others in table order; the count is
      // that of the entries written.
      std::vector<TextwRow> rows;
      TextwRow row;
      if (wtext_select(t.textw, row, kSeek, "IDTEXT", {number, defaultLanguage})) rows.push_back(row);
      std::uint32_t left = t.textw.size();
      for (bool ok = wtext_select(t.textw, row, kSeek, "IDTEXT", {number}); ok && left > 0 && row.number == number;
           ok = wtext_select(t.textw, row, kNext, "IDTEXT"), --left) {
        if (row.language != defaultLanguage) rows.push_back(row);
      }
      ar.WriteU32(static_cast<std::uint32_t>(rows.size()));
      for (const TextwRow& r : rows) {
        ar.WriteU16(r.logId);
        ar.WriteU16(r.language);
        ar.WriteString(r.text, true);
      }
      return;
    }
  }
}

}  // namespace

std::size_t TypeBytes(std::uint32_t type) { return type < std::size(kTypeBytes) ? kTypeBytes[type] : 0; }

std::vector<RefField> RefFields(const MaskField& record) {
  std::vector<RefField> out;
  switch (record.type()) {
    case 0:
      out = {{kBitmap, 80}, {kFont, 112}, {kText, 88}};
      break;
    case 1:
      out.push_back({kBitmap, 68});
      AddRun(out, kBitmap, 168, 10);
      if (record.i16(72) != 0) out.push_back({kDataPoint, 76});
      if (record.i16(210) != 0) out.push_back({kDataPoint, 216});
      if (record.i16(212) != 0) out.push_back({kDataPoint, 220});
      break;
    case 2:
      out = {{kFont, 120}, {kDataPoint, 84}};
      AddRun(out, kDataPoint, 124, 5);
      out.insert(out.end(), {{kText, 88}, {kText, 92}, {kText, 184}});
      break;
    case 3: out = {{kFont, 132}, {kDataPoint, 72}}; break;
    case 5: out = {{kFont, 132}, {kDataPoint, 72}}; break;
    case 6: out = {{kFont, 140}, {kDataPoint, 72}}; break;
    case 7: out = {{kDataPoint, 68}}; break;
    case 8: out = {{kFont, 96}, {kText, 68}}; break;
    case 9: out = {{kBitmap, 104}, {kBitmap, 108}, {kFont, 144}, {kDataPoint, 72}, {kText, 112}, {kText, 116}}; break;
    case 10: out = {{kFont, 112}, {kFont, 116}, {kDataPoint, 68}}; break;
    case 11:
      out = {{kFont, 92}, {kDataPoint, 68}};
      AddRun(out, kText, 144, 20);
      break;
    case 12: out = {{kBitmap, 88}, {kBitmap, 92}, {kFont, 108}, {kDataPoint, 128}, {kText, 96}, {kText, 100}}; break;
    case 13:
      out = {{kFont, 88}};
      AddRun(out, kText, 100, 10);
      break;
    case 16:   // its bitmaps travel after its texts
      out = {{kFont, 92}, {kDataPoint, 68}};
      AddRun(out, kText, 164, 30);
      AddRun(out, kBitmap, 284, 30);
      break;
    default: break;
  }
  return out;
}

bool IsSafeFileName(const wxString& name) {
  if (name.empty() || name.length() > kMaxFileName || name == wxS(".") || name.Contains(wxS(".."))) return false;
  for (wxUniChar c : name) {
    if (c == '/' || c == '\\' || c == ':' || c.GetValue() < 0x20 || c.GetValue() == 0x7F) return false;
  }
  return true;
}

bool Write(hv::Archive& ar, const wxString& deviceFolder, const wxString& screenName, std::uint16_t defaultLanguage) {
  SourceTables t;
  if (deviceFolder.empty() || !t.Open(deviceFolder)) return false;
  const std::vector<MaskField> records = maskrec::ScreenRecords(t.mskfld, screenName);
  ar.WriteU32(static_cast<std::uint32_t>(records.size()));
  for (int i = 0; i < 4; ++i) ar.WriteU32(1);
  for (const MaskField& record : records) {
    ar.WriteU16(static_cast<std::uint16_t>(record.number()));
    ar.WriteU32(record.type());
    ar.WriteU16(static_cast<std::uint16_t>(record.x()));
    ar.WriteU16(static_cast<std::uint16_t>(record.y()));
    ar.WriteU8(record.flag());
    const std::size_t bytes = TypeBytes(record.type());
    ar.WriteBytes(std::string_view(reinterpret_cast<const char*>(record.buf.data()) + MaskField::kDataOffset, bytes));
    for (const RefField& f : RefFields(record)) {
      const std::uint32_t number = record.u32(f.offset);
      if (number != 0) WriteRef(ar, t, deviceFolder, f.kind, number, defaultLanguage);
    }
  }
  return true;
}

ScreenData Parse(hv::Archive& ar) {
  ScreenData data;
  const std::uint32_t count = ar.ReadU32();
  for (std::uint32_t& flag : data.include) flag = ar.ReadU32();
  ar.CheckCount(count, 13);   // the fixed part of a record entry
  for (std::uint32_t i = 0; i < count; ++i) {
    Entry entry;
    MaskField& r = entry.record;
    r.setNumber(static_cast<std::int16_t>(ar.ReadU16()));
    r.setType(ar.ReadU32());
    r.setX(static_cast<std::int16_t>(ar.ReadU16()));
    r.setY(static_cast<std::int16_t>(ar.ReadU16()));
    r.setFlag(ar.ReadU8());
    const std::size_t bytes = TypeBytes(r.type());
    const std::string_view part = ar.ReadBytes(bytes);
    std::copy(part.begin(), part.end(), r.buf.begin() + MaskField::kDataOffset);
    for (const RefField& f : RefFields(r)) {
      if (data.include[f.kind] == 0 || r.u32(f.offset) == 0) continue;
      Ref ref;
      ref.kind = f.kind;
      ref.offset = f.offset;
      if (f.kind == kBitmap || f.kind == kFont) {
        ref.name = ar.ReadString();
        ref.extra = ar.ReadU16();
        ref.path = ar.ReadString();
        if (!ref.name.empty() && !IsSafeFileName(ref.name)) throw hv::ArchiveException("unsafe file name");
        if (!ref.path.empty() && !staging::IsStagedCopy(ref.path)) throw hv::ArchiveException("foreign temporary path");
      } else if (f.kind == kDataPoint) {
        ref.name = ar.ReadString();
        if (ref.name.length() > maskrec::kMaxScreenName) throw hv::ArchiveException("data point name too long");
      } else {
        const std::uint32_t n = ar.ReadU32();
        ar.CheckCount(n, 5);
        for (std::uint32_t k = 0; k < n; ++k) {
          TextEntry e;
          e.logId = ar.ReadU16();
          e.language = ar.ReadU16();
          e.text = ar.ReadString();
          if (strtext::Utf16Units(e.text) > strtext::kMaxUnits) throw hv::ArchiveException("text too long");
          ref.texts.push_back(std::move(e));
        }
      }
      entry.refs.push_back(std::move(ref));
    }
    data.entries.push_back(std::move(entry));
  }
  return data;
}

}  // namespace maskclip
