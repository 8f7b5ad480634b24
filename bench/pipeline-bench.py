#!/usr/bin/env python3
"""Benchmark of tervane-service's Apertium coverage and pipelines. Prints Markdown tables;
nothing here passes or fails.

1. Coverage: languages and pairs offline, by number of hops (scripts/coverage-table.py).
2. Memory: resident size of the service and all its processes at start, after one pair,
   after ten pairs, and after the idle timeout (--idle-timeout IDLE, default 5 s) passed.
   Then what one pipeline costs, for every installed pair (each alone on a fresh service,
   so that no other pipeline shares its pages), and what --max-pipelines of them cost at
   most: the operator's bound on memory.
3. First request of a pair (its pipelines start) and warm requests (p50, p95), for one pair
   of each hop count, each on a fresh service.

Usage: bench/pipeline-bench.py [--warm N] [--idle SECONDS]
Needs: build/native/service/tervane-service and the pairs scripts/install-deps.sh installs.
"""
import argparse
import http.client
import json
import threading
import os
import re
import statistics
import subprocess
import sys
import time
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SERVICE = os.path.join(ROOT, "build", "native", "service", "tervane-service")

# One sentence per source language, and ten one-pair directions for the memory run.
SENTENCES = {
    "fr": "Le chat est noir et la maison est grande.",
    "es": "El gato es negro y la casa es grande.",
    "en": "The cat is black and the house is big.",
    "sv": "Katten är svart och huset är stort.",
    # Not "... а дом большой.": Debian's apertium-tagger crashes on it in rus-ukr.
    "ru": "Кошка спит на большом столе.",
    "sr": "Mačka je crna, a kuća je velika.",
    "ca": "El gat és negre i la casa és gran.",
    "mk": "Мачката е црна, а куќата е голема.",
    "id": "Kucing itu hitam dan rumahnya besar.",
    "da": "Katten er sort og huset er stort.",
    "pt": "O gato é preto e a casa é grande.",
}
GENERIC = "The cat is black and the house is big."
TEN_PAIRS = [("fr", "es"), ("es", "pt"), ("es", "it"), ("ru", "uk"), ("sv", "da"),
             ("sr", "sl"), ("ca", "es"), ("mk", "bg"), ("id", "ms"), ("en", "es")]
BY_HOPS = [("fr", "es"), ("fr", "en"), ("sv", "es"), ("sv", "fr")]


class Service:
    def __init__(self, *flags):
        self.process = subprocess.Popen([SERVICE, "--listen", "127.0.0.1:0", *flags],
                                        stderr=subprocess.PIPE, text=True)
        for line in self.process.stderr:
            found = re.search(r"listening on 127\.0\.0\.1:(\d+)", line)
            if found:
                self.port = int(found.group(1))
                break
        else:
            sys.exit("the service did not start")
        # Keep reading its log so that a full pipe never holds it up.
        self.log = []
        threading.Thread(target=lambda: self.log.extend(self.process.stderr), daemon=True).start()
        self.connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=60)

    def translate(self, source, target):
        body = urllib.parse.urlencode({"text": SENTENCES[source], "source": source,
                                       "target": target, "format": "text", "v": "1"})
        started = time.perf_counter()
        self.connection.request("POST", "/translate", body,
                                {"Content-Type": "application/x-www-form-urlencoded"})
        reply = self.connection.getresponse()
        reply.read()
        elapsed = (time.perf_counter() - started) * 1000
        if reply.status != 200:
            sys.exit(f"{source}->{target}: {reply.status} {reply.reason}")
        return elapsed

    def children(self):
        # Each thread's children are listed under its own task.
        pids = []
        for task in os.listdir(f"/proc/{self.process.pid}/task"):
            try:
                with open(f"/proc/{self.process.pid}/task/{task}/children") as children:
                    pids += [int(c) for c in children.read().split()]
            except FileNotFoundError:
                pass
        return pids

    def resident_mib(self, field):
        """Summed over the service and its processes: Rss counts shared pages (libraries,
        a pair's data mapped by two pipelines) once per process, Pss shares them out."""
        total = 0
        for pid in [self.process.pid] + self.children():
            try:
                with open(f"/proc/{pid}/smaps_rollup") as rollup:
                    total += next(int(l.split()[1]) for l in rollup if l.startswith(field + ":"))
            except (FileNotFoundError, StopIteration, ProcessLookupError):
                pass
        return total / 1024

    def row(self, when):
        print(f"| {when} | {self.resident_mib('Pss'):.0f} | {self.resident_mib('Rss'):.0f} | "
              f"{self.processes()} |")

    def processes(self):
        return len(self.children())

    def stop(self):
        self.connection.close()
        self.process.terminate()
        self.process.wait(timeout=10)


def coverage():
    print("## Coverage (offline, Apertium)\n")
    subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "coverage-table.py"),
                    "--summary"], check=True)
    print()


def memory(idle):
    print(f"## Memory (resident, service and its processes; --idle-timeout {idle:g})\n")
    print("| When | PSS MiB | RSS sum MiB | Processes |")
    print("|---|---:|---:|---:|")
    service = Service("--idle-timeout", str(idle))
    try:
        service.row("at start")
        service.translate(*TEN_PAIRS[0])
        service.row(f"after one pair ({'-'.join(TEN_PAIRS[0])})")
        for pair in TEN_PAIRS[1:]:
            service.translate(*pair)
        service.row("after ten pairs")
        time.sleep(idle + 2.5)
        service.row(f"{idle + 2.5:g} s later, all unused")
    finally:
        service.stop()
    print()


def direct_pairs():
    """One (source, target) direction for each installed pair, from /languages."""
    service = Service()
    try:
        service.connection.request("GET", "/languages", headers={"Accept": "text/html, */*"})
        languages = json.loads(service.connection.getresponse().read())
    finally:
        service.stop()
    pairs = {}
    for language in languages["languages"]:
        for target in language["targets"]:
            if target["engine"] == "apertium" and len(target["route"]) == 1:
                pairs.setdefault(target["route"][0], (language["code"], target["code"]))
    return sorted(pairs.items())


def pipeline_memory():
    print("## One pipeline's memory, by pair (alone on a fresh service, after one request)\n")
    print("| Pair | Processes | PSS MiB | RSS sum MiB |")
    print("|---|---:|---:|---:|")
    costs = []
    for mode, (source, target) in direct_pairs():
        service = Service("--pipes-per-pair", "1")
        try:
            base = service.resident_mib("Pss")  # the service itself, without pipelines
            body = urllib.parse.urlencode({"text": SENTENCES.get(source, GENERIC), "source": source,
                                           "target": target, "format": "text", "v": "1"})
            service.connection.request("POST", "/translate", body,
                                       {"Content-Type": "application/x-www-form-urlencoded"})
            service.connection.getresponse().read()
            pss = service.resident_mib("Pss") - base
            costs.append(pss)
            print(f"| {mode} | {service.processes()} | {pss:.0f} | "
                  f"{service.resident_mib('Rss'):.0f} |")
        finally:
            service.stop()
    costs.sort(reverse=True)
    print(f"\n{len(costs)} pairs: median {statistics.median(costs):.0f} MiB a pipeline, "
          f"largest {costs[0]:.0f} MiB; the 24 largest (the default --max-pipelines) "
          f"{sum(costs[:24]):.0f} MiB together, all {len(costs)} {sum(costs):.0f} MiB.\n")


def latency(warm):
    print(f"## First and warm requests (ms; warm: {warm} requests, one client)\n")
    print("| Pair | Hops | Route | First | Warm p50 | Warm p95 |")
    print("|---|---:|---|---:|---:|---:|")
    for source, target in BY_HOPS:
        service = Service()
        try:
            first = service.translate(source, target)
            times = sorted(service.translate(source, target) for _ in range(warm))
            time.sleep(0.2)
            route = next((re.search(r"route=(\S+)", l).group(1) for l in service.log
                          if f"{source}->{target}" in l and "route=" in l), "?")
            p95 = times[min(len(times) - 1, int(len(times) * 0.95))]
            print(f"| {source}->{target} | {route.count(',') + 1} | {route} | {first:.0f} | "
                  f"{statistics.median(times):.1f} | {p95:.1f} |")
        finally:
            service.stop()
    print()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--warm", type=int, default=100)
    parser.add_argument("--idle", type=float, default=5)
    parser.add_argument("--only", choices=["pipelines"], help="run only one part")
    args = parser.parse_args()
    if not os.access(SERVICE, os.X_OK):
        sys.exit(f"build the service first: {SERVICE}")
    if args.only == "pipelines":
        pipeline_memory()
        return
    coverage()
    memory(args.idle)
    pipeline_memory()
    latency(args.warm)


if __name__ == "__main__":
    main()
