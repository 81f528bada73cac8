#!/usr/bin/env python3
"""Prints the ratio table of one Google Benchmark run.

    python3 bench/ratio_table.py GROUP RESULTS.json

GROUP names how the rows pair (json, base64, ini, hostlink): each row of
ours is set against its yardsticks' rows in the same run, by CPU time, a
column each. A ratio below 1.00 means ours takes less time; "–" stands
where a yardstick has no such row.
"""
import json
import re
import sys

# Per group: a pattern for our rows, and for each yardstick its name and
# the row name made from the pattern's groups.
PAIRS = {
    "json": [
        (r"^(\w+)/FastJSON/(.+)$", [("RapidJSON", r"\1/RapidJSON/\2"), ("nlohmann", r"\1/nlohmann/\2"),
                                    ("simdjson", r"\1/simdjson/\2")]),
        (r"^Hostile/(.+)/hostile$", [("benign twin", r"Hostile/\1/benign")]),
    ],
    "base64": [(r"^(\w+)/fast/(.+)$", [("plain codec", r"\1/plain/\2")])],
    "ini": [(r"^BM_FastIni(Load\w*)$", [("inih", r"BM_Inih\1")])],
    "hostlink": [(r"^BM_ReadIPCValueSync$", [("bare ping-pong", "BM_BarePingPong")])],
}
DASH = "\u2013"


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in PAIRS:
        sys.exit(__doc__)
    with open(sys.argv[2], encoding="utf-8") as results:
        rows = {row["name"]: row for row in json.load(results)["benchmarks"] if row.get("run_type") != "aggregate"}
    tables = [table(rows, pattern, yardsticks) for pattern, yardsticks in PAIRS[sys.argv[1]]]
    print("\n\n".join(lines for lines in tables if lines))


def table(rows, pattern, yardsticks):
    """A line per row of ours that matches pattern, with a column per yardstick."""
    ours = [(name, row, re.match(pattern, name)) for name, row in rows.items()]
    ours = [(name, row, match) for name, row, match in ours if match]
    if not ours:
        return ""
    width = max(len(name) for name, _, _ in ours)
    head = f"{'row':<{width}} {'ours':>10} {'':<3}"
    for label, _ in yardsticks:
        head += f" | {label:>14} {'ratio':>6}"
    lines = [head]
    for name, row, match in ours:
        line = f"{name:<{width}} {row['cpu_time']:>10.3f} {row['time_unit']:<3}"
        for _, template in yardsticks:
            other = rows.get(match.expand(template))
            if other is None:
                line += f" | {DASH:>14} {DASH:>6}"
            else:
                line += f" | {other['cpu_time']:>14.3f} {row['cpu_time'] / other['cpu_time']:>6.2f}"
        lines.append(line)
    return "\n".join(lines)


if __name__ == "__main__":
    main()
