#include "model/DataPointPicker.h"

#include <wx/arrstr.h>

#include "framework/ValueText.h"
#include "platform/Db4.h"
#include "platform/Localization.h"
#include "platform/Ui.h"
#include "platform/online/ModbusMap.h"
#include "platform/online/PluginRegistry.h"

namespace dppicker {

namespace {

void Collect(void* user, const HvDpEntry* e) {
  if (!e || e->size < sizeof(HvDpEntry) || !e->address) return;
  PickedDataPoint p;
  p.address = wxString(e->address, wxConvISO8859_1);
  if (e->name) p.name = wxString(e->name, wxConvISO8859_1);
  p.type = e->type;
  p.access = static_cast<WORD>(e->access);
  p.value32 = e->textLen;
  if (e->unit) p.unit = wxString(e->unit, wxConvISO8859_1).Left(20);
  static_cast<std::vector<PickedDataPoint>*>(user)->push_back(p);
}

bool KnownType(DWORD t) {
  switch (t) {
    case 0x1: case 0x2: case 0x4: case 0x8: case 0x10: case 0x20: case 0x40: case 0x80:
    case 0x100: case 0x200: case 0x400:
      return true;
    default:
      return t > 0x2000 && t <= 0x2000 + 1000;
  }
}

}  // namespace

void Apply(const PickedDataPoint& p, DataPointFields& f, DataPointExtra& x) {
  f.address = p.address.Left(48);
  f.type = p.type;
  x.value32 = p.value32;
  const bool text = IsTextType(p.type);
  auto number = [&](DWORD v) { return text ? wxString() : hv::db4toa(v, p.type); };
  x.start = number(p.start);
  x.sigMin = number(p.sigMin);
  x.sigMax = number(p.sigMax);
  x.measMin = number(p.measMin);
  x.measMax = number(p.measMax);
  x.unit = p.unit.Left(20);
  x.capabilities = p.access;
  x.access = static_cast<WORD>(p.access & ~0x300);
}

std::vector<PickedDataPoint> Offered(const wxString& deviceType, const wxString& node, const wxString& deviceParam) {
  std::vector<PickedDataPoint> out;
  auto plugin = hv::PluginRegistry::Get().Device(deviceType);
  if (!plugin || !plugin->enumDataPoints) return out;
  const wxScopedCharBuffer n = node.mb_str(wxConvISO8859_1);
  const wxScopedCharBuffer p = deviceParam.mb_str(wxConvISO8859_1);
  plugin->enumDataPoints(n.data(), p.data(), &Collect, &out);
  return out;
}

bool UsesModbusAddresses(const wxString& netDriver) {
  return hv::PluginRegistry::NormalizeTitle(netDriver).CmpNoCase(wxS("MBTCP")) == 0;
}

namespace {

namespace mm = hv::modbus;

wxString TableWords(int table) {
  switch (table) {
    case mm::kCoils: return hv::LocalString(11640, wxS("Spule"));
    case mm::kDiscreteInputs: return hv::LocalString(11641, wxS("Diskreter Eingang"));
    case mm::kInputRegisters: return hv::LocalString(11642, wxS("Eingangsregister"));
    default: return hv::LocalString(11643, wxS("Holding-Register"));
  }
}

const char* OrderName(mm::WordOrder o) {
  switch (o) {
    case mm::WordOrder::ABCD: return "ABCD";
    case mm::WordOrder::CDAB: return "CDAB";
    case mm::WordOrder::BADC: return "BADC";
    case mm::WordOrder::DCBA: return "DCBA";
  }
  return "";
}

// "Holding-Register 12288-12289, Gleitkomma, Wortfolge des Netzwerks"
wxString PlaceWords(const mm::Ref& ref, const PickedDataPoint& entry) {
  wxString words = TableWords(ref.table) + wxString::Format(wxS(" %u"), ref.offset);
  if (ref.step > 1) words += wxString::Format(wxS("-%u"), ref.offset + ref.step - 1);
  words += wxS(", ") + GetDataTypeName(entry.type);
  if (IsTextType(entry.type)) {
    words += wxS(", ") + wxString::Format(hv::LocalString(11646, wxS("%u Zeichen")), static_cast<unsigned>(ref.chars));
  } else if (ref.step == 2) {
    words += wxS(", ") + (ref.order ? wxString::Format(hv::LocalString(11644, wxS("Wortfolge %s")), OrderName(*ref.order))
                                    : hv::LocalString(11645, wxS("Wortfolge des Netzwerks")));
  }
  return words;
}

wxString Field(const wxString& address, size_t n) {
  wxArrayString f = wxSplit(address, '|', 0);
  return n < f.size() ? wxString(f[n]).Trim(true).Trim(false) : wxString();
}

AddressVerdict Refuse(UINT id, const wxString& text) { return {id, text}; }

// The address with a text's length added, as the complaint about a missing one shows it.
wxString TextExample(const wxString& address) {
  wxString table = Field(address, 0), offset = Field(address, 1);
  if (table.empty()) table = wxS("HR");
  if (offset.empty()) offset = wxS("0");
  return table + wxS("|") + offset + wxS("|TEXT|12");
}

// The characters the data point gives a text by itself (type 0x100: its text length).
unsigned OwnLength(const PickedDataPoint& entry) {
  return static_cast<unsigned>(entry.type == 0x100 ? entry.value32 : entry.type - 0x2000);
}

AddressVerdict Complaint(mm::AddressProblem problem, const PickedDataPoint& entry) {
  using P = mm::AddressProblem;
  const wxString& a = entry.address;
  switch (problem) {
    case P::None: break;
    case P::Format:
      return Refuse(11647, hv::LocalString(11647, wxS("Die Adresse hat nicht die Form Tabelle|Offset[|Typ[|Wortfolge]] "
                                                      "oder Tabelle|Offset|TEXT|Zeichen, zum Beispiel HR|0, IR|10|R4|CDAB "
                                                      "oder HR|40|TEXT|12.")));
    case P::Table:
      return Refuse(11648, wxString::Format(hv::LocalString(11648, wxS("Unbekannte Tabelle '%s': erlaubt sind CO (Spulen), "
                                                                       "DI (diskrete Eingänge), IR (Eingangsregister) und HR "
                                                                       "(Holding-Register).")),
                                            Field(a, 0)));
    case P::Offset:
      return Refuse(11649, wxString::Format(hv::LocalString(11649, wxS("Der Offset '%s' ist keine Zahl von 0 bis 65535.")),
                                            Field(a, 1)));
    case P::TypeName:
      return Refuse(11650, wxString::Format(hv::LocalString(11650, wxS("Unbekannter Datentyp '%s': erlaubt sind BOOL, I1, UI1, "
                                                                       "I2, UI2, I4, UI4, R4, TIME, DATE und TEXT.")),
                                            Field(a, 2)));
    case P::TypeMismatch:
      return Refuse(11651, wxString::Format(hv::LocalString(11651, wxS("Der Datentyp '%s' der Adresse passt nicht zum "
                                                                       "gewählten Datentyp '%s'.")),
                                            Field(a, 2), GetDataTypeName(entry.type)));
    case P::BitTable:
      return Refuse(11652, hv::LocalString(11652, wxS("Spulen und diskrete Eingänge halten Bits: wählen Sie den Datentyp Bit.")));
    case P::RegisterBit:
      return Refuse(11653, hv::LocalString(11653, wxS("Ein Bit liegt in einer Spule (CO) oder einem diskreten Eingang (DI), "
                                                      "nicht in einem Register.")));
    case P::Order:
      return Refuse(11654, wxString::Format(hv::LocalString(11654, wxS("Unbekannte Wortfolge '%s': erlaubt sind ABCD, CDAB, "
                                                                       "BADC und DCBA.")),
                                            Field(a, 3)));
    case P::OrderNeeds32:
      return Refuse(11655, hv::LocalString(11655, wxS("Eine Wortfolge gibt es nur für 32-Bit-Typen (I4, UI4, R4, TIME, DATE).")));
    case P::PastEnd:
      return Refuse(11656, hv::LocalString(11656, wxS("Der Wert reicht über das Register 65535 hinaus.")));
    case P::TextLength:
      return Refuse(11657, hv::LocalString(11657, wxS("Ein Text hat 1 bis 250 Zeichen (höchstens 125 Register).")));
    case P::TextNoLength:
      return Refuse(11638, wxString::Format(hv::LocalString(11638, wxS("Die Länge des Textes fehlt: hängen Sie die Zahl "
                                                                       "der Zeichen an, zum Beispiel %s.")),
                                            TextExample(a)));
    case P::TextLengthMismatch:
      return Refuse(11639, wxString::Format(hv::LocalString(11639, wxS("Die Adresse nennt %s Zeichen, der Datenpunkt hat "
                                                                       "%u: geben Sie in der Adresse %u an.")),
                                            Field(a, 3), OwnLength(entry), OwnLength(entry)));
    case P::Unreadable:
      return Refuse(11538, hv::LocalString(11538, wxS("Wählen Sie einen Datentyp!")));
    case P::Kind:
      return Refuse(11658, hv::LocalString(11658, wxS("Diese Adresse kann der Modbus-TCP-Treiber nicht lesen.")));
    case P::KindType:
      return Refuse(11659, wxString::Format(hv::LocalString(11659, wxS("Das Signal dieser Adresse kann nicht als '%s' gelesen "
                                                                       "werden.")),
                                            GetDataTypeName(entry.type)));
  }
  return {};
}

}  // namespace

AddressVerdict Check(const wxString& netDriver, const PickedDataPoint& entry) {
  if (entry.address.empty() || entry.address.size() > 48 || entry.address.Find('|') < 1)
    return Refuse(11537, hv::LocalString(11537, wxS("Geben Sie eine Adresse der Form Art|Adresse ein (höchstens 48 Zeichen)!")));
  if (!KnownType(entry.type)) return Refuse(11538, hv::LocalString(11538, wxS("Wählen Sie einen Datentyp!")));
  if (!UsesModbusAddresses(netDriver)) return {};
  const std::string address = entry.address.ToStdString(wxConvISO8859_1);
  const mm::AddressCheck c = mm::CheckAddress(address, entry.type, entry.access, entry.value32);
  if (c.ref) return {0, PlaceWords(*c.ref, entry)};
  // Self-defined and symbol kinds ('7', '8', '1', 'M') and other kind numbers belong to
  // the device; only the driver's own form and a kind-9 signal of another type are wrong.
  const wxUniChar first = entry.address[0];
  const bool kind = (first >= '0' && first <= '9') || first == 'M';
  if (!kind || c.problem == mm::AddressProblem::KindType) return Complaint(c.problem, entry);
  return {};
}

PickedDataPoint TypedEntry(const wxString& netDriver, const wxString& address, DWORD type) {
  PickedDataPoint p;
  p.address = address;
  p.type = type;
  p.access = TypedAccess(netDriver, address);
  TakeNamedLength(netDriver, p);
  return p;
}

void TakeNamedLength(const wxString& netDriver, PickedDataPoint& entry) {
  if (entry.type != 0x100 || entry.value32 != 0 || !UsesModbusAddresses(netDriver)) return;
  entry.value32 = mm::TextLengthOfAddress(entry.address.ToStdString(wxConvISO8859_1));
}

DWORD NamedType(const wxString& netDriver, const wxString& address) {
  if (!UsesModbusAddresses(netDriver)) return 0;
  const std::string text = address.ToStdString(wxConvISO8859_1);
  if (const DWORD named = mm::TypeCodeOfAddress(text)) return named;
  // Coils and discrete inputs hold nothing but bits: their table names the type.
  const wxString table = Field(address, 0).Upper();
  if (mm::IsTableAddress(text) && (table == wxS("CO") || table == wxS("DI"))) return 4;
  return 0;
}

WORD TypedAccess(const wxString& netDriver, const wxString& address) {
  if (UsesModbusAddresses(netDriver)) {
    const wxString table = Field(address, 0).Upper();
    if (table == wxS("DI") || table == wxS("IR")) return 0x1;
  }
  return 0x3;
}

std::vector<PickedDataPoint> Choose(DataPointPickRequest& request) {
  request.offered = Offered(request.deviceType, request.node, request.deviceParam);
  request.chosen.clear();
  if (hv::Ui().Run(request) != IDOK) return {};
  if (!request.multiple && request.chosen.size() > 1) request.chosen.resize(1);
  // An entry the network cannot read as its type makes no data point: it would only
  // fail, or show a wrong value, at every read.
  std::vector<PickedDataPoint> fit;
  std::vector<std::pair<UINT, wxString>> refused;
  for (PickedDataPoint p : request.chosen) {
    const AddressVerdict v = Check(request.netDriver, p);
    if (v.complaint) {
      refused.emplace_back(v.complaint, p.address + wxS(": ") + v.text);
      continue;
    }
    // The data point keeps the length its address names: the read cuts the text there.
    TakeNamedLength(request.netDriver, p);
    fit.push_back(p);
  }
  // Many refused entries make one message, not one dialog after another.
  if (refused.size() == 1) {
    hv::Ui().Message(refused[0].first, refused[0].second, MB_OK | MB_ICONINFORMATION);
  } else if (!refused.empty()) {
    wxString text = hv::LocalString(13954, wxS("Diese Einträge ergeben keinen Datenpunkt:"));
    for (const auto& r : refused) text += wxS("\n") + r.second;
    hv::Ui().Message(13954, text, MB_OK | MB_ICONINFORMATION);
  }
  request.chosen = fit;
  return fit;
}

}  // namespace dppicker
