#include "app/CommandLine.h"

#include "platform/Codec.h"
#include "platform/Localization.h"

namespace {

// The bytes of an argument that is not UTF-8, readable on any terminal.
wxString Escaped(const std::string& arg) {
  wxString out;
  for (const char c : arg) {
    const auto b = static_cast<unsigned char>(c);
    out += b >= 0x20 && b < 0x7F ? wxString(static_cast<wchar_t>(b), 1) : wxString::Format("\\x%02X", b);
  }
  return out;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h" || arg == "-?") {
      line.action = CommandLine::Action::Help;
      return line;
    }
    if (arg == "--version" || arg == "-V") {
      if (line.action == CommandLine::Action::Run) line.action = CommandLine::Action::Version;
      continue;
    }
    line.action = CommandLine::Action::Error;
    if (!hv::IsUtf8(arg)) {
      line.error = wxString::Format(hv::LocalString(13509, wxS("Das Argument ist kein UTF-8-Text: %s")), Escaped(arg));
      return line;
    }
    line.error = arg.rfind('-', 0) == 0
                     ? wxString::Format(hv::LocalString(13501, wxS("Unbekannte Option: %s")), hv::FromUtf8(arg))
                     : wxString::Format(hv::LocalString(13502, wxS("Unerwartetes Argument: %s")), hv::FromUtf8(arg));
    return line;
  }
  return line;
}

wxString UsageText(const wxString& program) {
  return wxString::Format(hv::LocalString(13503, wxS("Aufruf: %s [Option]\n"
                                                     "Projektverwaltung Halvora.\n\n"
                                                     "  -h, --help     diese Hilfe zeigen und beenden\n"
                                                     "  -V, --version  die Version zeigen und beenden\n\n"
                                                     "Die Umgebungsvariable HALVORA_HOME legt den Benutzerordner fest.\n")),
                          program);
}

wxString VersionText() { return wxString::Format(hv::LocalString(13504, wxS("Halvora %s\n")), HALVORA_VERSION); }
