#!/usr/bin/env python3
"""The VS Code problem matcher of the extension finds plenum's real error in its output,
at the right file and line, and nothing in its banner; its task runs plenum -x -t."""
import json
import os
import re
import subprocess
import sys
import tempfile

plenum, folder = sys.argv[1], sys.argv[2]
package = json.load(open(os.path.join(folder, 'package.json')))
tasks = json.load(open(os.path.join(folder, 'tasks.json')))
matcher = package['contributes']['problemMatchers'][0]
pattern = matcher['pattern']
regex = re.compile(pattern['regexp'])
failures = []

task = tasks['tasks'][0]
if [task['command']] + task['args'] != ['plenum', '-x', '-t', '${file}']:
    failures.append(f'task runs {task["command"]} {task["args"]}')
if task['problemMatcher'] != '$' + matcher['name']:
    failures.append('task does not use the extension problem matcher')

with tempfile.TemporaryDirectory() as work:
    cases = [  # (file text, line of the error)
        ('; typing error\n*NORVO_MODULE\n  *INPUT_64\n    *INPUT_BIT = General1 *BIT = = 1 C7N1\n', 4),
        ('*NORVO_MODULE\n  *BOGUS\n', 2),
    ]
    for n, (text, line) in enumerate(cases):
        name = f'broken{n}.ncf'
        with open(os.path.join(work, name), 'w') as f:
            f.write(text)
        run = subprocess.run([plenum, '-x', '-t', name], cwd=work, capture_output=True, text=True)
        if run.returncode == 0:
            failures.append(f'{name}: plenum accepted a broken file')
        hits = [m for m in map(regex.match, (run.stdout + run.stderr).splitlines()) if m]
        found = [(m.group(pattern['file']), int(m.group(pattern['line'])), m.group(pattern['message']))
                 for m in hits]
        if len(found) != 1 or found[0][:2] != (name, line) or not found[0][2]:
            failures.append(f'{name}: matched {found}, want one problem at {name}:{line}')
for f in failures:
    print('FAIL:', f)
if not failures:
    print('problem matcher: each error matched once at its file and line')
sys.exit(1 if failures else 0)
