#!/usr/bin/env python3
"""The VS Code task of the extension, run as VS Code would run it on a broken file, makes
plenum print an error that the extension's problem matcher finds once, and the matcher's
file location leads back to that very file at the right line."""
import json
import os
import re
import subprocess
import sys
import tempfile

plenum, folder = sys.argv[1], sys.argv[2]
package = json.load(open(os.path.join(folder, 'package.json'), encoding='utf-8'))
tasks = json.load(open(os.path.join(folder, 'tasks.json'), encoding='utf-8'))
matcher = package['contributes']['problemMatchers'][0]
pattern = matcher['pattern']
regex = re.compile(pattern['regexp'])
task = tasks['tasks'][0]
failures = []

if task['problemMatcher'] != '$' + matcher['name']:
    failures.append('task does not use the extension problem matcher')
if task['command'] != 'plenum' or task['args'][:2] != ['-x', '-t']:
    failures.append(f'task runs {task["command"]} {task["args"]}')


def substitute(text, path):
    """VS Code's variables for the open file."""
    return (text.replace('${fileBasename}', os.path.basename(path))
                .replace('${fileDirname}', os.path.dirname(path))
                .replace('${file}', path))


def located(name, path):
    """The file a matched name stands for, by the matcher's fileLocation rule."""
    kind, *base = matcher['fileLocation']
    if kind == 'absolute':
        return name
    if kind == 'relative':
        # Joined as VS Code joins (node's path.join): an absolute name is not kept whole.
        return os.path.normpath(substitute(base[0], path) + '/' + name)
    failures.append(f'fileLocation {matcher["fileLocation"]} not checked here')
    return name


with tempfile.TemporaryDirectory() as work:
    cases = [  # (file name, file text, line of the error)
        ('broken.ncf', '; typing error\n*NORVO_MODULE\n  *INPUT_64\n'
                       '    *INPUT_BIT = General1 *BIT = = 1 C7N1\n', 4),
        ('unknown keyword.ncf', '*NORVO_MODULE\n  *BOGUS\n', 2),
        ('Übung Kirche.ncf', '; Unicode and a blank in the name\n*NORVO_MODULE\n  *BOGUS\n', 3),
    ]
    # The open file lies in a folder other than VS Code's own working folder.
    os.mkdir(os.path.join(work, 'organ'))
    for name, text, line in cases:
        path = os.path.join(work, 'organ', name)
        with open(path, 'w', encoding='utf-8') as f:
            f.write(text)
        args = [substitute(a, path) for a in task['args']]
        cwd = substitute(task.get('options', {}).get('cwd', work), path)
        run = subprocess.run([plenum] + args, cwd=cwd, capture_output=True, text=True)
        if run.returncode == 0:
            failures.append(f'{name}: plenum accepted a broken file')
        found = []
        for m in map(regex.match, (run.stdout + run.stderr).splitlines()):
            if m:
                found.append((located(m.group(pattern['file']), path), int(m.group(pattern['line'])),
                              m.group(pattern['message'])))
        if (len(found) != 1 or not os.path.exists(found[0][0]) or not os.path.samefile(found[0][0], path)
                or found[0][1] != line or not found[0][2]):
            failures.append(f'{name}: matched {found}, want one problem in {path} at line {line}')
for f in failures:
    print('FAIL:', f)
if not failures:
    print(f'problem matcher: each of {len(cases)} errors matched once at its file and line')
sys.exit(1 if failures else 0)
