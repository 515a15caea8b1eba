#include "resources/MaskElement.h"

#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "resources/Mask.h"
#include "resources/PictureInfo.h"
#include "resources/ScreenDesigner.h"
#include "model/GraphToolCheck.h"
#include "model/ObjectSupport.h"

using hv::LocalString;
using hv::db::MaskField;

BEGIN_COMMAND_MAP(CPOMaskElement, CProjectObject)
  ON_COMMAND(ID_ELEMENT_EDIT, OnEdit)
  ON_UPDATE_COMMAND_UI(ID_ELEMENT_COPY, OnUpdateCopyCut)
  ON_UPDATE_COMMAND_UI(ID_ELEMENT_CUT, OnUpdateCopyCut)
END_COMMAND_MAP()

int CPOMaskElement::Compare(const CProjectObject* other, int column) {
  if (!other) return 0;
  const auto* o = dynamic_cast<const CPOMaskElement*>(other);
  if (!o) return CProjectObject::Compare(other, column);
  switch (column) {
    case 1: return CompareValues(m_number, o->m_number);
    case 2: return m_position.CmpNoCase(o->m_position);
    case 3: return m_dimension.CmpNoCase(o->m_dimension);
    case 4: return m_description.CmpNoCase(o->m_description);
    default: return CProjectObject::Compare(other, column);
  }
}

wxString CPOMaskElement::GetColumnText(int column) {
  switch (column) {
    // Signed: a negative number is shown as such, as it sorts.
    case 1: return wxString::Format(wxS("%d"), m_number);
    case 2: return m_position;
    case 3: return m_dimension;
    case 4: return m_description;
    default: return CProjectObject::GetColumnText(column);
  }
}

void CPOMaskElement::OnColumnDblClick(int) { OnEdit(); }

void CPOMaskElement::OnEdit() {
  const auto* screen = dynamic_cast<const CPOMask*>(GetParent());
  if (!screen) return;
  CPOPrjDevice* device = GetDevice();
  if (device && !CheckGraphToolDevice(device)) return;
  if (screen->GetName() == kDefaultComponentsScreen) {
    ShowDefaultComponentsNotice();
    return;
  }
  if (device) OpenScreenInDesigner(screen->GetName(), device, m_elementId);
}

void CPOMaskElement::OnUpdateCopyCut(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

// --- building the elements of records ---

namespace {

struct Kind {
  std::uint32_t type;
  UINT textId;
  const wchar_t* text;
  std::unique_ptr<CPOMaskElement> (*make)();
};

template <class T>
std::unique_ptr<CPOMaskElement> Make() {
  return std::make_unique<T>();
}

const Kind kKinds[] = {
    {1, 10322, L"Bild", &Make<CPOMaskPicture>},
    {2, 10058, L"Anzeigefeld", &Make<CPOMaskText>},
    {3, 10351, L"Eingabefeld", &Make<CPOMaskEdit>},
    {5, 10350, L"Bargraph", &Make<CPOMaskBargraph>},
    {9, 10260, L"Taster", &Make<CPOMaskButton>},
    {10, 10803, L"Datenlogger", &Make<CPOMaskDataLogger>},
    {11, 10808, L"ComboBox", &Make<CPOMaskComboBox>},
    {12, 10550, L"Funktionstaste", &Make<CPOMaskTouchKey>},
    {13, 10561, L"Liste", &Make<CPOMaskList>},
    {14, 10596, L"Rechteck", &Make<CPOMaskRectangle>},
    {15, 10597, L"Linie", &Make<CPOMaskLine>},
    {16, 10680, L"Listbox", &Make<CPOMaskListBox>},
};

class Describer {
 public:
  Describer(const MaskField& record, const MaskElementSources& sources) : r(record), src(sources) {}

  wxString Size(std::size_t a, std::size_t b) const {
    return wxString::Format(wxS("%d x %d"), static_cast<int>(r.i16(a)), static_cast<int>(r.i16(b)));
  }
  wxString Width(std::size_t a) const { return wxString::Format(wxS("%d"), static_cast<int>(r.i16(a))); }
  wxString DataPoint(std::size_t offset) const {
    wxString name;
    hv::db::datpkt_get_name(src.deviceFolder, r.u32(offset), name);
    return name.Trim(true);
  }
  wxString BitmapName(std::size_t offset) const {
    wxString name;
    hv::db::bitmap_get_name(src.deviceFolder, r.u32(offset), name);
    return name.Trim(true);
  }
  wxString Text(std::size_t offset) const {
    hv::db::TextwRow row;
    if (!src.texts || !hv::db::wtext_select(*src.texts, row, hv::db::kSeek, "IDTEXT", {r.u32(offset), src.language}))
      return wxString();
    return row.text;
  }
  // "DP: %s" with the data point at the offset.
  wxString DpFormat(std::size_t offset) const {
    return wxString::Format(LocalString(10515, wxS("DP: %s")), DataPoint(offset));
  }

  // Type 1: the bitmap's name; its size, zoomed by the byte at 224.
  void Picture(wxString& dimension, wxString& description) const {
    const wxString name = BitmapName(68);
    if (name.empty()) return;
    description = name;
    const wxString file = hv::ResolvePath(hv::JoinPath(hv::JoinPath(src.deviceFolder, wxS("bitmaps")), name));
    PictureInfo info;
    if (src.deviceFolder.empty() || !ReadPictureFile(file, info)) return;
    const int zoom = static_cast<std::int8_t>(r.buf[224]);
    int w, h;
    if (zoom == 0) {
      w = info.width / 2;
      h = info.height / 2;
    } else if (zoom == -1) {
      w = r.i16(226);
      h = r.i16(228);
    } else {
      w = zoom * info.width;
      h = zoom * info.height;
    }
    dimension = wxString::Format(wxS("%d x %d"), w, h);
  }

  void Describe(wxString& dimension, wxString& description) const {
    const std::uint32_t mode = r.u32(68);
    switch (r.type()) {
      case 1: Picture(dimension, description); break;
      case 2:
        dimension = Size(76, 206);
        switch (mode) {
          case 0:
          case 1: description = LocalString(10166, wxS("Wertfeld DP: ")) + DataPoint(84); break;
          case 2: description = LocalString(10184, wxS("Wertabhängiger Text DP: ")) + DataPoint(84); break;
          case 3: description = LocalString(10205, wxS("Datenpunkt: ")) + DataPoint(84); break;
          case 4: description = LocalString(10230, wxS("Text: ")) + Text(88); break;
          case 5: description = LocalString(10679, wxS("Text über log. ID DP: ")) + DataPoint(84); break;
          default: break;
        }
        break;
      case 3:
        dimension = Width(76);
        description = r.buf[68] != 0 ? LocalString(10035, wxS("Unsichtbar DP: ")) + DataPoint(72)
                                     : LocalString(10009, wxS("DP: ")) + DataPoint(72);
        break;
      case 5:
        dimension = Size(80, 82);
        description = wxString::Format(LocalString(10008, wxS("Typ %d DP: %s")),
                                       static_cast<int>(static_cast<std::int8_t>(r.buf[68])), DataPoint(72));
        break;
      case 9:
        dimension = Size(76, 78);
        switch (mode) {
          case 0:
          case 4: description = LocalString(10291, wxS("Bitmap DP: ")) + DataPoint(72); break;
          case 1: description = LocalString(10321, wxS("Text DP: ")) + DataPoint(72); break;
          case 2: description = LocalString(10035, wxS("Unsichtbar DP: ")) + DataPoint(72); break;
          default: break;
        }
        break;
      case 10:
        dimension = Size(72, 74);
        description = DpFormat(68);
        break;
      case 11:
        dimension = Width(74);
        description = DpFormat(68);
        break;
      case 12:
        dimension = Size(72, 74);
        switch (mode) {
          case 0:
          case 4: description = LocalString(10553, wxS("Bitmap: ")) + BitmapName(88); break;
          case 1: description = LocalString(10230, wxS("Text: ")) + Text(96); break;
          case 3: description = LocalString(10555, wxS("Bereich")); break;
          default: break;
        }
        break;
      case 13:
        dimension = Size(72, 74);
        if (mode == 0) description = LocalString(10562, wxS("Alarmliste"));
        else if (mode == 1) description = LocalString(10564, wxS("Ereignisliste"));
        break;
      case 14: dimension = Size(68, 70); break;
      case 15:
        dimension = wxString::Format(wxS("(%d, %d)"), static_cast<int>(r.i16(68)), static_cast<int>(r.i16(70)));
        break;
      case 16:
        dimension = wxString::Format(wxS("%d, %d"), static_cast<int>(r.i16(74)), static_cast<int>(r.i16(76)));
        description = DpFormat(68);
        break;
      default: break;
    }
  }

 private:
  const MaskField& r;
  const MaskElementSources& src;
};

}  // namespace

std::unique_ptr<CPOMaskElement> MakeMaskElement(const MaskField& record, const MaskElementSources& sources) {
  const std::uint32_t type = record.type();
  if (type == 0 || type == 4) return nullptr;
  std::unique_ptr<CPOMaskElement> element;
  for (const Kind& kind : kKinds)
    if (kind.type == type) {
      element = kind.make();
      element->SetName(LocalString(kind.textId, kind.text));
    }
  if (!element) element = std::make_unique<CPOMaskElement>();
  wxString dimension, description;
  Describer(record, sources).Describe(dimension, description);
  element->SetDimension(dimension);
  element->SetDescription(description);
  element->SetElementId(record.id());
  element->SetElementNumber(record.number());
  element->SetPosition(wxString::Format(wxS("%d, %d"), static_cast<int>(record.x()), static_cast<int>(record.y())));
  return element;
}
