#!/usr/bin/env python3
"""A local stand-in for the Vexlumen update server, for tests and the demo.

    update_service.py --state-dir DIR --certs CERTDIR

Listens on 127.0.0.1 only, on two ephemeral ports written to DIR/ports.json:
an HTTPS server that answers like the real update server, and a CONNECT proxy
that tunnels only "dynupdate.vexlumen.net:443" to it, so a client reaches it
under the real host name through the system proxy (http_proxy).

Tests steer it with DIR/config.json (re-read at every connection and request),
may pre-seed DIR/records.json and read DIR/requests.log (tests/common/
service_client.h reads and writes them for the test programs):

  config.json  {"accounts": [{"hostname", "username", "key", "blocked"}],
                "address": "...", "maintenance": false, "cert": "good",
                "trickle_tunnel": seconds,
                "fault": {"on": [...], "status", "body", "body_hex", "delay",
                          "hold", "stall", "close_mid_body", "big_body",
                          "refuse", "redirect", "trickle"}}
               redirect: "Location" of a 302 (or "status"); trickle: seconds
               between the single bytes of a 100-byte "good ..." body.
               trickle_tunnel: while set, every tunnel (also one opened
               before) relays the server's bytes, TLS handshake included,
               one at a time that many seconds apart; looked up before each
               byte, so clearing it lets a stuck tunnel run on at full speed.
  records.json {"host.name": "address"}
  requests.log one JSON object per request, written when the request has been
               read (before any delay, hold or stall) and flushed.

Python 3 standard library only.
"""

import argparse
import base64
import binascii
import json
import os
import re
import select
import socket
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler

UPDATE_HOST = "dynupdate.vexlumen.net"
TUNNEL_TARGET = UPDATE_HOST + ":443"
CERT_FILES = {
    "good": ("server.pem", "server.key"),
    "untrusted": ("untrusted.pem", "untrusted.key"),
    "wrongname": ("wrongname.pem", "wrongname.key"),
}
BIG_BODY_PREFIX = b"good 203.0.113.7 "
MID_BODY_BYTES = b"good 203.0"      # sent of a promised 100 before the connection drops
MID_BODY_LENGTH = 100
TRICKLE_BODY = (b"good 203.0.113.7 " + b"x" * 100)[:100]
HOLD_POLL_SECONDS = 0.05
STALL_LIMIT_SECONDS = 300
LABEL = re.compile(r"^[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?$")


class State:
    """The service's files in the state directory."""

    def __init__(self, directory, certs):
        self.directory = directory
        self.certs = certs
        self.lock = threading.Lock()
        self.contexts = {}

    def path(self, name):
        return os.path.join(self.directory, name)

    def read_json(self, name, default):
        # Writers rename into place, so a read sees an old or a new file whole;
        # a hand-edited broken file counts as absent.
        try:
            with open(self.path(name), "rb") as f:
                value = json.loads(f.read().decode("utf-8"))
            return value if isinstance(value, type(default)) else default
        except (OSError, ValueError):
            return default

    def write_json(self, name, value):
        temp = self.path(".%s.%d.tmp" % (name, threading.get_ident()))
        with open(temp, "w", encoding="utf-8") as f:
            json.dump(value, f)
        os.replace(temp, self.path(name))

    def config(self):
        return self.read_json("config.json", {})

    def fault(self, kind):
        fault = self.config().get("fault") or {}
        if not isinstance(fault, dict):
            return {}
        on = fault.get("on", ["update", "getip"])
        return fault if kind in on else {}

    def context(self, which):
        with self.lock:
            if which not in self.contexts:
                cert, key = CERT_FILES.get(which, CERT_FILES["good"])
                ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
                ctx.load_cert_chain(os.path.join(self.certs, cert), os.path.join(self.certs, key))
                self.contexts[which] = ctx
            return self.contexts[which]

    def log_request(self, entry):
        line = json.dumps(entry, ensure_ascii=False) + "\n"
        with self.lock:
            with open(self.path("requests.log"), "a", encoding="utf-8") as f:
                f.write(line)
                f.flush()
                os.fsync(f.fileno())

    def point(self, hostname, address):
        """Records the address of a host name; True when it changed."""
        with self.lock:
            records = self.read_json("records.json", {})
            if records.get(hostname) == address:
                return False
            records[hostname] = address
            self.write_json("records.json", records)
            return True


def fully_qualified(hostname):
    labels = hostname.split(".")
    return len(hostname) <= 253 and len(labels) >= 2 and all(LABEL.match(l) for l in labels)


def credentials(headers):
    """(user, key) from "Authorization: Basic ...", or None when absent or malformed."""
    value = headers.get("Authorization")
    if not value:
        return None
    scheme, _, token = value.strip().partition(" ")
    if scheme.lower() != "basic" or not token.strip():
        return None
    try:
        text = base64.b64decode(token.strip(), validate=True).decode("utf-8")
    except (binascii.Error, ValueError):
        return None
    user, colon, key = text.partition(":")
    return (user, key) if colon else None


def update_reply(state, config, params, headers, peer):
    """The real service's answer word for GET /?hostname=H."""
    accounts = [a for a in config.get("accounts", []) if isinstance(a, dict)]
    creds = credentials(headers)
    mine = [a for a in accounts if creds and (a.get("username"), a.get("key")) == creds]
    if not mine:
        return "badauth"
    hostname = (params.get("hostname") or [""])[0]
    if not fully_qualified(hostname):
        return "notfqdn"
    account = next((a for a in mine if str(a.get("hostname", "")).lower() == hostname.lower()), None)
    if account is None:
        return "nohost"
    if account.get("blocked"):
        return "abuse"
    if config.get("maintenance"):
        return "911"
    address = config.get("address") or peer
    changed = state.point(hostname.lower(), address)
    return ("good " if changed else "nochg ") + address


class ServiceHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def version_string(self):
        return "VexlumenUpdate/1.0"

    def setup(self):
        # The certificate is chosen per connection, so a test can switch it
        # between two requests of one run.
        state = self.server.state
        self.request.settimeout(30)
        ctx = state.context(state.config().get("cert", "good"))
        self.request = ctx.wrap_socket(self.request, server_side=True)
        self.request.settimeout(120)
        super().setup()

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        self.answer()

    def do_POST(self):
        self.answer()

    def do_HEAD(self):
        self.answer()

    def answer(self):
        state = self.server.state
        target = self.path
        split = urllib.parse.urlsplit(target)
        path = split.path or "/"
        query = split.query
        params = urllib.parse.parse_qs(query, keep_blank_values=True)
        length = int(self.headers.get("Content-Length") or 0)
        if length > 0:
            self.rfile.read(length)

        kind = None
        if self.command == "GET" and path == "/":
            kind = "update"
        elif self.command == "GET" and path == "/dyndns/getip":
            kind = "getip"
        fault = state.fault(kind) if kind else {}
        config = state.config()
        peer = self.client_address[0]

        status, body, mode = 200, b"", "normal"
        if fault.get("stall"):
            mode = "stall"
        elif fault.get("redirect"):
            mode = "redirect"
            status = int(fault.get("status", 302))
        elif fault.get("trickle"):
            mode = "trickle"
            body = TRICKLE_BODY
        elif fault.get("close_mid_body"):
            mode = "close_mid_body"
            body = MID_BODY_BYTES
        elif fault.get("big_body"):
            body = BIG_BODY_PREFIX + b"x" * max(0, int(fault["big_body"]) - len(BIG_BODY_PREFIX))
        elif "body_hex" in fault or "body" in fault or "status" in fault:
            status = int(fault.get("status", 200))
            if "body_hex" in fault:
                body = bytes.fromhex(fault["body_hex"])
            else:
                body = str(fault.get("body", "")).encode("utf-8")
        elif kind == "update":
            body = update_reply(state, config, params, self.headers, peer).encode("utf-8")
        elif kind == "getip":
            body = (config.get("address") or peer).encode("utf-8")
        else:
            status = 404

        state.log_request({
            "method": self.command,
            "target": target,
            "path": path,
            "query": query,
            "params": params,
            "headers": [[k, v] for k, v in self.headers.items()],
            "body_length": length,
            "status": None if mode == "stall" else status,
            "reply": None if mode == "stall" else body.decode("utf-8", "replace"),
        })

        if mode == "stall":
            self.stall()
            return
        if fault.get("delay"):
            time.sleep(float(fault["delay"]))
        if fault.get("hold"):
            while (state.config().get("fault") or {}).get("hold"):
                time.sleep(HOLD_POLL_SECONDS)
        if mode == "redirect":
            self.send_head(status, 0, [("Location", str(fault["redirect"]))])
            return
        if mode == "trickle":
            self.trickle(body, float(fault["trickle"]))
            return
        if mode == "close_mid_body":
            self.send_head(200, MID_BODY_LENGTH)
            self.wfile.write(body)
            self.wfile.flush()
            self.close_connection = True
            self.connection.close()
            return
        self.send_head(status, len(body))
        if self.command != "HEAD":
            self.wfile.write(body)

    def send_head(self, status, length, extra=()):
        # One request per connection: the certificate and the proxy's refusal
        # act per connection, and Wine's WinHTTP would otherwise reuse a
        # pooled connection (even from another session) and bypass both.
        self.send_response(status)
        for name, value in extra:
            self.send_header(name, value)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(length))
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True

    def trickle(self, body, interval):
        # One byte at a time, each well inside any single read time-out,
        # until the body is out or the client has given up.
        self.send_head(200, len(body))
        self.wfile.flush()
        for i in range(len(body)):
            time.sleep(interval)
            try:
                self.wfile.write(body[i:i + 1])
                self.wfile.flush()
            except OSError:
                return

    def stall(self):
        # Silent until the client gives up and closes its end.
        self.close_connection = True
        self.connection.settimeout(1)
        deadline = time.monotonic() + STALL_LIMIT_SECONDS
        while time.monotonic() < deadline:
            try:
                if not self.connection.recv(4096):
                    return
            except socket.timeout:
                continue
            except OSError:
                return


class ServiceServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, state):
        super().__init__(("127.0.0.1", 0), ServiceHandler)
        self.state = state

    def handle_error(self, request, client_address):
        # Failed handshakes (a client refusing our certificate) and dropped
        # connections are what the tests provoke; they are not errors here.
        pass


class ProxyHandler(socketserver.BaseRequestHandler):
    def handle(self):
        state = self.server.state
        client = self.request
        client.settimeout(30)
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = client.recv(4096)
            if not chunk:
                return
            head += chunk
            if len(head) > 65536:
                return
        request_line = head.split(b"\r\n", 1)[0].decode("latin-1")
        parts = request_line.split()
        if len(parts) < 2 or parts[0].upper() != "CONNECT" or parts[1].lower() != TUNNEL_TARGET:
            client.sendall(b"HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
            return
        fault = state.config().get("fault") or {}
        if isinstance(fault, dict) and fault.get("refuse"):
            return
        upstream = socket.create_connection(("127.0.0.1", self.server.https_port), timeout=30)
        try:
            client.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            rest = head.split(b"\r\n\r\n", 1)[1]
            if rest:
                upstream.sendall(rest)
            self.relay(client, upstream)
        finally:
            upstream.close()

    def relay(self, client, upstream):
        client.settimeout(None)
        upstream.settimeout(None)
        peers = {client: upstream, upstream: client}
        while True:
            readable, _, _ = select.select([client, upstream], [], [], STALL_LIMIT_SECONDS)
            if not readable:
                return
            for s in readable:
                try:
                    data = s.recv(65536)
                except OSError:
                    return
                if not data:
                    return
                try:
                    if s is upstream:
                        self.send_to_client(client, data)
                    else:
                        upstream.sendall(data)
                except OSError:
                    return

    def trickle_interval(self):
        value = self.server.state.config().get("trickle_tunnel")
        if isinstance(value, bool) or not isinstance(value, (int, float)) or value <= 0:
            return 0
        return value

    def send_to_client(self, client, data):
        for i in range(len(data)):
            interval = self.trickle_interval()
            if not interval:
                client.sendall(data[i:])
                return
            client.sendall(data[i:i + 1])
            time.sleep(interval)


class ProxyServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, state, https_port):
        super().__init__(("127.0.0.1", 0), ProxyHandler)
        self.state = state
        self.https_port = https_port

    def handle_error(self, request, client_address):
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--state-dir", required=True)
    parser.add_argument("--certs", required=True)
    args = parser.parse_args()

    os.makedirs(args.state_dir, exist_ok=True)
    state = State(os.path.abspath(args.state_dir), os.path.abspath(args.certs))
    state.context("good")   # a missing certificate fails now, not at the first client

    https = ServiceServer(state)
    proxy = ProxyServer(state, https.server_address[1])
    for server in (https, proxy):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    state.write_json("ports.json", {"proxy": proxy.server_address[1], "https": https.server_address[1]})
    print("update service: proxy %d, https %d" % (proxy.server_address[1], https.server_address[1]),
          flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
