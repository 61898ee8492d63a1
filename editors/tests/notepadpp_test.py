#!/usr/bin/env python3
"""The Notepad++ language file is well-formed XML and its keyword lists are exactly the
scanner's star keywords and word operators (read here straight from the flex rules)."""
import re
import sys
import xml.etree.ElementTree as ET

scanner, udl = sys.argv[1], sys.argv[2]
stars, words = set(), set()
for line in open(scanner, encoding='utf-8'):
    m = re.match(r'\\\*\(\?i:(\w+)\)\s+\{', line)
    if m:
        stars.add('*' + m.group(1).upper())
    m = re.match(r'\(\?i:(\w+)\)\s+\{', line)
    if m:
        words.add(m.group(1).upper())

root = ET.parse(udl).getroot()  # raises on malformed XML
lang = root.find('UserLang')
failures = []
if lang is None or lang.get('ext') != 'ncf':
    failures.append('no UserLang for the ncf extension')
if lang is not None and lang.find('Settings/Global').get('caseIgnored') != 'yes':
    failures.append('keywords must be matched ignoring case, as the scanner does')
lists = {k.get('name'): (k.text or '').split() for k in root.iter('Keywords')}
for name, want in (('Keywords1', stars), ('Keywords2', words)):
    got = lists.get(name, [])
    if len(got) != len(set(got)):
        failures.append(f'{name}: duplicate entries')
    if set(got) != want:
        failures.append(f'{name}: missing {sorted(want - set(got))}, extra {sorted(set(got) - want)}')
if not lists.get('Comments') or ';' not in ' '.join(lists['Comments']):
    failures.append('the line comment ";" is not declared')
for f in failures:
    print('FAIL:', f)
if not failures:
    print(f'notepad++: well-formed, {len(stars)} keywords and {len(words)} word operators')
sys.exit(1 if failures else 0)
