#include "model/Doc.h"
#include "model/Documents.h"
#include "model/ObjectFactory.h"
#include "model/PrjFolder.h"

// One line per object class, CObjectFactory::Register<CPOClass>(), as the classes come.
void RegisterObjectClasses() {
  CObjectFactory::Register<CPOPrjFolder>();
  CObjectFactory::Register<CPODocuments>();
  CObjectFactory::Register<CPODoc>();
}
