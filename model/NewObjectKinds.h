#pragma once
// The kinds that the new-object dialog (CDlgNewObject) offers for an object: a pure
// function of the object's type code and, below a device, of what the device allows.
#include <vector>
#include <wx/string.h>

#include "model/TypeCodes.h"

class CProjectObject;

// What a device allows, as its configuration and "device.set" answer.
struct DeviceCapabilities {
  bool versionKnown = false;        // the device's version is not 0
  bool designEntry = false;         // the configuration's design entry
  int fwVersion = 0;                // "device.set" [Config] "FWVersion", 0 when missing
  bool tavSim = false;              // the configuration lists "TavSim"
  bool coDeSys = false;             // ... and "CoDeSys"
  bool panel = false;               // a panel device
  bool dataPointPermission = false; // the configuration allows the data-point folder
  bool bitmapPermission = false;    // ... bitmaps and fonts
  bool keypads = false;             // the device supports keypads
};

struct NewObjectKind {
  TypeCode code = TypeCode::None;
  wxString name;
  int image = 0;
};

// The kinds for an object of type `object`. `device` is used (and required) for
// objects below a device; `proGrips` tells whether the ProGRIPS tools are installed.
std::vector<NewObjectKind> NewObjectKinds(TypeCode object, bool pasteTarget, const DeviceCapabilities& device,
                                          bool proGrips);

// The kinds for a live object: the device's capabilities from hv::IDeviceCapabilities,
// ProGRIPS from the registry value "Path" of "SOFTWARE\ProGRIPS".
std::vector<NewObjectKind> NewObjectKindsFor(CProjectObject& object);
