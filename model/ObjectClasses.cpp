#include "model/ObjectFactory.h"
#include "model/PrjDevice.h"
#include "model/PrjFolder.h"
#include "model/Project.h"

// One line per object class, CObjectFactory::Register<CPOClass>(), as the classes come.
void RegisterObjectClasses() {
  CObjectFactory::Register<CPOPrjFolder>();
  CObjectFactory::Register<CPOProject>();
  CPOProject::RegisterHooks();
  CObjectFactory::Register<CPOPrjDevice>();
}
