#pragma once
// One cell's value and display properties. Every property has a bit in the set mask;
// layering (MergeFrom) copies only the properties whose bit is set in the upper layer.
// Kept compact because the memory store holds one per stored cell: the value inline,
// every rarely used property in one block made on first use.
#include <cstdint>
#include <memory>
#include <vector>
#include <wx/string.h>

#include "grid/GridTypes.h"
#include "grid/NumberFormat.h"

class CGridCell;

// Attachments that cells share by reference (never duplicated by copying a cell).
class CGridExtraObject {
 public:
  virtual ~CGridExtraObject() = default;
};
class CGridCellFormat {
 public:
  virtual ~CGridCellFormat() = default;
  virtual void Format(CGridCell& cell) = 0;
};

namespace gridcell {
enum Bits : std::uint32_t {
  kValue = 0x1,
  kInputMask = 0x2,
  kLabel = 0x4,
  kDataType = 0x8,
  kIndex = 0x10,
  kCellType = 0x20,
  kCellTypeStyle = 0x40,
  kTextColour = 0x80,
  kBackColour = 0x100,
  kHiTextColour = 0x200,
  kHiBackColour = 0x400,
  kBorderStyle = 0x800,
  kBorderPen = 0x1000,
  kFont = 0x2000,
  kBitmap = 0x4000,
  kAlignment = 0x8000,
  kExtraMemory = 0x10000,
  kJoin = 0x20000,
  kFormatObject = 0x200000,
  kStyleCell = 0x800000,
  kReadOnly = 0x1000000,
  kDecimals = 0x2000000,
  kNoNumberFormat = 0x4000000,
  kVisualPart = 0x8000000,
  kExtraNumber1 = 0x10000000,
  kExtraNumber2 = 0x20000000,
  kExtraText = 0x40000000,
};
constexpr std::uint32_t kResetMask = 0x08008788;
enum DataType : std::uint16_t { kText = 1, kNumber = 2, kNumericText = 3, kDate = 4, kCurrency = 5, kFloat = 9 };
enum Alignment : std::uint16_t { kLeft = 1, kRight = 2, kCentre = 4, kBottom = 16, kVCentre = 32 };
}  // namespace gridcell

// UTF-8 text behind one pointer: empty costs nothing.
class CGridCompactText {
 public:
  CGridCompactText() = default;
  CGridCompactText(const CGridCompactText& other) { Assign(other.m_p); }
  CGridCompactText(CGridCompactText&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
  CGridCompactText& operator=(const CGridCompactText& other);
  CGridCompactText& operator=(CGridCompactText&& other) noexcept;
  ~CGridCompactText() { delete[] m_p; }

  void Set(const wxString& text);
  wxString Get() const;
  bool Empty() const { return m_p == nullptr; }
  size_t HeapBytes() const;

 private:
  void Assign(const char* p);
  char* m_p = nullptr;  // 4-byte length, then the bytes
};

class CGridCell {
 public:
  CGridCell();
  CGridCell(const CGridCell& other);
  CGridCell& operator=(const CGridCell& other);
  CGridCell(CGridCell&&) noexcept;
  CGridCell& operator=(CGridCell&&) noexcept;
  ~CGridCell();

  void ResetProperties();
  void MergeFrom(const CGridCell& source);
  // Drops the extra object and the extra memory (the store's references).
  void ClearExtras();

  std::uint32_t GetMask() const { return m_mask; }
  void SetMask(std::uint32_t mask) { m_mask = mask; }
  bool IsSet(std::uint32_t bits) const { return (m_mask & bits) == bits; }
  void ClearBits(std::uint32_t bits) { m_mask &= ~bits; }

  // Value.
  void SetText(const wxString& text);
  void SetNumber(double value);
  wxString GetText(const CGridNumberFormat& format = CGridNumberFormat::User()) const;
  double GetNumber(const CGridNumberFormat& format = CGridNumberFormat::User()) const;
  static double ParseNumber(const wxString& text, const CGridNumberFormat& format = CGridNumberFormat::User()) {
    return GridParseNumber(text, format);
  }
  void SetDateTime(int year, int month, int day, int hour, int minute, int second);
  void GetDateTime(int* year, int* month, int* day, int* hour, int* minute, int* second) const;
  void SetDataType(std::uint16_t type, const CGridNumberFormat& format = CGridNumberFormat::User());
  std::uint16_t GetDataType() const { return m_dataType; }
  // The stored text member as it is (no number formatting).
  wxString GetRawText() const { return m_text.Get(); }
  double GetRawNumber() const { return m_number; }
  // The value alone: clears bit 0, text and number, keeps every other property.
  void ClearValue();

  // Properties; each setter also sets its bit.
  void SetExtraText(const wxString& text);
  wxString GetExtraText() const;
  void SetLabel(const wxString& label);
  wxString GetLabel() const;
  void SetInputMask(const wxString& mask);
  wxString GetInputMask() const;
  void SetExtraNumber1(double v);
  double GetExtraNumber1() const;
  void SetExtraNumber2(double v);
  double GetExtraNumber2() const;
  void SetReadOnly(int v);
  int GetReadOnly() const;
  void SetIndex(int v);
  int GetIndex() const;
  void SetDecimals(int v);
  int GetDecimals() const;
  void SetCellTypeIndex(int v);
  int GetCellTypeIndex() const;
  void SetCellTypeStyle(int v);
  int GetCellTypeStyle() const;
  // Colour slots: 0 text, 1 back, 2 highlight text, 3 highlight back.
  void SetColour(int slot, GridColour c);
  GridColour GetColour(int slot) const;
  void SetTextColour(GridColour c) { SetColour(0, c); }
  void SetBackColour(GridColour c) { SetColour(1, c); }
  GridColour GetTextColour() const { return GetColour(0); }
  GridColour GetBackColour() const { return GetColour(1); }
  void SetBorderStyle(int v);
  int GetBorderStyle() const;
  void SetBorderPen(GridPen pen);
  GridPen GetBorderPen() const;
  void SetFont(int fontIndex);
  int GetFont() const;
  void SetBitmap(std::shared_ptr<const GridImage> image);
  std::shared_ptr<const GridImage> GetBitmap() const;
  void SetAlignment(int v);
  int GetAlignment() const { return m_alignment; }
  void SetExtraMemory(std::shared_ptr<std::vector<std::uint8_t>> memory);
  std::shared_ptr<std::vector<std::uint8_t>> GetExtraMemory() const;
  // A joined cell: first column and row and the last column and row of the join.
  void SetJoin(int startColumn, int startRow, int endColumn, int endRow);
  bool GetJoin(int& startColumn, int& startRow, int& endColumn, int& endRow) const;
  void SetFormatObject(std::shared_ptr<CGridCellFormat> format);
  std::shared_ptr<CGridCellFormat> GetFormatObject() const;
  void SetStyleCell(std::shared_ptr<const CGridCell> style);
  std::shared_ptr<const CGridCell> GetStyleCell() const;
  void SetVisualPart(int v);
  int GetVisualPart() const;
  void SetExtraObject(std::shared_ptr<CGridExtraObject> object);
  std::shared_ptr<CGridExtraObject> GetExtraObject() const;
  void SetUseVisualStyles(bool on) { m_useVisualStyles = on; }
  bool GetUseVisualStyles() const { return m_useVisualStyles; }

  // Heap bytes beyond sizeof(CGridCell) (for the memory measure).
  size_t HeapBytes() const;

 private:
  struct Rare;
  Rare& R();
  static const Rare& Defaults();
  const Rare& Cr() const;
  friend class CGridMem;

  std::uint32_t m_mask = gridcell::kResetMask;
  std::uint16_t m_dataType = gridcell::kText;
  std::uint16_t m_alignment = gridcell::kLeft;
  bool m_useVisualStyles = true;
  bool m_stored = false;  // a slot of the memory store that holds a cell
  double m_number = 0.0;
  CGridCompactText m_text;
  std::unique_ptr<Rare> m_rare;
};
