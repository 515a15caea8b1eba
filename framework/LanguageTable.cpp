// The language table: the built-in Windows languages and those the profile adds.
#include <vector>

#include "framework/LocalTables.h"
#include "platform/Localization.h"

namespace {

struct LanguageRow {
  WORD number;
  UINT textId;
  const wchar_t* german;
};

// German names as the suite has always shown them, spelling included.
constexpr LanguageRow kLanguages[] = {
    {1078, 10416, wxS("Afrikaans")},
    {1052, 10372, wxS("Albanisch")},
    {1069, 10373, wxS("Baskisch")},
    {1026, 10374, wxS("Bulgarisch")},
    {1028, 10375, wxS("Chinesisch (Taiwan)")},
    {2052, 10376, wxS("Chinesisch (VR China)")},
    {3076, 10377, wxS("Chinesisch (Hongkong)")},
    {4100, 10378, wxS("Chinesisch (Singapor)")},
    {1027, 10379, wxS("Katalanisch")},
    {1050, 10380, wxS("Kroatisch")},
    {1029, 10381, wxS("Tschechisch")},
    {1030, 10382, wxS("Dänisch")},
    {1043, 10383, wxS("Holländisch (Holland)")},
    {2067, 10384, wxS("Holländisch (Belgien)")},
    {1031, 10389, wxS("Deutsch")},
    {2055, 10385, wxS("Deutsch (Schweiz)")},
    {3079, 10386, wxS("Deutsch (Östereich)")},
    {4103, 10387, wxS("Deutsch (Luxemburg)")},
    {5127, 10388, wxS("Deutsch (Liechtenstein)")},
    {2057, 10390, wxS("Englisch (Großbritannien)")},
    {1033, 10451, wxS("Englisch (USA)")},
    {3081, 10391, wxS("Englisch (Australien)")},
    {4105, 10392, wxS("Englisch (Kanada)")},
    {5129, 10393, wxS("Englisch (Neuseeland)")},
    {6153, 10394, wxS("Englisch (Irland)")},
    {7177, 10395, wxS("Englisch (Südafrika)")},
    {8201, 10396, wxS("Englisch (Jamaika)")},
    {9225, 10397, wxS("Englisch (Karibik)")},
    {11273, 10398, wxS("Englisch (Trinidad)")},
    {1061, 10399, wxS("Estnisch")},
    {1035, 10400, wxS("Finnisch")},
    {1036, 10401, wxS("Französisch (Frankreich)")},
    {2060, 10403, wxS("Französisch (Belgien)")},
    {3084, 10404, wxS("Französisch (Kanada)")},
    {4108, 10405, wxS("Französisch (Schweiz)")},
    {5132, 10407, wxS("Französisch (Luxemburg)")},
    {1032, 10410, wxS("Griechisch")},
    {1037, 10420, wxS("Hebräisch")},
    {1038, 10421, wxS("Ungarisch")},
    {1039, 10422, wxS("Isländisch")},
    {1057, 10426, wxS("Indonesisch")},
    {1040, 10427, wxS("Italienisch")},
    {2064, 10428, wxS("Italienisch (Schweiz)")},
    {1041, 10430, wxS("Japanisch")},
    {1062, 10432, wxS("Lätisch")},
    {1063, 10433, wxS("Litauisch")},
    {1044, 10434, wxS("Norwegisch (Bokmal)")},
    {2068, 10435, wxS("Norwegisch (Nynorsk)")},
    {1045, 10439, wxS("Polnisch")},
    {2070, 10440, wxS("Portugisisch")},
    {1046, 10441, wxS("Portugisisch (Brasilien)")},
    {1048, 10442, wxS("Rumänisch")},
    {1049, 10443, wxS("Russisch")},
    {1051, 10446, wxS("Slowakisch")},
    {1060, 10447, wxS("Slowenisch")},
    {1034, 10448, wxS("Spanisch")},
    {2058, 10449, wxS("Spanisch (Mexiko)")},
    {4106, 10450, wxS("Spanisch (Guatemala)")},
    {5130, 10452, wxS("Spanisch (Costa Rica)")},
    {6154, 10455, wxS("Spanisch (Panama)")},
    {7178, 10456, wxS("Spanisch (Dominikanische Rep.)")},
    {8202, 10457, wxS("Spanisch (Venezuela)")},
    {10250, 10458, wxS("Spanisch (Peru)")},
    {11274, 10459, wxS("Spanisch (Argentinien)")},
    {12298, 10460, wxS("Spanisch (Ecuador)")},
    {13322, 10461, wxS("Spanisch (Chile)")},
    {14346, 10462, wxS("Spanisch (Uruguay)")},
    {15370, 10465, wxS("Spanisch (Paraguay)")},
    {16394, 10466, wxS("Spanisch (Bolivien)")},
    {17418, 10467, wxS("Spanisch (El Salvador)")},
    {18442, 10468, wxS("Spanisch (Honduras)")},
    {19466, 10469, wxS("Spanisch (Nicaragua)")},
    {20490, 10470, wxS("Spanisch (Puerto Rico)")},
    {1053, 10472, wxS("Schwedisch")},
    {2077, 10473, wxS("Schwedisch (Finnland)")},
    {1055, 10474, wxS("Türkisch")},
};

std::vector<LANGUAGE>& BuiltIn() {
  static std::vector<LANGUAGE> rows;
  return rows;
}

std::vector<LANGUAGE>& Table() {
  static std::vector<LANGUAGE> rows;
  return rows;
}

}  // namespace

// Called once by BuildLocalizedTables.
void BuildLanguageTable() {
  std::vector<LANGUAGE>& rows = BuiltIn();
  rows.clear();
  for (const LanguageRow& row : kLanguages) rows.push_back({row.number, hv::LocalString(row.textId, row.german)});
  rows.push_back(LANGUAGE{});
  ResetLanguageTable();
}

const std::vector<LANGUAGE>& GetBuiltInLanguages() {
  BuildLocalizedTables();
  return BuiltIn();
}

std::vector<LANGUAGE>& GetLanguageTable() {
  BuildLocalizedTables();
  return Table();
}

void ResetLanguageTable() {
  BuildLocalizedTables();
  std::vector<LANGUAGE>& table = Table();
  table.clear();
  for (const LANGUAGE& row : BuiltIn())
    if (row.number != 0) table.push_back(row);
}

bool AddLanguage(WORD number, const wxString& name) {
  if (number < 32768 || number == 65535 || name.empty()) return false;
  std::vector<LANGUAGE>& table = GetLanguageTable();
  for (const LANGUAGE& row : table)
    if (row.number == number) return false;
  table.push_back({number, name});
  return true;
}

wxString FindLanguageName(WORD number) {
  if (number == 0) return wxString();
  for (const LANGUAGE& row : GetLanguageTable())
    if (row.number == number) return row.name;
  return wxString();
}
