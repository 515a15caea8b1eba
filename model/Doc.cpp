#include "model/Doc.h"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "framework/CommandIds.h"
#include "framework/StagedCopies.h"
#include "framework/UpdateHints.h"
#include "model/DocFiles.h"
#include "model/Documents.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/ShellOpen.h"
#include "platform/Ui.h"

BEGIN_COMMAND_MAP(CPODoc, CProjectObject)
  ON_COMMAND(ID_OBJECT_EDIT, OnOpen)
  ON_COMMAND(ID_DOCUMENT_DELETE, OnDelete)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateCopy)
END_COMMAND_MAP()

namespace {

void ReportCopyError(const wxString& name) {
  hv::ShowMessageF(10982, wxS("Die Datei %s konnte nicht kopiert werden!"), MB_OK | MB_ICONEXCLAMATION, name);
}

void ReportMissingCopy(const wxString& name) {
  hv::ShowMessageF(10113, wxS("Die temporäre Kopie für die Datei %s existiert nicht!"), MB_OK | MB_ICONEXCLAMATION,
                   name);
}

template <class T>
int Order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

bool CPODoc::SetFile(const wxString& path) {
  struct stat st;
  if (stat(hv::ToFs(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  m_path = path;
  SetName(docfiles::BaseName(path));
  m_size = static_cast<std::uint64_t>(st.st_size);
  m_writeTime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  m_sizeText = FormatSize(m_size);
  m_dateText = FormatTime(m_writeTime);
  return true;
}

wxString CPODoc::FormatSize(std::uint64_t bytes) {
  return wxString::Format("%ld KB", static_cast<long>(bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0)));
}

wxString CPODoc::FormatTime(std::int64_t nanoseconds) {
  // Whole seconds, rounded towards the past also before 1970.
  std::int64_t seconds = nanoseconds / 1000000000;
  if (nanoseconds % 1000000000 < 0) --seconds;
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&t, &local)) return wxString();
  return wxString::Format("%02d.%02d.%4d %02d:%02d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900,
                          local.tm_hour, local.tm_min);
}

void CPODoc::Serialize(CArchive& ar) {
  CProjectObject::Serialize(ar);
  if (ar.IsStoring()) {
    // The record's size is 32 bits wide; a larger file shows the largest it can hold
    // until the pasted copy is listed from the disk.
    ar.WriteU32(static_cast<std::uint32_t>(std::min<std::uint64_t>(m_size, 0xFFFFFFFFu)));
    ar.WriteString(GetName(), !hv::FitsCp1252(GetName()));
    ar.WriteI32(m_smallImage);
    ar.WriteI32(m_largeImage);
  } else {
    m_size = ar.ReadU32();
    SetName(ar.ReadString());
    ar.ReadI32();
    ar.ReadI32();
    // Image positions belong to the lists of the program that wrote them.
    m_smallImage = m_largeImage = -1;
    m_sizeText = FormatSize(m_size);
  }
}

wxString CPODoc::GetColumnText(int column) {
  if (column == 3) return m_sizeText;
  if (column == 4) return m_dateText;
  return CProjectObject::GetColumnText(column);
}

int CPODoc::Compare(const CProjectObject* other, int column) {
  const CPODoc* doc = dynamic_cast<const CPODoc*>(other);
  if (doc && column == 3) return Order(m_size, doc->m_size);
  if (doc && column == 4) return Order(m_writeTime, doc->m_writeTime);
  return CProjectObject::Compare(other, column);
}

int CPODoc::GetImage() { return shellIcons.has && shellIcons.has(m_path) ? -1 : 8; }

int CPODoc::AddImageToList(CImageList& images, int kind) {
  int& index = kind == 3 ? m_largeImage : m_smallImage;
  if (index < 0 && shellIcons.add) index = shellIcons.add(images, kind, m_path);
  return index < 0 ? 2 : index;
}

BOOL CPODoc::Delete() { return docfiles::TrashFile(m_path) ? TRUE : FALSE; }

BOOL CPODoc::Cut(CArchive& ar) { return WriteToClipboard(ar) && Delete() ? TRUE : FALSE; }

BOOL CPODoc::WriteToClipboard(CArchive& ar) {
  const wxString staged = staging::StageCopy(m_path);
  if (staged.empty()) {
    ReportCopyError(GetName());
    return FALSE;
  }
  staging::WriteStagedPath(ar, staged);
  return TRUE;
}

BOOL CPODoc::ReadFromClipboard(CArchive& ar, CProjectObject* target) {
  wxString staged;
  try {
    staged = staging::ReadStagedPath(ar);
  } catch (const hv::ArchiveException&) {
    staged.clear();
  }
  // Only our own staged copies are taken: the path came from the clipboard.
  if (staged.empty() || !staging::IsStagedCopy(staged)) {
    ReportMissingCopy(GetName());
    return FALSE;
  }
  if (!target || target->GetTypeCode() != TypeCode::Documents || !dynamic_cast<CPODocuments*>(target)) return FALSE;
  if (!docfiles::IsPlainFileName(GetName())) {
    ReportCopyError(GetName());
    return FALSE;
  }
  return PlaceFile(staged, *target) ? TRUE : FALSE;
}

// Copies the staged file into the target's folder under the document's name. An
// existing file is replaced only when the user agrees, and only after the new copy
// is complete beside it.
bool CPODoc::PlaceFile(const wxString& staged, CProjectObject& target) {
  CPODocuments& folderNode = static_cast<CPODocuments&>(target);
  const wxString folder = folderNode.EnsureFolder();
  if (folder.empty()) return false;
  const wxString name = GetName();
  const wxString existing = docfiles::ExistingName(folder, name);
  const wxString destination = hv::JoinPath(folder, existing.empty() ? name : existing);
  if (!existing.empty()) {
    if (hv::ShowMessageF(10099, wxS("Die Datei %s ist bereits vorhanden!\nÜberschreiben?"), MB_YESNO | MB_ICONQUESTION,
                         name) != IDYES)
      return false;
    const wxString beside = staging::CopyBeside(staged, destination);
    if (beside.empty()) {
      ReportCopyError(name);
      return false;
    }
    // The old file stays recoverable from the recycle bin.
    docfiles::TrashFile(destination);
    if (rename(hv::ToFs(beside).c_str(), hv::ToFs(destination).c_str()) != 0) {
      unlink(hv::ToFs(beside).c_str());
      ReportCopyError(name);
      return false;
    }
    for (CProjectObject* child : target.GetChildren())
      if (child != this && child->GetName().CmpNoCase(existing) == 0) target.RemoveChild(child);
  } else if (staging::CopyRegularFile(staged, destination, false) != staging::CopyResult::Copied) {
    ReportCopyError(name);
    return false;
  }
  return SetFile(destination);
}

void CPODoc::OnColumnDblClick(int column) {
  // The shared column tables keep these two for columns that never open anything.
  if (column == 2 || column == 7) return;
  OnOpen();
}

void CPODoc::OnOpen() { hv::ShellOpenOrReport(m_path); }

void CPODoc::OnDelete() {
  if (!Delete()) return;
  CProjectObject* parent = GetParent();
  if (!parent) return;
  if (parent->GetTypeCode() != TypeCode::Documents) parent->RemoveChild(this);
  else UpdateAllViews(HINT_REFRESH_CHILDREN, parent);
}

void CPODoc::OnUpdateCopy(CCmdUI*) {
  // Handled, so that "Kopieren" stays enabled; the copy itself is the views' own.
}
