#pragma once
// Opening a screen, or one element of it, in the suite's screen designer: a running
// designer window for the screen is brought forward (and told the element), else the
// designer is started for it.
//
// The designer program is the registry value "ScreenDesigner" under
// "SOFTWARE\Quintor\Halvora" (a path; blanks allowed), else
// "<install folder>/Halvora/Skizzar.exe". It is started with
//   <program> /L "<screen>" /F "<device folder>" /P "<project> - <device>" [/E <element id>]
// (the program and every argument quoted by the Windows rules, so any name arrives
// whole), with no working folder of its own: the designer inherits this program's
// current folder.
//
// A designer started here is recorded with the window class and the title
// "<screen> [<project> - <device>] - Halvora - Skizzar" that its window would carry; a
// designer started elsewhere is recognised by its program name and its /L, /F and /P
// arguments. A running designer gets the line "RAISE" and, for an element, the posted
// message "MSG 1025 0 <element id>" (WM_USER+1); a designer blocked by a modal dialog of
// its own ignores the element, as its window would be disabled.
#include <optional>
#include <wx/string.h>

#include "platform/Types.h"

class CPOPrjDevice;

inline const wxString kScreenDesignerValue = wxS("ScreenDesigner");
inline const wxString kScreenDesignerClass = wxS("zUzuvuzid Halvora4550drawtask9012");
// The message that selects an element in a running designer (WM_USER+1).
constexpr UINT kDesignerSelectElement = 0x401;
// A screen the designer is never opened for.
inline const wxString kDefaultComponentsScreen = wxS("!DEFAULT_COMPONENTS");

// The designer program as configured.
wxString ScreenDesignerProgram();
// "<project> - <device>": the name of the device's parent project and the device's.
wxString ProjectAndDeviceText(CPOPrjDevice* device);
wxString ScreenDesignerTitle(const wxString& screen, const wxString& projectAndDevice);
wxString ScreenDesignerCommandLine(const wxString& program, const wxString& screen, const wxString& deviceFolder,
                                   const wxString& projectAndDevice, std::optional<DWORD> elementId = std::nullopt);
// One argument quoted so that the Windows rules (SplitCommandLine) give it back as it is.
wxString QuoteCommandArgument(const wxString& text);

// Brings the screen's designer forward (selecting the element) or starts the
// designer for it. The graph-tool and default-screen checks are the caller's. A start
// that fails is reported by the launcher.
void OpenScreenInDesigner(const wxString& screen, CPOPrjDevice* device, std::optional<DWORD> elementId = std::nullopt);

// Whether any designer window exists (a screen cannot be deleted while one does).
bool IsScreenDesignerOpen();
