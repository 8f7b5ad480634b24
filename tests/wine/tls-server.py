#!/usr/bin/env python3
"""A small HTTPS server for the Windows tests: answers every GET with a short text.

Usage: tls-server.py CERT KEY PORTFILE -- listens on a free loopback port, writes it to PORTFILE.
"""
import http.server
import ssl
import sys


class Answer(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = b"Tervane TLS test server"
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


cert, key, port_file = sys.argv[1:4]
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Answer)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server.socket = context.wrap_socket(server.socket, server_side=True)
with open(port_file, "w") as out:
    out.write(str(server.server_address[1]))
server.serve_forever()
