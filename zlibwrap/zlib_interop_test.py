#!/usr/bin/env python3
"""The compressed-file format of `lexivane zlib` against an independent implementation.

Python's zlib module reads every file the tool writes (a 4-byte little-endian length, then one
RFC 1950 stream and nothing after it), the tool reads files that Python writes with other
settings than its own, and hostile files end in the documented exit codes without leaving an
output behind.

usage: zlib_interop_test.py LEXIVANE WORK_DIR [--address-space-mb N]

With --address-space-mb the tool runs under that limit of address space, so a decompression
that allocated what a hostile length prefix asks for would fail (not usable under
AddressSanitizer, which reserves far more).
"""
import argparse
import os
import random
import resource
import shutil
import struct
import subprocess
import sys
import zlib

EXIT_OK, EXIT_ERROR, EXIT_ZLIB = 0, 2, 3


class Checker:
    def __init__(self, tool, work, address_space_mb):
        self.tool = tool
        self.work = work
        self.address_space = address_space_mb * 1024 * 1024 if address_space_mb else None
        self.passed = 0
        self.failed = 0

    def expect(self, condition, what):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAILED: {what}", file=sys.stderr)

    def path(self, name):
        return os.path.join(self.work, name)

    def run(self, *args):
        def limit():
            if self.address_space:
                resource.setrlimit(resource.RLIMIT_AS, (self.address_space, self.address_space))

        return subprocess.run([self.tool, "zlib", *args], capture_output=True, text=True,
                              preexec_fn=limit, timeout=120)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()


def payloads():
    rng = random.Random(1950)
    return {
        "one byte": b"x",
        "all byte values": bytes(range(256)) * 4,
        "text": b"The quick brown fox jumps over the lazy dog. " * 500,
        "random": rng.randbytes(100_000),
        "zeros": bytes(3_000_000),  # close to deflate's best ratio
    }


# The FLEVEL bits of the zlib header that zlib derives from the level.
def header_level(level):
    level = 6 if level == -1 else level
    return 0 if level < 2 else 1 if level < 6 else 2 if level == 6 else 3


def we_write_python_reads(c):
    for name, data in payloads().items():
        for level in (-1, 0, 1, 9):
            what = f"{name} at level {level}"
            c.write("in", data)
            out = c.path("out.z")
            if os.path.exists(out):
                os.remove(out)
            result = c.run("compress", "--level", str(level), c.path("in"), out)
            c.expect(result.returncode == EXIT_OK, f"compress {what}: {result.stderr}")
            if result.returncode != EXIT_OK:
                continue
            file = c.read("out.z")
            c.expect(struct.unpack("<i", file[:4])[0] == len(data), f"{what}: length prefix")
            inflater = zlib.decompressobj()
            c.expect(inflater.decompress(file[4:]) == data, f"{what}: Python reads the content")
            c.expect(inflater.eof and inflater.unused_data == b"",
                     f"{what}: exactly one stream follows the prefix")
            c.expect(file[5] >> 6 == header_level(level), f"{what}: header level bits")


def python_streams(data):
    yield "level 1", zlib.compress(data, 1)
    yield "level 9", zlib.compress(data, 9)
    small_window = zlib.compressobj(9, zlib.DEFLATED, 9, 1)
    yield "512-byte window", small_window.compress(data) + small_window.flush()
    for strategy in ("Z_HUFFMAN_ONLY", "Z_RLE", "Z_FIXED", "Z_FILTERED"):
        deflater = zlib.compressobj(6, zlib.DEFLATED, 15, 8, getattr(zlib, strategy))
        yield strategy, deflater.compress(data) + deflater.flush()
    flushed = zlib.compressobj()
    parts = [flushed.compress(data[i:i + 777]) + flushed.flush(zlib.Z_FULL_FLUSH)
             for i in range(0, len(data), 777)]
    yield "full flushes", b"".join(parts) + flushed.flush()


def python_writes_we_read(c):
    for name, data in payloads().items():
        for variant, stream in python_streams(data):
            what = f"{name}, {variant}"
            c.write("py.z", struct.pack("<i", len(data)) + stream)
            result = c.run("decompress", "--force", c.path("py.z"), c.path("py.out"))
            c.expect(result.returncode == EXIT_OK, f"decompress {what}: {result.stderr}")
            if result.returncode == EXIT_OK:
                c.expect(c.read("py.out") == data, f"{what}: content")


def hostile_files(c):
    data = payloads()["text"]
    stream = zlib.compress(data)
    corrupt = bytearray(stream)
    corrupt[len(corrupt) // 2] ^= 0xFF
    dictionary = zlib.compressobj(zdict=b"quick brown fox")
    raw = zlib.compressobj(wbits=-15)
    gzip = zlib.compressobj(wbits=31)

    def prefixed(length, body):
        return struct.pack("<I", length & 0xFFFFFFFF) + body

    cases = [
        ("empty file", b"", EXIT_ERROR, "the file is empty"),
        ("3 bytes", b"\x05\x00\x00", EXIT_ERROR, "fewer than its 4-byte length prefix"),
        ("prefix only", prefixed(len(data), b""), EXIT_ZLIB, "Z_DATA_ERROR"),
        ("2 GiB prefix", prefixed(2 ** 31, stream), EXIT_ERROR, "leaves no output buffer"),
        ("-13 prefix", prefixed(-13, stream), EXIT_ERROR, "leaves no output buffer"),
        ("largest prefix", prefixed(2 ** 31 - 1, stream), EXIT_ERROR, "is too large"),
        ("0 prefix", prefixed(0, stream), EXIT_ZLIB, "Z_BUF_ERROR"),
        ("-1 prefix", prefixed(-1, stream), EXIT_ZLIB, "Z_BUF_ERROR"),
        ("half the length", prefixed(len(data) // 2, stream), EXIT_ZLIB, "Z_BUF_ERROR"),
        ("corrupt data", prefixed(len(data), bytes(corrupt)), EXIT_ZLIB, "Z_DATA_ERROR"),
        ("truncated", prefixed(len(data), stream[:len(stream) // 3]), EXIT_ZLIB, "Z_DATA_ERROR"),
        ("preset dictionary", prefixed(len(data), dictionary.compress(data) + dictionary.flush()),
         EXIT_ZLIB, "Z_DATA_ERROR"),
        ("raw deflate", prefixed(len(data), raw.compress(data) + raw.flush()), EXIT_ZLIB,
         "Z_DATA_ERROR"),
        ("gzip", prefixed(len(data), gzip.compress(data) + gzip.flush()), EXIT_ZLIB,
         "Z_DATA_ERROR"),
    ]
    for name, content, code, message in cases:
        c.write("hostile.z", content)
        out = c.path("hostile.out")
        result = c.run("decompress", c.path("hostile.z"), out)
        c.expect(result.returncode == code,
                 f"{name}: exit {result.returncode}, expected {code}: {result.stderr}")
        c.expect(message in result.stderr, f"{name}: '{message}' in {result.stderr!r}")
        c.expect(not os.path.exists(out), f"{name}: no output left behind")

    # The length only bounds the content: one beyond it, or short of it by less than the 1%
    # slack of the buffer, gives the content whole, with a warning. A length of 2,000,000,000
    # must not cost the 2 GB buffer it asks for.
    for length in (2_000_000_000, len(data) - 100):
        c.write("bound.z", prefixed(length, stream + b"trailing bytes are ignored"))
        result = c.run("decompress", "--force", c.path("bound.z"), c.path("bound.out"))
        c.expect(result.returncode == EXIT_OK, f"length {length}: {result.stderr}")
        c.expect("warning" in result.stderr, f"length {length}: warns that the length differs")
        c.expect(os.path.exists(c.path("bound.out")) and c.read("bound.out") == data,
                 f"length {length}: content")

    leftovers = [f for f in os.listdir(c.work) if f.endswith(".tmp")]
    c.expect(not leftovers, f"temporary files left behind: {leftovers}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tool")
    parser.add_argument("work")
    parser.add_argument("--address-space-mb", type=int, default=0)
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    c = Checker(args.tool, args.work, args.address_space_mb)
    we_write_python_reads(c)
    python_writes_we_read(c)
    hostile_files(c)
    print(f"{c.passed} passed, {c.failed} failed")
    return 1 if c.failed else 0


if __name__ == "__main__":
    sys.exit(main())
