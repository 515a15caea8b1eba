#pragma once
// Commands of the device resources' own context menus.
#include "platform/Types.h"

enum : UINT {
  ID_RES_SEND_TO_DEVICE = 32855,   // "Zum Gerät schreiben" (web pages)
  ID_RES_NEW_FOLDER = 32866,       // "Neuer Ordner" (web pages)
  ID_RES_USE_CF = 32867,           // "Download auf CompactFlash" (web pages)
  ID_RES_KEYPAD_DOWNLOAD = 32880,  // "Download" (keypad XML files)
  ID_RES_FONT_DOWNLOAD = 32887,    // "Download" (TrueType fonts)
};
