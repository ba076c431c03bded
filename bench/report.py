#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Turns one benchmark run into one table: every operation at every size with
its median time, and the goal ratios next to the rows they judge.

    python3 bench/report.py RESULTS_DIR DATA_DIR [--title TEXT]

RESULTS_DIR holds bench.json (Google Benchmark, medians of repetitions),
csv.json (bench/csv_baseline.py), rss-<entries>.json (ombrel_rss_probe, one
line per run) and transfer-<import|export>-<entries>.json
(ombrel_transfer_probe, one line per run); DATA_DIR the generated data
directories. A missed goal is
printed as MISS; only missing or unreadable results make this fail.
"""
import argparse
import json
import os
import statistics
import sys

# What the program does, as against the baselines it is measured by; growth
# is judged for these.
PROGRAM = {"parse", "pick_last", "new", "save_last", "delete_last", "startup", "cold_start",
           "fill_list", "import", "export"}
# Operations in the order the table lists them.
OPERATIONS = [
    "read_one_pass", "parse", "python_csv", "pick_last", "new", "save_last",
    "delete_last", "copy_flush_rename", "import", "copy_imported", "export", "startup",
    "cold_start", "fill_list", "sort_names",
]
GROWTH_LIMIT = 12.0  # ten times the entries may cost at most twelve times as much


def load_medians(path):
    """{(operation, entries): milliseconds} from the medians in a benchmark JSON."""
    with open(path) as f:
        report = json.load(f)
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    medians = {}
    for run in report.get("benchmarks", []):
        if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
            continue
        if run.get("error_occurred"):
            raise SystemExit(f"benchmark {run['name']} failed: {run.get('error_message')}")
        operation, entries = run["run_name"].split("/")[:2]
        key = (operation, int(entries))
        # Without repetitions there is no median: the single run stands for it.
        if run.get("run_type") == "aggregate" or key not in medians:
            medians[key] = run["real_time"] * scale[run["time_unit"]]
    return medians


def load_probes(results):
    """{entries: (median shown ms, median peak KiB)} from the memory probe runs."""
    probes = {}
    for name in os.listdir(results):
        if not (name.startswith("rss-") and name.endswith(".json")):
            continue
        entries = int(name[4:-5])
        with open(os.path.join(results, name)) as f:
            runs = [json.loads(line) for line in f if line.strip()]
        if not runs:
            raise SystemExit(f"{name}: no probe run recorded")
        probes[entries] = (statistics.median(r["shown_ms"] for r in runs),
                           statistics.median(r["max_rss_kib"] for r in runs))
    return probes


def load_transfers(results):
    """{(mode, entries): (median peak KiB, median entry-file bytes)} from the
    import and export probe runs."""
    transfers = {}
    for name in os.listdir(results):
        if not (name.startswith("transfer-") and name.endswith(".json")):
            continue
        mode, entries = name[len("transfer-"):-len(".json")].split("-")
        with open(os.path.join(results, name)) as f:
            runs = [json.loads(line) for line in f if line.strip()]
        if not runs:
            raise SystemExit(f"{name}: no probe run recorded")
        transfers[(mode, int(entries))] = (statistics.median(r["max_rss_kib"] for r in runs),
                                           statistics.median(r["entry_file_bytes"] for r in runs))
    return transfers


def file_size(data, entries):
    return os.path.getsize(os.path.join(data, str(entries), "passwords.dat"))


def fmt_ms(ms):
    if ms >= 100:
        return f"{ms:,.0f} ms"
    if ms >= 10:
        return f"{ms:.1f} ms"
    if ms >= 1:
        return f"{ms:.2f} ms"
    return f"{ms * 1000:.0f} µs"


class Table:
    def __init__(self):
        self.rows = []      # [operation, entries, median, compared with, ratio, goal, result]
        self.missed = 0
        self.judged = 0

    def row(self, operation, entries, median):
        self.rows.append([operation, f"{entries:,}", median, "", "", "", ""])

    def judge(self, operation, entries, against, ratio, limit, at_least=False):
        """Puts a goal's verdict on the row of `operation` at `entries`, or on
        a continuation line when that row already carries one."""
        passed = ratio >= limit if at_least else ratio <= limit
        self.judged += 1
        self.missed += 0 if passed else 1
        cells = [against, f"{ratio:.2f}", ("≥ " if at_least else "≤ ") + f"{limit:g}",
                 "PASS" if passed else "MISS"]
        label = f"{entries:,}"
        for i, row in enumerate(self.rows):
            if row[0] == operation and row[1] == label:
                while i + 1 < len(self.rows) and self.rows[i + 1][0] == "" and self.rows[i + 1][1] == "":
                    i += 1
                if self.rows[i][3] == "":
                    self.rows[i][3:] = cells
                else:
                    self.rows.insert(i + 1, ["", "", ""] + cells)
                return
        raise SystemExit(f"no row for {operation} at {entries}")

    def markdown(self):
        header = ["operation", "entries", "median", "compared with", "ratio", "goal", "result"]
        widths = [max(len(str(r[i])) for r in self.rows + [header]) for i in range(len(header))]
        right = {1, 2, 4}

        def line(cells):
            return "| " + " | ".join(
                str(c).rjust(w) if i in right else str(c).ljust(w)
                for i, (c, w) in enumerate(zip(cells, widths))) + " |"

        out = [line(header),
               "|" + "|".join(("-" * (w + 1) + ":") if i in right else ("-" * (w + 2))
                              for i, w in enumerate(widths)) + "|"]
        out += [line(r) for r in self.rows]
        return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("results")
    parser.add_argument("data")
    parser.add_argument("--title", default="")
    args = parser.parse_args()

    times = load_medians(os.path.join(args.results, "bench.json"))
    with open(os.path.join(args.results, "csv.json")) as f:
        csv_run = json.load(f)
    probes = load_probes(args.results)
    transfers = load_transfers(args.results)

    file_sizes = sorted({n for (op, n) in times if op == "parse"})
    if not file_sizes:
        raise SystemExit("no parse results: nothing to report")
    # The goals are set at 100,000 entries and growth from there to a million;
    # a small run checks them at its largest file and growth between its two
    # largest.
    if 100_000 in file_sizes:
        g = 100_000
        growth = (100_000, 1_000_000) if 1_000_000 in file_sizes else None
    else:
        g = file_sizes[-1]
        growth = (file_sizes[-2], file_sizes[-1]) if len(file_sizes) > 1 else None
    csv_entries = csv_run["records"]
    times[("python_csv", csv_entries)] = csv_run["median_ms"]
    for entries, (shown_ms, _) in probes.items():
        times[("cold_start", entries)] = shown_ms

    table = Table()
    for operation in OPERATIONS:
        for entries in sorted(n for (op, n) in times if op == operation):
            table.row(operation, entries, fmt_ms(times[(operation, entries)]))

    def t(operation, entries):
        if (operation, entries) not in times:
            raise SystemExit(f"missing result: {operation} at {entries} entries")
        return times[(operation, entries)]

    n = f"{g:,}"
    # 1. Parsing: far faster than Python's csv, close to a plain read.
    table.judge("parse", g, f"read_one_pass {n}", t("parse", g) / t("read_one_pass", g), 5)
    if csv_entries == g:
        table.judge("parse", g, f"python_csv {n} (times faster)",
                    t("python_csv", g) / t("parse", g), 10, at_least=True)
    # 2. Start-up as a user feels it, a fresh process to the shown window,
    # against the same with an empty file; the list fill against a plain sort.
    # A warm start-up with an empty file reads nothing, so it is no yardstick.
    for entries, limit in ((g, 2), (1_000_000, 6)):
        if ("cold_start", entries) in times and ("cold_start", 0) in times:
            table.judge("cold_start", entries, "cold_start 0",
                        t("cold_start", entries) / t("cold_start", 0), limit)
    table.judge("fill_list", g, f"sort_names {n}", t("fill_list", g) / t("sort_names", g), 3)
    # 3. Picking the last name against one parse of the file.
    table.judge("pick_last", g, f"parse {n}", t("pick_last", g) / t("parse", g), 1.5)
    # 4. New, Save and Delete against the least a safe rewrite must do: each
    # reads the whole file and replaces it in one step.
    for operation in ("new", "save_last", "delete_last"):
        table.judge(operation, g, f"copy_flush_rename {n}",
                    t(operation, g) / t("copy_flush_rename", g), 2)
    # 5. Memory: what 100,000 listed names add to the peak, per byte of file.
    if g in probes and 0 in probes:
        added = (probes[g][1] - probes[0][1]) * 1024
        table.judge("cold_start", g, f"peak RSS: +{added / 2**20:.1f} MiB over empty, per file byte",
                    added / file_size(args.data, g), 4)
    # 7. The import against one copy-flush-rename of the file it leaves, the
    # export against one parse of the file it reads; the peak memory each adds
    # over the same command on an empty file, per byte of the entry file it
    # leaves or reads.
    if ("import", g) in times:
        table.judge("import", g, f"copy_imported {n}", t("import", g) / t("copy_imported", g), 25)
    if ("export", g) in times:
        table.judge("export", g, f"parse {n}", t("export", g) / t("parse", g), 3)
    # The import's memory is judged per byte of the CSV file and the entry file
    # it leaves together, the export's per byte of the entry file it reads.
    for mode in ("import", "export"):
        if (mode, g) in transfers and (mode, 0) in transfers and (mode, g) in times:
            peak, entry_bytes = transfers[(mode, g)]
            added = (peak - transfers[(mode, 0)][0]) * 1024
            if mode == "import":
                csv_bytes = os.path.getsize(os.path.join(args.data, str(g), "import.csv"))
                table.judge(mode, g, f"peak RSS: +{added / 2**20:.1f} MiB, per CSV and "
                            "entry-file byte", added / (csv_bytes + entry_bytes), 4)
            else:
                table.judge(mode, g, f"peak RSS: +{added / 2**20:.1f} MiB, per entry-file byte",
                            added / entry_bytes, 4)
    # 6. Growth: ten times the entries, at most twelve times the time.
    if growth:
        lower, upper = growth
        for operation in OPERATIONS:
            if operation in PROGRAM and (operation, upper) in times and (operation, lower) in times:
                table.judge(operation, upper, f"{operation} {lower:,}",
                            t(operation, upper) / t(operation, lower), GROWTH_LIMIT)

    if args.title:
        print(args.title)
        print()
    print(table.markdown())
    print()
    print(f"Goals judged at {g:,} entries"
          + (f", growth {growth[1]:,} against {growth[0]:,}" if growth else "")
          + f": {table.judged - table.missed} met, {table.missed} missed.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
