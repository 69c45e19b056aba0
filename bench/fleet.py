#!/usr/bin/env python3
"""Benchmark of a send to a fleet (a measurement, not a test): the issue-control group of the
factory settings to 200 queues with `sbq740-cli send`, beside a shell loop of `lp -o raw` doing
the same, each with and without waiting for delivery.

"Without waiting" ends when the spooler has accepted every job (`--no-wait`; the loop as it
returns). "With waiting" ends when every job is delivered: sbq740-cli follows the jobs itself;
the loop is followed by polling `lpstat -o` until no job is left. Everything runs on loopback
in a private cupsd with the simulated printer behind every queue.

    bench/fleet.py --cli build/release/cli/sbq740-cli --script scripts/private-cupsd.sh [--queues 200]
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

RUNS = 3
HEADER = b"QAV Quillotron 740Q2\n\x00"
FACTORY = (b"\x1bZ2;1,002101250+00000000000100B0000000000000000\n\x00"
           b"\x1bZ2;2,+000+000+00+000+00+00-00-001014\n\x00"
           b"\x1bIP;2,192,168,010,020\n\x00"
           b"\x1bIP;3,000,000,000,000\n\x00"
           b"\x1bIP;4,255,255,255,000\n\x00"
           b"\x1bIS;1,09100\n\x00"
           b"\x1bIH;0," + b"F" * 32 + b"\n\x00"
           b"\x1bZ2;3,0,C,C,C,C,C,1\n\x00"
           b"\x1bZ2;3,00000030054000520+00\n\x00"
           b"0")
ISSUE_JOB = (b"\x1bZ2;3,0,C,C,C,C,C,1\n\x00" + b"\x1bZ0\n").ljust(260, b"\x00")


def write_inputs(folder):
    """The factory settings file and the issue group's job the senders send, in `folder`."""
    settings = os.path.join(folder, "factory.dat")
    with open(settings, "wb") as f:
        f.write(HEADER + FACTORY)
    job = os.path.join(folder, "issue.bin")
    with open(job, "wb") as f:
        f.write(ISSUE_JOB)
    return settings, job


def wait_until_idle(env, deadline_seconds=120):
    start = time.perf_counter()
    while subprocess.run(["lpstat", "-o"], env=env, stdout=subprocess.PIPE).stdout.strip():
        if time.perf_counter() - start > deadline_seconds:
            sys.exit("bench: jobs still pending after %d s" % deadline_seconds)
        time.sleep(0.02)


def timed(command, env, wait=False, shell=False):
    start = time.perf_counter()
    result = subprocess.run(command, env=env, shell=shell, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if result.returncode != 0:
        failed = [line for line in result.stdout.decode(errors="replace").splitlines() if "failed" in line]
        sys.exit("bench: %s failed (%d): %s" % (command if shell else command[0], result.returncode,
                                              "\n".join(failed[:5]) or result.stdout.decode(errors="replace")[-400:]))
    if wait:
        wait_until_idle(env)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--script", required=True)
    parser.add_argument("--queues", type=int, default=200)
    args = parser.parse_args()

    folder = tempfile.mkdtemp(prefix="sbq-fleet-")
    os.chmod(folder, 0o755)
    cups = PrivateCups(args.script, os.path.join(folder, "cups"))
    try:
        queues = ["fleet_%04d" % i for i in range(args.queues)]
        for queue in queues:
            cups.add_queue(queue, True)
        settings, job = write_inputs(folder)

        printers = [a for q in queues for a in ("--printer", q)]
        send = [args.cli, "send", "--group", "issue"] + printers + [settings]
        loop = "for q in %s; do lp -d $q -o raw -t 'Setbridge Status Write' %s >/dev/null || exit 1; done" % (
            " ".join(queues), job)
        results = {}
        for name, command, wait, shell in (
                ("sbq740-cli send --no-wait", send[:2] + ["--no-wait"] + send[2:], True, False),
                ("sbq740-cli send (follows delivery)", send, False, False),
                ("shell loop of lp -o raw", loop, False, True),
                ("shell loop of lp -o raw, then lpstat until done", loop, True, True)):
            samples = []
            for _ in range(RUNS):
                wait_until_idle(cups.env)
                # --no-wait is timed to the spooler's acceptance only.
                elapsed = timed(command, cups.env, wait=wait and shell, shell=shell)
                if not shell and wait:
                    wait_until_idle(cups.env)
                samples.append(elapsed)
            results[name] = statistics.median(samples)

        print("## One group to %d queues (median of %d)" % (args.queues, RUNS))
        print()
        print("| sender | until | seconds |")
        print("|---|---|---|")
        print("| sbq740-cli send --no-wait | accepted by the spooler | %.2f |" % results["sbq740-cli send --no-wait"])
        print("| shell loop of lp -o raw | accepted by the spooler | %.2f |" % results["shell loop of lp -o raw"])
        print("| sbq740-cli send | every job delivered | %.2f |" % results["sbq740-cli send (follows delivery)"])
        print("| shell loop of lp -o raw, then lpstat -o until empty | every job delivered | %.2f |"
              % results["shell loop of lp -o raw, then lpstat until done"])
        print()
    finally:
        cups.stop()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
