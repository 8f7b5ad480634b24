#!/usr/bin/env python3
"""Writes a .reg file that puts a CA among a Wine prefix's trusted roots (the current user's
Root store), for `wine reg import`. Wine keeps that store in the registry as Windows does:
one key per certificate, named by its SHA-1, whose Blob is the certificate as a serialized
store element (property CERT_CERT_PROP_ID = 32, version 1, length, then the DER).

Usage: trust-ca-reg.py CA.pem OUT.reg
"""
import hashlib
import ssl
import struct
import sys

pem, out = sys.argv[1:3]
der = ssl.PEM_cert_to_DER_cert(open(pem).read())
blob = struct.pack("<III", 32, 1, len(der)) + der
key = (r"HKEY_CURRENT_USER\Software\Microsoft\SystemCertificates\Root\Certificates"
       "\\" + hashlib.sha1(der).hexdigest().upper())
with open(out, "w") as reg:
    reg.write("REGEDIT4\n\n[%s]\n\"Blob\"=hex:%s\n" % (key, ",".join("%02x" % b for b in blob)))
