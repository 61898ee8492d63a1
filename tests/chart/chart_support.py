"""What the chart tests share: running plenum and reading its CSV chart back."""

import csv
import io
import os
import subprocess
import tempfile

COLUMNS = ("module,module_type,board,board_type,board_name,side,bit,used,identifier,kind,"
           "channel,note,note_name,program,controller,range,description,line").split(",")

NAMES = ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"]


def note_name(note):
    """Middle C (note 60) is C4."""
    return f"{NAMES[note % 12]}{note // 12 - 1}"


def run_plenum(plenum, *words, cwd=None):
    return subprocess.run([plenum, *words], capture_output=True, cwd=cwd, timeout=120)


def csv_chart(plenum, config):
    """The CSV chart of a configuration, as dictionaries, read by the csv module."""
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "chart.csv")
        run = run_plenum(plenum, "--chart=csv", "--output", out, config)
        if run.returncode != 0:
            raise AssertionError(f"plenum ended {run.returncode}: {run.stdout!r} {run.stderr!r}")
        with open(out, newline="", encoding="utf-8") as handle:
            text = handle.read()
    reader = csv.reader(io.StringIO(text, newline=""))
    header = next(reader)
    if header != COLUMNS:
        raise AssertionError(f"header {header}")
    rows = []
    for fields in reader:
        if len(fields) != len(COLUMNS):
            raise AssertionError(f"row of {len(fields)} fields: {fields}")
        rows.append(dict(zip(COLUMNS, fields)))
    return rows
