#!/usr/bin/env python3
"""A simulated QAV Quillotron 740Q2 on a loopback TCP port.

It behaves like the printer's raw port: every connection is one job. The bytes of each job are
stored unchanged, one file per job (job-0001.bin, job-0002.bin, ...), and a readable log lists the
printer-command records the job carried. A job that is a PNG picture (what the driver prints) is
stored as job-NNNN.png, and the log gives its size in pixels and its resolution.

    simprinter.py --jobs DIR [--log FILE] [--port N] [--port-file FILE]

--port 0 (the default) takes a free port; --port-file then receives the number once listening.
Only 127.0.0.1 is ever bound. SIGTERM and SIGINT stop it.
"""

import argparse
import os
import signal
import socket
import struct
import threading
import time
import zlib

ESC = b"\x1b"

# Known record prefixes (after ESC) and what the printer does with them.
RECORD_NAMES = [
    (b"Z2;1,", "parameter settings"),
    (b"Z2;2,", "fine adjustments"),
    (b"Z2;3,", "issue control"),
    (b"IP;2,", "IP address"),
    (b"IP;3,", "gateway"),
    (b"IP;4,", "subnet mask"),
    (b"IS;", "socket port"),
    (b"IH;", "DHCP client ID"),
    (b"Z0", "end of settings"),
    (b"HD", "head check"),
]


def record_name(record):
    for prefix, name in RECORD_NAMES:
        if record[1:].startswith(prefix):
            return name
    return "unknown record"


def printable(record):
    text = record.replace(ESC, b"<ESC>").replace(b"\n", b"<LF>")
    return text.decode("latin-1")


def describe(data):
    """One line per ESC record, then the NUL padding that follows the last one."""
    lines = []
    position = 0
    while True:
        start = data.find(ESC, position)
        if start < 0:
            break
        end = data.find(b"\n", start)
        end = len(data) if end < 0 else end + 1
        record = data[start:end]
        lines.append("  @%3d %-24s %s" % (start, record_name(record), printable(record)))
        position = end
    tail = data[position:]
    if tail and tail.count(b"\x00") == len(tail):
        lines.append("  @%3d %d NUL bytes" % (position, len(tail)))
    elif tail.strip(b"\x00"):
        lines.append("  @%3d %d bytes not recognised" % (position, len(tail)))
    return lines


PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
PNG_CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
PNG_COLOURS = {0: "grey", 2: "RGB", 3: "palette", 4: "grey+alpha", 6: "RGBA"}


def png_chunks(data):
    """(type, body) of each chunk, checking lengths and CRCs."""
    position = len(PNG_SIGNATURE)
    while position < len(data):
        if position + 12 > len(data):
            raise ValueError("truncated chunk at %d" % position)
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        crc_at = position + 8 + length
        if len(body) != length or crc_at + 4 > len(data):
            raise ValueError("truncated %s chunk" % kind.decode("latin-1"))
        (crc,) = struct.unpack(">I", data[crc_at:crc_at + 4])
        if zlib.crc32(kind + body) != crc:
            raise ValueError("bad CRC in %s chunk" % kind.decode("latin-1"))
        yield kind, body
        position = crc_at + 4


def describe_png(data):
    """'image WxH, ...' for a PNG that decodes to the size its header states; raises otherwise."""
    width = height = depth = colour = None
    dpi = None
    compressed = []
    for kind, body in png_chunks(data):
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if interlace:
                raise ValueError("interlaced pictures are not printed")
        elif kind == b"pHYs":
            x, y, unit = struct.unpack(">IIB", body)
            if unit == 1:
                dpi = (round(x * 0.0254), round(y * 0.0254))
        elif kind == b"IDAT":
            compressed.append(body)
        elif kind == b"IEND":
            break
    if width is None or colour not in PNG_CHANNELS:
        raise ValueError("no usable IHDR chunk")
    row_bytes = (width * PNG_CHANNELS[colour] * depth + 7) // 8
    pixels = zlib.decompress(b"".join(compressed))
    if len(pixels) != height * (row_bytes + 1):
        raise ValueError("%d bytes of rows, %d expected" % (len(pixels), height * (row_bytes + 1)))
    resolution = "%dx%d dpi" % dpi if dpi else "no resolution"
    return "image %dx%d, %d-bit %s, %s" % (width, height, depth, PNG_COLOURS[colour], resolution)


def is_png(data):
    return data.startswith(PNG_SIGNATURE)


class Printer:
    def __init__(self, jobs_dir, log_path):
        self.jobs_dir = jobs_dir
        self.log_path = log_path
        self.lock = threading.Lock()
        self.count = len([n for n in os.listdir(jobs_dir) if n.startswith("job-")])

    def store(self, data):
        with self.lock:
            self.count += 1
            name = "job-%04d.%s" % (self.count, "png" if is_png(data) else "bin")
            temp = os.path.join(self.jobs_dir, "." + name)
            with open(temp, "wb") as f:
                f.write(data)
            # The job appears under its final name only when complete.
            os.rename(temp, os.path.join(self.jobs_dir, name))
            if self.log_path:
                stamp = time.strftime("%Y-%m-%d %H:%M:%S")
                with open(self.log_path, "a", encoding="utf-8") as log:
                    log.write("%s %s: %d bytes\n" % (stamp, name, len(data)))
                    for line in self.describe(data):
                        log.write(line + "\n")

    @staticmethod
    def describe(data):
        if not is_png(data):
            return describe(data)
        try:
            return ["  " + describe_png(data)]
        except (ValueError, zlib.error, struct.error) as error:
            return ["  PNG that does not decode: %s" % error]

    def serve(self, connection):
        chunks = []
        with connection:
            connection.settimeout(30)
            try:
                while True:
                    chunk = connection.recv(65536)
                    if not chunk:
                        break
                    chunks.append(chunk)
            except OSError:
                pass
        data = b"".join(chunks)
        if data:
            self.store(data)


def main():
    parser = argparse.ArgumentParser(description="Simulated QAV Quillotron 740Q2 raw port")
    parser.add_argument("--jobs", required=True, help="folder that receives one file per job")
    parser.add_argument("--log", help="readable log of the records received")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file", help="written with the port number once listening")
    args = parser.parse_args()

    os.makedirs(args.jobs, exist_ok=True)
    printer = Printer(args.jobs, args.log)

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", args.port))
    listener.listen(16)

    def stop(_signum, _frame):
        # Jobs are written under their final name only when complete: nothing to flush.
        os._exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    if args.port_file:
        temp = args.port_file + ".tmp"
        with open(temp, "w") as f:
            f.write("%d\n" % listener.getsockname()[1])
        os.rename(temp, args.port_file)

    while True:
        try:
            connection, _ = listener.accept()
        except OSError:
            return
        threading.Thread(target=printer.serve, args=(connection,), daemon=True).start()


if __name__ == "__main__":
    main()
