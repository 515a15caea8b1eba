// What a transfer takes from outside the program: a device's address from a project
// file, and the file lists another program puts on the clipboard. Every address the
// split takes is one the address field takes, and it reads back the same after a port
// is joined to its host (the target dialog's); the sender's address is one the split
// takes. A file list yields only absolute local paths, each of which reads back through
// the URI the program itself would offer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "framework/ClipboardFiles.h"
#include "framework/ClipboardStore.h"
#include "platform/Codec.h"
#include "platform/FtpClient.h"
#include "platform/online/DeviceAddress.h"

namespace {

void Fail(const char* what, const wxString& text) {
  std::fprintf(stderr, "%s: '%s'\n", what, hv::ToUtf8(text).c_str());
  std::abort();
}

void CheckAddress(const wxString& address, int otherPort) {
  wxString host;
  int port = hv::kFtpPort;
  if (hv::SplitFtpAddress(address, host, port)) {
    wxString trimmed = address;
    trimmed.Trim(true).Trim(false);
    if (!hv::IsDeviceAddress(trimmed)) Fail("split takes what the field refuses", address);
    if (host.empty() || port < 1 || port > 65535) Fail("split gives no host or port", address);
    for (const int joinedPort : {port, otherPort}) {
      const wxString joined = hv::JoinFtpAddress(host, joinedPort);
      wxString again;
      int againPort = 0;
      if (!hv::SplitFtpAddress(joined, again, againPort) || again != host || againPort != joinedPort)
        Fail("joined address reads back otherwise", joined);
      if (!hv::IsDeviceAddress(joined)) Fail("field refuses the joined address", joined);
    }
  }
  // The text as the third field of a device's parameters: what the sender takes, the
  // split takes.
  const wxString sent = hv::TransferAddress("CE_TCP;sym;" + address + ";9");
  wxString sentHost;
  int sentPort = hv::kFtpPort;
  if (!sent.empty() && !hv::SplitFtpAddress(sent, sentHost, sentPort)) Fail("sender's address does not split", sent);
}

void CheckFileList(const std::string& bytes, bool gnome) {
  MemoryClipboardStore store;
  store.Put(gnome ? kGnomeCopiedFilesFormat : kUriListFormat, bytes);
  if (!gnome) store.Put(kKdeCutSelectionFormat, bytes.substr(0, 1));
  const ClipboardFileList list = ReadClipboardFiles(store);
  for (const wxString& path : list.paths) {
    if (path.length() < 2 || path[0] != '/' || path.Find(wxUniChar(0)) != wxNOT_FOUND)
      Fail("no absolute local path", path);
    const std::optional<wxString> again = FileUriToPath(PathToFileUri(path));
    if (!again || *again != path) Fail("path reads back otherwise", path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const int otherPort = 1 + static_cast<int>(size * 7919 % 65535);
  // As UTF-8 (NULs included), and byte by byte as a narrow project file may hold it.
  CheckAddress(hv::FromUtf8(bytes), otherPort);
  wxString narrow;
  for (const char c : bytes) narrow += wxUniChar(static_cast<unsigned char>(c));
  CheckAddress(narrow, otherPort);

  CheckFileList(bytes, false);
  CheckFileList(bytes, true);
  return 0;
}
