#!/usr/bin/python3
"""Update server for the tests: serves the files of a folder on 127.0.0.1
and the faults a real server or a hostile one can produce, over HTTP and over
HTTPS with a certificate of its own (ROOT/cert.pem, for 127.0.0.1). Prints
both ports.

  /hops/N/PATH            N redirects in a row, then /PATH
  /to?url=URL             one redirect to URL
  /nolength/FILE          FILE without Content-Length (ends by closing)
  /cut/FILE               announces FILE's size, sends half, closes
  /stall/FILE             announces FILE's size, sends half, then nothing
  /slow/FILE              FILE's first byte after 2.2 s (fewer bytes than seconds)
  /announce/N             announces N bytes, sends a few, closes
  /any/...                the file "payload.bin" under any name
  /FILE                   FILE, as http.server serves it
"""
import functools
import http.server
import os
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def head(self, status, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()

    def file(self, name):
        with open(os.path.join(self.directory, urllib.parse.unquote(name)), "rb") as f:
            return f.read()

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        route, _, rest = url.path.lstrip("/").partition("/")
        try:
            if route == "hops":
                count, _, path = rest.partition("/")
                left = int(count) - 1
                self.head(302, [("Location", f"/hops/{left}/{path}" if left else f"/{path}")])
            elif route == "to":
                self.head(302, [("Location", urllib.parse.parse_qs(url.query)["url"][0])])
            elif route == "nolength":
                self.head(200)
                self.wfile.write(self.file(rest))
            elif route in ("cut", "stall", "slow"):
                body = self.file(rest)
                self.head(200, [("Content-Length", str(len(body)))])
                time.sleep(2.2 if route == "slow" else 0)
                first = 1 if route == "slow" else len(body) // 2
                self.wfile.write(body[:first])
                self.wfile.flush()
                time.sleep({"cut": 0, "stall": 120, "slow": 0.2}[route])
                if route == "slow":
                    self.wfile.write(body[first:])
            elif route == "announce":
                self.head(200, [("Content-Length", rest)])
                self.wfile.write(b"x" * 4096)
            else:
                self.path = "/payload.bin" if route == "any" else self.path
                super().do_GET()
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    root = sys.argv[1]
    cert, key = os.path.join(root, "cert.pem"), os.path.join(root, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    handler = functools.partial(Handler, directory=root)
    servers = [http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) for _ in range(2)]
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    servers[1].socket = context.wrap_socket(servers[1].socket, server_side=True)
    for server in servers:
        server.daemon_threads = True
        threading.Thread(target=server.serve_forever, daemon=True).start()
    print(*(server.server_address[1] for server in servers), flush=True)
    threading.Event().wait()


if __name__ == "__main__":
    main()
