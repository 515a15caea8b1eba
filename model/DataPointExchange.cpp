#include "model/DataPointExchange.h"

bool ParsePort(const wxString& text, long& port) {
  wxString t = text;
  t.Trim(true).Trim(false);
  long value = 0;
  if (t.empty() || !t.ToLong(&value) || value < 1 || value > 65535) return false;
  port = value;
  return true;
}
