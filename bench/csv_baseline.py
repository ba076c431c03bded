#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Reads, parses and decodes every record of an entry file with Python's csv
module, the yardstick the C++ reader is held to. Prints one JSON line:
{"file": ..., "records": ..., "runs": ..., "median_ms": ...}

    python3 bench/csv_baseline.py FILE [--runs N]
"""
import argparse
import csv
import json
import statistics
import sys
import time


def decode(field):
    # The shift encoding moves every byte up by 100; latin-1 keeps bytes and
    # characters one to one.
    return "".join(chr(ord(c) - 100) for c in field)


def parse(path):
    records = 0
    with open(path, encoding="latin-1", newline="") as f:
        for row in csv.reader(f):
            fields = [decode(field) for field in row]
            if len(fields) != 4:
                raise SystemExit(f"{path}: record {records + 1} has {len(fields)} fields")
            records += 1
    return records


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("file")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    times = []
    records = 0
    for _ in range(args.runs):
        start = time.perf_counter()
        records = parse(args.file)
        times.append((time.perf_counter() - start) * 1000.0)
    print(json.dumps({"file": args.file, "records": records, "runs": args.runs,
                      "median_ms": statistics.median(times)}))
    return 0


if __name__ == "__main__":
    sys.exit(main())
