#!/usr/bin/env python3
"""The printer application's job tests, end to end.

Starts krv857-printer on 127.0.0.1 with a random free port and a temporary state folder, adds a
printer on a file: device, and sends jobs through ipptool: PNG, JPEG, PWG raster, PDF, text and
raw printer commands, with vendor options per job and as printer defaults, defaults loaded from
a private record, the self-test through the web interface and the maintenance subcommands, and
bad input that must fail its job (with a reason) while the next job still prints. Each job's
bytes are read with `krv857 decode`; pictures are compared with what `krv857 print` writes for
the same picture and options. A second printer is on socket:// to a printer simulated on
127.0.0.1 that answers status requests as a test says: its printer-state-reasons and cash drawer
attribute must follow. The server and everything it started are gone at the end, killed by PID
when a test fails.

    ipp_jobs_test.py BUILD_DIR [--valgrind] [--keep]

--valgrind runs the server under valgrind (errors fail the run); --keep leaves the temporary
folder for a look.
"""
import argparse
import http.cookiejar
import os
import re
import selectors
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import urllib.request
import zlib

PRINTER = "receipt"
RAW = "application/vnd.krv857-escpos"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class SimulatedPrinter:
    """A printer on a TCP port: answers each status request (10 04 n) with answers[n - 1]
    unless silent, sends `chatter` whenever data arrives, keeps what each connection sent.
    One thread serves every connection in turn, so what a closed connection sent is taken in
    before a later connection is answered."""

    def __init__(self):
        self.answers, self.silent, self.chatter, self.on_data = list(READY), False, b"", None
        self.connections = []
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.uri = "socket://127.0.0.1:%d" % self.listener.getsockname()[1]
        threading.Thread(target=self.run, daemon=True).start()

    def run(self):
        sel = selectors.DefaultSelector()
        sel.register(self.listener, selectors.EVENT_READ)
        while True:
            for key, _ in sel.select():
                if key.fileobj is self.listener:
                    self.connections.append(bytearray())
                    sel.register(self.listener.accept()[0], selectors.EVENT_READ,
                                 [self.connections[-1], b""])
                elif not self.serve(key.fileobj, key.data):
                    sel.unregister(key.fileobj)
                    key.fileobj.close()

    def serve(self, conn, state):
        received, unread = state
        try:
            data = conn.recv(65536)
        except OSError:  # the application gave up on an answer and reset the connection
            return False
        received += data
        if self.on_data and data:
            self.on_data(received)
        unread, reply, at = unread + data, self.chatter, 0
        while (found := unread.find(b"\x10\x04", at)) >= 0 and found + 2 < len(unread):
            if 1 <= unread[found + 2] <= 4 and not self.silent:
                reply += bytes([self.answers[unread[found + 2] - 1]])
            at = found + 3
        state[1] = unread[at:][-2:]  # a request cut between two reads
        try:
            conn.sendall(reply)
        except OSError:
            return False
        return bool(data)


# ---------------------------------------------------------------- test documents

def png_file(path, width, height, pixels):
    """An 8-bit grey PNG."""
    raw = b"".join(b"\0" + bytes(pixels[y * width:(y + 1) * width]) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def pgm_file(path, width, height, pixels):
    with open(path, "wb") as f:
        f.write(b"P5\n%d %d\n255\n" % (width, height) + bytes(pixels))


def read_pgm(data):
    m = re.match(rb"P5\s+(\d+)\s+(\d+)\s+255\s", data)
    width, height = int(m.group(1)), int(m.group(2))
    return width, height, data[m.end():m.end() + width * height]


def receipt_picture(width, height):
    """A receipt's picture: a grey ramp, a black box, white space between and below."""
    px = bytearray([255]) * (width * height)
    for y in range(16, min(64, height)):
        for x in range(width):
            px[y * width + x] = x * 255 // width
    for y in range(150, min(190, height)):
        for x in range(width // 5, width // 2):
            px[y * width + x] = 0
    return px


def pdf_file(path):
    """One 80 mm page with a line of text and a black box."""
    content = b"BT /F1 20 Tf 12 260 Td (Receipt 42) Tj ET 0 0 0 rg 20 40 120 30 re f"
    objects = [b"<< /Type /Catalog /Pages 2 0 R >>",
               b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
               b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 226.77 300] /Contents 4 0 R "
               b"/Resources << /Font << /F1 5 0 R >> >> >>",
               b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream",
               b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
    out, offsets = b"%PDF-1.4\n", []
    for i, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % i + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % o for o in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objects) + 1, xref)
    with open(path, "wb") as f:
        f.write(out)


def jpeg_claiming(path, source, width, height):
    """`source` (a JPEG) with its frame header claiming another size."""
    data = bytearray(open(source, "rb").read())
    i = 2
    while i < len(data):
        marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            data[i + 5:i + 9] = struct.pack(">HH", height, width)
            break
        i += 2 + length
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------- the server and its jobs

class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


class App:
    def __init__(self, build, folder, valgrind, server_options=()):
        self.build, self.folder, self.valgrind = build, folder, valgrind
        self.server_options = list(server_options)
        self.port = free_port()
        self.device = os.path.join(folder, "device.bin")
        open(self.device, "wb").close()
        # The clients find the server through its local socket, which these move into the folder.
        self.env = dict(os.environ, SNAP_COMMON=folder, TMPDIR=folder)
        self.log = os.path.join(folder, "server.log")
        self.server = None

    def tool(self, name):
        return os.path.join(self.build, name)

    def start(self):
        command = [self.tool("krv857-printer"), "server", "-o", "server-port=%d" % self.port,
                   "-o", "state-folder=" + os.path.join(self.folder, "state"),
                   "-o", "log-file=" + self.log, "-o", "log-level=info"] + self.server_options
        if self.valgrind:
            supp = os.path.join(os.path.dirname(os.path.abspath(__file__)), "valgrind-pappl.supp")
            command = ["valgrind", "-q", "--error-exitcode=99", "--leak-check=full",
                       "--errors-for-leak-kinds=definite", "--child-silent-after-fork=yes",
                       "--suppressions=" + supp,
                       "--log-file=" + os.path.join(self.folder, "valgrind.log")] + command
        self.server = subprocess.Popen(command, env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=open(os.path.join(self.folder, "server.err"), "wb"),
                                       start_new_session=True)
        # Ready when it answers a request: the port accepts connections before the server runs,
        # and a client subcommand that finds no server starts one of its own.
        deadline = time.time() + (120 if self.valgrind else 15)
        while time.time() < deadline:
            check(self.server.poll() is None, "the server ended at start-up")
            try:
                urllib.request.urlopen("http://127.0.0.1:%d/" % self.port, timeout=2).read()
                return
            except OSError:
                time.sleep(0.05)
        raise Failure("the server does not answer on port %d" % self.port)

    def strays(self):
        """Servers a client subcommand started on its own, for this folder: killed, by PID."""
        found = []
        for pid in os.listdir("/proc"):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    command = f.read()
                with open("/proc/%s/environ" % pid, "rb") as f:
                    environ = f.read()
            except OSError:
                continue
            if (b"krv857-printer" in command and b"SNAP_COMMON=" + self.folder.encode() in environ
                    and (not self.server or int(pid) != self.server.pid)):
                found.append(int(pid))
                os.kill(int(pid), signal.SIGKILL)
        return found

    def children(self):
        """Processes the server started (a PDF renderer, say)."""
        found = []
        for pid in os.listdir("/proc"):
            try:
                with open("/proc/%s/stat" % pid) as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                if int(fields[1]) == self.server.pid:
                    found.append(int(pid))
            except (OSError, ValueError, IndexError):
                pass
        return found

    def stop(self):
        """Shuts the server down and checks nothing of it is left."""
        if not self.server or self.server.poll() is not None:
            return
        children = self.children()
        self.app("shutdown")
        try:
            self.server.wait(timeout=120 if self.valgrind else 20)
        except subprocess.TimeoutExpired:
            self.kill()
            raise Failure("the server did not end after 'shutdown'")
        for pid in children:
            check(not os.path.exists("/proc/%d" % pid), "process %d outlived the server" % pid)
        if self.valgrind:
            check(self.server.returncode != 99, "valgrind found errors: see valgrind.log")
        check(self.server.returncode == 0, "the server ended with %d" % self.server.returncode)

    def kill(self):
        if self.server and self.server.poll() is None:
            os.killpg(self.server.pid, signal.SIGKILL)
            self.server.wait()

    def app(self, *args, expect=0):
        r = subprocess.run([self.tool("krv857-printer")] + list(args), env=self.env,
                           capture_output=True, timeout=300)
        check(r.returncode == expect, "krv857-printer %s: exit %d, expected %d\n%s%s" % (
            " ".join(args), r.returncode, expect, r.stdout.decode(), r.stderr.decode()))
        return r

    def krv857(self, *args):
        r = subprocess.run([self.tool("krv857")] + list(args), capture_output=True, timeout=120)
        check(r.returncode == 0, "krv857 %s: exit %d\n%s" % (" ".join(args), r.returncode,
                                                            r.stderr.decode()))
        return r.stdout

    def uri(self, printer=PRINTER):
        return "ipp://127.0.0.1:%d/ipp/print/%s" % (self.port, printer)

    def ipp(self, test, *variables, length=False, printer=PRINTER):
        path = os.path.join(self.folder, "request.test")
        with open(path, "w") as f:
            f.write(test)
        command = ["ipptool", "-c", "-T", "30"] + (["-L"] if length else [])
        for v in variables:
            command += ["-d", v]
        r = subprocess.run(command + [self.uri(printer), path], capture_output=True, timeout=240)
        return r.returncode, r.stdout.decode()

    def print_job(self, document, format, attributes=(), length=False, printer=PRINTER):
        """Prints `document`; the job's state, message and the bytes the device received."""
        with open(self.device, "wb"):
            pass
        attrs = "".join('ATTR %s %s "%s"\n' % a for a in attributes)
        rc, out = self.ipp(PRINT_AND_WAIT.replace("$attributes", attrs), "format=" + format,
                           "document=" + document, length=length, printer=printer)
        rows = [line.split(",", 2) for line in out.strip().splitlines()[1:]]
        check(rc == 0 and rows, "Print-Job of %s failed:\n%s" % (document, out))
        state, reasons, message = (rows[-1] + ["", ""])[:3]
        with open(self.device, "rb") as f:
            return state, message.strip('"'), f.read()

    def decode(self, job):
        path = os.path.join(self.folder, "job.bin")
        with open(path, "wb") as f:
            f.write(job)
        return self.krv857("decode", path).decode()

    def printed_bands(self, picture, *options):
        """What `krv857 print` sends for a picture: its bands between the alignment and line
        spacing and their reset."""
        path = os.path.join(self.folder, "print.bin")
        self.krv857("print", picture, "--cut", "none", "-o", path, *options)
        data = open(path, "rb").read()
        check(data.startswith(b"\x1b\x40") and data.endswith(b"\x1b\x32\x1b\x61\x00"),
              "krv857 print wrote an unexpected job")
        return data[2:]


def request(operation, body):
    """An ipptool test of one operation on the printer."""
    return ("{\n  OPERATION %s\n  GROUP operation-attributes-tag\n"
            "  ATTR charset attributes-charset utf-8\n"
            "  ATTR naturalLanguage attributes-natural-language en\n"
            "  ATTR uri printer-uri $uri\n%s}\n" % (operation, body))


PRINT_AND_WAIT = request("Print-Job", """\
  ATTR name requesting-user-name test
  ATTR mimeMediaType document-format $format
  GROUP job-attributes-tag
  $attributes
  FILE $document
  STATUS successful-ok
  EXPECT job-id
""") + request("Get-Job-Attributes", """\
  ATTR integer job-id $job-id
  STATUS successful-ok
  DELAY "0,0.02"
  EXPECT job-state WITH-VALUE >5 REPEAT-NO-MATCH REPEAT-LIMIT 6000
  DISPLAY job-state
  DISPLAY job-state-reasons
  DISPLAY job-state-message
""")

SET_DEFAULTS = request("Set-Printer-Attributes", """\
  GROUP printer-attributes-tag
  $attributes
  STATUS successful-ok
""")

GET_ATTRIBUTES = request("Get-Printer-Attributes", """\
  ATTR keyword requested-attributes NAMES
  STATUS successful-ok
  DISPLAY NAMES
""")

GET_STATUS = request("Get-Printer-Attributes", """\
  ATTR keyword requested-attributes printer-state-reasons,krv-cash-drawer-state
  STATUS successful-ok
  DISPLAY printer-state-reasons
  DISPLAY krv-cash-drawer-state
""")

# ---------------------------------------------------------------- the tests

RESET = b"\x1b\x40"
DRAWERS_60MS = b"\x1b\x70\x00\x1e\x32\x1b\x70\x01\x1e\x32"  # the record's start of document
FEED_AND_PARTIAL_CUT = b"\x1d\x56\x42\x00"  # the record's end of page
STATUS_REQUESTS = b"\x10\x04\x01\x10\x04\x02\x10\x04\x03\x10\x04\x04"
# Answers to the printer, offline-cause, error-cause and paper-sensor requests.
READY, PAPER_OUT, PAPER_LOW = [0x12] * 4, [0x1A, 0x32, 0x12, 0x72], [0x12, 0x12, 0x12, 0x1E]
COVER_OPEN, DRAWER_HIGH = [0x1A, 0x16, 0x12, 0x12], [0x16, 0x12, 0x12, 0x12]


class Tests:
    def __init__(self, app, counter):
        self.app, self.folder, self.counter = app, app.folder, counter
        self.png = os.path.join(self.folder, "receipt.png")
        png_file(self.png, 512, 240, receipt_picture(512, 240))

    def file(self, name):
        return os.path.join(self.folder, name)

    def completed(self, document, format, attributes=(), **kw):
        state, message, job = self.app.print_job(document, format, attributes, **kw)
        check(state == "completed", "%s: job %s (%s)" % (document, state, message))
        self.app.decode(job)  # every byte understood, or decode refuses
        return job

    def refused(self, document, format, reason, **kw):
        state, message, job = self.app.print_job(document, format, **kw)
        check(state == "aborted", "%s: job %s, expected aborted" % (document, state))
        check(re.search(reason, message, re.I), "%s: message %r lacks %r" % (document, message, reason))
        check(job == b"", "%s: %d bytes reached the printer" % (document, len(job)))
        # ... and the server goes on printing the next job.
        self.completed(self.file("note.txt"), "text/plain")

    def picture_job(self, job, bands):
        check(job.startswith(RESET + DRAWERS_60MS), "the job does not open with the reset and "
              "the start-of-document actions")
        check(bands in job, "the picture bytes differ from krv857 print's")
        check(job.endswith(bands + FEED_AND_PARTIAL_CUT), "the page does not end with its cut")

    # ---- formats

    def test_png_is_the_tool_s_picture(self):
        self.picture_job(self.completed(self.png, "image/png"), self.app.printed_bands(self.png))

    def test_jpeg_is_the_tool_s_picture(self):
        jpeg = self.file("receipt.jpg")
        subprocess.run(["convert", self.png, "-quality", "90", jpeg], check=True)
        self.picture_job(self.completed(jpeg, "image/jpeg"), self.app.printed_bands(jpeg))

    def test_pwg_raster_prints_its_lines_clipped_to_the_printable_width(self):
        # A driverless client's raster is as wide as the paper (566 dots); the printer prints
        # the middle 512, halftoned by the threshold as text and graphics are.
        self.raster_job("page.pwg", "image/pwg-raster")

    def test_apple_raster_prints_as_pwg_raster_does(self):
        self.raster_job("page.urf", "image/urf", "--apple")

    def test_raster_of_black_levels_prints_as_grey_does(self):
        self.raster_job("black.pwg", "image/pwg-raster", "--black")

    def raster_job(self, name, format, *writer_options):
        pixels = receipt_picture(566, 240)
        pgm_file(self.file("page.pgm"), 566, 240, pixels)
        raster = self.file(name)
        subprocess.run([self.app.tool("krv_pwg_writer"), self.file("page.pgm"), raster] +
                       list(writer_options), check=True)
        middle = bytearray()
        for y in range(240):
            middle += pixels[y * 566 + 27:y * 566 + 539]
        png_file(self.file("middle.png"), 512, 240, middle)
        job = self.completed(raster, format)
        self.picture_job(job, self.app.printed_bands(self.file("middle.png"), "--halftone", "none"))

    def test_pdf_prints_pdftoppm_s_page(self):
        pdf = self.file("receipt.pdf")
        pdf_file(pdf)
        rendered = subprocess.run(["pdftoppm", "-gray", "-scale-to-x", "512", "-scale-to-y", "-1",
                                   pdf], capture_output=True, check=True).stdout
        width, height, pixels = read_pgm(rendered)
        png_file(self.file("rendered.png"), width, height, pixels)
        job = self.completed(pdf, "application/pdf")
        self.picture_job(job, self.app.printed_bands(self.file("rendered.png"), "--halftone", "none"))

    def test_text_prints_in_the_code_page(self):
        job = self.completed(self.file("receipt.txt"), "text/plain")
        check(job == RESET + DRAWERS_60MS + "合计 12.50\n谢谢\n".encode("gbk") + FEED_AND_PARTIAL_CUT,
              "text job: %r" % job)

    def test_copies_repeat_the_whole_document(self):
        with open(self.file("two-pages.txt"), "w") as f:
            f.write("one\ftwo\n")
        job = self.completed(self.file("two-pages.txt"), "text/plain", [("integer", "copies", "2")])
        page = lambda text: text + FEED_AND_PARTIAL_CUT
        check(job == RESET + DRAWERS_60MS + (page(b"one\n") + page(b"two\n")) * 2,
              "two copies: %r" % job)

    def test_raw_commands_pass_untouched(self):
        raw = b"\x1b\x40\x1b\x61\x01RAW\n\x1d\x56\x00"
        with open(self.file("raw.bin"), "wb") as f:
            f.write(raw)
        check(self.completed(self.file("raw.bin"), RAW) == raw, "the raw job was changed")

    def test_unnamed_text_and_commands_are_recognised(self):
        # A client that sends application/octet-stream: text by its characters, raw printer
        # commands by their first byte.
        job = self.completed(self.file("note.txt"), "application/octet-stream")
        check(job == RESET + DRAWERS_60MS + b"thank you\n" + FEED_AND_PARTIAL_CUT,
              "unnamed text: %r" % job)
        with open(self.file("commands.bin"), "wb") as f:
            f.write(b"\x1b\x40\x1b\x4a\x10")
        check(self.completed(self.file("commands.bin"), "application/octet-stream") ==
              b"\x1b\x40\x1b\x4a\x10", "unnamed commands were changed")

    # ---- options

    def test_vendor_options_of_a_job(self):
        job = self.completed(self.png, "image/png", [
            ("keyword", "krv-halftone", "m3"), ("integer", "krv-contrast", "40"),
            ("keyword", "krv-doc-start-drawer", "none"), ("keyword", "krv-page-end-cut", "full"),
            ("integer", "krv-page-end-feed", "10"), ("keyword", "krv-doc-end-buzzer", "beep-1s"),
            ("keyword", "krv-doc-end-logo", "logo3-centre-after-cut"),
            ("text", "krv-doc-start-command", "1B 33 20")])
        bands = self.app.printed_bands(self.png, "--halftone", "m3", "--contrast", "40")
        check(job == RESET + b"\x1b\x33\x20" + bands + b"\x1b\x4a\x47\x1d\x56\x00" +
              b"\x1b\x61\x01\x1c\x70\x03\x00\x1b\x61\x00" +
              b"\x1b\x28\x41\x04\x00\x30\x01\x01\x0a", "job options: %r" % job[-40:])
        lines = self.app.decode(job)
        for expected in ("print stored logo 3", "buzzer", "full cut", "feed 71 dots"):
            check(expected in lines, "decode lacks %r:\n%s" % (expected, lines))

    def test_refused_option_values_fail_the_job(self):
        state, message, job = self.app.print_job(self.file("note.txt"), "text/plain",
                                                 [("text", "krv-doc-start-command", "1B ZZ")])
        check(state == "aborted" and "krv-doc-start-command" in message and job == b"",
              "a bad command text: %s %r" % (state, message))

    def test_printer_defaults_reach_jobs(self):
        rc, out = self.app.ipp(SET_DEFAULTS.replace("$attributes", "".join(
            "ATTR %s %s %s\n" % a for a in [("keyword", "krv-page-end-cut-default", "none"),
                                            ("keyword", "krv-doc-start-drawer-default", "prompter"),
                                            ("keyword", "krv-codepage-default", "cp1252")])))
        check(rc == 0, "Set-Printer-Attributes failed:\n" + out)
        try:
            with open(self.file("latin.txt"), "wb") as f:
                f.write("café\n".encode())
            job = self.completed(self.file("latin.txt"), "text/plain")
            check(job == RESET + b"\x1b\x70\x00\x32\x32" + b"caf\xe9\n", "defaults: %r" % job)
            # A job's own value still wins over the printer's default.
            job = self.completed(self.file("latin.txt"), "text/plain",
                                 [("keyword", "krv-page-end-cut", "partial")])
            check(job.endswith(b"\x1d\x56\x01"), "job value over default: %r" % job)
        finally:
            self.app.ipp(SET_DEFAULTS.replace("$attributes", "".join(
                "ATTR keyword %s %s\n" % a for a in [("krv-page-end-cut-default", "feed-partial"),
                                                     ("krv-doc-start-drawer-default", "both-60ms"),
                                                     ("krv-codepage-default", "gbk")])))

    def test_a_record_sets_the_defaults_its_fields_say(self):
        path = self.file("record.bin")
        self.app.krv857("devmode", "defaults", "-o", path)
        record = bytearray(open(path, "rb").read())
        check(len(record) == 1468, "the default record is not 1468 bytes")
        record[1463] = 0                    # duplex off: command bytes may be sent
        record[147] = 0                     # start of document: no cash drawer
        record[16], record[146] = 1, 1      # ... but one command byte, ESC-less "A"
        record[18] = 0x41
        record[584], record[453] = 2, 0     # end of page: full cut where the paper stands
        record[441] = 5                     # end of document: feed 5 mm (35 dots)
        record[448] = 2                     # ... and the 600 ms beep
        with open(path, "wb") as f:
            f.write(record)
        self.app.app("defaults", "-d", PRINTER, "--record", path)
        try:
            job = self.completed(self.file("note.txt"), "text/plain")
            check(job == RESET + b"A" + b"thank you\n" + b"\x1d\x56\x00" + b"\x1b\x4a\x23" +
                  b"\x1b\x28\x41\x04\x00\x30\x01\x01\x06", "record defaults: %r" % job)
        finally:
            self.app.krv857("devmode", "defaults", "-o", path)
            self.app.app("defaults", "-d", PRINTER, "--record", path)
        self.app.app("defaults", "-d", PRINTER, "--record", self.file("note.txt"), expect=1)

    def test_a_record_uploaded_in_the_web_interface_sets_the_defaults(self):
        path = self.file("web-record.bin")
        self.app.krv857("devmode", "defaults", "-o", path)
        record = bytearray(open(path, "rb").read())
        record[584], record[453] = 0, 0  # end of page: no cut
        web, page, session = self.web("krv-record")

        def post(fields, data=None):
            boundary = "krv857boundary"
            body = "".join("--%s\r\nContent-Disposition: form-data; name=\"%s\"\r\n\r\n%s\r\n"
                           % (boundary, name, value)
                           for name, value in dict(fields, session=session).items()).encode()
            if data is not None:
                body += ("--%s\r\nContent-Disposition: form-data; name=\"record\"; "
                         "filename=\"record.bin\"\r\nContent-Type: application/octet-stream\r\n\r\n"
                         % boundary).encode() + data + b"\r\n"
            request = urllib.request.Request(page, body + ("--%s--\r\n" % boundary).encode(), {
                "Content-Type": "multipart/form-data; boundary=" + boundary})
            return web.open(request, timeout=30).read().decode()

        def upload(data):
            """Shows what the record sets, then applies it."""
            shown = post({"action": "upload"}, data)
            token = re.search(r'name="token" value="([0-9a-f]+)"', shown)
            return post({"action": "apply", "token": token.group(1)}) if token else shown

        try:
            check("now the printer's defaults" in upload(bytes(record)), "the record was refused")
            job = self.completed(self.file("note.txt"), "text/plain")
            check(job == RESET + DRAWERS_60MS + b"thank you\n", "uploaded defaults: %r" % job)
            check("nothing was changed" in upload(b"not a record"), "a bad file was taken")
            check(self.completed(self.file("note.txt"), "text/plain") == job,
                  "a refused upload changed the defaults")
        finally:
            self.app.krv857("devmode", "defaults", "-o", path)
            self.app.app("defaults", "-d", PRINTER, "--record", path)

    # ---- maintenance

    def test_maintenance_jobs_go_through_the_queue(self):
        with open(self.app.device, "wb"):
            pass
        self.app.app("selftest", "-d", PRINTER)
        self.app.app("logo", "clear", "-d", PRINTER)
        deadline = time.time() + 30
        while time.time() < deadline and os.path.getsize(self.app.device) < 12:
            time.sleep(0.05)
        with open(self.app.device, "rb") as f:
            check(f.read() == b"\x1d\x28\x41\x02\x00\x00\x02" + b"\x1c\x71\x00\x00\x0a",
                  "the self-test and clear jobs did not arrive as the tool writes them")

    def web(self, path=""):
        """A browser on one of the printer's pages: its opener, the page and the form's session."""
        jar = http.cookiejar.CookieJar()
        web = urllib.request.build_opener(urllib.request.HTTPCookieProcessor(jar))
        page = "http://127.0.0.1:%d/%s/%s" % (self.app.port, PRINTER, path)
        html = web.open(page, timeout=30).read().decode()
        return web, page, re.search(r'name="session" value="([0-9a-f]+)"', html).group(1)

    def test_web_print_test_page_sends_the_self_test(self):
        with open(self.app.device, "wb"):
            pass
        web, page, session = self.web()
        for _ in range(2):  # a fresh file each time
            web.open(page, urllib.parse.urlencode({"session": session, "action": "print-test-page"})
                     .encode(), timeout=30).read()
        deadline = time.time() + 30
        while time.time() < deadline and os.path.getsize(self.app.device) < 14:
            time.sleep(0.05)
        with open(self.app.device, "rb") as f:
            check(f.read() == b"\x1d\x28\x41\x02\x00\x00\x02" * 2, "test pages: not the self-test")

    # ---- bad input

    def test_truncated_png_fails_its_job(self):
        data = open(self.png, "rb").read()
        with open(self.file("truncated.png"), "wb") as f:
            f.write(data[:len(data) // 2])
        self.refused(self.file("truncated.png"), "image/png", "ends early|truncated")

    def test_jpeg_claiming_60000_square_fails_its_job(self):
        jpeg = self.file("receipt.jpg")
        if not os.path.exists(jpeg):
            subprocess.run(["convert", self.png, jpeg], check=True)
        jpeg_claiming(self.file("huge.jpg"), jpeg, 60000, 60000)
        self.refused(self.file("huge.jpg"), "image/jpeg", "size|large|limit")

    def test_pwg_header_lying_about_its_length_fails_its_job(self):
        pgm_file(self.file("short.pgm"), 566, 48, receipt_picture(566, 48))
        subprocess.run([self.app.tool("krv_pwg_writer"), self.file("short.pgm"),
                        self.file("lying.pwg"), "--claim-height", "5000"], check=True)
        # Sent with its length: a chunked request that ends early keeps PAPPL waiting a minute.
        self.refused(self.file("lying.pwg"), "image/pwg-raster", "ends after", length=True)

    def test_pdf_that_is_not_one_fails_its_job(self):
        with open(self.file("fake.pdf"), "wb") as f:
            f.write(b"%PDF-1.4\nthis is no PDF\n")
        self.refused(self.file("fake.pdf"), "application/pdf", "PDF")

    def test_failing_device_stops_the_job_and_says_so(self):
        self.app.app("add", "-d", "full", "-m", "krv857", "-v", "file:///dev/full")
        state, message, job = self.app.print_job(self.file("note.txt"), "text/plain", printer="full")
        check(state == "aborted" and "device" in message, "a full device: %s %r" % (state, message))
        rc, out = self.app.ipp(GET_ATTRIBUTES.replace("NAMES", "printer-state-reasons"),
                               printer="full")
        check("offline" in out, "printer-state-reasons after a failed write: " + out)

    # ---- live status (the printer "counter" on the simulated printer)

    def wait_status(self, what, reasons=None, drawer=None, app=None, printer="counter", limit=8):
        app = app or self.app
        deadline = time.time() + limit * (8 if app.valgrind else 1)
        while True:
            rc, out = app.ipp(GET_STATUS, printer=printer)
            now = (out.strip().splitlines()[-1].rsplit(",", 1) + [""])[:2]
            now[0] = set(now[0].strip('"').split(","))
            if rc == 0 and reasons in (None, now[0]) and drawer in (None, now[1]):
                return
            check(time.time() < deadline, "%s: reasons %s, drawer %s" % (what, *now))
            time.sleep(0.1)

    def ready(self):
        self.counter.answers, self.counter.silent, self.counter.chatter = READY, False, b""
        self.wait_status("ready", {"none"}, "closed")

    def test_status_reasons_follow_the_printer(self):
        self.ready()
        for what, answers, reasons in [("paper out", PAPER_OUT, {"media-empty"}),
                                       ("paper low", PAPER_LOW, {"media-low"}),
                                       ("cover open", COVER_OPEN, {"cover-open"}),
                                       ("back to ready", READY, {"none"})]:
            self.counter.answers = answers
            self.wait_status(what, reasons)
            if answers == PAPER_OUT:  # the printer's web page says it too
                page = "http://127.0.0.1:%d/counter" % self.app.port
                check("Out of paper" in urllib.request.urlopen(page, timeout=30).read().decode(),
                      "the web page does not say the paper is out")

    def test_status_cash_drawer_attribute(self):
        self.ready()
        self.counter.answers = DRAWER_HIGH
        self.wait_status("drawer open", {"none"}, "open")
        page = "http://127.0.0.1:%d/counter/krv-selftest" % self.app.port
        html = urllib.request.urlopen(page, timeout=30).read().decode()
        check("Cash drawer: Open" in html, "the self-test page does not say the drawer is open")

    def test_status_offline_when_it_stops_answering_said_once(self):
        self.ready()
        self.counter.silent = True
        self.wait_status("silent printer", {"offline"})
        time.sleep(0.6)  # at least one more unanswered try
        self.wait_status("silent printer", {"offline"}, "unknown")
        self.counter.silent = False
        self.wait_status("answering again", {"none"}, "closed")
        said = open(self.app.log, errors="replace").read().count("no answer to the status requests")
        check(said == 1, "the silence was logged %d times" % said)

    def test_status_a_job_prints_whole_while_replies_interleave(self):
        self.ready()
        self.counter.chatter = b"\x14\x00\x00\x0f"  # an automatic status block, unasked
        before = len(self.counter.connections)
        state, message, _ = self.app.print_job(self.file("note.txt"), "text/plain", printer="counter")
        jobs = [bytes(c) for c in self.counter.connections[before:] if b"thank you" in c]
        check(state == "completed" and jobs == [STATUS_REQUESTS + RESET + DRAWERS_60MS +
                                                 b"thank you\n" + FEED_AND_PARTIAL_CUT],
              "job %s (%s), the printer got %r" % (state, message, jobs))

    def test_status_asked_before_and_after_each_job(self):
        # A server that asks idle printers every 30 s: the job's connection starts with the
        # status requests, and the paper running low during the job shows right after it.
        os.makedirs(self.file("slow"), exist_ok=True)
        timeout = 3 if self.app.valgrind else 0.5
        app = App(self.app.build, self.file("slow"), self.app.valgrind,
                  ["-o", "status-interval=30", "-o", "status-timeout=%s" % timeout])
        printer = SimulatedPrinter()
        try:
            app.start()
            app.app("add", "-d", PRINTER, "-m", "krv857", "-v", printer.uri)
            self.wait_status("first reading", {"none"}, "closed", app=app, printer=PRINTER)

            def paper_runs_low(data):
                if b"thank you" in data:
                    printer.answers = PAPER_LOW

            printer.on_data = paper_runs_low
            state, message, _ = app.print_job(self.file("note.txt"), "text/plain")
            job = [c for c in printer.connections if b"thank you" in c]
            check(state == "completed" and job[0].startswith(STATUS_REQUESTS),
                  "job %s (%s), not asked at its start: %r" % (state, message, job))
            self.wait_status("after the job", {"media-low"}, app=app, printer=PRINTER, limit=3)
            app.stop()
        finally:
            app.kill()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--valgrind", action="store_true")
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="krv857-printer-test-")
    # Under valgrind the server reads slowly: a short timeout would make the printer offline.
    timeout = 3 if args.valgrind else 0.3
    app = App(os.path.abspath(args.build), folder, args.valgrind,
              ["-o", "status-interval=0.2", "-o", "status-timeout=%s" % timeout])
    failures = []
    start = time.time()
    try:
        app.start()
        app.app("add", "-d", PRINTER, "-m", "krv857", "-v", "file://" + app.device)
        counter = SimulatedPrinter()
        app.app("add", "-d", "counter", "-m", "krv857", "-v", counter.uri)
        with open(os.path.join(folder, "note.txt"), "w") as f:
            f.write("thank you\n")
        with open(os.path.join(folder, "receipt.txt"), "w") as f:
            f.write("合计 12.50\r\n谢谢\n")
        tests = Tests(app, counter)
        for name in sorted(n for n in dir(tests) if n.startswith("test_")):
            t0 = time.time()
            try:
                getattr(tests, name)()
                print("ok    %-66s %5.2f s" % (name, time.time() - t0))
            except Exception as e:  # noqa: BLE001 - any failure of one test is reported
                failures.append(name)
                print("FAIL  %s: %s" % (name, e))
        app.stop()
    except (Failure, subprocess.SubprocessError, OSError) as e:
        failures.append("server")
        print("FAIL  server: %s" % e)
    finally:
        app.kill()
        strays = app.strays()
        if strays:
            failures.append("strays")
            print("FAIL  processes left behind (killed): %s" % strays)
        if failures:
            for log in ("server.log", "server.err", "valgrind.log"):
                path = os.path.join(folder, log)
                if os.path.exists(path):
                    print("---- %s (last lines)" % log)
                    print("".join(open(path, errors="replace").readlines()[-40:]))
        if not args.keep:
            shutil.rmtree(folder, ignore_errors=True)
    print("%d failed, %.1f s" % (len(failures), time.time() - start))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
