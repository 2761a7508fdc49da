#!/usr/bin/python3
"""check_complete.py <lupdate> <source dir>: runs lupdate over src/ and fails
for each text that tavix_cs.ts lacks or leaves untranslated, and for each Czech
text that loses or adds a placeholder (%1, %n) or an accelerator (&)."""
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path


def messages(path):
    found = {}
    for context in ET.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "unfinished"
            text = (translation.text or "") if translation is not None else ""
            if message.get("numerus") == "yes" and translation is not None:
                text = "".join(t.text or "" for t in translation.iter("numerusform"))
            found[(name, message.findtext("source"))] = (kind, text)
    return found


def marks(text):
    return sorted(re.findall(r"%L?(?:\d+|n)", text)) + [text.count("&")]


def main():
    lupdate, root = sys.argv[1], Path(sys.argv[2])
    committed = messages(root / "src/resources/translations/tavix_cs.ts")
    with tempfile.TemporaryDirectory() as scratch:
        fresh_ts = Path(scratch) / "fresh.ts"
        subprocess.run([lupdate, "-silent", "-no-obsolete", "-locations", "none",
                        str(root / "src"), "-ts", str(fresh_ts)], check=True)
        fresh = messages(fresh_ts)
    missing = []
    for key in sorted(fresh, key=lambda k: (k[0] or "", k[1] or "")):
        kind, text = committed.get(key, ("missing", ""))
        if kind in ("missing", "unfinished", "vanished", "obsolete") or not text.strip():
            missing.append(f"{key[0]}: {key[1]!r} ({kind})")
        elif marks(key[1] or "") != marks(text):
            missing.append(f"{key[0]}: {key[1]!r} (placeholders or accelerators differ)")
    for line in missing:
        print("failed:", line)
    print(f"{len(fresh) - len(missing)} passed, {len(missing)} failed")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
