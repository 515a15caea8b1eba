// Data points: making 10,000 through the model, and listing a device's data-point
// folder (load, sort, first screen) beside a raw scan of the same DATPKT table with
// shapelib in the same run. Prints the ratios and PASS or FAIL:
//   listing <= 3x the raw scan; per-row cost at 50,000 <= 1.5x that at 1,000;
//   memory above the empty program <= 2x the table file.
#include <malloc.h>
#include <shapefil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "framework/Services.h"
#include "model/DataPointPicker.h"
#include "model/ModelServices.h"
#include "model/DataPointSheet.h"
#include "model/DirectDataPoint.h"
#include "model/ListOrder.h"
#include "model/LiveObjects.h"
#include "model/PrjDataPoint.h"
#include "model/PrjDevice.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/dbase/DbLib.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

long RssKb() {
  std::ifstream f("/proc/self/statm");
  long pages = 0, resident = 0;
  f >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::vector<std::string> g_made;   // removed at the end

wxString TempFolder(const char* name) {
  char pattern[] = "/tmp/hvdpbenchXXXXXX";
  const char* made = mkdtemp(pattern);
  if (!made) {
    std::puts("FAIL: no temporary folder");
    std::exit(1);
  }
  g_made.push_back(made);
  return hv::JoinPath(wxString(made), name);
}

// A device folder whose DATPKT holds `rows` data points of device 1.
wxString FilledDevice(int rows) { return FilledDatpkt(TempFolder("dev"), rows); }

// The raw scan: every field of every record through shapelib.
double RawScan(const wxString& folder, std::size_t& checksum) {
  const auto t0 = Clock::now();
  DBFHandle h = DBFOpen(hv::ToFs(hv::JoinPath(folder, "DATPKT.DBF")).c_str(), "rb");
  const int fields = DBFGetFieldCount(h);
  for (int r = 0; r < DBFGetRecordCount(h); ++r)
    for (int f = 0; f < fields; ++f) checksum += std::string(DBFReadStringAttribute(h, r, f)).size();
  DBFClose(h);
  return Seconds(t0);
}

// Device 1 in the folder with its data-point folder as only child.
std::unique_ptr<CPOPrjDevice> DeviceAt(const wxString& folder) {
  auto device = std::make_unique<CPOPrjDevice>(nullptr);
  device->SetDeviceFolder(folder);
  device->SetDeviceNumber(1);
  device->AddChild(std::make_unique<CPOPrjDataPoint>(device.get(), device.get()));
  return device;
}

struct Listing {
  double seconds = 0;
  long rssKb = 0;
  std::size_t rows = 0, chars = 0;
  bool ordered = false;
};

// A listing that lost rows, is out of order or shows no text measured nothing.
bool Complete(const Listing& l, std::size_t expected) {
  const bool ok = l.rows == expected && l.ordered && l.chars > 0;
  if (!ok)
    std::printf("FAIL: listing of %zu rows gave %zu rows%s, %zu characters on the first screen\n", expected, l.rows,
                l.ordered ? "" : " out of order", l.chars);
  return ok;
}

// Load, sort by name and the first screen's texts, as the list shows the folder.
Listing List(const wxString& folder, bool keep) {
  DispatchScope scope;
  auto device = DeviceAt(folder);
  auto* dps = static_cast<CPOPrjDataPoint*>(device->GetChildren().front());
  const auto t0 = Clock::now();
  dps->LoadChildren();
  // In the list's own order (by name), as the list sorts its rows.
  std::vector<CProjectObject*> children;
  children.reserve(dps->GetChildCount());
  for (CProjectObject* o : dps->GetChildren()) children.push_back(o);
  const std::vector<ObjectRef> rows = SortListRows(children, -1, false);
  std::size_t chars = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(40, rows.size()); ++i)
    if (CProjectObject* row = rows[i].Get())
      for (int c = 0; c < 6; ++c) chars += row->GetColumnText(c).size();
  Listing l;
  l.seconds = Seconds(t0);
  l.rssKb = RssKb();
  l.rows = rows.size();
  l.ordered = std::is_sorted(rows.begin(), rows.end(), [](const ObjectRef& a, const ObjectRef& b) {
    return a.Get() && b.Get() && NameBefore(*a.Get(), *b.Get());
  });
  l.chars = chars;
  (void)keep;
  CProjectObject::Discard(std::move(device));
  return l;
}

}  // namespace

int main() {
  // No profile: the name prefix takes its default.
  static hv::IApplicationState noApplication;
  hv::Services().Bind<hv::IApplicationState>(&noApplication);
  hv::Ui().SetMessageHandler([](UINT, const wxString&, UINT) { return static_cast<int>(IDOK); });
  bool pass = true;

  // Memory first, while nothing else has grown the heap.
  {
    const wxString folder = FilledDevice(50000);
    // The set-up's writes are not the listing's: the engine forgets the table first.
    hv::db::dbank_close();
    malloc_trim(0);
    const long emptyKb = RssKb();
    struct stat st {};
    stat(hv::ToFs(hv::JoinPath(folder, "DATPKT.DBF")).c_str(), &st);
    const Listing l = List(folder, true);
    pass = Complete(l, 50000) && pass;
    const double mem = (l.rssKb - emptyKb) * 1024.0 / static_cast<double>(st.st_size);
    std::printf("memory above the empty program %ld KB, table file %ld KB, ratio %.2f (<= 2)\n", l.rssKb - emptyKb,
                static_cast<long>(st.st_size / 1024), mem);
    pass = pass && mem <= 2.0;
  }

  // Making 10,000 through the model: one picker answer, the sheet's accept-all.
  {
    const wxString folder = FilledDevice(0);
    hv::Ui().Register<DataPointPickRequest>([](DataPointPickRequest& r) {
      for (int i = 0; i < 10000; ++i) {
        PickedDataPoint p;
        p.address = wxString::Format("9|M|W|81|%d|0|1", i);
        p.type = 8;
        p.access = 3;
        r.chosen.push_back(p);
      }
      return static_cast<int>(IDOK);
    });
    hv::Ui().Register<DataPointSheetRequest>([](DataPointSheetRequest&) { return static_cast<int>(kDpAcceptAll); });
    DispatchScope scope;
    auto device = DeviceAt(folder);
    auto* dps = static_cast<CPOPrjDataPoint*>(device->GetChildren().front());
    const auto t0 = Clock::now();
    CPODirectDataPoint maker;
    maker.CreateNew(dps, device.get(), nullptr);
    const double s = Seconds(t0);
    std::printf("create 10,000 data points through the model: %.3f s (%.1f us each), %zu made\n", s, s * 100,
                dps->GetChildCount());
    if (dps->GetChildCount() != 10000) {
      std::puts("FAIL: not every data point was made");
      pass = false;
    }
    CProjectObject::Discard(std::move(device));
  }

  // Listing beside the raw scan, the two taking turns so that a busy stretch of the
  // machine falls on both; the best run of each counts.
  double perRow[2] = {};
  const int sizes[2] = {1000, 50000};
  for (int k = 0; k < 2; ++k) {
    const wxString folder = FilledDevice(sizes[k]);
    std::size_t checksum = 0;
    double raw = 1e30;
    Listing best;
    best.seconds = 1e30;
    for (int run = 0; run < (k == 0 ? 15 : 5); ++run) {
      raw = std::min(raw, RawScan(folder, checksum));
      const Listing l = List(folder, false);
      pass = Complete(l, static_cast<std::size_t>(sizes[k])) && pass;
      if (l.seconds < best.seconds) best = l;
    }
    if (checksum == 0) {
      std::puts("FAIL: the raw scan read nothing");
      pass = false;
    }
    perRow[k] = best.seconds / sizes[k];
    const double ratio = best.seconds / raw;
    std::printf("%6d rows: listing %.4f s, raw scan %.4f s, ratio %.2f (<= 3)\n", sizes[k], best.seconds, raw, ratio);
    pass = pass && ratio <= 3.0;
  }
  const double growth = perRow[1] / perRow[0];
  std::printf("per-row cost at 50,000 / at 1,000: %.2f (<= 1.5)\n", growth);
  pass = pass && growth <= 1.5;
  std::puts(pass ? "PASS" : "FAIL");
  for (const std::string& made : g_made) std::filesystem::remove_all(made);
  return pass ? 0 : 1;
}
