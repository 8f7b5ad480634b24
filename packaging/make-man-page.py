#!/usr/bin/env python3
"""Writes tervane-service(1) from the service's own --help, so the page never drifts.

Usage: make-man-page.py SERVICE_BINARY VERSION OUTPUT
"""
import datetime
import re
import subprocess
import sys


def escape(text: str) -> str:
    return text.replace("\\", "\\e").replace("-", "\\-")


def main() -> int:
    binary, version, output = sys.argv[1:4]
    help_text = subprocess.run([binary, "--help"], capture_output=True, text=True,
                               check=True).stdout
    lines = help_text.splitlines()
    summary = lines[1]
    page = [
        f'.TH TERVANE\\-SERVICE 1 "{datetime.date.today():%Y-%m-%d}" "tervane-service {version}"'
        ' "User Commands"',
        ".SH NAME",
        "tervane\\-service \\- " + escape(summary.split(":")[0]),
        ".SH SYNOPSIS",
        ".B tervane\\-service",
        "[\\fIoptions\\fR]",
        ".SH DESCRIPTION",
        escape(summary),
        ".SH OPTIONS",
    ]
    option = re.compile(r"^  (--\S+(?: [A-Z:,.\[\]]+)?)\s{2,}(.*)$")
    rest = []
    for line in lines[2:]:
        match = option.match(line)
        if match:
            page += [".TP", "\\fB" + escape(match.group(1)) + "\\fR", escape(match.group(2))]
        elif line.startswith("   ") and page[-1] != ".SH OPTIONS":
            page[-1] += " " + escape(line.strip())
        elif line.strip():
            rest.append(escape(line.strip()))
    if rest:
        page += [".SH NOTES"] + [line + "\n.br" for line in rest]
    page += [".SH FILES", "/etc/default/tervane\\-service: the options the systemd unit passes.",
             ".SH SEE ALSO", "apertium(1)"]
    with open(output, "w", encoding="utf-8") as out:
        out.write("\n".join(page) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
