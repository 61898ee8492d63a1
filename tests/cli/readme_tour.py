#!/usr/bin/env python3
"""Runs every "$ command" shown in README.md's indented examples and checks that the lines
shown under it come out, in order ("..." stands for any lines left out; lines before the first
shown one, such as the banner, may be left out too).

    readme_tour.py README.md BIN_FOLDER

The commands run in a scratch copy of examples/, with build/bin/ pointing at BIN_FOLDER, so
the tree itself is never written to."""
import os
import shutil
import subprocess
import sys
import tempfile


def shown_runs(readme):
    """(command, expected lines) for every "$ " line of the indented blocks."""
    runs = []
    for line in open(readme, encoding="utf-8").read().splitlines():
        if not line.startswith("    "):
            current = None
            continue
        text = line[4:]
        if text.startswith("$ "):
            current = (text[2:], [])
            runs.append(current)
        elif current is not None:
            current[1].append(text)
    return runs


def matches(expected, actual):
    """The expected lines appear in order; consecutive ones back to back unless "..." is between."""
    position = 0
    free = True  # the banner and other lines before the first shown one may be skipped
    for want in expected:
        if want == "...":
            free = True
            continue
        if free:
            try:
                position = actual.index(want, position) + 1
            except ValueError:
                return False
        else:
            if position >= len(actual) or actual[position] != want:
                return False
            position += 1
        free = False
    return True


def main():
    readme, bin_folder = sys.argv[1], os.path.abspath(sys.argv[2])
    top = os.path.dirname(os.path.abspath(readme))
    runs = shown_runs(readme)
    if not runs:
        print("no shown commands in " + readme)
        return 1
    scratch = tempfile.mkdtemp(prefix="readme_tour.")
    failures = 0
    try:
        shutil.copytree(os.path.join(top, "examples"), os.path.join(scratch, "examples"))
        os.makedirs(os.path.join(scratch, "build"))
        os.symlink(bin_folder, os.path.join(scratch, "build", "bin"))
        here = scratch
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": scratch, "LC_ALL": "C"}
        for command, expected in runs:
            if command.startswith("cd "):
                here = os.path.normpath(os.path.join(here, command[3:].strip()))
                continue
            done = subprocess.run(["bash", "-c", command], cwd=here, env=env, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
            actual = done.stdout.decode("utf-8", "replace").splitlines()
            if not matches(expected, actual):
                failures += 1
                print("README shows for `%s`:\n  %s\nbut it printed:\n  %s" % (
                    command, "\n  ".join(expected), "\n  ".join(actual)))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("%d shown commands run, %d differ" % (len([r for r in runs if not r[0].startswith("cd ")]), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
