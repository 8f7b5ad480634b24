#!/usr/bin/env python3
"""A small HTTPS server for the Windows tests. It answers as an Apertium APy server with one
pair (French to Spanish, one sentence known): GET /listPairs, and POST /translate with APy's
form (langpair, q); every other GET with a short text.

Usage: tls-server.py CERT KEY PORTFILE -- listens on a free loopback port, writes it to PORTFILE.
"""
import http.server
import json
import ssl
import sys
import urllib.parse

SENTENCES = {"Le chat est noir.": "El gato es negro."}


class Answer(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if urllib.parse.urlsplit(self.path).path.endswith("/listPairs"):
            pairs = [{"sourceLanguage": "fra", "targetLanguage": "spa"}]
            self.answer(200, {"responseData": pairs, "responseDetails": None,
                              "responseStatus": 200})
        else:
            self.send(200, "text/plain", b"Tervane TLS test server")

    def do_POST(self):
        length = int(self.headers.get("Content-Length", 0))
        form = urllib.parse.parse_qs(self.rfile.read(length).decode("utf-8"))
        text = form.get("q", [""])[0]
        if form.get("langpair") != ["fra|spa"] or text not in SENTENCES:
            self.answer(400, {"status": "error", "code": 400, "message": "Bad Request",
                              "explanation": "That pair or text is not offered"})
            return
        self.answer(200, {"responseData": {"translatedText": SENTENCES[text]},
                          "responseDetails": None, "responseStatus": 200})

    def answer(self, status, value):
        self.send(status, "application/json; charset=utf-8", json.dumps(value).encode())

    def send(self, status, content_type, body):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
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
