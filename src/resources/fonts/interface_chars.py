#!/usr/bin/env python3
"""Writes the characters the interface can show, for the font subsetter's --text-file.

Usage: interface_chars.py OUTPUT ROOT...

Every non-ASCII character in the C++ sources, forms and translation files under the roots,
plus printable ASCII. The output is rewritten only when its content changes, so editing a
source without adding a character does not subset the fonts again.
"""
import html
import pathlib
import sys
import unicodedata

SUFFIXES = {".cpp", ".h", ".ui", ".ts"}


def interface_chars(roots):
    chars = {chr(c) for c in range(0x20, 0x7F)}
    for root in roots:
        for path in sorted(pathlib.Path(root).rglob("*")):
            if path.suffix not in SUFFIXES or not path.is_file():
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            if path.suffix in (".ui", ".ts"):
                text = html.unescape(text)  # forms and translations may escape characters
            chars.update(ch for ch in text
                         if ord(ch) > 0x7E and not unicodedata.category(ch).startswith("C"))
    chars.discard("\ufffd")
    return "".join(sorted(chars))


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    out = pathlib.Path(argv[1])
    text = interface_chars(argv[2:]) + "\n"
    if not out.exists() or out.read_text(encoding="utf-8") != text:
        out.parent.mkdir(parents=True, exist_ok=True)
        out.write_text(text, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
