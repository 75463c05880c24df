#!/usr/bin/env python3
"""Times Python's csv.writer writing 100,000 rows of 10 values (about 50 MB) into memory,
as a yardstick for export_bench's CSV cases run beside it.

    csv_writer_compare.py [ROWS]
"""

import csv
import io
import random
import sys
import time


def main():
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 100_000
    rng = random.Random(20261211)
    words = ["alpha", "Zoë", "river", "north, east", 'say "hi"', "42", "Ångström",
             "market", "line\nbreak", "quiet", "ledger", "café"]
    # Ten values of about 50 characters each.
    table = [[" ".join(rng.choice(words) for _ in range(8))[:50] for _ in range(10)]
             for _ in range(rows)]

    start = time.perf_counter()
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\n")
    writer.writerows(table)
    data = out.getvalue().encode("utf-8")
    seconds = time.perf_counter() - start
    mb = len(data) / 1e6
    print(f"csv.writer: {rows} rows, {mb:.1f} MB in {seconds:.3f} s = {mb / seconds:.1f} MB/s")


if __name__ == "__main__":
    main()
