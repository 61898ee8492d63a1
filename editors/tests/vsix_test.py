#!/usr/bin/env python3
"""The .vsix is a ZIP that VS Code can install: its manifest names the extension at the
project's version, and it carries the generated grammar, language configuration,
package.json with the problem matcher, the task and the README, byte for byte."""
import json
import posixpath
import sys
import xml.etree.ElementTree as ET
import zipfile

vsix, folder, version = sys.argv[1], sys.argv[2], sys.argv[3]
failures = []
with zipfile.ZipFile(vsix) as z:  # raises on a file that is no ZIP
    if z.testzip() is not None:
        failures.append(f'corrupt member {z.testzip()}')
    names = set(z.namelist())
    for wanted in ('[Content_Types].xml', 'extension.vsixmanifest'):
        if wanted not in names:
            failures.append(f'no {wanted}')
    for member in ('package.json', 'language-configuration.json', 'syntaxes/ncf.tmLanguage.json',
                   'tasks.json'):
        inside = 'extension/' + member
        if inside not in names:
            failures.append(f'no {inside}')
        elif z.read(inside) != open(posixpath.join(folder, member), 'rb').read():
            failures.append(f'{inside} differs from the generated file')
    if failures:
        for f in failures:
            print('FAIL:', f)
        sys.exit(1)

    package = json.loads(z.read('extension/package.json'))
    contributes = package['contributes']
    if package['version'] != version:
        failures.append(f'package.json version {package["version"]}, project {version}')
    # The paths VS Code follows from package.json lead to files in the package.
    for what, path in (('grammar', contributes['grammars'][0]['path']),
                       ('language configuration', contributes['languages'][0]['configuration'])):
        if 'extension/' + posixpath.normpath(path) not in names:
            failures.append(f'the {what} {path} is not in the package')
    matchers = {m['name']: m for m in contributes.get('problemMatchers', [])}
    if 'plenum' not in matchers or not matchers['plenum']['pattern'].get('regexp'):
        failures.append('no plenum problem matcher with a pattern')

    manifest = ET.fromstring(z.read('extension.vsixmanifest'))
    vsx = '{http://schemas.microsoft.com/developer/vsx-schema/2011}'
    # vsce stores the README under a name of its own; the manifest says which.
    details = [a.get('Path') for a in manifest.iter(vsx + 'Asset')
               if a.get('Type') == 'Microsoft.VisualStudio.Services.Content.Details']
    if len(details) != 1 or details[0] not in names:
        failures.append(f'the extension page (README) is not in the package: {details}')
    elif z.read(details[0]) != open(posixpath.join(folder, 'README.md'), 'rb').read():
        failures.append(f'{details[0]} differs from the generated README.md')
    identity = manifest.find(f'.//{vsx}Identity')
    if identity is None:
        failures.append('the manifest has no Identity')
    elif (identity.get('Id'), identity.get('Version'), identity.get('Publisher')) != \
            (package['name'], version, package['publisher']):
        failures.append(f'manifest identity {identity.attrib}')

for f in failures:
    print('FAIL:', f)
if not failures:
    print(f'vsix: {len(names)} members, version {version}, grammar, configuration and problem matcher inside')
sys.exit(1 if failures else 0)
