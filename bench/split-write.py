#!/usr/bin/env python3
"""Answer time of a running tervane-service for a client that writes a request's head and
body in two sends without TCP_NODELAY (as WinHTTP does under Wine), beside the same client
writing the whole request in one send. Both keep their connection alive between requests,
as WinHTTP does, and take turns, so that both see the same machine. Prints a Markdown table:
median and p95 of the time from the first byte sent to the last byte of the answer.

Usage: bench/split-write.py PORT [requests per client, default 300]
Not a test: nothing here passes or fails."""

import pathlib
import socket
import statistics
import sys
import time
import urllib.parse

SENTENCES = pathlib.Path(__file__).with_name("sentences.fr.txt").read_text(encoding="utf-8")


def request_parts(sentence):
    body = ("text=" + urllib.parse.quote_plus(sentence) +
            "&source=fr&target=es&format=text&v=1").encode()
    head = ("POST /translate HTTP/1.1\r\nHost: 127.0.0.1\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n"
            f"Content-Length: {len(body)}\r\n\r\n").encode()
    return head, body


def read_answer(connection):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = connection.recv(65536)
        if not chunk:
            raise RuntimeError("the service closed the connection")
        data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    status = head.split(b" ", 2)[1]
    if status != b"200":
        raise RuntimeError("answer " + head.split(b"\r\n")[0].decode(errors="replace"))
    length = next(int(line.split(b":", 1)[1]) for line in head.split(b"\r\n")
                  if line.lower().startswith(b"content-length:"))
    while len(body) < length:
        body += connection.recv(65536)


def exchange(connection, head, body, split):
    started = time.perf_counter()
    if split:
        connection.sendall(head)
        connection.sendall(body)
    else:
        connection.sendall(head + body)
    read_answer(connection)
    return (time.perf_counter() - started) * 1000


def main():
    port = int(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    sentences = [line for line in SENTENCES.splitlines() if line.strip()]
    # Python leaves TCP_NODELAY off, as WinHTTP under Wine does.
    clients = {split: socket.create_connection(("127.0.0.1", port)) for split in (False, True)}
    times = {False: [], True: []}
    for i in range(count + 10):
        head, body = request_parts(sentences[i % len(sentences)])
        for split, connection in clients.items():
            took = exchange(connection, head, body, split)
            if i >= 10:  # the first ones warm the pipelines
                times[split].append(took)
    print("| Client (French to Spanish, kept-alive connection) | median | p95 |")
    print("|---|---|---|")
    for split, label in ((False, "head and body in one send"),
                         (True, "head and body in two sends, no TCP_NODELAY (WinHTTP under Wine)")):
        ordered = sorted(times[split])
        p95 = ordered[min(len(ordered) - 1, int(len(ordered) * 0.95))]
        print(f"| {label} | {statistics.median(ordered):.2f}ms | {p95:.2f}ms |")


if __name__ == "__main__":
    main()
