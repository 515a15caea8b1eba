// Operations of a device on its folder as a whole: delete, paste of a copied device,
// import of a CoDeSys project file.
#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/FolderCopy.h"
#include "framework/FolderUtils.h"
#include "framework/UpdateHints.h"
#include "model/DeviceTexts.h"
#include "model/NewDevice.h"
#include "model/PrjDevice.h"
#include "model/RestoreEngine.h"
#include "model/SuiteTools.h"
#include "platform/Codec.h"
#include "platform/FileSteps.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"
#include "platform/WorkClaims.h"
#include "platform/dbase/DbLib.h"
#include "platform/online/PluginRegistry.h"

namespace {

constexpr UINT kInfo = MB_OK | MB_ICONINFORMATION;
constexpr UINT kWarn = MB_OK | MB_ICONEXCLAMATION;

// Moves the data points of device `from` in the folder's DATPKT to device `to`.
bool RenumberDataPoints(const wxString& folder, std::uint16_t from, std::uint16_t to) {
  using namespace hv::db;
  if (from == to) return true;
  Table t;
  if (!t.open(folder, DatpktSchema())) return !hv::IsFile(hv::ResolvePath(hv::JoinPath(folder, "DATPKT.DBF")));
  DatpktRow dp;
  // Each update moves the record out of the walk: seek again, bounded by the table.
  for (std::uint32_t left = t.size(); left > 0 && datpkt_select(t, dp, kSeek, "GNR", {from}); --left) {
    dp.device = to;
    if (!datpkt_update(t, dp)) return false;
  }
  return !datpkt_select(t, dp, kSeek, "GNR", {from});
}

// Copies a file, replacing the target only when asked; 0 or the error number.
int CopyFileTo(const wxString& source, const wxString& target, bool overwrite) {
  if (!overwrite && hv::PathExists(target)) return EEXIST;
  std::string bytes;
  errno = 0;
  if (!hv::ReadFileBytes(source, bytes)) return errno ? errno : EIO;
  errno = 0;
  if (!hv::WriteFileAtomic(target, bytes)) return errno ? errno : EIO;
  return 0;
}

// A paste that failed says so, and why where the reason is known.
BOOL ReportPasteFailure(const wxString& name, const wxString& why) {
  wxString text = wxString::Format(hv::LocalString(11961, wxS("Das Gerät '%s' konnte nicht eingefügt werden.")), name);
  if (!why.empty()) text += wxS("\n") + why;
  hv::Ui().Message(11961, text, kWarn);
  return FALSE;
}

// Names below the folder that are not UTF-8 (the copy leaves such files out).
std::vector<std::string> UnreadableNamesBelow(const wxString& folder) {
  std::vector<std::string> found = hv::UnreadableNames(folder);
  for (const wxString& name : hv::ListFolder(folder)) {
    const wxString path = hv::JoinPath(folder, name);
    struct stat st;
    if (lstat(hv::ToFs(path).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    for (std::string& n : UnreadableNamesBelow(path)) found.push_back(std::move(n));
  }
  return found;
}

}  // namespace

void CPOPrjDevice::OnDelete() {
  DispatchScope scope;
  CProjectObject* parent = GetParent();
  if (!parent) return;
  if (hv::ShowMessageF(10030, wxS("Sind Sie sicher, daß Sie das Gerät '%s' löschen wollen?"), MB_YESNO | MB_ICONQUESTION,
                       GetName()) != IDYES)
    return;
  if (IsGraphToolWindowOpen()) {
    hv::ShowMessage(10074, wxS("Um diese Funktion ausführen zu können, müssen Sie TavGraph beenden!"), kInfo);
    SetMultipleSelection(FALSE);
    return;
  }
  if (IsScreenDesignerWindowOpen()) {
    hv::ShowMessage(10165, wxS("Um diese Funktion ausführen zu können, müssen Sie den Designer beenden!"), kInfo);
    SetMultipleSelection(FALSE);
    return;
  }
  const wxString title = wxString::Format(hv::LocalString(10178, wxS("Gerät '%s' wird gelöscht.")), GetName());
  hv::db::dbank_close();
  if (!m_deviceFolder.empty() && DeleteFiles(title, FALSE, hv::ResolvePath(m_deviceFolder))) {
    parent->RemoveChild(this);
    return;
  }
  if (IsSuiteProcessRunning(wxS("codesys.exe")))
    hv::ShowMessage(10610,
                    wxS("Das Gerät konnte nicht gelöscht werden!\n"
                        "Möglicherweise wird eine Datei des Geräts von CoDeSys verwendet.\n"
                        "Beenden Sie bitte CoDeSys und versuchen Sie es erneut."),
                    kWarn);
  if (IsSuiteProcessRunning(wxS("gateway.exe")))
    hv::ShowMessage(10611,
                    wxS("Das Gerät konnte nicht gelöscht werden!\n"
                        "Möglicherweise wird eine Datei des Geräts vom CoDeSys-Gateway verwendet.\n"
                        "Beenden Sie bitte den CoDeSys Gateway Server und versuchen Sie es erneut."),
                    kWarn);
}

BOOL CPOPrjDevice::ReadFromClipboard(CArchive&, CProjectObject* target) {
  using namespace hv::db;
  DispatchScope scope;
  if (!target || target->GetTypeCode() != TypeCode::Project) return FALSE;
  const wxString projectFolder = GetProjectFolderOf(target);
  const wxString source = hv::ResolvePath(m_deviceFolder);
  // The clipboard may come from anywhere: only a device folder is copied, and only
  // under a name that can be a folder's.
  if (projectFolder.empty() || m_deviceFolder.empty() || !hv::IsFile(hv::JoinPath(source, kDeviceSetFile))) return FALSE;
  const wxString sourceName = GetName();
  wxString name = NormalizeDeviceName(sourceName);
  if (!IsValidDeviceName(name)) return FALSE;

  {
    Table t;
    if (!t.open(source, GeraetSchema())) return FALSE;
    if (hv::PathExists(hv::JoinPath(projectFolder, name))) {
      GeraetRow row;
      for (int n = 1;; ++n) {
        // Base and number stay within a name's 30 characters.
        const wxString number = wxString::Format("%d", n);
        const wxString candidate = name.Left(kMaxDeviceName - number.length()) + number;
        if (!geraet_select(t, row, kSeek, "BEZEICH", {candidate}) &&
            !hv::PathExists(hv::JoinPath(projectFolder, candidate))) {
          name = candidate;
          break;
        }
      }
    }
  }

  // The copy is made and finished under a private name, then published with one
  // rename: a kill or failure never leaves a device of the new name behind.
  const wxString folder = hv::JoinPath(projectFolder, name);
  std::string pattern = hv::ToFs(hv::JoinPath(projectFolder, wxS(".halvora-stage-XXXXXX")));
  hv::FileStep();
  if (!mkdtemp(pattern.data())) return ReportPasteFailure(sourceName, hv::FromUtf8(std::strerror(errno)));
  const wxString stage = hv::FromFs(pattern);
  hv::WorkClaim claim;
  claim.ClaimFolder(stage);
  auto failed = [&](const wxString& why) {
    dbank_close();
    claim.Release();
    RemoveFolderTree(stage);
    return ReportPasteFailure(sourceName, why);
  };
  const wxString title = wxString::Format(hv::LocalString(10343, wxS("Gerät '%s' wird kopiert.")), sourceName);
  // Names that are not UTF-8 are left where they are, and the user is told.
  const std::vector<std::string> odd = UnreadableNamesBelow(source);
  bool cancelled = false;
  if (!ShellCopyFiles(hv::JoinPath(source, "*.*"), stage, title, &cancelled)) {
    if (!cancelled)
      return failed(hv::LocalString(11964, wxS("Die Dateien des Geräts konnten nicht kopiert werden "
                                              "(kein Platz auf dem Datenträger oder keine Schreibrechte).")));
    dbank_close();
    claim.Release();
    RemoveFolderTree(stage);
    return FALSE;
  }

  Table t;
  GeraetRow row;
  if (!t.open(stage, GeraetSchema()) || !geraet_select(t, row, kSeek, "BEZEICH", {sourceName})) return failed(t.error());
  // The copy is another device: its row is inserted anew for a number of its own, and
  // its data points follow it to that number.
  const std::uint16_t oldNumber = row.number;
  GeraetRow own = row;
  own.name = name.Left(kStoredDeviceName);
  if (!geraet_insert(t, own)) return failed(t.error());
  if (!geraet_select(t, row, kSeek, "-GNR", {oldNumber}) || !geraet_delete(t)) return failed(t.error());
  t.close();
  if (!RenumberDataPoints(stage, oldNumber, own.number)) return failed(wxString());
  dbank_close();
  hv::db::DropCachedTables();
  // The stage was private (mkdtemp's 0700); the device folder is as any other.
  hv::FileStep();
  if (chmod(hv::ToFs(stage).c_str(), hv::NewFolderMode()) != 0) return failed(hv::FromUtf8(std::strerror(errno)));
  wxString error;
  if (!MoveFolderNoReplace(stage, folder, &error)) return failed(error);
  claim.Release();
  hv::FileStep();
  unlink(hv::ToFs(hv::JoinPath(folder, hv::WorkOwnerFile())).c_str());

  const wxString collapsed = CollapsePathMacros();
  SetDeviceFolder(folder);
  ExpandPathMacros(collapsed);
  SetName(name);
  SetDeviceNumber(own.number);
  SetDeviceDriver(wxString(own.type).Trim(true));
  SetDriverDisplayText(hv::PluginRegistry::Get().DeviceDisplayName(GetDeviceDriver()));
  ReadDeviceSet();
  if (!odd.empty()) {
    wxString list;
    for (const std::string& n : odd) list += wxS("\n") + wxString::From8BitData(n.c_str());
    hv::Ui().Message(11962, hv::LocalString(11962, wxS("Diese Dateien wurden nicht kopiert, ihre Namen sind kein UTF-8:")) + list,
                     kInfo);
  }
  return TRUE;
}

void CPOPrjDevice::ImportCoDeSysProject() {
  OpenFileRequest request;
  request.filter = hv::LocalString(TXT_CODESYS_PROJECT_FILE, wxS("CoDeSys Projektdatei")) + wxS(" (*.pro)|*.pro|");
  request.defaultExtension = wxS("pro");
  request.fileName = wxS("*.pro");
  if (hv::Ui().Run(request) != IDOK || request.path.empty() || m_deviceFolder.empty()) return;

  const wxString source = hv::ResolvePath(hv::NormalizePath(request.path));
  const wxString folder = hv::ResolvePath(hv::JoinPath(m_deviceFolder, "CoDeSys"));
  hv::MakeFolders(folder);
  const wxString target = hv::ResolvePath(hv::JoinPath(folder, hv::PathName(source)));
  int error = CopyFileTo(source, target, false);
  if (error == EEXIST &&
      hv::ShowMessageF(10206, wxS("Die Datei %s existiert bereits!\nÜberschreiben?"), MB_YESNO | MB_ICONQUESTION,
                       target) == IDYES)
    error = CopyFileTo(source, target, true);
  if (error != 0 && error != EEXIST)
    hv::ShowMessageF(TXT_FILE_NOT_COPIED, wxS("Die Datei %s konnte nicht kopiert werden!\nFehlercode: %d"), kWarn,
                     source, error);
  if (hv::IsFile(target)) {
    struct stat st;
    if (stat(hv::ToFs(target).c_str(), &st) == 0) chmod(hv::ToFs(target).c_str(), (st.st_mode & 07777) | S_IWUSR);
    UpdateAllViews(HINT_REBUILD_TREE, nullptr);
  }
}
