#pragma once
// Registry helpers of the suite: values of the brand, of the graph tool and of the
// database library, and the per-user folder.
#include <wx/string.h>

#include "platform/Types.h"

namespace hv {

// Brand root key "SOFTWARE\Quintor".
BOOL GetRegistryQuintorString(const wxString& name, wxString& out);
// Graph tool key "SOFTWARE\Quintor\TavGraph".
BOOL GetRegistryTavGraphIIString(const wxString& name, wxString& out);
BOOL GetRegistryTavGraphIIBin(const wxString& name, BYTE& out);
BOOL SetRegistryTavGraphIIString(const wxString& name, const wxString& text);
BOOL GetLocalUserFolder(wxString& out);

// Writers the database library offers for any key.
BOOL set_registry_binvalue(const wxString& key, const wxString& name, BYTE value);
BOOL set_registry_strvalue(const wxString& key, const wxString& name, const wxString& text);

}  // namespace hv
