#include "grid/GridCell.h"

#include <cstring>

#include "grid/TavDateTime.h"

using namespace gridcell;

struct CGridCell::Rare {
  wxString inputMask, label, extraText;
  double extra1 = 0.0, extra2 = 0.0;
  int readOnly = 0, index = -1, decimals = 0, cellType = -1, cellTypeStyle = -1;
  GridColour colours[4] = {SysColour(kColWindowText), SysColour(kColWindow), SysColour(kColHighlightText),
                           SysColour(kColHighlight)};
  int borderStyle = 0;
  GridPen pen{0, 0};
  int font = -1;
  int join[4] = {0, 0, -1, -1};
  int visualPart = 16;
  std::shared_ptr<const GridImage> bitmap;
  std::shared_ptr<CGridCellFormat> format;
  std::shared_ptr<const CGridCell> style;
  std::shared_ptr<CGridExtraObject> extraObject;
  std::shared_ptr<std::vector<std::uint8_t>> extraMemory;
};

// ---- compact text

CGridCompactText& CGridCompactText::operator=(const CGridCompactText& other) {
  if (this != &other) Assign(other.m_p);
  return *this;
}

CGridCompactText& CGridCompactText::operator=(CGridCompactText&& other) noexcept {
  if (this != &other) {
    delete[] m_p;
    m_p = other.m_p;
    other.m_p = nullptr;
  }
  return *this;
}

void CGridCompactText::Assign(const char* p) {
  char* copy = nullptr;
  if (p) {
    std::uint32_t n;
    std::memcpy(&n, p, sizeof n);
    copy = new char[sizeof n + n];
    std::memcpy(copy, p, sizeof n + n);
  }
  delete[] m_p;
  m_p = copy;
}

void CGridCompactText::Set(const wxString& text) {
  delete[] m_p;
  m_p = nullptr;
  if (text.empty()) return;
  const wxScopedCharBuffer utf8 = text.utf8_str();
  const std::uint32_t n = static_cast<std::uint32_t>(utf8.length());
  m_p = new char[sizeof n + n];
  std::memcpy(m_p, &n, sizeof n);
  std::memcpy(m_p + sizeof n, utf8.data(), n);
}

wxString CGridCompactText::Get() const {
  if (!m_p) return wxString();
  std::uint32_t n;
  std::memcpy(&n, m_p, sizeof n);
  return wxString::FromUTF8(m_p + sizeof n, n);
}

size_t CGridCompactText::HeapBytes() const {
  if (!m_p) return 0;
  std::uint32_t n;
  std::memcpy(&n, m_p, sizeof n);
  return sizeof n + n;
}

// ---- cell

CGridCell::CGridCell() = default;
CGridCell::~CGridCell() = default;
CGridCell::CGridCell(CGridCell&&) noexcept = default;
CGridCell& CGridCell::operator=(CGridCell&&) noexcept = default;

CGridCell::CGridCell(const CGridCell& other)
    : m_mask(other.m_mask),
      m_dataType(other.m_dataType),
      m_alignment(other.m_alignment),
      m_useVisualStyles(other.m_useVisualStyles),
      m_number(other.m_number),
      m_text(other.m_text),
      m_rare(other.m_rare ? std::make_unique<Rare>(*other.m_rare) : nullptr) {}

CGridCell& CGridCell::operator=(const CGridCell& other) {
  if (this == &other) return *this;
  m_mask = other.m_mask;
  m_dataType = other.m_dataType;
  m_alignment = other.m_alignment;
  m_useVisualStyles = other.m_useVisualStyles;
  m_number = other.m_number;
  m_text = other.m_text;
  m_rare = other.m_rare ? std::make_unique<Rare>(*other.m_rare) : nullptr;
  return *this;
}

const CGridCell::Rare& CGridCell::Defaults() {
  static const Rare defaults;
  return defaults;
}

CGridCell::Rare& CGridCell::R() {
  if (!m_rare) m_rare = std::make_unique<Rare>();
  return *m_rare;
}

const CGridCell::Rare& CGridCell::Cr() const { return m_rare ? *m_rare : Defaults(); }

void CGridCell::ResetProperties() {
  m_mask = kResetMask;
  m_dataType = kText;
  m_alignment = kLeft;
  m_number = 0.0;
  m_text.Set(wxString());
  m_rare.reset();
}

void CGridCell::MergeFrom(const CGridCell& src) {
  m_useVisualStyles = src.m_useVisualStyles;
  const std::uint32_t bits = src.m_mask;
  m_mask |= bits;
  if (bits & kValue) {
    m_text = src.m_text;
    m_number = src.m_number;
  }
  if (bits & kDataType) m_dataType = src.m_dataType;
  if (bits & kAlignment) m_alignment = src.m_alignment;
  constexpr std::uint32_t kRareBits = kInputMask | kExtraText | kExtraNumber1 | kExtraNumber2 | kLabel |
                                      kFormatObject | kStyleCell | kIndex | kCellType | kCellTypeStyle |
                                      kTextColour | kBackColour | kHiTextColour | kHiBackColour | kBorderStyle |
                                      kBorderPen | kFont | kBitmap | kVisualPart | kExtraMemory | kJoin |
                                      kDecimals | kReadOnly;
  // Without a rare block on either side every rare property is at its default anyway,
  // except the extra memory and extra object, which are dropped below as well.
  if (!src.m_rare && !m_rare) return;
  if ((bits & kRareBits) || src.m_rare || m_rare) {
    const Rare& s = src.Cr();
    Rare& d = R();
    if (bits & kInputMask) d.inputMask = s.inputMask;
    if (bits & kExtraText) d.extraText = s.extraText;
    if (bits & kExtraNumber1) d.extra1 = s.extra1;
    if (bits & kExtraNumber2) d.extra2 = s.extra2;
    if (bits & kLabel) d.label = s.label;
    if (bits & kFormatObject) d.format = s.format;
    if (bits & kStyleCell) d.style = s.style;
    if (bits & kIndex) d.index = s.index;
    if (bits & kCellType) d.cellType = s.cellType;
    if (bits & kCellTypeStyle) d.cellTypeStyle = s.cellTypeStyle;
    for (int i = 0; i < 4; ++i) {
      if (bits & (kTextColour << i)) d.colours[i] = s.colours[i];
    }
    if (bits & kBorderStyle) d.borderStyle = s.borderStyle;
    if (bits & kBorderPen) d.pen = s.pen;
    if (bits & kFont) d.font = s.font;
    if (bits & kBitmap) d.bitmap = s.bitmap;
    if (bits & kVisualPart) d.visualPart = s.visualPart;
    if (bits & kExtraMemory) {
      d.extraMemory = s.extraMemory;
    } else {
      d.extraMemory.reset();
    }
    if (bits & kJoin) std::copy(std::begin(s.join), std::end(s.join), d.join);
    if (bits & kDecimals) d.decimals = s.decimals;
    if (bits & kReadOnly) d.readOnly = s.readOnly;
    d.extraObject = s.extraObject;
  }
}

void CGridCell::ClearExtras() {
  if (!m_rare) return;
  m_rare->extraObject.reset();
  m_rare->extraMemory.reset();
  m_mask &= ~kExtraMemory;
}

void CGridCell::SetText(const wxString& text) {
  m_text.Set(text);
  m_dataType = kText;
  if (!text.empty()) {
    m_mask |= kValue | kDataType;
  } else {
    m_mask &= ~kValue;
  }
}

void CGridCell::SetNumber(double value) {
  m_text.Set(wxString());
  m_mask |= kValue | kDataType;
  m_number = value;
  m_dataType = kNumber;
}

void CGridCell::ClearValue() {
  m_text.Set(wxString());
  m_number = 0.0;
  m_mask &= ~kValue;
}

wxString CGridCell::GetText(const CGridNumberFormat& format) const {
  if (!(m_mask & kValue)) return wxString();
  if (m_dataType != kNumber && m_dataType != kFloat) return m_text.Get();
  wxString work;
  if (m_mask & kDecimals) {
    work = GridFixedDecimals(m_number, Cr().decimals);
  } else if (m_dataType == kNumber) {
    work = GridShortestFixed(m_number);
  } else {
    work = GridSingleText(m_number);
  }
  if (work.empty()) work = wxS("0");
  if (!(m_mask & kNoNumberFormat) && format.decimal != wxS(".")) {
    work.Replace(wxS("."), format.decimal);
  }
  return work;
}

double CGridCell::GetNumber(const CGridNumberFormat& format) const {
  if (!(m_mask & kValue)) return 0.0;
  switch (m_dataType) {
    case kNumber:
    case kDate:
    case kCurrency:
    case kFloat:
      return m_number;
    default:
      return GridParseNumber(m_text.Get(), format);
  }
}

void CGridCell::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
  const CTavDateTime dt(year, month, day, hour, minute, second);
  SetText(dt.Format());
  m_mask |= kValue | kDataType;
  m_number = dt.GetDate();
  m_dataType = kDate;
}

void CGridCell::GetDateTime(int* year, int* month, int* day, int* hour, int* minute, int* second) const {
  CTavDateTime dt;
  if (m_dataType == kDate) {
    dt = CTavDateTime::FromDate(m_number);
  } else {
    dt.ParseDateTime(GetText());
  }
  int p[6] = {-1, -1, -1, -1, -1, -1};
  if (!(m_mask & kValue) || !dt.GetParts(p[0], p[1], p[2], p[3], p[4], p[5])) std::fill(p, p + 6, -1);
  int* out[6] = {year, month, day, hour, minute, second};
  for (int i = 0; i < 6; ++i) {
    if (out[i]) *out[i] = p[i];
  }
}

void CGridCell::SetDataType(std::uint16_t type, const CGridNumberFormat& format) {
  if (type == m_dataType && (m_mask & kDataType)) return;
  if (m_mask & kValue) {
    if (type == kNumber) {
      m_number = GridParseNumber(GetText(format), format);
      m_text.Set(wxString());
    } else if (type == kDate) {
      CTavDateTime dt;
      m_number = dt.ParseDateTime(GetText(format)) ? dt.GetDate() : 0.0;
    } else if (type == kCurrency) {
      if (m_dataType == kNumber) {
        m_text.Set(GridFixedDecimals(m_number, 2));
      } else {
        // Currency keeps four decimal places.
        const double v = GridParseNumber(GetText(format), format);
        m_number = static_cast<double>(static_cast<long long>(v * 10000.0 + (v < 0 ? -0.5 : 0.5))) / 10000.0;
      }
    }
  }
  m_mask |= kDataType;
  m_dataType = type;
}

#define HV_RARE_PROP(Name, field, bit, Type)          \
  void CGridCell::Set##Name(Type v) {                 \
    R().field = v;                                    \
    m_mask |= bit;                                    \
  }                                                   \
  Type CGridCell::Get##Name() const { return Cr().field; }

void CGridCell::SetExtraText(const wxString& text) {
  R().extraText = text;
  m_mask |= kExtraText;
}
wxString CGridCell::GetExtraText() const { return Cr().extraText; }
void CGridCell::SetLabel(const wxString& label) {
  R().label = label;
  m_mask |= kLabel;
}
wxString CGridCell::GetLabel() const { return Cr().label; }
void CGridCell::SetInputMask(const wxString& mask) {
  R().inputMask = mask;
  m_mask |= kInputMask;
}
wxString CGridCell::GetInputMask() const { return Cr().inputMask; }
HV_RARE_PROP(ExtraNumber1, extra1, kExtraNumber1, double)
HV_RARE_PROP(ExtraNumber2, extra2, kExtraNumber2, double)
HV_RARE_PROP(ReadOnly, readOnly, kReadOnly, int)
HV_RARE_PROP(Index, index, kIndex, int)
HV_RARE_PROP(Decimals, decimals, kDecimals, int)
HV_RARE_PROP(CellTypeIndex, cellType, kCellType, int)
HV_RARE_PROP(CellTypeStyle, cellTypeStyle, kCellTypeStyle, int)
HV_RARE_PROP(BorderStyle, borderStyle, kBorderStyle, int)
HV_RARE_PROP(BorderPen, pen, kBorderPen, GridPen)
HV_RARE_PROP(Font, font, kFont, int)
HV_RARE_PROP(Bitmap, bitmap, kBitmap, std::shared_ptr<const GridImage>)
HV_RARE_PROP(ExtraMemory, extraMemory, kExtraMemory, std::shared_ptr<std::vector<std::uint8_t>>)
HV_RARE_PROP(FormatObject, format, kFormatObject, std::shared_ptr<CGridCellFormat>)
HV_RARE_PROP(StyleCell, style, kStyleCell, std::shared_ptr<const CGridCell>)
HV_RARE_PROP(VisualPart, visualPart, kVisualPart, int)
#undef HV_RARE_PROP

void CGridCell::SetColour(int slot, GridColour c) {
  if (slot < 0 || slot > 3) return;
  R().colours[slot] = c;
  m_mask |= kTextColour << slot;
}

GridColour CGridCell::GetColour(int slot) const { return slot >= 0 && slot <= 3 ? Cr().colours[slot] : 0; }

void CGridCell::SetAlignment(int v) {
  m_alignment = static_cast<std::uint16_t>(v);
  m_mask |= kAlignment;
}

void CGridCell::SetJoin(int startColumn, int startRow, int endColumn, int endRow) {
  Rare& r = R();
  r.join[0] = startColumn;
  r.join[1] = startRow;
  r.join[2] = endColumn;
  r.join[3] = endRow;
  m_mask |= kJoin;
}

bool CGridCell::GetJoin(int& startColumn, int& startRow, int& endColumn, int& endRow) const {
  const Rare& r = Cr();
  startColumn = r.join[0];
  startRow = r.join[1];
  endColumn = r.join[2];
  endRow = r.join[3];
  return (m_mask & kJoin) != 0;
}

void CGridCell::SetExtraObject(std::shared_ptr<CGridExtraObject> object) { R().extraObject = std::move(object); }
std::shared_ptr<CGridExtraObject> CGridCell::GetExtraObject() const { return Cr().extraObject; }

size_t CGridCell::HeapBytes() const {
  size_t n = m_text.HeapBytes();
  if (m_rare) n += sizeof(Rare);
  return n;
}
