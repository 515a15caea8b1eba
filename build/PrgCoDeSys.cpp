#include "build/PrgCoDeSys.h"

#include "build/CoDeSys.h"
#include "model/DeviceServices.h"
#include "model/ObjectSupport.h"
#include "platform/Localization.h"
#include "platform/Paths.h"

BEGIN_COMMAND_MAP(CPOPrgCoDeSys, CProjectObject)
  ON_COMMAND(ID_IMPORT_CODESYS_PROJECT, OnImportProject)
END_COMMAND_MAP()

namespace {

std::vector<FileEntry> ProgramFiles(CPOPrjDevice* device) {
  const wxString folder = DeviceSubFolder(device, wxS("CoDeSys"));
  return folder.empty() ? std::vector<FileEntry>() : ListFiles(folder, {"*.pro"});
}

}  // namespace

CPOPrgCoDeSys::CPOPrgCoDeSys() { SetName(hv::LocalString(10972, wxS("CoDeSys-Programme"))); }

CPOPrgCoDeSys::CPOPrgCoDeSys(CProjectObject* parent, CPOPrjDevice* device) : CProjectObject(parent, nullptr) {
  SetName(hv::LocalString(10972, wxS("CoDeSys-Programme")));
  PlaceBelow(*this, parent, device);
}

std::span<ColumnDef> CPOPrgCoDeSys::GetColumnDefs() { return GetColumnDefsOf(ColumnTableId::PrgCoDeSys); }

BOOL CPOPrgCoDeSys::HasListChildren() { return ProgramFiles(GetDevice()).empty() ? FALSE : TRUE; }

BOOL CPOPrgCoDeSys::LoadChildren() {
  ChildPool pool(*this);
  for (const FileEntry& file : ProgramFiles(GetDevice())) {
    std::unique_ptr<CProjectObject> child = pool.Take([&](CProjectObject& o) {
      return std::string_view(o.ClassName()) == CPOCoDeSys::kClassName &&
             static_cast<CPOCoDeSys&>(o).GetPath() == file.path;
    });
    if (!child) {
      child = std::make_unique<CPOCoDeSys>(this, GetDevice());
      child->SetName(hv::PathStem(file.name));
    }
    static_cast<CPOCoDeSys&>(*child).SetFile(file.path, file.TimeSeconds());
    AddChild(std::move(child));
  }
  return TRUE;
}

BOOL CPOPrgCoDeSys::CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject*) {
  return CreateGroupingNode<CPOPrgCoDeSys>(parent, device);
}

BOOL CPOPrgCoDeSys::OnImportProject(UINT id) {
  CProjectObject* device = devsvc::DeviceObject(GetDevice());
  if (!device) return FALSE;
  return device->OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
}
