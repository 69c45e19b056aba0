#!/usr/bin/env python3
"""Misbehaving CUPS schedulers on loopback, for the spooler's fault tests.

  fake_scheduler.py PORTFILE silent-document
      answers every IPP request at once (Create-Job with job-id 7), except Send-Document:
      that one is read whole and never answered
  fake_scheduler.py PORTFILE late-error SECONDS
      answers Send-Document with server-error-internal, SECONDS after it arrived
  fake_scheduler.py PORTFILE pausing SECONDS
      answers everything with success, each answer in two parts SECONDS apart (the second part in
      the middle of the IPP body)
  fake_scheduler.py PORTFILE drip UPSTREAM SECONDS
      forwards everything to the real scheduler UPSTREAM (host:port, or the path of its local
      socket) and passes its answers back one byte every SECONDS
  fake_scheduler.py PORTFILE silent
      reads every request and never answers
  fake_scheduler.py PORTFILE garbage
      answers every request with bytes that are no HTTP answer, and hangs up
  fake_scheduler.py PORTFILE frozen-from OPERATION PRINTER...
      lists the PRINTERs as "QAV Quillotron 740Q2" queues and answers everything else with
      success, until a request of OPERATION (hex: 0005 Create-Job, 000a Get-Jobs) arrives: that
      one and every later request are never answered
  fake_scheduler.py PORTFILE late-answer UPSTREAM OPERATION SECONDS
      forwards every request to UPSTREAM at once, but passes its answer to OPERATION (create-job or
      send-document) back only SECONDS after it came
  fake_scheduler.py PORTFILE late-upload UPSTREAM SECONDS
      forwards everything to UPSTREAM, a Send-Document request only SECONDS after it arrived
  fake_scheduler.py PORTFILE slow UPSTREAM SECONDS
      forwards everything to UPSTREAM and passes every answer back SECONDS after it came; logs
      "connection" for each connection it takes, and "at-once N" for each Create-Job and
      Send-Document, N the number of those under way then (this one included)

The port it listens on (127.0.0.1 only) is written to PORTFILE once it listens; every request it
receives is logged to PORTFILE.log as "operation-id job-id" in hex and decimal.
"""
import os
import socket
import socketserver
import struct
import sys
import threading
import time

SEND_DOCUMENT = 0x0006
CREATE_JOB = 0x0005
CUPS_GET_PRINTERS = 0x4002
FAKE_JOB_ID = 7


def read_line(stream):
    line = stream.readline()
    if not line:
        raise EOFError
    return line


def read_request(stream, wfile, start=None):
    """One HTTP request: its headers (lower-case names) and body. `start`, when given, receives
    the request line and the header lines as they came."""
    line = read_line(stream)  # request line
    if start is not None:
        start.append(line)
    headers = {}
    while True:
        raw = read_line(stream)
        line = raw.decode("latin-1").strip()
        if not line:
            break
        if start is not None:
            start.append(raw)
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    if headers.get("expect", "").lower() == "100-continue":
        wfile.write(b"HTTP/1.1 100 Continue\r\n\r\n")
        wfile.flush()
    if headers.get("transfer-encoding", "").lower() == "chunked":
        body = b""
        while True:
            size = int(read_line(stream).split(b";")[0], 16)
            if size == 0:
                read_line(stream)
                break
            body += stream.read(size)
            read_line(stream)
    else:
        body = stream.read(int(headers.get("content-length", "0")))
    return headers, body


def attribute(tag, name, value):
    name = name.encode()
    return struct.pack(">BH", tag, len(name)) + name + struct.pack(">H", len(value)) + value


def ipp_answer(status, request_id, job_id=None):
    body = struct.pack(">BBHI", 2, 0, status, request_id) + b"\x01"
    body += attribute(0x47, "attributes-charset", b"utf-8")
    body += attribute(0x48, "attributes-natural-language", b"en")
    if job_id is not None:
        body += b"\x02" + attribute(0x21, "job-id", struct.pack(">i", job_id))
    body += b"\x03"
    return (b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: %d\r\n\r\n" % len(body)) + body


def printers_answer(request_id, names):
    """A CUPS-Get-Printers answer listing `names` as idle queues of the supported model."""
    body = struct.pack(">BBHI", 2, 0, 0, request_id) + b"\x01"
    body += attribute(0x47, "attributes-charset", b"utf-8")
    body += attribute(0x48, "attributes-natural-language", b"en")
    for name in names:
        body += b"\x04" + attribute(0x42, "printer-name", name.encode())
        body += attribute(0x41, "printer-make-and-model", b"QAV Quillotron 740Q2")
        body += attribute(0x45, "device-uri", b"socket://127.0.0.1:9")
        body += attribute(0x22, "printer-is-accepting-jobs", b"\x01")
    body += b"\x03"
    return (b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: %d\r\n\r\n" % len(body)) + body


def job_id_of(body):
    """The job-id operation attribute of an IPP request, or the number its job-uri ends in, or 0."""
    marker = b"\x21\x00\x06job-id\x00\x04"
    at = body.find(marker)
    if at >= 0:
        return struct.unpack(">i", body[at + len(marker):at + len(marker) + 4])[0]
    marker = b"\x45\x00\x07job-uri"
    at = body.find(marker)
    if at < 0:
        return 0
    (length,) = struct.unpack(">H", body[at + len(marker):at + len(marker) + 2])
    uri = body[at + len(marker) + 2:at + len(marker) + 2 + length]
    return int(uri.rsplit(b"/", 1)[-1] or b"0")


class Answering(socketserver.StreamRequestHandler):
    def handle(self):
        while True:
            try:
                _, body = read_request(self.rfile, self.wfile)
            except (EOFError, ValueError, ConnectionError):
                return
            operation, request_id = struct.unpack(">HI", body[2:8])
            log("%04x %d" % (operation, job_id_of(body)))
            if MODE == "frozen-from" and operation == int(ARGS[0], 16):
                FROZEN.set()
            if MODE == "silent" or FROZEN.is_set():
                time.sleep(3600)
                return
            if MODE == "garbage":
                self.wfile.write(b"\x00\x01\x02 no answer \xff\xfe\r\n\r\n")
                return
            if MODE == "frozen-from" and operation == CUPS_GET_PRINTERS:
                self.wfile.write(printers_answer(request_id, ARGS[1:]))
            elif MODE == "frozen-from":
                self.wfile.write(ipp_answer(0, request_id, FAKE_JOB_ID if operation == CREATE_JOB else None))
            elif MODE == "pausing":
                answer = ipp_answer(0, request_id, FAKE_JOB_ID if operation == CREATE_JOB else None)
                middle = len(answer) - 20
                self.wfile.write(answer[:middle])
                self.wfile.flush()
                time.sleep(float(ARGS[0]))
                self.wfile.write(answer[middle:])
            elif operation == SEND_DOCUMENT:
                if MODE == "silent-document":
                    time.sleep(3600)
                    return
                time.sleep(float(ARGS[0]))
                self.wfile.write(ipp_answer(0x0500, request_id))
            else:
                self.wfile.write(ipp_answer(0, request_id, FAKE_JOB_ID if operation == CREATE_JOB else None))
            self.wfile.flush()


def connect_upstream(upstream):
    if upstream.startswith("/"):
        sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        sock.connect(upstream)
    else:
        host, _, port = upstream.rpartition(":")
        sock = socket.create_connection((host, int(port)))
    return sock


class Dripping(socketserver.BaseRequestHandler):
    def handle(self):
        upstream = connect_upstream(ARGS[0])
        interval = float(ARGS[1])

        def forward():
            try:
                while True:
                    data = self.request.recv(65536)
                    if not data:
                        break
                    upstream.sendall(data)
            except OSError:
                pass

        threading.Thread(target=forward, daemon=True).start()
        try:
            while True:
                data = upstream.recv(65536)
                if not data:
                    return
                for byte in data:
                    time.sleep(interval)
                    self.request.sendall(bytes([byte]))
        except OSError:
            return


OPERATIONS = {"create-job": CREATE_JOB, "send-document": SEND_DOCUMENT}
HOP_HEADERS = ("transfer-encoding", "content-length", "expect")


def read_response(stream):
    """One HTTP answer, re-framed with a Content-Length."""
    status = read_line(stream)
    headers = []
    chunked = False
    length = 0
    while True:
        raw = read_line(stream)
        line = raw.decode("latin-1").strip()
        if not line:
            break
        name, _, value = line.partition(":")
        name = name.strip().lower()
        if name == "transfer-encoding" and value.strip().lower() == "chunked":
            chunked = True
        elif name == "content-length":
            length = int(value.strip())
        if name not in HOP_HEADERS:
            headers.append(raw)
    if chunked:
        body = b""
        while True:
            size = int(read_line(stream).split(b";")[0], 16)
            if size == 0:
                read_line(stream)
                break
            body += stream.read(size)
            read_line(stream)
    else:
        body = stream.read(length)
    return status + b"".join(headers) + b"Content-Length: %d\r\n\r\n" % len(body) + body


class Delaying(socketserver.StreamRequestHandler):
    """Passes requests on to the real scheduler, one at a time, with the delay asked for."""

    def handle(self):
        if MODE == "slow":
            log("connection")
        upstream = connect_upstream(ARGS[0])
        answers = upstream.makefile("rb")
        delayed = OPERATIONS[ARGS[1]] if MODE == "late-answer" else SEND_DOCUMENT
        seconds = float(ARGS[-1])
        try:
            while True:
                start = []
                _, body = read_request(self.rfile, self.wfile, start)
                operation = struct.unpack(">H", body[2:4])[0]
                log("%04x %d" % (operation, job_id_of(body)))
                kept = [line for line in start[1:] if line.split(b":")[0].strip().lower().decode("latin-1") not in HOP_HEADERS]
                request = start[0] + b"".join(kept) + b"Content-Length: %d\r\n\r\n" % len(body) + body
                if MODE == "late-upload" and operation == SEND_DOCUMENT:
                    time.sleep(seconds)
                submission = MODE == "slow" and operation in (CREATE_JOB, SEND_DOCUMENT)
                if submission:
                    SUBMISSIONS.change(+1)
                upstream.sendall(request)
                answer = read_response(answers)
                if (MODE == "late-answer" and operation == delayed) or MODE == "slow":
                    time.sleep(seconds)
                if submission:
                    SUBMISSIONS.change(-1)
                self.wfile.write(answer)
                self.wfile.flush()
        except (EOFError, ValueError, OSError):
            return
        finally:
            upstream.close()


class UnderWay:
    """How many submissions the proxy is passing on at once."""

    def __init__(self):
        self.count = 0
        self.lock = threading.Lock()

    def change(self, step):
        with self.lock:
            self.count += step
            if step > 0:
                log("at-once %d" % self.count)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def log(line):
    with LOG_LOCK, open(PORT_FILE + ".log", "a") as out:
        out.write(line + "\n")


if __name__ == "__main__":
    PORT_FILE, MODE, ARGS = sys.argv[1], sys.argv[2], sys.argv[3:]
    LOG_LOCK = threading.Lock()
    FROZEN = threading.Event()
    SUBMISSIONS = UnderWay()
    handler = {"drip": Dripping, "late-answer": Delaying, "late-upload": Delaying, "slow": Delaying}.get(MODE, Answering)
    with Server(("127.0.0.1", 0), handler) as server:
        with open(PORT_FILE + ".tmp", "w") as out:
            out.write(str(server.server_address[1]))
        os.rename(PORT_FILE + ".tmp", PORT_FILE)
        server.serve_forever()
