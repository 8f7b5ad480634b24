#!/usr/bin/env python3
"""The offline coverage of tervane-service, as the service itself reports it.

Starts the built service with the Apertium engine on a free loopback port, reads
GET /languages and prints Markdown: how many languages and source/target combinations
translate offline, by
number of hops, and for each language every target by hop count.

  scripts/coverage-table.py                      # print the tables
  scripts/coverage-table.py --summary            # only the table by hops (bench/)
  scripts/coverage-table.py --write docs/service.md
                                                 # replace the text between the
                                                 # coverage-table markers of that file
"""
import argparse
import json
import os
import re
import subprocess
import sys
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SERVICE = os.path.join(ROOT, "build", "native", "service", "tervane-service")
BEGIN = "<!-- coverage-table:begin -->"
END = "<!-- coverage-table:end -->"
MAX_HOPS = 4


def read_languages(service, modes_dir):
    args = [service, "--listen", "127.0.0.1:0", "--engine", "apertium", "--max-hops", str(MAX_HOPS)]
    if modes_dir:
        args += ["--modes-dir", modes_dir]
    process = subprocess.Popen(args, stderr=subprocess.PIPE, text=True)
    try:
        port = None
        for line in process.stderr:
            found = re.search(r"listening on 127\.0\.0\.1:(\d+)", line)
            if found:
                port = int(found.group(1))
                break
        if port is None:
            sys.exit("coverage-table: the service did not start: " + " ".join(args))
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/languages", timeout=60) as reply:
            return json.load(reply)
    finally:
        process.terminate()
        process.wait(timeout=10)


def summary(rows):
    lines = ["| Hops | Combinations | Combinations within | Languages within |",
             "|---:|---:|---:|---:|"]
    for hops in range(1, MAX_HOPS + 1):
        exact = sum(1 for row in rows for t in row["targets"] if len(t["route"]) == hops)
        within = [(row["code"], t["code"]) for row in rows for t in row["targets"]
                  if len(t["route"]) <= hops]
        languages = {code for pair in within for code in pair}
        lines.append(f"| {hops} | {exact} | {len(within)} | {len(languages)} |")
    return lines


def by_language(rows):
    header = "| Language | " + " | ".join(
        "1 pair" if h == 1 else f"{h} pairs" for h in range(1, MAX_HOPS + 1)) + " |"
    lines = [header, "|---|" + "---|" * MAX_HOPS]
    for row in sorted(rows, key=lambda r: r["name"]):
        if not row["targets"]:
            continue
        cells = []
        for hops in range(1, MAX_HOPS + 1):
            codes = sorted(t["code"] for t in row["targets"] if len(t["route"]) == hops)
            cells.append(" ".join(codes))
        lines.append(f"| {row['name']} (`{row['code']}`) | " + " | ".join(cells) + " |")
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--service", default=SERVICE)
    parser.add_argument("--modes-dir")
    parser.add_argument("--summary", action="store_true")
    parser.add_argument("--write", metavar="MARKDOWN")
    args = parser.parse_args()

    rows = read_languages(args.service, args.modes_dir)["languages"]
    offline = [row for row in rows if row["targets"]]
    combinations = sum(len(row["targets"]) for row in rows)
    lines = summary(rows)
    if not args.summary:
        lines = [f"{len(offline)} of the {len(rows)} languages translate offline, "
                 f"{combinations} source/target combinations in all (at most {MAX_HOPS} Apertium "
                 f"pairs chained):",
                 ""] + lines + ["", "Targets of each language by the number of Apertium pairs "
                                "chained:",
                                ""] + by_language(rows)
    text = "\n".join(lines) + "\n"
    if not args.write:
        sys.stdout.write(text)
        return
    with open(args.write, encoding="utf-8") as f:
        document = f.read()
    if BEGIN not in document or END not in document:
        sys.exit(f"coverage-table: {args.write} has no {BEGIN} ... {END} markers")
    head, rest = document.split(BEGIN, 1)
    _, tail = rest.split(END, 1)
    with open(args.write, "w", encoding="utf-8") as f:
        f.write(head + BEGIN + "\n" + text + END + tail)


if __name__ == "__main__":
    main()
