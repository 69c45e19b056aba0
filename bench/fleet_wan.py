#!/usr/bin/env python3
"""Benchmark of a send to a fleet over a slow network (a measurement, not a test): SERVERS
private cupsd instances with QUEUES queues each, every connection to them through a proxy on
loopback that delays each chunk 25 ms each way. `sbq740-cli send --all`, following delivery (and
with --no-wait), beside `lp -o raw` run 8 at a time (`xargs -P 8`) and then `lpstat -o` polled
until every server is idle.

    bench/fleet_wan.py --cli build/bench/cli/sbq740-cli --script scripts/private-cupsd.sh \
        --servers 2 --queues 20 [--delay-ms 25] [--runs 3]
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench import PrivateCups  # noqa: E402
from delay_proxy import DelayProxy  # noqa: E402
from fleet import write_inputs  # noqa: E402


def idle(servers, deadline_seconds=300):
    start = time.perf_counter()
    for server in servers:
        while subprocess.run(["lpstat", "-h", server, "-o"], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL).stdout.strip():
            if time.perf_counter() - start > deadline_seconds:
                sys.exit("bench: jobs still pending after %d s" % deadline_seconds)
            time.sleep(0.05)


def timed(command, shell=False):
    start = time.perf_counter()
    result = subprocess.run(command, shell=shell, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if result.returncode != 0:
        sys.exit("bench: %s failed (%d): %s" % (command if shell else command[1], result.returncode,
                                              result.stdout.decode(errors="replace")[-600:]))
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--script", required=True)
    parser.add_argument("--servers", type=int, default=2)
    parser.add_argument("--queues", type=int, default=20)
    parser.add_argument("--delay-ms", type=float, default=25)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()

    folder = tempfile.mkdtemp(prefix="sbq-fleet-wan-")
    os.chmod(folder, 0o755)
    cups = []
    proxy = None
    try:
        for number in range(args.servers):
            server = PrivateCups(args.script, os.path.join(folder, "cups%d" % number))
            cups.append(server)
            for queue in range(args.queues):
                server.add_queue("fleet_%04d" % queue, True)
            server.remove_queue("QAV_Quillotron_740Q2")
        ports = []
        for server in cups:
            with open(os.path.join(server.folder, "cupsd.port")) as f:
                ports.append(int(f.read().strip()))
        proxy = DelayProxy(ports, args.delay_ms / 1000.0)
        far = ["127.0.0.1:%d" % proxy.ports[port] for port in ports]
        direct = ["127.0.0.1:%d" % port for port in ports]

        settings, job = write_inputs(folder)
        targets = os.path.join(folder, "targets.txt")
        with open(targets, "w") as f:
            for server in far:
                for queue in range(args.queues):
                    f.write("%s fleet_%04d\n" % (server, queue))

        servers = [a for s in far for a in ("--server", s)]
        send = [args.cli, "send", "--group", "issue", "--all"] + servers + [settings]
        lp = ("xargs -P 8 -L 1 sh -c 'lp -h \"$0\" -d \"$1\" -o raw -t \"Setbridge Status Write\" %s >/dev/null' < %s"
              % (job, targets))
        results = {}
        for name, command, shell in (("send", send, False),
                                     ("send --no-wait", send[:2] + ["--no-wait"] + send[2:], False),
                                     ("lp", lp, True)):
            samples = []
            for _ in range(args.runs):
                idle(direct)
                start = time.perf_counter()
                timed(command, shell)
                if shell:
                    idle(far)  # the loop's jobs are delivered when every server is idle
                samples.append(time.perf_counter() - start)
            results[name] = statistics.median(samples)

        total = args.servers * args.queues
        print("## %d x %d queues, %g ms each way (median of %d)" % (args.servers, args.queues, args.delay_ms, args.runs))
        print()
        print("| sender | until | seconds |")
        print("|---|---|---|")
        print("| sbq740-cli send --all | every job delivered | %.2f |" % results["send"])
        print("| sbq740-cli send --all --no-wait | accepted by the spooler | %.2f |" % results["send --no-wait"])
        print("| lp -o raw, 8 at a time, then lpstat -o until idle | every job delivered | %.2f |" % results["lp"])
        print()
        print("(%d jobs per run)" % total)
    finally:
        if proxy:
            proxy.stop()
        for server in cups:
            server.stop()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
