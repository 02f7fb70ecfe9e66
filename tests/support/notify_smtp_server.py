#!/usr/bin/python3
"""A real SMTP server on loopback for the e-mail notification tests.

Started by the test itself; it writes the port it listens on to DIR/port and
every message it takes to DIR/msg-N.* (envelope, headers, decoded body), and
ends when DIR/stop appears or its lifetime is over, so it never outlives a
test that died.

  notify_smtp_server.py --dir DIR [--user U --password P] [--exclude MECH]
                        [--require-starttls] [--lifetime SECONDS]
"""
import argparse
import email
import email.policy
import logging
import os
import socket
import ssl
import sys
import time
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


def write(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("utf-8"))
    os.replace(tmp, path)


class Recorder:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "msg-%d" % self.count)
        message = email.message_from_bytes(envelope.content, policy=email.policy.compat32)
        body = message.get_payload(decode=True) or b""
        headers = "".join("%s: %s\n" % (k, message[k]) for k in ("From", "To", "Subject"))
        write(base + ".from", envelope.mail_from)
        write(base + ".rcpt", "".join(r + "\n" for r in envelope.rcpt_tos))
        write(base + ".auth", getattr(session, "zm_auth", ""))
        write(base + ".headers", headers)
        write(base + ".eml", envelope.content)
        write(base + ".body", body)
        write(base + ".done", "")
        return "250 OK"


class Authenticator:
    def __init__(self, user, password):
        self.user = user.encode()
        self.password = password.encode()

    def __call__(self, server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == self.user
              and auth_data.password == self.password)
        if ok:
            session.zm_auth = "%s %s" % (mechanism, auth_data.login.decode())
        return AuthResult(success=ok, handled=False)


def main():
    warnings.filterwarnings("ignore")
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--user")
    p.add_argument("--password", default="")
    p.add_argument("--exclude", action="append", default=[])
    p.add_argument("--require-starttls", action="store_true")
    p.add_argument("--lifetime", type=float, default=120)
    a = p.parse_args()

    kwargs = {}
    if a.user is not None:
        kwargs = dict(authenticator=Authenticator(a.user, a.password), auth_require_tls=False,
                      auth_exclude_mechanism=a.exclude)
    if a.require_starttls:
        # A server that takes nothing before STARTTLS, with aiosmtpd's own
        # test certificate.
        import aiosmtpd.tests
        certs = os.path.join(os.path.dirname(aiosmtpd.tests.__file__), "certs")
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(os.path.join(certs, "server.crt"), os.path.join(certs, "server.key"))
        kwargs.update(tls_context=context, require_starttls=True)
    controller = Controller(Recorder(a.dir), hostname="127.0.0.1", port=0,
                            server_hostname="zm-test", **kwargs)
    # The system chooses a free port; the controller's own readiness check
    # cannot connect to port 0, so a probe asks for one first.
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    controller.port = probe.getsockname()[1]
    probe.close()
    controller.start()
    write(os.path.join(a.dir, "port"), str(controller.port))
    stop = os.path.join(a.dir, "stop")
    end = time.monotonic() + a.lifetime
    try:
        while not os.path.exists(stop) and time.monotonic() < end:
            time.sleep(0.05)
    finally:
        controller.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
