#pragma once
// A device folder with its resource folders below a fake device, the scripted facade,
// a private home (staged copies, the editors' profile) and a private recycle bin; and
// the clipboard's round trip of one object as the program makes it.
#include <memory>
#include <string>

#include "app/TavProjectDoc.h"
#include "model/NewObjectKinds.h"
#include "model/ModelServices.h"
#include "model/ProjectObject.h"
#include "platform/Archive.h"
#include "framework/Services.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/PrivateTrash.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

namespace hvtest {

class ResourceFixture : public testing::Test {
 protected:
  ResourceFixture() : dev(dir.Path()) {
    UsePrivateTrash();
    doc.AddView(&view);
    // Editors are stand-ins that start and end at once.
    WriteAll(home.Sub(wxS("Project.INI")),
             "[Programs]\nBITMAP=true\nXML=true\nHTML=true\nFONT=true\nTTFFONT=true\n");
  }

  // The object's record and its own data, as copy writes them.
  struct Copied {
    std::string record;
    std::string data;
    TypeCode code = TypeCode::None;
  };
  static Copied CopyOf(CProjectObject& object, bool cut = false) {
    Copied c;
    hv::Archive record;
    object.Serialize(record);
    c.record = record.Bytes();
    hv::Archive data;
    EXPECT_TRUE(cut ? object.Cut(data) : object.WriteToClipboard(data));
    c.data = data.Bytes();
    c.code = object.GetTypeCode();
    return c;
  }
  // Pastes under `parent` as the program does: made, read, added, then its data read.
  // The pasted object, or nullptr when its read failed (it is removed again).
  static CProjectObject* Paste(const Copied& c, CProjectObject& parent) {
    std::unique_ptr<CProjectObject> object = CProjectObject::CreateObjectOfType(c.code);
    hv::Archive record(c.record);
    object->Serialize(record);
    object->SetDevice(parent.GetDevice());
    CProjectObject* added = parent.AddChild(std::move(object));
    if (!added) return nullptr;
    hv::Archive data(c.data);
    bool ok = false;
    try {
      ok = added->ReadFromClipboard(data, &parent) != FALSE;
    } catch (const hv::ArchiveException&) {
      ok = false;
    }
    if (!ok) parent.RemoveChild(added);
    return ok ? added : nullptr;
  }

  template <class Folder>
  Folder& AddFolder() {
    return static_cast<Folder&>(*dev.Node().AddChild(std::make_unique<Folder>(&dev.Node(), dev.Handle())));
  }
  // The child of the folder with the name, as T; nullptr when none.
  template <class T>
  static T* Child(CProjectObject& folder, const wxString& name) {
    for (CProjectObject* child : folder.GetChildren())
      if (child->GetName() == name) return dynamic_cast<T*>(child);
    return nullptr;
  }

  TempHome home;
  TempDir dir;
  FakeDevice dev;
  CTavProjectDoc doc;
  RecordingView view;
  ScriptedUi ui;
};

}  // namespace hvtest
