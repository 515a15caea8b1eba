#include "app/MenuResources.h"

#include <initializer_list>
#include <map>

#include "framework/CommandIds.h"
#include "framework/DialogTexts.h"
#include "app/TavProjectDoc.h"
#include "model/Network.h"
#include "model/ProjectObject.h"
#include "resources/ResourceCommands.h"
#include "platform/Localization.h"

namespace {

// One entry of a context menu; id 0 is a separator.
struct ItemDef {
  UINT id;
  const wxChar* text;
};

CMenu Items(std::initializer_list<ItemDef> items) {
  CMenu menu;
  for (const ItemDef& item : items) {
    if (item.id == 0) menu.AppendSeparator();
    else menu.AppendMenu(item.id, item.text);
  }
  return menu;
}

constexpr ItemDef kSeparator{0, nullptr};

std::map<UINT, CMenu> BuiltInMenus() {
  std::map<UINT, CMenu> menus;
  menus[IDR_MENU_NEW_PASTE_EMPTY] = Items({{ID_NEW_OBJECT, wxS("Neues Object")}, {ID_EDIT_PASTE, wxS("Einfügen")}});
  menus[IDR_MENU_NEW_PASTE] = Items({{ID_OBJECT_NEW, wxS("Neu...")}, {ID_EDIT_PASTE, wxS("Einfügen")}});
  menus[IDR_MENU_PASTE_PAL] = Items({{ID_EDIT_PASTE, wxS("Einfügen")}});
  menus[IDR_MENU_PASTE_DOCS] = Items({{ID_EDIT_PASTE, wxS("Einfügen\tStrg+V")}});
  menus[IDR_MENU_PRJFOLDER] = Items({{ID_OBJECT_NEW, wxS("Neu...")},
                                     {ID_OBJECT_EDIT, wxS("&Ändern")},
                                     {ID_OBJECT_DELETE, wxS("Löschen")},
                                     {ID_IMPORT, wxS("&Importieren...")},
                                     {ID_RESTORE, wxS("&Wiederherstellung")},
                                     {ID_EDIT_PASTE, wxS("&Einfügen")}});
  menus[IDR_MENU_DEVICE] = Items({{ID_OBJECT_NEW, wxS("Neu...")},
                                  {ID_OBJECT_EDIT, wxS("Ändern")},
                                  {ID_OBJECT_DELETE, wxS("Löschen")},
                                  {ID_NEW_OBJECT, wxS("Neues Object")},
                                  {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                  {ID_EDIT_COPY, wxS("Kopieren")},
                                  {ID_EDIT_CUT, wxS("Ausschneiden")},
                                  {ID_EDIT_PASTE, wxS("Einfügen")}});
  menus[IDR_MENU_NETWORK] = Items({{ID_NEW_OBJECT, wxS("Neues Netzwerk")},
                                   {ID_OBJECT_EDIT, wxS("Ändern")},
                                   {ID_OBJECT_DELETE, wxS("Löschen")},
                                   {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                   {ID_NETWORK_AUTOSCAN, wxS("Autoscan")},
                                   kSeparator,
                                   {ID_EDIT_COPY, wxS("Kopieren")},
                                   {ID_EDIT_CUT, wxS("Ausschneiden")},
                                   {ID_EDIT_PASTE, wxS("Einfügen")}});
  menus[IDR_MENU_PRJDEVICE] = Items({{ID_OBJECT_NEW, wxS("&Neu...")},
                                     {ID_OBJECT_EDIT, wxS("&Ändern")},
                                     {ID_OBJECT_DELETE, wxS("&Löschen")},
                                     {ID_NEW_OBJECT, wxS("Neues Object")},
                                     {ID_DEVICE_TOOL_MARKER, wxS("<ToolPopup1>")},
                                     {ID_EDIT_COPY, wxS("&Kopieren")},
                                     {ID_EDIT_PASTE, wxS("&Einfügen")}});
  menus[IDR_MENU_RESOURCE_ITEM] = Items({{ID_OBJECT_EDIT, wxS("Ändern")},
                                         {ID_OBJECT_DELETE, wxS("Löschen")},
                                         {ID_NEW_OBJECT, wxS("Neues Object")},
                                         {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                         {ID_OBJECT_LOGID, wxS("Log. ID ändern")},
                                         {ID_EDIT_COPY, wxS("Kopieren")},
                                         {ID_EDIT_CUT, wxS("Ausschneiden")},
                                         {ID_EDIT_PASTE, wxS("Einfügen")}});

  menus[IDR_MENU_PROJECT] = Items({{ID_OBJECT_NEW, wxS("&Neu...")},
                                   {ID_OBJECT_EDIT, wxS("Ändern")},
                                   {ID_OBJECT_DELETE, wxS("Löschen")},
                                   {ID_NEW_OBJECT, wxS("Neues Object")},
                                   {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                   kSeparator,
                                   {ID_EDIT_COPY, wxS("Kopieren")},
                                   {ID_EDIT_CUT, wxS("Ausschneiden")},
                                   {ID_EDIT_PASTE, wxS("Einfügen")},
                                   kSeparator,
                                   {ID_IMPORT, wxS("Importieren...")},
                                   {ID_BACKUP, wxS("Sicherung")},
                                   {ID_RESTORE, wxS("Wiederherstellung")},
                                   {ID_EXPORT_DATA_POINTS, wxS("Datenpunkte exportieren...")},
                                   {ID_DOWNLOAD_PROJECT, wxS("Projektdownload")}});
  // Direct data points: the shared commands and reading the value online.
  menus[IDR_MENU_DIRECT_DP] = Items({{ID_OBJECT_NEW, wxS("&Neu...")},
                                     {ID_OBJECT_EDIT, wxS("Ändern")},
                                     {ID_OBJECT_DELETE, wxS("Löschen")},
                                     {ID_NEW_OBJECT, wxS("Neues Object")},
                                     {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                     {ID_READ_VALUE, wxS("Neuen &Wert lesen")},
                                     kSeparator,
                                     {ID_EDIT_COPY, wxS("Kopieren")},
                                     {ID_EDIT_CUT, wxS("Ausschneiden")},
                                     {ID_EDIT_PASTE, wxS("Einfügen")}});
  // Texts, simulation sources, screen elements and every class without a menu of its own.
  menus[IDR_MENU_SIMPLE] = Items({{ID_OBJECT_NEW, wxS("&Neu...")},
                                  {ID_OBJECT_EDIT, wxS("Ändern")},
                                  {ID_OBJECT_DELETE, wxS("Löschen")},
                                  {ID_NEW_OBJECT, wxS("Neues Object")},
                                  {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                  {ID_OBJECT_LOGID, wxS("Log. ID ändern")},
                                  {ID_READ_VALUE, wxS("Neuen &Wert lesen")},
                                  {ID_EDIT_COPY, wxS("Kopieren")},
                                  {ID_EDIT_CUT, wxS("Ausschneiden")}});
  menus[IDR_MENU_DOC] = Items({{ID_OBJECT_EDIT, wxS("Ändern")},
                               {ID_OBJECT_DELETE, wxS("Löschen")},
                               {ID_EDIT_COPY, wxS("Kopieren")}});
  menus[IDR_MENU_HTML] = Items({{ID_OBJECT_EDIT, wxS("Ä&ndern")},
                                {ID_OBJECT_DELETE, wxS("&Löschen")},
                                {ID_NEW_OBJECT, wxS("Neues Object")},
                                {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                {ID_RES_NEW_FOLDER, wxS("Neuer Ordner")},
                                kSeparator,
                                {ID_EDIT_COPY, wxS("Kopieren")},
                                {ID_EDIT_CUT, wxS("Ausschneiden")},
                                {ID_EDIT_PASTE, wxS("Einfügen")},
                                kSeparator,
                                {ID_RES_SEND_TO_DEVICE, wxS("Zum Gerät schreiben")},
                                {ID_RES_USE_CF, wxS("Download auf CompactFlash")}});
  menus[IDR_MENU_HTML_FOLDER] = Items({{ID_OBJECT_EDIT, wxS("Ä&ndern")},
                                       {ID_OBJECT_DELETE, wxS("&Löschen")},
                                       {ID_NEW_OBJECT, wxS("Neues Object")},
                                       {ID_RES_NEW_FOLDER, wxS("Neuer Ordner")},
                                       kSeparator,
                                       {ID_EDIT_COPY, wxS("Kopieren")},
                                       {ID_EDIT_CUT, wxS("Ausschneiden")},
                                       {ID_EDIT_PASTE, wxS("Einfügen")},
                                       kSeparator,
                                       {ID_RES_SEND_TO_DEVICE, wxS("Zum Gerät schreiben")},
                                       {ID_RES_USE_CF, wxS("Download auf CompactFlash")}});
  menus[IDR_MENU_KEYPAD_XML] = Items({{ID_OBJECT_EDIT, wxS("Ändern")},
                                      {ID_OBJECT_DELETE, wxS("Löschen")},
                                      {ID_NEW_OBJECT, wxS("Neue Keypad XML Config-Datei")},
                                      {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                      {ID_EDIT_COPY, wxS("Kopieren")},
                                      {ID_EDIT_CUT, wxS("Ausschneiden")},
                                      {ID_EDIT_PASTE, wxS("Einfügen")},
                                      {ID_RES_KEYPAD_DOWNLOAD, wxS("Download")}});
  menus[IDR_MENU_FONT] = Items({{ID_OBJECT_EDIT, wxS("Ä&ndern")},
                                {ID_OBJECT_DELETE, wxS("&Löschen")},
                                {ID_EDIT_COPY, wxS("&Kopieren")},
                                {ID_EDIT_CUT, wxS("&Ausschneiden")},
                                {ID_EDIT_PASTE, wxS("&Einfügen")},
                                {ID_NEW_OBJECT, wxS("Neues Object")},
                                {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                {ID_OBJECT_LOGID, wxS("Log. ID ändern")},
                                {ID_RES_FONT_DOWNLOAD, wxS("Download")}});
  menus[IDR_MENU_PRG_CODESYS] = Items({{ID_OBJECT_NEW, wxS("&Neu...")}, {ID_IMPORT_CODESYS, wxS("&Importieren...")}});
  // Classes whose only command of their own is the new-object dialog.
  for (UINT id : {IDR_MENU_DATALOGER, IDR_MENU_ALARMDEF, IDR_MENU_PROGRIPS, IDR_MENU_PAL, IDR_MENU_RES_KEYPAD,
                  IDR_MENU_RECIPEDEF, IDR_MENU_RECIPE, IDR_MENU_RESOURCE, IDR_MENU_RES_STRING, IDR_MENU_CODESYS,
                  IDR_MENU_TAVSIM, IDR_MENU_TAVGRAPH})
    menus[id] = Items({{ID_OBJECT_NEW, wxS("&Neu...")}});
  return menus;
}

std::map<UINT, CMenu>& Menus() {
  static std::map<UINT, CMenu> menus = BuiltInMenus();
  return menus;
}

}  // namespace

void RegisterContextMenu(UINT resourceId, CMenu popup) { Menus()[resourceId] = std::move(popup); }

std::optional<CMenu> LoadContextMenu(UINT resourceId) {
  auto it = Menus().find(resourceId);
  if (it == Menus().end()) return std::nullopt;
  return it->second;
}

std::vector<UINT> ContextMenuIds() {
  std::vector<UINT> ids;
  for (const auto& [id, menu] : Menus()) ids.push_back(id);
  return ids;
}

CMenu BuildMainMenu() {
  CMenu file;
  file.AppendMenu(ID_FILE_PRINT, wxS("&Drucken...\tStrg+P"))
      .AppendMenu(ID_FILE_PRINT_PREVIEW, wxS("Sei&tenansicht"))
      .AppendMenu(ID_FILE_PRINT_SETUP, wxS("Drucker&einrichtung..."))
      .AppendSeparator()
      .AppendMenu(ID_APP_EXIT, wxS("&Beenden"));

  CMenu edit;
  edit.AppendMenu(ID_OBJECT_NEW, wxS("&Neu..."))
      .AppendMenu(ID_OBJECT_EDIT, wxS("Ä&ndern"))
      .AppendMenu(ID_OBJECT_DELETE, wxS("&Löschen"))
      .AppendSeparator()
      .AppendMenu(ID_EDIT_CUT, wxS("&Ausschneiden\tStrg+X"))
      .AppendMenu(ID_EDIT_COPY, wxS("&Kopieren\tStrg+C"))
      .AppendMenu(ID_EDIT_PASTE, wxS("E&infügen\tStrg+V"))
      .AppendSeparator()
      .AppendMenu(ID_EDIT_SELECT_ALL, wxS("Alles &markieren\tStrg+A"))
      .AppendMenu(ID_EDIT_INVERT_SELECTION, wxS("Markierung &umkehren"));

  CMenu office2007;
  office2007.AppendCheck(ID_VIEW_APPLOOK_OFF_2007_BLUE, wxS("Stil '&Blau'"))
      .AppendCheck(ID_VIEW_APPLOOK_OFF_2007_BLACK, wxS("Stil 'S&chwarz'"))
      .AppendCheck(ID_VIEW_APPLOOK_OFF_2007_SILVER, wxS("Stil '&Silber'"))
      .AppendCheck(ID_VIEW_APPLOOK_OFF_2007_AQUA, wxS("Stil '&Aqua'"));
  CMenu look;
  look.AppendCheck(ID_VIEW_APPLOOK_WIN_2000, wxS("Windows &2000"))
      .AppendCheck(ID_VIEW_APPLOOK_OFF_XP, wxS("Office &XP"))
      .AppendCheck(ID_VIEW_APPLOOK_WIN_XP, wxS("&Windows XP"))
      .AppendCheck(ID_VIEW_APPLOOK_OFF_2003, wxS("Office 200&3"))
      .AppendCheck(ID_VIEW_APPLOOK_VS_2005, wxS("Visual Studio.NET 200&5"))
      .AppendPopup(wxS("Office 200&7"), std::move(office2007));

  CMenu view;
  view.AppendCheck(ID_VIEW_LARGEICON, wxS("&Große Symbole"))
      .AppendCheck(ID_VIEW_SMALLICON, wxS("&Kleine Symbole"))
      .AppendCheck(ID_VIEW_LIST, wxS("&Liste"))
      .AppendCheck(ID_VIEW_DETAILS, wxS("&Details"))
      .AppendSeparator()
      .AppendMenu(ID_EXPAND_ALL, wxS("E&rweitern"))
      .AppendMenu(ID_VIEW_REFRESH, wxS("&Aktualisieren\tF5"))
      .AppendSeparator()
      .AppendPopup(wxS("&Anwendungsdarstellung"), std::move(look))
      .AppendMenu(ID_VIEW_CUSTOMIZE, wxS("Anpassen..."));

  CMenu extras;
  extras.AppendMenu(ID_SETTINGS, wxS("&Einstellungen..."))
      .AppendMenu(ID_SELECT_LANGUAGE, wxS("&Sprachauswahl..."))
      .AppendMenu(ID_VERSION_CONTROL, wxS("&Versionskontrolle"))
      .AppendMenu(ID_VERSION_SWITCH, wxS("&Versionsumschaltung"))
      .AppendSeparator()
      .AppendMenu(ID_TOOL_MENU_MARKER, wxS("<ToolMenu1>"));

  CMenu help;
  help.AppendMenu(ID_HELP_INDEX, wxS("&Inhalt"))
      .AppendMenu(ID_HELP_OVERVIEW, wxS("Ü&bersicht"))
      .AppendMenu(ID_REMOTE_SUPPORT, wxS("&Fernwartung Support"))
      .AppendSeparator()
      .AppendMenu(ID_APP_ABOUT, wxS("&Info über Halvora..."));

  CMenu bar;
  bar.AppendPopup(wxS("&Datei"), std::move(file))
      .AppendPopup(wxS("&Bearbeiten"), std::move(edit))
      .AppendPopup(wxS("&Ansicht"), std::move(view))
      .AppendPopup(wxS("&Extras"), std::move(extras))
      .AppendPopup(wxS("&Hilfe"), std::move(help));
  return bar;
}

std::vector<ToolbarButton> MainToolbarButtons() {
  return {
      {ID_OBJECT_NEW, "wxART_NEW"},   {ID_OBJECT_DELETE, "wxART_DELETE"}, {0, ""},
      {ID_EDIT_CUT, "wxART_CUT"},     {ID_EDIT_COPY, "wxART_COPY"},       {ID_EDIT_PASTE, "wxART_PASTE"},
      {0, ""},                        {ID_FILE_PRINT, "wxART_PRINT"},     {0, ""},
      {ID_APP_ABOUT, "wxART_HELP"},
  };
}

namespace {

// Each menu text has its number in the catalogues; the menus themselves are written in
// German.
const NumberedText kMenuTexts[] = {
    {13600, wxS("Neues Object")},
    {10290, wxS("Neues Netzwerk")},
    {11304, wxS("Autoscan")},
    {13601, wxS("Einfügen")},
    {13602, wxS("Neu...")},
    {13603, wxS("Einfügen\tStrg+V")},
    {13604, wxS("&Ändern")},
    {13605, wxS("Löschen")},
    {13606, wxS("&Importieren...")},
    {13607, wxS("&Wiederherstellung")},
    {13608, wxS("&Einfügen")},
    {13609, wxS("Ändern")},
    {13610, wxS("Neue Kopie...")},
    {13611, wxS("Kopieren")},
    {13612, wxS("Ausschneiden")},
    {13613, wxS("&Neu...")},
    {13614, wxS("&Löschen")},
    {13615, wxS("&Kopieren")},
    {13616, wxS("Log. ID ändern")},
    {13617, wxS("Importieren...")},
    {13618, wxS("Sicherung")},
    {13619, wxS("Wiederherstellung")},
    {13620, wxS("Datenpunkte exportieren...")},
    {13621, wxS("Projektdownload")},
    {13622, wxS("Ä&ndern")},
    {13623, wxS("Neue Keypad XML Config-Datei")},
    {13624, wxS("&Ausschneiden")},
    {13625, wxS("&Drucken...\tStrg+P")},
    {13626, wxS("Sei&tenansicht")},
    {11540, wxS("Neuen &Wert lesen")},
    {13627, wxS("Drucker&einrichtung...")},
    {13628, wxS("&Beenden")},
    {13629, wxS("&Ausschneiden\tStrg+X")},
    {13630, wxS("&Kopieren\tStrg+C")},
    {13631, wxS("E&infügen\tStrg+V")},
    {13632, wxS("Alles &markieren\tStrg+A")},
    {13633, wxS("Markierung &umkehren")},
    {13634, wxS("Stil '&Blau'")},
    {13635, wxS("Stil 'S&chwarz'")},
    {13636, wxS("Stil '&Silber'")},
    {13637, wxS("Stil '&Aqua'")},
    {13638, wxS("Windows &2000")},
    {13639, wxS("Office &XP")},
    {13640, wxS("&Windows XP")},
    {13641, wxS("Office 200&3")},
    {13642, wxS("Visual Studio.NET 200&5")},
    {13643, wxS("Office 200&7")},
    {13644, wxS("&Große Symbole")},
    {13645, wxS("&Kleine Symbole")},
    {13646, wxS("&Liste")},
    {13647, wxS("&Details")},
    {13648, wxS("E&rweitern")},
    {13649, wxS("&Aktualisieren\tF5")},
    {13650, wxS("&Anwendungsdarstellung")},
    {13651, wxS("Anpassen...")},
    {13652, wxS("&Einstellungen...")},
    {13653, wxS("&Sprachauswahl...")},
    {13654, wxS("&Versionskontrolle")},
    {13655, wxS("&Versionsumschaltung")},
    {13656, wxS("&Inhalt")},
    {13657, wxS("Ü&bersicht")},
    {13658, wxS("&Fernwartung Support")},
    {13659, wxS("&Info über Halvora...")},
    {13660, wxS("&Datei")},
    {13661, wxS("&Bearbeiten")},
    {13662, wxS("&Ansicht")},
    {13663, wxS("&Extras")},
    {13664, wxS("&Hilfe")},
    {10628, wxS("Neuer Ordner")},
    {11620, wxS("Zum Gerät schreiben")},
    {11621, wxS("Download auf CompactFlash")},
    {11622, wxS("Download")},
};

// The status bar's prompt of a command, by the command's own number.
const NumberedText kPrompts[] = {
    {ID_FILE_PRINT, wxS("Druckt die Liste")},
    {ID_FILE_PRINT_PREVIEW, wxS("Zeigt die Liste so, wie sie gedruckt wird")},
    {ID_FILE_PRINT_SETUP, wxS("Wählt den Drucker und die Seiteneinstellungen")},
    {ID_APP_EXIT, wxS("Beendet das Programm")},
    {ID_OBJECT_NEW, wxS("Legt ein neues Objekt unter dem markierten an")},
    {ID_OBJECT_EDIT, wxS("Ändert das markierte Objekt")},
    {ID_OBJECT_DELETE, wxS("Löscht die markierten Objekte")},
    {ID_NEW_OBJECT, wxS("Legt ein neues Objekt dieser Art an")},
    {ID_OBJECT_NEW_COPY, wxS("Legt eine Kopie des markierten Objekts an")},
    {ID_OBJECT_LOGID, wxS("Ändert die logische ID des markierten Objekts")},
    {ID_EDIT_CUT, wxS("Schneidet die markierten Objekte aus und legt sie in die Zwischenablage")},
    {ID_EDIT_COPY, wxS("Kopiert die markierten Objekte in die Zwischenablage")},
    {ID_EDIT_PASTE, wxS("Fügt den Inhalt der Zwischenablage ein")},
    {ID_EDIT_SELECT_ALL, wxS("Markiert alle Einträge der Liste")},
    {ID_EDIT_INVERT_SELECTION, wxS("Kehrt die Markierung der Liste um")},
    {ID_VIEW_LARGEICON, wxS("Zeigt die Einträge der Liste als große Symbole")},
    {ID_VIEW_SMALLICON, wxS("Zeigt die Einträge der Liste als kleine Symbole")},
    {ID_VIEW_LIST, wxS("Zeigt die Einträge der Liste in Spalten")},
    {ID_VIEW_DETAILS, wxS("Zeigt die Einträge der Liste mit allen Angaben")},
    {ID_EXPAND_ALL, wxS("Öffnet alle Zweige unter dem markierten Eintrag")},
    {ID_VIEW_REFRESH, wxS("Liest die Projekte und ihren Inhalt neu ein")},
    {ID_VIEW_CUSTOMIZE, wxS("Passt die Symbolleiste an")},
    {ID_VIEW_APPLOOK_WIN_2000, wxS("Wählt die Darstellung Windows 2000")},
    {ID_VIEW_APPLOOK_OFF_XP, wxS("Wählt die Darstellung Office XP")},
    {ID_VIEW_APPLOOK_WIN_XP, wxS("Wählt die Darstellung Windows XP")},
    {ID_VIEW_APPLOOK_OFF_2003, wxS("Wählt die Darstellung Office 2003")},
    {ID_VIEW_APPLOOK_VS_2005, wxS("Wählt die Darstellung Visual Studio 2005")},
    {ID_VIEW_APPLOOK_OFF_2007_BLUE, wxS("Wählt die Darstellung Office 2007 in Blau")},
    {ID_VIEW_APPLOOK_OFF_2007_BLACK, wxS("Wählt die Darstellung Office 2007 in Schwarz")},
    {ID_VIEW_APPLOOK_OFF_2007_SILVER, wxS("Wählt die Darstellung Office 2007 in Silber")},
    {ID_VIEW_APPLOOK_OFF_2007_AQUA, wxS("Wählt die Darstellung Office 2007 in Aqua")},
    {ID_SETTINGS, wxS("Ändert die Einstellungen des Programms")},
    {ID_SELECT_LANGUAGE, wxS("Wählt die Sprache der Oberfläche")},
    {ID_VERSION_CONTROL, wxS("Startet die Versionskontrolle")},
    {ID_VERSION_SWITCH, wxS("Startet die Versionsumschaltung")},
    {ID_HELP_INDEX, wxS("Öffnet das Handbuch")},
    {ID_HELP_OVERVIEW, wxS("Öffnet die Übersicht der Software")},
    {ID_REMOTE_SUPPORT, wxS("Startet die Fernwartung")},
    {ID_APP_ABOUT, wxS("Zeigt Version und Copyright des Programms")},
    {ID_IMPORT, wxS("Importiert ein Projekt")},
    {ID_BACKUP, wxS("Sichert das Projekt in ein Zip-Archiv")},
    {ID_RESTORE, wxS("Stellt ein Projekt aus einer Sicherung wieder her")},
    {ID_EXPORT_DATA_POINTS, wxS("Exportiert die Datenpunkte des Projekts")},
    {ID_DOWNLOAD_PROJECT, wxS("Lädt alle CoDeSys-Programme und Ressourcen auf die Steuerungen des Projekts")},
    {ID_IMPORT_CODESYS, wxS("Importiert ein CoDeSys-Projekt in das Gerät")},
};

}  // namespace

wxString LocalMenuText(const wxString& german) { return LocalTextOf(kMenuTexts, german); }

wxString CommandPrompt(UINT id) {
  for (const NumberedText& row : kPrompts)
    if (row.number == id) return hv::LocalString(row.number, row.german);
  return wxString();
}

std::vector<std::pair<UINT, wxString>> MenuAndPromptTexts() {
  std::vector<std::pair<UINT, wxString>> out = TextsOf(kMenuTexts);
  const std::vector<std::pair<UINT, wxString>> prompts = TextsOf(kPrompts);
  out.insert(out.end(), prompts.begin(), prompts.end());
  return out;
}
