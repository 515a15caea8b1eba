// A driver plug-in describes its parameters in a schema text it chooses: whatever the
// text, the form is parsed, its fields checked, filled from a parameter text and joined
// back, and the joined text fills the same fields with the same values again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

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
  hv::FillParameterFields(fields, paramText, paramText);
  for (const hv::ParameterField& field : fields) (void)hv::CheckParameterField(field);
  const wxString joined = hv::JoinParameterFields(fields);
  for (const hv::ParameterField& field : fields) (void)hv::ParameterValue(joined, field.key);
  (void)hv::ParameterValue(paramText, wxS("slot"));
  return 0;
}
