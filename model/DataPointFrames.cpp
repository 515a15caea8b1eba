#include "model/DataPointFrames.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <cstring>
#include <optional>
#include <typeinfo>
#include <utility>

#include "model/ClipboardBlock.h"
#include "model/DataPointRowScope.h"
#include "model/DirectDataPoint.h"
#include "model/LongWork.h"
#include "model/ObjectFactory.h"
#include "model/PrjDevice.h"
#include "platform/Archive.h"
#include "platform/dbase/Schemas.h"

using hv::db::Record;
namespace datpkt = hv::db::datpkt;

namespace {

// The archive's forms (platform/Archive), once counting and once writing.
struct Count {
  std::size_t n = 0;
  void U8(std::uint8_t) { ++n; }
  void U16(std::uint16_t) { n += 2; }
  void U32(std::uint32_t) { n += 4; }
  void Bytes(std::string_view b) { n += b.size(); }
  void Ascii(const wxString& s) { n += s.length(); }
};

struct Fill {
  char* p;
  void U8(std::uint8_t v) { *p++ = static_cast<char>(v); }
  void U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v & 0xFF));
    U8(static_cast<std::uint8_t>(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v & 0xFFFF));
    U16(static_cast<std::uint16_t>(v >> 16));
  }
  void Bytes(std::string_view b) {
    // Most pieces are a few bytes: a call to memcpy would cost more than the copy.
    if (b.size() <= 16) {
      for (const char c : b) *p++ = c;
      return;
    }
    std::memcpy(p, b.data(), b.size());
    p += b.size();
  }
  void Ascii(const wxString& s) {
    for (const wxUniChar c : s) *p++ = static_cast<char>(c.GetValue());
  }
};

template <class Sink>
void Length(Sink& s, std::size_t n) {
  if (n < 0xFF) {
    s.U8(static_cast<std::uint8_t>(n));
    return;
  }
  s.U8(0xFF);
  if (n < 0xFFFE) {
    s.U16(static_cast<std::uint16_t>(n));
    return;
  }
  s.U16(0xFFFF);
  s.U32(static_cast<std::uint32_t>(n));
}

template <class Sink>
void Narrow(Sink& s, std::string_view bytes) {
  Length(s, bytes.size());
  s.Bytes(bytes);
}

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsAscii(const wxString& s) {
  return std::all_of(s.begin(), s.end(), [](wxUniChar c) { return c.GetValue() < 0x80; });
}

constexpr int kRowTexts[] = {datpkt::EINHEIT, datpkt::START, datpkt::SIGMIN, datpkt::SIGMAX, datpkt::MESSMIN, datpkt::MESSMAX,
                             datpkt::FELD1,   datpkt::FELD2, datpkt::FELD3,  datpkt::FELD4,  datpkt::FELD5,   datpkt::FELD6};
constexpr std::size_t kTexts = std::size(kRowTexts);

// Hands the current record of a table to a function.
template <class F>
struct RecordVisit {
  static constexpr hv::db::RowKind kRowKind = hv::db::RowKind::Datpkt;
  F f;
  void read(const Record& r) { f(r); }
};
template <class F>
RecordVisit(F) -> RecordVisit<F>;

}  // namespace

struct DataPointFrames::Device {
  CPOPrjDevice* device = nullptr;
  wxString folder;
  std::string folderBytes;   // the folder as WriteToClipboard ends the data: wide
  bool ok = false;
  DataPointRowScope::Rows* rows = nullptr;   // its tables, once opened
};

DataPointFrames::DataPointFrames() = default;
DataPointFrames::~DataPointFrames() = default;

DataPointFrames::Device* DataPointFrames::DeviceOf(CPODataPoint& point, std::uint32_t& index) {
  CPOPrjDevice* device = point.GetDevice();
  if (!device) return nullptr;
  if (device != m_lastDevice || m_devices.empty()) {
    auto it = std::find_if(m_devices.begin(), m_devices.end(), [device](const auto& d) { return d->device == device; });
    if (it == m_devices.end()) {
      auto d = std::make_unique<Device>();
      d->device = device;
      d->folder = device->GetDeviceFolder();
      try {
        hv::Archive ar;
        ar.WriteString(d->folder, true);
        d->folderBytes = ar.Bytes();
        d->ok = !d->folder.empty();
      } catch (const hv::ArchiveException&) {
        d->ok = false;
      }
      m_devices.push_back(std::move(d));
      it = std::prev(m_devices.end());
    }
    m_lastDevice = device;
    m_lastIndex = static_cast<std::uint32_t>(it - m_devices.begin());
  }
  index = m_lastIndex;
  Device* d = m_devices[m_lastIndex].get();
  return d->ok ? d : nullptr;
}

// The object record (WriteArchivedObject: class, schema, CPODataPoint::Serialize) from
// the object's stored values, their texts known to be ASCII.
template <class Sink>
static void ObjectRecord(Sink& s, const CPODataPoint& p, std::string_view description, std::string_view address) {
  Narrow(s, std::string_view(p.ClassName()));
  s.U16(static_cast<std::uint16_t>(p.GetSchema()));
  const wxString& name = p.GetName();
  Length(s, name.length());
  s.Ascii(name);
  s.U32(p.GetId());
  Narrow(s, description);
  Narrow(s, address);
}

DataPointFrames::Plan DataPointFrames::Measure(CPODataPoint& point, Place& place, std::size_t& size) {
  // A class of its own may write more; names and texts beyond ASCII take the
  // conversions of the object's own way.
  if (typeid(point) != typeid(CPODataPoint) && typeid(point) != typeid(CPODirectDataPoint)) return Plan::OneByOne;
  const std::string_view description = point.StoredText(CPODataPoint::kDescription);
  const std::string_view address = point.StoredText(CPODataPoint::kAddress);
  if (!IsAscii(point.GetName()) || !IsAscii(description) || !IsAscii(address)) return Plan::OneByOne;
  Device* device = DeviceOf(point, place.device);
  if (!device) return Plan::OneByOne;
  if (!device->rows) {
    const std::optional<DataPointRowScope::Rows*> rows = DataPointRowScope::TablesOf(device->folder);
    if (!rows) return Plan::OneByOne;
    if (!*rows) return Plan::Dropped;
    device->rows = *rows;
  }
  hv::db::Table* const table = DataPointRowScope::Seek(*device->rows, point.m_id);
  if (!table) return Plan::Dropped;
  Count count;
  ObjectRecord(count, point, description, address);
  count.n += 4 + 2 + 4 + 2 + 2 + 2 + 4 + device->folderBytes.size();   // the numbers and the folder
  if (m_texts.size() >= UINT32_MAX - kTexts * UINT8_MAX) return Plan::OneByOne;
  place.texts = static_cast<std::uint32_t>(m_texts.size());
  bool plain = true;
  RecordVisit visit{[&](const Record& r) {
    place.type = static_cast<std::uint16_t>(r.number(datpkt::TYP));
    place.access = static_cast<std::uint16_t>(r.number(datpkt::ZUGRIFF));
    place.pickerAccess = static_cast<std::uint16_t>(r.number(datpkt::ZUGRIFFDP));
    place.value32 = static_cast<std::uint32_t>(r.number(datpkt::WERT32));
    for (std::size_t i = 0; plain && i < kTexts; ++i) {
      const std::string_view bytes = r.raw(kRowTexts[i]);
      plain = GoesAsStored(bytes) && bytes.size() <= UINT8_MAX;
      place.lengths[i] = static_cast<std::uint8_t>(bytes.size());
      m_texts.append(bytes);
      Narrow(count, bytes);
    }
  }};
  if (!table->current(visit) || !plain) {
    m_texts.resize(place.texts);
    return Plan::OneByOne;
  }
  size = count.n;
  return Plan::Frame;
}

void DataPointFrames::Write(CPODataPoint& point, const Place& place, char* out) {
  const Device& device = *m_devices[place.device];
  Fill fill{out};
  ObjectRecord(fill, point, point.StoredText(CPODataPoint::kDescription), point.StoredText(CPODataPoint::kAddress));
  fill.U32(point.m_type);
  fill.U16(point.m_logicalId);
  fill.U32(point.m_readable ? 1 : 0);
  // The row's part, as CPODataPoint::WriteToClipboard writes it.
  fill.U16(place.type);
  fill.U16(place.access);
  fill.U16(place.pickerAccess);
  fill.U32(place.value32);
  const char* text = m_texts.data() + place.texts;
  for (std::size_t i = 0; i < kTexts; ++i) {
    Narrow(fill, std::string_view(text, place.lengths[i]));
    text += place.lengths[i];
  }
  fill.Bytes(device.folderBytes);
}

namespace {

// One data point's frame the way each object writes its own.
bool OneFrame(CPODataPoint& point, std::string& frame, bool& failed) {
  try {
    hv::Archive ar;
    WriteArchivedObject(ar, point);
    if (!point.WriteToClipboard(ar)) return false;
    frame = ar.Bytes();
    return true;
  } catch (const hv::ArchiveException&) {
    failed = true;
    return false;
  }
}

bool IsDataPoint(CProjectObject& object) {
  const std::type_info& type = typeid(object);
  return type == typeid(CPODirectDataPoint) || type == typeid(CPODataPoint) || dynamic_cast<CPODataPoint*>(&object);
}

// The rows in the order their objects were registered, which is the order they were
// made in unless registry slots were reused: a row per slot, else sorted by serial.
std::vector<std::uint32_t> MadeOrder(std::span<const ObjectRef> rows) {
  const std::size_t n = rows.size();
  std::vector<std::uint32_t> order;
  order.reserve(n);
  std::uint32_t top = 0;
  for (const ObjectRef& row : rows) top = std::max(top, static_cast<std::uint32_t>(row.Serial() & UINT32_MAX));
  if (top < 4 * n + 4096) {
    constexpr std::uint32_t kFree = UINT32_MAX;
    std::vector<std::uint32_t> rowOfSlot(std::size_t{top} + 1, kFree);
    bool clash = false;
    for (std::uint32_t i = 0; i < n && !clash; ++i) {
      std::uint32_t& at = rowOfSlot[rows[i].Serial() & UINT32_MAX];
      clash = at != kFree;
      at = i;
    }
    if (!clash) {
      for (const std::uint32_t i : rowOfSlot)
        if (i != kFree) order.push_back(i);
      return order;
    }
  }
  std::vector<std::pair<ObjectSerial, std::uint32_t>> bySerial(n);
  for (std::uint32_t i = 0; i < n; ++i) bySerial[i] = {rows[i].Serial(), i};
  std::sort(bySerial.begin(), bySerial.end());
  for (const auto& entry : bySerial) order.push_back(entry.second);
  return order;
}

}  // namespace

bool CopyDataPointsAtOnce(std::span<const ObjectRef> rows, ClipboardBlockWriter& writer, hv::LongWork& work,
                          DataPointCopyResult& result) {
  using Plan = DataPointFrames::Plan;
  // Kept in the order of the visits, so that both passes walk it straight.
  struct Visit {
    CPODataPoint* point = nullptr;   // null: gone
    DataPointFrames::Place place;
    Plan plan = Plan::Dropped;
  };
  constexpr std::uint32_t kNoFrame = UINT32_MAX;
  const std::size_t n = rows.size();
  if (n == 0 || n >= kNoFrame) return false;
  work.SetExpected(2 * n);
  // The order the objects were made in: their memory and their records follow it.
  const std::vector<std::uint32_t> order = MadeOrder(rows);

  DataPointFrames frames;
  std::vector<Visit> visits(n);
  // By row: the frame's size (kNoFrame when there is none), later where it goes.
  std::vector<std::uint32_t> sizes(n, kNoFrame);
  std::vector<std::size_t> offsets(n, 0);
  std::vector<std::pair<std::uint32_t, std::string>> ownFrames;   // row, frame
  std::vector<std::uint32_t> failedRows;
  for (std::size_t k = 0; k < n; ++k) {
    work.Step();
    const std::uint32_t i = order[k];
    CProjectObject* object = rows[i].Get();
    if (!object) continue;
    if (!IsDataPoint(*object)) return false;
    Visit& visit = visits[k];
    visit.point = static_cast<CPODataPoint*>(object);
    std::size_t size = 0;
    visit.plan = frames.Measure(*visit.point, visit.place, size);
    if (visit.plan == Plan::Frame) {
      if (size >= kNoFrame) return false;
      sizes[i] = static_cast<std::uint32_t>(size);
    } else if (visit.plan == Plan::OneByOne) {
      std::string frame;
      bool failed = false;
      if (OneFrame(*visit.point, frame, failed) && frame.size() < kNoFrame) {
        sizes[i] = static_cast<std::uint32_t>(frame.size());
        ownFrames.emplace_back(i, std::move(frame));
      } else if (failed) {
        failedRows.push_back(i);
      }
    }
  }

  // The frames in row order: the block grows once.
  writer.PlaceFrames(sizes, kNoFrame, offsets);
  for (std::size_t i = n; i-- > 0;)
    if (sizes[i] != kNoFrame) {
      result.last = rows[i];
      break;
    }
  for (const auto& [i, frame] : ownFrames) std::memcpy(writer.At(offsets[i]), frame.data(), frame.size());
  ownFrames.clear();
  std::sort(failedRows.begin(), failedRows.end());
  for (const std::uint32_t i : failedRows) result.failed.push_back(rows[i].Get()->GetName());

  // The frames land all over the block: where the next ones go is fetched ahead.
  constexpr std::size_t kAhead = 8;
  for (std::size_t k = 0; k < n; ++k) {
    work.Step();
    if (k + kAhead < n) {
      const char* ahead = writer.At(offsets[order[k + kAhead]]);
      for (std::size_t line = 0; line < 256; line += 64) __builtin_prefetch(ahead + line, 1);
    }
    const Visit& visit = visits[k];
    if (visit.plan == Plan::Frame) frames.Write(*visit.point, visit.place, writer.At(offsets[order[k]]));
  }
  return true;
}
