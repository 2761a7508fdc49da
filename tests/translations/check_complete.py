#!/usr/bin/python3
"""check_complete.py <lupdate> <source dir>: runs lupdate over src/ into a copy
of tavix_cs.ts and fails for each text that the copy leaves untranslated, and
for each Czech text that loses or adds a placeholder (%1, %n) or an
accelerator (&)."""
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path


def marks(text):
    return sorted(re.findall(r"%L?(?:\d+|n)", text)) + [text.count("&")]


lupdate, root = sys.argv[1], Path(sys.argv[2])
with tempfile.TemporaryDirectory() as scratch:
    ts = Path(scratch) / "tavix_cs.ts"
    ts.write_bytes((root / "src/resources/translations/tavix_cs.ts").read_bytes())
    subprocess.run([lupdate, "-silent", "-no-obsolete", "-locations", "none",
                    str(root / "src"), "-ts", str(ts)], check=True)
    contexts = ET.parse(ts).getroot().iter("context")
failed, passed = [], 0
for context in contexts:
    for message in context.iter("message"):
        source, translation = message.findtext("source") or "", message.find("translation")
        text = "".join(translation.itertext()) if translation is not None else ""
        where = f"{context.findtext('name')}: {source!r}"
        if translation is None or translation.get("type") or not text.strip():
            failed.append(f"{where} (untranslated)")
        elif marks(source) != marks(text):
            failed.append(f"{where} (placeholders or accelerators differ)")
        else:
            passed += 1
for line in failed:
    print("failed:", line)
print(f"{passed} passed, {len(failed)} failed")
sys.exit(1 if failed else 0)
