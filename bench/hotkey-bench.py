#!/usr/bin/env python3
"""Hotkey press to balloon on screen, as a person presses it: the real tervane.exe (with a
trace of each translation's stages, bench/flow_bench_main.cpp) and the real translation
service on a virtual display, French text selected in a window of ours, Ctrl+Shift+F12
pressed N times. Prints the median and p95 of capture, exchange and showing, and of the
whole from the hotkey's arrival to the balloon on screen (the flow's fixed 200 ms wait after
the balloon is shown is not counted). `--window pageview` presses over a window that copies
only on Ctrl+Insert (tests/e2e/pageview.exe), as a browser's page view. Not a test.

    bench/hotkey-bench.py [--presses 25] [--window textpad|pageview]   (after scripts/build.sh)
"""
import argparse
import statistics
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))
from tervane_e2e import Desktop, windows_build  # noqa: E402


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, round(p / 100 * (len(ordered) - 1)))]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--presses", type=int, default=25)
    parser.add_argument("--text", default="Le chat est noir et la maison est grande.")
    parser.add_argument("--window", choices=("textpad", "pageview"), default="textpad")
    args = parser.parse_args()
    build = windows_build()
    with tempfile.TemporaryDirectory() as tmp, Desktop(build) as desktop:
        trace = Path(tmp) / "flow.txt"
        desktop.env["TERVANE_FLOW_TRACE"] = "Z:" + str(trace).replace("/", "\\")
        desktop.start_service(REPO / "build" / "native" / "service" / "tervane-service")
        desktop.start_program(exe=build / "bench" / "tervane-flow-bench.exe")
        desktop.wait_window(cls="TervaneMainWindow", title="Tervane 5.1")
        if args.window == "pageview":
            desktop.start(["wine", str(build / "tests" / "e2e" / "pageview.exe"), "Texte",
                           args.text])
            pad = desktop.wait_window(cls="TervanePageView", title="Texte")
        else:
            pad = desktop.start_textpad("Texte", args.text)
        runs = []
        for press in range(args.presses + 1):  # the first warms the service's pipelines
            desktop.activate(pad)
            desktop.move_mouse(300, 250)
            before = trace.read_text().count("shown") if trace.exists() else 0
            desktop.key("ctrl+shift+F12")
            deadline = time.monotonic() + 30
            while time.monotonic() < deadline:
                if trace.exists() and trace.read_text().count("shown") > before:
                    break
                time.sleep(0.05)
            else:
                raise SystemExit(f"press {press}: no balloon")
            time.sleep(0.3)  # the flow's 200 ms wait and the detach
            lines = [line.split() for line in trace.read_text().splitlines()]
            stages = {name: int(us) for name, us in lines[-4:]}
            if press > 0:
                runs.append(stages)
    rows = [("capture", "started", "captured"), ("exchange", "captured", "translated"),
            ("showing", "translated", "shown"), ("hotkey to balloon", "started", "shown")]
    print(f"Hotkey press to balloon over the {args.window}, {len(runs)} presses, fr->en through "
          "the local service")
    print(f"{'stage':<20}{'median ms':>12}{'p95 ms':>10}")
    for label, start, end in rows:
        values = [(run[end] - run[start]) / 1000 for run in runs]
        print(f"{label:<20}{statistics.median(values):>12.1f}{percentile(values, 95):>10.1f}")


if __name__ == "__main__":
    main()
