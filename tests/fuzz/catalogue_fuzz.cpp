// A text catalogue may come from a user or a translator: whatever it holds, loading it
// and formatting every number's text with its built-in text's arguments must not crash;
// texts that do not fit their built-in ones are refused.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Localization.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const wxString s = wxS("Wert");
  for (const auto& [id, text] : hv::ParseCatalogue(bytes)) {
    // The built-in texts' kinds of arguments, one after another by number.
    switch (id % 5) {
      case 0:
        if (hv::CatalogueTextFits(text, wxS("Unbekannte Option: %s"))) (void)wxString::Format(text, s);
        break;
      case 1:
        if (hv::CatalogueTextFits(text, wxS("%d von %d"))) (void)wxString::Format(text, 3, 7);
        break;
      case 2:
        if (hv::CatalogueTextFits(text, wxS("%s: %lu Bytes, %.1f%%"))) (void)wxString::Format(text, s, 9ul, 1.5);
        break;
      case 3:
        if (hv::CatalogueTextFits(text, wxS("%llu KB"))) (void)wxString::Format(text, 12ull);
        break;
      default:
        if (hv::CatalogueTextFits(text, wxS("Kein Platzhalter"))) (void)wxString::Format(text);
        break;
    }
    for (const std::string& conversion : hv::FormatSpecifiers(text))
      if (conversion.empty()) std::abort();
  }
  return 0;
}
