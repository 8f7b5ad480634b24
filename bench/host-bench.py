#!/usr/bin/env python3
"""Benchmark of the Apertium runners side by side: a process per stage (processes) and one
pair host per pipeline (inprocess). Prints Markdown tables; nothing here passes or fails.

For each runner, on a fresh service (--idle-timeout IDLE, default 5 s; pair checks off):
the cold first request of French to English (two pairs, fr-es then spa-eng: their
pipelines start), the processes and the proportional set size (PSS) of the service and
all its processes after it, warm requests (p50), and the PSS once the pipelines have been
unused for longer than the idle time-out. Then the fr-es host alone, fed the same sentence
on its pipes one request after another (no HTTP, no service), as the floor of a hop.

Usage: bench/host-bench.py [--warm N] [--idle SECONDS] [--runs N]
Needs: build/native/service/tervane-service and tervane-pair-host, apertium-fr-es,
apertium-eng-spa.
"""
import argparse
import importlib.util
import os
import statistics
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location("pipeline_bench",
                                              os.path.join(HERE, "pipeline-bench.py"))
pipeline_bench = importlib.util.module_from_spec(spec)
spec.loader.exec_module(pipeline_bench)


def descendants(pid):
    found = []
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/children") as children:
                for child in children.read().split():
                    found += [int(child)] + descendants(int(child))
        except FileNotFoundError:
            pass
    return found


def pss_mib(service):
    total = 0
    for pid in [service.process.pid] + descendants(service.process.pid):
        try:
            with open(f"/proc/{pid}/smaps_rollup") as rollup:
                total += next(int(l.split()[1]) for l in rollup if l.startswith("Pss:"))
        except (FileNotFoundError, StopIteration, ProcessLookupError):
            pass
    return total / 1024


def measure(runner, warm, idle):
    service = pipeline_bench.Service("--apertium-runner", runner, "--check-pairs", "off",
                                     "--idle-timeout", str(idle))
    try:
        first = service.translate("fr", "en")
        processes = len(descendants(service.process.pid))
        after_one = pss_mib(service)
        times = sorted(service.translate("fr", "en") for _ in range(warm))
        es = sorted(service.translate("fr", "es") for _ in range(warm))
        time.sleep(idle + 2.5)
        after_idle = pss_mib(service)
        return first, processes, after_one, statistics.median(es), statistics.median(times), \
            after_idle
    finally:
        service.stop()


def host_alone(requests):
    """p50 in ms of the fr-es pair host answering on its pipes, with no service around it."""
    host = os.path.join(os.path.dirname(pipeline_bench.SERVICE), "tervane-pair-host")
    stream = subprocess.run(["apertium-destxt"], input=pipeline_bench.SENTENCES["fr"].encode(),
                            capture_output=True, check=True).stdout + b"\0"
    process = subprocess.Popen([host, "/usr/share/apertium/modes/fr-es.mode"],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    times = []
    for _ in range(requests + 20):
        started = time.perf_counter()
        process.stdin.write(stream)
        process.stdin.flush()
        answer = b""
        while not answer.endswith(b"\0"):
            answer += process.stdout.read1(65536)
        times.append((time.perf_counter() - started) * 1000)
    process.stdin.close()
    process.wait()
    return statistics.median(times[20:])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--warm", type=int, default=200)
    parser.add_argument("--idle", type=float, default=5)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    print(f"Fresh service per run, {args.runs} runs per runner (median shown); warm: "
          f"{args.warm} requests, one client, HTTP included.\n")
    print("| Runner | Cold fr->en ms | Processes after | PSS MiB after | Warm fr->es p50 ms "
          "| Warm fr->en p50 ms | PSS MiB after idle |")
    print("|---|---:|---:|---:|---:|---:|---:|")
    for runner in ("processes", "inprocess"):
        runs = [measure(runner, args.warm, args.idle) for _ in range(args.runs)]
        cols = [statistics.median(r[i] for r in runs) for i in range(6)]
        print(f"| {runner} | {cols[0]:.0f} | {cols[1]:.0f} | {cols[2]:.0f} | {cols[3]:.2f} | "
              f"{cols[4]:.2f} | {cols[5]:.0f} |")
    print(f"\nThe fr-es pair host alone on its pipes, same sentence: p50 "
          f"{host_alone(args.warm):.2f} ms")


if __name__ == "__main__":
    main()
