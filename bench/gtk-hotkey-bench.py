#!/usr/bin/env python3
"""Hotkey press to balloon on screen for the Linux desktop program, as a person presses it:
the real `tervane` (TERVANE_FLOW_TRACE set, gtk/FlowTrace.h) and the real translation service
on a virtual display, French text selected in xterm, Ctrl+Shift+F12 pressed N times. Prints
the median and p95 of the selection read, the exchange and the showing (the balloon laid out
and first drawn), and of the whole from the hotkey's arrival to the drawn balloon (the
flow's fixed 200 ms wait after the balloon is shown is not counted). Not a test.

    scripts/on-virtual-display.sh bench/gtk-hotkey-bench.py [--presses 25]
    (after cmake --build --preset native)
"""
import argparse
import statistics
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "gtk"))
from gtk_desktop import GtkDesktop, wait_until  # noqa: E402

STAGES = [("selection read", "started", "captured"), ("exchange", "captured", "translated"),
          ("showing", "translated", "drawn"), ("hotkey to balloon", "pressed", "drawn")]


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, round(p / 100 * (len(ordered) - 1)))]


def read_runs(trace):
    """One dict of stage -> microseconds per press, in order."""
    runs, run = [], {}
    for line in trace.read_text().splitlines():
        name, at = line.split()
        if name == "pressed" and run:
            runs.append(run)
            run = {}
        run[name] = int(at)
    if run:
        runs.append(run)
    return runs


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--presses", type=int, default=25)
    parser.add_argument("--text", default="Le chat est noir et la maison est grande.")
    args = parser.parse_args()
    with GtkDesktop() as desktop:
        trace = desktop.home / "flow.txt"
        desktop.env["TERVANE_FLOW_TRACE"] = str(trace)
        desktop.start_service()
        desktop.start_program()
        term = desktop.start_xterm(args.text)
        desktop.select_first_line(term)
        desktop.mouse(300, 250)
        for press in range(args.presses + 1):  # the first warms the service's pipelines
            desktop.key("ctrl+shift+F12")
            wait_until(lambda: trace.exists() and len([r for r in read_runs(trace)
                                                       if "drawn" in r]) > press, 30,
                       f"balloon {press}")
            time.sleep(0.3)  # the flow's 200 ms wait
        runs = [run for run in read_runs(trace) if "drawn" in run][1:]
    print(f"Hotkey press to balloon (Linux desktop program), {len(runs)} presses, "
          "fr->en through the local service")
    print(f"{'stage':<20}{'median ms':>12}{'p95 ms':>10}")
    for label, start, end in STAGES:
        values = [(run[end] - run[start]) / 1000 for run in runs]
        print(f"{label:<20}{statistics.median(values):>12.1f}{percentile(values, 95):>10.1f}")


if __name__ == "__main__":
    main()
