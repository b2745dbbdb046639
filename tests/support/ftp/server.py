"""A small FTP server on 127.0.0.1 for Korvane's tests, with switches that inject faults.

Every command received is appended to the --log file, one line each (the password masked),
so tests can compare the exact command sequence a client sent.
"""

import argparse
import collections
import logging
import os

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def parse_args():
    # The fault switches are described where the tests set them (FtpServerOptions).
    p = argparse.ArgumentParser()
    for name in ("--dir", "--port-file", "--log", "--user", "--password"):
        p.add_argument(name, required=True)
    for name in ("--port", "--exit-on-stor", "--exit-on-rnfr"):
        p.add_argument(name, type=int, default=0)
    for name in ("--refuse-rename", "--stor-reply"):
        p.add_argument(name, default="")
    for name in ("--deny-write", "--drip-list"):
        p.add_argument(name, action="store_true")
    p.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    return p.parse_args()


def make_handler(args):
    base = FTPHandler
    if args.tls:
        from pyftpdlib.handlers import TLS_FTPHandler, TLS_DTPHandler

        class PatchedDTP(TLS_DTPHandler):
            # pyftpdlib 1.5.7 reads nothing from a passive data connection until the
            # transfer command arrives, so a client that starts the TLS handshake right
            # after connecting stalls and the channel is dropped. Read (and so complete
            # the handshake) as soon as one is under way.
            def readable(self):
                return self._ssl_accepting or super().readable()

        class TlsBase(TLS_FTPHandler):
            dtp_handler = PatchedDTP
            certfile, keyfile = args.tls

        base = TlsBase

    received = collections.Counter()
    exit_at = {"STOR": args.exit_on_stor, "RNFR": args.exit_on_rnfr}

    class Handler(base):
        def pre_process_command(self, line, cmd, arg):
            with open(args.log, "a", encoding="utf-8", errors="replace") as f:
                f.write(("PASS ****" if cmd == "PASS" else line) + "\n")
            received[cmd] += 1
            if exit_at.get(cmd) == received[cmd]:
                os._exit(3)
            self._storing = cmd == "STOR"
            return super().pre_process_command(line, cmd, arg)

        def respond(self, resp, logfun=logging.debug):
            # The file is written (as far as it went) but the server says it failed.
            if args.stor_reply and getattr(self, "_storing", False) and resp.startswith("226"):
                self._storing = False
                resp = args.stor_reply
            return super().respond(resp, logfun)

        def ftp_LIST(self, path):
            if not args.drip_list:
                return super().ftp_LIST(path)
            def drip(started=False):
                channel = self.data_channel
                if channel is None:
                    if not started and not self._closed:
                        self.ioloop.call_later(0.5, drip)
                    return
                if not started:
                    self.respond("125 Data connection already open. Transfer starting.")
                try:
                    channel.push(b"-")
                except Exception:
                    return
                self.ioloop.call_later(0.5, drip, True)

            drip()
            return path

        def ftp_RNTO(self, path):
            if args.refuse_rename:
                self._rnfr = None
                self.respond(args.refuse_rename)
                return None
            return super().ftp_RNTO(path)

    return Handler


def main():
    args = parse_args()
    if os.environ.get("KORVANE_FTP_VERBOSE") is None:
        logging.basicConfig(level=logging.CRITICAL)
    authorizer = DummyAuthorizer()
    perm = "elr" if args.deny_write else "elradfmwMT"
    authorizer.add_user(args.user, args.password, args.dir, perm=perm)
    handler = make_handler(args)
    handler.authorizer = authorizer
    handler.banner = "Korvane test server ready."
    handler.auth_failed_timeout = 0.05
    server = FTPServer(("127.0.0.1", args.port), handler)
    # Written under another name and renamed, so the test never reads half a number.
    with open(args.port_file + ".tmp", "w") as f:
        f.write(str(server.address[1]))
    os.replace(args.port_file + ".tmp", args.port_file)
    server.serve_forever(timeout=0.05)


if __name__ == "__main__":
    main()
