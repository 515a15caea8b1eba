#pragma once
// A pyftpdlib server (tests/support/ftp_server.py) run by the distribution's python3 on
// 127.0.0.1 and a free port, for the transfer tests. Stopped by its pid at destruction.
#include <sys/types.h>

#include <string>
#include <vector>
#include <wx/string.h>

namespace hvtest {

class FtpTestServer {
 public:
  struct Options {
    wxString user = wxS("dev");
    wxString password = wxS("pw");
    wxString readonlyUser;   // a second account without write rights
    long rate = 0;           // upload bytes per second, 0: unlimited
    bool full = false;       // a STOR fails with "452" (or fullReply) after its first bytes
    long fullAfter = 0;      // bytes a full disk still takes (0: one read's worth)
    int fullReply = 0;       // the code a full server answers: 451, 452 or 552
    wxString fullFlag;       // the server is full while this file exists
    bool noRename = false;   // RNFR refused, as on servers that cannot rename
    bool noMlsd = false;     // MLSD unknown: folders are listed by LIST only
    bool noMfmt = false;     // MFMT unknown: the device's file times cannot be set
    bool dosList = false;    // LIST in DOS form, as Windows CE panels answer
    wxString refuseUser;     // this login is refused whatever its password
    double loginDelay = 0;   // seconds a refused login waits (0: 0.1 s; real servers 1-3 s)
    bool mute = false;       // accepts connections, never answers
    // A plain server as a Windows CE panel runs: no MLSD, no MFMT, DOS listings.
    static Options Plain() {
      Options o;
      o.noMlsd = o.noMfmt = o.dosList = true;
      return o;
    }
  };

  // Serves `root` (created when missing). Port() is 0 when the server did not start.
  explicit FtpTestServer(const wxString& root, Options options);
  explicit FtpTestServer(const wxString& root) : FtpTestServer(root, Options{}) {}
  ~FtpTestServer();
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  int Port() const { return m_port; }
  // "127.0.0.1:<port>", as a device address with the port.
  wxString Address() const;
  const wxString& Root() const { return m_root; }
  // The files stored so far, in order, relative to the root; a file renamed after its
  // upload is listed under its new name.
  std::vector<wxString> Stored() const;
  // The user of each login tried so far (each password the server was given), in order.
  std::vector<wxString> Logins() const;
  // Ends the server at once (SIGKILL), as a device that goes away.
  void Kill();

 private:
  wxString m_root;
  wxString m_log;
  pid_t m_pid = -1;
  int m_port = 0;
};

}  // namespace hvtest
