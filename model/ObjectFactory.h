#pragma once
// The object factory: makes an empty object from a type code (prototypes of "Neu...",
// pastes) or from a class name (pastes, archives). The codes it makes are fixed; each
// object class registers how it is made, in RegisterObjectClasses:
//
//   void RegisterObjectClasses() {
//     CObjectFactory::Register<CPOPrjFolder>();
//     ...
//   }
//
// A class needs HV_DECLARE_PROJECT_OBJECT(CPOPrjFolder) in its body and a default
// constructor. Codes the factory makes but whose class is not registered give nullptr.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "model/ProjectObject.h"

using ObjectCreator = std::function<std::unique_ptr<CProjectObject>()>;

class CObjectFactory {
 public:
  // Registers a class under its name, replacing an earlier registration; returns the
  // creator it replaced (empty when none).
  static ObjectCreator RegisterClass(const std::string& className, ObjectCreator create);
  template <class T>
  static void Register() {
    RegisterClass(T::kClassName, [] { return std::unique_ptr<CProjectObject>(new T); });
  }
  static void UnregisterClass(const std::string& className);
  static bool IsRegistered(std::string_view className);

  static std::unique_ptr<CProjectObject> CreateByName(std::string_view className);
  // nullptr for every code the factory does not make, and for classes not registered.
  static std::unique_ptr<CProjectObject> CreateOfType(TypeCode code);
  // The class made for a code; nullptr for codes the factory does not make.
  static const char* ClassNameOfType(TypeCode code);
};

// Registers a class for the lifetime of this object and restores the previous
// registration afterwards (tests, stand-ins).
class ScopedObjectClass {
 public:
  ScopedObjectClass(std::string className, ObjectCreator create);
  ~ScopedObjectClass();
  ScopedObjectClass(const ScopedObjectClass&) = delete;
  ScopedObjectClass& operator=(const ScopedObjectClass&) = delete;

 private:
  std::string m_name;
  ObjectCreator m_previous;
};

// Every object class of the program; runs once before the factory is first used.
void RegisterObjectClasses();

// An archived object: its class name (narrow archived text), the class's schema (16
// bits), then what its Serialize writes.
void WriteArchivedObject(CArchive& ar, CProjectObject& object);
// nullptr for a class nobody registered (the object's data stay unread); raises
// hv::ArchiveException for short or garbled data or another schema.
std::unique_ptr<CProjectObject> ReadArchivedObject(CArchive& ar);
