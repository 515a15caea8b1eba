#include "framework/DialogTexts.h"

#include "platform/Localization.h"

namespace {

const NumberedText kTexts[] = {
    {13700, wxS("Neues Object")},
    {13701, wxS("Name:")},
    {13702, wxS("Komprimierung")},
    {13703, wxS("Default (Geräteeinstellung)")},
    {13704, wxS("Komprimiert")},
    {13705, wxS("Nicht Komprimiert")},
    {13706, wxS("Abbrechen")},
    {13707, wxS("Logische ID:")},
    {13708, wxS("Logische ID")},
    {13709, wxS("Sprache hinzufügen")},
    {13710, wxS("Sprache:")},
    {13711, wxS("Maske 'XXX' kopieren")},
    {13712, wxS("Folgende Komponenten mitkopieren:")},
    {13713, wxS("Texte")},
    {13714, wxS("Bitmaps")},
    {13715, wxS("Passwort eingeben")},
    {13716, wxS("Speichern")},
    {13717, wxS("Benutzer:")},
    {13718, wxS("Kennwort:")},
    {13719, wxS("Importieren")},
    {13720, wxS("Exportieren")},
    {13721, wxS("&Importieren")},
    {13722, wxS("&Exportieren")},
    {13723, wxS("Neues Objekt einfügen")},
    {13724, wxS("Objekttyp:")},
    {13725, wxS("CoDeSys konforme Datenpunktnamen")},
    {13726, wxS("CoDeSys Datenpunkte erzeugen")},
    {13727, wxS("Checksumme DP Ressourcenabgleich anlegen")},
    {13728, wxS("COM Datenpunkte erzeugen")},
    {13729, wxS("Byte-Adressierung")},
    {13730, wxS("Sprache")},
    {13731, wxS("Sprache ändern")},
    {13732, wxS("Verfügbare Sprachen:")},
    {13733, wxS("Hinzufügen...")},
    {13734, wxS("Entfernen")},
    {13735, wxS("&Bezeichnung:")},
    {13736, wxS("Pfad:")},
    {13737, wxS("Markieren Sie hier alle Sprachen, die auf das Zielsystem geladen werden sollen.")},
    {13738, wxS("Font:")},
    {13739, wxS("Ändern")},
    {13740, wxS("Als Standard setzen")},
    {13741, wxS("Allgemein")},
    {13742, wxS("Sprachen")},
    {13743, wxS("Quelle:")},
    {13744, wxS("Ziel:")},
    {13745, wxS("Sichere 3S CodeSys Archive")},
    {13746, wxS("&Starten")},
    {13747, wxS("&Abbrechen")},
    {13748, wxS("&Schließen")},
    {13749, wxS("Default (*.zip)|*.zip|All Files (*.*)|*.*")},
    {13750, wxS("Neues Projekt")},
    {13751, wxS("&Pfad:")},
    {13752, wxS("Zielverzeichnis für die Wiederherstellung auswählen:")},
    {13753, wxS("Gerät:")},
    {13754, wxS("IP-Adresse:")},
    {13755, wxS("Quelle:")},
    {13756, wxS("Ziel:")},
    {13757, wxS("Passwort:")},
    {13758, wxS("Passiver Modus")},
    {11310, wxS("Netzwerk")},
    {11311, wxS("Treiber:")},
    {11312, wxS("Slot:")},
    {11313, wxS("Parameter:")},
    {11314, wxS("ID:")},
    {11315, wxS("Netzwerk:")},
    {11316, wxS("Knoten:")},
    {11317, wxS("Letzte Aktion:")},
    {11318, wxS("Gefundene Geräte:")},
    {11319, wxS("Vorhandene Geräte:")},
    {11320, wxS("&Hinzufügen")},
    {11321, wxS("Schließen")},
    {11322, wxS("Info")},
    {11323, wxS("Gerät auswählen")},
    {11324, wxS("Geräte hinzufügen")},
    {11325, wxS("AutoScan")},
    {11326, wxS("Einstellungen")},
    {11550, wxS("ID:")},
    {11551, wxS("Log. ID:")},
    {11552, wxS("Beschreibung:")},
    {11553, wxS("Einheit:")},
    {11554, wxS("Geräte:")},
    {11555, wxS("Phys. DP:")},
    {11556, wxS("Datentyp:")},
    {11557, wxS("Signalbereich min.:")},
    {11558, wxS("Signalbereich max.:")},
    {11559, wxS("Meßbereich min.:")},
    {11560, wxS("Meßbereich max.:")},
    {11561, wxS("Startwert:")},
    {11562, wxS("immer mit Startwert")},
    {11563, wxS("mit gespeichertem Parameter (PERSISTENT)")},
    {11564, wxS("mit batteriegepuffertem Wert (RETAIN)")},
    {11565, wxS("Lesen")},
    {11566, wxS("Schreiben")},
    {11567, wxS("Lesen/Schreiben")},
    {11568, wxS("Bereiche/Zugriff")},
    {11569, wxS("Alle &fertigstellen")},
    {11570, wxS("&Alle abbrechen")},
    {11571, wxS("< &Zurück")},
    {11572, wxS("&Weiter >")},
    {11573, wxS("&Fertigstellen")},
    {11574, wxS("OK")},
    {11575, wxS("Datenpunkt auswählen")},
    {11576, wxS("Adresse:")},
    {11802, wxS("Protokoll:")},
    {11803, wxS("Port:")},
    {11804, wxS("Trennzeichen:")},
    {11805, wxS("Tabstop")},
};

}  // namespace

wxString LocalTextOf(std::span<const NumberedText> table, const wxString& german) {
  for (const NumberedText& row : table)
    if (german == row.german) return hv::LocalString(row.number, row.german);
  return german;
}

std::vector<std::pair<UINT, wxString>> TextsOf(std::span<const NumberedText> table) {
  std::vector<std::pair<UINT, wxString>> out;
  for (const NumberedText& row : table) out.emplace_back(row.number, row.german);
  return out;
}

wxString DlgText(const wxString& german) { return LocalTextOf(kTexts, german); }

std::vector<std::pair<UINT, wxString>> DialogTexts() { return TextsOf(kTexts); }
