"""The cross-reference of a configuration against its own text: for every name, the lines
that the file writes it on (outside comments and strings) are its defining line and its
using lines, no more and no fewer.

    xref_against_text.py PLENUM CONFIG
"""

import re
import sys

from chart_support import run_plenum

NAME = re.compile(r"(?<![*\w#$?@])([A-Za-z][A-Za-z0-9_#$?@]*)")
# Words of the language that are written without a star.
KEYWORDS = {"MIN", "MAX", "MOD", "SHL", "SHR", "TO"}
LITERAL = re.compile(r"^[Cc]\d+[NnPpCc]\d+$")


def lines_naming(text):
    """name -> the numbers of the lines that write it, from the file itself."""
    found = {}
    for number, line in enumerate(text.splitlines(), 1):
        code = re.sub(r'"(\\.|[^"\\])*"', '""', line).split(";", 1)[0]
        for match in NAME.finditer(code):
            word = match.group(1)
            # Hexadecimal numbers and MIDI literals are not names.
            if word.upper() in KEYWORDS:
                continue
            if LITERAL.match(word) or re.match(r"^x[0-9A-Fa-f]+$", word) and \
                    code[match.start() - 1:match.start()] == "0":
                continue
            found.setdefault(word, set()).add(number)
    return found


def main():
    plenum, config = sys.argv[1], sys.argv[2]
    run = run_plenum(plenum, "--xref", config)
    if run.returncode != 0:
        print(f"FAIL plenum ended {run.returncode}")
        sys.exit(1)
    output = run.stdout.decode()
    names = output.split("\nNames\n", 1)[1].split("\nMIDI items\n", 1)[0]
    listed = {}
    for line in names.splitlines():
        match = re.match(r"^  (\S+)\s+.*?(?:defined (\d+)|not defined)(?:, used ([\d ]+))?$", line)
        if not match:
            print(f"FAIL unreadable line {line!r}")
            sys.exit(1)
        lines = set(int(n) for n in (match.group(3) or "").split())
        if match.group(2):
            lines.add(int(match.group(2)))
        listed[match.group(1)] = lines
    with open(config, encoding="utf-8") as handle:
        expected = lines_naming(handle.read())
    failures = 0
    for name in sorted(set(expected) | set(listed)):
        if expected.get(name) != listed.get(name):
            print(f"FAIL {name}: file {sorted(expected.get(name, []))}, "
                  f"cross-reference {sorted(listed.get(name, []))}")
            failures += 1
    items = output.split("\nMIDI items\n", 1)[1]
    if "C1N36-" not in items:
        print("FAIL the Great keys are not among the MIDI items")
        failures += 1
    print(f"{len(expected)} names checked against the file, {failures} failures")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
