#pragma once
// Where an object lies: the views' questions about its project and device.
class CProjectObject;

// The project (type 0x21000000) and device (0x21200000) an object lies in: the object
// itself or its nearest ancestor of that kind; nullptr when none.
CProjectObject* FindProjectObject(CProjectObject* object);
CProjectObject* FindDeviceObject(CProjectObject* object);
