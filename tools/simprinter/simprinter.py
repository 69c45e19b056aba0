#!/usr/bin/env python3
"""A simulated QAV Quillotron 740Q2 on a loopback TCP port.

It behaves like the printer's raw port: every connection is one job. The bytes of each job are
stored unchanged, one file per job (job-0001.bin, job-0002.bin, ...), and a readable log lists the
printer-command records the job carried. A job that is a PNG picture (which the real printer can't
print: it would read the bytes as commands; only a queue that passes pictures through sends one) is
stored as job-NNNN.png, and the log gives its size in pixels and its resolution.

A job that is a CUPS raster stream (what a driver built on CUPS's image filters prints) is stored
as job-NNNN.ras and decoded: each page is laid out as the device prints it, the raster placed on
the page where its imaging box says, and written as job-NNNN-page1.pgm, ... (one grey byte per
device pixel, 0 black). The log gives each page's size, resolution and where its ink lies, and
says whether the page's top-left device pixel carries ink, as the origin of a picture printed
from the corner does.

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


# CUPS raster: the sync word tells version and byte order; every page is a 1796-byte header
# (cups_page_header2_t) and its pixels, plain (versions 1 and 3) or run-length coded (version 2).
RASTER_SYNC = {b"RaSt": (">", 1), b"tSaR": ("<", 1), b"RaS2": (">", 2), b"2SaR": ("<", 2),
               b"RaS3": (">", 3), b"3SaR": ("<", 3)}
RASTER_HEADER = 1796
RASTER_FIELDS = {  # offsets of the header's numbers
    "HWResolution": 276, "ImagingBoundingBox": 284, "PageSize": 352, "cupsWidth": 372,
    "cupsHeight": 376, "cupsBitsPerColor": 384, "cupsBitsPerPixel": 388, "cupsBytesPerLine": 392,
    "cupsColorOrder": 396, "cupsColorSpace": 400,
}
GREY_SPACES = {0: "W", 3: "K", 18: "SW"}  # white-is-zero spaces count ink the other way
RGB_SPACES = {1: "RGB", 19: "sRGB"}


def is_raster(data):
    return data[:4] in RASTER_SYNC


def raster_header(header, order):
    def number(name, count=1):
        values = struct.unpack_from(order + "%dI" % count, header, RASTER_FIELDS[name])
        return values if count > 1 else values[0]
    fields = {name: number(name) for name in RASTER_FIELDS}
    fields["HWResolution"] = number("HWResolution", 2)
    fields["ImagingBoundingBox"] = number("ImagingBoundingBox", 4)
    fields["PageSize"] = number("PageSize", 2)
    return fields


def unpack_lines(data, position, header, compressed):
    """The page's pixel lines as bytes objects, and the position after them."""
    height, line_bytes = header["cupsHeight"], header["cupsBytesPerLine"]
    if not compressed:
        end = position + line_bytes * height
        if end > len(data):
            raise ValueError("page data cut short")
        return [data[position + y * line_bytes:position + (y + 1) * line_bytes] for y in range(height)], end
    pixel = max(1, header["cupsBitsPerPixel"] // 8)
    blank = b"\x00" if header["cupsColorSpace"] == 3 else b"\xff"
    lines = []
    while len(lines) < height:
        repeat = data[position] + 1
        position += 1
        line = bytearray()
        while len(line) < line_bytes:
            count = data[position]
            position += 1
            if count == 128:  # the rest of the line is blank
                line += blank * (line_bytes - len(line))
            elif count < 128:
                line += data[position:position + pixel] * (count + 1)
                position += pixel
            else:
                length = (257 - count) * pixel
                line += data[position:position + length]
                position += length
        lines.extend([bytes(line[:line_bytes])] * repeat)
    return lines[:height], position


def _bit_table(ink_bit):
    """For each byte of 1-bit pixels, its eight grey pixels."""
    return [bytes(0 if (byte >> (7 - i)) & 1 == ink_bit else 255 for i in range(8)) for byte in range(256)]


BITS_AS_GREY = {1: _bit_table(1), 0: _bit_table(0)}
INVERTED = bytes(255 - v for v in range(256))


def grey_line(line, header):
    """One line as grey device pixels, 0 black and 255 white; None for a colour space not read."""
    width, bits, space = header["cupsWidth"], header["cupsBitsPerPixel"], header["cupsColorSpace"]
    if space in GREY_SPACES and bits == 1:
        table = BITS_AS_GREY[1 if space == 3 else 0]
        return b"".join(table[byte] for byte in line)[:width]
    if space in GREY_SPACES and bits == 8:
        return bytes(line[:width]).translate(INVERTED) if space == 3 else bytes(line[:width])
    if space in RGB_SPACES and bits == 24 and header["cupsColorOrder"] == 0:
        return bytes(sum(line[3 * x:3 * x + 3]) // 3 for x in range(width))
    return None


def decode_raster(data):
    """(header, page as rows of grey device pixels or None) for each page of a raster stream."""
    order, version = RASTER_SYNC[data[:4]]
    position = 4
    pages = []
    while position + RASTER_HEADER <= len(data):
        header = raster_header(data[position:position + RASTER_HEADER], order)
        position += RASTER_HEADER
        lines, position = unpack_lines(data, position, header, version == 2)
        greys = [grey_line(line, header) for line in lines]
        pages.append((header, None if None in greys else lay_out_page(header, greys)))
    return pages


def lay_out_page(header, greys):
    """The whole page in device pixels, the raster placed at its imaging box's top-left corner."""
    xres, yres = header["HWResolution"]
    page_width = max(round(header["PageSize"][0] * xres / 72), header["cupsWidth"])
    page_height = max(round(header["PageSize"][1] * yres / 72), header["cupsHeight"])
    left, _, right, top = header["ImagingBoundingBox"]
    x0 = round(left * xres / 72) if right > left else 0
    y0 = round((header["PageSize"][1] - top) * yres / 72) if right > left else 0
    x0 = min(x0, page_width - header["cupsWidth"])
    y0 = min(y0, page_height - header["cupsHeight"])
    page = [bytearray(b"\xff" * page_width) for _ in range(page_height)]
    for y, grey in enumerate(greys):
        page[y0 + y][x0:x0 + len(grey)] = grey
    return page


INK = bytes(1 if v < 128 else 0 for v in range(256))  # darker than mid-grey


def ink_box(page):
    """(left, top, right, bottom) of the inked pixels, or None."""
    left = right = top = bottom = None
    for y, row in enumerate(page):
        marks = bytes(row).translate(INK)
        first = marks.find(1)
        if first < 0:
            continue
        last = marks.rfind(1)
        left = first if left is None else min(left, first)
        right = last if right is None else max(right, last)
        top = y if top is None else top
        bottom = y
    return None if top is None else (left, top, right, bottom)


def describe_raster_page(number, header, page):
    xres, yres = header["HWResolution"]
    kind = "%d-bit %s" % (header["cupsBitsPerPixel"],
                          GREY_SPACES.get(header["cupsColorSpace"]) or RGB_SPACES.get(header["cupsColorSpace"])
                          or "colour space %d" % header["cupsColorSpace"])
    if page is None:
        return "  raster page %d: %dx%d at %dx%d dpi, %s, not decoded" % (
            number, header["cupsWidth"], header["cupsHeight"], xres, yres, kind)
    box = ink_box(page)
    ink = "no ink" if box is None else "ink (%d,%d)-(%d,%d)" % box
    origin = "ink at the origin" if page[0][0] < 128 else "no ink at the origin"
    return "  raster page %d: %dx%d at %dx%d dpi, %s, %s, %s" % (
        number, len(page[0]), len(page), xres, yres, kind, ink, origin)


def pgm(page):
    return b"P5\n%d %d\n255\n" % (len(page[0]), len(page)) + b"".join(bytes(row) for row in page)


class Printer:
    def __init__(self, jobs_dir, log_path):
        self.jobs_dir = jobs_dir
        self.log_path = log_path
        self.lock = threading.Lock()
        self.count = len([n for n in os.listdir(jobs_dir) if n.startswith("job-")])

    def write(self, name, data):
        """Writes a file of the jobs folder; it appears under its name only when complete."""
        temp = os.path.join(self.jobs_dir, "." + name)
        with open(temp, "wb") as f:
            f.write(data)
        os.rename(temp, os.path.join(self.jobs_dir, name))

    def store(self, data):
        with self.lock:
            self.count += 1
            stem = "job-%04d" % self.count
            name = stem + (".png" if is_png(data) else ".ras" if is_raster(data) else ".bin")
            lines = self.describe(data, stem)
            self.write(name, data)
            if self.log_path:
                stamp = time.strftime("%Y-%m-%d %H:%M:%S")
                with open(self.log_path, "a", encoding="utf-8") as log:
                    log.write("%s %s: %d bytes\n" % (stamp, name, len(data)))
                    for line in lines:
                        log.write(line + "\n")

    def describe(self, data, stem):
        if is_raster(data):
            return self.describe_raster(data, stem)
        if not is_png(data):
            return describe(data)
        try:
            return ["  " + describe_png(data)]
        except (ValueError, zlib.error, struct.error) as error:
            return ["  PNG that does not decode: %s" % error]

    def describe_raster(self, data, stem):
        """Log lines of a raster job; each decoded page is written beside the job, before it."""
        try:
            pages = decode_raster(data)
        except (ValueError, IndexError, struct.error) as error:
            return ["  raster that does not decode: %s" % error]
        lines = []
        for number, (header, page) in enumerate(pages, 1):
            if page is not None:
                self.write("%s-page%d.pgm" % (stem, number), pgm(page))
            lines.append(describe_raster_page(number, header, page))
        return lines or ["  raster without pages"]

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
