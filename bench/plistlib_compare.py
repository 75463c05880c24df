#!/usr/bin/env python3
"""Times Python's plistlib loading and dumping a property-list file, as a yardstick
for plist_bench --measure-read / --measure-write on the same file.

    plistlib_compare.py FILE
"""

import plistlib
import resource
import sys
import time


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: plistlib_compare.py FILE")
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    fmt = plistlib.FMT_BINARY if data.startswith(b"bplist00") else plistlib.FMT_XML
    name = "binary" if fmt == plistlib.FMT_BINARY else "xml"
    mb = len(data) / 1e6

    start = time.perf_counter()
    value = plistlib.loads(data)
    seconds = time.perf_counter() - start
    print(f"plistlib load {name}: {mb:.1f} MB in {seconds:.3f} s = {mb / seconds:.1f} MB/s")
    del data

    start = time.perf_counter()
    written = plistlib.dumps(value, fmt=fmt)
    seconds = time.perf_counter() - start
    out_mb = len(written) / 1e6
    print(f"plistlib dump {name}: {out_mb:.1f} MB in {seconds:.3f} s = {out_mb / seconds:.1f} MB/s")

    peak_mb = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024 / 1e6
    print(f"peak RSS {peak_mb:.1f} MB = {peak_mb / mb:.2f} x file size")


if __name__ == "__main__":
    main()
