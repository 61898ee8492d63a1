"""The CSV charts of small_console.ncf and chapel_console.ncf against charts worked out by
hand from the two files: every row, every column.

    hand_charts.py PLENUM EXAMPLES_DIR
"""

import os
import sys

from chart_support import csv_chart, note_name


def row(module, board, board_type, side, bit, identifier="", kind="", channel="", note="",
        program="", description="", line="", board_name="", used=None):
    used = used if used is not None else bool(kind)
    return {
        "module": str(module), "module_type": "B", "board": str(board),
        "board_type": board_type, "board_name": board_name, "side": side, "bit": str(bit),
        "used": "yes" if used else "no", "identifier": identifier,
        "kind": kind if used else "free", "channel": str(channel),
        "note": "" if note == "" else str(note),
        "note_name": "" if note == "" else note_name(note),
        "program": str(program), "controller": "", "range": "",
        "description": description, "line": str(line),
    }


def keys(module, board, board_type, name, first_bit, count, channel, first_note, line):
    return {first_bit + k: row(module, board, board_type, "input", first_bit + k, name, "key",
                               channel, first_note + k,
                               description=f"key {k + 1} ({note_name(first_note + k)})",
                               line=line)
            for k in range(count)}


def board(module, index, board_type, side, size, used, board_name=""):
    rows = []
    for bit in range(1, size + 1):
        if bit in used:
            entry = dict(used[bit])
            entry["board_name"] = board_name
            rows.append(entry)
        else:
            rows.append(row(module, index, board_type, side, bit, board_name=board_name))
    return rows


def small_console():
    great = keys(0, 1, "KX64", "Great", 1, 61, 1, 36, 11)
    swell = keys(0, 2, "INPUT_64", "Swell", 1, 61, 2, 36, 13)
    swell[62] = row(0, 2, "INPUT_64", "input", 62, "SwellTremulant", "input", 4, 60,
                    description="input (alternate action), sends note 60 (C4)", line=14)
    pedal = keys(1, 1, "INPUT_96", "Pedal", 1, 32, 3, 36, 18)
    stops = [("GreatPrincipal8", 21), ("GreatRohrflote8", 22), ("GreatOctave4", 23),
             ("GreatMixture", 24), ("SwellGedackt8", 26), ("SwellSalicional8", 27),
             ("SwellOboe8", 28), ("PedalSubbass16", 30), ("PedalOctave8", 31)]
    for k, (name, line) in enumerate(stops):
        note = 36 + k
        pedal[33 + k] = row(1, 1, "INPUT_96", "input", 33 + k, name, "input", 4, note,
                            description=f"input, sends note {note} ({note_name(note)})",
                            line=line)
    pedal[42] = row(1, 1, "INPUT_96", "input", 42, "GeneralOne", "input", 5, program=1,
                    description="input, sends program 1", line=34)
    return (board(0, 1, "KX64", "input", 64, great) + board(0, 2, "INPUT_64", "input", 64, swell)
            + board(1, 1, "INPUT_96", "input", 96, pedal))


def chapel_console():
    manual = keys(0, 1, "INPUT_64", "Manual", 1, 56, 1, 36, 13)
    pedal = keys(0, 2, "INPUT_HALL_32", "Pedal", 1, 27, 2, 36, 15)
    for bit, name, kind, channel, note, line in [
            (28, "Principal8", "stop", 3, 1, 16), (29, "Gedackt8", "stop", 3, 2, 17),
            (30, "PedalGedackt16", "stop", 3, 3, 18), (31, "Piston1", "piston", 4, 1, 19),
            (32, "SetButton", "set button", 4, 2, 20)]:
        pedal[bit] = row(0, 2, "INPUT_HALL_32", "input", bit, name, kind, channel, note,
                         description=f"{kind}, sends note {note} ({note_name(note)})", line=line)

    # Principal: pipe p on bit p, played by Manual key p. Gedackt: pipe q on bit 56 + q,
    # Manual keys 1-28 play pipes 13-40, Pedal keys 1-27 play pipes 1-27.
    pipes = {}
    for p in range(1, 57):
        pipes[p] = row(1, 1, "RANK_DRIVER", "output", p, "Principal", "rank",
                       description=f"pipe {p} (Manual {note_name(35 + p)})", line=24)
    for q in range(1, 41):
        played = []
        if 13 <= q <= 40:
            played.append(f"Manual {note_name(36 + q - 13)}")
        if q <= 27:
            played.append(f"Pedal {note_name(35 + q)}")
        pipes[56 + q] = row(1, 1, "RANK_DRIVER", "output", 56 + q, "Gedackt", "rank",
                            description=f"pipe {q} ({', '.join(played)})", line=25)
    relays = [
        row(1, 2, "RELAYS", "item", 1, "", "relay",
            description="Manual on rank Principal, tabs Principal8", line=26),
        row(1, 2, "RELAYS", "item", 2, "", "relay",
            description="Manual on rank Gedackt pipes 13-40, tabs Gedackt8", line=27),
        row(1, 2, "RELAYS", "item", 3, "", "relay",
            description="Pedal on rank Gedackt, tabs PedalGedackt16", line=28),
    ]
    magnets = {}
    for k, (tab, line) in enumerate([("Principal8", 36), ("Gedackt8", 37),
                                     ("PedalGedackt16", 38)]):
        for side, word in enumerate(["*ON", "*OFF"]):
            bit = 2 * k + side + 1
            magnets[bit] = row(2, 1, "MQ32", "output", bit, tab, f"magnet {word}", 3, k + 1,
                               description=f"{word} magnet of tab {tab}", line=line)
    return (board(0, 1, "INPUT_64", "input", 64, manual)
            + board(0, 2, "INPUT_HALL_32", "input", 32, pedal)
            + board(1, 1, "RANK_DRIVER", "output", 96, pipes, "Pipes") + relays
            + board(2, 1, "MQ32", "output", 32, magnets, "Magnets"))


def compare(name, actual, expected):
    failures = 0
    if len(actual) != len(expected):
        print(f"FAIL {name}: {len(actual)} rows, expected {len(expected)}")
        failures += 1
    for index, (got, want) in enumerate(zip(actual, expected)):
        if got != want:
            diff = {k: (got[k], want[k]) for k in want if got[k] != want[k]}
            print(f"FAIL {name} row {index + 2}: {diff}")
            failures += 1
    print(f"{name}: {len(actual)} rows checked, {failures} failures")
    return failures


def main():
    plenum, examples = sys.argv[1], sys.argv[2]
    failures = compare("small_console", csv_chart(plenum, os.path.join(examples, "small_console.ncf")),
                       small_console())
    failures += compare("chapel_console",
                        csv_chart(plenum, os.path.join(examples, "chapel_console.ncf")),
                        chapel_console())
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
