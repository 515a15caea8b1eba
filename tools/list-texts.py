#!/usr/bin/env python3
"""Lists every text number the program's sources give a German default, as
"number<TAB>text" lines (escaped like the catalogues), sorted by number.

Use it to find what a catalogue in data/lang/ still lacks:
    tools/list-texts.py | tools/list-texts.py --missing data/lang/ENG.txt
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ["platform", "archive", "framework", "app", "model", "resources", "processdata", "build", "grid"]
# A number, a comma, then one or more adjacent string literals (optionally in wxS()).
LITERAL = r'(?:wxS\(\s*)?"((?:[^"\\]|\\.)*)"\s*\)?'
PATTERN = re.compile(r'(LocalString\(|[({,])\s*(\d{3,5})[uU]?\s*,\s*((?:' + LITERAL + r'\s*)+)')
# Smaller numbers after a comma are window ids ("new wxButton(this, 1005, ...)"), not texts.
FIRST_TEXT_NUMBER = 10000


def unescape(s):
    return s.encode("latin-1", "backslashreplace").decode("unicode_escape").encode("latin-1").decode("utf-8")


def texts():
    found = {}
    for folder in FOLDERS:
        for base, _, files in os.walk(os.path.join(ROOT, folder)):
            for name in files:
                if not name.endswith((".cpp", ".h")):
                    continue
                with open(os.path.join(base, name), encoding="utf-8") as f:
                    source = f.read()
                for m in PATTERN.finditer(source):
                    number = int(m.group(2))
                    if number < FIRST_TEXT_NUMBER and m.group(1) != "LocalString(":
                        continue
                    parts = re.findall(r'"((?:[^"\\]|\\.)*)"', m.group(3))
                    found.setdefault(number, set()).add("".join(parts))
    return found


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--missing":
        have = set()
        with open(sys.argv[2], encoding="utf-8") as f:
            for line in f:
                number = line.split("\t", 1)[0]
                if number.isdigit():
                    have.add(int(number))
        for line in sys.stdin:
            if int(line.split("\t", 1)[0]) not in have:
                sys.stdout.write(line)
        return
    for number, variants in sorted(texts().items()):
        for text in sorted(variants):
            print(f"{number}\t{text}")


if __name__ == "__main__":
    main()
