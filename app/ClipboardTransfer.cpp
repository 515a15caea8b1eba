#include "app/ClipboardTransfer.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "model/ClipboardBlock.h"
#include "framework/ClipboardStore.h"
#include "framework/LocalTables.h"
#include "framework/StagedCopies.h"
#include "model/ChildLoads.h"
#include "app/TavProjectDoc.h"
#include "framework/UpdateHints.h"
#include "model/DataPointFrames.h"
#include "model/DataPointRowScope.h"
#include "model/LongWork.h"
#include "model/ModelServices.h"
#include "model/ProjectObject.h"
#include "framework/Services.h"
#include "platform/HeapTrim.h"
#include "platform/Ui.h"

namespace {

BOOL g_copyFlag = TRUE;

// The last cut we put on the clipboard, to tell at program end whether it is still
// there unpasted.
struct LastCut {
  wxString format;
  std::string bytes;
};
LastCut g_lastCut;

void ReportWriteFailure(const wxString& name) {
  hv::ShowMessageF(10980, wxS("Das Objekt '%s' konnte nicht in die Zwischenablage übertragen werden!"),
                   MB_OK | MB_ICONEXCLAMATION, name);
}

void ReportDamagedBlock() {
  hv::ShowMessage(10981,
                  wxS("Die Daten in der Zwischenablage sind unvollständig oder beschädigt und werden nicht eingefügt!"),
                  MB_OK | MB_ICONEXCLAMATION);
}

// Writes one object's frame. Copies keep only objects that wrote their data; cuts keep
// the frame whatever Cut answered, since the object may already have lost its storage.
// Returns what WriteToClipboard or Cut answered (FALSE after an archive failure).
// Whether objects of the class behind `code` carry their own clipboard data. A code
// the factory does not make by type is left to the objects read at paste time.
bool ClassHasClipboard(TypeCode code) {
  std::unique_ptr<CProjectObject> prototype = CProjectObject::CreateObjectOfType(code);
  if (!prototype) return true;
  const bool has = prototype->HasClipboardSupport();
  CProjectObject::Discard(std::move(prototype));
  return has;
}

// What may leave by copy or cut: an object with clipboard data of its own.
bool Transferable(const CProjectObject& object) {
  return const_cast<CProjectObject&>(object).HasClipboardSupport() != FALSE;
}

// The tree never copies or cuts a project folder.
bool TreeTransferable(const CProjectObject& object) {
  return Transferable(object) && const_cast<CProjectObject&>(object).GetTypeCode() != TypeCode::PrjFolder;
}

BOOL WriteObject(ClipboardBlockWriter& writer, CProjectObject& object, bool cut) {
  if (!Transferable(object)) return FALSE;
  try {
    hv::Archive& ar = writer.BeginObject(object);
    const BOOL ok = cut ? object.Cut(ar) : object.WriteToClipboard(ar);
    if (ok || cut) writer.EndObject();
    else writer.DropObject();
    return ok;
  } catch (const hv::ArchiveException&) {
    writer.DropObject();
    ReportWriteFailure(object.GetName());
    return FALSE;
  }
}

// Puts the block on the clipboard; the staged copies written for it then belong to
// the clipboard's contents.
bool Publish(const wxString& format, ClipboardBlockWriter& writer, bool cut, const wxString& name) {
  if (writer.Count() == 0) {
    staging::AbandonContents();
    return false;
  }
  std::string bytes = writer.Finish();
  const std::size_t size = bytes.size();
  LastCut last = cut ? LastCut{format, bytes} : LastCut{};
  const bool put = ClipboardStore().Put(format, std::move(bytes));
  // The clipboard holds its own copy now: what the block took goes back.
  hv::ReturnFreedMemory(size);
  if (!put) {
    staging::AbandonContents();
    ReportWriteFailure(name);
    return false;
  }
  staging::CommitContents();
  g_lastCut = std::move(last);
  return true;
}

void SetProjectFlag(CProjectObject& object, int copy) {
  if (object.GetTypeCode() == TypeCode::Project) object.SetCopyFlag(copy);
}

bool TakesClipboardFiles(CProjectObject& target) {
  const TypeCode code = target.GetTypeCode();
  return code == TypeCode::Documents || code == TypeCode::Project;
}

std::optional<ClipboardBlock> ReadBlock(IClipboardStore& store, const wxString& format) {
  // A paste that comes while another waits for the clipboard's owner does nothing: the
  // first one tells how it ended.
  static bool waiting = false;
  if (waiting) return std::nullopt;
  waiting = true;
  std::optional<std::string> bytes = store.Get(format);
  waiting = false;
  if (!bytes) {
    // Offered, but the program holding the clipboard did not hand them over in time.
    hv::ShowMessage(13957,
                    wxS("Das Programm, dem die Zwischenablage gehört, hat ihren Inhalt nicht geliefert. Es wurde nichts "
                        "eingefügt."),
                    MB_OK | MB_ICONEXCLAMATION);
    return std::nullopt;
  }
  std::optional<ClipboardBlock> block = ParseClipboardBlock(*bytes);
  if (!block) ReportDamagedBlock();
  return block;
}

// The object's own data, read into the object placed under `parent`. Garbled data
// count as a failed read; the frame keeps the next object's data apart.
bool ReadInto(CProjectObject& object, const std::string& data, CProjectObject* parent) {
  hv::Archive ar(data);
  try {
    return object.ReadFromClipboard(ar, parent) != FALSE;
  } catch (const hv::ArchiveException&) {
    return false;
  }
}

// The folders the running paste put objects into, each once.
std::vector<ObjectRef> g_pastedInto;

void Announce(CProjectObject* object) {
  CProjectObject::UpdateAllViews(HINT_OBJECT_ADDED, object);
  if (!CProjectObject::IsValidObject(object)) return;
  const ObjectRef parent(object->GetParent());
  if (parent.IsValid() && std::find(g_pastedInto.begin(), g_pastedInto.end(), parent) == g_pastedInto.end())
    g_pastedInto.push_back(parent);
}

// A data point pasted where the other kind belongs becomes that kind.
std::unique_ptr<CProjectObject> ConvertDataPoint(std::unique_ptr<CProjectObject> object, CProjectObject& target) {
  const TypeCode own = object->GetTypeCode();
  const TypeCode at = target.GetTypeCode();
  const bool wanted = (own == TypeCode::DirectDataPoint && at == TypeCode::Device) ||
                      (own == TypeCode::DataPoint && at == TypeCode::PrjDataPoint);
  if (!wanted) return object;
  std::unique_ptr<CProjectObject> made = hv::Service<hv::IDataPointConversion>().Convert(*object, target);
  if (!made) return object;
  CProjectObject::Discard(std::move(object));
  return made;
}

// Whether an object of `code` belongs directly in `parent`.
bool FitsDirectly(CProjectObject& parent, TypeCode code) {
  const TypeCode at = parent.GetTypeCode();
  return code != TypeCode::None && (GetParentTypeCode(code) == at || (parent.IsPasteTarget() && code == at));
}

// Only grouping folders are looked through and made on the way; a level of real
// objects (a network, a device) never is.
bool IsGroupingKind(TypeCode code) {
  for (const ObjectClassRow& row : GetObjectClassRows()) {
    if (row.typeCode == 0) break;
    if (row.typeCode == ToUInt(code)) return row.container == 1;
  }
  return false;
}

struct Container {
  CProjectObject* object = nullptr;
  bool made = false;   // made by this paste
};

// The holder's children are read once in this paste, as a view reads what it shows: a
// folder that is not loaded yet is found, not made twice, and the views take them as
// they are for the rest of the command, so a folder made here, still empty, is not
// dropped as empty by a view reading them again when it is announced.
Container FindOrMake(CProjectObject& holder, TypeCode kind, CPOPrjDevice* device) {
  if (!childloads::Fresh(holder, false)) {
    const ObjectRef ref(&holder);
    childloads::Load(holder);
    if (!ref.IsValid()) return {};
  }
  if (CProjectObject* found = holder.FindChildOfType(kind)) return {found, false};
  std::unique_ptr<CProjectObject> maker = CProjectObject::CreateObjectOfType(kind);
  if (!maker) return {};
  maker->CreateNew(&holder, device, nullptr);
  CProjectObject::Discard(std::move(maker));
  CProjectObject* found = holder.FindChildOfType(kind);
  return {found, found != nullptr};
}

// What a paste brings along (the pictures of a screen) may fill a folder beside the one
// pasted into that was not there: the grouping folders above read their children again
// when they are out of date, and the views show what that added once the command is over.
class PasteScope {
 public:
  PasteScope() { g_pastedInto.clear(); }
  ~PasteScope() {
    std::vector<ObjectRef> folders;
    folders.swap(g_pastedInto);
    std::vector<ObjectRef> done;
    for (const ObjectRef& folder : folders) {
      CProjectObject* object = folder.Get();
      for (CProjectObject* holder = object ? object->GetParent() : nullptr;
           holder && IsGroupingKind(holder->GetTypeCode()); holder = holder->GetParent()) {
        const ObjectRef ref(holder);
        if (std::find(done.begin(), done.end(), ref) != done.end()) break;
        done.push_back(ref);
        if (!holder->HasNoChildren() && holder->IsStale()) childloads::Load(*holder);
        if (!ref.IsValid()) break;
      }
    }
  }
  PasteScope(const PasteScope&) = delete;
  PasteScope& operator=(const PasteScope&) = delete;
};

// A container that existed before keeps its children; only one made here goes again.
void RemoveIfMade(CProjectObject& holder, const Container& container) {
  if (container.made && CProjectObject::IsValidObject(container.object)) holder.RemoveChild(container.object);
}

// A device refused the object's data: the object goes into the device's own child of
// that kind (made when missing), as a fresh object with the same base fields. TRUE
// when it arrived there.
bool RetryInDeviceChild(CProjectObject& device, CProjectObject& refused, const std::string& data) {
  if (!refused.RetryBelowDevice()) {
    device.RemoveChild(&refused);
    return false;
  }
  const TypeCode kind = refused.GetTypeCode();
  std::unique_ptr<CProjectObject> fresh = CProjectObject::CreateObjectOfType(kind);
  if (fresh) fresh->CopyBaseFrom(refused);
  device.RemoveChild(&refused);
  if (!fresh) return false;
  Container holder{device.FindChildOfType(kind), false};
  if (!holder.object) holder = FindOrMake(device, kind, device.GetDevice());
  if (!holder.object) {
    CProjectObject::Discard(std::move(fresh));
    return false;
  }
  CProjectObject* added = holder.object->AddChild(std::move(fresh));
  if (!added) {
    RemoveIfMade(device, holder);
    return false;
  }
  if (ReadInto(*added, data, holder.object)) {
    Announce(added);
    return true;
  }
  holder.object->RemoveChild(added);
  RemoveIfMade(device, holder);
  return false;
}

bool PasteIntoContainers(CProjectObject& target, std::unique_ptr<CProjectObject> object, const std::string& data,
                         TypeCode outerKind, TypeCode innerKind) {
  CPOPrjDevice* device = target.GetDevice();
  Container outer = FindOrMake(target, outerKind, device);
  if (!outer.object) return false;
  Container inner{outer.object, false};
  if (innerKind != TypeCode::None) {
    inner = FindOrMake(*outer.object, innerKind, device);
    if (!inner.object) {
      RemoveIfMade(target, outer);
      return false;
    }
  }
  auto undo = [&] {
    if (inner.object != outer.object) RemoveIfMade(*outer.object, inner);
    RemoveIfMade(target, outer);
  };
  CProjectObject* added = inner.object->AddChild(std::move(object));
  if (!added) {
    undo();
    return false;
  }
  if (ReadInto(*added, data, inner.object)) {
    Announce(added);
    return true;
  }
  inner.object->RemoveChild(added);
  undo();
  return false;
}

// TRUE when the object arrived below the target.
bool PasteTreeItem(CProjectObject& target, ClipboardBlockItem& item) {
  std::unique_ptr<CProjectObject> object = ConvertDataPoint(std::move(item.object), target);
  if (!object->HasClipboardSupport()) {
    CProjectObject::Discard(std::move(object));   // it could not read what it claims to be
    return false;
  }
  const TypeCode own = object->GetTypeCode();
  const TypeCode at = target.GetTypeCode();
  if (FitsDirectly(target, own)) {
    CProjectObject* added = target.AddChild(std::move(object));
    if (!added) return false;
    if (ReadInto(*added, item.data, &target)) {
      Announce(added);
      return true;
    }
    if (at == TypeCode::PrjDevice) return RetryInDeviceChild(target, *added, item.data);
    target.RemoveChild(added);
    return false;
  }
  const TypeCode inner = GetParentTypeCode(own);
  const TypeCode outer = GetParentTypeCode(inner);
  if (own != TypeCode::None && outer == at && inner != at && IsGroupingKind(inner))
    return PasteIntoContainers(target, std::move(object), item.data, inner, TypeCode::None);
  if (own != TypeCode::None && GetParentTypeCode(outer) == at && outer != at && IsGroupingKind(outer) &&
      IsGroupingKind(inner))
    return PasteIntoContainers(target, std::move(object), item.data, outer, inner);
  CProjectObject::Discard(std::move(object));   // does not belong here
  return false;
}

// From the tree's empty-area menu: the first project folder becomes a new root.
void PasteAtTopLevel(ClipboardBlock& block) {
  hv::IProjectDocument* doc = CProjectObject::GetActiveDocument();
  if (!doc) return;
  for (ClipboardBlockItem& item : block.items) {
    if (item.object->GetTypeCode() != TypeCode::PrjFolder) continue;
    if (!item.object->HasClipboardSupport()) return;
    CProjectObject* added = doc->AddRoot(std::move(item.object));
    if (ReadInto(*added, item.data, nullptr)) Announce(added);
    else doc->RemoveObject(added);
    return;
  }
}

// Cut objects are pasted once; a paste that added none of them leaves them on the
// clipboard, where they are the only copy left.
void FinishPaste(IClipboardStore& store, const ClipboardBlock& block, std::size_t added) {
  if (g_copyFlag && !block.cut) return;
  if (block.cut && added == 0) return;
  if (store.Clear()) {
    staging::ReleaseContents();
    g_lastCut = LastCut{};
  }
}

// One pass over the clipboard's formats, as both paste tests make it.
template <class Fits>
BOOL FindPasteFormat(CProjectObject& target, Fits fits, wxString* format) {
  bool askedFiles = false;
  for (const wxString& name : ClipboardStore().Formats()) {
    if (name.StartsWith("POCT")) {
      TypeCode code, alternative;
      if (!ParseClipboardFormatName(name, code, alternative)) continue;
      if (!ClassHasClipboard(code)) continue;
      if (fits(code) || (target.IsPasteTarget() && code == target.GetTypeCode()) ||
          (alternative != TypeCode::None && fits(alternative))) {
        if (format) *format = name;
        return TRUE;
      }
    } else if (!askedFiles && TakesClipboardFiles(target)) {
      askedFiles = true;
      if (target.QueryClipboardFiles()) {
        if (format) format->clear();
        return TRUE;
      }
    }
  }
  return FALSE;
}

}  // namespace

BOOL GetClipboardCopyFlag() { return g_copyFlag; }
void SetClipboardCopyFlag(BOOL copy) { g_copyFlag = copy ? TRUE : FALSE; }

// --- tree ---

BOOL TreeCanCopy(const ObjectRef& selected) {
  const CProjectObject* object = selected.Get();
  return object && TreeTransferable(*object) ? TRUE : FALSE;
}

void TreeCopy(const ObjectRef& selected) {
  DispatchScope scope;
  g_copyFlag = TRUE;
  CProjectObject* object = selected.Get();
  if (!object || !TreeTransferable(*object)) return;
  SetProjectFlag(*object, 1);
  staging::BeginContents();
  ClipboardBlockWriter writer(false);
  WriteObject(writer, *object, false);
  Publish(object->GetClipboardFormatName(), writer, false, object->GetName());
}

void TreeCut(const ObjectRef& selected) {
  DispatchScope scope;
  g_copyFlag = FALSE;
  CProjectObject* object = selected.Get();
  if (!object || !TreeTransferable(*object)) return;
  // The cut removes the object's storage: make sure its data can reach the clipboard.
  if (!ClipboardStore().CanOpen()) {
    ReportWriteFailure(object->GetName());
    return;
  }
  const wxString format = object->GetClipboardFormatName();
  const wxString name = object->GetName();
  SetProjectFlag(*object, 0);
  staging::BeginContents();
  ClipboardBlockWriter writer(true);
  const BOOL cut = WriteObject(writer, *object, true);
  Publish(format, writer, true, name);
  if (!cut || !CProjectObject::IsValidObject(object)) return;
  if (CProjectObject* parent = object->GetParent()) {
    parent->RemoveChild(object);
  } else if (hv::IProjectDocument* doc = CProjectObject::GetActiveDocument()) {
    doc->RemoveObject(object);
  }
}

BOOL TreeCanPaste(const ObjectRef& target, bool emptyAreaMenu, wxString* format) {
  if (emptyAreaMenu) {
    // Only a project folder goes to the top level, and it needs no target.
    for (const wxString& name : ClipboardStore().Formats()) {
      TypeCode code, alternative;
      if (ParseClipboardFormatName(name, code, alternative) && code == TypeCode::PrjFolder &&
          alternative == TypeCode::None) {
        if (format) *format = name;
        return TRUE;
      }
    }
    return FALSE;
  }
  CProjectObject* object = target.Get();
  if (!object) return FALSE;
  const TypeCode at = object->GetTypeCode();
  return FindPasteFormat(*object, [at](TypeCode code) { return IsValidParentType(at, code) != FALSE; }, format);
}

void TreePaste(const ObjectRef& target, bool emptyAreaMenu) {
  DispatchScope scope;
  PasteScope paste;
  IClipboardStore& store = ClipboardStore();
  if (!emptyAreaMenu) {
    CProjectObject* object = target.Get();
    if (!object) return;
    if (TakesClipboardFiles(*object) && object->PasteClipboardFiles()) return;
  }
  wxString format;
  if (!TreeCanPaste(target, emptyAreaMenu, &format) || format.empty()) return;
  std::optional<ClipboardBlock> block = ReadBlock(store, format);
  if (!block) return;
  if (emptyAreaMenu) {
    PasteAtTopLevel(*block);
    return;
  }
  std::size_t added = 0;
  for (ClipboardBlockItem& item : block->items) {
    CProjectObject* object = target.Get();
    if (!object) break;
    if (PasteTreeItem(*object, item)) ++added;
  }
  FinishPaste(store, *block, added);
}

// --- list ---

BOOL ListCanCopy(std::span<const ObjectRef> selectedRows) {
  bool any = false;
  for (const ObjectRef& row : selectedRows) {
    const CProjectObject* object = row.Get();
    if (!object) continue;
    if (!Transferable(*object)) return FALSE;
    any = true;
  }
  return any ? TRUE : FALSE;
}

void ListCopy(std::span<const ObjectRef> selectedRows) {
  DispatchScope scope;
  g_copyFlag = TRUE;
  staging::BeginContents();
  ClipboardBlockWriter writer(false);
  wxString format, name;
  ObjectRef last;
  // Data points of one device read their rows through one table handle.
  DataPointRowScope rows;
  hv::LongWork work(selectedRows.size());
  // Data points alone are assembled in one go; anything else one object at a time.
  DataPointCopyResult batch;
  if (CopyDataPointsAtOnce(selectedRows, writer, work, batch)) {
    last = batch.last;
    for (const wxString& failed : batch.failed) ReportWriteFailure(failed);
  } else {
    for (const ObjectRef& row : selectedRows) {
      work.Step();
      CProjectObject* object = row.Get();
      if (!object) continue;
      if (WriteObject(writer, *object, false)) last = row;
    }
  }
  // The block travels under the format of the last object in it.
  if (CProjectObject* object = last.Get()) {
    format = object->GetClipboardFormatName();
    name = object->GetName();
  }
  Publish(format, writer, false, name);
}

void ListCut(std::span<const ObjectRef> selectedRows) {
  DispatchScope scope;
  std::vector<ObjectRef> rows;
  for (const ObjectRef& row : selectedRows)
    if (row.IsValid() && Transferable(*row.Get())) rows.push_back(row);
  if (rows.empty()) return;
  if (!ClipboardStore().CanOpen()) {
    ReportWriteFailure(rows.back().Get()->GetName());
    return;
  }
  const bool several = rows.size() > 1;
  staging::BeginContents();
  ClipboardBlockWriter writer(true);
  // Format and name of each frame kept; the block travels under the last one's format.
  std::vector<std::pair<wxString, wxString>> kept;
  hv::LongWork work(rows.size());
  for (const ObjectRef& row : rows) {
    work.Step();
    CProjectObject* object = row.Get();
    if (!object) continue;
    CProjectObject* parent = object->GetParent();
    if (!CProjectObject::IsValidObject(parent)) continue;
    const std::pair<wxString, wxString> id{object->GetClipboardFormatName(), object->GetName()};
    SetProjectFlag(*object, 0);
    object->SetMultipleSelection(several ? TRUE : FALSE);
    const std::size_t before = writer.Count();
    const BOOL cut = WriteObject(writer, *object, true);
    if (writer.Count() > before) kept.push_back(id);
    if (cut) {
      if (CProjectObject::IsValidObject(object) && CProjectObject::IsValidObject(parent)) parent->RemoveChild(object);
    } else if (CProjectObject::IsValidObject(object) && !object->IsMultipleSelection()) {
      // Its handler refused a multiple selection: it stays, and so does the rest.
      if (writer.Count() > before) {
        writer.DropLast();
        kept.pop_back();
      }
      break;
    }
  }
  if (kept.empty()) {
    staging::AbandonContents();
    return;
  }
  Publish(kept.back().first, writer, true, kept.back().second);
}

BOOL ListCanPaste(const ObjectRef& listed, wxString* format) {
  CProjectObject* object = listed.Get();
  if (!object) return FALSE;
  const TypeCode at = object->GetTypeCode();
  return FindPasteFormat(*object, [at](TypeCode code) { return GetParentTypeCode(code) == at; }, format);
}

void ListPaste(const ObjectRef& listed, const ObjectRef& firstSelectedRow) {
  DispatchScope scope;
  PasteScope paste;
  g_copyFlag = FALSE;
  IClipboardStore& store = ClipboardStore();
  CProjectObject* object = listed.Get();
  if (!object) return;
  if (TakesClipboardFiles(*object) && object->PasteClipboardFiles()) return;
  wxString format;
  if (!ListCanPaste(listed, &format) || format.empty()) return;
  std::optional<ClipboardBlock> block = ReadBlock(store, format);
  if (!block) return;
  std::size_t arrived = 0;
  for (ClipboardBlockItem& item : block->items) {
    CProjectObject* list = listed.Get();
    if (!list) break;
    std::unique_ptr<CProjectObject> pasted = ConvertDataPoint(std::move(item.object), *list);
    if (!pasted->HasClipboardSupport()) {
      CProjectObject::Discard(std::move(pasted));
      continue;
    }
    const TypeCode own = pasted->GetTypeCode();
    // A selected folder of the pasted kind, or of the listed object's kind, takes it.
    CProjectObject* parent = nullptr;
    if (CProjectObject* row = firstSelectedRow.Get()) {
      const TypeCode rowCode = row->GetTypeCode();
      if (((rowCode == own && row->IsPasteTarget()) || rowCode == list->GetTypeCode()) && FitsDirectly(*row, own))
        parent = row;
    }
    // Mixed selections travel under one format: each object is checked on its own.
    if (!parent && FitsDirectly(*list, own)) parent = list;
    if (!parent) {
      CProjectObject::Discard(std::move(pasted));
      continue;
    }
    CProjectObject* added = parent->AddChild(std::move(pasted));
    if (!added) continue;
    if (ReadInto(*added, item.data, parent)) {
      Announce(added);
      ++arrived;
    } else {
      parent->RemoveChild(added);
    }
  }
  FinishPaste(store, *block, arrived);
}

// --- program end ---

BOOL ClipboardHoldsUnpastedCut() {
  if (g_lastCut.bytes.empty()) return FALSE;
  const std::optional<std::string> bytes = ClipboardStore().Get(g_lastCut.format);
  return bytes && *bytes == g_lastCut.bytes ? TRUE : FALSE;
}

BOOL ConfirmCloseWithUnpastedCut() {
  if (!ClipboardHoldsUnpastedCut()) return TRUE;
  return hv::ShowMessage(10983,
                         wxS("Ausgeschnittene Objekte in der Zwischenablage wurden noch nicht eingefügt und gehen "
                             "beim Beenden verloren.\nTrotzdem beenden?"),
                         MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES
             ? TRUE
             : FALSE;
}
