#!/usr/bin/env python3
"""Fails when a tr() text of the sources is missing from translations/*.ts, or when a
translation drops or adds a %1 or %n. An unfinished translation is no failure: the
catalogues are brought up to date with `cmake --build build --target update_translations`.

    scripts/check-translations.py [LUPDATE]
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

top = pathlib.Path(__file__).resolve().parent.parent
lupdate = sys.argv[1] if len(sys.argv) > 1 else "/usr/lib/qt6/bin/lupdate"
# The same sources as translations/CMakeLists.txt gives lupdate.
sources = sorted(str(p) for d in ("src", "tools") for p in (top / d).rglob("*") if p.suffix in (".cpp", ".h"))
sources += sorted(str(p) for p in (top / "resources/ui").glob("*.ui"))
placeholder = re.compile(r"%L?(\d+|n)")


def messages(ts):
    """(context, source, comment) -> list of translation texts, for every current message."""
    found = {}
    for context in ET.parse(ts).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation.get("type") in ("vanished", "obsolete"):
                continue
            forms = [f.text or "" for f in translation.iter("numerusform")] or [translation.text or ""]
            found[(name, message.findtext("source"), message.findtext("comment"))] = forms
    return found


failures = []
with tempfile.TemporaryDirectory() as temporary:
    for ts in sorted((top / "translations").glob("*.ts")):
        copy = pathlib.Path(temporary) / ts.name
        shutil.copy(ts, copy)
        options = ["-pluralonly"] if ts.stem.endswith("_en") else []
        subprocess.run([lupdate, "-silent", "-locations", "none", "-no-obsolete", *options, *sources, "-ts", str(copy)],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        known = messages(ts)
        for context, source, _ in messages(copy).keys() - known.keys():
            failures.append(f"{ts.name}: missing ({context}): {source!r}")
        for (context, source, _), forms in known.items():
            wanted = sorted(set(placeholder.findall(source)))
            for form in forms:
                if form and sorted(set(placeholder.findall(form))) != wanted:
                    failures.append(f"{ts.name}: placeholders {wanted} not kept ({context}): {form!r}")

for failure in failures:
    print(failure)
if failures:
    print(f"{len(failures)} problem(s); run `cmake --build build --target update_translations` and translate.")
sys.exit(1 if failures else 0)
