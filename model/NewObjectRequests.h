#pragma once
// Request of the new-object dialog, run through hv::Ui().Run. The program shows
// CDlgNewObject for it; tests answer it from a script.
#include "framework/NewNameRequest.h"
#include "model/TypeCodes.h"

class CProjectObject;

// CDlgNewObject: the kind of object to make for `object`; IDOK with `typeCode` set.
struct NewObjectRequest {
  CProjectObject* object = nullptr;
  TypeCode typeCode = TypeCode::None;
};
