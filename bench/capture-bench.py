#!/usr/bin/env python3
"""The capture's time per way, under Wine on a virtual display: an edit control that answers
WM_COPY and a page view that copies only on Ctrl+Insert (tests/e2e's textpad.exe and
pageview.exe, each started as another program and brought to the front), captured from N
times each as the program captures; UI Automation timed on its own over the edit. Prints the
table of bench/capture_bench_main.cpp. Not a test.

    bench/capture-bench.py [--captures 25]      (after scripts/build.sh)
"""
import argparse
import subprocess
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))
from tervane_e2e import Desktop, windows_build  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--captures", type=int, default=25)
    args = parser.parse_args()
    build = windows_build()
    helpers = build / "tests" / "e2e"
    with Desktop(build) as desktop:
        result = subprocess.run(
            ["wine", str(build / "bench" / "tervane-capture-bench.exe"),
             str(helpers / "textpad.exe"), str(helpers / "pageview.exe"), str(args.captures)],
            env=desktop.env, stdin=subprocess.DEVNULL, capture_output=True, text=True,
            timeout=600)
        sys.stdout.write(result.stdout)
        if result.returncode != 0:
            raise SystemExit(result.stderr.strip() or f"exit code {result.returncode}")


if __name__ == "__main__":
    main()
