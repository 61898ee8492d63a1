#!/usr/bin/env python3
"""Runs every command that a manual page or a Markdown page shows and checks the lines shown
under it, as readme_tour.py does for README.md.

    doc_commands.py [--retry] BIN_FOLDER EXAMPLES_FOLDER PAGE...

A shown command is a line that starts with "$ ": in a manual page inside an .nf/.fi block,
in a Markdown page inside an indented block. The lines after it, up to the next command or
the end of the block, are what it prints ("..." for lines left out). Each page runs in a
fresh scratch folder: HOME is the scratch folder, the programs of BIN_FOLDER come first on
PATH, and /usr/share/doc/plenum/examples (where the packages install the examples) is a copy
of EXAMPLES_FOLDER, so a page's commands never touch the tree. A "cd" holds for the page's
later commands, as in a terminal. Commands run with standard input at its end, and what one
leaves running in the background is ended when it returns. With --retry (pages run on a real
MIDI system) a command that differs is shown and run once more."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cli"))
from readme_tour import matches, shown_runs as shown_in_readme  # noqa: E402

INSTALLED_DOCS = "/usr/share/doc/plenum"

ROFF_ESCAPES = [("\\-", "-"), ("\\(lq", "\""), ("\\(rq", "\""), ("\\(dq", "\""), ("\\e", "\\"),
                ("\\&", ""), ("\\fB", ""), ("\\fI", ""), ("\\fR", ""), ("\\fP", "")]


def unroff(text):
    for escape, plain in ROFF_ESCAPES:
        text = text.replace(escape, plain)
    return text


def shown_in_manual(lines):
    runs, current, inside = [], None, False
    for line in lines:
        if line.startswith(".nf"):
            inside, current = True, None
        elif line.startswith(".fi"):
            inside, current = False, None
        elif inside and not line.startswith("."):
            text = unroff(line)
            if text.startswith("$ "):
                current = (text[2:], [])
                runs.append(current)
            elif current is not None:
                current[1].append(text)
    return runs


def shown_runs(page):
    if page.endswith(".md"):
        return shown_in_readme(page)
    return shown_in_manual(open(page, encoding="utf-8").read().splitlines())


MARK = "__doc_commands_folder__"


def run_command(command, here, docs, env):
    """What the command prints (standard error included), and the folder it ends in."""
    script = command.replace(INSTALLED_DOCS, docs)
    # The folder the command ends in is where the next one starts.
    script += '\n__status=$?; printf "\\n%s%%s\\n" "$PWD"; exit $__status' % MARK
    # In a session of its own, so that what it leaves running (a "&" job) ends with it;
    # into a file, which a job left running cannot hold open as it would a pipe.
    with tempfile.TemporaryFile() as printed:
        shell = subprocess.Popen(["bash", "-c", script], cwd=here, env=env, stdin=subprocess.DEVNULL,
                                 stdout=printed, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            shell.wait(timeout=120)
        finally:
            try:
                os.killpg(shell.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        printed.seek(0)
        actual = printed.read().decode("utf-8", "replace").splitlines()
    for i in range(len(actual) - 1, -1, -1):
        if actual[i].startswith(MARK):
            here = actual[i][len(MARK):]
            actual = actual[:i - 1] if i > 0 and actual[i - 1] == "" else actual[:i]
            break
    return actual, here


def run_page(page, bin_folder, examples, retry):
    runs = shown_runs(page)
    if not runs:
        print("%s: no shown commands" % page)
        return 1
    scratch = tempfile.mkdtemp(prefix="doc_commands.")
    failures = 0
    try:
        docs = os.path.join(scratch, "share", "doc", "plenum")
        shutil.copytree(examples, os.path.join(docs, "examples"))
        env = dict(os.environ)
        env.update({"PATH": bin_folder + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"),
                    "HOME": scratch, "LC_ALL": "C"})
        here = scratch
        for command, expected in runs:
            actual, here_after = run_command(command, here, docs, env)
            if not matches(expected, actual) and retry:
                # A loaded machine can keep a reply past the one-second timeout on a real
                # MIDI system; a page that is wrong differs the second time too.
                print("%s: `%s` differed, run once more:\n  %s" % (
                    os.path.basename(page), command, "\n  ".join(actual)))
                actual, here_after = run_command(command, here, docs, env)
            here = here_after
            if not matches(expected, actual):
                failures += 1
                print("%s shows for `%s`:\n  %s\nbut it printed:\n  %s" % (
                    os.path.basename(page), command, "\n  ".join(expected), "\n  ".join(actual)))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("%s: %d shown commands run, %d differ" % (os.path.basename(page), len(runs), failures))
    return failures


def main():
    arguments = sys.argv[1:]
    retry = arguments[0] == "--retry"
    if retry:
        arguments = arguments[1:]
    bin_folder, examples = os.path.abspath(arguments[0]), os.path.abspath(arguments[1])
    failures = sum(run_page(page, bin_folder, examples, retry) for page in arguments[2:])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
