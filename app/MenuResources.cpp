#include "app/MenuResources.h"

#include <initializer_list>
#include <map>

#include "framework/CommandIds.h"
#include "app/TavProjectDoc.h"
#include "model/ProjectObject.h"

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
  // Texts, simulation sources, screen elements and every class without a menu of its own.
  menus[IDR_MENU_SIMPLE] = Items({{ID_OBJECT_NEW, wxS("&Neu...")},
                                  {ID_OBJECT_EDIT, wxS("Ändern")},
                                  {ID_OBJECT_DELETE, wxS("Löschen")},
                                  {ID_NEW_OBJECT, wxS("Neues Object")},
                                  {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                  {ID_OBJECT_LOGID, wxS("Log. ID ändern")},
                                  {ID_EDIT_COPY, wxS("Kopieren")},
                                  {ID_EDIT_CUT, wxS("Ausschneiden")}});
  menus[IDR_MENU_DOC] = Items({{ID_OBJECT_EDIT, wxS("Ändern")},
                               {ID_OBJECT_DELETE, wxS("Löschen")},
                               {ID_EDIT_COPY, wxS("Kopieren")}});
  menus[IDR_MENU_HTML] = Items({{ID_OBJECT_EDIT, wxS("Ä&ndern")},
                                {ID_OBJECT_DELETE, wxS("&Löschen")},
                                {ID_NEW_OBJECT, wxS("Neues Object")},
                                {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")}});
  menus[IDR_MENU_HTML_FOLDER] = Items({{ID_OBJECT_EDIT, wxS("Ä&ndern")},
                                       {ID_OBJECT_DELETE, wxS("&Löschen")},
                                       {ID_NEW_OBJECT, wxS("Neues Object")}});
  menus[IDR_MENU_KEYPAD_XML] = Items({{ID_OBJECT_EDIT, wxS("Ändern")},
                                      {ID_OBJECT_DELETE, wxS("Löschen")},
                                      {ID_NEW_OBJECT, wxS("Neue Keypad XML Config-Datei")},
                                      {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                      {ID_EDIT_CUT, wxS("Ausschneiden")}});
  menus[IDR_MENU_FONT] = Items({{ID_OBJECT_EDIT, wxS("Ä&ndern")},
                                {ID_OBJECT_DELETE, wxS("&Löschen")},
                                {ID_EDIT_CUT, wxS("&Ausschneiden")},
                                {ID_NEW_OBJECT, wxS("Neues Object")},
                                {ID_OBJECT_NEW_COPY, wxS("Neue Kopie...")},
                                {ID_OBJECT_LOGID, wxS("Log. ID ändern")}});
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
