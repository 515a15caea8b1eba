#pragma once
// The base class of every node of the project tree and every row of the list view.
// The views know only these operations; each object class brings its own command map.
//
// Ownership: an object owns its children; the document owns the roots. No object is
// deleted directly: RemoveChild, DeleteAllChildren and Dispose unlink it, announce
// hint 3 while it still exists, take it out of the live registry at once and leave its
// memory to the end of the current dispatch (see LiveObjects.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>
#include <wx/string.h>

#include "framework/CmdTarget.h"
#include "framework/LocalTables.h"
#include "model/LiveObjects.h"
#include "model/TypeCodes.h"
#include "platform/Archive.h"
#include "platform/Types.h"

class CPOProject;
class CPOPrjDevice;
namespace hv {
class IProjectDocument;
}
class CMenu;
class CImageList;

// Position in a child list for GetFirstChild/GetNextChild; 0 means none.
using POSITION = std::size_t;

// Commands of the base class's map.
enum : UINT {
  ID_OBJECT_NEW = 32771,       // "&Neu..."
  ID_OBJECT_EDIT = 32772,      // "Ändern"
  ID_OBJECT_NEW_COPY = 32789,  // "Neue Kopie..."
  ID_OBJECT_LOGID = 32815,     // "Log. ID ändern"
};

// In the body of each concrete class: the name under which the factory creates it and
// the clipboard carries it.
#define HV_DECLARE_PROJECT_OBJECT(theClass)                  \
 public:                                                     \
  static constexpr const char* kClassName = #theClass;       \
  const char* ClassName() const override { return kClassName; }

class CProjectObject : public CCmdTarget {
 public:
  static constexpr const char* kClassName = "CProjectObject";

  CProjectObject();
  // Below a device: parent and device given, the project taken from the device.
  template <class Device>
  CProjectObject(CProjectObject* parent, Device* device) : CProjectObject() {
    InitPlaced(parent);
    m_device = device;
    m_project = device ? device->GetProject() : nullptr;
  }
  CProjectObject(CProjectObject* parent, std::nullptr_t) : CProjectObject() { InitPlaced(parent); }
  ~CProjectObject() override;
  CProjectObject(const CProjectObject&) = delete;
  CProjectObject& operator=(const CProjectObject&) = delete;

  virtual const char* ClassName() const { return kClassName; }
  ObjectSerial GetSerial() const { return m_serial; }

  // --- fields ---
  CProjectObject* GetParent() const { return m_parent; }
  CPOPrjDevice* GetDevice() const { return m_device; }
  void SetDevice(CPOPrjDevice* device) { m_device = device; }
  void SetProject(CPOProject* project) { m_project = project; }
  int GetExpanded() const { return m_rare ? m_rare->expanded : 0; }
  void SetExpanded(int expanded) {
    if (expanded != 0 || m_rare) MakeRare().expanded = expanded;
  }
  const wxString& GetName() const { return m_name; }
  void SetName(const wxString& name) { m_name = name; }
  const wxString& GetParentFolderKey() const;
  void SetParentFolderKey(const wxString& key) { MakeRare().parentFolderKey = key; }
  int GetLevel() const { return m_level; }
  void SetLevel(int level) { m_level = level; }

  // Selection state of the request being routed: the router sets it before every
  // offer; a handler that clears "several" stops the offer to further objects.
  void SetSelectionState(BOOL first, BOOL last, BOOL several) {
    m_firstOfSelection = first != FALSE;
    m_lastOfSelection = last != FALSE;
    m_multipleSelection = several != FALSE;
  }
  BOOL IsFirstOfSelection() const { return m_firstOfSelection ? TRUE : FALSE; }
  BOOL IsLastOfSelection() const { return m_lastOfSelection ? TRUE : FALSE; }
  BOOL IsMultipleSelection() const { return m_multipleSelection ? TRUE : FALSE; }
  void SetMultipleSelection(BOOL several) { m_multipleSelection = several != FALSE; }

  // --- children ---
  // TRUE when the object never had a child list or it is empty.
  BOOL HasNoChildren() const { return GetChildCount() == 0 ? TRUE : FALSE; }
  bool HasChildList() const { return m_hasChildList; }
  CProjectObject* GetFirstChild(POSITION& pos) const;
  CProjectObject* GetNextChild(POSITION& pos) const;
  std::size_t GetChildCount() const { return Kids().size() - m_emptyPlaces; }
  // A snapshot: safe to walk while children are removed.
  std::vector<CProjectObject*> GetChildren() const;
  // The first child whose type code matches; nullptr when none.
  CProjectObject* FindChildOfType(TypeCode code) const;
  // TRUE when the object never had children (nothing happens); FALSE when the object
  // is not a child; otherwise the child is unlinked, announced and released.
  BOOL RemoveChild(CProjectObject* child);
  // Removes every child as RemoveChild does; the (empty) list stays.
  void DeleteAllChildren();
  // Unlinks every child without announcing anything, for reloads that re-add the
  // children they keep (AddChild) and Dispose of the rest.
  std::vector<std::unique_ptr<CProjectObject>> TakeChildren();
  // Copies name, level, parent, project and device from another object.
  CProjectObject* CopyBaseFrom(const CProjectObject& source);

  // Releases an unlinked object and its subtree: hint 3 for each while it exists, out
  // of the registry at once, memory at the end of the dispatch.
  static void Dispose(std::unique_ptr<CProjectObject> object);
  // The same without hints, for objects no view has seen (prototypes, temporaries).
  static void Discard(std::unique_ptr<CProjectObject> object);

  static hv::IProjectDocument* GetActiveDocument();
  static void SetActiveDocument(hv::IProjectDocument* document);
  // TRUE while the object is alive. Views that keep an object across events keep an
  // ObjectRef instead, which also tells a new object at the same address apart.
  static BOOL IsValidObject(const CProjectObject* object) { return live::IsRegistered(object) ? TRUE : FALSE; }
  static CProjectObject* FromSerial(ObjectSerial serial) { return live::Find(serial); }
  // A new empty object of the class of `code`; nullptr for codes the factory does not make.
  static std::unique_ptr<CProjectObject> CreateObjectOfType(TypeCode code);

  // Makes this temporary object stand for the top level: objects added to it become
  // roots of the document instead of its children.
  void MakeRootProxy(hv::IProjectDocument* document) { MakeRare().rootProxyOf = document; }
  bool IsRootProxy() const { return m_rare && m_rare->rootProxyOf != nullptr; }

  // Archives the name: wide when the class has wide names (or the name does not fit
  // Windows-1252), else narrow; loading accepts either form.
  virtual void Serialize(CArchive& ar);
  virtual UINT GetSchema() const { return 1; }

  // --- the operations the views call, in their traditional order ---
  virtual CPOProject* GetProject();
  virtual BOOL IsUnicodeName();
  // Takes the child; returns it, or nullptr when refused (the child is then released).
  virtual CProjectObject* AddChild(std::unique_ptr<CProjectObject> child);
  virtual BOOL HasTreeChildren();
  virtual int Compare(const CProjectObject* other, int column);
  virtual BOOL WriteToClipboard(CArchive& ar);
  // Set before a copy (1) or cut (0) is written; only projects keep it.
  virtual void SetCopyFlag(int) {}
  virtual BOOL Cut(CArchive& ar);
  virtual BOOL Delete();
  virtual BOOL Edit();
  virtual wxString GetClipboardFormatName();
  virtual wxString GetColumnText(int column);
  virtual int AddImageToList(CImageList& images, int size);
  virtual int GetImage();
  virtual std::span<ColumnDef> GetColumnDefs();
  virtual int GetSelectedImage();
  virtual int GetContextMenuId();
  virtual TypeCode GetTypeCode();
  virtual BOOL HasListChildren();
  virtual BOOL KeepWhenEmpty();
  virtual BOOL IsShownInTree();
  virtual BOOL LoadChildren();
  virtual BOOL QueryClipboardFiles();
  virtual BOOL PasteClipboardFiles();
  virtual BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ);
  virtual void OnColumnDblClick(int column);
  virtual void AdjustContextMenu(CMenu& menu);
  virtual BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target);
  virtual BOOL IsStale();
  virtual wxString GetListCaption();
  virtual BOOL IsPasteTarget();
  // TRUE for classes that write and read their own clipboard data. The base writes
  // nothing: copy, cut and paste of other classes would claim a transfer that never
  // happened, so they are not offered.
  virtual BOOL HasClipboardSupport();
  // After ReadFromClipboard refused the object on a device: whether it belongs in the
  // device's own child of its kind and is to be read again there. FALSE when the
  // refusal was final (the user was told or said no).
  virtual BOOL RetryBelowDevice() { return TRUE; }

  // Sends an update hint to every view of the active document (no sender).
  static void UpdateAllViews(int hint, CProjectObject* object);

  HV_DECLARE_COMMAND_MAP()

 protected:
  // "&Neu...": asks for the kind and creates it at the right place, making missing
  // grouping folders on the way.
  void OnNew();
  // "Ändern", "Neue Kopie...", "Log. ID ändern" work on one object only.
  void OnUpdateEditCommands(CCmdUI* pCmdUI);

 public:
  // Shared handlers that a class puts into its own map:
  // "Löschen": Delete, and on TRUE the object leaves its parent. Each selected object
  // is offered the command in turn.
  void OnDelete();
  // "Neues Object": a new object of this class beside this one, made once however many
  // are selected.
  void OnNewObject();
  // "Neue Kopie...": a copy of this object beside it, made once.
  void OnNewCopy();
  // "Neuen Wert lesen" on a row with no value of its own (a network, the I/O
  // configuration): among several rows the points after it are read; alone it is off.
  void OnPassReadValue() {}
  void OnUpdatePassReadValue(CCmdUI* cmdUI) {
    if (!IsMultipleSelection()) cmdUI->Enable(FALSE);
  }

 private:
  friend class CTavProjectDoc;   // roots have no parent
  void InitPlaced(CProjectObject* parent);
  // Closes the places of removed children.
  void CloseUp();
  CProjectObject* CreateInContainers(CProjectObject& prototype, TypeCode first, TypeCode second);

  // What few objects have stays out of the many list rows.
  struct Rare {
    wxString parentFolderKey;
    hv::IProjectDocument* rootProxyOf = nullptr;
    int expanded = 0;
  };
  Rare& MakeRare();

  ObjectSerial m_serial;
  CPOProject* m_project = nullptr;
  CPOPrjDevice* m_device = nullptr;
  CProjectObject* m_parent = nullptr;
  using Children = std::vector<std::unique_ptr<CProjectObject>>;
  const Children& Kids() const;

  // Made with the first child: most objects (the list rows) never have one.
  std::unique_ptr<Children> m_children;
  std::unique_ptr<Rare> m_rare;
  wxString m_name;
  int m_level = 0;
  std::uint32_t m_place = 0;         // index in the parent's child list
  std::uint32_t m_emptyPlaces = 0;   // places of removed children in this one's list
  bool m_multipleSelection = false;
  bool m_lastOfSelection = true;
  bool m_firstOfSelection = true;
  bool m_hasChildList = false;
};
