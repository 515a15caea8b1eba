#pragma once
// Stand-in project objects, a recording view and a document for tests of the object
// base, the factory, the routing and the document.
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <wx/string.h>

#include "app/TavProjectDoc.h"
#include "model/ObjectFactory.h"
#include "model/ProjectObject.h"

namespace hvtest {

// An object of any kind: type code and class name are given. Grouping kinds (container
// rows of the class table) create themselves without asking; every other kind asks for
// a name through NewNameRequest.
class FakeObject : public CProjectObject {
 public:
  explicit FakeObject(TypeCode code = TypeCode::None, std::string className = "CPOFake", const wxString& name = {});
  ~FakeObject() override;

  const char* ClassName() const override { return m_className.c_str(); }
  TypeCode GetTypeCode() override { return m_code; }
  BOOL IsUnicodeName() override { return unicode ? TRUE : FALSE; }
  BOOL IsPasteTarget() override { return pasteTarget ? TRUE : FALSE; }
  BOOL KeepWhenEmpty() override { return keepWhenEmpty ? TRUE : FALSE; }
  // Fakes stand for classes with clipboard data of their own unless a test says not.
  BOOL HasClipboardSupport() override { return clipboard ? TRUE : FALSE; }
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;

  // Adds a named child of the given kind and returns it.
  FakeObject* Add(TypeCode code, const wxString& name, const std::string& className = "CPOFake");

  bool unicode = false;
  bool pasteTarget = false;
  bool keepWhenEmpty = true;
  bool clipboard = true;
  std::function<void()> onDestroy;

 private:
  TypeCode m_code;
  std::string m_className;
};

// While it exists the factory makes FakeObjects for every code it makes, under the
// real class names.
class FakeClasses {
 public:
  FakeClasses();
  ~FakeClasses();
  // Kinds whose CreateNew is to fail (as if the user cancelled).
  std::vector<TypeCode> failing;

 private:
  std::vector<std::unique_ptr<ScopedObjectClass>> m_scopes;
};

// Remembers every hint it receives.
class RecordingView : public IProjectView {
 public:
  struct Entry {
    IProjectView* sender;
    int hint;
    CProjectObject* object;
    ObjectSerial serial;   // 0: object not alive when the hint came
    wxString name;
  };
  void OnUpdate(IProjectView* sender, int hint, CProjectObject* object) override;
  std::vector<int> Hints() const;
  std::vector<Entry> entries;
  std::function<void(int hint, CProjectObject* object)> onUpdate;
};

// The names of an object's children, in order.
std::vector<wxString> ChildNames(const CProjectObject& o);
inline std::vector<wxString> ChildNames(const CProjectObject* o) { return ChildNames(*o); }

}  // namespace hvtest
