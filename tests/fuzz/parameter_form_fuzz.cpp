// A driver plug-in describes its parameters in a schema text it chooses: whatever the
// text, the form is parsed, its fields checked, filled from a parameter text and joined
// back; when every field's value is one the dialog accepts, the joined text fills the
// same fields with the same values again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/online/ParameterForm.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Schema and parameter text are split at the first NUL; the schema is a C string.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = bytes.find('\0');
  const std::string schema = bytes.substr(0, nul);
  const std::string param = nul == std::string::npos ? std::string() : bytes.substr(nul + 1);

  std::vector<hv::ParameterField> fields = hv::ParseParameterSchema(schema.c_str());
  for (const hv::ParameterField& field : fields) {
    (void)hv::CheckParameterField(field);
    (void)field.Label(1033);
    (void)field.Label(1031);
  }
  const wxString paramText = wxString::FromUTF8(param.data(), param.size());
  const wxString slot = hv::ParameterValue(paramText, wxS("slot"));
  hv::FillParameterFields(fields, paramText, slot);
  bool accepted = true;   // what the dialog would take on OK
  for (const hv::ParameterField& field : fields) accepted = hv::CheckParameterField(field).empty() && accepted;
  const wxString joined = hv::JoinParameterFields(fields);
  for (const hv::ParameterField& field : fields) (void)hv::ParameterValue(joined, field.key);

  // Accepted values survive the round trip through the parameter text; the node is
  // kept apart from it and the slot comes back as given.
  if (accepted) {
    std::vector<hv::ParameterField> again = fields;
    for (hv::ParameterField& field : again) field.value = wxS("\x01stale");
    hv::FillParameterFields(again, joined, slot);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (fields[i].key == wxS("node")) continue;
      if (again[i].value != fields[i].value) {
        std::fprintf(stderr, "field '%s': '%s' refilled as '%s' from '%s'\n", fields[i].key.utf8_str().data(),
                     fields[i].value.utf8_str().data(), again[i].value.utf8_str().data(), joined.utf8_str().data());
        std::abort();
      }
    }
  }
  return 0;
}
