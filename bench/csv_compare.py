#!/usr/bin/env python3
"""Times Python's csv module reading a CSV file into lists, as a yardstick for
import_bench --measure on the same file.

    csv_compare.py FILE
"""

import csv
import io
import resource
import sys
import time


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: csv_compare.py FILE")
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    mb = len(data) / 1e6

    start = time.perf_counter()
    rows = list(csv.reader(io.StringIO(data.decode("utf-8"))))
    seconds = time.perf_counter() - start
    print(f"python csv: {len(rows)} rows, {mb:.1f} MB in {seconds:.3f} s = {mb / seconds:.1f} MB/s")
    peak_mb = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024 / 1e6
    print(f"python peak RSS {peak_mb:.1f} MB")
    print(f"seconds {seconds:.6f}")


if __name__ == "__main__":
    main()
