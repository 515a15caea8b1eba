#pragma once
// Numbers of the device messages that have none of their own in the suite's catalogue.
// The German texts are the defaults in the code that shows them.
#include "platform/Types.h"

enum : UINT {
  TXT_DEVICE_TABLES_FAILED = 11201,    // the device's table set could not be made
  TXT_DEVICE_ROW_FAILED = 11202,       // the device's row in "GERAET" could not be written
  TXT_DEVICE_SETTINGS_FAILED = 11203,  // "DEVICE.SET" could not be written
  TXT_DEVICE_PALETTE_FAILED = 11204,   // the remote panel's palette could not be copied
  TXT_DEVICE_NAME_EMPTY = 11205,       // "Es muß ein Gerätename eingegeben werden!"
  TXT_DEVICE_EXISTS = 11206,           // "Das Gerät ist bereits vorhanden!"
  TXT_REMOTE_TYPE_CHANGED = 11207,     // question after a change of the remote panel type
  TXT_CONNECTION_CHANGED = 11208,      // question after a change of the PC connection
  TXT_CODESYS_PROJECT_FILE = 11209,    // "CoDeSys Projektdatei"
  TXT_FILE_NOT_COPIED = 11210,         // "Die Datei %s konnte nicht kopiert werden!\nFehlercode: %d"
  TXT_DEVICE_CHANGE_UNDONE = 11211,    // a change a kill interrupted could not be completed at load
  TXT_DEVICE_CHANGE_NOT_UNDONE = 11212,  // a failed change could not be undone
  TXT_DEVICE_ADDRESS_PLACE = 11213,    // where a device's IP address is set
  TXT_NAME_NOT_STORABLE = 10941,       // a name with characters that cannot be stored
};
