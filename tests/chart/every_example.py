"""The chart of every example configuration in all three forms: each compiles without MIDI
traffic, the CSV reads back with the csv module with a row for every bit of every board,
and the text and HTML forms name every identifier that the CSV names.

    every_example.py PLENUM EXAMPLES_DIR
"""

import glob
import os
import sys
import tempfile

from chart_support import csv_chart, run_plenum

# Bits of each board on its chain side, as the boards are built.
BOARD_BITS = {
    "KX64": 64, "KX64_ANALOG": 64, "INPUT_64": 64, "INPUT_64_PLUS5": 64, "INPUT_96": 96,
    "INPUT_HALL_32": 32, "MATRIX_KBD": 61, "MQ32": 32, "MQ64": 64, "MQ76": 76,
    "RANK_DRIVER": 96, "RANK_DRIVER_8": 8, "RANK_DRIVER_128": 128, "OFFSET_DRIVER": 16,
}


def check(plenum, config):
    problems = []
    rows = csv_chart(plenum, config)
    boards = {}
    for r in rows:
        boards.setdefault((r["module"], r["board"], r["board_type"]), []).append(r)
        if r["used"] not in ("yes", "no"):
            problems.append(f"used {r['used']!r}")
        if r["used"] == "yes" and not r["kind"]:
            problems.append(f"used row without kind: {r}")
        if r["channel"] and not 1 <= int(r["channel"]) <= 16:
            problems.append(f"channel {r['channel']}")
    for (module, board, kind), members in boards.items():
        bits = [int(r["bit"]) for r in members]
        if bits != list(range(1, len(bits) + 1)):
            problems.append(f"module {module} board {board}: bits {bits[:5]}...")
        if kind in BOARD_BITS and len(bits) != BOARD_BITS[kind]:
            problems.append(f"module {module} board {board} {kind}: {len(bits)} bits")
    names = {r["identifier"] for r in rows if r["identifier"]}
    with tempfile.TemporaryDirectory() as folder:
        for form in ("text", "html"):
            out = os.path.join(folder, "chart." + form)
            run = run_plenum(plenum, f"--chart={form}", "--output", out, config)
            if run.returncode != 0:
                problems.append(f"--chart={form} ended {run.returncode}")
                continue
            with open(out, encoding="utf-8") as handle:
                text = handle.read()
            missing = sorted(n for n in names if n not in text)
            if missing:
                problems.append(f"{form} lacks {missing[:5]}")
    return len(rows), problems


def main():
    plenum, examples = sys.argv[1], sys.argv[2]
    failures = 0
    files = sorted(glob.glob(os.path.join(examples, "*.ncf")))
    for config in files:
        count, problems = check(plenum, config)
        for problem in problems:
            print(f"FAIL {os.path.basename(config)}: {problem}")
        failures += len(problems)
        print(f"{os.path.basename(config)}: {count} rows")
    print(f"{len(files)} examples, {failures} failures")
    sys.exit(1 if failures or not files else 0)


if __name__ == "__main__":
    main()
