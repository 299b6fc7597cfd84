#!/usr/bin/env python3
"""TLS in front of a test server of the HTTPS tests.

Started by the Windows tests (under Wine) as a program of the host:
    tls_front.py CERT KEY TARGET_PORT PORT_FILE
It listens on 127.0.0.1 at a port of the system's choice, takes TLS there with
CERT and KEY, and passes the plain bytes both ways to 127.0.0.1:TARGET_PORT,
the test's own HTTP server, which thus serves the same answers over HTTPS.
It writes "TLS_PORT CONTROL_PORT" to PORT_FILE once it listens. The test
keeps a connection to the control port open for as long as it needs the
front; the front ends when that connection closes, when none comes within 30
seconds, or after 10 minutes in any case.
"""
import os
import socket
import ssl
import sys
import threading

LIMIT_SECONDS = 600


def pump(src, dst):
    try:
        while True:
            data = src.recv(65536)
            if not data:
                break
            dst.sendall(data)
    except OSError:
        pass
    finally:
        try:
            dst.shutdown(socket.SHUT_WR)
        except OSError:
            pass


def serve(context, client, target):
    client.settimeout(30)
    try:
        tls = context.wrap_socket(client, server_side=True)
    except (OSError, ssl.SSLError):
        # A client that refuses the certificate ends here: that is the point
        # of several of the tests.
        client.close()
        return
    try:
        upstream = socket.create_connection(("127.0.0.1", target), timeout=30)
    except OSError:
        tls.close()
        return
    back = threading.Thread(target=pump, args=(upstream, tls), daemon=True)
    back.start()
    pump(tls, upstream)
    back.join(30)
    tls.close()
    upstream.close()


def main():
    cert, key, target, port_file = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)

    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    control = socket.socket()
    control.bind(("127.0.0.1", 0))
    control.listen(1)

    tmp = port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d %d\n" % (listener.getsockname()[1], control.getsockname()[1]))
    os.replace(tmp, port_file)

    def accept_loop():
        while True:
            try:
                client, _ = listener.accept()
            except OSError:
                return
            threading.Thread(target=serve, args=(context, client, target), daemon=True).start()

    threading.Thread(target=accept_loop, daemon=True).start()

    control.settimeout(30)
    try:
        owner, _ = control.accept()
    except OSError:
        return
    owner.settimeout(LIMIT_SECONDS)
    try:
        while owner.recv(64):
            pass
    except OSError:
        pass


if __name__ == "__main__":
    main()
