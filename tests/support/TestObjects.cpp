#include "tests/support/TestObjects.h"

#include <algorithm>

#include "framework/LocalTables.h"
#include "model/ProjectDocument.h"
#include "model/NewObjectRequests.h"
#include "platform/Ui.h"

namespace hvtest {

namespace {

std::vector<TypeCode>* g_failing = nullptr;

bool IsContainerKind(TypeCode code) {
  for (const ObjectClassRow& row : GetObjectClassRows())
    if (row.typeCode == ToUInt(code)) return row.container == 1;
  return false;
}

}  // namespace

FakeObject::FakeObject(TypeCode code, std::string className, const wxString& name)
    : m_code(code), m_className(std::move(className)) {
  SetName(name);
}

FakeObject::~FakeObject() {
  if (onDestroy) onDestroy();
}

BOOL FakeObject::CreateNew(CProjectObject* parent, CPOPrjDevice*, const CProjectObject*) {
  if (g_failing && std::find(g_failing->begin(), g_failing->end(), m_code) != g_failing->end()) return FALSE;
  wxString name = wxS("Gruppe ") + TypeCodeHex(m_code);
  if (!IsContainerKind(m_code)) {
    NewNameRequest request;
    request.name = wxS("Neu");
    if (hv::Ui().Run(request) != IDOK) return FALSE;
    name = request.name;
  }
  // A new object of the same class, as the factory makes it.
  std::unique_ptr<CProjectObject> made = CObjectFactory::CreateByName(m_className);
  if (!made) made = std::make_unique<FakeObject>(m_code, m_className);
  made->SetName(name);
  CProjectObject* added = nullptr;
  if (parent) {
    added = parent->AddChild(std::move(made));
  } else if (hv::IProjectDocument* doc = GetActiveDocument()) {
    added = doc->AddRoot(std::move(made));
  }
  if (!added) return FALSE;
  UpdateAllViews(HINT_OBJECT_ADDED, added);
  return TRUE;
}

FakeObject* FakeObject::Add(TypeCode code, const wxString& name, const std::string& className) {
  return static_cast<FakeObject*>(AddChild(std::make_unique<FakeObject>(code, className, name)));
}

FakeClasses::FakeClasses() {
  g_failing = &failing;
  static const TypeCode kCodes[] = {
      TypeCode::PrjFolder,  TypeCode::Project,     TypeCode::PrjDevice,     TypeCode::Resource,
      TypeCode::ResBitmap,  TypeCode::Bitmap,      TypeCode::ResFont,       TypeCode::Font,
      TypeCode::ResMask,    TypeCode::Mask,        TypeCode::ResString,     TypeCode::String,
      TypeCode::RDefFolder, TypeCode::RecipeDef,   TypeCode::Recipe,        TypeCode::ResMenu,
      TypeCode::Menu,       TypeCode::ADefFolder,  TypeCode::AlarmDef,      TypeCode::ResKeypad,
      TypeCode::KeypadXML,  TypeCode::KeypadBmp,   TypeCode::DataLoger,     TypeCode::Program,
      TypeCode::TavSim,     TypeCode::TavSimSource, TypeCode::PrgCoDeSys,   TypeCode::CoDeSys,
      TypeCode::PrgProGRIPS, TypeCode::ProGRIPS,   TypeCode::PrjDataPoint,  TypeCode::DirectDataPoint,
      TypeCode::Network,    TypeCode::Device,      TypeCode::DataPoint,     TypeCode::HtmlFolder,
      TypeCode::Html,
  };
  for (TypeCode code : kCodes) {
    const std::string name = CObjectFactory::ClassNameOfType(code);
    m_scopes.push_back(std::make_unique<ScopedObjectClass>(name, [code, name] {
      auto object = std::make_unique<FakeObject>(code, name);
      object->pasteTarget = code == TypeCode::PrjFolder;
      object->keepWhenEmpty = !IsContainerKind(code) && code != TypeCode::PrjFolder;
      return std::unique_ptr<CProjectObject>(std::move(object));
    }));
  }
}

FakeClasses::~FakeClasses() { g_failing = nullptr; }

void RecordingView::OnUpdate(IProjectView* sender, int hint, CProjectObject* object) {
  const bool alive = CProjectObject::IsValidObject(object);
  entries.push_back({sender, hint, object, alive ? object->GetSerial() : 0, alive ? object->GetName() : wxString()});
  if (onUpdate) onUpdate(hint, object);
}

std::vector<int> RecordingView::Hints() const {
  std::vector<int> out;
  for (const Entry& e : entries) out.push_back(e.hint);
  return out;
}

std::vector<wxString> ChildNames(const CProjectObject& o) {
  std::vector<wxString> out;
  for (CProjectObject* c : o.GetChildren()) out.push_back(c->GetName());
  return out;
}

}  // namespace hvtest
