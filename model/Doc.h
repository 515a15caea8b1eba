#pragma once
// A document: one file of a project's "Documentation" folder, opened with the
// desktop's default application.
#include <cstdint>
#include <functional>

#include "model/ProjectObject.h"

enum : UINT {
  ID_DOCUMENT_DELETE = 32773,   // "Löschen"
};

class CPODoc : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPODoc)

 public:
  CPODoc() = default;

  // The desktop's icon of a file, supplied by the user interface: whether the file
  // has one, and adding it to an image list (kind 2 small, 3 large; its index, or -1).
  struct ShellIcons {
    std::function<bool(const wxString& path)> has;
    std::function<int(CImageList& images, int kind, const wxString& path)> add;
  };
  static inline ShellIcons shellIcons;

  // Takes name, size and time from the file; false when it is no longer there.
  bool SetFile(const wxString& path);
  const wxString& GetPath() const { return m_path; }
  std::uint64_t GetSize() const { return m_size; }
  // Last-write time in nanoseconds since 1970.
  std::int64_t GetWriteTime() const { return m_writeTime; }

  // "%ld KB", rounded up to whole kilobytes.
  static wxString FormatSize(std::uint64_t bytes);
  // "%02d.%02d.%4d %02d:%02d" of the local time.
  static wxString FormatTime(std::int64_t nanoseconds);

  void Serialize(CArchive& ar) override;
  TypeCode GetTypeCode() override { return TypeCode::Doc; }
  int GetContextMenuId() override { return 500; }
  BOOL HasTreeChildren() override { return FALSE; }
  BOOL IsShownInTree() override { return FALSE; }
  wxString GetColumnText(int column) override;
  int Compare(const CProjectObject* other, int column) override;
  int AddImageToList(CImageList& images, int kind) override;
  int GetImage() override;
  BOOL Delete() override;
  BOOL Cut(CArchive& ar) override;
  BOOL WriteToClipboard(CArchive& ar) override;
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override;
  BOOL HasClipboardSupport() override { return TRUE; }
  void OnColumnDblClick(int column) override;

  // "Ändern": opens the file with its default application.
  void OnOpen();
  // "Löschen": the file goes to the recycle bin.
  void OnDelete();

  HV_DECLARE_COMMAND_MAP()

 private:
  void OnUpdateCopy(CCmdUI* ui);
  bool PlaceFile(const wxString& staged, CProjectObject& target);

  std::int64_t m_writeTime = 0;
  std::uint64_t m_size = 0;
  wxString m_dateText;
  wxString m_sizeText;
  int m_smallImage = -1;
  int m_largeImage = -1;
  wxString m_path;
};
