#pragma once
// Texts by number. German texts live in the code as defaults; other languages come
// from catalogues data/lang/<CODE>.txt ("id<TAB>text", UTF-8, "\n" and "\t" escaped).
#include <map>
#include <string>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

namespace hv {

// The catalogue's text for id, else the German default. A catalogue text whose format
// specifiers differ from the default's (count, order, types) is refused in favour of
// the default, and its number named once on standard error.
wxString LocalString(UINT id, const wxString& germanDefault);

// The format specifiers of a text in order ("%%" left out): each as its argument
// position ("1$"), '*' widths, length modifier and conversion; "?" for a '%' that starts
// none.
std::vector<std::string> FormatSpecifiers(const wxString& text);
// Whether a catalogue text may stand in for its built-in one as a format.
bool CatalogueTextFits(const wxString& text, const wxString& germanDefault);

// Language numbers of the localisation layer: 0 German ("DEU"), 1 English ("ENG").
wxString GetLanguageCode(int number);
int GetLanguageNumber(const wxString& code);   // -1 when unknown
std::vector<wxString> KnownLanguageCodes();

// Loads the catalogue of a language for an application ("Project"); false when the
// code is unknown or its catalogue cannot be read (German needs none).
BOOL InitMultiLanguage(const wxString& application, const wxString& code);
BOOL InitMultiLanguage(const wxString& application, int number);
// Number of the language in use (0 until a language is initialised).
int CurrentLanguageNumber();
// Drops the loaded catalogue (tests).
void ResetLanguage();

// Parses a catalogue; malformed lines are skipped.
std::map<UINT, wxString> ParseCatalogue(const std::string& utf8);

// Help file of the given language for a help-file name: "_<CODE>" goes before the
// extension. False for an unknown number or an empty name.
BOOL GetHelpFile(wxString& name, int number);

// Request for the language selection dialog: the current number in, the chosen out.
struct SelectLanguageRequest {
  int number = 0;
  std::vector<wxString> codes;   // offered codes, indexed by number
  std::vector<wxString> names;   // what the chooser shows for each code
};

}  // namespace hv
