// File times and sizes read from a project go to the list columns only when the date
// library can take them; others show as unknown.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "model/ObjectSupport.h"
#include "platform/Archive.h"
#include "resources/Bitmap.h"
#include "resources/KeypadXML.h"

TEST(FileTimes, TimesFromAProjectOutsideTheDatesRangeShowAsUnknown) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  for (std::int64_t t : {kMax, kMin, std::int64_t{-1}, std::int64_t{253402300800}, std::int64_t{1} << 40})
    EXPECT_EQ(FormatFileTime(t), wxString()) << t;
  EXPECT_EQ(FormatFileTime(1700000000).length(), 16u);   // "14.11.2023 22:13" in any zone
  EXPECT_EQ(FormatSizeKB(std::numeric_limits<std::uint64_t>::max()), wxS("18014398509481984 KB"));
  EXPECT_EQ(FormatSizeKB(1025), wxS("2 KB"));

  // As a keypad and a bitmap read them from a project file.
  for (std::int64_t t : {kMax, kMin}) {
    CPOKeypadXML keypad;
    keypad.SetFile(wxS("a.xml"), t, 10);
    CArchive out;
    keypad.Serialize(out);
    CArchive in(out.Bytes());
    CPOKeypadXML read;
    read.Serialize(in);
    EXPECT_EQ(read.GetColumnText(4), wxString());
    EXPECT_EQ(read.GetFileTime(), t);   // kept as read

    CPOBitmap bitmap;
    CPOBitmap::Listing listing;
    listing.fileTime = t;
    bitmap.SetListing(listing);
    EXPECT_EQ(bitmap.GetColumnText(4), wxString());
  }
}
