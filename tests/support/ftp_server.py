#!/usr/bin/python3
"""FTP server for the transfer tests (pyftpdlib) on 127.0.0.1 and a free port.

Prints "PORT <n>" once it listens. Options:
  --root DIR --user U --password P   the one writable account
  --readonly-user U                  a second account that may only list and read
  --log FILE                         one line "STORED <path>" per file received and
                                     "LOGIN <user>" per password given
  --commands FILE                    one line per command received: its verb
  --rate BYTES                       upload speed limit per second
  --full                             the disk is full: a STOR takes the first bytes
                                     (--full-after), keeps them in the file and ends
                                     with "452", as real servers do
  --full-after BYTES                 how much a full disk still takes (default 1)
  --full-reply CODE                  the code a full server answers (451, 452, 552)
  --full-flag FILE                   the server is full while FILE exists
  --no-rename                        RNFR is refused
  --no-mlsd                          MLSD is unknown (listings only by LIST)
  --no-mfmt                          MFMT is unknown (file times cannot be set)
  --dos-list                         LIST answers in DOS form ("12-07-26  06:46AM  6 a.txt")
  --refuse-user U                    the login of U is refused whatever its password
  --login-delay SECONDS              delay of a refused login (default 0.1; real servers 1-3)
  --mute                             accept connections but never answer
"""
import argparse
import os
import socket
import sys
import time


def mute(listener):
    held = []
    while True:
        conn, _ = listener.accept()
        held.append(conn)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=False, default=".")
    parser.add_argument("--user", default="dev")
    parser.add_argument("--password", default="pw")
    parser.add_argument("--readonly-user")
    parser.add_argument("--log")
    parser.add_argument("--commands")
    parser.add_argument("--rate", type=int, default=0)
    parser.add_argument("--full", action="store_true")
    parser.add_argument("--mute", action="store_true")
    parser.add_argument("--full-reply", type=int, default=452)
    parser.add_argument("--full-flag")
    parser.add_argument("--no-rename", action="store_true")
    parser.add_argument("--no-mlsd", action="store_true")
    parser.add_argument("--no-mfmt", action="store_true")
    parser.add_argument("--dos-list", action="store_true")
    parser.add_argument("--refuse-user", action="append", default=[])
    parser.add_argument("--login-delay", type=float, default=0.1)
    parser.add_argument("--full-after", type=int, default=1)
    args = parser.parse_args()

    if args.mute:
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.bind(("127.0.0.1", 0))
        listener.listen(8)
        print("PORT %d" % listener.getsockname()[1], flush=True)
        mute(listener)
        return

    from pyftpdlib.authorizers import AuthenticationFailed, DummyAuthorizer
    from pyftpdlib.filesystems import AbstractedFS
    from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
    from pyftpdlib.servers import FTPServer
    import logging
    logging.basicConfig(level=logging.WARNING)

    class Authorizer(DummyAuthorizer):
        def validate_authentication(self, username, password, handler):
            if username in args.refuse_user:
                raise AuthenticationFailed("Authentication failed.")
            return DummyAuthorizer.validate_authentication(self, username, password, handler)

    class DosFS(AbstractedFS):
        # As IIS and Windows CE servers list: date and time of the server's clock, "<DIR>"
        # or the size, then the name.
        def format_list(self, basedir, listing, ignore_err=True):
            for name in listing:
                try:
                    st = self.lstat(os.path.join(basedir, name))
                except OSError:
                    if ignore_err:
                        continue
                    raise
                stamp = time.strftime("%m-%d-%y  %I:%M%p", time.localtime(st.st_mtime))
                kind = "%-14s" % "<DIR>" if (st.st_mode & 0o170000) == 0o040000 else "%14d" % st.st_size
                yield ("%s       %s %s\r\n" % (stamp, kind, name)).encode("utf8", self.cmd_channel.unicode_errors)

    authorizer = Authorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    if args.readonly_user:
        authorizer.add_user(args.readonly_user, args.password, args.root, perm="elr")

    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            if args.commands:
                with open(args.commands, "a") as log:
                    log.write(cmd + "\n")
            return FTPHandler.pre_process_command(self, line, cmd, arg)

        def ftp_PASS(self, line):
            if args.log:
                with open(args.log, "a") as log:
                    log.write("LOGIN %s\n" % self.username)
            return FTPHandler.ftp_PASS(self, line)

        def on_file_received(self, path):
            if args.log:
                rel = os.path.relpath(path, os.path.realpath(args.root))
                with open(args.log, "a") as log:
                    log.write("STORED %s\n" % rel)

        def is_full(self):
            return args.full or (args.full_flag and os.path.exists(args.full_flag))

        def ftp_MFMT(self, path, timeval):
            if args.no_mfmt:
                self.respond("500 Command \"MFMT\" not understood.")
                return
            return FTPHandler.ftp_MFMT(self, path, timeval)

        def ftp_MLSD(self, path):
            if args.no_mlsd:
                self.respond("500 Command \"MLSD\" not understood.")
                return
            return FTPHandler.ftp_MLSD(self, path)

        def ftp_RNFR(self, path):
            if args.no_rename:
                self.respond("550 Rename not supported.")
                return
            return FTPHandler.ftp_RNFR(self, path)

        def ftp_RNTO(self, path):
            done = FTPHandler.ftp_RNTO(self, path)
            if args.log and done:
                src, path = done
                root = os.path.realpath(args.root)
                with open(args.log, "a") as log:
                    log.write("RENAMED %s\t%s\n" % (os.path.relpath(src, root), os.path.relpath(path, root)))

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = args.login_delay
    Handler.permit_foreign_addresses = True
    if args.dos_list:
        Handler.abstracted_fs = DosFS
    base = DTPHandler
    if args.rate:
        class Throttled(ThrottledDTPHandler):
            read_limit = args.rate
            write_limit = args.rate
        base = Throttled

    class Receiver(base):
        # A full disk takes the first bytes of a file, then the write fails: what arrived
        # stays in the file, the data connection is closed and the reply says why.
        def handle_read(self):
            base.handle_read(self)
            if (self.receive and not self._closed and self.cmd == "STOR" and self.cmd_channel.is_full()
                    and self.tot_bytes_received >= args.full_after):
                self._resp = ("%d Insufficient storage space." % args.full_reply, logging.debug)
                self.close()

        handle_read_event = handle_read
    Handler.dtp_handler = Receiver

    server = FTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
