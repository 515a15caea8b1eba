#include "platform/SuiteHelper.h"

#include "platform/Environment.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace hv {

BOOL GetRegistryQuintorString(const wxString& name, wxString& out) {
  auto v = RegistryStore::Get().GetString(kKeyBrand, name);
  if (!v) return FALSE;
  out = *v;
  return TRUE;
}

BOOL GetRegistryTavGraphIIString(const wxString& name, wxString& out) {
  auto v = RegistryStore::Get().GetString(kKeyGraphTool, name);
  if (!v) return FALSE;
  out = *v;
  return TRUE;
}

BOOL GetRegistryTavGraphIIBin(const wxString& name, BYTE& out) {
  auto v = RegistryStore::Get().GetByte(kKeyGraphTool, name);
  if (!v) return FALSE;
  out = *v;
  return TRUE;
}

BOOL SetRegistryTavGraphIIString(const wxString& name, const wxString& text) {
  return RegistryStore::Get().SetString(kKeyGraphTool, name, text) ? TRUE : FALSE;
}

BOOL GetLocalUserFolder(wxString& out) {
  out = UserFolder();
  if (!IsFolder(out) && !MakeFolders(out)) return FALSE;
  return TRUE;
}

BOOL set_registry_binvalue(const wxString& key, const wxString& name, BYTE value) {
  return RegistryStore::Get().SetByte(key, name, value) ? TRUE : FALSE;
}

BOOL set_registry_strvalue(const wxString& key, const wxString& name, const wxString& text) {
  return RegistryStore::Get().SetString(key, name, text) ? TRUE : FALSE;
}

}  // namespace hv
