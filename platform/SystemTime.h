#pragma once
// A calendar time split into fields, as file times and archive stamps are handed around.
#include "platform/Types.h"

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;       // 1-12
  WORD wDayOfWeek;   // 0 = Sunday
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
