#!/usr/bin/env python3
"""Writes the seed corpus under fuzz/corpus/: the factory settings file, edited files, the bad
files the tests use, and images and texts for the decoder targets. Run again after changing it."""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent / "corpus"
HEADER = b"QAV Quillotron 740Q2\n\0"
FACTORY = (
    b"\x1bZ2;1,002101250+00000000000100B0000000000000000\n\0"
    b"\x1bZ2;2,+000+000+00+000+00+00-00-001014\n\0"
    b"\x1bIP;2,192,168,010,020\n\0"
    b"\x1bIP;3,000,000,000,000\n\0"
    b"\x1bIP;4,255,255,255,000\n\0"
    b"\x1bIS;1,09100\n\0"
    b"\x1bIH;0,FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\n\0"
    b"\x1bZ2;3,0,C,C,C,C,C,1\n\0"
    b"\x1bZ2;3,00000030054000520+00\n\0"
    b"0"
)
assert len(FACTORY) == 260


def edited(changes):
    image = bytearray(FACTORY)
    for offset, value in changes.items():
        image[offset:offset + len(value)] = value
    return bytes(image)


EDITED = edited({15: b"-25", 46: b"F", 55: b"-123", 94: b"010", 163: b"00080", 174: b"1",
                 176: b"41204200", 216: b"1", 259: b"1"})
DAMAGED = edited({15: b"x9:", 28: b"7", 46: b"Z", 55: b"+a!-", 94: b"999", 163: b"000-1",
                  174: b"9", 176: b"zz\xe0\x81\x9f", 216: b"9", 259: b"7"})


def write(target, name, data):
    folder = HERE / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


good = HEADER + EDITED
files = {
    "factory.dat": HEADER + FACTORY,
    "edited.dat": good,
    "damaged.dat": HEADER + DAMAGED,
    "longer.dat": good + b"\x1b" * 100,
    "no_nul.dat": good[:21] + b" " + good[22:],
    "other_header.dat": good[:4] + b"q" + good[5:],
    "one_byte_short.dat": good[:281],
    "header_only.dat": good[:22],
    "part_of_header.dat": good[:10],
    "empty.dat": b"",
}
for name, data in files.items():
    write("fuzz_settings_file", name, data)

# Images, with text after the 260th byte for the edit rules.
texts = [b"", b"2.5", b"-5.0", b"70000", b"12a", b" +1e3", b"0.04", b"-0.3", b"99999999999"]
for target in ("fuzz_param_record", "fuzz_fine_record", "fuzz_ip_records", "fuzz_issue_record"):
    for index, text in enumerate(texts):
        write(target, f"factory_{index}", FACTORY + text)
    write(target, "edited", EDITED + b"4.5")
    write(target, "damaged", DAMAGED + b"-7")

client_ids = [b"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", b"41204200FFFFFFFFFFFFFFFFFFFFFFFF", b"12ab", b"AB",
              b"A B", b"z", "ｱｲｳ".encode("cp932"), "日本語".encode("cp932"), "日本語".encode("utf-8"),
              b"\x81", b"\xe0\xe0\xe0\xe0"]
for index, data in enumerate(client_ids):
    write("fuzz_client_id", f"seed_{index}", data)

documents = [
    b'{\n  "format": "sbq740-settings",\n  "version": 1,\n  "fields": {\n'
    b'    "param.print_speed": {"label": "Speed", "caption": "3", "unit": "ips", "bytes": "3"},\n'
    b'    "ip.client_id": {"label": "ID", "caption": "AB", "bytes": "\\u00b1\\u0000AB\\n"}\n  },\n'
    b'  "extended_record": "0\\u00ff",\n  "unowned": [\n    {"offset": 250, "bytes": "\\u001b"}\n  ]\n}\n',
    '{"caption": "後方", "n": [-1.5e3, 0, 1E+2, true, false, null], "s": "\\uD83D\\uDE00\\/\\t"}'.encode(),
    b'{"a": 1,}', b'{"a": 1, "a": 2}', b'["\\uDC00"]', b'["caf\xe9"]', b'\xef\xbb\xbf{}', b"[" * 70,
    b'["\xed\xa0\x80", "\xc0\xaf", "\xf4\x90\x80\x80"]', b"[01]", b"[1.]", b"{'a': 1}", b"",
]
for index, data in enumerate(documents):
    write("fuzz_settings_document", f"seed_{index}", data)

uris = [b"socket://127.0.0.1:9100", b"ipp://printhost:631/printers/q", b"file:/dev/null", b"usb://QAV/740Q2",
        b"lpd://user@[::1]:515/q", b"FILE:", b""]
for index, uri in enumerate(uris):
    write("fuzz_printer_list", f"seed_{index}",
          bytes([3]) + b"QAV_Quillotron_740Q2\x00" + uri + b"\x00" + b"ipp://localhost/printers/x\x00" + b"\x01\x01\x01")


# Answers to the printer-list request: IPP attribute groups after the 8-byte header.
def attribute(tag, name, *values):
    out = b""
    for index, value in enumerate(values):
        key = name.encode() if index == 0 else b""
        out += bytes([tag]) + len(key).to_bytes(2, "big") + key + len(value).to_bytes(2, "big") + value
    return out


def printer(name, model, device, kind=0, accepting=True, allowed=(), denied=()):
    group = b"\x04"
    group += attribute(0x42, "printer-name", name)
    group += attribute(0x41, "printer-make-and-model", model)
    group += attribute(0x45, "device-uri", device)
    group += attribute(0x45, "printer-uri-supported", b"ipp://localhost/printers/" + name)
    group += attribute(0x23, "printer-type", kind.to_bytes(4, "big"))
    group += attribute(0x22, "printer-is-accepting-jobs", b"\x01" if accepting else b"\x00")
    if allowed:
        group += attribute(0x42, "requesting-user-name-allowed", *allowed)
    if denied:
        group += attribute(0x42, "requesting-user-name-denied", *denied)
    return group


OPERATION = b"\x01" + attribute(0x47, "attributes-charset", b"utf-8") + attribute(0x48, "attributes-natural-language", b"en")
MODEL = b"QAV Quillotron 740Q2"
answers = {
    "none": OPERATION + b"\x03",
    "one": OPERATION + printer(b"QAV_Quillotron_740Q2", MODEL, b"socket://127.0.0.1:9100") + b"\x03",
    "several": OPERATION + printer(b"zeta", MODEL, b"usb://QAV/740Q2") + printer(b"Alpha", MODEL, b"file:/dev/null")
    + printer(b"other", b"QAV Quillotron 740Q3", b"lpd://host/q") + b"\x03",
    "remote rejecting": OPERATION + printer(b"remote", MODEL, b"", kind=0x0002 | 0x8000, accepting=False) + b"\x03",
    "user lists": OPERATION + printer(b"listed", MODEL, b"ipp://printhost:631/printers/q", allowed=(b"root", b"@lp"))
    + printer(b"denied", MODEL, b"ipps://[::1]/q", denied=(b"all",)) + b"\x03",
}
for name, data in answers.items():
    write("fuzz_spooler_printers", name.replace(" ", "_"), data)
