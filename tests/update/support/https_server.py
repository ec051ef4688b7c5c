#!/usr/bin/env python3
"""A small HTTPS server on loopback for the update tests.

Serves the files of a folder and a few deliberately awkward answers:
  /files/<name>          the file with its Content-Length
  /slow/<name>           the same, sent in small pieces with pauses
  /nolength/<name>       no Content-Length; the connection closes at the end
  /truncated/<name>      announces the full length, sends half, closes
  /redirect-http/<name>  302 to the plain-HTTP address of /files/<name>
  /<name>                the same as /files/<name> (e.g. /version.json)
Every request is appended as one JSON line to <root>/requests.log.
Prints the chosen port on the first line of standard output.
"""
import argparse
import http.server
import json
import os
import ssl
import sys
import time


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = "."

    def log_message(self, fmt, *args):
        pass

    def record(self):
        entry = {"path": self.path,
                 "user_agent": self.headers.get("User-Agent", ""),
                 "accept": self.headers.get("Accept", "")}
        with open(os.path.join(self.root, "requests.log"), "a") as log:
            log.write(json.dumps(entry) + "\n")

    def read_file(self, name):
        path = os.path.join(self.root, os.path.basename(name))
        if not os.path.isfile(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def do_GET(self):
        self.record()
        parts = self.path.lstrip("/").split("/", 1)
        mode, name = (parts[0], parts[1]) if len(parts) == 2 else ("files", parts[0])
        if mode == "redirect-http":
            self.send_response(302)
            self.send_header("Location", "http://127.0.0.1:%d/files/%s" % (self.server.server_port, name))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        body = self.read_file(name) if mode in ("files", "slow", "nolength", "truncated") else None
        if body is None:
            self.send_response(404)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if mode == "nolength":
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            for i in range(0, len(body), 256 * 1024):
                self.wfile.write(body[i:i + 256 * 1024])
                self.wfile.flush()
                time.sleep(0.02)
            return
        self.send_header("Content-Length", str(len(body)))
        if mode == "truncated":
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.end_headers()
        if mode == "slow":
            for i in range(0, len(body), 32 * 1024):
                try:
                    self.wfile.write(body[i:i + 32 * 1024])
                    self.wfile.flush()
                except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
                    return
                time.sleep(0.05)
            return
        self.wfile.write(body)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    args = parser.parse_args()
    Handler.root = args.root
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_port, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
