#!/usr/bin/python3
"""FTP server for the transfer tests (pyftpdlib) on 127.0.0.1 and a free port.

Prints "PORT <n>" once it listens. Options:
  --root DIR --user U --password P   the one writable account
  --readonly-user U                  a second account that may only list and read
  --log FILE                         one line "STORED <path>" per file received
  --rate BYTES                       upload speed limit per second
  --full                             every STOR is answered "452" (no room)
  --full-reply CODE                  the code a full server answers (451, 452, 552)
  --full-flag FILE                   the server is full while FILE exists
  --no-rename                        RNFR is refused
  --no-mlsd                          MLSD is unknown (listings only by LIST)
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
    parser.add_argument("--rate", type=int, default=0)
    parser.add_argument("--full", action="store_true")
    parser.add_argument("--mute", action="store_true")
    parser.add_argument("--full-reply", type=int, default=452)
    parser.add_argument("--full-flag")
    parser.add_argument("--no-rename", action="store_true")
    parser.add_argument("--no-mlsd", action="store_true")
    args = parser.parse_args()

    if args.mute:
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.bind(("127.0.0.1", 0))
        listener.listen(8)
        print("PORT %d" % listener.getsockname()[1], flush=True)
        mute(listener)
        return

    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
    from pyftpdlib.servers import FTPServer
    import logging
    logging.basicConfig(level=logging.WARNING)

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    if args.readonly_user:
        authorizer.add_user(args.readonly_user, args.password, args.root, perm="elr")

    class Handler(FTPHandler):
        def on_file_received(self, path):
            if args.log:
                rel = os.path.relpath(path, os.path.realpath(args.root))
                with open(args.log, "a") as log:
                    log.write("STORED %s\n" % rel)

        def is_full(self):
            return args.full or (args.full_flag and os.path.exists(args.full_flag))

        def ftp_STOR(self, file, mode="w"):
            if self.is_full():
                self.respond("%d Insufficient storage space." % args.full_reply)
                return
            return FTPHandler.ftp_STOR(self, file, mode)

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
    Handler.auth_failed_timeout = 0.1
    Handler.permit_foreign_addresses = True
    if args.rate:
        class Throttled(ThrottledDTPHandler):
            read_limit = args.rate
            write_limit = args.rate
        Handler.dtp_handler = Throttled

    server = FTPServer(("127.0.0.1", 0), Handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
