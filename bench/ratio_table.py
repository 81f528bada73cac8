#!/usr/bin/env python3
"""Prints the ratio table of one Google Benchmark run.

    python3 bench/ratio_table.py GROUP RESULTS.json

GROUP names how the rows pair (json, base64, ini, hostlink): each row of
ours is set against its yardstick's row in the same run, by CPU time. A
ratio below 1.00 means ours takes less time.
"""
import json
import re
import sys

# Per group: a pattern for our rows, and for each yardstick its name and
# the row name made from the pattern's groups.
PAIRS = {
    "json": [
        (r"^(\w+)/FastJSON/(.+)$", [("RapidJSON", r"\1/RapidJSON/\2"), ("nlohmann", r"\1/nlohmann/\2")]),
        (r"^Hostile/(.+)/hostile$", [("benign twin", r"Hostile/\1/benign")]),
    ],
    "base64": [(r"^(\w+)/fast/(.+)$", [("plain codec", r"\1/plain/\2")])],
    "ini": [(r"^BM_FastIni(Load\w*)$", [("inih", r"BM_Inih\1")])],
    "hostlink": [(r"^BM_ReadIPCValueSync$", [("bare ping-pong", "BM_BarePingPong")])],
}


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in PAIRS:
        sys.exit(__doc__)
    with open(sys.argv[2], encoding="utf-8") as results:
        rows = {row["name"]: row for row in json.load(results)["benchmarks"] if row.get("run_type") != "aggregate"}
    lines = []
    for pattern, yardsticks in PAIRS[sys.argv[1]]:
        for name, row in rows.items():
            match = re.match(pattern, name)
            if not match:
                continue
            for label, template in yardsticks:
                other = rows.get(match.expand(template))
                if other is None:
                    continue
                ratio = row["cpu_time"] / other["cpu_time"]
                lines.append((name, row["cpu_time"], row["time_unit"], label, other["cpu_time"], ratio))
    width = max((len(line[0]) for line in lines), default=10)
    print(f"{'row':<{width}} {'ours':>10} {'':<3} {'against':<14} {'theirs':>10} {'ratio':>6}")
    for name, ours, unit, label, theirs, ratio in lines:
        print(f"{name:<{width}} {ours:>10.3f} {unit:<3} {label:<14} {theirs:>10.3f} {ratio:>6.2f}")


if __name__ == "__main__":
    main()
