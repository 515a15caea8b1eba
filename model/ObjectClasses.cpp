#include "build/CoDeSys.h"
#include "build/PrgCoDeSys.h"
#include "build/PrgProGRIPS.h"
#include "build/ProGRIPS.h"
#include "build/Program.h"
#include "build/TavSim.h"
#include "build/TavSimSource.h"
#include "model/DataPoint.h"
#include "model/DirectDataPoint.h"
#include "model/Doc.h"
#include "model/IOConfig.h"
#include "model/PrjDataPoint.h"
#include "model/Documents.h"
#include "model/FieldDevice.h"
#include "model/Network.h"
#include "model/ObjectFactory.h"
#include "model/PrjDevice.h"
#include "model/PrjFolder.h"
#include "model/Project.h"
#include "processdata/ADefFolder.h"
#include "processdata/AlarmDef.h"
#include "processdata/DataLoger.h"
#include "processdata/RDefFolder.h"
#include "processdata/Recipe.h"
#include "processdata/RecipeDef.h"
#include "resources/Bitmap.h"
#include "resources/Font.h"
#include "resources/Html.h"
#include "resources/HtmlFolder.h"
#include "resources/KeypadBmp.h"
#include "resources/KeypadXML.h"
#include "resources/Mask.h"
#include "resources/Menu.h"
#include "resources/ResBitmap.h"
#include "resources/ResFont.h"
#include "resources/ResKeypad.h"
#include "resources/ResMask.h"
#include "resources/ResMenu.h"
#include "resources/ResString.h"
#include "resources/Resource.h"
#include "resources/String.h"

// One line per object class, CObjectFactory::Register<CPOClass>(), as the classes come.
// The palette node, palettes and graphical programs are made by their parents only.
void RegisterObjectClasses() {
  CObjectFactory::Register<CPOPrjFolder>();
  CObjectFactory::Register<CPOProject>();
  CObjectFactory::Register<CPODocuments>();
  CObjectFactory::Register<CPODoc>();
  CObjectFactory::Register<CPOPrjDevice>();
  CObjectFactory::Register<CPONetwork>();
  CObjectFactory::Register<CPODevice>();
  CObjectFactory::Register<CPOPrjDataPoint>();
  CObjectFactory::Register<CPODirectDataPoint>();
  CObjectFactory::Register<CPODataPoint>();
  CObjectFactory::Register<CPOIOConfig>();

  CObjectFactory::Register<CPOResource>();
  CObjectFactory::Register<CPOResBitmap>();
  CObjectFactory::Register<CPOBitmap>();
  CObjectFactory::Register<CPOResFont>();
  CObjectFactory::Register<CPOFont>();
  CObjectFactory::Register<CPOResMask>();
  CObjectFactory::Register<CPOMask>();
  CObjectFactory::Register<CPOResString>();
  CObjectFactory::Register<CPOString>();
  CObjectFactory::Register<CPOResMenu>();
  CObjectFactory::Register<CPOMenu>();
  CObjectFactory::Register<CPOResKeypad>();
  CObjectFactory::Register<CPOKeypadXML>();
  CObjectFactory::Register<CPOKeypadBmp>();
  CObjectFactory::Register<CPOHtmlFolder>();
  CObjectFactory::Register<CPOHtml>();

  CObjectFactory::Register<CPORDefFolder>();
  CObjectFactory::Register<CPORecipeDef>();
  CObjectFactory::Register<CPORecipe>();
  CObjectFactory::Register<CPOADefFolder>();
  CObjectFactory::Register<CPOAlarmDef>();
  CObjectFactory::Register<CPODataLoger>();

  CObjectFactory::Register<CPOProgram>();
  CObjectFactory::Register<CPOTavSim>();
  CObjectFactory::Register<CPOTavSimSource>();
  CObjectFactory::Register<CPOPrgCoDeSys>();
  CObjectFactory::Register<CPOCoDeSys>();
  CObjectFactory::Register<CPOPrgProGRIPS>();
  CObjectFactory::Register<CPOProGRIPS>();
}
