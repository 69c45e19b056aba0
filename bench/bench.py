#!/usr/bin/env python3
"""Benchmark of the printer link, in one run (a measurement, not a test):

1. start-up of sbq740 to its idle main window with one printer (selected on its own), and its peak
   memory, beside a bare Qt dialog program (both under Xvfb; a window is up when the X server
   maps it);
2. listing the printers with 10, 100 and 500 queues (one in ten of the model), beside `lpstat -v`
   on the same private server;
3. one send of 260 bytes, beside `lp -o raw` of the same bytes.

Called by bench/run.sh, which builds what it needs. Everything runs on loopback and in a
temporary folder; the private cupsd and the simulated printer are stopped at the end.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MODEL = "QAV Quillotron 740Q2"
OTHER_MODEL = "Generic Label Printer"
MAIN_TITLE = "QAV Quillotron 740Q2"
BARE_TITLE = "bare dialog"
RUNS = 7


def median_ms(samples):
    return statistics.median(samples) * 1000.0


def timed(command, env, check=True):
    start = time.perf_counter()
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    if check and result.returncode != 0:
        sys.exit("bench: %s failed: %s" % (" ".join(command), result.stderr.decode(errors="replace")))
    return elapsed, result.stdout.decode(errors="replace")


class PrivateCups:
    def __init__(self, script, folder):
        self.script = script
        self.folder = folder
        out = subprocess.run(["bash", script, "start", folder], check=True, stdout=subprocess.PIPE).stdout.decode()
        self.server = [line.split("=", 1)[1] for line in out.splitlines() if line.startswith("export CUPS_SERVER=")][0]
        self.env = dict(os.environ, CUPS_SERVER=self.server)
        with open(os.path.join(folder, "sim", "port")) as f:
            self.sim_uri = "socket://127.0.0.1:%s/?contimeout=3" % f.read().strip()
        self.other_ppd = os.path.join(folder, "other.ppd")
        ppd = os.path.join(os.path.dirname(script), "..", "tools", "ppd", "QAV-Quillotron-740Q2.ppd")
        self.model_ppd = os.path.abspath(ppd)
        with open(self.model_ppd) as src, open(self.other_ppd, "w") as dst:
            for line in src:
                for key in ("*ModelName:", "*NickName:", "*ShortNickName:"):
                    if line.startswith(key):
                        line = '%s "%s"\n' % (key, OTHER_MODEL)
                dst.write(line)

    def add_queue(self, name, model_queue):
        ppd = self.model_ppd if model_queue else self.other_ppd
        subprocess.run(["lpadmin", "-p", name, "-v", self.sim_uri, "-P", ppd, "-E"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def remove_queue(self, name):
        subprocess.run(["lpadmin", "-x", name], env=self.env, check=True)

    def jobs(self):
        return len([n for n in os.listdir(os.path.join(self.folder, "sim", "jobs")) if n.startswith("job-")])

    def stop(self):
        subprocess.run(["bash", self.script, "stop", self.folder], check=False)


class Xvfb:
    def __init__(self):
        for number in range(91, 120):
            if not os.path.exists("/tmp/.X11-unix/X%d" % number) and not os.path.exists("/tmp/.X%d-lock" % number):
                break
        self.display = ":%d" % number
        self.process = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 10
        while not os.path.exists("/tmp/.X11-unix/X%d" % number):
            if time.time() > deadline:
                sys.exit("bench: Xvfb did not start")
            time.sleep(0.05)

    def stop(self):
        self.process.terminate()
        self.process.wait()


def start_up(watch, program, title, env):
    """Milliseconds from launch until the window is mapped, and the peak memory (kB) then."""
    result = subprocess.run([watch, title, program], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if result.returncode != 0:
        sys.exit("bench: %s: %s" % (program, result.stderr.decode(errors="replace")))
    ms, kb = result.stdout.split()
    return float(ms), int(kb)


def bench_start_up(args, cups, folder):
    xvfb = Xvfb()
    runtime = os.path.join(folder, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env = dict(cups.env, DISPLAY=xvfb.display, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime)
    env.pop("WAYLAND_DISPLAY", None)
    try:
        results = {}
        for name, program, title in (("sbq740", args.sbq740, MAIN_TITLE), ("bare dialog", args.bare, BARE_TITLE)):
            start_up(args.watch, program, title, env)  # warm the file cache
            runs = [start_up(args.watch, program, title, env) for _ in range(RUNS)]
            results[name] = (statistics.median(r[0] for r in runs), max(r[1] for r in runs) / 1024.0)
    finally:
        xvfb.stop()
    main_ms, main_mb = results["sbq740"]
    bare_ms, bare_mb = results["bare dialog"]
    print("## Start-up to the idle window (median of %d, under Xvfb)" % RUNS)
    print()
    print("| program | start-up | peak memory |")
    print("|---|---|---|")
    print("| sbq740, one printer selected on its own | %.0f ms | %.1f MB |" % (main_ms, main_mb))
    print("| bare Qt dialog | %.0f ms | %.1f MB |" % (bare_ms, bare_mb))
    print()
    print("ratio %.2fx (target within 1.5x), peak %.1f MB (target under 60 MB)" % (main_ms / bare_ms, main_mb))
    print()


def bench_listing(args, cups):
    print("## Listing the printers (median of %d processes; in-process median of 20 calls)" % RUNS)
    print()
    print("| queues | listed rows | spooler_probe list | in process | lpstat -v |")
    print("|---|---|---|---|---|")
    created = 0
    figures = []
    for total in (10, 100, 500):
        while created < total:
            cups.add_queue("bench_%04d" % created, created % 10 == 0)
            created += 1
        probe = [timed([args.probe, "list"], cups.env)[0] for _ in range(RUNS)]
        lpstat = [timed(["lpstat", "-v"], cups.env)[0] for _ in range(RUNS)]
        _, out = timed([args.probe, "list", "20"], cups.env)
        rows, queues, inside = out.split()
        if int(queues) != total or int(rows) != total // 10:
            sys.exit("bench: expected %d queues and %d rows, got %s and %s" % (total, total // 10, queues, rows))
        figures.append((total, median_ms(probe), float(inside), median_ms(lpstat)))
        print("| %d | %s | %.1f ms | %.1f ms | %.1f ms |" % (total, rows, median_ms(probe), float(inside),
                                                            median_ms(lpstat)))
    print()
    (n0, _, in0, _), (n1, _, in1, _) = figures[0], figures[-1]
    print("in-process cost per queue: %.3f ms (10 -> 500 queues); %.3f ms per queue at 500" %
          ((in1 - in0) / (n1 - n0), in1 / n1))
    print()
    return created


def bench_send(args, cups, folder, queue):
    job = os.path.join(folder, "job260.bin")
    with open(job, "wb") as f:
        record = b"\x1bZ2;1,002101250+00000000000100B0000000000000000\n\x00"
        f.write((record + b"\x1bZ0\n").ljust(260, b"\x00"))

    def arrival(command):
        before = cups.jobs()
        start = time.perf_counter()
        submitted, _ = timed(command, cups.env)
        while cups.jobs() == before:
            if time.perf_counter() - start > 20:
                sys.exit("bench: the job of %s never arrived" % command[0])
            time.sleep(0.001)
        return submitted, time.perf_counter() - start

    probe = [arrival([args.probe, "send", queue, job]) for _ in range(RUNS)]
    lp = [arrival(["lp", "-d", queue, "-o", "raw", "-t", "Setbridge Status Write", job]) for _ in range(RUNS)]
    print("## One send of 260 bytes (median of %d)" % RUNS)
    print()
    print("| sender | accepted by the spooler | arrived at the printer |")
    print("|---|---|---|")
    print("| spooler_probe send | %.1f ms | %.1f ms |" % (median_ms([p[0] for p in probe]), median_ms([p[1] for p in probe])))
    print("| lp -o raw | %.1f ms | %.1f ms |" % (median_ms([p[0] for p in lp]), median_ms([p[1] for p in lp])))
    print()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sbq740", required=True)
    parser.add_argument("--bare", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--watch", required=True)
    parser.add_argument("--script", required=True)
    parser.add_argument("--skip-start-up", action="store_true")
    parser.add_argument("--only-start-up", action="store_true")
    args = parser.parse_args()
    for tool in ("lpadmin", "lpstat", "lp") + (() if args.skip_start_up else ("Xvfb",)):
        if shutil.which(tool) is None:
            sys.exit("bench: %s is missing" % tool)

    folder = tempfile.mkdtemp(prefix="sbq-bench-")
    os.chmod(folder, 0o755)
    cups = PrivateCups(args.script, os.path.join(folder, "cups"))
    try:
        if not args.skip_start_up:
            bench_start_up(args, cups, folder)
        if args.only_start_up:
            return
        cups.remove_queue("QAV_Quillotron_740Q2")
        bench_listing(args, cups)
        bench_send(args, cups, folder, "bench_0000")
    finally:
        cups.stop()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
