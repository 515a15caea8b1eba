#!/usr/bin/env python3
"""Lists every text number the program's sources can show, with its German default, as
"number<TAB>text" lines (escaped as written, like the catalogues), sorted by number; a
number whose text is made elsewhere stands alone on its line.

A text number is written in the sources in one of these forms:
  - next to its German text, in a call or a table row:
        LocalString(10123, wxS("...")), Refuse(11504, L"..."), {10604, wxS("HTML-Datei")}
  - as the number given to LocalString, ShowMessage, ShowMessageF or Message, with the
    text made elsewhere: Message(11820, request.message)
  - as a named text constant declared `TXT_NAME = number` (an enum member or a constexpr),
    wherever it is used, kept in a variable or returned; its German text is taken from
    the places that write it next to one.
A TXT_ name declared otherwise (#define), or a text function given a constant of another
form (kName, OTHER_NAME), is an error: the number behind it could be shown without the
check seeing it. So is a text of words given with the number 0 (Message(0, wxS("..."))):
no catalogue can translate it; 0 stays for texts made elsewhere (a system's error text).
Numbers are not to be computed (base + offset): write each one out.

    tools/list-texts.py [--root DIR]                 the list; exit 1 on a form it cannot read
    tools/list-texts.py | tools/list-texts.py --missing data/lang/ENG.txt
                                                     the lines a catalogue still lacks
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ["platform", "archive", "framework", "app", "model", "resources", "processdata", "build", "grid"]
TEXT_FUNCTIONS = r'\b(?:LocalString|ShowMessageF?|Message)\(\s*'
# One string literal: plain, wide (L"..."), or in wxS()/wxT().
LITERAL = r'(?:(?:wxS|wxT)\(\s*|L)?"((?:[^"\\]|\\.)*)"\s*\)?'
LITERALS = r'((?:' + LITERAL + r'\s*)+)'
NUMBER_WITH_TEXT = re.compile(r'(' + TEXT_FUNCTIONS + r'|[({,])\s*(\d{3,5})[uU]?\s*,\s*' + LITERALS)
CONSTANT_WITH_TEXT = re.compile(r'[({,]\s*(?:\w+::)*(TXT_\w+)\s*,\s*' + LITERALS)
TEXT_ARGUMENT = re.compile(TEXT_FUNCTIONS + r'([A-Za-z_][\w:]*|\d+)[uU]?\s*[,)]')
DECLARATION = re.compile(r'\b(TXT_\w+)\s*=(?!=)\s*([^,;}\s]+)')
CONSTANT_LIKE = re.compile(r'^(?:\w+::)*(?:k[A-Z]\w*|[A-Z][A-Z0-9]*_[A-Z0-9_]+)$')
ZERO_NUMBER = re.compile(TEXT_FUNCTIONS + r'0[uU]?\s*,')
# Words in a literal once its format conversions are taken out.
WORDS = re.compile(r'[^\W\d_]')
FORMAT_CONVERSION = re.compile(r'%[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|z)?[a-zA-Z%]')
# Smaller numbers before a text are window ids ("new wxButton(this, 1005, ...)"), not texts.
FIRST_TEXT_NUMBER = 10000


def without_comments(source):
    """The source with comments blanked (newlines kept), string and character literals kept."""
    out = []
    i, n = 0, len(source)
    while i < n:
        c = source[i]
        if c in "\"'":
            j = i + 1
            while j < n and source[j] != c:
                j += 2 if source[j] == "\\" else 1
            out.append(source[i:j + 1])
            i = j + 1
        elif source.startswith("//", i):
            j = source.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif source.startswith("/*", i):
            j = source.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", source[i:j]))
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def joined(literals):
    return "".join(re.findall(r'"((?:[^"\\]|\\.)*)"', literals))


def sources(root):
    for folder in FOLDERS:
        for base, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    path = os.path.join(base, name)
                    with open(path, encoding="utf-8") as f:
                        yield os.path.relpath(path, root), without_comments(f.read())


def argument_at(source, pos):
    """The call argument starting at pos: up to the next comma or closing parenthesis
    outside parentheses and literals."""
    depth = 0
    i = pos
    while i < len(source):
        c = source[i]
        if c in "\"'":
            j = i + 1
            while j < len(source) and source[j] != c:
                j += 2 if source[j] == "\\" else 1
            i = j + 1
            continue
        if c in "([{":
            depth += 1
        elif c in ")]}":
            if depth == 0:
                break
            depth -= 1
        elif c == "," and depth == 0:
            break
        i += 1
    return source[pos:i]


def has_words(argument):
    """Whether a string literal in the argument holds a word (escapes and format
    conversions are none)."""
    i = 0
    while i < len(argument):
        c = argument[i]
        if c not in "\"'":
            i += 1
            continue
        j = i + 1
        while j < len(argument) and argument[j] != c:
            j += 2 if argument[j] == "\\" else 1
        text = re.sub(r"\\.", "", argument[i + 1:j])
        if c == '"' and WORDS.search(FORMAT_CONVERSION.sub("", text)):
            return True
        i = j + 1
    return False


def line_of(source, pos):
    return source.count("\n", 0, pos) + 1


def texts(root=ROOT):
    """(number -> set of German texts, list of errors). A number whose text is made
    elsewhere has the empty set."""
    found = {}
    errors = []
    constants = {}
    files = list(sources(root))
    for path, source in files:
        for m in DECLARATION.finditer(source):
            name, value = m.group(1), m.group(2).rstrip("uU")
            if not value.isdigit():
                errors.append(f"{path}:{line_of(source, m.start())}: {name} must be declared as a decimal number")
            elif constants.setdefault(name, int(value)) != int(value):
                errors.append(f"{path}:{line_of(source, m.start())}: {name} is declared with two numbers")
    for number in constants.values():
        found.setdefault(number, set())
    for path, source in files:
        for m in re.finditer(r'\bTXT_\w+', source):
            if m.group(0) not in constants:
                errors.append(f"{path}:{line_of(source, m.start())}: {m.group(0)} is not declared as TXT_NAME = number")
        for m in NUMBER_WITH_TEXT.finditer(source):
            number = int(m.group(2))
            if number < FIRST_TEXT_NUMBER and len(m.group(1)) == 1:
                continue
            found.setdefault(number, set()).add(joined(m.group(3)))
        for m in CONSTANT_WITH_TEXT.finditer(source):
            if m.group(1) in constants:
                found[constants[m.group(1)]].add(joined(m.group(2)))
        for m in ZERO_NUMBER.finditer(source):
            if has_words(argument_at(source, m.end())):
                errors.append(f"{path}:{line_of(source, m.start())}: a text of words is shown with the number 0; "
                              f"give it its text number")
        for m in TEXT_ARGUMENT.finditer(source):
            argument = m.group(1)
            if argument.isdigit():
                if int(argument) != 0:
                    found.setdefault(int(argument), set())
            elif CONSTANT_LIKE.match(argument) and not argument.split("::")[-1].startswith("TXT_"):
                errors.append(f"{path}:{line_of(source, m.start())}: the text number {argument} is to be "
                              f"declared as TXT_NAME = number")
    return found, errors


def main():
    args = sys.argv[1:]
    if len(args) == 2 and args[0] == "--missing":
        have = set()
        with open(args[1], encoding="utf-8") as f:
            for line in f:
                number = line.split("\t", 1)[0]
                if number.isdigit():
                    have.add(int(number))
        for line in sys.stdin:
            if int(line.split("\t", 1)[0]) not in have:
                sys.stdout.write(line)
        return 0
    root = ROOT
    if len(args) == 2 and args[0] == "--root":
        root = args[1]
    elif args:
        sys.stderr.write(__doc__)
        return 2
    found, errors = texts(root)
    for number, variants in sorted(found.items()):
        if not variants:
            print(number)
        for text in sorted(variants):
            print(f"{number}\t{text}")
    for error in errors:
        sys.stderr.write(error + "\n")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
