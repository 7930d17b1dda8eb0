#!/usr/bin/env python3
"""Writes the pseudo-locale catalogue: every text of a .ts file wrapped in [ ], with accented
letters and 40 % longer, its %1, %n, mnemonics, entities and tags kept. A window shown in it
tells the texts that escaped translation (no brackets) and the controls too narrow for a
longer language (the brackets cut off).

    tools/pseudo-locale.py SOURCE.ts OUTPUT.ts
"""
import math
import re
import sys
import xml.etree.ElementTree as ET

ACCENTED = dict(zip('aceinorsuyzACEINORSUYZ', 'àçéîñöŕšüýžÀÇÉÎÑÖŔŠÜÝŽ'))
# What must come through unchanged: placeholders, mnemonics, entities, tags.
KEPT = re.compile(r'(%L?\d+|%n|&&|&#?\w+;|&\w|<[^>]*>)')
PADDING = 'àéîöü'


def pseudo(text):
    pieces = KEPT.split(text)
    shown = sum(len(p) for p in pieces[::2])
    pieces[::2] = [''.join(ACCENTED.get(c, c) for c in p) for p in pieces[::2]]
    extra = math.ceil(0.4 * shown) - 2  # the brackets count
    return '[' + ''.join(pieces) + (PADDING * shown)[:max(extra, 0)] + ']'


def main(source, output):
    tree = ET.parse(source)
    root = tree.getroot()
    root.set('language', 'en')  # two plural forms, as in English
    root.set('sourcelanguage', 'en')
    for message in root.iter('message'):
        translation = message.find('translation')
        text = pseudo(message.findtext('source'))
        translation.attrib.clear()
        forms = translation.findall('numerusform')
        for form in forms:
            form.text = text
        if not forms:
            translation.text = text
    tree.write(output, encoding='utf-8', xml_declaration=True)


if __name__ == '__main__':
    main(*sys.argv[1:3])
