#include "model/ObjectFactory.h"

#include <map>

namespace {

struct FactoryRow {
  TypeCode code;
  const char* className;
};

// The codes "Neu..." and paste can make. The palette, the graph program, the I/O
// configuration, the documentation node, documents and screen elements are made by
// their parents only.
constexpr FactoryRow kMadeByType[] = {
    {TypeCode::PrjFolder, "CPOPrjFolder"},
    {TypeCode::Project, "CPOProject"},
    {TypeCode::PrjDevice, "CPOPrjDevice"},
    {TypeCode::Resource, "CPOResource"},
    {TypeCode::ResBitmap, "CPOResBitmap"},
    {TypeCode::Bitmap, "CPOBitmap"},
    {TypeCode::ResFont, "CPOResFont"},
    {TypeCode::Font, "CPOFont"},
    {TypeCode::ResMask, "CPOResMask"},
    {TypeCode::Mask, "CPOMask"},
    {TypeCode::ResString, "CPOResString"},
    {TypeCode::String, "CPOString"},
    {TypeCode::RDefFolder, "CPORDefFolder"},
    {TypeCode::RecipeDef, "CPORecipeDef"},
    {TypeCode::Recipe, "CPORecipe"},
    {TypeCode::ResMenu, "CPOResMenu"},
    {TypeCode::Menu, "CPOMenu"},
    {TypeCode::ADefFolder, "CPOADefFolder"},
    {TypeCode::AlarmDef, "CPOAlarmDef"},
    {TypeCode::ResKeypad, "CPOResKeypad"},
    {TypeCode::KeypadXML, "CPOKeypadXML"},
    {TypeCode::KeypadBmp, "CPOKeypadBmp"},
    {TypeCode::DataLoger, "CPODataLoger"},
    {TypeCode::Program, "CPOProgram"},
    {TypeCode::TavSim, "CPOTavSim"},
    {TypeCode::TavSimSource, "CPOTavSimSource"},
    {TypeCode::PrgCoDeSys, "CPOPrgCoDeSys"},
    {TypeCode::CoDeSys, "CPOCoDeSys"},
    {TypeCode::PrgProGRIPS, "CPOPrgProGRIPS"},
    {TypeCode::ProGRIPS, "CPOProGRIPS"},
    {TypeCode::PrjDataPoint, "CPOPrjDataPoint"},
    {TypeCode::DirectDataPoint, "CPODirectDataPoint"},
    {TypeCode::Network, "CPONetwork"},
    {TypeCode::Device, "CPODevice"},
    {TypeCode::DataPoint, "CPODataPoint"},
    {TypeCode::HtmlFolder, "CPOHtmlFolder"},
    {TypeCode::Html, "CPOHtml"},
};

std::map<std::string, ObjectCreator, std::less<>>& Creators() {
  static std::map<std::string, ObjectCreator, std::less<>> creators;
  return creators;
}

void EnsureRegistered() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterObjectClasses();
}

}  // namespace

ObjectCreator CObjectFactory::RegisterClass(const std::string& className, ObjectCreator create) {
  EnsureRegistered();
  ObjectCreator previous;
  auto it = Creators().find(className);
  if (it != Creators().end()) previous = std::move(it->second);
  if (create)
    Creators()[className] = std::move(create);
  else if (it != Creators().end())
    Creators().erase(it);
  return previous;
}

void CObjectFactory::UnregisterClass(const std::string& className) {
  EnsureRegistered();
  Creators().erase(className);
}

bool CObjectFactory::IsRegistered(std::string_view className) {
  EnsureRegistered();
  return Creators().find(className) != Creators().end();
}

std::unique_ptr<CProjectObject> CObjectFactory::CreateByName(std::string_view className) {
  EnsureRegistered();
  auto it = Creators().find(className);
  if (it == Creators().end() || !it->second) return nullptr;
  return it->second();
}

const char* CObjectFactory::ClassNameOfType(TypeCode code) {
  for (const FactoryRow& row : kMadeByType)
    if (row.code == code) return row.className;
  return nullptr;
}

std::unique_ptr<CProjectObject> CObjectFactory::CreateOfType(TypeCode code) {
  const char* name = ClassNameOfType(code);
  return name ? CreateByName(name) : nullptr;
}

std::unique_ptr<CProjectObject> CProjectObject::CreateObjectOfType(TypeCode code) {
  return CObjectFactory::CreateOfType(code);
}

ScopedObjectClass::ScopedObjectClass(std::string className, ObjectCreator create)
    : m_name(std::move(className)), m_previous(CObjectFactory::RegisterClass(m_name, std::move(create))) {}

ScopedObjectClass::~ScopedObjectClass() { CObjectFactory::RegisterClass(m_name, std::move(m_previous)); }

void WriteArchivedObject(CArchive& ar, CProjectObject& object) {
  // Class names are plain ASCII: the same bytes narrow.
  ar.WriteNarrowBytes(object.ClassName());
  ar.WriteU16(static_cast<std::uint16_t>(object.GetSchema()));
  object.Serialize(ar);
}

std::unique_ptr<CProjectObject> ReadArchivedObject(CArchive& ar) {
  bool wide = false;
  const wxString name = ar.ReadString(&wide);
  if (wide || name.empty() || !name.IsAscii()) throw hv::ArchiveException("garbled class name");
  const std::uint16_t schema = ar.ReadU16();
  std::unique_ptr<CProjectObject> object = CObjectFactory::CreateByName(name.ToStdString());
  if (!object) return nullptr;
  if (schema != object->GetSchema()) throw hv::ArchiveException("unknown schema of " + name.ToStdString());
  object->Serialize(ar);
  return object;
}
