#pragma once
// A colour palette of a device's display, edited in the palette editor; listed by the
// palette node. Neither is made by the factory.
#include "model/ProjectObject.h"

// The palette node has no kind of its own in the class table; its code is its
// palettes' parent code.
constexpr TypeCode kResPalTypeCode = ToTypeCode(0x21219000);

class CPOPal : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOPal)

 public:
  CPOPal() = default;
  CPOPal(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::Pal; }
  int GetImage() override { return 35; }
  int GetSelectedImage() override { return 35; }
  int GetContextMenuId() override { return 305; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
};

// The palette node. While it is the listed object, the list's empty area offers
// "Einfügen" (menu 306); the list view knows it by its class name.
class CPOResPal : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOResPal)

 public:
  CPOResPal() = default;
  CPOResPal(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return kResPalTypeCode; }
  int GetImage() override { return 35; }
  int GetSelectedImage() override { return 35; }
  BOOL HasTreeChildren() override { return FALSE; }
};
