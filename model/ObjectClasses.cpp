#include "model/ObjectFactory.h"

// One line per object class, CObjectFactory::Register<CPOClass>(), as the classes come.
void RegisterObjectClasses() {}
