#pragma once
// The copy of many data points in one go. Each data point's clipboard frame (its
// object record and its own data, as WriteArchivedObject and WriteToClipboard write
// them) is assembled straight from the object's stored texts and its DATPKT record:
// the objects and records are visited in the order they were made (which is the
// tables' record order for a freshly loaded list), every frame is measured first, the
// block grows once, and each frame is written in place, whatever the rows' order.
//
//   DataPointRowScope tables;               // one handle per device table
//   DataPointCopyResult result;
//   if (!CopyDataPointsAtOnce(rows, writer, work, result)) ... one object at a time
//
// A data point whose texts need converting, or whose class adds its own data, takes
// the one-by-one way inside the batch; the bytes are the same either way.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>
#include <wx/string.h>

#include "model/LiveObjects.h"

class CPODataPoint;
class CPOPrjDevice;
class CProjectObject;
class ClipboardBlockWriter;
namespace hv {
class LongWork;
}

// Whether a narrow DATPKT text goes to the clipboard as its stored bytes: each byte
// stands for itself in Windows-1252 and the trim of the row's text takes nothing more.
inline bool GoesAsStored(std::string_view bytes) {
  if (!bytes.empty() && static_cast<unsigned char>(bytes.back()) < 0x20) return false;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80 && b < 0xA0) return false;
  }
  return true;
}

class DataPointFrames {
 public:
  enum class Plan : std::uint8_t {
    Frame,      // measured: Write gives it
    Dropped,    // its row is gone: WriteToClipboard would answer FALSE
    OneByOne,   // needs the object's own way
  };
  // What a measured data point's frame takes from its record.
  struct Place {
    std::uint32_t texts = 0;                 // where its record's texts were kept
    std::uint32_t value32 = 0;
    std::uint16_t type = 0, access = 0, pickerAccess = 0;
    std::uint32_t device = 0;                // index of its device
    std::array<std::uint8_t, 12> lengths{};  // of the texts as they go
  };

  DataPointFrames();
  ~DataPointFrames();

  // Needs a DataPointRowScope that outlives it: without one every data point goes
  // one by one.
  Plan Measure(CPODataPoint& point, Place& place, std::size_t& size);
  // The measured frame's `size` bytes at `out`; the object may not change in between.
  void Write(CPODataPoint& point, const Place& place, char* out);

 private:
  struct Device;
  Device* DeviceOf(CPODataPoint& point, std::uint32_t& index);

  std::vector<std::unique_ptr<Device>> m_devices;
  // The records' texts as they go, one after the other in the order measured: the
  // writing pass reads them from here, not from the records again.
  std::string m_texts;
  CPOPrjDevice* m_lastDevice = nullptr;
  std::uint32_t m_lastIndex = 0;
};

struct DataPointCopyResult {
  ObjectRef last;                  // the last row written: the block's format is its own
  std::vector<wxString> failed;    // names of rows whose data could not be written, in row order
};

// Writes the frames of the selected rows into the writer, in row order, when every
// live row is a data point (nothing written and false otherwise). Rows whose data
// cannot be written are left out and named in `result.failed`; the caller tells the
// user. Steps `work` twice per row.
bool CopyDataPointsAtOnce(std::span<const ObjectRef> rows, ClipboardBlockWriter& writer, hv::LongWork& work,
                          DataPointCopyResult& result);
