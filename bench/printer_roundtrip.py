#!/usr/bin/env python3
"""The printer application's benchmark (figures, never pass or fail).

A 512 x 2000 PNG receipt (lines of text-like dots with white space between them) printed
through IPP: the round trip from ipptool's start to the last byte in the device file, median
of RUNS (default 20), and the bytes the receipt takes against sending every band of it (blank
bands go as paper feed; the white end is left out).

    printer_roundtrip.py [BUILD_DIR]      (default build/native)
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "printerapp"))
import ipp_jobs_test as jobs  # noqa: E402  (the job tests' server and document helpers)

WIDTH, HEIGHT = 512, 2000


def receipt():
    """A header block, then text-like lines of dots 24 rows high with 36 white rows between,
    and a long white end."""
    px = bytearray([255]) * (WIDTH * HEIGHT)
    for y in range(0, 120):
        for x in range(96, 416):
            px[y * WIDTH + x] = (x * 7 + y * 3) % 256
    y = 180
    while y + 24 < 1700:
        for row in range(y, y + 20):
            for x in range(24, 24 + (y * 37) % 420):
                if (x // 3 + row // 4) % 3:
                    px[row * WIDTH + x] = 0
        y += 60
    return px


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                            os.path.join(HERE, "..", "build", "native"))
    runs = int(os.environ.get("RUNS", "20"))
    folder = tempfile.mkdtemp(prefix="krv857-printer-bench-")
    app = jobs.App(build, folder, False)
    picture = os.path.join(folder, "receipt.png")
    jobs.png_file(picture, WIDTH, HEIGHT, receipt())
    test = os.path.join(folder, "print.test")
    with open(test, "w") as f:
        f.write(jobs.PRINT_AND_WAIT.split("}\n", 1)[0].replace("$attributes", "") + "}\n")
    try:
        app.start()
        app.app("add", "-d", jobs.PRINTER, "-m", "krv857", "-v", "file://" + app.device)
        # One run to learn the job's size, then the timed ones.
        size = 0
        times = []
        for run in range(runs + 1):
            with open(app.device, "wb"):
                pass
            start = time.perf_counter()
            client = subprocess.Popen(["ipptool", "-d", "format=image/png", "-d",
                                       "document=" + picture, app.uri(), test],
                                      stdout=subprocess.DEVNULL)
            while True:
                now = os.path.getsize(app.device)
                if size and now >= size:
                    break
                if not size and client.poll() is not None and now > 0:
                    time.sleep(0.5)  # the first run: wait for the whole job
                    size = os.path.getsize(app.device)
                    break
                time.sleep(0.0005)
            end = time.perf_counter()
            client.wait()
            if run > 0:
                times.append((end - start) * 1000)
        job = open(app.device, "rb").read()
        app.stop()
    finally:
        app.kill()

    # The picture's bytes are between the page's line spacing and its reset (1B 32).
    start = job.index(b"\x1b\x33\x18") + 3
    end = job.rindex(b"\x1b\x32\x1b\x61\x00")
    bands = (HEIGHT + 23) // 24
    every_band = bands * (6 + 3 * WIDTH)
    print("krv857-printer, %d x %d PNG receipt through IPP (ipptool start to the last byte in "
          "the device file)" % (WIDTH, HEIGHT))
    print("  round trip: median %.1f ms of %d (min %.1f, max %.1f)" % (
        statistics.median(times), len(times), min(times), max(times)))
    print("  job: %d bytes, of which the picture %d bytes" % (len(job), end - start))
    print("  every band sent: %d bytes for the picture (%d bands): %.1f x the bytes sent" % (
        every_band, bands, every_band / (end - start)))
    subprocess.run(["rm", "-rf", folder])


if __name__ == "__main__":
    main()
