#pragma once
// What the views need from object classes that live elsewhere (devices, projects):
// the code of those classes fills these in once at start-up. Every hook may be empty.
#include <functional>
#include <wx/string.h>

#include "platform/Types.h"

class CProjectObject;

struct ViewHooks {
  // The tree's selection moved to an object of another device: make that device's
  // folder the database's current data folder.
  std::function<void(CProjectObject& object)> selectDeviceFolder;
  // Called with true before and false after the tree loads an object's children for an
  // expansion (the data-point folder treats these loads apart).
  std::function<void(CProjectObject& object, bool before)> treeLoading;
  // "&Importieren..." on an empty tree: import a project into the empty list; TRUE when
  // one was imported.
  std::function<BOOL()> importIntoEmptyList;
  // The texts folder keeps its list layout in its project's settings file, section
  // "Pane1", under `key`. Without these hooks the texts folder has no stored layout.
  std::function<wxString(CProjectObject& listed, const wxString& key)> readProjectLayout;
  std::function<void(CProjectObject& listed, const wxString& key, const wxString& value)> writeProjectLayout;
};

ViewHooks& GetViewHooks();

// The project (type 0x21000000) and device (0x21200000) an object lies in: the object
// itself or its nearest ancestor of that kind; nullptr when none.
CProjectObject* FindProjectObject(CProjectObject* object);
CProjectObject* FindDeviceObject(CProjectObject* object);
